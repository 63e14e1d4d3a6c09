#pragma once
// TFillPage: the Fill page of a filled element: the analog tag whose value
// fills the element, and the fill mode (graph, chart or band, vertical or
// horizontal), each shown with its picture.

#include "plintvlr/elements/zk_prop_page.h"

class TButton;
class TDynFill;
class TTagComboBox;

inline constexpr int IDD_FILL_PAGE = 11701;
inline constexpr int IDC_FILL_MODES_GROUP = 21543;
inline constexpr int IDC_FILL_PICTURE_0 = 21546;  // to 21551, and the bitmaps of the same ids
inline constexpr int IDC_FILL_MODE_0 = 21560;     // to 21565: modes 0-5
inline constexpr int kFillModeCount = 6;
inline constexpr int kFillHelp = 715;

class TFillPage : public TZKPropPage {
public:
    TFillPage(TPropertySheet* sheet, TDynFill& fill, TModule* module = nullptr);
    ~TFillPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;

    int GetWorkingTag() const { return tag_; }
    int GetWorkingMode() const { return mode_; }

protected:
    void SetupWindow() override;

    void EvModeClicked();
    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged);
    void CmClear();

private:
    TDynFill& fill_;
    int tag_;
    int mode_;
    TTagComboBox* tagCombo_;
    TButton* clear_;
};
