#pragma once
// ZOrderDlg: the "Z-Order Editor". It lists the selected elements of the page
// frontmost first (or, when the selection is one group, the group's members,
// last member first), each row with the element kind's picture and its
// position text. Rows dropped onto another row are moved there on the page
// at once; OK keeps the order, Cancel and the close box put the selection
// back as it was when the dialog opened. The page editor is disabled while
// the dialog is open, so the selection cannot change under it.

#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/shell/mdi_dialog.h"

class ActivePageEditor;
class ItemListBox;
class SizeRectManager;

inline constexpr int IDD_ZORDER = 21901;
inline constexpr int IDC_ZORDER_TEXT = 190;
inline constexpr int IDC_ZORDER_LIST = 196;
inline constexpr int IDC_ZORDER_OK = 8;
inline constexpr int kZOrderHelp = 309;
// Each row is this many pixels high; its picture is as wide.
inline constexpr int kZOrderRowHeight = 17;

class ZOrderDlg : public TMDIDialog {
public:
    ZOrderDlg(TMDIClient* client, SizeRectManager& model, TModule* module = nullptr);
    ~ZOrderDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    ItemListBox& GetList() const { return *list_; }
    // What the rows stand for: copies of the selection, front first, or of
    // the one selected group's members, last member first.
    const SizeRectArray& GetShown() const { return showsMembers_ ? members_ : listed_; }

    void CmOk() override;
    void CmCancel() override;

protected:
    void SetupWindow() override;

    void EvDrawItem(UINT id, DRAWITEMSTRUCT& item);
    void EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item);
    LRESULT MoveSelection(WPARAM start, LPARAM target);

private:
    void FillList();
    // The page belongs to the page editor that was active when the dialog
    // opened; once that editor has gone the page is not touched.
    bool PageIsThere() const;

    SizeRectManager& model_;
    ActivePageEditor* editor_;
    ItemListBox* list_;
    SizeRectArray listed_;
    SizeRectArray members_;
    SizeRectArray saved_;
    bool showsMembers_ = false;
};

// Registers the dialog's template and the pictures of the element kinds
// (bitmaps named by the elements' type words); the dialog does it itself.
void RegisterZOrderResources();
