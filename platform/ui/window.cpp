#include "platform/ui/window.h"

#include "platform/gdi/font.h"
#include "platform/ui/accelerators.h"
#include "platform/ui/font_map.h"
#include "platform/ui/application.h"
#include "platform/ui/backing_image.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/resources.h"
#include "platform/ui/resources_qt.h"
#include "platform/ui/timer.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"
#include "platform/ui/window_registry.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The plain widget of a window that draws itself.
class TWindowWidget : public QWidget {
public:
    explicit TWindowWidget(QWidget* parent) : QWidget(parent)
    {
        setAutoFillBackground(true);
        setMouseTracking(true);
    }
};

// Pushes a message on a window's dispatch stack for the length of a call;
// the window may be deleted meanwhile.
class DispatchScope {
public:
    DispatchScope(std::vector<MSG>& stack, std::shared_ptr<bool> alive, const MSG& msg)
        : stack_(stack), alive_(std::move(alive))
    {
        stack_.push_back(msg);
    }
    ~DispatchScope()
    {
        if (*alive_)
            stack_.pop_back();
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    std::vector<MSG>& stack_;
    std::shared_ptr<bool> alive_;
};

}  // namespace

const TResponseTable TWindow::Responses{nullptr, {
    OnMessage<&TWindow::EvClose>(WM_CLOSE),
    OnMessage<&TWindow::EvPaint>(WM_PAINT),
}};

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : parent_(parent), module_(module), title_(title ? title : ""), alive_(std::make_shared<bool>(true))
{
    if (parent_) {
        Attr.Style = WS_CHILD | WS_VISIBLE;
        parent_->AddChild(this);
    } else {
        Attr.Style = WS_OVERLAPPEDWINDOW;
        Attr.X = Attr.Y = Attr.W = Attr.H = CW_USEDEFAULT;
    }
}

TWindow::~TWindow()
{
    if (handle_)
        Destroy(0);
    // Children belong to their parent.
    while (!children_.empty())
        delete children_.back();
    if (parent_)
        parent_->RemoveChild(this);
    delete signalContext_;
    ForgetBackingImage(*this);
    *alive_ = false;
}

QObject* TWindow::SignalContext()
{
    if (!signalContext_)
        signalContext_ = new QObject;
    return signalContext_;
}

TApplication* TWindow::GetApplication() const
{
    return TApplication::Current();
}

void TWindow::AddChild(TWindow* child)
{
    children_.push_back(child);
}

void TWindow::RemoveChild(TWindow* child)
{
    std::erase(children_, child);
}

void TWindow::SetParent(TWindow* newParent)
{
    if (newParent == parent_ || newParent == this)
        return;
    if (parent_)
        parent_->RemoveChild(this);
    parent_ = newParent;
    if (parent_)
        parent_->AddChild(this);
    if (handle_ && parent_ && parent_->handle_ && (Attr.Style & WS_CHILD)) {
        GetWidget()->setParent(parent_->GetClientWidget());
        GetWidget()->setVisible(Attr.Style & WS_VISIBLE);
    }
}

TWindow* TWindow::ChildWithId(int id) const
{
    for (TWindow* child : children_) {
        if (child->Attr.Id == id)
            return child;
    }
    return nullptr;
}

bool TWindow::IsChildOf(const TWindow* ancestor) const
{
    for (const TWindow* w = parent_; w; w = w->parent_) {
        if (w == ancestor)
            return true;
    }
    return false;
}

TWindow* TWindow::GetTopLevel()
{
    TWindow* w = this;
    while (w->parent_ && (w->Attr.Style & WS_CHILD))
        w = w->parent_;
    return w;
}

// ---------------------------------------------------------------- life

bool TWindow::Create()
{
    if (handle_)
        return true;
    if (!PerformCreate())
        return false;
    const std::shared_ptr<bool> alive = alive_;
    SetupWindow();
    if (!*alive || !handle_)
        return false;
    setUp_ = true;
    if (!(Attr.Style & WS_CHILD) && (Attr.Style & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    return true;
}

bool TWindow::PerformCreate()
{
    if (handle_)
        return true;
    if (parent_ && !parent_->handle_)
        return false;
    const bool child = parent_ && (Attr.Style & WS_CHILD);
    QWidget* widget = CreateWidget(child ? parent_->GetClientWidget() : nullptr);
    if (!widget)
        return false;
    if (!child && parent_) {
        // An owned top-level window stays above its owner.
        widget->setParent(parent_->GetWidget()->window(), widget->windowFlags() | Qt::Window);
    }
    handle_ = new TWindowHandle{this, widget, clientWidget_ ? clientWidget_ : widget};
    RegisterHandle(handle_);
    TWindowBridge::Attach(*this);
    WidgetCreated();
    ApplyAttributes();
    return true;
}

QWidget* TWindow::CreateWidget(QWidget* parent)
{
    auto* widget = new TWindowWidget(parent);
    if (!parent)
        widget->setWindowFlags(Qt::Window);
    widget->setFocusPolicy((Attr.Style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    return widget;
}

void TWindow::SetClientWidget(QWidget* client)
{
    clientWidget_ = client;
    if (handle_)
        handle_->client = client ? client : handle_->widget;
}

void TWindow::ApplyAttributes()
{
    QWidget* widget = GetWidget();
    if (Attr.Style & WS_CHILD) {
        widget->setGeometry(Attr.X == CW_USEDEFAULT ? 0 : Attr.X, Attr.Y == CW_USEDEFAULT ? 0 : Attr.Y,
                            std::max(0, Attr.W == CW_USEDEFAULT ? 0 : Attr.W),
                            std::max(0, Attr.H == CW_USEDEFAULT ? 0 : Attr.H));
    } else {
        if (Attr.W != CW_USEDEFAULT && Attr.H != CW_USEDEFAULT && Attr.W > 0 && Attr.H > 0)
            widget->resize(Attr.W, Attr.H);
        else
            widget->resize(640, 480);
        if (Attr.X != CW_USEDEFAULT && Attr.Y != CW_USEDEFAULT)
            widget->move(Attr.X, Attr.Y);
        widget->setWindowTitle(ToQString(title_));
    }
    widget->setEnabled(!(Attr.Style & WS_DISABLED));
    if (Attr.Style & WS_CHILD)
        widget->setVisible(Attr.Style & WS_VISIBLE);
    if (hasCursor_)
        GetClientWidget()->setCursor(CursorForResource(cursor_));
    // Controls apply every style-dependent setting when the old and new styles are equal.
    StyleChanged(Attr.Style);
    TextChanged();
}

void TWindow::SetupWindow()
{
    // Children are created in order; those that came from a dialog template
    // already have their windows and are only set up.
    const std::vector<TWindow*> children = children_;
    const std::shared_ptr<bool> alive = alive_;
    for (TWindow* child : children) {
        if (!*alive)
            return;
        if (std::find(children_.begin(), children_.end(), child) == children_.end())
            continue;
        if (!child->handle_) {
            if (!child->fromResource_)
                child->Create();
        } else if (!child->setUp_) {
            child->setUp_ = true;
            child->SetupWindow();
        }
    }
}

void TWindow::CleanupWindow()
{
}

bool TWindow::CanClose()
{
    for (TWindow* child : children_) {
        if (child->handle_ && !child->CanClose())
            return false;
    }
    return true;
}

void TWindow::CloseWindow(int retVal)
{
    if (CanClose())
        Destroy(retVal);
}

void TWindow::Destroy(int /*retVal*/)
{
    if (!handle_ || destroying_)
        return;
    destroying_ = true;
    const std::shared_ptr<bool> alive = alive_;
    CleanupWindow();
    if (!*alive)
        return;
    // WM_DESTROY reaches a window before its children are destroyed.
    HandleMessage(WM_DESTROY);
    if (!*alive)
        return;
    DestroyChildren();
    ReleaseHandle();
    destroying_ = false;
    setUp_ = false;
    TApplication* app = TApplication::Current();
    if (app && app->GetMainWindow() == this)
        PostQuitMessage(0);
}

void TWindow::DestroyChildren()
{
    const std::vector<TWindow*> children = children_;
    for (TWindow* child : children) {
        if (std::find(children_.begin(), children_.end(), child) == children_.end())
            continue;
        child->Destroy(0);
        // Controls that a template or a creation call made for this window
        // go with it; the next window gets its own.
        if (child->windowLifetime_)
            delete child;
    }
}

void TWindow::ReleaseHandle()
{
    HWND handle = handle_;
    QPointer<QWidget> widget = handle->widget;
    if (TWindowBridge::Capture() == handle)
        TWindowBridge::SetCapture(nullptr);
    KillAllTimers(handle);
    PurgePostedMessages(handle);
    TWindowBridge::Detach(*this);
    UnregisterHandle(handle);
    ReleaseBackingImage(*this);
    handle_ = nullptr;
    delete handle;
    WidgetReleased();
    delete signalContext_;
    signalContext_ = nullptr;
    if (widget && ownsWidget_) {
        // The widget may be the one whose event is being handled right now.
        widget->hide();
        widget->deleteLater();
    }
}

// ---------------------------------------------------------------- attributes

DWORD TWindow::SetStyle(DWORD style)
{
    const DWORD old = Attr.Style;
    Attr.Style = style;
    StyleChanged(old);
    return old;
}

bool TWindow::ModifyStyle(DWORD remove, DWORD add)
{
    const DWORD style = (Attr.Style & ~remove) | add;
    if (style == Attr.Style)
        return false;
    SetStyle(style);
    return true;
}

DWORD TWindow::SetExStyle(DWORD style)
{
    const DWORD old = Attr.ExStyle;
    Attr.ExStyle = style;
    return old;
}

bool TWindow::ModifyExStyle(DWORD remove, DWORD add)
{
    const DWORD style = (Attr.ExStyle & ~remove) | add;
    if (style == Attr.ExStyle)
        return false;
    Attr.ExStyle = style;
    return true;
}

void TWindow::StyleChanged(DWORD oldStyle)
{
    if (!handle_)
        return;
    QWidget* widget = GetWidget();
    if ((oldStyle ^ Attr.Style) & WS_VISIBLE)
        widget->setVisible(Attr.Style & WS_VISIBLE);
    if ((oldStyle ^ Attr.Style) & WS_DISABLED)
        widget->setEnabled(!(Attr.Style & WS_DISABLED));
    if ((oldStyle ^ Attr.Style) & WS_TABSTOP)
        widget->setFocusPolicy((Attr.Style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
}

void TWindow::SetCaption(const char* text)
{
    SetWindowText(text);
}

void TWindow::SetWindowText(const char* text)
{
    if (handle_)
        SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    else
        title_ = text ? text : "";
}

int TWindow::GetWindowText(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return 0;
    const std::string text = GetWindowText();
    const int n = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return n;
}

std::string TWindow::GetWindowText() const
{
    if (!handle_)
        return title_;
    auto* self = const_cast<TWindow*>(this);
    const LRESULT length = self->SendMessage(WM_GETTEXTLENGTH);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = self->SendMessage(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

int TWindow::GetWindowTextLength() const
{
    if (!handle_)
        return static_cast<int>(title_.size());
    return static_cast<int>(const_cast<TWindow*>(this)->SendMessage(WM_GETTEXTLENGTH));
}

std::string TWindow::ReadText() const
{
    return title_;
}

// ---------------------------------------------------------------- messages

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    DispatchScope scope(dispatching_, alive_, MSG{handle_, msg, wParam, lParam});
    return WindowProc(msg, wParam, lParam);
}

LRESULT TWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return handle_ ? HandleMessage(msg, wParam, lParam) : 0;
}

bool TWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return handle_ && QueueMessage(handle_, msg, wParam, lParam);
}

LRESULT TWindow::DefaultProcessing()
{
    if (dispatching_.empty())
        return 0;
    const MSG m = dispatching_.back();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT TWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        return EvCommand(LOWORD(wParam), LParamToHandle(lParam), HIWORD(wParam));
    if (const TResponseEntry* entry = GetResponseTable().FindMessage(msg))
        return entry->fn(*this, wParam, lParam);
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT TWindow::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (handle_ && TWindowBridge::DeliverNative(*this, msg, wParam, lParam))
        return 0;
    switch (msg) {
    case WM_CLOSE:
        Destroy(0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessage(WM_CLOSE);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        // A scroll bar control handles its own notifications when its parent
        // leaves them to default processing.
        TWindow* control = GetWindowPtr(LParamToHandle(lParam));
        if (control && control != this && control->GetParentO() == this)
            return control->HandleMessage(msg, wParam, lParam);
        return 0;
    }
    case WM_SETTEXT:
        title_ = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (handle_ && !(Attr.Style & WS_CHILD))
            GetWidget()->setWindowTitle(ToQString(title_));
        TextChanged();
        return 1;
    case WM_SETCURSOR:
        // The parent may set the cursor for its children; otherwise the
        // window's own cursor shows.
        if (parent_ && (Attr.Style & WS_CHILD) && parent_->handle_ && parent_->HandleMessage(msg, wParam, lParam))
            return 1;
        if (::GetCursor())
            ::SetCursor(nullptr);
        return 0;
    case WM_SETFONT: {
        // wParam: a TFont* that outlives its use here (null: the default font).
        font_ = reinterpret_cast<const TFont*>(wParam);
        if (handle_) {
            QFont qfont;
            if (font_) {
                const LOGFONT& lf = font_->GetObject();
                // A positive height is the cell height, a negative one the character height.
                qfont = PlatformFont(lf.lfFaceName, -std::max(1, std::abs(lf.lfHeight)), lf.lfWeight, lf.lfItalic != 0);
            }
            GetWidget()->setFont(qfont);
            if (lParam)
                GetWidget()->update();
        }
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SETICON: {
        // lParam: an HICON from LoadIcon; the caption of a top-level window shows it.
        const void* previous = icon_;
        icon_ = reinterpret_cast<const void*>(lParam);
        if (handle_ && !(Attr.Style & WS_CHILD))
            GetWidget()->setWindowIcon(icon_ ? IconResource(IconResourceId(static_cast<HICON>(icon_))) : QIcon());
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(icon_);
    case WM_SETREDRAW:
        if (handle_)
            GetWidget()->setUpdatesEnabled(wParam != 0);
        return 0;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(ReadText().size());
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char*>(lParam);
        const auto size = static_cast<std::size_t>(wParam);
        if (!buffer || size == 0)
            return 0;
        const std::string text = ReadText();
        const std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    default:
        return 0;
    }
}

bool TWindow::PreProcessMsg(MSG& msg)
{
    if (msg.message != WM_KEYDOWN || accelerators_.IsNull() || !handle_)
        return false;
    const std::vector<TAccelerator>* table = FindAcceleratorTable(accelerators_);
    const UINT command = table ? TranslateAccelerator(*table, static_cast<UINT>(msg.wParam)) : 0;
    if (!command)
        return false;
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 1));
    return true;
}

LRESULT TWindowDispatch::Invoke(TWindow& window, const TResponseEntry& entry, UINT msg, WPARAM wParam,
                                LPARAM lParam)
{
    DispatchScope scope(window.dispatching_, window.alive_, MSG{window.handle_, msg, wParam, lParam});
    return entry.fn(window, wParam, lParam);
}

std::vector<TWindow*> TWindow::CommandRoute()
{
    std::vector<TWindow*> route;
    TWindow* focus = GetWindowPtr(GetFocus());
    if (focus && focus->IsChildOf(this)) {
        for (TWindow* w = focus; w && w != this; w = w->GetParentO())
            route.push_back(w);
    }
    route.push_back(this);
    return route;
}

LRESULT TWindow::EvCommand(UINT id, HWND hWndCtl, UINT notifyCode)
{
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(notifyCode));
    const LPARAM lParam = HandleToLParam(hWndCtl);
    if (hWndCtl) {
        // A control's own table sees its notifications first.
        TWindow* control = GetWindowPtr(hWndCtl);
        if (control && control != this) {
            if (const TResponseEntry* entry = control->GetResponseTable().FindSelfNotify(notifyCode))
                return TWindowDispatch::Invoke(*control, *entry, WM_COMMAND, wParam, lParam);
        }
        if (const TResponseEntry* entry = GetResponseTable().FindCommand(id, notifyCode))
            return entry->fn(*this, wParam, lParam);
        return DefaultProcessing();
    }
    for (TWindow* w : CommandRoute()) {
        if (const TResponseEntry* entry = w->GetResponseTable().FindCommand(id, notifyCode))
            return w == this ? entry->fn(*this, wParam, lParam)
                             : TWindowDispatch::Invoke(*w, *entry, WM_COMMAND, wParam, lParam);
    }
    return DefaultProcessing();
}

void TWindow::EvCommandEnable(TCommandEnabler& enabler)
{
    const std::vector<TWindow*> route = CommandRoute();
    for (TWindow* w : route) {
        if (const TResponseEntry* entry = w->GetResponseTable().FindEnabler(enabler.GetId())) {
            TWindowDispatch::Invoke(*w, *entry, 0, 0, reinterpret_cast<LPARAM>(&enabler));
            if (enabler.GetHandled())
                return;
        }
    }
    // Nothing answered: the command is available exactly when some window on
    // its route would carry it out.
    const bool handled = std::any_of(route.begin(), route.end(), [&](TWindow* w) {
        return w->GetResponseTable().FindCommand(enabler.GetId(), 0) != nullptr;
    });
    enabler.Enable(handled);
}

bool TWindow::IdleAction(long idleCount)
{
    bool more = false;
    const std::vector<TWindow*> children = children_;
    for (TWindow* child : children) {
        if (child->handle_)
            more = child->IdleAction(idleCount) || more;
    }
    return more;
}

void TWindow::EvClose()
{
    CloseWindow();
}

void TWindow::EvPaint()
{
    if (PaintsNatively()) {
        PrepareNativePaint();
        DefaultProcessing();
        return;
    }
    QPaintEvent* event = TWindowBridge::PendingPaint(*this);
    if (!event)
        return;
    QPainter painter(GetClientWidget());
    if (TBackingImage* backing = GetBackingImage(*this)) {
        backing->Serve();
        backing->CopyTo(painter, event->rect());
        return;
    }
    const QRect r = event->rect();
    TRect rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    PaintWithDC(painter, [&](TDC& dc) { Paint(dc, true, rect); });
}

void TWindow::Paint(TDC& /*dc*/, bool /*erase*/, TRect& /*rect*/)
{
}

// ---------------------------------------------------------------- show, enable, focus

bool TWindow::ShowWindow(int cmdShow)
{
    const bool wasVisible = (Attr.Style & WS_VISIBLE) != 0;
    if (cmdShow == SW_HIDE)
        Attr.Style &= ~WS_VISIBLE;
    else
        Attr.Style |= WS_VISIBLE;
    if (!handle_)
        return wasVisible;
    QWidget* widget = GetWidget();
    if (Attr.Style & WS_CHILD) {
        widget->setVisible(cmdShow != SW_HIDE);
        return wasVisible;
    }
    switch (cmdShow) {
    case SW_HIDE:
        widget->hide();
        break;
    case SW_SHOWMAXIMIZED:
        widget->showMaximized();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        widget->showMinimized();
        break;
    case SW_RESTORE:
        widget->showNormal();
        break;
    default:
        widget->show();
        break;
    }
    return wasVisible;
}

bool TWindow::IsWindowVisible() const
{
    if (!handle_)
        return false;
    if (!(Attr.Style & WS_CHILD))
        return GetWidget()->isVisible();
    return (Attr.Style & WS_VISIBLE) && (!parent_ || parent_->IsWindowVisible());
}

bool TWindow::EnableWindow(bool enable)
{
    const bool wasDisabled = (Attr.Style & WS_DISABLED) != 0;
    if (enable == !wasDisabled)
        return wasDisabled;
    if (enable)
        Attr.Style &= ~WS_DISABLED;
    else
        Attr.Style |= WS_DISABLED;
    if (handle_) {
        GetWidget()->setEnabled(enable);
        SendMessage(WM_ENABLE, enable ? 1 : 0);
    }
    return wasDisabled;
}

bool TWindow::IsWindowEnabled() const
{
    return handle_ && !(Attr.Style & WS_DISABLED);
}

HWND TWindow::SetFocus()
{
    HWND previous = GetFocus();
    if (handle_)
        GetWidget()->setFocus(Qt::OtherFocusReason);
    return previous;
}

void TWindow::BringWindowToTop()
{
    if (!handle_)
        return;
    GetWidget()->raise();
    if (!(Attr.Style & WS_CHILD))
        GetWidget()->activateWindow();
}

// ---------------------------------------------------------------- geometry

TRect TWindow::GetClientRect() const
{
    if (!handle_)
        return {};
    const QWidget* client = GetClientWidget();
    return {0, 0, client->width(), client->height()};
}

TRect TWindow::GetWindowRect() const
{
    if (!handle_)
        return {};
    const QWidget* widget = GetWidget();
    if (widget->isWindow()) {
        const QRect r = widget->frameGeometry();
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), origin.x() + widget->width(), origin.y() + widget->height()};
}

bool TWindow::MoveWindow(int x, int y, int w, int h, bool repaint)
{
    return SetWindowPos(nullptr, x, y, w, h, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

bool TWindow::MoveWindow(const TRect& rect, bool repaint)
{
    return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

namespace {

// Only a top-level window can stay above the others. Changing a shown
// window's flags the ordinary way hides it, which ends a running modal
// dialog's loop; so a window that has its native window is told directly.
void SetTopmost(TWindow& window, bool topmost)
{
    if (topmost)
        window.Attr.ExStyle |= WS_EX_TOPMOST;
    else
        window.Attr.ExStyle &= ~WS_EX_TOPMOST;
    QWidget* widget = window.GetWidget();
    if (!widget || !widget->isWindow() || widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    Qt::WindowFlags flags = widget->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (QWindow* native = widget->windowHandle()) {
        widget->overrideWindowFlags(flags);
        native->setFlags(flags);
        return;
    }
    widget->setWindowFlags(flags);
}

}  // namespace

bool TWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (handle_) {
        // The window hears where it is going first and may change it.
        WINDOWPOS pos{handle_, insertAfter, x, y, cx, cy, flags};
        const std::shared_ptr<bool> alive = alive_;
        HandleMessage(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!*alive || !handle_)
            return false;
        insertAfter = pos.hwndInsertAfter;
        x = pos.x;
        y = pos.y;
        cx = pos.cx;
        cy = pos.cy;
        flags = pos.flags;
    }
    if (!(flags & SWP_NOMOVE)) {
        Attr.X = x;
        Attr.Y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        Attr.W = std::max(0, cx);
        Attr.H = std::max(0, cy);
    }
    if (!handle_)
        return true;
    QWidget* widget = GetWidget();
    if (widget->isWindow()) {
        if (!(flags & SWP_NOSIZE)) {
            // Outer size given; the frame (if the platform draws one) is kept out of the client.
            const int frameW = widget->frameGeometry().width() - widget->width();
            const int frameH = widget->frameGeometry().height() - widget->height();
            const QSize size(std::max(0, cx - frameW), std::max(0, cy - frameH));
            // A window of fixed size (a dialog without a sizing frame) takes
            // the size its program gives it; only the user cannot change it.
            if (widget->minimumSize() == widget->maximumSize())
                widget->setFixedSize(size);
            else
                widget->resize(size);
        }
        if (!(flags & SWP_NOMOVE))
            widget->move(x, y);
    } else {
        if (!(flags & SWP_NOSIZE) && !(flags & SWP_NOMOVE))
            widget->setGeometry(x, y, std::max(0, cx), std::max(0, cy));
        else if (!(flags & SWP_NOSIZE))
            widget->resize(std::max(0, cx), std::max(0, cy));
        else if (!(flags & SWP_NOMOVE))
            widget->move(x, y);
    }
    if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)) {
        SetTopmost(*this, insertAfter == HWND_TOPMOST);
    } else if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_BOTTOM) {
            widget->lower();
        } else if (TWindow* after = GetWindowPtr(insertAfter); after && after->GetWidget()->parentWidget() == widget->parentWidget()) {
            widget->stackUnder(after->GetWidget());
        } else {
            widget->raise();
        }
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return true;
}

TPoint TWindow::ClientToScreen(TPoint p) const
{
    if (!handle_)
        return p;
    const QPoint q = GetClientWidget()->mapToGlobal(QPoint(p.x, p.y));
    return {q.x(), q.y()};
}

TPoint TWindow::ScreenToClient(TPoint p) const
{
    if (!handle_)
        return p;
    const QPoint q = GetClientWidget()->mapFromGlobal(QPoint(p.x, p.y));
    return {q.x(), q.y()};
}

void TWindow::Invalidate(bool erase)
{
    if (TBackingImage* backing = GetBackingImage(*this))
        backing->Invalidate(QRegion(QRect(QPoint(0, 0), GetClientWidget()->size())), erase);
    else if (handle_)
        GetClientWidget()->update();
}

void TWindow::InvalidateRect(const TRect& rect, bool erase)
{
    const QRect r(rect.left, rect.top, rect.Width(), rect.Height());
    if (TBackingImage* backing = GetBackingImage(*this))
        backing->Invalidate(QRegion(r), erase);
    else if (handle_)
        GetClientWidget()->update(r);
}

void TWindow::UpdateWindow()
{
    if (!handle_ || !GetClientWidget()->updatesEnabled())
        return;
    // A backing image is painted now even while the window is hidden.
    if (TBackingImage* backing = GetBackingImage(*this))
        backing->Serve();
    // Only what was invalidated is painted, as the window would be later.
    if (GetClientWidget()->isVisible())
        QCoreApplication::sendPostedEvents(GetClientWidget()->window(), QEvent::UpdateRequest);
}

// ---------------------------------------------------------------- timers, capture, cursor

UINT TWindow::SetTimer(UINT id, UINT elapseMs)
{
    return ::SetTimer(handle_, id, elapseMs);
}

bool TWindow::KillTimer(UINT id)
{
    return ::KillTimer(handle_, id);
}

HWND TWindow::SetCapture()
{
    return ::SetCapture(handle_);
}

bool TWindow::SetCursor(TModule* /*module*/, TResId cursor)
{
    cursor_ = cursor;
    hasCursor_ = true;
    if (handle_)
        GetClientWidget()->setCursor(CursorForResource(cursor));
    return true;
}

// ---------------------------------------------------------------- dialog items

HWND TWindow::GetDlgItem(int id) const
{
    TWindow* child = ChildWithId(id);
    return child ? child->GetHandle() : nullptr;
}

int TWindow::GetDlgItemText(int id, char* buffer, int size) const
{
    return ::GetWindowText(GetDlgItem(id), buffer, size);
}

std::string TWindow::GetDlgItemText(int id) const
{
    return ::GetWindowText(GetDlgItem(id));
}

void TWindow::SetDlgItemText(int id, const char* text)
{
    ::SetWindowText(GetDlgItem(id), text);
}

UINT TWindow::GetDlgItemInt(int id, bool* translated, bool isSigned) const
{
    if (translated)
        *translated = false;
    const std::string text = GetDlgItemText(id);
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-' && !isSigned)
            return 0;
        negative = text[i] == '-';
        ++i;
    }
    if (i == end)
        return 0;
    unsigned long long value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return 0;
    if (translated)
        *translated = true;
    const auto v = static_cast<unsigned>(value);
    return negative ? static_cast<UINT>(0u - v) : v;
}

void TWindow::SetDlgItemInt(int id, UINT value, bool isSigned)
{
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    SetDlgItemText(id, text);
}

LRESULT TWindow::SendDlgItemMessage(int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessage(GetDlgItem(id), msg, wParam, lParam);
}

void TWindow::CheckDlgButton(int id, UINT check)
{
    SendDlgItemMessage(id, BM_SETCHECK, check);
}

UINT TWindow::IsDlgButtonChecked(int id) const
{
    return static_cast<UINT>(::SendMessage(GetDlgItem(id), BM_GETCHECK));
}

void TWindow::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        SendDlgItemMessage(id, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

UINT TWindow::Transfer(void* /*buffer*/, TTransferDirection /*direction*/)
{
    return 0;
}

// ---------------------------------------------------------------- Qt seam

QWidget* TWindow::GetWidget() const
{
    return handle_ ? handle_->widget : nullptr;
}

QWidget* TWindow::GetClientWidget() const
{
    return handle_ ? handle_->client : nullptr;
}

TWindow* GetWindowPtr(HWND hwnd)
{
    return IsRegisteredHandle(hwnd) ? hwnd->window : nullptr;
}
