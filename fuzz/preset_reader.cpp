// Any bytes as a preset file: the read either refuses the file with one message and
// leaves the store as it was, or the selected program and the working copy hold
// exactly the file's program.
#include "FuzzSupport.h"
#include "platform/headless/RecordedMessageBoxes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeScratchFile(scratchFolder() + "/input.krv", data, size);
    AutoComp effect(nullptr);
    const int selected = 1 + static_cast<int>(size % (kNumPrograms - 1));
    effect.selectProgram(selected);
    StoreSnapshot before = storeSnapshot(effect);
    platform::clearRecordedMessageBoxes();

    bool loaded = effect.readPreset(scratchFolder(), "input.krv");

    bool namesOnly = size == presetfile::kPresetNamesOnlySize;
    bool acceptable = hasMagic(data, size) && size >= 5 && data[4] == 0x21 &&
                      size >= (namesOnly ? 29u : 77u);
    require(loaded == acceptable, "a preset is read exactly when its checks pass");
    require(platform::recordedMessageBoxes().size() == (loaded ? 0u : 1u), "one message per refusal");

    StoreSnapshot expected = before;
    if (loaded) {
        decodeRecord(data + 5, !namesOnly, expected.programs[selected]);
        expected.programs[0] = expected.programs[selected];
    }
    require(storeSnapshot(effect) == expected, "store unchanged or wholly loaded");
    for (int i = 0; i < kNumParameters; ++i)
        require(effect.getParameter(i) == expected.programs[selected].values[i],
                "the effect runs the selected program");
    return 0;
}
