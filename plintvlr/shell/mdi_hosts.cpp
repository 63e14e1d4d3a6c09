#include "plintvlr/shell/mdi_hosts.h"

#include "platform/ui/accelerators.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/menu.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_api.h"

#include <string>

namespace {

// The caption is the hosted window's text, as long as a caption buffer of
// the system holds.
constexpr std::size_t kMaxCaption = 259;
// The Size item of a system menu.
constexpr UINT kSizeItemPosition = 2;

}  // namespace

// ------------------------------------------------------------ TNoSizingMDIChild

const TResponseTable TNoSizingMDIChild::Responses{&TMDIChild::Responses, {
    OnMessage<&TNoSizingMDIChild::EvNCHitTest>(WM_NCHITTEST),
    OnMessage<&TNoSizingMDIChild::EvInitMenu>(WM_INITMENU),
}};

TNoSizingMDIChild::TNoSizingMDIChild(TMDIClient& parent, TWindow* hosted, TResId icon, bool shrinkToClient,
                                     TModule* module)
    : TMDIChild(parent, nullptr, hosted, shrinkToClient, module)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU |
                 WS_THICKFRAME | WS_MINIMIZEBOX;
    // Placed at the client's top-left corner until someone positions it.
    Attr.X = Attr.Y = 0;
    if (!icon.IsNull()) {
        SetIcon(module, icon);
        SetIconSm(module, icon);
    }
}

TNoSizingMDIChild::~TNoSizingMDIChild() = default;

LRESULT TNoSizingMDIChild::EvNCHitTest(WPARAM, LPARAM)
{
    const LRESULT hit = DefaultProcessing();
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? HTBORDER : hit;
}

void TNoSizingMDIChild::EvInitMenu(WPARAM, LPARAM)
{
    DefaultProcessing();
    GetSystemMenu().EnableMenuItem(kSizeItemPosition, MF_BYPOSITION | MF_GRAYED);
}

// --------------------------------------------------------------- TInnerMDIChild

const TResponseTable TInnerMDIChild::Responses{&TNoSizingMDIChild::Responses, {
    OnMessage<&TInnerMDIChild::EvSysCommand>(WM_SYSCOMMAND),
    OnMessage<&TInnerMDIChild::EvMouseActivate>(WM_MOUSEACTIVATE),
}};

TInnerMDIChild::TInnerMDIChild(TMDIClient& parent, TWindow* hosted, TResId icon, TModule* module)
    : TNoSizingMDIChild(parent, hosted, icon, true, module), hosted_(hosted)
{
}

TInnerMDIChild::~TInnerMDIChild() = default;

bool TInnerMDIChild::Create()
{
    if (hosted_ && hosted_->IsWindow()) {
        std::string caption = hosted_->GetWindowText();
        if (caption.size() > kMaxCaption)
            caption.resize(kMaxCaption);
        SetWindowText(caption.c_str());
    }
    going_ = false;
    return TNoSizingMDIChild::Create();
}

void TInnerMDIChild::CleanupWindow()
{
    going_ = true;
    TNoSizingMDIChild::CleanupWindow();
}

void TInnerMDIChild::EvSysCommand(UINT command, const TPoint&)
{
    // The editor decides whether it may close: its WM_CLOSE is its Cancel.
    if (command == SC_CLOSE) {
        if (hosted_ && hosted_->IsWindow())
            hosted_->SendMessage(WM_CLOSE);
        return;
    }
    DefaultProcessing();
}

LRESULT TInnerMDIChild::EvMouseActivate(WPARAM, LPARAM)
{
    if (auto* client = dynamic_cast<TMDIClient*>(GetParentO()); client && client->GetActiveMDIChild() != this)
        SetFocus();
    return DefaultProcessing();
}

// ----------------------------------------------------------- TDecoratedMDIChild

const TResponseTable TDecoratedMDIChild::Responses{&TDecoratedFrame::Responses, &TNoSizingMDIChild::Responses, {}};

TDecoratedMDIChild::TDecoratedMDIChild(TMDIClient& parent, const char* title, TWindow* clientWnd, TResId icon,
                                       bool trackMenuSelection, bool shrinkToClient, TModule* module)
    : TNoSizingMDIChild(parent, clientWnd, icon, shrinkToClient, module),
      TDecoratedFrame(&parent, title, clientWnd, trackMenuSelection, module)
{
}

TDecoratedMDIChild::~TDecoratedMDIChild()
{
    if (IsWindow())
        Destroy(0);
}

bool TDecoratedMDIChild::PreProcessMsg(MSG& msg)
{
    // The shortcuts are the main frame's commands: the frame (the client's
    // parent) carries them out, with this window's editor on its route.
    if (msg.message == WM_KEYDOWN && !accelerators_.IsNull()) {
        const std::vector<TAccelerator>* table = FindAcceleratorTable(accelerators_);
        const UINT command = table ? TranslateAccelerator(*table, static_cast<UINT>(msg.wParam)) : 0;
        TWindow* client = GetParentO();
        TWindow* frame = client ? client->GetParentO() : nullptr;
        if (command && frame) {
            frame->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 1));
            return true;
        }
    }
    return TDecoratedFrame::PreProcessMsg(msg);
}

LRESULT TDecoratedMDIChild::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return TMDIChild::DefWindowProc(msg, wParam, lParam);
}
