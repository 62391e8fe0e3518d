// The Linux side of the Windows build's comparisons, run by the Windows tests' CTest:
//   krv-cross-check render PLUGIN FILE   renders every session through PLUGIN into FILE
//   krv-cross-check bank FILE NAME       reads the bank FILE, writes it again and checks that
//                                        the bytes are the same and the working program
//                                        (program 0) is called NAME
#include <cstdio>
#include <string>
#include <vector>

#include "Renders.h"
#include "platform/Files.h"
#include "presets/CProgram.h"
#include "support/InProcessEffect.h"

namespace {

int renderAll(const std::string& plugin, const std::string& file) {
    std::string error;
    auto library = PluginLibrary::open(plugin, error);
    if (!library) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<std::pair<std::string, std::string>> renders;
    for (const cross::Session& session : cross::sessions()) {
        std::string bytes = cross::render(*library, session, error);
        if (bytes.empty()) {
            std::fprintf(stderr, "%s: %s\n", session.name.c_str(), error.c_str());
            return 1;
        }
        renders.emplace_back(session.name, std::move(bytes));
    }
    const std::string packed = cross::packRenders(renders);
    if (!platform::replaceFile(file, packed.data(), packed.size())) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("%zu sessions rendered into %s\n", renders.size(), file.c_str());
    return 0;
}

std::string readWhole(const std::string& path) {
    std::string bytes;
    std::uint64_t length = 0;
    if (!platform::readFileStart(path, 1 << 20, bytes, length)) return {};
    return bytes;
}

int checkBank(const std::string& file, const std::string& expectedName) {
    const std::string original = readWhole(file);
    InProcessEffect fixture;
    const size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
    const std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
    if (original.empty() || !fixture.effect().readBank(folder, name)) {
        std::fprintf(stderr, "the Linux build cannot read the bank %s\n", file.c_str());
        return 1;
    }
    const std::string copy = name + ".linux";
    if (!fixture.effect().writeBank(folder, copy) || readWhole(folder + "/" + copy) != original) {
        std::fprintf(stderr, "the bank the Linux build writes back differs from %s\n",
                     file.c_str());
        return 1;
    }
    char programName[64] = {};
    fixture.effect().program(0)->getName(programName);
    if (expectedName != programName) {
        std::fprintf(stderr, "program 0 is \"%s\", not \"%s\"\n", programName,
                     expectedName.c_str());
        return 1;
    }
    std::printf("the Linux build reads %s (%zu bytes) and writes it back byte for byte\n",
                file.c_str(), original.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "render") return renderAll(args[1], args[2]);
    if (args.size() == 3 && args[0] == "bank") return checkBank(args[1], args[2]);
    std::fprintf(stderr, "usage: krv-cross-check render PLUGIN FILE | bank FILE NAME\n");
    return 2;
}
