#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tools/krv-process/Options.h"

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            target = argv[++i];
            return true;
        };
        if (arg == "--plugin") {
            if (!value(options.pluginPath)) return false;
        } else if (arg == "--preset") {
            if (!value(options.preset)) return false;
        } else if (arg == "--set") {
            std::string assignment;
            if (!value(assignment)) return false;
            size_t equals = assignment.find('=');
            if (equals == std::string::npos || equals == 0) {
                error = "--set takes NAME=VALUE, not \"" + assignment + "\"";
                return false;
            }
            options.parameters.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
        } else if (arg == "--block") {
            std::string text;
            if (!value(text)) return false;
            char* end = nullptr;
            long size = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end || size < 1 || size > 65536) {
                error = "--block takes a size from 1 to 65536, not \"" + text + "\"";
                return false;
            }
            options.blockSize = static_cast<int>(size);
        } else if (arg == "--demo") {
            if (!value(options.demoDirectory)) return false;
        } else if (arg == "--double") {
            options.doublePrecision = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help || options.list) return true;
    if (!options.demoDirectory.empty()) {
        if (!positional.empty()) {
            error = "--demo writes its own files; give no INPUT or OUTPUT";
            return false;
        }
        options.input = options.demoDirectory + "/demo.wav";
        options.output = options.demoDirectory + "/demo-tarnwick.wav";
        return true;
    }
    if (positional.size() != 2) {
        error = "give an INPUT and an OUTPUT file";
        return false;
    }
    options.input = positional[0];
    options.output = positional[1];
    return true;
}

namespace {

// Words of text in lines of at most width characters, each after indent.
void printWrapped(FILE* out, const std::string& text, const char* indent, size_t width) {
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            std::fprintf(out, "%s%s\n", indent, line.c_str());
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) std::fprintf(out, "%s%s\n", indent, line.c_str());
}

}  // namespace

void printUsage(FILE* out, const std::string& pluginSearch) {
    std::fprintf(out,
                 "usage: krv-process [options] INPUT OUTPUT\n"
                 "       krv-process [options] --demo DIR\n"
                 "       krv-process [options] --list\n"
                 "Runs an audio file (WAV, AIFF or FLAC; mono or stereo) through a plug-in.\n"
                 "  --plugin FILE      VST 2.4 library, or CLAP plug-in when FILE ends in\n"
                 "                     .clap; without it,\n");
    printWrapped(out, pluginSearch, "                     ", 58);
    std::fprintf(out,
                 "  --preset P         factory preset by number or name (case-insensitive)\n"
                 "  --set NAME=VALUE   parameter by name or index; may be repeated, applied\n"
                 "                     after the preset. VALUE as the plug-in shows it, with or\n"
                 "                     without its unit (Ratio=4:1, Output=6, Process=valve),\n"
                 "                     or a normalised value: a plain number from 0 to 1 is\n"
                 "                     always normalised (Output=0.5 is half way, not 0.5 dB)\n"
                 "  --block N          block size in frames (default 512)\n"
                 "  --double           use the 64-bit processing path\n"
                 "  --demo DIR         write a drum pattern to DIR/demo.wav and process it\n"
                 "                     into DIR/demo-tarnwick.wav\n"
                 "  --list             print the presets and parameters (after --preset, --set)\n"
                 "  --quiet            print neither the values set nor the level summary\n"
                 "It names the plug-in it loaded on stderr, the values set and the levels on\n"
                 "stdout.\n");
}
