#pragma once
// TMainToolBar: bar 0 of the harbor, "Main Toolbar": the project, record,
// clipboard, settings and help commands.

#include "plintvlr/shell/dec_tool_bar.h"

class TMainToolBar : public TDecToolBar {
public:
    explicit TMainToolBar(TWindow* harbor);

    // True when some button of the bar has a command something carries out.
    static bool HasButtons();
};
