// Any bytes as a bank file: the read either refuses the file with one message and
// leaves the store as it was, or the store holds exactly the file's programs.
#include "FuzzSupport.h"
#include "platform/headless/RecordedMessageBoxes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeScratchFile(scratchFolder() + "/input.krb", data, size);
    AutoComp effect(nullptr);
    effect.selectProgram(static_cast<int>(size % kNumPrograms));
    StoreSnapshot before = storeSnapshot(effect);
    platform::clearRecordedMessageBoxes();

    bool loaded = effect.readBank(scratchFolder(), "input.krb");

    bool namesOnly = size == presetfile::kBankNamesOnlySize;
    std::size_t stride = namesOnly ? 24 : 72;
    int count = namesOnly ? 32 : 33;
    bool acceptable = hasMagic(data, size) && size >= 5 && data[4] == 0x37 &&
                      size >= 5 + stride * count;
    require(loaded == acceptable, "a bank is read exactly when its checks pass");
    require(platform::recordedMessageBoxes().size() == (loaded ? 0u : 1u), "one message per refusal");

    StoreSnapshot expected = before;
    if (loaded) {
        for (int j = 0; j < count; ++j)
            decodeRecord(data + 5 + stride * j, !namesOnly, expected.programs[j]);
        expected.selected = 0;
    }
    require(storeSnapshot(effect) == expected, "store unchanged or wholly loaded");
    for (int i = 0; i < kNumParameters; ++i)
        require(effect.getParameter(i) == expected.programs[expected.selected].values[i],
                "the effect runs the selected program");
    return 0;
}
