#pragma once
// The sheet of the bitmap element: the Bitmap page (the picture type, the
// tag, the bitmaps and the values that choose them), the Blink page and the
// Position page. Nothing reaches the element before Apply or OK; each Apply
// builds the element again from the page. TBmpListBox lists a List
// element's value-to-bitmap entries; TBmpValueDlg adds or changes one,
// keeping the values unique and in ascending order.

#include "plintvlr/elements/zk_prop_page.h"
#include "plintvlr/shell/mdi_prop_sheet.h"
#include "plintvlr/shell/pos_dialog.h"
#include "platform/ui/controls/list_box.h"

#include <cstdint>
#include <string>

class ActivePageEditor;
class BitmapElem;
class Bmpbtn;
class TButton;
class TCheckBox;
class TComboBox;
class TTagComboBox;
class ValueEdit;

// Resource ids.
inline constexpr int IDD_BITMAP_PAGE = 10600;
inline constexpr int kBitmapSheetPositionId = 10600;
inline constexpr int IDD_BITMAP_ENTRY = 10700;
inline constexpr int kBitmapEntryPositionId = 10700;
inline constexpr int kBitmapPageHelp = 106;

// Controls of the Bitmap page.
inline constexpr int IDC_BMP_TYPE = 11110;
inline constexpr int IDC_BMP_TAG_LABEL = 103;
inline constexpr int IDC_BMP_TAG = 192;
inline constexpr int IDC_BMP_STATIC_BITMAP = 734;
inline constexpr int IDC_BMP_DATA_TYPE = 699;
inline constexpr int IDC_BMP_STATE_00 = 949;
inline constexpr int IDC_BMP_STATE_01 = 944;
inline constexpr int IDC_BMP_STATE_10 = 943;
inline constexpr int IDC_BMP_STATE_11 = 942;
inline constexpr int IDC_BMP_STATE_10_LABEL = 212;
inline constexpr int IDC_BMP_STATE_11_LABEL = 213;
inline constexpr int IDC_BMP_LIMIT_DEFAULT = 945;
inline constexpr int IDC_BMP_HIGH_BOX = 222;
inline constexpr int IDC_BMP_HIGH_BITMAP = 946;
inline constexpr int IDC_BMP_HIGH_VALUE = 250;
inline constexpr int IDC_BMP_LOW_BOX = 223;
inline constexpr int IDC_BMP_LOW_BITMAP = 947;
inline constexpr int IDC_BMP_LOW_VALUE = 254;
inline constexpr int IDC_BMP_LIST_DEFAULT = 948;
inline constexpr int IDC_BMP_LIST = 543;
inline constexpr int IDC_BMP_ADD = 703;
inline constexpr int IDC_BMP_REMOVE = 704;
inline constexpr int IDC_BMP_CHANGE = 950;
// Controls of the entry dialog.
inline constexpr int IDC_ENTRY_VALUE = 195;
inline constexpr int IDC_ENTRY_BITMAP = 127;

class TEditBmpSheet : public TGraphEditSheet {
public:
    TEditBmpSheet(TMDIClient* client, BitmapElem& element, ActivePageEditor* canvas, TModule* module = nullptr);
    ~TEditBmpSheet() override;
};

class TBmpListBox : public TListBox {
public:
    TBmpListBox(TWindow* parent, int resourceId, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvLButtonDblClk(UINT keys, const TPoint& point);
};

class TBitmapPage : public TZKPropPage {
public:
    TBitmapPage(TPropertySheet* sheet, BitmapElem& element, ActivePageEditor* canvas, TModule* module = nullptr);
    ~TBitmapPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;

    // The page's working state, for its tests.
    int GetTypeIndex() const { return typeIndex_; }
    int GetWorkingTag() const { return tag_; }
    int GetDataTypeIndex() const { return dataTypeIndex_; }

protected:
    void SetupWindow() override;

private:
    void EvTypeChange();
    void EvDataTypeChange();
    void EvListSelChange();
    void CmHighBox();
    void CmLowBox();
    void CmAdd();
    void CmRemove();
    void CmChange();
    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged);
    LRESULT EvBitmapChosen(WPARAM id, LPARAM number);
    void EvDrawItem(UINT id, DRAWITEMSTRUCT& item);
    void EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item);

    void ShowTypeControls(int type, bool first);
    void FillDataTypes();
    bool HasFourStates() const;
    void CheckFourStates();
    void ShowFourStates();
    void FollowLimitBoxes();
    void RefreshTagFacts();
    std::string ShownText(std::int32_t raw) const;
    std::int32_t RawOf(long double shown) const;
    void ShowControl(int id, bool show);

    BitmapElem& element_;
    ActivePageEditor* canvas_;
    int typeIndex_;
    int tag_;
    int dataTypeIndex_ = 0;
    std::uint16_t defaultBitmap_;
    int decimals_ = 0;
    int dataType_ = 0;
    bool hasRange_ = false;
    long double rangeMin_ = 0;
    long double rangeMax_ = 0;
    // Whether the Discrete bitmaps of states 2 and 3 are offered. Kept here
    // rather than read from the buttons: Apply also runs while another page
    // is shown and the buttons are hidden with this one.
    bool fourStates_ = false;

    TComboBox* type_;
    TTagComboBox* tagCombo_;
    TComboBox* dataTypes_;
    Bmpbtn* staticBitmap_;
    Bmpbtn* states_[4];
    Bmpbtn* limitDefault_;
    TCheckBox* highBox_;
    Bmpbtn* highBitmap_;
    ValueEdit* highValue_;
    TCheckBox* lowBox_;
    Bmpbtn* lowBitmap_;
    ValueEdit* lowValue_;
    Bmpbtn* listDefault_;
    TBmpListBox* list_;
    TButton* remove_;
    TButton* change_;
};

class TBmpValueDlg : public TPosDialog {
public:
    TBmpValueDlg(TWindow* parent, int tag, TListBox& list, bool add, TModule* module = nullptr);
    ~TBmpValueDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;
    void CmOk() override;

private:
    TListBox& list_;
    bool add_;
    ValueEdit* value_;
    Bmpbtn* bitmap_;
};

// The page's and entry dialog's templates; made when first needed.
void RegisterBitmapSheetTemplates();
