#include "plintvlr/elements/active_page_editor.h"

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
