#include "platform/posix/HelperProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform::posix {

namespace {

constexpr int kTermGraceSteps = 50;  // of 10 ms before SIGKILL

// Hosts block or ignore these for their own reasons; the helper starts with the defaults.
constexpr int kResetSignals[] = {SIGPIPE, SIGINT,  SIGQUIT, SIGTERM, SIGHUP,
                                 SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM};

using AddCloseFrom = int (*)(posix_spawn_file_actions_t*, int);

}  // namespace

}  // namespace platform::posix

// A weak reference, not a link-time requirement: a library built against a glibc older
// than 2.34 (our releases are) still uses it where the system has it, and still loads
// where it has not. No dlsym: before 2.34 that would add libdl to what the plug-in links.
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
#pragma weak posix_spawn_file_actions_addclosefrom_np
#else
extern "C" int posix_spawn_file_actions_addclosefrom_np(posix_spawn_file_actions_t*, int) noexcept
    __attribute__((weak));
#endif

namespace platform::posix {

namespace {

AddCloseFrom addCloseFrom() { return &posix_spawn_file_actions_addclosefrom_np; }

class SpawnSettings {
public:
    SpawnSettings() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    bool prepare(int outputFd, AddCloseFrom closeFrom) {
        // Hosts leak descriptors without close-on-exec; a helper must not hold them open.
        bool ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
                  posix_spawn_file_actions_adddup2(&actions, outputFd, 1) == 0 &&
                  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0 &&
                  closeFrom(&actions, 3) == 0;
        sigset_t none, reset;
        sigemptyset(&none);
        sigemptyset(&reset);
        for (int signal : kResetSignals) sigaddset(&reset, signal);
        ok = ok && posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
             posix_spawnattr_setsigdefault(&attributes, &reset) == 0 &&
             posix_spawnattr_setpgroup(&attributes, 0) == 0 &&
             posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                       POSIX_SPAWN_SETPGROUP) == 0;
        return ok;
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

pid_t spawnHelper(const char* program, char* const* argv, char* const* envp, int outputFd,
                  AddCloseFrom closeFrom) {
    SpawnSettings settings;
    if (!settings.prepare(outputFd, closeFrom)) return -1;
    pid_t pid = -1;
    if (posix_spawn(&pid, program, &settings.actions, &settings.attributes, argv, envp) != 0)
        return -1;
    return pid;
}

// What follows runs in the child between fork and exec. Another thread of the host may
// have held a lock (the allocator's, stdio's) at the fork, so only async-signal-safe
// system calls: no allocation, no opendir.

bool closeRange(unsigned first, unsigned last) {
#ifdef SYS_close_range
    return first > last || syscall(SYS_close_range, first, last, 0u) == 0;
#else
    (void)first;
    (void)last;
    return false;
#endif
}

// Through the kernel's list of open descriptors; false when /proc cannot be read.
bool closeListed(int keep) {
    int folder = open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    alignas(8) char buffer[2048];
    long got;
    // Closing an entry already read leaves the rest of the listing as it was.
    while ((got = syscall(SYS_getdents64, folder, buffer, sizeof buffer)) > 0) {
        for (long at = 0; at < got;) {
            unsigned short length;  // d_reclen and d_name of a struct linux_dirent64
            std::memcpy(&length, buffer + at + 16, sizeof length);
            const char* name = buffer + at + 19;
            int fd = 0;
            bool number = *name != '\0';
            for (const char* digit = name; number && *digit; ++digit) {
                number = *digit >= '0' && *digit <= '9' && fd < 100000000;
                fd = fd * 10 + (*digit - '0');
            }
            if (number && fd > 2 && fd != keep && fd != folder) close(fd);
            at += length;
        }
    }
    close(folder);
    return got == 0;
}

// Every descriptor from 3 on but keep.
void closeInherited(int keep) {
    if (closeRange(3, unsigned(keep) - 1) && closeRange(unsigned(keep) + 1, ~0u)) return;
    if (closeListed(keep)) return;
    // Neither close_range (Linux 5.9) nor /proc: every number the limit allows.
    struct rlimit limit {};
    rlim_t end = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                     ? limit.rlim_cur
                     : rlim_t(1) << 20;
    for (rlim_t fd = 3; fd < end; ++fd)
        if (int(fd) != keep) close(int(fd));
}

bool openOnto(const char* path, int flags, int target) {
    int fd = open(path, flags);
    if (fd < 0) return false;
    if (fd == target) return true;
    bool moved = dup2(fd, target) == target;
    close(fd);
    return moved;
}

// errorFd (above 2, close-on-exec) takes errno when the program cannot be started.
[[noreturn]] void becomeHelper(const char* program, char* const* argv, char* const* envp,
                               int outputFd, int errorFd) {
    // dup2 onto itself would keep close-on-exec.
    bool ok = outputFd == 1 ? fcntl(1, F_SETFD, 0) == 0 : dup2(outputFd, 1) == 1;
    ok = ok && openOnto("/dev/null", O_RDONLY, 0) && openOnto("/dev/null", O_WRONLY, 2);
    if (ok) {
        closeInherited(errorFd);
        // The host's handlers must not run in this copy of it once signals are let in.
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction action;
            if (sigaction(signal, nullptr, &action) != 0) continue;
            bool reset = action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
            for (int listed : kResetSignals) reset = reset || signal == listed;
            if (!reset) continue;
            action = {};
            action.sa_handler = SIG_DFL;
            sigaction(signal, &action, nullptr);
        }
        sigset_t none;
        sigemptyset(&none);
        ok = setpgid(0, 0) == 0 && sigprocmask(SIG_SETMASK, &none, nullptr) == 0;
    }
    if (ok) execve(program, argv, envp);
    int error = errno;
    ssize_t ignored = write(errorFd, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// A descriptor of ours that a host with closed standard descriptors got as 0, 1 or 2
// would be overwritten in the child; moved above them.
bool liftAboveStandard(int& fd) {
    if (fd > 2) return true;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    fd = moved;
    return moved >= 0;
}

// Without addclosefrom_np (glibc before 2.34) posix_spawn cannot close what it does not
// know of, and marking every descriptor close-on-exec in the parent races with other
// threads of the host that open and fork. So fork, and close in the child.
pid_t forkHelper(const char* program, char* const* argv, char* const* envp, int outputFd) {
    int errorFds[2];
    if (pipe2(errorFds, O_CLOEXEC) != 0) return -1;
    if (!liftAboveStandard(errorFds[0]) || !liftAboveStandard(errorFds[1])) {
        if (errorFds[0] >= 0) close(errorFds[0]);
        if (errorFds[1] >= 0) close(errorFds[1]);
        return -1;
    }
    // No handler of the host may run in the child before it has reset them. On Linux
    // sigprocmask sets this thread's mask, as pthread_sigmask does; before glibc 2.32 that
    // one lives in libpthread, which the plug-in does not link.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_SETMASK, &all, &previous);
    pid_t pid = fork();
    if (pid == 0) becomeHelper(program, argv, envp, outputFd, errorFds[1]);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(errorFds[1]);
    int error = 0;
    ssize_t got = 0;
    // End of file: the exec closed the pipe.
    while (pid > 0 && (got = read(errorFds[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(errorFds[0]);
    if (pid > 0 && got > 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return -1;
    }
    return pid;
}

// One waitpid without blocking: true once the child is gone (reaped here or elsewhere).
bool reapIfEnded(pid_t pid, HelperResult& result) {
    int status = 0;
    pid_t got;
    do got = waitpid(pid, &status, WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == 0) return false;
    if (got < 0) {
        result.end = HelperResult::End::Exited;
        result.statusKnown = false;
        return true;
    }
    if (WIFEXITED(status)) {
        result.end = HelperResult::End::Exited;
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.end = HelperResult::End::Killed;
    }
    return true;
}

void endGroup(pid_t pid) {
    kill(-pid, SIGTERM);
    HelperResult ignored;
    for (int step = 0; step < kTermGraceSteps; ++step) {
        if (reapIfEnded(pid, ignored)) return;
        usleep(10000);
    }
    kill(-pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Appends what the pipe holds now; false at end of file or on an error.
bool readAvailable(int fd, HelperResult& result, size_t maxOutput) {
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
        if (got == 0) return false;
        size_t room = maxOutput - std::min(maxOutput, result.output.size());
        if (size_t(got) > room) result.outputCutOff = true;
        result.output.append(buffer, std::min(room, size_t(got)));
    }
}

}  // namespace

std::vector<std::string> helperEnvironment(char** environment) {
    std::vector<std::string> kept;
    for (char** entry = environment; entry && *entry; ++entry)
        if (std::strncmp(*entry, "LD_", 3) != 0) kept.emplace_back(*entry);
    return kept;
}

std::string findOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return "";
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end - start);
        if (folder.empty()) folder = ".";
        std::string candidate = folder + "/" + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos) return "";
        start = end + 1;
    }
}

std::unique_ptr<HelperProcess> HelperProcess::start(const std::string& program,
                                                   const std::vector<std::string>& arguments,
                                                   size_t maxOutput, HelperLaunch launch) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return nullptr;
    std::vector<std::string> environment = helperEnvironment(environ);
    std::vector<char*> argv, envp;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    AddCloseFrom closeFrom = launch == HelperLaunch::Automatic ? addCloseFrom() : nullptr;
    pid_t pid = closeFrom ? spawnHelper(program.c_str(), argv.data(), envp.data(), pipeFds[1],
                                        closeFrom)
                          : forkHelper(program.c_str(), argv.data(), envp.data(), pipeFds[1]);
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return nullptr;
    }
    fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<HelperProcess>(new HelperProcess(pid, pipeFds[0], maxOutput));
}

HelperProcess::HelperProcess(pid_t pid, int outputFd, size_t maxOutput)
    : pid(pid), outputFd(outputFd), maxOutput(maxOutput) {}

HelperProcess::~HelperProcess() {
    close(outputFd);
    if (!ended) endGroup(pid);
}

std::optional<HelperResult> HelperProcess::poll() {
    if (ended) return std::nullopt;
    if (pipeOpen) pipeOpen = readAvailable(outputFd, result, maxOutput);
    if (!reapIfEnded(pid, result)) return std::nullopt;
    // What the helper wrote before it ended is in the pipe; a grandchild that still holds
    // the pipe must not keep us waiting.
    if (pipeOpen) pipeOpen = readAvailable(outputFd, result, maxOutput);
    ended = true;
    return result;
}

}  // namespace platform::posix
