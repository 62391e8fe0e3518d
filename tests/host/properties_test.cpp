// Identity, pins, capabilities and channel configurations, through the built plug-in.
#include <gtest/gtest.h>

#include <cstring>

#include "support/PluginFixture.h"

namespace {

using PropertiesTest = PluginFixture;

TEST_F(PropertiesTest, IdentityStrings) {
    char buffer[128];
    std::memset(buffer, 0x7F, sizeof(buffer));
    EXPECT_EQ(plugin->dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "KRV tarnwick");
    EXPECT_EQ(plugin->dispatch(effGetProductString, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "KRV tarnwick - opto compressor");
    EXPECT_EQ(plugin->dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 16u);
    EXPECT_NE(std::strchr(buffer, '.'), nullptr);
}

TEST_F(PropertiesTest, InputPins) {
    for (VstInt32 i = 0; i < 4; ++i) {
        VstPinProperties pin{};
        EXPECT_EQ(plugin->dispatch(effGetInputProperties, i, 0, &pin), 1) << i;
        EXPECT_EQ(std::string(pin.label), "KRV tarnwick " + std::to_string(i + 1) + " In");
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    }
    for (VstInt32 i : {4, 100, -1}) {
        VstPinProperties pin{};
        EXPECT_EQ(plugin->dispatch(effGetInputProperties, i, 0, &pin), 0) << i;
        EXPECT_EQ(pin.label[0], '\0');
        EXPECT_EQ(pin.flags, 0);
    }
}

TEST_F(PropertiesTest, OutputPins) {
    VstPinProperties pin{};
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "KRV tarnwick 2 Out");
    EXPECT_EQ(pin.flags, 3);
    VstPinProperties untouched{};
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 2, 0, &untouched), 0);
    EXPECT_EQ(untouched.label[0], '\0');
}

TEST_F(PropertiesTest, CanDoMatchesWholeTextsOnly) {
    for (const char* text : {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out", "1in2out",
                             "2in2out"})
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(text)), 1) << text;
    for (const char* text : {"2in2out ", "2in2", "", "receiveVstMidiEvent", "bypass", "OFFLINE"})
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(text)), 0) << text;
}

class SpeakerArrangementTest : public PluginFixture {
protected:
    VstIntPtr arrange(VstInt32 inputs, VstInt32 outputs) {
        VstSpeakerArrangement in{0, inputs}, out{0, outputs};
        return plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in),
                                &out);
    }
};

TEST_F(SpeakerArrangementTest, SupportedPairsAreAccepted) {
    EXPECT_EQ(arrange(1, 1), 1);
    EXPECT_EQ(arrange(1, 2), 1);
    EXPECT_EQ(arrange(2, 2), 1);
    EXPECT_EQ(record()->numInputs, 2);
    EXPECT_EQ(record()->numOutputs, 2);
}

TEST_F(SpeakerArrangementTest, OtherPairsAreRefused) {
    for (auto [in, out] : {std::pair{2, 1}, {0, 2}, {6, 6}, {2, 3}, {-1, 2}})
        EXPECT_EQ(arrange(in, out), 0) << in << " in, " << out << " out";
    EXPECT_EQ(record()->numInputs, 2);
    EXPECT_EQ(record()->numOutputs, 2);
}

}  // namespace
