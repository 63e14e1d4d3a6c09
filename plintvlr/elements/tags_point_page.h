#pragma once
// The pages of the attributes that take a point: TRotationPage (a tag that
// turns the element round a centre) and TPositionPage (X and Y tags that
// move it by offsets), both on TTagsPointPage. The point is typed, or picked
// on the page with "Draw", which opens the point pick-up dialog.

#include "plintvlr/elements/zk_prop_page.h"

#include "platform/base/geometry.h"

class TButton;
class TNumEdit;
class TTagComboBox;
class TTagsPoint;
class TUpDown;

inline constexpr int IDD_ROTATION_PAGE = 11501;
inline constexpr int IDD_POSITION_PAGE = 11401;
inline constexpr int IDC_POINT_X = 195;
inline constexpr int IDC_POINT_Y = 205;
inline constexpr int IDC_POINT_X_UPDOWN = 11101;
inline constexpr int IDC_POINT_Y_UPDOWN = 11102;
inline constexpr int IDC_POINT_DRAW = 163;
inline constexpr int IDC_POSITION_Y_TAG = 11110;
inline constexpr int IDC_POSITION_Y_CLEAR = 127;
inline constexpr int IDC_POSITION_TAGS_GROUP = 21509;
inline constexpr int kRotationHelp = 713;
inline constexpr int kPositionHelp = 712;

// A picked point: lParam carries x in its low and y in its high 16 bits
// (panel pixels, y up from the bottom of the screen).
inline constexpr UINT kPointPickedMessage = 1425;

class TTagsPointPage : public TZKPropPage {
public:
    // anchor: the element's place in panel pixels (y up).
    TTagsPointPage(TPropertySheet* sheet, TResId resId, int helpContext, TTagsPoint& attribute, const TPoint& anchor,
                   bool rotation, TModule* module = nullptr);
    ~TTagsPointPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;

    int GetWorkingTag() const { return tag_; }
    TPoint GetWorkingPoint() const { return point_; }
    const TPoint& GetAnchor() const { return anchor_; }
    bool IsRotation() const { return rotation_; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

    // Each Clear button is usable while its tag is set.
    virtual void UpdateClearButtons();

    void EvPointChange();
    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged);
    void CmClear();
    void CmDraw();
    LRESULT EvPointPicked(WPARAM, LPARAM point);

    TTagsPoint& attribute_;
    int tag_;
    TPoint point_;
    TPoint anchor_;
    bool rotation_;
    bool settingUp_ = false;
    TTagComboBox* tagCombo_;
    TButton* clear_;
    TNumEdit* x_;
    TNumEdit* y_;
    TUpDown* xUpDown_;
    TUpDown* yUpDown_;
};

class TRotationPage : public TTagsPointPage {
public:
    TRotationPage(TPropertySheet* sheet, TTagsPoint& rotation, const TPoint& anchor, TModule* module = nullptr);
};

class TPositionPage : public TTagsPointPage {
public:
    TPositionPage(TPropertySheet* sheet, TTagsPoint& position, const TPoint& anchor, TModule* module = nullptr);
    ~TPositionPage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;

    int GetWorkingYTag() const { return yTag_; }

protected:
    void UpdateClearButtons() override;
    void CmClearY();

private:
    int yTag_;
    TTagComboBox* yTagCombo_;
    TButton* yClear_;
};

// The tags-and-point page whose window is open, or null.
TTagsPointPage* GetOpenTagsPointPage();
