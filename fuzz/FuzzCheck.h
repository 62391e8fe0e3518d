// What every fuzz target needs: a check that stops the run with a message, and a scratch
// folder of this process.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A folder of this process, removed at exit. Kept on the heap so that it outlives the
// static destructors that run before the exit handler.
inline const std::string& scratchFolder() {
    static const std::string* folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "krv-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "scratch folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}
