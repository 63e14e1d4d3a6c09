#include "plintvlr/shell/graph_tool_bar.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/tool_items.h"
#include "plintvlr/shell/toolbar_string_ids.h"

#include <algorithm>

namespace {

struct GroupedTool {
    int group;
    TToolItem item;
};

// Every tool in bar order, each picture numbered as its command. The
// separators are dropped as the menu's are, over the whole bar.
constexpr GroupedTool kGraphTools[] = {
    {0, {CM_SELECTGRAPHICS, CM_SELECTGRAPHICS}},
    {0, kToolSeparator},
    {0, {CM_ADDTEXT, CM_ADDTEXT}},
    {0, {CM_ADDTAGDISPLAY, CM_ADDTAGDISPLAY}},
    {1, {CM_ADDMESSAGE, CM_ADDMESSAGE}},
    {1, {CM_CHOOSEFONT, CM_CHOOSEFONT}},
    {1, kToolSeparator},
    {1, {CM_ADDLINES, CM_ADDLINES}},
    {2, {CM_ADDRECTANGLE, CM_ADDRECTANGLE}},
    {2, {CM_ADDCIRCLE, CM_ADDCIRCLE}},
    {2, {CM_ADDFRAME, CM_ADDFRAME}},
    {2, kToolSeparator},
    {2, {CM_ADDBITMAP, CM_ADDBITMAP}},
    {2, {CM_ADDTREND, CM_ADDTREND}},
    {2, {CM_ADDTRENDRECORDER, CM_ADDTRENDRECORDER}},
    {2, {CM_ADDMETER, CM_ADDMETER}},
    {3, kToolSeparator},
    {3, {CM_ADDTOUCHREGION, CM_ADDTOUCHREGION}},
    {3, {CM_ADDPUSHBUTTON, CM_ADDPUSHBUTTON}},
    {4, kToolSeparator},
    {4, {CM_ALIGNLEFT, CM_ALIGNLEFT}},
    {4, {CM_ALIGNHCENTER, CM_ALIGNHCENTER}},
    {4, {CM_ALIGNRIGHT, CM_ALIGNRIGHT}},
    {4, kToolSeparator},
    {4, {CM_ALIGNTOP, CM_ALIGNTOP}},
    {4, {CM_ALIGNVCENTER, CM_ALIGNVCENTER}},
    {4, {CM_ALIGNBOTTOM, CM_ALIGNBOTTOM}},
};

std::vector<TToolItem> GraphToolItems()
{
    std::vector<TToolItem> items;
    for (const GroupedTool& tool : kGraphTools)
        items.push_back(tool.item);
    return items;
}

}  // namespace

TGraphToolBar::TGraphToolBar(TWindow* harbor) : TDecToolBar(harbor, 1, Str(kStrGraphicsToolbarCaption))
{
    for (std::size_t i : ProvidedToolItems(GraphToolItems())) {
        const GroupedTool& tool = kGraphTools[i];
        groups_[static_cast<std::size_t>(tool.group)].push_back(MakeToolGadget(tool.item));
    }
}

TGraphToolBar::~TGraphToolBar()
{
    // The gadgets on the bar go with it; the others are the groups' to free.
    for (const std::vector<TGadget*>& group : groups_) {
        for (TGadget* gadget : group) {
            if (gadget->GetGadgetWindow() != this)
                delete gadget;
        }
    }
}

bool TGraphToolBar::HasButtons()
{
    return AnyToolProvided(GraphToolItems());
}

void TGraphToolBar::InsertGroup(int group)
{
    for (TGadget* gadget : groups_[static_cast<std::size_t>(group)])
        Insert(*gadget);
}

void TGraphToolBar::RemoveGroup(int group)
{
    // A gadget that is not on the bar is left as it is.
    for (TGadget* gadget : groups_[static_cast<std::size_t>(group)])
        Remove(*gadget);
}

void TGraphToolBar::SetToolLevel(int level, bool insertBase)
{
    level = std::clamp(level, 0, kMaxLevel);
    if (insertBase)
        InsertGroup(0);
    if (level == level_)
        return;
    if (level_ > 0)
        RemoveGroup(kAlignmentGroup);
    if (level > level_) {
        for (int group = level_ + 1; group <= level; ++group)
            InsertGroup(group);
    } else {
        for (int group = kMaxLevel; group > level; --group)
            RemoveGroup(group);
    }
    if (level > 0)
        InsertGroup(kAlignmentGroup);
    LayoutSession();
    Invalidate();
    level_ = level;
}
