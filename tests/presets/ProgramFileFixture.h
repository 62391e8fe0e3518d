// An in-process effect with a recording editor, a scratch folder and the headless
// message box, for the bank and preset file tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/RecordedMessageBoxes.h"
#include "support/InProcessEffect.h"
#include "support/RecordingPresetEditor.h"
#include "support/StoreSnapshot.h"
#include "support/TemporaryFolder.h"

class ProgramFileTest : public ::testing::Test {
protected:
    ProgramFileTest() {
        editor = new RecordingPresetEditor(&effect);
        effect.setEditor(editor);
        platform::clearRecordedMessageBoxes();
    }

    // The texts of the message boxes shown so far; every one must be an error box.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const platform::RecordedMessageBox& box : platform::recordedMessageBoxes()) {
            EXPECT_EQ(box.title, "Error...");
            EXPECT_EQ(box.icon, platform::MessageBoxIcon::Error);
            texts.push_back(box.text);
        }
        return texts;
    }

    // After a read: the selected program was applied, parameter by parameter as user
    // edits, with one display refresh at the end.
    void expectSelectionReported(const ProgramState& applied) {
        ASSERT_EQ(host.calls.size(), 12u * 4 + 1);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(host.calls[4 * i].opcode, audioMasterBeginEdit);
            EXPECT_EQ(host.calls[4 * i + 2].opcode, audioMasterAutomate);
            EXPECT_EQ(host.calls[4 * i + 2].index, i);
            EXPECT_EQ(host.calls[4 * i + 2].opt, applied.values[i]);
            EXPECT_EQ(effect.getParameter(i), applied.values[i]) << i;
        }
        EXPECT_EQ(host.calls.back().opcode, audioMasterUpdateDisplay);
    }

    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
    RecordingHost& host = fixture.host;
    RecordingPresetEditor* editor = nullptr;  // owned by the effect
    TemporaryFolder folder;
};
