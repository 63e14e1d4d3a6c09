#include "plintvlr/elements/dyn_fill_sheet.h"

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/blink_page.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/element_pages_string_ids.h"
#include "plintvlr/elements/fill_page.h"
#include "plintvlr/elements/line_style_page.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "plintvlr/elements/tags_point_page.h"
#include "plintvlr/shell/base/str.h"
#include "platform/ui/mdi_client.h"

TMDIClient* SheetClient(TWindow* parent, ActivePageEditor* editor)
{
    if (auto* client = dynamic_cast<TMDIClient*>(parent))
        return client;
    return editor ? editor->GetMDIClient() : nullptr;
}

namespace {

// The sheet's caption, read after the page resources are registered: their
// registration reads many texts, and Str's buffers rotate.
const char* Caption(int id)
{
    RegisterElementPageTemplates();
    return Str(id);
}

}  // namespace

bool PanelHasMotion()
{
    const int type = _QSglobals.GetDatabase().GetPanelType();
    return type == 9 || type == 11 || type == 14;
}

TDynFillSheet::TDynFillSheet(TMDIClient* client, const char* caption, TResId icon, int sheetId, SizeRect& element,
                             ActivePageEditor* canvas, TModule* module)
    : TGraphEditSheet(client, caption, icon, 0, sheetId, false,
                      PSH_HASHELP | PSH_NOAPPLYNOW, module),
      element_(element),
      canvas_(canvas)
{
}

TDynFillSheet::~TDynFillSheet() = default;

void TDynFillSheet::AddCommonPages(DynamicData& showHide, bool withRotation, bool compactShowHide)
{
    new TColorPage(this, showHide, compactShowHide);
    new TBlinkPage(this, element_.GetDynBlink());
    if (!PanelHasMotion())
        return;
    const TPoint anchor = element_.GetAnchorPoint();
    if (withRotation)
        new TRotationPage(this, element_.GetDynRotation(), anchor);
    new TPositionPage(this, element_.GetDynPosition(), anchor);
}

void TDynFillSheet::ShowFillPage(bool show)
{
    if (show && !fillPage_) {
        fillPage_ = new TFillPage(this, element_.GetDynFill());
    } else if (!show && fillPage_) {
        TFillPage* page = fillPage_;
        fillPage_ = nullptr;
        RemovePage(*page);
    }
}

void TDynFillSheet::RepaintElement()
{
    if (canvas_)
        canvas_->InvalidateLogicalRect(element_.GetRepaintRect());
}

// ---------------------------------------------------------------- TEditLinesDlg

TEditLinesDlg::TEditLinesDlg(TMDIClient* client, LinesElem& lines, ActivePageEditor* canvas, TModule* module)
    : TDynFillSheet(client, Caption(kStrSheetLinesShape), kLinesSheetIcon, kSheetId, lines, canvas, module)
{
    new TEditLinesPage(this, lines, canvas);
    AddCommonPages(lines.GetShowHide(), true);
    // A shape opens with its Fill page.
    ShowFillPage(lines.IsFilled());
}

// ---------------------------------------------------------------- TEditRegFigDlg

namespace {

int FigureCaption(const TRegFigElem& figure)
{
    switch (figure.GetKind()) {
    case TRegFigElem::kRectangle:
        return kStrSheetRectangle;
    case TRegFigElem::kCircle:
        return kStrSheetCircle;
    default:
        return kStrSheetFrame;
    }
}

}  // namespace

TEditRegFigDlg::TEditRegFigDlg(TMDIClient* client, TRegFigElem& figure, ActivePageEditor* canvas, TResId icon,
                               TModule* module)
    : TDynFillSheet(client, Caption(FigureCaption(figure)), icon, kSheetId, figure, canvas, module)
{
    const bool frame = figure.GetKind() == TRegFigElem::kFrame;
    new TRegFigPage(this, figure, canvas);
    // A frame keeps two states of an analog show/hide tag.
    AddCommonPages(figure.GetShowHide(), !frame, frame);
    if (!frame)
        ShowFillPage(figure.IsFilled());
}
