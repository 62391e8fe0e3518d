// A host automating, switching and renaming programs and turning the effect off and on
// from a second thread while the user opens, idles and closes the editor. Run under
// ThreadSanitizer (scripts/test.sh --thread) it proves that no control is touched from the
// host's thread and no stored value is a data race; in the other builds it checks that the
// editor ends up showing what the host set last.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/ADEditor.h"
#include "effect/AutoComp.h"
#include "gui/CControl.h"
#include "hosting/Host.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

void* const kHostWindow = reinterpret_cast<void*>(0x77);

// Answers like a host without recording, so that it is safe from both threads.
class QuietHost : public Host {
public:
    VstIntPtr answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        switch (opcode) {
            case audioMasterVersion: return kVstVersion;
            case audioMasterBeginEdit:
            case audioMasterEndEdit:
            case audioMasterUpdateDisplay: return 1;
            default: return 0;
        }
    }
};

AEffect* createAutoComp(audioMasterCallback audioMaster) {
    auto* effect = new AutoComp(audioMaster);
    new ADEditor(effect);  // attaches itself; the effect owns it
    return effect->getAeffect();
}

VstIntPtr dispatch(AEffect* record, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr) {
    return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
}

CControl* controlWithTag(ADEditor& editor, int32_t tag) {
    CFrame* frame = editor.getFrame();
    for (int32_t i = 0; frame && i < frame->getNbViews(); ++i) {
        auto* view = static_cast<CControl*>(frame->getView(i));
        if (view->getTag() == tag) return view;
    }
    return nullptr;
}

TEST(EditorThreads, HostThreadChangesWhileTheEditorOpensAndClosesAreNoRace) {
    platform::headless::reset();
    QuietHost host;
    AEffect* record = host.instantiate(createAutoComp);
    ASSERT_NE(record, nullptr);
    auto* effect = static_cast<AutoComp*>(static_cast<AudioEffect*>(record->object));
    auto* editor = static_cast<ADEditor*>(effect->getEditor());

    std::atomic<bool> stop{false};
    std::thread hostThread([&] {
        char name[] = "Automated";
        for (int round = 0; !stop.load(); ++round) {
            for (VstInt32 index : {0, 2, 4, 5, 6})
                record->setParameter(record, index, float(round % 11) / 10.0f);
            dispatch(record, effSetProgram, 0);
            dispatch(record, effSetProgramName, 0, 0, name);
            dispatch(record, effMainsChanged, 0, round % 2);
            record->getParameter(record, 5);
        }
    });
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(dispatch(record, effEditOpen, 0, 0, kHostWindow), 1);
        for (int idle = 0; idle < 3; ++idle) dispatch(record, effEditIdle);
        dispatch(record, effEditClose);
    }
    stop.store(true);
    hostThread.join();

    // Settled: the next open and idle show exactly what the host set last.
    record->setParameter(record, 5, 0.75f);
    ASSERT_EQ(dispatch(record, effEditOpen, 0, 0, kHostWindow), 1);
    std::thread([&] { record->setParameter(record, 5, 0.25f); }).join();
    CControl* compression = controlWithTag(*editor, 5);
    ASSERT_NE(compression, nullptr);
    EXPECT_EQ(compression->getValue(), 0.75f);  // not yet: another thread's change waits
    dispatch(record, effEditIdle);
    EXPECT_EQ(compression->getValue(), 0.25f);
    dispatch(record, effEditClose);
    dispatch(record, effClose);
}

}  // namespace
