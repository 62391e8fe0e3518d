// A text display that, when clicked, opens a single-line edit box over itself and takes
// the typed text when the box closes (Return, loss of focus, any click on the frame).
#pragma once

#include "gui/CParamDisplay.h"
#include "platform/EditBox.h"

// Sent to the parent view (or the frame) when a text edit has closed its box.
extern const char* const kMsgLooseFocus;

using CTextEditConvert = void (*)(const char* input, char* output);
using CTextEditConvertUserData = void (*)(const char* input, char* output, void* userData);

class CTextEdit : public CParamDisplay, private platform::EditBoxListener {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
              const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);
    ~CTextEdit() override;

    // Null clears the text; longer texts are cut to 255 characters. A change marks the
    // control dirty.
    virtual void setText(const char* newText);
    // Copies the text into buffer (kTextControlBufferSize bytes) when one is given.
    virtual void getText(char* buffer) const;
    // How the text is shown; the user data is shared with the display's value callback.
    virtual void setTextEditConvert(CTextEditConvertUserData convert, void* data);
    virtual void setTextEditConvert(CTextEditConvert convert);

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    // Closes the box, takes its text and tells the listener when it changed.
    void looseFocus(CDrawContext* context = nullptr) override;
    // Opens the box over the control.
    void takeFocus(CDrawContext* context = nullptr) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* type) const override;

    const char* getTextPointer() const { return text; }
    bool isEditing() const;
    // True when the last box closed with Return.
    bool wasReturnPressed() const { return bWasReturnPressed; }

private:
    void editBoxReturnPressed() override;
    void editBoxFocusLost() override;
    // The frame still has its editor: listeners may be called.
    bool frameIsLive() const;
    platform::EditBoxStyle editBoxStyle() const;

    char text[kTextControlBufferSize] = "";
    CTextEditConvert editConvert = nullptr;
    CTextEditConvertUserData editConvertUserData = nullptr;
    bool bWasReturnPressed = false;
    // beginEdit ran for an open box and endEdit is still owed.
    bool editBracketOpen = false;
};
