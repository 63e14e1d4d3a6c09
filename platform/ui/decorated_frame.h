#pragma once
// TDecoratedFrame: a frame with decorations along its edges (tool bars,
// docking slips, a status bar) around its client window. Each decoration
// takes a strip off the room the earlier ones left, in insertion order; the
// client window gets the rest. A decoration that knows its size
// (TDecorationSize) is as thick as it wants to be, any other keeps its own
// height (top, bottom) or width (left, right).
//
// With menu tracking on, the message bar among the decorations shows the hint
// of the menu item under the mouse (GetHintText), and its own text again when
// the menu closes; tool bar buttons show their hints the same way.
//
// The class derives TFrameWindow virtually, so an MDI frame or an MDI child
// can be decorated too (TDecoratedMDIFrame).

#include "platform/ui/decoration.h"
#include "platform/ui/frame_window.h"

#include <string>
#include <vector>

class TMessageBar;

class TDecoratedFrame : public virtual TFrameWindow, public TDecorationHost {
public:
    enum TLocation { None = alNone, Top = alTop, Bottom = alBottom, Left = alLeft, Right = alRight };

    TDecoratedFrame(TWindow* parent, const char* title, TWindow* clientWnd, bool trackMenuSelection = false,
                    TModule* module = nullptr);
    ~TDecoratedFrame() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Puts `decoration` (made with this frame as parent, or moved under it)
    // along an edge; its window is made at once when the frame has one.
    virtual void Insert(TWindow& decoration, TLocation location = Top);
    // Takes a decoration out of the layout; its window stays.
    void RemoveDecoration(TWindow& decoration);
    TAbsLocation GetDecorationLocation(const TWindow& decoration) const;
    // Places the decorations and the client window again.
    void Layout();
    bool DecorationChangedSize(TWindow& decoration) override;

    // The first decoration that is a message bar (a status bar is one), or null.
    TMessageBar* GetMessageBar() const;
    // The hint for command `id`: by default the command's string-table text up
    // to its first line break.
    virtual std::string GetHintText(UINT id) const;
    // Shows the hint of command `id` in the message bar; 0 takes it away.
    void SetHintCommand(UINT id);

protected:
    void LayoutClient() override { Layout(); }
    LRESULT EvMenuSelect(WPARAM wParam, LPARAM lParam);

private:
    struct Decoration {
        TWindow* window;
        TLocation location;
    };
    std::vector<Decoration> decorations_;
    bool trackMenuSelection_ = false;
    bool inLayout_ = false;
};
