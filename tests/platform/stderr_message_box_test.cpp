// The plug-in's interim message box: the box reaches standard error whole.
#include <gtest/gtest.h>

#include "platform/MessageBox.h"

TEST(StderrMessageBoxTest, TitleTextAndIconReachStandardError) {
    testing::internal::CaptureStderr();
    showMessageBox("Error...", "Not a bank file!", MessageBoxIcon::Error);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[KRV tarnwick error] Error...: Not a bank file!\n");
}
