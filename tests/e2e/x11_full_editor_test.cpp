// The complete editor of the built plug-in as a user meets it: a host window on a private
// Xvfb, pointer and keys from xdotool, what the screen shows read back and compared with the
// skin, files written through stub dialog helpers.
#include "e2e/FullEditorDesk.h"

#include <signal.h>

#include <climits>
#include <cmath>
#include <fstream>

#include "effect/Parameters.h"

namespace {

using desk::Area;
using desk::areaOf;

constexpr int kKickProgram = 16;
constexpr int kNumParameters = 12;
// Process, ratio, time, compression and output of two factory programs.
const std::vector<float> kKickValues = {1.0f, 0.5f, 0.3f, 0.5f, 0.133f};
const std::vector<float> kCompressLite1Values = {1.0f, 0.0f, 0.5f, 0.5f, 0.15f};
constexpr int kBankFileSize = 2381;
const int kParameters[] = {parameters::kProcess, parameters::kRatio, parameters::kTime,
                           parameters::kCompression, parameters::kOutput};

// Controls of the top part; the rest of it shows the bare background.
const Area kTopControls[] = {areaOf(skin::kProcessSwitch.rect), areaOf(skin::kMeterLit.rect),
                             areaOf(skin::kTimeKnob.rect), areaOf(skin::kCompressionKnob.rect),
                             areaOf(skin::kOutputKnob.rect), areaOf(skin::kRatioKnob.rect)};
// The splash covers this; below it lies the preset row.
const Area kSplashArea = areaOf(skin::kAbout.rect);
const Area kMeterArea = areaOf(skin::kMeterLit.rect);
const Area kTitleArea = areaOf(skin::kTitleArea);
const Area kNameField = areaOf(skin::kNameField);
const Area kProgramMenu = areaOf(skin::kProgramMenu);
const Area kRocker = areaOf(skin::kRocker.rect);

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

class FullEditorTest : public FullEditorDesk {
protected:
    std::string programName() { return plugin->text(effGetProgramName); }
    // Begin or end calls for parameters; the menu brackets its popup with a gesture of its
    // own tag.
    int parameterGestures(VstInt32 opcode) {
        int count = 0;
        for (const HostCall& call : host.callsOf(opcode)) count += call.index < kNumParameters;
        return count;
    }

    // Background pixels of the top part that differ, on a grid that leaves out the controls.
    int backgroundMismatches(bool report = true) {
        desk::ScreenPicture shown = picture(kSplashArea);
        const SkinBitmap* background = findSkinBitmap(skin::kBackground.id);
        if (!background || !shown.valid()) return -1;
        int mismatches = 0;
        for (int y = 0; y < kSplashArea.bottom; y += 2)
            for (int x = 0; x < kWidth; x += 2) {
                bool onControl = false;
                for (const Area& area : kTopControls)
                    onControl = onControl || (x >= area.left - 1 && x <= area.right &&
                                              y >= area.top - 1 && y <= area.bottom);
                if (!onControl && shown.at(x, y) != desk::skinPixel(*background, x, y)) {
                    if (report && mismatches < 5) ADD_FAILURE() << "differs at " << x << "," << y;
                    ++mismatches;
                }
            }
        return mismatches;
    }
    // Pixels of the splash area that differ from the about picture, the version text left
    // out; and those of the version text's own area.
    int splashMismatches() {
        return desk::skinMismatches(picture(kSplashArea), kSplashArea, skin::kAbout.id, 0,
                                    skin::kAbout.frameHeight(), 0, 0,
                                    areaOf(skin::kVersionText));
    }
    int versionTextPixels() {
        const Area version = areaOf(skin::kVersionText);
        return desk::skinMismatches(picture(version), version, skin::kAbout.id, 0,
                                    skin::kAbout.frameHeight());
    }

    // The edit box is a window of its own inside the host window.
    bool openNameField() {
        int before = windowsInHost();
        click(kNameField.centerX(), kNameField.centerY());
        return waitFor([&] { return windowsInHost() > before; });
    }
    // Opens the program menu with a click and waits for it: the idle call that handles the
    // click returns with the menu open.
    bool openProgramMenu() {
        click(kProgramMenu.centerX(), kProgramMenu.centerY());
        return waitFor([&] { return openMenus() > 0; });
    }
    std::vector<float> currentValues() {
        std::vector<float> values;
        for (int parameter : kParameters) values.push_back(plugin->getParameter(parameter));
        return values;
    }
    // Runs a stereo sine of amplitude level through the effect.
    void play(float level, int blocks) {
        constexpr int kFrames = 512;
        std::vector<float> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
        for (int block = 0; block < blocks; ++block) {
            for (int i = 0; i < kFrames; ++i) {
                left[size_t(i)] = right[size_t(i)] =
                    level * float(std::sin(2.0 * M_PI * 1000.0 * (phase++) / 44100.0));
            }
            float* in[2] = {left.data(), right.data()};
            float* out[2] = {outLeft.data(), outRight.data()};
            plugin->effect()->processReplacing(plugin->effect(), in, out, kFrames);
        }
    }
    void startAudio() {
        dispatch(effMainsChanged, 0, 0);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effSetBlockSize, 0, 512);
        dispatch(effMainsChanged, 0, 1);
    }

    long phase = 0;
};

// --- Knobs ------------------------------------------------------------------------------

struct KnobCase {
    const char* name;
    int parameter;
    const skin::BitmapLayout* strip;
    float start;
};

class KnobDrag : public FullEditorTest, public ::testing::WithParamInterface<KnobCase> {
protected:
    int shownFrameMismatches(int frame) {
        const skin::BitmapLayout& strip = *GetParam().strip;
        Area area = areaOf(strip.rect);
        return desk::skinMismatches(picture(area), area, strip.id, frame, strip.frameHeight(),
                                    area.left, area.top);
    }
    int frameOf(float value) const {
        return int(std::lround(value * float(GetParam().strip->frames - 1)));
    }
};

TEST_P(KnobDrag, UpTurnsTheParameterInFilmStripStepsAndThePictureFollows) {
    const KnobCase& knob = GetParam();
    const Area area = areaOf(knob.strip->rect);
    const int steps = knob.strip->frames - 1;
    plugin->setParameter(knob.parameter, knob.start);
    openEditor();
    EXPECT_EQ(shownFrameMismatches(frameOf(knob.start)), 0);

    host.clear();
    const int x = area.centerX();
    const int y = area.centerY();
    xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1");
    // The drag loop runs inside one idle call until the button comes up.
    std::string moves = "sleep 0.3";
    for (int up = 4; up <= 40; up += 4)
        moves += "; xdotool mousemove " + std::to_string(x) + " " + std::to_string(y - up) +
                 "; sleep 0.03";
    inBackground(moves + "; sleep 0.2; xdotool mouseup 1");
    ASSERT_TRUE(waitFor([&] { return !host.callsOf(audioMasterEndEdit).empty(); }));

    const float value = plugin->getParameter(knob.parameter);
    EXPECT_GT(value, knob.start);
    EXPECT_FLOAT_EQ(value * float(steps), std::round(value * float(steps)));
    pump(3);
    EXPECT_EQ(shownFrameMismatches(frameOf(value)), 0) << "value " << value;

    // One gesture: the press reports the unchanged value, then begin, automation in the
    // parameter's own steps, end.
    std::vector<HostCall> edits;
    for (const HostCall& call : host.calls)
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterAutomate ||
            call.opcode == audioMasterEndEdit)
            edits.push_back(call);
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.back().opcode, audioMasterEndEdit);
    size_t begin = 0;
    while (begin < edits.size() && edits[begin].opcode == audioMasterAutomate) {
        EXPECT_FLOAT_EQ(edits[begin].opt, knob.start) << "a change before the gesture began";
        ++begin;
    }
    ASSERT_LT(begin, edits.size());
    EXPECT_EQ(edits[begin].opcode, audioMasterBeginEdit);
    for (size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(edits[i].index, knob.parameter);
        if (i <= begin || i + 1 == edits.size()) continue;
        EXPECT_EQ(edits[i].opcode, audioMasterAutomate);
        EXPECT_FLOAT_EQ(edits[i].opt * float(steps), std::round(edits[i].opt * float(steps)))
            << "automated " << edits[i].opt;
    }
    EXPECT_FLOAT_EQ(host.callsOf(audioMasterAutomate).back().opt, value);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKnob, KnobDrag,
    ::testing::Values(KnobCase{"Time", parameters::kTime, &skin::kTimeKnob, 0.5f},
                      KnobCase{"Compression", parameters::kCompression, &skin::kCompressionKnob,
                               0.25f},
                      KnobCase{"Output", parameters::kOutput, &skin::kOutputKnob, 0.0f},
                      KnobCase{"Ratio", parameters::kRatio, &skin::kRatioKnob, 0.0f}),
    [](const ::testing::TestParamInfo<KnobCase>& info) { return std::string(info.param.name); });

// --- Program menu, name field and rocker -----------------------------------------------

TEST_F(FullEditorTest, KickChosenFromTheProgramMenuBecomesTheProgram) {
    openEditor();
    host.clear();
    ASSERT_TRUE(openProgramMenu());
    // Off the menu first, so that no entry is marked; then down to program 16 (the separator
    // is skipped) and choose it.
    xdotool("mousemove 700 700");
    for (int i = 0; i <= kKickProgram; ++i) xdotool("key Down");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return programName() == "Kick"; })) << programName();
    EXPECT_TRUE(waitFor([&] { return openMenus() == 0; }));
    EXPECT_TRUE(inputIsFree());
    EXPECT_EQ(currentValues(), kKickValues);
    // The host hears of every parameter the program sets, each in a gesture of its own.
    EXPECT_EQ(parameterGestures(audioMasterBeginEdit), kNumParameters);
    EXPECT_EQ(parameterGestures(audioMasterEndEdit), kNumParameters);
    std::vector<HostCall> automated = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 2u * kNumParameters);
    for (int parameter : kParameters) {
        const HostCall& last = automated[size_t(2 * parameter + 1)];
        EXPECT_EQ(last.index, parameter);
        EXPECT_FLOAT_EQ(last.opt, plugin->getParameter(parameter));
    }
}

TEST_F(FullEditorTest, EscapeLeavesTheProgramAsItWas) {
    openEditor();
    host.clear();
    ASSERT_TRUE(openProgramMenu());
    xdotool("mousemove 700 700 key Down Down Down Escape");
    ASSERT_TRUE(waitFor([&] { return openMenus() == 0; }));
    pump(5);
    EXPECT_EQ(programName(), "Current");
    EXPECT_TRUE(host.callsOf(audioMasterAutomate).empty());
    EXPECT_TRUE(inputIsFree());
}

TEST_F(FullEditorTest, ANameTypedIntoTheFieldNamesTheProgram) {
    openEditor();
    const int editorWindows = windowsInHost();
    ASSERT_TRUE(openNameField());
    xdotool("type --delay 20 'My Kick'");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return programName() == "My Kick"; })) << "'" << programName() << "'";
    // Return ends the edit: the box is gone, the name stays.
    EXPECT_TRUE(waitFor([&] { return windowsInHost() == editorWindows; }));
    EXPECT_EQ(programName(), "My Kick");
}

// Without a window manager the focus often follows the pointer; the box taking it from
// there must not count as losing it.
TEST_F(FullEditorTest, TheNameFieldOpensWhileTheFocusFollowsThePointer) {
    openEditor();
    XSetInputFocus(observer, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(observer, False);
    const int editorWindows = windowsInHost();
    ASSERT_TRUE(openNameField());
    pump(10);
    EXPECT_GT(windowsInHost(), editorWindows);
    xdotool("type --delay 20 Lead");
    xdotool("key Return");
    EXPECT_TRUE(waitFor([&] { return programName() == "Lead"; })) << programName();
}

TEST_F(FullEditorTest, KeysThatComeBothWaysAreTypedOnce) {
    openEditor();
    ASSERT_TRUE(openNameField());
    // A host that sees the keys as well forwards each of them.
    for (char c : std::string("ab1")) {
        EXPECT_EQ(dispatch(effEditKeyDown, c, 0), 1);
        xdotool(std::string("key ") + c);
        pump(2);
    }
    dispatch(effEditKeyDown, 0, VKEY_RETURN);
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return programName() != "Current"; }));
    EXPECT_EQ(programName(), "ab1");
}

// Keys that only the host saw come through effEditKeyDown; the host then taking the
// focus back ends the edit with what was typed, and later keys no longer reach the name.
TEST_F(FullEditorTest, ForwardedKeysTypeOnceAndTheHostTakingTheFocusEndsTheEdit) {
    openEditor();
    const int editorWindows = windowsInHost();
    ASSERT_TRUE(openNameField());
    for (char c : std::string("ab")) EXPECT_EQ(dispatch(effEditKeyDown, c, 0), 1);
    pump(2);
    xdotool("windowfocus --sync " + std::to_string(window->handle()));
    ASSERT_TRUE(waitFor([&] { return windowsInHost() == editorWindows; }));
    EXPECT_EQ(programName(), "ab");
    for (char c : std::string("xyz")) dispatch(effEditKeyDown, c, 0);
    dispatch(effEditKeyDown, 0, VKEY_RETURN);
    pump(5);
    EXPECT_EQ(programName(), "ab");
}

// The host sees one program, the working copy: a selection shows as its name and as one
// edit gesture per parameter.
TEST_F(FullEditorTest, TheRockerStepsThroughTheProgramsAndStopsAtTheFirst) {
    openEditor();
    host.clear();
    auto press = [&](bool right) {
        const size_t gestures = host.callsOf(audioMasterBeginEdit).size();
        click(right ? kRocker.right - 4 : kRocker.left + 4, kRocker.centerY());
        return waitFor([&] { return host.callsOf(audioMasterBeginEdit).size() > gestures; });
    };
    ASSERT_TRUE(press(true));
    EXPECT_EQ(programName(), "Default");
    ASSERT_TRUE(press(true));
    EXPECT_EQ(programName(), "CompressLite1");
    EXPECT_EQ(currentValues(), kCompressLite1Values);
    ASSERT_TRUE(press(false));
    EXPECT_EQ(programName(), "Default");
    ASSERT_TRUE(press(false));  // to program 0, which holds what was selected last
    // Left again stays at 0 (a wrap would reach the last program), so two steps right
    // reach program 2 once more.
    ASSERT_TRUE(press(false));
    EXPECT_EQ(programName(), "Default");
    ASSERT_TRUE(press(true));
    ASSERT_TRUE(press(true));
    EXPECT_EQ(programName(), "CompressLite1");
}

// Another process's editor: krv-host, whose title names the program the host sees.
TEST_F(FullEditorTest, KrvHostNamesTheProgramChosenFromItsMenuInItsTitle) {
    window.reset();  // krv-host's window takes the same place
    const std::string command = std::string("timeout 60 ") + KRV_HOST_PATH + " --plugin " +
                                KRV_PLUGIN_PATH + " > /dev/null 2>&1 &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Polled rather than `search --sync`: xdotool gives up at once when a window it is
    // looking at goes meanwhile, as the menu's does when it closes.
    auto titled = [](const std::string& program) {
        const std::string search = "PATH=/usr/bin:/bin xdotool search --name '^KRV tarnwick - " +
                                   program + "$' > /dev/null 2>&1";
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (std::system(search.c_str()) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    };
    ASSERT_TRUE(titled("Current"));
    ASSERT_TRUE(waitFor([&] { return backgroundMismatches(false) == 0; }));

    click(kProgramMenu.centerX(), kProgramMenu.centerY());
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    xdotool("mousemove 700 700");
    for (int i = 0; i <= kKickProgram; ++i) xdotool("key Down");
    xdotool("key Return");
    EXPECT_TRUE(titled("Kick"));
    EXPECT_TRUE(waitFor([&] { return openMenus() == 0; }));
    std::system("PATH=/usr/bin:/bin xdotool search --name '^KRV tarnwick - ' windowclose");
    EXPECT_TRUE(waitFor([] {
        return std::system("PATH=/usr/bin:/bin xdotool search --name '^KRV tarnwick - ' "
                           "> /dev/null") != 0;
    }));
}

// --- Memories and files -----------------------------------------------------------------

TEST_F(FullEditorTest, RecallABringsBackWhatStoreAKept) {
    TemporaryFolder config;
    ScopedEnvironment settings("XDG_CONFIG_HOME", config.path().c_str());
    plugin->setParameter(parameters::kCompression, 0.25f);
    openEditor();
    click(areaOf(skin::kStoreA.rect).centerX(), areaOf(skin::kStoreA.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return config.entryCount() > 0; }));

    plugin->setParameter(parameters::kCompression, 0.75f);
    click(areaOf(skin::kRecallA.rect).centerX(), areaOf(skin::kRecallA.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return plugin->getParameter(parameters::kCompression) == 0.25f; }));
    // The knob shows it too.
    pump(3);
    const Area knob = areaOf(skin::kCompressionKnob.rect);
    EXPECT_EQ(desk::skinMismatches(picture(knob), knob, skin::kCompressionKnob.id, 10,
                                   skin::kCompressionKnob.frameHeight(), knob.left, knob.top),
              0);
}

TEST_F(FullEditorTest, ASavedBankLoadsBackAndTheCurrentDirectoryStays) {
    StubDialogs dialogs;
    const std::string bank = dialogs.work.file("saved.krb");
    dialogs.choose(bank);
    const std::string directory = currentDirectory();
    const std::string name = programName();
    const float time = plugin->getParameter(parameters::kTime);
    openEditor();

    click(areaOf(skin::kSaveBank.rect).centerX(), areaOf(skin::kSaveBank.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return readFile(bank).size() == size_t(kBankFileSize); }))
        << readFile(bank).size() << " bytes";
    EXPECT_NE(dialogs.log().find("Save bank as..."), std::string::npos) << dialogs.log();

    char changed[] = "Changed";
    dispatch(effSetProgramName, 0, 0, changed);
    plugin->setParameter(parameters::kTime, 1.0f);
    ASSERT_EQ(programName(), "Changed");

    dialogs.clearLog();
    click(areaOf(skin::kLoadBank.rect).centerX(), areaOf(skin::kLoadBank.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return programName() == name; })) << programName();
    EXPECT_NE(dialogs.log().find("Select bank to load..."), std::string::npos) << dialogs.log();
    EXPECT_FLOAT_EQ(plugin->getParameter(parameters::kTime), time);
    EXPECT_EQ(currentDirectory(), directory);
}

TEST_F(FullEditorTest, ASavedPresetLoadsBack) {
    StubDialogs dialogs;
    const std::string preset = dialogs.work.file("saved.krv");
    dialogs.choose(preset);
    char original[] = "Before";
    dispatch(effSetProgramName, 0, 0, original);
    plugin->setParameter(parameters::kOutput, 0.5f);
    openEditor();

    click(areaOf(skin::kSavePreset.rect).centerX(), areaOf(skin::kSavePreset.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return readFile(preset).find("Before") != std::string::npos; }));
    EXPECT_NE(dialogs.log().find("Save preset as..."), std::string::npos) << dialogs.log();

    char changed[] = "After";
    dispatch(effSetProgramName, 0, 0, changed);
    plugin->setParameter(parameters::kOutput, 1.0f);
    click(areaOf(skin::kLoadPreset.rect).centerX(), areaOf(skin::kLoadPreset.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return programName() == "Before"; })) << programName();
    EXPECT_NE(dialogs.log().find("Select preset to load..."), std::string::npos)
        << dialogs.log();
    EXPECT_FLOAT_EQ(plugin->getParameter(parameters::kOutput), 0.5f);
}

TEST_F(FullEditorTest, ACancelledBankDialogChangesNothing) {
    StubDialogs dialogs;
    dialogs.cancel();
    char changed[] = "Kept";
    dispatch(effSetProgramName, 0, 0, changed);
    openEditor();
    click(areaOf(skin::kLoadBank.rect).centerX(), areaOf(skin::kLoadBank.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return dialogs.called(); }));
    pump(5);
    EXPECT_EQ(programName(), "Kept");
    EXPECT_EQ(dialogs.work.entryCount(), 1u);  // the log alone: nothing written
}

// --- About picture and meter ------------------------------------------------------------

TEST_F(FullEditorTest, TheTitleOpensTheAboutPictureWithTheVersionAndAClickClosesIt) {
    openEditor();
    EXPECT_EQ(backgroundMismatches(), 0);
    click(kTitleArea.centerX(), kTitleArea.centerY());
    ASSERT_TRUE(waitFor([&] { return splashMismatches() == 0; })) << splashMismatches();
    // The version is written where the picture leaves room for it.
    EXPECT_GT(versionTextPixels(), 0);

    click(200, 200);
    ASSERT_TRUE(waitFor([&] { return splashMismatches() > 0; }));
    pump(3);
    EXPECT_EQ(backgroundMismatches(), 0);
}

TEST_F(FullEditorTest, TheMeterMovesWithTheSignalAndRestsUnderTheAboutPicture) {
    plugin->setParameter(parameters::kCompression, 1.0f);
    startAudio();
    openEditor();
    // Without a signal the needle rests.
    pump(20);
    const desk::ScreenPicture resting = picture(kMeterArea);
    pump(20);
    ASSERT_TRUE(picture(kMeterArea) == resting);
    ASSERT_TRUE(waitFor([&] {
        play(1.0f, 4);
        return picture(kMeterArea) != resting;
    }));

    click(kTitleArea.centerX(), kTitleArea.centerY());
    ASSERT_TRUE(waitFor([&] {
        play(1.0f, 4);
        return splashMismatches() == 0;
    }));
    // The reduction falls with the signal gone; the picture stays whole over the meter.
    for (int turn = 0; turn < 30; ++turn) {
        play(turn < 10 ? 1.0f : 0.0f, 4);
        pump(1);
        ASSERT_EQ(desk::skinMismatches(picture(kMeterArea), kMeterArea, skin::kAbout.id, 0,
                                       skin::kAbout.frameHeight()),
                  0)
            << "turn " << turn;
    }
    click(200, 200);
    ASSERT_TRUE(waitFor([&] { return splashMismatches() > 0; }));
}

// --- The host closing the editor in the middle of things ---------------------------------

class ClosingInTheMiddle : public FullEditorTest {
protected:
    static constexpr int kRounds = 10;

    // The host closes the editor between its idle calls once ready() answers true.
    void closeWhen(const std::function<bool()>& ready) {
        ASSERT_TRUE(waitFor(ready));
        dispatch(effEditClose);
    }
    void expectAWorkingEditorAgain() {
        host.reaction = nullptr;
        EXPECT_EQ(openMenus(), 0);
        EXPECT_TRUE(inputIsFree());
        openEditor();
        EXPECT_EQ(backgroundMismatches(), 0);
        // And it still takes clicks: the rocker steps.
        host.clear();
        click(kRocker.right - 4, kRocker.centerY());
        EXPECT_TRUE(waitFor([&] { return !host.callsOf(audioMasterBeginEdit).empty(); }));
        dispatch(effEditClose);
    }
};

TEST_F(ClosingInTheMiddle, WhileThePopupMenuIsOpen) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        openEditor();
        click(kProgramMenu.centerX(), kProgramMenu.centerY());
        closeWhen([this] { return openMenus() > 0; });
        EXPECT_EQ(openMenus(), 0);
        EXPECT_EQ(windowsInHost(), 0);
        EXPECT_TRUE(inputIsFree());
    }
    expectAWorkingEditorAgain();
}

TEST_F(ClosingInTheMiddle, WhileTheNameIsBeingEdited) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        openEditor();
        ASSERT_TRUE(openNameField());
        xdotool("type --delay 10 half");
        pump(2);
        dispatch(effEditClose);
        pump(2);
        EXPECT_EQ(windowsInHost(), 0);
        EXPECT_TRUE(inputIsFree());
    }
    expectAWorkingEditorAgain();
}

TEST_F(ClosingInTheMiddle, WhileAFileDialogWaits) {
    StubDialogs dialogs;
    dialogs.hang();
    const std::string name = programName();
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        dialogs.clearLog();
        openEditor();
        click(areaOf(skin::kLoadBank.rect).centerX(), areaOf(skin::kLoadBank.rect).centerY());
        closeWhen([&] { return dialogs.lastPid() != 0; });
        EXPECT_EQ(windowsInHost(), 0);
        // The helper does not outlive the dialog it was asked for, nor stays a zombie.
        const pid_t helper = dialogs.lastPid();
        EXPECT_NE(::kill(helper, 0), 0) << "helper " << helper;
        pump(2);
    }
    EXPECT_EQ(programName(), name);
    expectAWorkingEditorAgain();
}

TEST_F(ClosingInTheMiddle, TheEffectClosedWhileAFileDialogWaitsTakesItsHelperAlong) {
    StubDialogs dialogs;
    dialogs.hang();
    openEditor();
    click(areaOf(skin::kLoadBank.rect).centerX(), areaOf(skin::kLoadBank.rect).centerY());
    ASSERT_TRUE(waitFor([&] { return dialogs.lastPid() != 0; }));
    const pid_t helper = dialogs.lastPid();
    plugin->close();
    EXPECT_NE(::kill(helper, 0), 0) << "helper " << helper << " left running or unreaped";
    EXPECT_EQ(windowsInHost(), 0);
    EXPECT_TRUE(inputIsFree());
}

}  // namespace
