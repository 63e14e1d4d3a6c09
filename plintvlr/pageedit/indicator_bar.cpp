#include "plintvlr/pageedit/indicator_bar.h"

#include "plintvlr/pageedit/editor_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <string>

namespace {

std::string PairText(const TPoint& point)
{
    return std::to_string(point.x) + ":" + std::to_string(point.y);
}

bool IsTextPanelType(int panelType)
{
    return panelType >= 15 && panelType <= 24;
}

}  // namespace

TIndicatorBar::TIndicatorBar(TWindow* parent, int panelType) : TGadgetWindow(parent, Horizontal)
{
    // Text panels have small screens: their positions need a digit less.
    const UINT positionWidth = IsTextPanelType(panelType) ? 3 : 4;
    struct Field {
        int id;
        TGadget::TBorderStyle border;
        TTextGadget::TAlign align;
        UINT width;
        int text;  // string id, 0 for none
    };
    const Field fields[6] = {
        {0, TGadget::None, TTextGadget::Right, 3, kStrIndicatorPage},
        {1, TGadget::Recessed, TTextGadget::Center, 2, 0},
        {0, TGadget::None, TTextGadget::Right, 5, kStrIndicatorCursor},
        {2, TGadget::Recessed, TTextGadget::Center, positionWidth, 0},
        {0, TGadget::None, TTextGadget::Right, 5, kStrIndicatorObjectPos},
        {3, TGadget::Recessed, TTextGadget::Center, positionWidth, 0},
    };
    for (int i = 0; i < 6; ++i) {
        const Field& f = fields[i];
        gadgets_[i] = new TTextGadget(f.id, f.border, f.align, f.width, f.text ? Str(f.text) : "");
        Insert(*gadgets_[i]);
    }
    gadgets_[1]->SetText("1");
}

void TIndicatorBar::SetPage(int page)
{
    Gadget(2).SetText(std::to_string(page).c_str());
}

void TIndicatorBar::SetCursorPos(const TPoint& point)
{
    Gadget(4).SetText(PairText(point).c_str());
}

void TIndicatorBar::SetObjectPos(const TPoint& point, bool position)
{
    Gadget(6).SetText(PairText(point).c_str());
    Gadget(5).SetText(Str(position ? kStrIndicatorObjectPos : kStrIndicatorObjectSize));
}
