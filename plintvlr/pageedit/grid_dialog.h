#pragma once
// GridDialog ("Set Graphics Grid"): sets the grid units, the units between
// grid lines and whether lines are painted, changing the canvas's grid live
// as the values are typed or spun. OK keeps the units (they become the
// stored units that "Grid On" switches to and the profile carries); Cancel
// and closing put the grid back as it was. The dialog runs modeless among
// the MDI windows and keeps the page editor disabled while it is open.

#include "plintvlr/pageedit/graph_grid.h"
#include "plintvlr/shell/mdi_dialog.h"

class TRadioButton;
class TSpinNumEdit;

inline constexpr int IDD_GRAPHGRID = 21907;
inline constexpr int IDC_GRID_UNITX = 10101;
inline constexpr int IDC_GRID_UNITY = 10102;
inline constexpr int IDC_GRID_MULTIPLE = 21910;
inline constexpr int IDC_GRID_SHOW = 21908;
inline constexpr int IDC_GRID_HIDE = 21909;
inline constexpr int IDC_GRID_OK = 8;

class GridDialog : public TMDIDialog {
public:
    // `canvas` is painted again when the grid changes (may be null).
    GridDialog(TMDIClient* client, GraphGridState& grid, TWindow* canvas, TModule* module = nullptr);
    ~GridDialog() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The grid of `grid` is going (its canvas is destroyed): the dialog
    // forgets it and closes.
    static void CloseFor(const GraphGridState& grid);

    void CmCancel() override;

protected:
    void SetupWindow() override;

    void EvUnitsChanged();
    void EvLinesChoice();
    void EvMultipleChanged();
    void CmGridOk();
    void CmHelpButton();

private:
    void Repaint();
    bool ShowChecked() const;

    GraphGridState* grid_;
    TWindow* canvas_;
    GraphGrid saved_;
    bool ready_ = false;  // the edits' own notifications while they are filled are not changes
    TSpinNumEdit* unitX_;
    TSpinNumEdit* unitY_;
    TSpinNumEdit* multiple_;
    TRadioButton* show_;
    TRadioButton* hide_;
};

// Opens the grid dialog of a canvas, or brings the open one forward.
GridDialog* OpenGridDialog(TMDIClient* client, GraphGridState& grid, TWindow* canvas);
