// The whole state as a blob: from one instance into another, with the bytes laid out as
// documented, and anything but a whole valid blob refused without a change.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "presets/PresetFileFormat.h"
#include "support/InProcessEffect.h"
#include "support/RecordingPresetEditor.h"
#include "support/StoreSnapshot.h"
#include "support/TemporaryFolder.h"

namespace {

constexpr std::size_t kBlobSize = 2388;

std::vector<float> parameters(AutoComp& effect) {
    std::vector<float> values;
    for (int i = 0; i < kNumParameters; ++i) values.push_back(effect.getParameter(i));
    return values;
}

// A second of noise through the effect in 256-frame blocks.
std::vector<float> render(AutoComp& effect) {
    effect.setSampleRate(48000.0f);
    effect.resume();
    std::vector<float> left(256), right(256), outLeft(256), outRight(256), out;
    unsigned seed = 12345;
    for (int block = 0; block < 48000 / 256; ++block) {
        for (int i = 0; i < 256; ++i) {
            seed = seed * 1664525u + 1013904223u;
            left[i] = right[i] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        }
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        effect.processReplacing(inputs, outputs, 256);
        out.insert(out.end(), outLeft.begin(), outLeft.end());
        out.insert(out.end(), outRight.begin(), outRight.end());
    }
    return out;
}

TEST(StateBlob, CarriesTheWholeStoreIntoAnotherInstanceLaidOutAsDocumented) {
    InProcessEffect first;
    AutoComp& a = first.effect();
    a.selectProgram(20);
    a.renameProgram("Renamed twenty");
    a.selectProgram(9);
    a.setParameter(parameters::kOutput, 0.4f);
    a.setParameter(parameters::kRatio, 1.0f);
    a.storeProgramName("Kept");
    const std::string blob = a.saveState();

    // The header, then the store's records exactly as a bank file holds them.
    ASSERT_EQ(blob.size(), kBlobSize);
    EXPECT_EQ(blob.substr(0, 12), std::string("KRVS\x01\0\0\0\x09\0\0\0", 12));
    TemporaryFolder folder;
    ASSERT_TRUE(a.writeBank(folder.path(), "same.krb"));
    std::string bank;
    std::uint64_t length = 0;
    ASSERT_TRUE(platform::readFileStart(platform::joinPath(folder.path(), "same.krb"), 4096, bank,
                                        length));
    EXPECT_EQ(blob.substr(12), bank.substr(presetfile::kHeaderSize));

    InProcessEffect second;
    AutoComp& b = second.effect();
    auto* editor = new RecordingPresetEditor(&b);
    b.setEditor(editor);
    second.host.clear();
    ASSERT_TRUE(b.loadState(blob.data(), blob.size()));
    EXPECT_EQ(storeSnapshot(b), storeSnapshot(a));
    EXPECT_EQ(parameters(b), parameters(a));
    EXPECT_EQ(b.saveState(), blob);
    EXPECT_TRUE(second.host.calls.empty());  // its front end tells the host
    ASSERT_EQ(editor->log.size(), 35u);
    EXPECT_EQ(editor->log[20], "entry 20 Renamed twenty");
    EXPECT_EQ(editor->log[33], "current 9");
    EXPECT_EQ(editor->log[34], "field Kept");
    // Same state, same sound.
    EXPECT_EQ(render(b), render(a));
}

TEST(StateBlob, AnythingButAWholeValidBlobIsRefusedWithoutAChange) {
    InProcessEffect source;
    source.effect().selectProgram(5);
    const std::string valid = source.effect().saveState();
    ASSERT_EQ(valid.size(), kBlobSize);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto withFloat = [&](std::size_t offset, float value) {
        std::string bytes = valid;
        unsigned char le[4];
        presetfile::floatToLittleEndian(value, le);
        bytes.replace(offset, 4, reinterpret_cast<const char*>(le), 4);
        return bytes;
    };
    auto withByte = [&](std::size_t offset, char value) {
        std::string bytes = valid;
        bytes[offset] = value;
        return bytes;
    };
    const std::size_t firstValue = 12 + 24, lastValue = kBlobSize - 4;
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"truncated by one byte", valid.substr(0, kBlobSize - 1)},
        {"the header alone", valid.substr(0, 12)},
        {"one byte more", valid + '\0'},
        {"a bank file's magic", "WVRK" + valid.substr(4)},
        {"version 0", withByte(4, 0)},
        {"version 2", withByte(4, 2)},
        {"a version past 255", withByte(5, 1)},
        {"program 33 selected", withByte(8, 33)},
        {"a negative selection", withByte(11, '\x80')},
        {"a NaN value", withFloat(firstValue, nan)},
        {"an infinite value", withFloat(lastValue, std::numeric_limits<float>::infinity())},
        {"a value above 1", withFloat(lastValue, 1.5f)},
        {"a value below 0", withFloat(firstValue + 8, -0.25f)},
        {"bytes after a name's terminator", withByte(12 + 72 * 7 + 23, 'x')},
    };

    InProcessEffect target;
    AutoComp& effect = target.effect();
    effect.selectProgram(17);
    effect.setParameter(parameters::kTime, 0.3f);
    auto* editor = new RecordingPresetEditor(&effect);
    effect.setEditor(editor);
    target.host.clear();
    const StoreSnapshot before = storeSnapshot(effect);
    const std::vector<float> running = parameters(effect);
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(effect.loadState(bytes.data(), bytes.size()));
        EXPECT_EQ(storeSnapshot(effect), before);
        EXPECT_EQ(parameters(effect), running);
    }
    EXPECT_FALSE(effect.loadState(nullptr, kBlobSize));
    EXPECT_TRUE(editor->log.empty());
    EXPECT_TRUE(target.host.calls.empty());
}

}  // namespace
