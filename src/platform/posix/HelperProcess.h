// A dialog helper program (zenity, kdialog) run as a child of the host's process while
// the host's user-interface thread keeps turning the modal pump.
#pragma once

#include <string>
#include <vector>

#include "platform/ModalPump.h"

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
        NotStarted,
        Exited,     // status holds the exit code when statusKnown
        Killed,     // ended by a signal it did not ask for
        Abandoned,  // the pump answered false; the helper was ended
    };
    End end = End::NotStarted;
    int exitCode = 0;
    // False when someone else reaped the child (a host that ignores SIGCHLD or reaps
    // every child in its handler); only the output tells what happened then.
    bool statusKnown = true;
    std::string output;
    bool outputCutOff = false;  // more than maxOutput bytes arrived
};

// Runs program (a path) with arguments in its own process group, stdin and stderr on
// /dev/null, no descriptor of ours but the output pipe, default signal handling. Between
// short waits for it the pump is called; when the pump answers false the helper's group
// is ended (SIGTERM, SIGKILL if it lingers) and reaped.
HelperResult runHelper(const std::string& program, const std::vector<std::string>& arguments,
                       const ModalPump& pump, size_t maxOutput);

}  // namespace platform::posix
