// A test suite on its own private X server: started before the suite's first test and
// stopped after its last, with DISPLAY pointing at it meanwhile.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/XvfbServer.h"

class XvfbSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new XvfbServer;
        std::string error;
        serverError.clear();
        if (!server->start(error)) serverError = error;
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    inline static XvfbServer* server = nullptr;
    // Why the server did not come up; each test asserts it is empty first.
    inline static std::string serverError;
};
