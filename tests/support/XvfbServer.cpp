#include "support/XvfbServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

bool XvfbServer::start(std::string& error) {
    int ready[2];
    if (pipe(ready) != 0) {
        error = "cannot make a pipe for Xvfb";
        return false;
    }
    pid = fork();
    if (pid < 0) {
        error = "cannot start Xvfb";
        return false;
    }
    if (pid == 0) {
        close(ready[0]);
        std::string fd = std::to_string(ready[1]);
        // -noreset: the server would otherwise reset, refusing connections for a moment,
        // whenever its last client leaves between two tests.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (number.empty()) {
        error = "Xvfb did not start (is the xvfb package installed?)";
        stop();
        return false;
    }
    name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    return true;
}

void XvfbServer::stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    unsetenv("DISPLAY");
}
