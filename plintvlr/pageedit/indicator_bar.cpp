#include "plintvlr/pageedit/indicator_bar.h"

#include "plintvlr/db/quellstor.h"
#include "plintvlr/pageedit/editor_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "platform/gdi/memory_dc.h"
#include "platform/ui/window_font.h"

#include <algorithm>
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

// A field as wide as its count of average characters, and never narrower
// than the widest text it is to show: labels are read whole, and a panel's
// pixel counts may have more digits than the characters hold in the face
// the desktop draws with.
class TIndicatorField : public TTextGadget {
public:
    TIndicatorField(int id, TBorderStyle border, TAlign align, UINT numChars, const char* text, std::string widest)
        : TTextGadget(id, border, align, numChars, text), widest_(std::move(widest))
    {
    }

protected:
    TSize ContentsSize() override
    {
        TSize size = TTextGadget::ContentsSize();
        TGadgetWindow* window = GetGadgetWindow();
        if (window && window->IsWindow() && !widest_.empty()) {
            TMemoryDC dc;
            dc.SelectObject(GetWindowFont(window->GetHandle()));
            size.cx = std::max(size.cx, dc.GetTextExtent(widest_.c_str()).cx);
        }
        return size;
    }

private:
    std::string widest_;
};

}  // namespace

TIndicatorBar::TIndicatorBar(TWindow* parent, int panelType) : TGadgetWindow(parent, Horizontal)
{
    // Text panels have small screens: their positions need a digit less.
    const UINT positionWidth = IsTextPanelType(panelType) ? 3 : 4;
    const Quellstor panel(panelType);
    const std::string largestPage = std::to_string(panel.GetMaxPages());
    const std::string largestPoint = PairText({panel.displayWidth, panel.displayHeight});
    // "W" is the widest letter of the two labels.
    const std::string objectLabel = Str(kStrIndicatorObjectSize);
    struct Field {
        int id;
        TGadget::TBorderStyle border;
        TTextGadget::TAlign align;
        UINT width;
        std::string text;
        std::string widest;
    };
    const Field fields[6] = {
        {0, TGadget::None, TTextGadget::Right, 3, Str(kStrIndicatorPage), Str(kStrIndicatorPage)},
        {1, TGadget::Recessed, TTextGadget::Center, 2, "1", largestPage},
        {0, TGadget::None, TTextGadget::Right, 5, Str(kStrIndicatorCursor), Str(kStrIndicatorCursor)},
        {2, TGadget::Recessed, TTextGadget::Center, positionWidth, "", largestPoint},
        {0, TGadget::None, TTextGadget::Right, 5, Str(kStrIndicatorObjectPos), objectLabel},
        {3, TGadget::Recessed, TTextGadget::Center, positionWidth, "", largestPoint},
    };
    for (int i = 0; i < 6; ++i) {
        const Field& f = fields[i];
        gadgets_[i] = new TIndicatorField(f.id, f.border, f.align, f.width, f.text.c_str(), f.widest);
        Insert(*gadgets_[i]);
    }
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
