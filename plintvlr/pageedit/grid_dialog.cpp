#include "plintvlr/pageedit/grid_dialog.h"

#include "plintvlr/pageedit/grid_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/spin_num_edit.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/dialog_template.h"

namespace {

GridDialog* openDialog = nullptr;

void RegisterGridDialogTemplate()
{
    constexpr DWORD kNumber = ES_NUMBER | WS_BORDER | WS_TABSTOP;
    RegisterDialogTemplate(IDD_GRAPHGRID, {Str(kStrSetGraphicsGrid), 0, 0, 200, 88, WS_CHILD | WS_CAPTION,
                                           "MS Sans Serif", 8, {
        LText(Str(kStrGridHorizontal), -1, 8, 10, 70, 8),
        EditText(IDC_GRID_UNITX, 82, 8, 34, 12, kNumber),
        LText(Str(kStrGridVertical), -1, 8, 28, 70, 8),
        EditText(IDC_GRID_UNITY, 82, 26, 34, 12, kNumber),
        LText(Str(kStrGridUnitsBetweenLines), -1, 8, 46, 70, 8),
        EditText(IDC_GRID_MULTIPLE, 82, 44, 34, 12, kNumber),
        GroupBox(Str(kStrGridLines), -1, 132, 4, 60, 54),
        AutoRadioButton(Str(kStrGridShow), IDC_GRID_SHOW, 140, 20, 46, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton(Str(kStrGridHide), IDC_GRID_HIDE, 140, 38, 46, 10),
        DefPushButton("&OK", IDC_GRID_OK, 8, 66, 56, 14, WS_GROUP | WS_TABSTOP),
        PushButton("&Cancel", IDCANCEL, 72, 66, 56, 14, WS_TABSTOP),
        PushButton("&Help", IDHELP, 136, 66, 56, 14, WS_TABSTOP),
    }});
}

TResId GridTemplate()
{
    if (!FindDialogTemplate(IDD_GRAPHGRID))
        RegisterGridDialogTemplate();
    return IDD_GRAPHGRID;
}

}  // namespace

const TResponseTable GridDialog::Responses{&TMDIDialog::Responses, {
    OnNotify<&GridDialog::EvUnitsChanged>(IDC_GRID_UNITX, EN_UPDATE),
    OnNotify<&GridDialog::EvUnitsChanged>(IDC_GRID_UNITY, EN_UPDATE),
    OnNotify<&GridDialog::EvMultipleChanged>(IDC_GRID_MULTIPLE, EN_UPDATE),
    OnCommand<&GridDialog::EvLinesChoice>(IDC_GRID_SHOW),
    OnCommand<&GridDialog::EvLinesChoice>(IDC_GRID_HIDE),
    OnCommand<&GridDialog::CmGridOk>(IDC_GRID_OK),
    OnCommand<&GridDialog::CmHelpButton>(IDHELP),
}};

GridDialog::GridDialog(TMDIClient* client, GraphGridState& grid, TWindow* canvas, TModule* module)
    : TMDIDialog(client, GridTemplate(), IDD_GRAPHGRID, IDD_GRAPHGRID, TResId(), true, module),
      grid_(&grid),
      canvas_(canvas),
      saved_(grid.grid),
      unitX_(new TSpinNumEdit(this, IDC_GRID_UNITX)),
      unitY_(new TSpinNumEdit(this, IDC_GRID_UNITY)),
      multiple_(new TSpinNumEdit(this, IDC_GRID_MULTIPLE)),
      show_(new TRadioButton(this, IDC_GRID_SHOW)),
      hide_(new TRadioButton(this, IDC_GRID_HIDE))
{
}

GridDialog::~GridDialog()
{
    if (openDialog == this)
        openDialog = nullptr;
}

void GridDialog::CloseFor(const GraphGridState& grid)
{
    if (!openDialog || openDialog->grid_ != &grid)
        return;
    GridDialog* dialog = openDialog;
    openDialog = nullptr;
    dialog->grid_ = nullptr;
    dialog->canvas_ = nullptr;
    if (dialog->IsWindow())
        dialog->Destroy(IDCANCEL);
}

void GridDialog::SetupWindow()
{
    TMDIDialog::SetupWindow();
    openDialog = this;
    if (!grid_)
        return;
    // The grid is on while the dialog is open, at 2 x 2 when none was set.
    GraphGrid& grid = grid_->grid;
    const bool noUnits = grid_->storedUnitX == 1 && grid_->storedUnitY == 1;
    grid.unitX = noUnits ? 2 : grid_->storedUnitX;
    grid.unitY = noUnits ? 2 : grid_->storedUnitY;
    unitX_->SetRange(GraphGrid::kMaxUnit, 1);
    unitY_->SetRange(GraphGrid::kMaxUnit, 1);
    multiple_->SetRange(GraphGrid::kMaxMultiple, 1);
    unitX_->SetValue(grid.unitX);
    unitY_->SetValue(grid.unitY);
    multiple_->SetValue(grid.multiple);
    (grid_->linesShown ? show_ : hide_)->Check();
    ready_ = true;
}

bool GridDialog::ShowChecked() const
{
    return show_->GetCheck() == BST_CHECKED;
}

void GridDialog::Repaint()
{
    if (canvas_ && canvas_->IsWindow())
        canvas_->Invalidate();
}

void GridDialog::EvUnitsChanged()
{
    if (!ready_ || !grid_)
        return;
    GraphGrid& grid = grid_->grid;
    grid.unitX = unitX_->GetValue();
    grid.unitY = unitY_->GetValue();
    const bool pixelGrid = grid.unitX * grid.unitY == 1;
    if (!grid_->linesShown) {
        if (ShowChecked() && !pixelGrid) {
            grid_->ToggleLines();
            Repaint();
        }
        return;
    }
    // A grid of single pixels would paint a line on every pixel.
    if (pixelGrid)
        grid_->ToggleLines();
    Repaint();
}

void GridDialog::EvLinesChoice()
{
    if (!ready_ || !grid_)
        return;
    const GraphGrid& grid = grid_->grid;
    if (grid.unitX * grid.unitY <= 1)
        return;
    if (ShowChecked() != grid_->linesShown) {
        grid_->ToggleLines();
        Repaint();
    }
}

void GridDialog::EvMultipleChanged()
{
    if (!ready_ || !grid_)
        return;
    grid_->grid.multiple = multiple_->GetValue();
    if (grid_->linesShown)
        Repaint();
}

void GridDialog::CmGridOk()
{
    if (grid_) {
        grid_->grid.unitX = unitX_->GetValue();
        grid_->grid.unitY = unitY_->GetValue();
        grid_->storedUnitX = grid_->grid.unitX;
        grid_->storedUnitY = grid_->grid.unitY;
    }
    CloseWindow(IDOK);
}

void GridDialog::CmCancel()
{
    if (grid_) {
        GraphGrid& grid = grid_->grid;
        grid.unitX = saved_.unitX;
        grid.unitY = saved_.unitY;
        grid.multiple = saved_.multiple;
        if (grid_->linesShown) {
            if (!grid.IsOn())
                grid_->linesShown = false;
            Repaint();
        }
    }
    TMDIDialog::CmCancel();
}

void GridDialog::CmHelpButton()
{
    CmHelp();
}

GridDialog* OpenGridDialog(TMDIClient* client, GraphGridState& grid, TWindow* canvas)
{
    if (openDialog && openDialog->IsWindow()) {
        if (openDialog->GetHost())
            openDialog->GetHost()->BringWindowToTop();
        return openDialog;
    }
    auto* dialog = new GridDialog(client, grid, canvas);
    dialog->Create();
    return dialog;
}
