#include "gui/CTextEdit.h"

#include <cstring>

#include "gui/CFrame.h"

const char* const kMsgLooseFocus = "LooseFocus";

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
                     const char* initialText, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style) {
    this->listener = listener;
    this->tag = tag;
    copyText(text, initialText);
    setWantsFocus(true);
}

CTextEdit::~CTextEdit() {
    if (pParentFrame) pParentFrame->closeEditBox(this);
}

void CTextEdit::setText(const char* newText) {
    char cut[kTextControlBufferSize];
    copyText(cut, newText);
    if (std::strcmp(cut, text) == 0) return;
    std::strcpy(text, cut);
    setDirty(true);
}

void CTextEdit::getText(char* buffer) const {
    if (buffer) std::strcpy(buffer, text);
}

void CTextEdit::setTextEditConvert(CTextEditConvertUserData convert, void* data) {
    editConvertUserData = convert;
    userData = data;
}

void CTextEdit::setTextEditConvert(CTextEditConvert convert) { editConvert = convert; }

bool CTextEdit::isTypeOf(const char* type) const {
    return sameTypeName(type, "CTextEdit") || CParamDisplay::isTypeOf(type);
}

bool CTextEdit::isEditing() const { return pParentFrame && pParentFrame->getEditBox(this); }

bool CTextEdit::frameIsLive() const {
    return pParentFrame && pParentFrame->getEditor() && pParentFrame->isOpen();
}

void CTextEdit::draw(CDrawContext* context) {
    // The box covers the control while it is open.
    if (isEditing()) {
        setDirty(false);
        return;
    }
    char shown[kTextControlBufferSize] = "";
    if (editConvertUserData) {
        editConvertUserData(text, shown, userData);
    } else if (editConvert) {
        editConvert(text, shown);
    } else if (stringConvertUserData || stringConvert) {
        if (stringConvertUserData)
            stringConvertUserData(value, shown, userData);
        else
            stringConvert(value, shown);
        shown[kTextControlBufferSize - 1] = '\0';
        copyText(text, shown);
    } else {
        std::strcpy(shown, text);
    }
    shown[kTextControlBufferSize - 1] = '\0';
    drawText(context, shown);
}

void CTextEdit::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled) return;
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (listener && (buttons & (kShift | kControl | kAlt | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (!(buttons & kLButton)) return;
    if (pParentFrame && pParentFrame->getFocusView() == this) return;
    if ((style & kDoubleClickStyle) && !isDoubleClick()) return;
    beginEdit();
    editBracketOpen = true;
    takeFocus(context);
}

platform::EditBoxStyle CTextEdit::editBoxStyle() const {
    platform::EditBoxStyle boxStyle;
    boxStyle.font = standardFontSpec(fontID);
    boxStyle.font.bold = false;  // the box always types in normal weight
    switch (horiTxtAlign) {
        case kLeftText: boxStyle.align = platform::TextAlign::Left; break;
        case kRightText: boxStyle.align = platform::TextAlign::Right; break;
        default: boxStyle.align = platform::TextAlign::Center; break;
    }
    if (pParentFrame) pParentFrame->getEditBoxColors(boxStyle.text, boxStyle.background);
    return boxStyle;
}

void CTextEdit::takeFocus(CDrawContext* context) {
    if (!pParentFrame) return;
    bWasReturnPressed = false;
    CRect area = size;
    for (CView* parent = pParentView; parent; parent = parent->getParentView()) {
        if (parent->notify(this, kMsgCheckIfViewContainer) != kMessageNotified) continue;
        CRect parentSize;
        parent->getViewSize(parentSize);
        area.offset(parentSize.left, parentSize.top);
    }
    if (context) area.offset(context->offset.h, context->offset.v);
    pParentFrame->openEditBox(this, area, text, editBoxStyle(), *this);
}

void CTextEdit::looseFocus(CDrawContext* context) {
    if (editBracketOpen) {
        editBracketOpen = false;
        endEdit();
    }
    if (!pParentFrame) return;
    // Clearing the focus calls this once more, nested; that call closes the box and this
    // one then finds it gone.
    if (pParentFrame->getFocusView() == this) pParentFrame->setFocusView(nullptr);
    platform::EditBox* box = pParentFrame->getEditBox(this);
    if (!box) return;

    // The listener or the idle work may close the editor and release this control.
    remember();
    char oldText[kTextControlBufferSize];
    std::strcpy(oldText, text);
    copyText(text, box->text().c_str());
    CFrame* frame = pParentFrame;
    frame->closeEditBox(this);
    bool changed = std::strcmp(oldText, text) != 0;
    if (changed) setDirty(true);

    CDrawContext* drawContext = context;
    if (drawContext)
        drawContext->remember();
    else
        drawContext = new CDrawContext(frame, nullptr, frame->getNativeWindow());
    CPoint savedOffset = drawContext->offset;
    if (pParentView) {
        CPoint origin(0, 0);
        pParentView->localToFrame(origin);
        drawContext->offset = origin;
    }
    if (changed && listener && frameIsLive()) listener->valueChanged(drawContext, this);
    drawContext->offset = savedOffset;
    drawContext->forget();

    if (changed && frameIsLive()) doIdleStuff();
    if (CView* told = pParentView ? pParentView : pParentFrame) told->notify(this, kMsgLooseFocus);
    forget();
}

bool CTextEdit::removed(CView* parent) {
    if (pParentFrame) pParentFrame->closeEditBox(this);
    // Out of the tree the frame may go away; a box that closes later must not reach it.
    pParentFrame = nullptr;
    pParentView = nullptr;
    return CParamDisplay::removed(parent);
}

void CTextEdit::editBoxReturnPressed() {
    bWasReturnPressed = true;
    looseFocus(nullptr);
}

void CTextEdit::editBoxFocusLost() { looseFocus(nullptr); }
