#include "plintvlr/shell/status_line.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/places_string_ids.h"
#include "platform/gdi/font.h"
#include "platform/ui/text_gadget.h"

#include <cstdlib>
#include <cstring>

namespace {

TStatusLine* programStatusLine = nullptr;

// The panes hold a signed seven-digit figure whole; digits are wider than the
// font's average character, hence the room beyond eight characters.
constexpr UINT kPaneChars = 10;

struct ModelCode {
    int panelType;
    int stringId;
};

constexpr ModelCode kModelCodes[] = {
    {9, kStrModelType9},   {11, kStrModelType11}, {14, kStrModelType14}, {15, kStrModelType15},
    {16, kStrModelType16}, {17, kStrModelType17}, {18, kStrModelType18}, {19, kStrModelType19},
    {20, kStrModelType20}, {21, kStrModelType21}, {22, kStrModelType22}, {23, kStrModelType23},
    {24, kStrModelType24},
};

// A right-aligned label with room for its whole text: capitals are wider
// than the font's average character.
TTextGadget* Label(int stringId)
{
    const char* text = Str(stringId);
    return new TTextGadget(0, TGadget::None, TTextGadget::Right, static_cast<UINT>(std::strlen(text)) + 2, text);
}

TTextGadget* Pane(int id)
{
    return new TTextGadget(id, TGadget::None, TTextGadget::Left, kPaneChars);
}

// A font's height in points for the bar (8 points when it gives none).
int PointSize(const LOGFONT& font)
{
    return font.lfHeight == 0 ? 8 : (std::abs(font.lfHeight) * 72 + 48) / 96;
}

}  // namespace

TStatusLine::TStatusLine(TWindow* parent, TGadget::TBorderStyle borderStyle, UINT modeIndicators, const TFont* font)
    : TStatusBar(parent, borderStyle, modeIndicators)
{
    if (font) {
        const LOGFONT& lf = font->GetObject();
        SetFont(lf.lfFaceName[0] ? lf.lfFaceName : nullptr, PointSize(lf));
    }
    Insert(*new TSeparatorGadget(6));
    Insert(*Label(kStrStatusModelLabel));
    Insert(*Pane(IDG_MODEL));
    Insert(*new TSeparatorGadget(6));
    Insert(*Label(kStrStatusUsedLabel));
    Insert(*Pane(IDG_USED));
    Insert(*new TSeparatorGadget(6));
    Insert(*Label(kStrStatusFreeLabel));
    Insert(*Pane(IDG_FREE));
}

TStatusLine::~TStatusLine()
{
    if (programStatusLine == this)
        programStatusLine = nullptr;
}

void TStatusLine::SetupWindow()
{
    TStatusBar::SetupWindow();
    programStatusLine = this;
}

void TStatusLine::CleanupWindow()
{
    // A status line without its window shows nothing: the setters stop here.
    if (programStatusLine == this)
        programStatusLine = nullptr;
    TStatusBar::CleanupWindow();
}

TStatusLine* TStatusLine::GetStatusLine()
{
    return programStatusLine;
}

const char* TStatusLine::ModelText(int panelType)
{
    for (const ModelCode& code : kModelCodes) {
        if (code.panelType == panelType)
            return Str(code.stringId);
    }
    return "";
}

void TStatusLine::SetModel(int panelType)
{
    if (programStatusLine)
        programStatusLine->SetPaneText(IDG_MODEL, ModelText(panelType));
}

void TStatusLine::SetUsedText(const char* text)
{
    if (programStatusLine)
        programStatusLine->SetPaneText(IDG_USED, text ? text : "");
}

void TStatusLine::SetFreeText(const char* text)
{
    if (programStatusLine)
        programStatusLine->SetPaneText(IDG_FREE, text ? text : "");
}
