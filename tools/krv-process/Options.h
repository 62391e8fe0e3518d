// Command line of krv-process.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct Options {
    std::string pluginPath;     // empty: the first one found
    std::string input;
    std::string output;
    std::string demoDirectory;  // --demo: generate the input there
    std::string preset;         // number or name; empty for none
    std::vector<std::pair<std::string, std::string>> parameters;  // name or index, value text
    int blockSize = 512;
    bool doublePrecision = false;
    bool list = false;
    bool help = false;
    bool quiet = false;
};

// Parses argv; false with a one-line reason in error for a malformed command line.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

// pluginSearch: where the plug-in is looked for when --plugin is not given.
void printUsage(FILE* out, const std::string& pluginSearch);
