#include "platform/ui/frame_window.h"

#include "platform/ui/application.h"
#include "platform/ui/resources_qt.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

const TResponseTable TFrameWindow::Responses{&TWindow::Responses, {
    OnMessage<&TFrameWindow::EvSize>(WM_SIZE),
    OnMessage<&TFrameWindow::EvInitMenuPopup>(WM_INITMENUPOPUP),
}};

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* clientWnd, bool shrinkToClient,
                           TModule* module)
    : TWindow(parent, title, module), shrinkToClient_(shrinkToClient)
{
    Attr.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (clientWnd)
        SetClientWindow(clientWnd);
}

TFrameWindow::TFrameWindow() : TWindow(nullptr)
{
    Attr.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

void TFrameWindow::Init(TWindow* parent, const char* title, TWindow* clientWnd, bool shrinkToClient,
                        TModule* /*module*/)
{
    if (parent && parent != GetParentO())
        SetParent(parent);
    if (title && StoredTitle().empty())
        StoreTitle(title);
    if (clientWnd && clientWnd != clientWnd_)
        SetClientWindow(clientWnd);
    shrinkToClient_ = shrinkToClient_ || shrinkToClient;
}

bool TFrameWindow::SetIcon(TModule* /*module*/, TResId iconResId)
{
    iconId_ = iconResId;
    if (IsWindow())
        ApplyIcon();
    return true;
}

void TFrameWindow::ApplyIcon()
{
    if (iconId_.IsNull())
        return;
    GetWidget()->setWindowIcon(IconResource(iconId_));
    // The main window's icon is the program's: windows without one of their
    // own (MDI children, dialogs) show it too.
    if (TApplication::Current() && TApplication::Current()->GetMainWindow() == this)
        QApplication::setWindowIcon(IconResource(iconId_));
}

TFrameWindow::~TFrameWindow()
{
    if (IsWindow())
        Destroy(0);
}

TWindow* TFrameWindow::SetClientWindow(TWindow* client)
{
    TWindow* previous = clientWnd_;
    clientWnd_ = client;
    if (client) {
        client->SetParent(this);
        client->Attr.Style |= WS_CHILD | WS_VISIBLE;
        if (IsWindow()) {
            client->Create();
            // A decorated frame keeps its bars: the client gets what they leave.
            LayoutClient();
        }
    }
    return previous;
}

QWidget* TFrameWindow::CreateWidget(QWidget* /*parent*/)
{
    main_ = new QMainWindow;
    auto* client = new QWidget;
    client->setMouseTracking(true);
    client->setFocusPolicy(Qt::ClickFocus);
    main_->setCentralWidget(client);
    SetClientWidget(client);
    return main_;
}

void TFrameWindow::SetupWindow()
{
    // A client window that had its own window before this frame had one (a
    // tool bar floated into a new palette) moves in now.
    if (clientWnd_ && clientWnd_->IsWindow() && (clientWnd_->Attr.Style & WS_CHILD) &&
        clientWnd_->GetWidget()->parentWidget() != GetClientWidget()) {
        clientWnd_->GetWidget()->setParent(GetClientWidget());
        clientWnd_->GetWidget()->setVisible((clientWnd_->Attr.Style & WS_VISIBLE) != 0);
    }
    TWindow::SetupWindow();
    ApplyIcon();
    if (menu_) {
        menu_->SetOwner(GetHandle());
        DrawMenuBar();
    }
    LayoutClient();
}

void TFrameWindow::LayoutClient()
{
    if (clientWnd_ && clientWnd_->IsWindow()) {
        const TRect r = GetClientRect();
        clientWnd_->MoveWindow(0, 0, r.Width(), r.Height());
    }
}

bool TFrameWindow::AssignMenu(TResId id)
{
    if (!HasMenuTemplate(id))
        return false;
    return SetMenu(new TMenu(id));
}

bool TFrameWindow::SetMenu(TMenu* menu)
{
    menu_.reset(menu);
    if (IsWindow()) {
        if (menu_)
            menu_->SetOwner(GetHandle());
        DrawMenuBar();
    }
    return true;
}

void TFrameWindow::DrawMenuBar()
{
    if (main_)
        FillMenuBar(main_->menuBar(), menu_.get());
}

void TFrameWindow::EvSize(UINT /*sizeType*/, const TSize& /*size*/)
{
    LayoutClient();
    DefaultProcessing();
}

void TFrameWindow::EvInitMenuPopup(WPARAM popup, LPARAM /*index*/)
{
    auto* menu = reinterpret_cast<TMenu*>(popup);
    if (!menu)
        return;
    for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
        const UINT state = menu->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        if (state & (MF_POPUP | MF_SEPARATOR))
            continue;
        TMenuItemEnabler enabler(*menu, i, menu->GetMenuItemID(i), GetHandle());
        EvCommandEnable(enabler);
    }
}

bool TFrameWindow::IsZoomed() const
{
    return IsWindow() && GetWidget()->isMaximized();
}

bool TFrameWindow::IsIconic() const
{
    return IsWindow() && GetWidget()->isMinimized();
}
