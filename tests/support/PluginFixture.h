// The built plug-in, loaded through dlopen and its entry point behind a RecordingHost.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hosting/RecordingHost.h"

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(library) << error;
        plugin = HostedEffect::create(*library, host, error);
        ASSERT_TRUE(plugin) << error;
        host.clear();
    }
    void TearDown() override {
        plugin.reset();
        library.reset();
    }
    AEffect* record() { return plugin->effect(); }

    RecordingHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> plugin;
};
