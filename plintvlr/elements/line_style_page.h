#pragma once
// The first page of the shape sheets: open or filled (raised or recessed
// for a frame) and the line width. It changes the element at once, so the
// page shows each change, and puts the element back as it was when the
// sheet is cancelled.
// TEditLinesPage: the page of the lines element, with "Freeze Nodes".
// TRegFigPage: the page of a rectangle, circle or frame, with pictures of
// the two styles and a side width limited by the figure's size.

#include "plintvlr/elements/zk_prop_page.h"

class ActivePageEditor;
class LinesElem;
class SizeRect;
class TCheckBox;
class TDynFillSheet;
class TLineStyle;
class TNumEdit;
class TRadioButton;
class TRegFigElem;
class TUpDown;

inline constexpr int IDD_LINES_STYLE_PAGE = 10115;
inline constexpr int IDD_FIGURE_STYLE_PAGE = 21403;
inline constexpr int IDC_STYLE_OPEN = 125;
inline constexpr int IDC_STYLE_FILLED = 127;
inline constexpr int IDC_STYLE_OPEN_PICTURE = 190;
inline constexpr int IDC_STYLE_FILLED_PICTURE = 160;
inline constexpr int IDC_FREEZE_NODES = 163;
inline constexpr int IDC_WIDTH_LABEL = 161;
inline constexpr int IDC_LINE_WIDTH = 195;
inline constexpr int IDC_LINE_WIDTH_UPDOWN = 11101;
inline constexpr int kLinesStyleHelp = 618;
inline constexpr int kFrameStyleHelp = 312;
inline constexpr int kFigureStyleHelp = 313;

class TLineStylePage : public TZKPropPage {
public:
    static constexpr int kMaxLineWidth = 6;

    // withFill: the second style makes the element filled and brings the
    // Fill page; without it (frames) it only switches the style.
    TLineStylePage(TDynFillSheet* sheet, TResId resId, TLineStyle& style, int helpContext, SizeRect& element,
                   ActivePageEditor* canvas, bool withFill, TModule* module = nullptr);
    ~TLineStylePage() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    int Apply(TNotify& notify) override;
    void Reset(TNotify& notify) override;

    bool HasFill() const { return withFill_; }
    int GetMaxWidth() const;

protected:
    void SetupWindow() override;
    // The width's upper bound once the page is set up.
    void SetWidthRange(int maximum);
    void EnableWidth(bool enable);

    void EvWidthUpdate();
    void EvStyleClicked();

    TDynFillSheet* sheet_;
    TLineStyle& style_;
    SizeRect& element_;
    ActivePageEditor* canvas_;
    bool withFill_;
    bool savedFilled_;
    bool currentFilled_;
    int savedWidth_;
    bool settingUp_ = false;
    TRadioButton* open_;
    TRadioButton* filled_;
    TNumEdit* width_;
    TUpDown* widthUpDown_;
};

class TEditLinesPage : public TLineStylePage {
public:
    TEditLinesPage(TDynFillSheet* sheet, LinesElem& lines, ActivePageEditor* canvas, TModule* module = nullptr);

    int Apply(TNotify& notify) override;

protected:
    void SetupWindow() override;

private:
    LinesElem& lines_;
    TCheckBox* freeze_;
};

class TRegFigPage : public TLineStylePage {
public:
    TRegFigPage(TDynFillSheet* sheet, TRegFigElem& figure, ActivePageEditor* canvas, TModule* module = nullptr);

    // The largest side width that leaves room inside the figure: at least 1.
    static int MaxSideWidth(const TRect& figure);

protected:
    void SetupWindow() override;

private:
    TRegFigElem& figure_;
};
