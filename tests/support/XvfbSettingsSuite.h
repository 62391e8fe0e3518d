// A test suite on its own private X server whose settings file (where the A/B memories
// live) is a throwaway one: never the user's while tests run.
#pragma once

#include <cstdlib>

#include "support/TemporaryFolder.h"
#include "support/XvfbSuite.h"

class XvfbSettingsSuite : public XvfbSuite {
protected:
    static void SetUpTestSuite() {
        XvfbSuite::SetUpTestSuite();
        configFolder = new TemporaryFolder;
        ::setenv("XDG_CONFIG_HOME", configFolder->path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        XvfbSuite::TearDownTestSuite();
        delete configFolder;
        configFolder = nullptr;
    }

    inline static TemporaryFolder* configFolder = nullptr;
};
