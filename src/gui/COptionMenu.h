// A text display showing the current entry of a list; a click opens a popup menu of the
// entries (sub-menus, separators, titles, greyed entries, check marks, numbers) and the
// choice is reported to the listener with the menu that holds it.
//
// Entry texts: "-" is a separator, "-M<label>" a sub-menu (the next one of the list),
// "-G<label>" a greyed entry, "-T<label>" a title.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gui/CParamDisplay.h"
#include "platform/PopupMenu.h"

class COptionMenuScheme;

class COptionMenu : public CParamDisplay {
public:
    static constexpr int32_t kMaxEntries = 1024;

    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, CBitmap* clickBackground = nullptr,
                int32_t style = 0);
    ~COptionMenu() override;

    // Inserts at index (appends when index < 0 or past the end); text may be null.
    // False at kMaxEntries entries.
    virtual bool addEntry(const char* text, int32_t index = -1);
    // Appends an entry that opens subMenu (remembered).
    virtual bool addEntry(COptionMenu* subMenu, const char* text);
    // The current index, or without counting separators and titles its position among
    // the other entries; -1 without a current entry. Copies its text when text is given.
    virtual int32_t getCurrent(char* text = nullptr, bool countSeparator = true) const;
    virtual bool setCurrent(int32_t index, bool countSeparator = true);
    virtual bool getEntry(int32_t index, char* text) const;
    virtual bool setEntry(int32_t index, const char* text);
    virtual bool removeEntry(int32_t index);
    virtual bool removeAllEntry();
    virtual int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    virtual int32_t getIndex(const char* text) const;
    virtual bool checkEntry(int32_t index, bool state);
    virtual bool checkEntryAlone(int32_t index);
    virtual bool isCheckEntry(int32_t index) const;
    // Columns of the popup; -1 or 0: one column.
    virtual void setNbItemsPerColumn(int32_t count) { nbItemsPerColumn = count; }
    virtual int32_t getNbItemsPerColumn() const { return nbItemsPerColumn; }
    virtual COptionMenuScheme* getScheme() const { return nullptr; }
    // 2, 3, 4: new entries are numbered with at least 1, 2, 3 digits; the closed menu
    // hides the number.
    virtual void setPrefixNumbers(int32_t mode) { prefixNumbers = mode; }

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    // The chosen entry (index as the value) becomes current.
    void setValue(float newValue) override;
    void looseFocus(CDrawContext* context = nullptr) override;
    // Shows the popup; the choice is reported when the menu ends, after this returns on
    // some systems.
    void takeFocus(CDrawContext* context = nullptr) override;
    bool isTypeOf(const char* type) const override;

    COptionMenu* getSubMenu(int32_t index) const;
    // The command id of the last choice and the menu that held it (index within it).
    int32_t getLastResult() const { return lastResult; }
    COptionMenu* getLastItemMenu(int32_t& index) const;
    // The popup's items for this menu and its sub-menus; ids start at offset, which
    // advances past every id given out.
    std::vector<platform::MenuItem> buildMenuItems(int32_t& offset);

private:
    // The menu (this or a sub-menu) holding id, and the index within it; offset runs
    // as in buildMenuItems.
    COptionMenu* locate(int32_t id, int32_t& offset, int32_t& index);
    bool isSeparatorOrTitle(int32_t index) const;
    void becomeCurrent(int32_t index);
    // Text of a new entry at position (0-based) with the prefix mode's number.
    std::string numbered(const char* prefix, int32_t position, const char* text) const;
    void showPopup(CDrawContext* context);
    // The choice reaches the menu holding it and the listener; the edit ends.
    void popupEnded(std::optional<int> chosen);

    std::vector<std::string> entries;
    std::vector<COptionMenu*> subMenus;
    std::vector<bool> checks;
    int32_t currentIndex = -1;
    CBitmap* clickBackground;
    int32_t lastButtons = kRButton;
    int32_t nbItemsPerColumn = -1;
    int32_t lastResult = -1;
    int32_t prefixNumbers = 0;
    COptionMenu* lastMenu = nullptr;
    int32_t lastMenuIndex = -1;
    // Set while this menu's tree is walked, so that a menu nested in itself is skipped.
    bool walking = false;
};
