#pragma once
// PtPickupDlg: the small dialog that picks a point on the page for a
// position or rotation page. While it is open the page editor is in pick-up
// mode and sends it the clicked point (kPointPickedMessage); a position
// offset is counted from the element's anchor, never below 0. Close hands
// the point to the page, Cancel leaves the page as it was; the sheet is
// disabled meanwhile.

#include "plintvlr/shell/mdi_dialog.h"

#include "platform/base/geometry.h"

class TNumEdit;
class TTagsPointPage;

inline constexpr int IDD_POINT_PICKUP = 21410;
inline constexpr int IDC_PICKUP_TEXT = 190;
inline constexpr int IDC_PICKUP_CLOSE = 8;

class PtPickupDlg : public TMDIDialog {
public:
    // resId 0: the dialog's own template. anchor: the element's place in
    // panel pixels (y up); rotation: a rotation centre rather than an offset.
    PtPickupDlg(TMDIClient* client, TResId resId, const TPoint& point, TTagsPointPage* page, const TPoint& anchor,
                bool rotation, TModule* module = nullptr);
    ~PtPickupDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TTagsPointPage* GetPage() const { return page_; }
    TPoint GetPoint() const { return point_; }
    bool IsRotation() const { return rotation_; }

    void CmCancel() override;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

    LRESULT EvPointPicked(WPARAM, LPARAM point);
    void CmClose();

private:
    // The sheet of the page is enabled again and brought to the top.
    void ReleaseSheet();
    void Leave();

    TPoint point_;
    TTagsPointPage* page_;
    TPoint anchor_;
    bool rotation_;
    bool left_ = false;
    TNumEdit* x_;
    TNumEdit* y_;
};

// The pick-up dialog whose window is open, or null: the page canvas sends
// it the clicks.
PtPickupDlg* GetOpenPickupDialog();
