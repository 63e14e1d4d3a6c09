#pragma once
// TComboBox: a drop-down list (CBS_DROPDOWNLIST) or an edit field with a
// list (CBS_DROPDOWN, CBS_SIMPLE). The edit field is the combo's child
// window with id 1001. Items, data, sorting and searching work as in a list
// box.
//
// Notifications to the parent, in this order: CBN_DROPDOWN when the list
// opens; when it closes after the user chose an item, CBN_SELCHANGE (if the
// selection changed), CBN_SELENDOK, CBN_CLOSEUP; when it closes without a
// choice, CBN_SELENDCANCEL, CBN_CLOSEUP; CBN_SELCHANGE alone when the user
// changes the selection with the list closed (arrow keys, typing a letter).
// CBN_EDITUPDATE and CBN_EDITCHANGE follow the user's typing in the edit
// field; CBN_SETFOCUS and CBN_KILLFOCUS the focus. Changes the program makes
// are not notified.

#include "platform/ui/controls/list_box.h"

class QComboBox;
class TEdit;

class TComboBox : public TListBox {
public:
    TComboBox(TWindow* parent, int id, int x, int y, int w, int h, DWORD style, UINT textLimit,
              TModule* module = nullptr);
    TComboBox(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);

    // The edit field's text, or the selected item's for a drop-down list.
    std::string GetText() const { return GetWindowText(); }
    int GetText(char* buffer, int size) const { return GetWindowText(buffer, size); }
    int GetTextLen() const { return GetWindowTextLength(); }
    // Sets the edit field's text; a drop-down list selects the item with that text.
    void SetText(const char* text);
    void Clear();
    void SetEditSel(int start, int end);
    void GetEditSel(int& start, int& end) const;
    UINT GetTextLimit() const { return textLimit_; }

    void ShowList(bool show = true);
    void HideList() { ShowList(false); }
    bool GetDroppedState() const;
    void GetDroppedControlRect(TRect& rect) const;
    TEdit* GetEdit() const { return edit_; }

    // Called by the Qt widget as its list opens and closes.
    void ListOpening();
    void ListClosed();

protected:
    const TItemMessages& ItemMessages() const override;
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void WidgetReleased() override;
    void ApplyAttributes() override;
    void StyleChanged(DWORD oldStyle) override;
    void TextChanged() override;
    std::string ReadText() const override;
    void PrepareNativePaint() override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;

private:
    bool HasEdit() const { return (Attr.Style & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }
    bool OwnerDrawn() const { return Attr.Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE); }
    bool HasStrings() const { return !OwnerDrawn() || (Attr.Style & CBS_HASSTRINGS); }
    int Insert(int index, const QString& text, LPARAM item);
    void FinishCloseUp(bool chosen);

    QComboBox* combo_ = nullptr;
    TEdit* edit_ = nullptr;
    TOwnerDrawDelegate* ownerDraw_ = nullptr;
    UINT textLimit_ = 0;
    int programmatic_ = 0;
    bool dropped_ = false;
    bool closing_ = false;
    bool selectionChanged_ = false;
};
