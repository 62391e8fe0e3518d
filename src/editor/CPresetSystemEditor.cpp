#include "editor/CPresetSystemEditor.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "editor/CKrOnOffButton.h"
#include "editor/CPresetRowCover.h"
#include "editor/CKrRockerSwitch.h"
#include "editor/CSaveLoadButton.h"
#include "gui/CBitmap.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/Files.h"
#include "presets/FactoryPresets.h"
#include "skin/SkinLayout.h"

namespace {

constexpr CColor kFieldBackColor{207, 222, 235, 255};
constexpr CColor kFieldTextColor{76, 76, 72, 255};
constexpr int32_t kProgramsPerColumn = 16;
constexpr int32_t kSeparatorEntry = 1;

// The skin places the row against its own bottom edge; an editor of another height moves
// it along with its bottom.
CRect placed(const skin::Rect& area, CCoord bottom) {
    CCoord shift = bottom - skin::kBottom;
    return CRect(area.left, area.top + shift, area.right, area.bottom + shift);
}

// Menu entry of a program: the separator sits between program 0 and program 1.
int32_t menuEntryOf(int program) { return program < kSeparatorEntry ? program : program + 1; }

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect), folderPath(platform::currentDirectory()) {}

CPresetSystemEditor::CPresetSystemEditor(EditController& controller)
    : AEffGUIEditor(controller), folderPath(platform::currentDirectory()) {}

CPresetSystemEditor::~CPresetSystemEditor() { detachFromEffect(); }

bool CPresetSystemEditor::open(void*) {
    if (!frame) return false;
    CCoord bottom = rect.bottom;
    addNameField(bottom);
    addProgramMenu(bottom);
    addRockerAndButtons(bottom);
    if (!controller.hasPrograms()) coverPresetRow();
    return true;
}

void CPresetSystemEditor::coverPresetRow() {
    // From the highest of the row's controls down to the editor's bottom edge.
    constexpr CCoord kPresetRowCaptionHeight = 12;
    CRect area(rect.left, rect.bottom, rect.right, rect.bottom);
    for (CView* control : std::initializer_list<CView*>{
             nameField, programMenu, programRocker, saveBankButton, loadBankButton,
             savePresetButton, loadPresetButton, recallAButton, recallBButton, storeAButton,
             storeBButton}) {
        if (!control) continue;
        control->setMouseEnabled(false);
        CRect controlArea;
        control->getViewSize(controlArea);
        area.top = std::min(area.top, controlArea.top);
    }
    // The row's captions above the controls too.
    area.top = std::max<CCoord>(rect.top, area.top - kPresetRowCaptionHeight);
    if (nameField) nameField->setText("");
    frame->addView(new CPresetRowCover(area));
}

void CPresetSystemEditor::addNameField(CCoord bottom) {
    auto* background = new CBitmap(skin::kBackground.id);
    CRect area = placed(skin::kNameField, bottom);
    const std::string selected = controller.programName(controller.selectedProgram());
    nameField = new CTextEdit(area, this, kNameFieldTag, selected.c_str(), background);
    // The field shows the piece of the editor's background beneath it.
    nameField->setBackOffset(CPoint(area.left, area.top));
    nameField->setBackColor(kFieldBackColor);
    nameField->setFont(kNormalFontSmall);
    nameField->setFontColor(kFieldTextColor);
    nameField->setFrameColor(kFieldTextColor);
    nameField->setHoriAlign(kCenterText);
    frame->addView(nameField);
    background->forget();
}

void CPresetSystemEditor::addProgramMenu(CCoord bottom) {
    programMenu = new COptionMenu(placed(skin::kProgramMenu, bottom), this, kProgramMenuTag);
    programMenu->addEntry(controller.programName(0).c_str());
    programMenu->addEntry("-");
    for (int program = 1; program < kNumPrograms; ++program)
        programMenu->addEntry(controller.programName(program).c_str());
    programMenu->setNbItemsPerColumn(kProgramsPerColumn);
    // The background shows the menu's arrow; the open menu checks the current program.
    programMenu->setStyle(kCheckStyle | kNoDrawStyle);
    programMenu->setCurrent(controller.selectedProgram(), false);
    frame->addView(programMenu);
}

void CPresetSystemEditor::addRockerAndButtons(CCoord bottom) {
    auto* rockerStrip = new CBitmap(skin::kRocker.id);
    programRocker = new CKrRockerSwitch(placed(skin::kRocker.rect, bottom), this, kRockerTag,
                                        skin::kRocker.frameHeight(), rockerStrip, this);
    frame->addView(programRocker);
    rockerStrip->forget();

    auto addFileButton = [&](const skin::BitmapLayout& layout, int32_t tag, int32_t mode) {
        auto* strip = new CBitmap(layout.id);
        auto* button = new CSaveLoadButton(placed(layout.rect, bottom), this, tag,
                                           layout.frameHeight(), strip, mode, this);
        frame->addView(button);
        strip->forget();
        return button;
    };
    loadBankButton = addFileButton(skin::kLoadBank, kLoadBankTag, CSaveLoadButton::kLoadBank);
    saveBankButton = addFileButton(skin::kSaveBank, kSaveBankTag, CSaveLoadButton::kSaveBank);
    loadPresetButton =
        addFileButton(skin::kLoadPreset, kLoadPresetTag, CSaveLoadButton::kLoadPreset);
    savePresetButton =
        addFileButton(skin::kSavePreset, kSavePresetTag, CSaveLoadButton::kSavePreset);

    auto addMemoryButton = [&](const skin::BitmapLayout& layout, int32_t tag) {
        auto* strip = new CBitmap(layout.id);
        auto* button = new CKrOnOffButton(placed(layout.rect, bottom), this, tag, strip);
        frame->addView(button);
        strip->forget();
        return button;
    };
    recallAButton = addMemoryButton(skin::kRecallA, kRecallATag);
    recallBButton = addMemoryButton(skin::kRecallB, kRecallBTag);
    storeAButton = addMemoryButton(skin::kStoreA, kStoreATag);
    storeBButton = addMemoryButton(skin::kStoreB, kStoreBTag);
}

void CPresetSystemEditor::close() {
    nameField = nullptr;
    programMenu = nullptr;
    programRocker = nullptr;
    saveBankButton = loadBankButton = savePresetButton = loadPresetButton = nullptr;
    recallAButton = recallBButton = storeAButton = storeBButton = nullptr;
}

void CPresetSystemEditor::idle() {
    if (!frame) return;
    CView* under = frame->getCurrentView();
    CPoint where;
    frame->getCurrentLocation(where);
    // Each control redraws only when its own state changes.
    for (CSaveLoadButton* button :
         {loadBankButton, saveBankButton, loadPresetButton, savePresetButton})
        if (button) button->setHover(button == under);
    if (programRocker) programRocker->setHover(programRocker == under, where);
    for (CKrOnOffButton* button : {recallAButton, recallBButton, storeAButton, storeBButton})
        if (button) button->setHover(button == under);
}

void CPresetSystemEditor::applyPendingChanges() {
    AEffGUIEditor::applyPendingChanges();
    if (pending.takePrograms()) refreshFromStore();
}

void CPresetSystemEditor::refreshFromStore() {
    if (!controller.hasPrograms()) return;
    int selected = std::clamp(controller.selectedProgram(), 0, kNumPrograms - 1);
    if (nameField) nameField->setText(controller.programName(selected).c_str());
    if (programMenu) {
        for (int program = 0; program < kNumPrograms; ++program)
            programMenu->setEntry(menuEntryOf(program), controller.programName(program).c_str());
        programMenu->setCurrent(selected, false);
    }
}

void CPresetSystemEditor::showProgramName(const char* name) {
    if (nameField) nameField->setText(name);
    if (programMenu) {
        programMenu->setEntry(programMenu->getCurrent(), name);
        programMenu->setEntry(0, name);
    }
}

void CPresetSystemEditor::programNameChanged(const char* name) {
    if (!name) return;
    if (!onEditorThread()) {
        pending.programsChanged();
        return;
    }
    showProgramName(name);
}

void CPresetSystemEditor::setProgramMenuEntry(int program, const char* name) {
    if (!name || program < 0 || program >= kNumPrograms) return;
    if (!onEditorThread()) {
        pending.programsChanged();
        return;
    }
    if (programMenu) programMenu->setEntry(menuEntryOf(program), name);
}

void CPresetSystemEditor::setCurrentProgramMenuEntry(int program) {
    if (program < 0 || program >= kNumPrograms) return;
    if (!onEditorThread()) {
        pending.programsChanged();
        return;
    }
    if (programMenu) programMenu->setCurrent(program, false);
}

void CPresetSystemEditor::setProgramNameField(const char* name) {
    if (!name) return;
    if (!onEditorThread()) {
        pending.programsChanged();
        return;
    }
    if (nameField) nameField->setText(name);
}

void CPresetSystemEditor::programNameEdited(const char* text) {
    if (!text) return;
    const std::string name(text, strnlen(text, EditController::kMaxProgramNameLength));
    showProgramName(name.c_str());
    controller.renameProgram(name);
}

void CPresetSystemEditor::programChosen(int index, const char* text) {
    if (!text) return;
    if (nameField) nameField->setText(text);
    if (programMenu) programMenu->setEntry(0, text);
    controller.selectProgram(index);
}

void CPresetSystemEditor::stepProgram(bool up) {
    if (!controller.hasPrograms()) return;
    int index = std::clamp(controller.selectedProgram() + (up ? 1 : -1), 0, kNumPrograms - 1);
    // Selecting renames program 0, so the name is copied first.
    const std::string name = controller.programName(index);
    if (programMenu) {
        programMenu->setCurrent(index, false);
        programMenu->setEntry(0, name.c_str());
    }
    if (nameField) nameField->setText(name.c_str());
    controller.selectProgram(index);
}

void CPresetSystemEditor::valueChanged(CDrawContext*, CControl* control) {
    if (!control) return;
    using Memory = EditController::Memory;
    switch (control->getTag()) {
        case kNameFieldTag:
            if (auto* field = dynamic_cast<CTextEdit*>(control))
                programNameEdited(field->getTextPointer());
            break;
        case kProgramMenuTag:
            if (auto* menu = dynamic_cast<COptionMenu*>(control)) {
                char text[kTextControlBufferSize] = "";
                int32_t index = menu->getCurrent(text, false);
                if (index >= 0) programChosen(index, text);
            }
            break;
        case kRecallATag:
            controller.recallMemory(Memory::A);
            break;
        case kRecallBTag:
            controller.recallMemory(Memory::B);
            break;
        case kStoreATag:
            controller.storeMemory(Memory::A);
            break;
        case kStoreBTag:
            controller.storeMemory(Memory::B);
            break;
        default:
            break;
    }
}

int32_t CPresetSystemEditor::controlModifierClicked(CDrawContext*, CControl*, int32_t) {
    return 0;
}
