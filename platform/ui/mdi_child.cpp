#include "platform/ui/mdi_child.h"

#include "platform/ui/dialog.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"

#include <QAction>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

// Mouse input on the sub-window's own frame (the caption and the borders;
// the client area is a widget of its own) is frame input, not client input:
// it never becomes WM_LBUTTONDOWN and the like. The filter asks the child
// what lies under the mouse and lets Qt move or size the sub-window only
// where the answer allows it. It is installed after the window bridge's, so
// it sees the events first, and hands them to the sub-window itself.
class TMDIChild::FrameFilter : public QObject {
public:
    explicit FrameFilter(TMDIChild& child) : child_(child) {}

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object != child_.subWindow_)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            break;
        default:
            return false;
        }
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint global = me->globalPosition().toPoint();
        const LPARAM at = PointToLParam({global.x(), global.y()});
        const HWND hwnd = child_.GetHandle();
        TMDIClient* client = child_.GetMDIClient();
        if (event->type() == QEvent::MouseButtonPress && client && client->GetActiveMDIChild() != &child_) {
            HWND top = client->GetTopLevel()->GetHandle();
            child_.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                               MAKELPARAM(static_cast<WORD>(child_.HandleMessage(WM_NCHITTEST, 0, at)),
                                          static_cast<WORD>(WM_LBUTTONDOWN)));
            if (!::IsWindow(hwnd))
                return true;
        }
        const bool buttonsDown = me->buttons() != Qt::NoButton;
        if (event->type() == QEvent::MouseButtonRelease || (event->type() == QEvent::MouseMove && buttonsDown)) {
            // A drag goes on as it began: to Qt, or nowhere.
            const bool blocked = blocked_;
            if (event->type() == QEvent::MouseButtonRelease)
                blocked_ = false;
            if (!blocked)
                static_cast<QObject*>(child_.subWindow_)->event(event);
            return true;
        }
        const LRESULT hit = child_.HandleMessage(WM_NCHITTEST, 0, at);
        if (!::IsWindow(hwnd))
            return true;
        // Moves over the client area that its widgets pass up are not frame moves.
        if (event->type() == QEvent::MouseMove && hit != HTCLIENT) {
            child_.SendMessage(WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), at);
            if (!::IsWindow(hwnd))
                return true;
        }
        const bool sizing = hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
        const bool native = sizing || hit == HTCAPTION || hit == HTSYSMENU || hit == HTMINBUTTON ||
                            hit == HTMAXBUTTON || hit == HTCLOSE || hit == HTCLIENT;
        if (event->type() == QEvent::MouseButtonPress)
            blocked_ = !native;
        if (native) {
            static_cast<QObject*>(child_.subWindow_)->event(event);
        } else if (event->type() == QEvent::MouseMove) {
            child_.subWindow_->unsetCursor();  // no sizing arrows where the border cannot be dragged
        }
        return true;
    }

private:
    TMDIChild& child_;
    bool blocked_ = false;
};

const TResponseTable TMDIChild::Responses{&TFrameWindow::Responses, {}};

TMDIChild::TMDIChild(TMDIClient& parent, const char* title, TWindow* clientWnd, bool shrinkToClient,
                     TModule* module)
    : systemMenu_(std::make_unique<TMenu>())
{
    Init(&parent, title, clientWnd, shrinkToClient, module);
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU |
                 WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    Attr.X = Attr.Y = Attr.W = Attr.H = CW_USEDEFAULT;
    systemMenu_->AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
    systemMenu_->AppendMenu(MF_STRING, SC_MOVE, "&Move");
    systemMenu_->AppendMenu(MF_STRING, SC_SIZE, "&Size");
    systemMenu_->AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
    systemMenu_->AppendMenu(MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    systemMenu_->AppendMenu(MF_SEPARATOR, 0, nullptr);
    systemMenu_->AppendMenu(MF_STRING, SC_CLOSE, "&Close\tCtrl+F4");
    systemMenu_->AppendMenu(MF_SEPARATOR, 0, nullptr);
    systemMenu_->AppendMenu(MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
}

TMDIChild::~TMDIChild()
{
    if (IsWindow())
        Destroy(0);
}

TMDIClient* TMDIChild::GetMDIClient() const
{
    return dynamic_cast<TMDIClient*>(GetParentO());
}

QWidget* TMDIChild::CreateWidget(QWidget* /*parent*/)
{
    TMDIClient* client = GetMDIClient();
    QMdiArea* area = client ? client->GetArea() : nullptr;
    if (!area)
        return nullptr;
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    content->setMouseTracking(true);
    content->setFocusPolicy(Qt::ClickFocus);
    subWindow_ = new QMdiSubWindow;
    subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    subWindow_->setMouseTracking(true);  // moves over the frame with no button held: WM_NCMOUSEMOVE
    subWindow_->setWidget(content);
    area->addSubWindow(subWindow_);
    SetClientWidget(content);

    // Children with no place of their own cascade from the client's corner.
    const QSize areaSize = area->viewport()->size();
    if (Attr.W == CW_USEDEFAULT || Attr.H == CW_USEDEFAULT) {
        Attr.W = std::max(200, areaSize.width() * 3 / 4);
        Attr.H = std::max(150, areaSize.height() * 3 / 4);
    }
    if (Attr.X == CW_USEDEFAULT || Attr.Y == CW_USEDEFAULT) {
        const int step = subWindow_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subWindow_);
        int& index = client->cascadeIndex_;
        if ((index + 1) * step + Attr.H > areaSize.height() || (index + 1) * step + Attr.W > areaSize.width())
            index = 0;
        Attr.X = Attr.Y = index * step;
        ++index;
    }

    // The size the client window has of its own, before the frame fills
    // its client area with it.
    if (TWindow* client = GetClientWindow(); ShrinksToClient() && client) {
        shrinkTo_ = TSize(client->Attr.W, client->Attr.H);
        if (client->IsWindow()) {
            const TRect r = client->GetWindowRect();
            shrinkTo_ = TSize(r.Width(), r.Height());
        } else if (auto* dialog = dynamic_cast<TDialog*>(client); dialog && dialog->GetTemplate()) {
            const TRect r = dialog->MapDialogRect({0, 0, dialog->GetTemplate()->cx, dialog->GetTemplate()->cy});
            shrinkTo_ = TSize(r.Width(), r.Height());
        }
    }

    auto* menu = new QMenu(subWindow_);
    subWindow_->setSystemMenu(menu);
    QObject::connect(menu, &QMenu::aboutToShow, SignalContext(), [this] { FillSystemMenu(); });
    ApplyWindowFlags();
    return subWindow_;
}

void TMDIChild::WidgetCreated()
{
    TFrameWindow::WidgetCreated();
    // A window made before its host (an editor dialog made on the client,
    // then given a host) moves into the host's client area.
    for (TWindow* child : GetChildren()) {
        if (child->IsWindow() && (child->GetStyle() & WS_CHILD) &&
            child->GetWidget()->parentWidget() != GetClientWidget()) {
            child->GetWidget()->setParent(GetClientWidget());
            child->GetWidget()->setVisible(child->GetStyle() & WS_VISIBLE);
        }
    }
    frameFilter_ = new FrameFilter(*this);
    frameFilter_->setParent(subWindow_);
    subWindow_->installEventFilter(frameFilter_);
}

void TMDIChild::WidgetReleased()
{
    TFrameWindow::WidgetReleased();
    if (subWindow_) {
        subWindow_->removeEventFilter(frameFilter_);
        // The sub-window goes later; it no longer belongs to the client's list.
        if (QMdiArea* area = subWindow_->mdiArea())
            area->removeSubWindow(subWindow_);
    }
    frameFilter_ = nullptr;  // deleted with the sub-window
    subWindow_ = nullptr;
}

void TMDIChild::ApplyWindowFlags()
{
    if (!subWindow_)
        return;
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (Attr.Style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (Attr.Style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (Attr.Style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    subWindow_->setWindowFlags(flags);
}

void TMDIChild::StyleChanged(DWORD oldStyle)
{
    TFrameWindow::StyleChanged(oldStyle);
    constexpr DWORD kCaptionBoxes = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (!subWindow_ || !((oldStyle ^ Attr.Style) & kCaptionBoxes))
        return;
    // New window flags hide a widget: a shown child stays shown.
    const bool shown = subWindow_->isVisible();
    ApplyWindowFlags();
    if (shown)
        subWindow_->show();
}

void TMDIChild::SetupWindow()
{
    TFrameWindow::SetupWindow();
    if (!IsWindow())
        return;
    TWindow* client = GetClientWindow();
    if (ShrinksToClient() && client && client->IsWindow() && shrinkTo_.cx > 0 && shrinkTo_.cy > 0) {
        // The frame is sized so that its client area holds the client window exactly.
        if (QLayout* layout = subWindow_->layout())
            layout->activate();
        const QSize frame = subWindow_->size() - GetClientWidget()->size();
        subWindow_->resize(shrinkTo_.cx + frame.width(), shrinkTo_.cy + frame.height());
        if (QLayout* layout = subWindow_->layout())
            layout->activate();
        LayoutClient();
        Attr.W = subWindow_->width();
        Attr.H = subWindow_->height();
    }
    if (TMDIClient* client = GetMDIClient())
        client->ChildCreated(*this);
}

void TMDIChild::TextChanged()
{
    TFrameWindow::TextChanged();
    if (subWindow_)
        subWindow_->setWindowTitle(ToQString(GetCaption()));
    if (TMDIClient* client = GetMDIClient(); client && IsWindow())
        client->RefreshWindowMenu();
}

void TMDIChild::Destroy(int retVal)
{
    if (!IsWindow())
        return;
    // The client hears of every child that goes and destroys it (WM_MDIDESTROY's default).
    TMDIClient* client = GetMDIClient();
    if (client && client->IsWindow()) {
        client->SendMessage(WM_MDIDESTROY, reinterpret_cast<WPARAM>(GetHandle()));
        return;
    }
    TFrameWindow::Destroy(retVal);
}

void TMDIChild::DestroyFromClient(int retVal)
{
    TFrameWindow::Destroy(retVal);
}

bool TMDIChild::ShowWindow(int cmdShow)
{
    const bool wasVisible = (Attr.Style & WS_VISIBLE) != 0;
    if (!subWindow_)
        return TFrameWindow::ShowWindow(cmdShow);
    TMDIClient* client = GetMDIClient();
    switch (cmdShow) {
    case SW_HIDE:
        Attr.Style &= ~WS_VISIBLE;
        subWindow_->hide();
        if (client && client->GetActiveMDIChild() == this) {
            // The next shown child takes over; with none, no child is active.
            TMDIChild* next = client->NextChild(this, false);
            client->Activate(next != this ? next : nullptr);
        }
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        Attr.Style |= WS_VISIBLE;
        subWindow_->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        Attr.Style |= WS_VISIBLE;
        subWindow_->showMaximized();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        Attr.Style |= WS_VISIBLE;
        subWindow_->showNormal();
        break;
    default:
        Attr.Style |= WS_VISIBLE;
        subWindow_->show();
        break;
    }
    // Showing activates, and so does a first showing (a child made hidden
    // and shown once it is placed), unless the command says otherwise.
    const bool quiet = cmdShow == SW_SHOWMINNOACTIVE || cmdShow == SW_SHOWNOACTIVATE || cmdShow == SW_MINIMIZE;
    if (client && cmdShow != SW_HIDE && !quiet && (cmdShow != SW_SHOWNA || !wasVisible))
        client->Activate(this);
    if (client && wasVisible != ((Attr.Style & WS_VISIBLE) != 0))
        client->RefreshWindowMenu();
    return wasVisible;
}

bool TMDIChild::IsIconic() const
{
    return subWindow_ && subWindow_->isMinimized();
}

bool TMDIChild::IsZoomed() const
{
    return subWindow_ && subWindow_->isMaximized();
}

void TMDIChild::FillSystemMenu()
{
    // The items follow the window's state first; then the child has its say.
    const bool minimized = IsIconic();
    const bool maximized = IsZoomed();
    auto grey = [this](UINT id, bool off) { systemMenu_->EnableMenuItem(id, MF_BYCOMMAND | (off ? MF_GRAYED : MF_ENABLED)); };
    grey(SC_RESTORE, !minimized && !maximized);
    grey(SC_MOVE, maximized);
    grey(SC_SIZE, minimized || maximized || !(Attr.Style & WS_THICKFRAME));
    grey(SC_MINIMIZE, minimized || !(Attr.Style & WS_MINIMIZEBOX));
    grey(SC_MAXIMIZE, maximized || !(Attr.Style & WS_MAXIMIZEBOX));
    const HWND hwnd = GetHandle();
    SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(systemMenu_.get()));
    if (!::IsWindow(hwnd) || !subWindow_)
        return;
    QMenu* shown = subWindow_->systemMenu();
    shown->clear();
    for (int i = 0; i < systemMenu_->GetMenuItemCount(); ++i) {
        const UINT state = systemMenu_->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            shown->addSeparator();
            continue;
        }
        const UINT id = systemMenu_->GetMenuItemID(i);
        QAction* action = shown->addAction(ToQString(systemMenu_->GetMenuString(static_cast<UINT>(i), MF_BYPOSITION)));
        action->setData(id);
        action->setEnabled(!(state & (MF_GRAYED | MF_DISABLED)));
        QObject::connect(action, &QAction::triggered, SignalContext(),
                         [this, id] { SendMessage(WM_SYSCOMMAND, id, 0); });
    }
}

LRESULT TMDIChild::DefaultHitTest(TPoint screen) const
{
    if (!subWindow_)
        return HTNOWHERE;
    const QPoint p = subWindow_->mapFromGlobal(QPoint(screen.x, screen.y));
    const QRect r = subWindow_->rect();
    if (!r.contains(p))
        return HTNOWHERE;
    if (QWidget* content = GetClientWidget(); content && content->geometry().contains(p))
        return HTCLIENT;
    if (IsIconic() || IsZoomed())
        return HTCAPTION;
    const int frame = std::max(1, subWindow_->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, subWindow_));
    const int title = subWindow_->contentsMargins().top();
    const int corner = std::max(frame, title);
    const bool left = p.x() < frame;
    const bool right = p.x() >= r.width() - frame;
    const bool top = p.y() < frame;
    const bool bottom = p.y() >= r.height() - frame;
    if (!left && !right && !top && !bottom)
        return p.y() < title ? HTCAPTION : HTBORDER;
    if (!(Attr.Style & WS_THICKFRAME))
        return HTBORDER;
    const bool nearLeft = p.x() < corner;
    const bool nearRight = p.x() >= r.width() - corner;
    const bool nearTop = p.y() < corner;
    const bool nearBottom = p.y() >= r.height() - corner;
    if ((top && nearLeft) || (left && nearTop))
        return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop))
        return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom))
        return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom))
        return HTBOTTOMRIGHT;
    return left ? HTLEFT : right ? HTRIGHT : top ? HTTOP : HTBOTTOM;
}

LRESULT TMDIChild::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST:
        return DefaultHitTest(LParamToPoint(lParam));
    case WM_MOUSEACTIVATE:
        if (TMDIClient* client = GetMDIClient())
            client->Activate(this);
        return 1;  // activate
    case WM_SYSCOMMAND:
        switch (static_cast<UINT>(wParam) & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(SW_SHOWMAXIMIZED);
            return 0;
        case SC_RESTORE:
            ShowWindow(SW_RESTORE);
            return 0;
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
            if (TMDIClient* client = GetMDIClient())
                client->HandleMessage(WM_MDINEXT, reinterpret_cast<WPARAM>(GetHandle()),
                                      (static_cast<UINT>(wParam) & 0xFFF0) == SC_PREVWINDOW);
            return 0;
        default:
            return 0;  // moving and sizing are done with the mouse
        }
    default:
        return TFrameWindow::DefWindowProc(msg, wParam, lParam);
    }
}
