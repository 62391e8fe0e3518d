// Under Wine a program can end before its first instruction (Wine's loader or its server
// connection failed) with an exit status and no output, which CTest cannot tell from a test
// that failed. scripts/wine-run.sh tells them apart by this file: "started" is written before
// the other static constructors run, "ended" after the last exit handler.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char markerPath[1024];

void mark(const char* line) {
    if (std::FILE* file = std::fopen(markerPath, "ab")) {
        std::fputs(line, file);
        std::fclose(file);
    }
}

void markEnd() { mark("ended\n"); }

// Registered first, so run last of the exit handlers.
__attribute__((constructor(101))) void markStart() {
    const char* path = std::getenv("KRV_START_MARKER");
    if (!path || !*path || std::strlen(path) >= sizeof markerPath) return;
    std::strcpy(markerPath, path);
    // Programs this one starts are not the one being watched.
    _putenv("KRV_START_MARKER=");
    mark("started\n");
    std::atexit(markEnd);
}

}  // namespace
