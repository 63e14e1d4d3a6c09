#include "plintvlr/shell/main_tool_bar.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/tool_items.h"
#include "plintvlr/shell/toolbar_string_ids.h"

namespace {

// Cut, Copy and Paste show pictures of their own numbers; Current Topic
// shows picture 305.
constexpr TToolItem kMainTools[] = {
    {CM_NEWPROJECT, 3001},
    {CM_OPENPROJECT, 2007},
    {CM_TRANSFER, 2017},
    kToolSeparator,
    {CM_NEWRECORD, 2990},
    {CM_SAVERECORD, 3002},
    {CM_DELETERECORD, 3011},
    {CM_PREVIOUSRECORD, 11103},
    {CM_NEXTRECORD, 11104},
    {CM_BROWSER, 11109},
    kToolSeparator,
    {CM_CUT, 2002},
    {CM_COPY, 2009},
    {CM_PASTE, 2019},
    {CM_UNDO, 24321},
    kToolSeparator,
    {CM_PROTOCOLTYPE, 2010},
    {CM_TAGS, 2021},
    {CM_GRAPHICPAGES, 2003},
    {CM_SYSTEMSETTINGS, 2004},
    kToolSeparator,
    {CM_CURRENTTOPIC, 305},
};

}  // namespace

TMainToolBar::TMainToolBar(TWindow* harbor) : TDecToolBar(harbor, 0, Str(kStrMainToolbarCaption))
{
    for (std::size_t i : ProvidedToolItems(kMainTools))
        Insert(*MakeToolGadget(kMainTools[i]));
}

bool TMainToolBar::HasButtons()
{
    return AnyToolProvided(kMainTools);
}
