#pragma once
// TTagMaskPage: the page that edits a tag with a mask of its four states
// (the Blink page, the Show/Hide page): the tag, its data type (the tag's
// value, or one of its status bits) and the states in which the attribute
// acts. States 2 and 3 exist only for a tag with four states read as a
// value; their boxes are greyed and cleared otherwise.
// TColorPage: that page on an element's show/hide attribute.

#include "plintvlr/elements/zk_prop_page.h"

#include <cstdint>

class DynamicData;
class TButton;
class TCheckBox;
class TComboBox;
class TTagComboBox;
class TTagMask;

// Control ids shared by the tag-with-states pages.
inline constexpr int IDC_TAG_LABEL = 190;
inline constexpr int IDC_TAG_COMBO = 192;
inline constexpr int IDC_TAG_CLEAR = 125;
inline constexpr int IDC_DATATYPE_LABEL = 160;
inline constexpr int IDC_DATATYPE_COMBO = 21611;
inline constexpr int IDC_STATES_GROUP = 161;
inline constexpr int IDC_STATE_00 = 21627;  // state 0; 21628-21630 states 1-3
inline constexpr int kStateCount = 4;

inline constexpr int IDD_SHOWHIDE_PAGE = 11801;
inline constexpr int kShowHideHelp = 716;

class TTagMaskPage : public TZKPropPage {
public:
    TTagMaskPage(TPropertySheet* sheet, TResId resId, int helpContext, TTagMask& attribute,
                 TModule* module = nullptr);
    ~TTagMaskPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;

    int GetWorkingTag() const { return tag_; }
    int GetWorkingDataType() const { return dataType_; }
    std::uint8_t GetWorkingMask() const { return mask_; }

protected:
    void SetupWindow() override;

    // Fills or trims the data type list for the tag's kind and selects the
    // working data type (one the kind lacks falls back to the value).
    void FillDataTypes();
    // Enables the boxes of states 2 and 3 when the tag has them.
    void UpdateUpperStates();
    // Whether the tag has states 2 and 3 as the page edits it.
    virtual bool HasFourStates() const;
    // The tag cleared as Clear does.
    void ClearTag();

    void EvStateClicked();
    void EvDataTypeChange();
    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged);
    void CmClear();

    TTagMask& attribute_;
    int tag_ = 0;
    int dataType_ = 0;
    std::uint8_t mask_ = 0;

    TTagComboBox* tagCombo_;
    TComboBox* dataTypes_;
    TButton* clear_;
    TCheckBox* states_[kStateCount];
};

class TColorPage : public TTagMaskPage {
public:
    // analogTwoStates: the attribute is stored in a form that keeps states 0
    // and 1 only for an analog tag, so the page offers no more.
    TColorPage(TPropertySheet* sheet, DynamicData& showHide, bool analogTwoStates = false,
               TModule* module = nullptr);

protected:
    bool HasFourStates() const override;

private:
    bool analogTwoStates_;
};
