#include "platform/posix/HelperProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform::posix {

namespace {

constexpr int kTermGraceSteps = 50;  // of 10 ms before SIGKILL

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

    bool prepare(int outputFd) {
        bool ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
                  posix_spawn_file_actions_adddup2(&actions, outputFd, 1) == 0 &&
                  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
        // Hosts leak descriptors without close-on-exec; a helper must not hold them open.
        ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#endif
        // Hosts block or ignore signals for their own reasons; the helper starts clean.
        sigset_t none, reset;
        sigemptyset(&none);
        sigemptyset(&reset);
        for (int signal :
             {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
            sigaddset(&reset, signal);
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
                                                   size_t maxOutput) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return nullptr;
    SpawnSettings settings;
    if (!settings.prepare(pipeFds[1])) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return nullptr;
    }
    std::vector<std::string> environment = helperEnvironment(environ);
    std::vector<char*> argv, envp;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    int spawned = posix_spawn(&pid, program.c_str(), &settings.actions, &settings.attributes,
                              argv.data(), envp.data());
    close(pipeFds[1]);
    if (spawned != 0) {
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
