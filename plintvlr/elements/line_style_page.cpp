#include "plintvlr/elements/line_style_page.h"

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/element_pages_string_ids.h"
#include "plintvlr/elements/line_style.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/pict_static.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/num_edit.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/controls/up_down.h"

#include <algorithm>

namespace {

// Filled shapes and recessed frames exist only on these panels.
bool PanelFillsShapes()
{
    const int type = _QSglobals.GetDatabase().GetPanelType();
    return type == 9 || type == 14;
}

}  // namespace

const TResponseTable TLineStylePage::Responses{&TZKPropPage::Responses, {
    OnNotify<&TLineStylePage::EvWidthUpdate>(IDC_LINE_WIDTH, EN_UPDATE),
    OnCommand<&TLineStylePage::EvStyleClicked>(IDC_STYLE_OPEN),
    OnCommand<&TLineStylePage::EvStyleClicked>(IDC_STYLE_FILLED),
}};

TLineStylePage::TLineStylePage(TDynFillSheet* sheet, TResId resId, TLineStyle& style, int helpContext,
                               SizeRect& element, ActivePageEditor* canvas, bool withFill, TModule* module)
    : TZKPropPage(sheet, RegisteredPageTemplate(resId), helpContext, module),
      sheet_(sheet),
      style_(style),
      element_(element),
      canvas_(canvas),
      withFill_(withFill),
      savedFilled_(style.IsFilled()),
      currentFilled_(savedFilled_),
      savedWidth_(style.GetLineWidth()),
      open_(new TRadioButton(this, IDC_STYLE_OPEN)),
      filled_(new TRadioButton(this, IDC_STYLE_FILLED)),
      width_(new TNumEdit(this, IDC_LINE_WIDTH)),
      widthUpDown_(new TUpDown(this, IDC_LINE_WIDTH_UPDOWN))
{
}

TLineStylePage::~TLineStylePage() = default;

void TLineStylePage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    settingUp_ = true;
    widthUpDown_->SetBuddy(width_->GetHandle());
    SetWidthRange(kMaxLineWidth);
    width_->SetValue(style_.GetLineWidth());
    settingUp_ = false;
    if (!PanelFillsShapes())
        filled_->EnableWindow(false);
    (currentFilled_ ? filled_ : open_)->SetCheck(BST_CHECKED);
    // A filled element opens as the second style leaves it.
    if (withFill_)
        EnableWidth(!currentFilled_);
}

void TLineStylePage::SetWidthRange(int maximum)
{
    width_->SetRange(maximum, 1);
    widthUpDown_->SetRange(1, maximum);
}

int TLineStylePage::GetMaxWidth() const
{
    return width_->GetMaximum();
}

void TLineStylePage::EnableWidth(bool enable)
{
    width_->EnableWindow(enable);
    widthUpDown_->EnableWindow(enable);
    if (TWindow* label = ChildWithId(IDC_WIDTH_LABEL))
        label->EnableWindow(enable);
}

void TLineStylePage::EvWidthUpdate()
{
    if (settingUp_)
        return;
    sheet_->RepaintElement();
    style_.SetLineWidth(width_->GetValue());
    sheet_->RepaintElement();
}

void TLineStylePage::EvStyleClicked()
{
    const bool filled = filled_->GetCheck() == BST_CHECKED;
    if (filled != currentFilled_) {
        currentFilled_ = filled;
        sheet_->RepaintElement();
        style_.SetFilled(filled);
        sheet_->RepaintElement();
        Changed();
    }
    if (!withFill_)
        return;
    if (filled)
        width_->SetValue(1);
    EnableWidth(!filled);
    sheet_->ShowFillPage(filled);
}

int TLineStylePage::Apply(TNotify& notify)
{
    if (canvas_)
        canvas_->SetPageModified();
    sheet_->RepaintElement();
    return TZKPropPage::Apply(notify);
}

void TLineStylePage::Reset(TNotify& notify)
{
    sheet_->RepaintElement();
    style_.SetFilled(savedFilled_);
    style_.SetLineWidth(savedWidth_);
    sheet_->RepaintElement();
    TZKPropPage::Reset(notify);
}

// ---------------------------------------------------------------- TEditLinesPage

TEditLinesPage::TEditLinesPage(TDynFillSheet* sheet, LinesElem& lines, ActivePageEditor* canvas, TModule* module)
    : TLineStylePage(sheet, IDD_LINES_STYLE_PAGE, lines, kLinesStyleHelp, lines, canvas, true, module),
      lines_(lines),
      freeze_(new TCheckBox(this, IDC_FREEZE_NODES))
{
}

void TEditLinesPage::SetupWindow()
{
    TLineStylePage::SetupWindow();
    freeze_->SetCheck(lines_.AreNodesFrozen() ? BST_CHECKED : BST_UNCHECKED);
}

int TEditLinesPage::Apply(TNotify& notify)
{
    lines_.SetNodesFrozen(freeze_->GetCheck() == BST_CHECKED);
    return TLineStylePage::Apply(notify);
}

// ---------------------------------------------------------------- TRegFigPage

namespace {

struct FigurePictures {
    int open;
    int filled;
};

FigurePictures PicturesOf(int kind)
{
    switch (kind) {
    case TRegFigElem::kCircle:
        return {kCirclePictureUnfilled, kCirclePictureFilled};
    case TRegFigElem::kRectangle:
        return {kRectanglePictureUnfilled, kRectanglePictureFilled};
    default:
        return {kFramePictureRaised, kFramePictureRecessed};
    }
}

}  // namespace

TRegFigPage::TRegFigPage(TDynFillSheet* sheet, TRegFigElem& figure, ActivePageEditor* canvas, TModule* module)
    : TLineStylePage(sheet, IDD_FIGURE_STYLE_PAGE, figure,
                     figure.GetKind() == TRegFigElem::kFrame ? kFrameStyleHelp : kFigureStyleHelp, figure, canvas,
                     figure.GetKind() != TRegFigElem::kFrame, module),
      figure_(figure)
{
    const FigurePictures pictures = PicturesOf(figure.GetKind());
    new TPictStatic(this, IDC_STYLE_OPEN_PICTURE, pictures.open);
    new TPictStatic(this, IDC_STYLE_FILLED_PICTURE, pictures.filled);
}

int TRegFigPage::MaxSideWidth(const TRect& figure)
{
    // Half the smaller side, in pixels, less one: a side that leaves room
    // inside. The smallest figures still allow a width of 1.
    const int smaller = std::min(figure.Width(), figure.Height());
    return std::max(1, (smaller / 2) / kUnitsPerPixel - 1);
}

void TRegFigPage::SetupWindow()
{
    TLineStylePage::SetupWindow();
    if (figure_.GetKind() != TRegFigElem::kFrame) {
        open_->SetWindowText(Str(kStrStyleUnfilled));
        filled_->SetWindowText(Str(kStrStyleFilled));
    }
    SetWidthRange(MaxSideWidth(figure_));
}
