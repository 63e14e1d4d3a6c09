#include "plintvlr/elements/active_page_editor.h"

#include "plintvlr/elements/panel_queries.h"

namespace {
ActivePageEditor* g_editor = nullptr;
}

ActivePageEditor* GetActivePageEditor()
{
    return g_editor;
}

void SetActivePageEditor(ActivePageEditor* editor)
{
    g_editor = editor;
}

void InvalidatePageRect(const TRect& rect)
{
    if (g_editor && !rect.IsEmpty())
        g_editor->InvalidateLogicalRect(rect);
}

void ActivePageEditor::SnapToWholePixels(TPoint& point)
{
    point.x = point.x / kUnitsPerPixel * kUnitsPerPixel;
    // Rounded from the bottom edge, which lies on a whole pixel: the result
    // does not depend on the screen height. Floor division keeps points
    // above the top edge on whole pixels too.
    const int up = kUnitsPerPixel / 2 - point.y;
    const int pixels = up >= 0 ? up / kUnitsPerPixel : -((-up + kUnitsPerPixel - 1) / kUnitsPerPixel);
    point.y = -pixels * kUnitsPerPixel;
}

bool IsPageAnimating()
{
    return g_editor && g_editor->IsAnimating();
}

void SnapToPageGrid(TPoint& point)
{
    if (g_editor)
        g_editor->SnapToGraphicsGrid(point);
    else
        ActivePageEditor::SnapToWholePixels(point);
}

const TouchGrid* GetPageTouchGrid()
{
    return g_editor ? g_editor->GetTouchGrid() : nullptr;
}

void RefreshFunctionKeyBar(int key)
{
    if (!g_editor)
        return;
    g_editor->UpdateFunctionKeyLegend(key);
    g_editor->InvalidateBars();
}
