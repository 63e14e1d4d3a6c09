#pragma once
// TGraphToolBar: bar 1 of the harbor, "Graphics Toolbar": the page editor's
// drawing tools and alignment commands, in five groups. Which groups it
// shows follows a tool level (0 to 3) that the panel model decides: the
// base group always (once inserted), groups 1 to 3 up to the level, and the
// alignment group last at every level above 0.
//
// The groups hold their gadgets whether they are on the bar or not; the bar
// frees each exactly once when it goes.

#include "plintvlr/shell/dec_tool_bar.h"

#include <array>
#include <vector>

class TGraphToolBar : public TDecToolBar {
public:
    static constexpr int kGroupCount = 5;
    static constexpr int kAlignmentGroup = 4;
    static constexpr int kMaxLevel = 3;

    explicit TGraphToolBar(TWindow* harbor);
    ~TGraphToolBar() override;

    // Shows the groups of `level`; with `insertBase` the base group is put
    // on the bar first (the frame asks for that once, at start-up).
    void SetToolLevel(int level, bool insertBase);
    int GetToolLevel() const { return level_; }
    // The gadgets of group 0 to 4, on the bar or not.
    const std::vector<TGadget*>& GetGroup(int group) const { return groups_[static_cast<std::size_t>(group)]; }

    // True when some button of the bar has a command something carries out.
    static bool HasButtons();

private:
    void InsertGroup(int group);
    void RemoveGroup(int group);

    int level_ = 0;
    std::array<std::vector<TGadget*>, kGroupCount> groups_;
};
