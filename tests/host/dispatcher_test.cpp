// The dispatcher's answers, as a host sees them through the record.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using DispatcherTest = PluginFixture;

TEST_F(DispatcherTest, FixedAnswers) {
    EXPECT_EQ(plugin->dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin->dispatch(effGetVendorVersion), 1160);
    EXPECT_EQ(plugin->dispatch(effGetPlugCategory), 4);
    EXPECT_EQ(plugin->dispatch(effGetTailSize), 0);
    EXPECT_EQ(plugin->dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plugin->dispatch(effSetTotalSampleToProcess, 0, 4096), 4096);
    EXPECT_EQ(plugin->dispatch(effString2Parameter, 0, 0, const_cast<char*>("0.5")), 0);
    EXPECT_EQ(plugin->dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(plugin->dispatch(effGetParameterProperties, 0), 0);
    for (VstInt32 index : {0, 1, 5, 11, 12, -1})
        EXPECT_EQ(plugin->dispatch(effCanBeAutomated, index), 1) << index;
}

TEST_F(DispatcherTest, UnknownAndDeprecatedOpcodesAnswerZero) {
    for (VstInt32 opcode : {9, 16, 17, 18, 20, 21, 25, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55,
                            57, 62, 64, 65, 66, 67, 68, 70, 71, 72, 74, 75, 76, 77, 78, 79, 80,
                            81, 1000, -1, -100})
        EXPECT_EQ(plugin->dispatch(opcode), 0) << "opcode " << opcode;
}

TEST_F(DispatcherTest, NoChunkIsOffered) {
    void* chunk = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(plugin->dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(plugin->dispatch(effGetChunk, 1, 0, &chunk), 0);
    char data[16] = {};
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, sizeof(data), data), 0);
}

TEST_F(DispatcherTest, OneProgramNamedCurrent) {
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->text(effGetProgramName), "Current");
    char name[64] = {};
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 0, 7, name), 1);
    EXPECT_STREQ(name, "Current");
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 1, 0, name), 0);
    // Values outside the one program are ignored; the program stays 0.
    plugin->dispatch(effSetProgram, 0, 5);
    plugin->dispatch(effSetProgram, 0, -1);
    plugin->dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
}

TEST_F(DispatcherTest, HostRenamesTheProgramCutAt24) {
    char longName[] = "A name that is much longer than allowed";
    plugin->dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(plugin->text(effGetProgramName), "A name that is much long");
}

TEST_F(DispatcherTest, SpeakerArrangementQueryWritesNullThroughBoth) {
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                               &output),
              0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST_F(DispatcherTest, BlockSizeSampleRateAndMainsAreAccepted) {
    EXPECT_EQ(plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(plugin->dispatch(effSetBlockSize, 0, 512), 0);
    EXPECT_EQ(plugin->dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(plugin->dispatch(effMainsChanged, 0, 0), 0);
    EXPECT_EQ(record()->initialDelay, 0);
}

// A host that passes null where a buffer belongs gets the out-of-range answer, not a crash.
TEST_F(DispatcherTest, NullBuffersAreIgnored) {
    for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel,
                            effGetParamDisplay, effGetParamName, effGetProgramNameIndexed,
                            effGetInputProperties, effGetOutputProperties, effGetEffectName,
                            effGetVendorString, effGetProductString, effCanDo,
                            effSetSpeakerArrangement, effEditGetRect})
        EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    VstSpeakerArrangement stereo{0, 2};
    EXPECT_EQ(plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&stereo),
                               nullptr),
              0);
    EXPECT_EQ(plugin->dispatch(effSetSpeakerArrangement, 0, 0, &stereo), 0);
    EXPECT_EQ(plugin->text(effGetProgramName), "Current");
}

}  // namespace
