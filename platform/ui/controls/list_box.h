#pragma once
// TListBox: a list of text items, each with a data value. Single selection
// by default; LBS_MULTIPLESEL (a click toggles an item) or LBS_EXTENDEDSEL
// (Shift and Ctrl extend the selection) for several. LBS_SORT keeps the
// items sorted without regard to case; LBS_USETABSTOPS lays out tab
// characters at the tab stops; LBS_OWNERDRAWFIXED and LBS_OWNERDRAWVARIABLE
// leave the drawing to the parent (WM_MEASUREITEM, WM_DRAWITEM).
//
// With LBS_NOTIFY the parent hears LBN_SELCHANGE when the user changes the
// selection (never for changes the program makes) and LBN_DBLCLK on a double
// click; LBN_SETFOCUS and LBN_KILLFOCUS always. Indexes count from 0; -1
// (LB_ERR) answers a bad index or a failed search.

#include "platform/ui/control.h"

#include <cstdint>
#include <string>

class QListWidget;
class QString;
class TOwnerDrawDelegate;
class TTabStopDelegate;

class TListBox : public TControl {
public:
    TListBox(TWindow* parent, int id, int x, int y, int w, int h, TModule* module = nullptr);
    TListBox(TWindow* parent, int resourceId, TModule* module = nullptr);

    virtual int AddString(const char* text);
    virtual int InsertString(const char* text, int index);  // -1 appends
    virtual int DeleteString(int index);
    virtual void ClearList();
    virtual int GetCount() const;
    virtual int FindString(const char* prefix, int startIndex) const;
    virtual int FindExactString(const char* text, int startIndex) const;
    virtual int GetStringLen(int index) const;
    // Copies item `index` and a terminating NUL; `buffer` holds GetStringLen + 1 characters.
    virtual int GetString(char* buffer, int index) const;
    std::string GetString(int index) const;
    virtual std::uintptr_t GetItemData(int index) const;
    virtual int SetItemData(int index, std::uintptr_t data);
    virtual int GetSelIndex() const;
    virtual int SetSelIndex(int index);
    virtual int SetSelString(const char* prefix, int startIndex);

    // Several selected items.
    int GetSelCount() const;
    int GetSelIndexes(int* indexes, int maxCount) const;
    bool GetSel(int index) const;
    int SetSel(int index, bool select);  // -1: every item

    int GetTopIndex() const;
    int SetTopIndex(int index);
    int GetCaretIndex() const;
    int SetCaretIndex(int index, bool partialOk = false);
    // Tab stops in dialog units; none gives one every 32 units, one gives one every that many.
    bool SetTabStops(int count, const int* stops);
    void SetColumnWidth(int width);
    int GetItemRect(int index, TRect& rect) const;
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, int height);

protected:
    // The message numbers of the item operations: a list box's, or a combo box's.
    struct TItemMessages {
        UINT add, insert, remove, reset, count, find, findExact, textLength, text, getData, setData, getSel, setSel,
            selectString;
    };
    virtual const TItemMessages& ItemMessages() const;
    LRESULT Ask(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return const_cast<TListBox*>(this)->SendMessage(msg, wParam, lParam);
    }

    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void WidgetReleased() override;
    bool PaintsNatively() const override { return true; }
    void StyleChanged(DWORD oldStyle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;

private:
    bool OwnerDrawn() const { return Attr.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
    bool HasStrings() const { return !OwnerDrawn() || (Attr.Style & LBS_HASSTRINGS); }
    bool MultiSelect() const { return Attr.Style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
    int Insert(int index, const QString& text, LPARAM item);
    int DialogUnitsToPixels(int x) const;

    QListWidget* list_ = nullptr;
    TOwnerDrawDelegate* ownerDraw_ = nullptr;
    TTabStopDelegate* tabStops_ = nullptr;
    int programmatic_ = 0;
};
