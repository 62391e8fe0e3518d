// A private X server for the tests that need a real display: Xvfb on a free display
// number, with DISPLAY pointing at it while it runs.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // False with a reason when the server did not come up.
    bool start(std::string& error);
    void stop();
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    std::string name;
};
