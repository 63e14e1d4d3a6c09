#include "platform/ui/floating_slip.h"

#include "platform/ui/dockable_control_bar.h"
#include "platform/ui/harbor.h"

#include <QWidget>

const TResponseTable TFloatingSlip::Responses{&TFrameWindow::Responses, {
    OnMessage<&TFloatingSlip::EvClose>(WM_CLOSE),
}};

TFloatingSlip::TFloatingSlip(TWindow* parent, int x, int y, TWindow* clientWnd, bool shrinkToClient, TModule* module)
    : TFrameWindow(parent, clientWnd ? clientWnd->GetCaption().c_str() : nullptr, clientWnd, shrinkToClient, module)
{
    Attr.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    Attr.ExStyle |= WS_EX_TOOLWINDOW;
    Attr.X = x;
    Attr.Y = y;
}

TFloatingSlip::~TFloatingSlip()
{
    if (IsWindow())
        Destroy(0);
}

QWidget* TFloatingSlip::CreateWidget(QWidget* parent)
{
    QWidget* widget = TFrameWindow::CreateWidget(parent);
    widget->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    return widget;
}

void TFloatingSlip::SetupWindow()
{
    TFrameWindow::SetupWindow();
    FitToClient();
}

void TFloatingSlip::FitToClient()
{
    TWindow* client = GetClientWindow();
    if (!IsWindow() || !client || !ShrinksToClient())
        return;
    TSize size(client->Attr.W, client->Attr.H);
    if (auto* bar = dynamic_cast<TGadgetWindow*>(client))
        bar->GetDesiredSize(size);
    // The palette's frame is what the window has beyond its client area.
    QWidget* widget = GetWidget();
    const QSize frame = widget->size() - GetClientWidget()->size();
    widget->resize(size.cx + frame.width(), size.cy + frame.height());
    client->MoveWindow(0, 0, size.cx, size.cy);
}

bool TFloatingSlip::DecorationChangedSize(TWindow& decoration)
{
    if (&decoration != GetClientWindow())
        return false;
    FitToClient();
    return true;
}

void TFloatingSlip::MoveTo(const TPoint& where)
{
    SetWindowPos(nullptr, where.x, where.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TFloatingSlip::EvClose()
{
    // The close box hides the bar; the harbor takes it back and this palette goes.
    auto* bar = dynamic_cast<TDockableControlBar*>(GetClientWindow());
    if (bar && bar->GetHarbor()) {
        bar->GetHarbor()->Remove(*bar);
        return;
    }
    TFrameWindow::EvClose();
}
