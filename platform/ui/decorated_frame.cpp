#include "platform/ui/decorated_frame.h"

#include "platform/ui/hint_text.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_bar.h"

#include <algorithm>

const TResponseTable TDecoratedFrame::Responses{&TFrameWindow::Responses, {
    OnMessage<&TDecoratedFrame::EvMenuSelect>(WM_MENUSELECT),
}};

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const char* title, TWindow* clientWnd, bool trackMenuSelection,
                                 TModule* module)
    : trackMenuSelection_(trackMenuSelection)
{
    Init(parent, title, clientWnd, false, module);
}

TDecoratedFrame::~TDecoratedFrame()
{
    if (IsWindow())
        Destroy(0);
}

void TDecoratedFrame::Insert(TWindow& decoration, TLocation location)
{
    RemoveDecoration(decoration);
    if (decoration.GetParentO() != this)
        decoration.SetParent(this);
    decoration.Attr.Style |= WS_CHILD;
    decorations_.push_back({&decoration, location});
    if (IsWindow() && !decoration.IsWindow())
        decoration.Create();
    Layout();
}

void TDecoratedFrame::RemoveDecoration(TWindow& decoration)
{
    const auto before = decorations_.size();
    std::erase_if(decorations_, [&](const Decoration& d) { return d.window == &decoration; });
    if (decorations_.size() != before)
        Layout();
}

TAbsLocation TDecoratedFrame::GetDecorationLocation(const TWindow& decoration) const
{
    for (const Decoration& d : decorations_) {
        if (d.window == &decoration)
            return static_cast<TAbsLocation>(d.location);
    }
    return alNone;
}

bool TDecoratedFrame::DecorationChangedSize(TWindow& decoration)
{
    if (GetDecorationLocation(decoration) == alNone)
        return false;
    Layout();
    return true;
}

void TDecoratedFrame::Layout()
{
    if (!IsWindow() || inLayout_)
        return;
    inLayout_ = true;
    // Decorations whose objects went away are forgotten.
    const std::vector<TWindow*>& children = GetChildren();
    std::erase_if(decorations_, [&](const Decoration& d) {
        return std::find(children.begin(), children.end(), d.window) == children.end();
    });
    TRect room = GetClientRect();
    for (const Decoration& d : decorations_) {
        TWindow& w = *d.window;
        if (!w.IsWindow() || !(w.GetStyle() & WS_VISIBLE) || d.location == None)
            continue;
        const TSize available(std::max(0, room.Width()), std::max(0, room.Height()));
        TSize want(w.Attr.W, w.Attr.H);
        if (auto* sized = dynamic_cast<TDecorationSize*>(&w))
            want = sized->DesiredDecorationSize(static_cast<TAbsLocation>(d.location), available);
        switch (d.location) {
        case Top: {
            const int h = std::clamp(want.cy, 0, available.cy);
            w.MoveWindow(room.left, room.top, available.cx, h);
            room.top += h;
            break;
        }
        case Bottom: {
            const int h = std::clamp(want.cy, 0, available.cy);
            w.MoveWindow(room.left, room.bottom - h, available.cx, h);
            room.bottom -= h;
            break;
        }
        case Left: {
            const int wd = std::clamp(want.cx, 0, available.cx);
            w.MoveWindow(room.left, room.top, wd, available.cy);
            room.left += wd;
            break;
        }
        case Right: {
            const int wd = std::clamp(want.cx, 0, available.cx);
            w.MoveWindow(room.right - wd, room.top, wd, available.cy);
            room.right -= wd;
            break;
        }
        case None:
            break;
        }
    }
    if (TWindow* client = GetClientWindow(); client && client->IsWindow())
        client->MoveWindow(room.left, room.top, std::max(0, room.Width()), std::max(0, room.Height()));
    inLayout_ = false;
}

TMessageBar* TDecoratedFrame::GetMessageBar() const
{
    for (const Decoration& d : decorations_) {
        const std::vector<TWindow*>& children = GetChildren();
        if (std::find(children.begin(), children.end(), d.window) == children.end())
            continue;
        if (auto* bar = dynamic_cast<TMessageBar*>(d.window))
            return bar;
    }
    return nullptr;
}

std::string TDecoratedFrame::GetHintText(UINT id) const
{
    return GetCommandHintText(id, THintText::Hint);
}

void TDecoratedFrame::SetHintCommand(UINT id)
{
    TMessageBar* bar = GetMessageBar();
    if (!bar)
        return;
    if (id == 0) {
        bar->SetHintText(nullptr);
        return;
    }
    const std::string hint = GetHintText(id);
    bar->SetHintText(hint.c_str());
}

LRESULT TDecoratedFrame::EvMenuSelect(WPARAM wParam, LPARAM lParam)
{
    if (!trackMenuSelection_)
        return DefaultProcessing();
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0)
        SetHintCommand(0);  // the menu closed
    else if (flags & (MF_POPUP | MF_SEPARATOR))
        SetHintCommand(0);
    else
        SetHintCommand(LOWORD(wParam));
    return 0;
}
