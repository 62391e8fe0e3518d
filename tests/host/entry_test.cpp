// The entry points and the record a host receives from them.
#include <gtest/gtest.h>

#include <cstring>

#include "support/PluginFixture.h"
#include "support/TemporaryFolder.h"

namespace {

VstIntPtr hostAnsweringZero(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(library) << error;
    }
    std::unique_ptr<PluginLibrary> library;
};

TEST_F(EntryTest, BothNamesAreExportedAndRefuseAHostWithoutVersion) {
    for (const char* name : {"VSTPluginMain", "main"}) {
        PluginEntryProc entry = library->entry(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry(hostAnsweringZero), nullptr) << name;
        EXPECT_EQ(entry(nullptr), nullptr) << name;
    }
}

TEST_F(EntryTest, EachNameCreatesAnEffectThatCloses) {
    for (const char* name : {"VSTPluginMain", "main"}) {
        RecordingHost host;
        AEffect* effect = host.instantiate(library->entry(name));
        ASSERT_NE(effect, nullptr) << name;
        ASSERT_FALSE(host.callsOf(audioMasterVersion).empty());
        EXPECT_EQ(host.calls.front().opcode, audioMasterVersion);
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}

TEST_F(EntryTest, RecordCarriesTheEffectsShape) {
    RecordingHost host;
    HostedEffect plugin(host.instantiate(library->defaultEntry()));
    const AEffect* e = plugin.effect();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_NE(e->dispatcher, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->setParameter, nullptr);
    EXPECT_NE(e->getParameter, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 12);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags & ~effFlagsHasEditor, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->uniqueID, 0x4B525657);
    EXPECT_EQ(e->version, 1);
    char zeros[sizeof(e->future)] = {};
    EXPECT_EQ(std::memcmp(e->future, zeros, sizeof(zeros)), 0);
}

TEST_F(EntryTest, TwoInstancesAreIndependent) {
    RecordingHost hostA, hostB;
    HostedEffect a(hostA.instantiate(library->defaultEntry()));
    HostedEffect b(hostB.instantiate(library->defaultEntry()));
    a.setParameter(6, 1.0f);
    EXPECT_EQ(a.parameterDisplay(6), "30.00");
    EXPECT_EQ(b.parameterDisplay(6), "0.00");
}

// What a host tells its user when a file is no plug-in: one line naming the file.
TEST(PluginLibraryTest, FilesThatAreNoPlugInAreRefusedWithAReason) {
    TemporaryFolder folder;
    folder.write("text.dll", "not a library");
#ifdef _WIN32
    const std::string systemLibrary = "kernel32.dll";
#else
    const std::string systemLibrary = "libm.so.6";
#endif
    for (const std::string& path :
         {folder.file("missing.dll"), folder.file("text.dll"), folder.path(), systemLibrary}) {
        std::string error;
        EXPECT_EQ(PluginLibrary::open(path, error), nullptr) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    std::string error;
    PluginLibrary::open(systemLibrary, error);
    EXPECT_EQ(error, systemLibrary + " is not a plug-in: it exports neither VSTPluginMain nor main");
}

}  // namespace
