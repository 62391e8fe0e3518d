// Any bytes as the key file of memory A: the text reads back unchanged after writing,
// and a recall applies exactly the well-formed values and nothing else.
#include <stdlib.h>

#include "FuzzSupport.h"
#include "platform/SettingsStore.h"
#include "platform/posix/FileSettingsStore.h"
#include "platform/posix/SettingsText.h"

namespace {
const char kMemoA[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("XDG_CONFIG_HOME", scratchFolder().c_str(), 1);
    std::filesystem::create_directories(scratchFolder() + "/SOFTWARE/KRV-soundlab/KRVTW1");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeScratchFile(platform::settingsKeyFile(kMemoA), data, size);
    platform::SettingsKey key;
    require(platform::readSettingsKey(kMemoA, key), "an existing key file is read");
    require(platform::parseSettingsText(platform::formatSettingsText(kMemoA, key)) == key, "text round trip");

    AutoComp effect(nullptr);
    const int selected = 1 + static_cast<int>(size % (kNumPrograms - 1));
    effect.selectProgram(selected);
    StoreSnapshot expected = storeSnapshot(effect);
    require(effect.recallMemoA() == 0, "an existing memory is recalled");

    ProgramState& program = expected.programs[selected];
    for (int i = 0; i < kNumParameters; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "param%3d", i);
        unsigned char bytes[4];
        if (key.getBinary(name, bytes, 4))
            program.values[i] = clampUnit(presetfile::floatFromLittleEndian(bytes));
    }
    std::string name;
    if (key.getString("name", name) && name.size() <= 63) program.name = name.substr(0, 24);
    expected.programs[0] = program;
    require(storeSnapshot(effect) == expected, "exactly the well-formed values recalled");
    for (int i = 0; i < kNumParameters; ++i)
        require(effect.getParameter(i) == program.values[i], "the effect runs the recall");
    return 0;
}
