// A dialog helper program (zenity, kdialog) run as a child of the host's process and
// watched without blocking, so that the host's user-interface thread never waits for it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::posix {

// The environment a helper gets: ours without any LD_ variable. Those configure the
// host's dynamic loader for the host's own bundled libraries (LD_LIBRARY_PATH,
// LD_PRELOAD, LD_AUDIT, LD_BIND_NOW, ...); a helper linked against the system's libraries
// fails or misbehaves with them, and none is needed to run a system program.
std::vector<std::string> helperEnvironment(char** environment);

// The executable file name found in the folders of PATH, or empty.
std::string findOnPath(const std::string& name);

struct HelperResult {
    enum class End {
        Exited,  // exitCode holds the exit code when statusKnown
        Killed,  // ended by a signal it did not ask for
    };
    End end = End::Exited;
    int exitCode = 0;
    // False when someone else reaped the child (a host that ignores SIGCHLD or reaps
    // every child in its handler); only the output tells what happened then.
    bool statusKnown = true;
    std::string output;
    bool outputCutOff = false;  // more than maxOutput bytes arrived
};

// How a helper is started: posix_spawn when this C library can close the inherited
// descriptors in it (glibc 2.34 on), else fork and exec. Tests force the second.
enum class HelperLaunch { Automatic, ForkAndExec };

class HelperProcess {
public:
    // Starts program (a path) with arguments in its own process group, stdin and stderr on
    // /dev/null, no descriptor of ours but the output pipe, default signal handling; null
    // when it cannot be started.
    static std::unique_ptr<HelperProcess> start(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                size_t maxOutput,
                                                HelperLaunch launch = HelperLaunch::Automatic);
    // A helper still running is ended with its group (SIGTERM, SIGKILL if it lingers for
    // half a second) and reaped.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Reads what the helper wrote and looks whether it ended, without waiting: the result
    // once it has, nothing while it runs. After the result, nothing more.
    std::optional<HelperResult> poll();

private:
    HelperProcess(pid_t pid, int outputFd, size_t maxOutput);

    pid_t pid;
    int outputFd;
    size_t maxOutput;
    bool pipeOpen = true;
    bool ended = false;
    HelperResult result;
};

}  // namespace platform::posix
