#include "platform/ui/window_bridge.h"

#include "platform/ui/window_api.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

// How the translation works. A Qt input event on one of a window's widgets
// is turned into the window messages it stands for (a key press into
// WM_KEYDOWN and, when it types a character, WM_CHAR). While a message is
// dispatched its Qt event is "pending"; if the message reaches default
// processing, DeliverNative sends the pending event on to the widget (through
// QCoreApplication::sendEvent, so Qt's own filters, such as a list's
// viewport filter, still run), and the bridge's filter lets it pass. The
// event is then accepted, so Qt does not hand an ignored key or click on to
// parent widgets: a window sees only its own input, as a window procedure does.

namespace {

struct Source {
    HWND hwnd = nullptr;
    bool propagate = false;
};

struct Pending {
    TWindow* window;
    UINT translated;  // the message dispatched for the event
    UINT native;      // the message whose default processing delivers the event (0: none)
    WPARAM wParam;    // that message's wParam; a handler that changes it gets a made-up event
    QObject* receiver;
    QEvent* event;
    bool propagate;
    bool delivered;
};

QHash<const QObject*, Source> g_sources;
std::vector<Pending> g_pending;
Qt::KeyboardModifiers g_modifiers;
Qt::MouseButtons g_buttons;
HWND g_capture = nullptr;
HWND g_lastFocusLost = nullptr;
HWND g_focused = nullptr;  // the window last told it has the focus
QPoint g_cursorPos;        // the mouse on the screen, as of the last mouse input

class Filter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override;
};

Filter& TheFilter()
{
    static Filter* filter = new Filter;  // lives as long as the program
    return *filter;
}

void WatchSource(QWidget* widget, HWND hwnd, bool propagate)
{
    if (!widget || g_sources.contains(widget))
        return;
    g_sources.insert(widget, Source{hwnd, propagate});
    widget->installEventFilter(&TheFilter());
    QObject::connect(widget, &QObject::destroyed, &TheFilter(), [](QObject* o) { g_sources.remove(o); });
}

void SendNative(QObject* receiver, QEvent* event)
{
    event->setAccepted(true);
    QCoreApplication::sendEvent(receiver, event);
}

// Dispatches `msg` to the window with its Qt event pending for default processing.
void Dispatch(TWindow& window, UINT msg, WPARAM wParam, LPARAM lParam, UINT native, WPARAM nativeWParam,
              QObject* receiver, QEvent* event, bool propagate)
{
    g_pending.push_back({&window, msg, native, nativeWParam, receiver, event, propagate, false});
    const std::size_t depth = g_pending.size();
    SendMessage(window.GetHandle(), msg, wParam, lParam);
    if (g_pending.size() >= depth)
        g_pending.resize(depth - 1);
}

QPoint MapToClient(TWindow& window, QWidget* source, const QMouseEvent* me)
{
    QWidget* client = window.GetClientWidget();
    const QPoint local = me->position().toPoint();
    if (source == client || client->isAncestorOf(source))
        return source->mapTo(client, local);
    return client->mapFromGlobal(source->mapToGlobal(local));
}

UINT MouseMessage(const QMouseEvent* me)
{
    const Qt::MouseButton b = me->button();
    switch (me->type()) {
    case QEvent::MouseMove:
        return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress:
        return b == Qt::LeftButton ? WM_LBUTTONDOWN : b == Qt::RightButton ? WM_RBUTTONDOWN
               : b == Qt::MiddleButton                                     ? WM_MBUTTONDOWN
                                                                           : 0;
    case QEvent::MouseButtonRelease:
        return b == Qt::LeftButton ? WM_LBUTTONUP : b == Qt::RightButton ? WM_RBUTTONUP
               : b == Qt::MiddleButton                                   ? WM_MBUTTONUP
                                                                         : 0;
    case QEvent::MouseButtonDblClick:
        return b == Qt::LeftButton ? WM_LBUTTONDBLCLK : b == Qt::RightButton ? WM_RBUTTONDBLCLK
               : b == Qt::MiddleButton                                       ? WM_MBUTTONDBLCLK
                                                                             : 0;
    default:
        return 0;
    }
}

// Over a window's client area the window is asked for the cursor
// (WM_SETCURSOR) as the mouse comes in, moves or presses a button, unless a
// window holds the capture.
// Qt also tells the parents of the widget under the mouse; only the window
// under the mouse is asked.
void AskForCursor(TWindow& window, QWidget* source, QPoint at, UINT mouseMessage)
{
    QWidget* client = window.GetClientWidget();
    if (TWindowBridge::Capture() || !client || (source != client && !client->isAncestorOf(source)))
        return;
    if (const QWidget* under = source->childAt(at); under && TWindowBridge::WindowFor(under) != &window)
        return;
    const HWND hwnd = window.GetHandle();
    SendMessage(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                MAKELPARAM(static_cast<WORD>(HTCLIENT), static_cast<WORD>(mouseMessage)));
}

bool TranslateMouse(TWindow& window, QWidget* source, QMouseEvent* me, bool propagate)
{
    const UINT msg = MouseMessage(me);
    if (!msg)
        return false;
    g_modifiers = me->modifiers();
    g_buttons = me->buttons();
    g_cursorPos = source->mapToGlobal(me->position().toPoint());
    if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
        const QPointer<QWidget> alive(source);
        AskForCursor(window, source, me->position().toPoint(), msg);
        if (!alive || !IsWindow(window.GetHandle()))
            return true;
    }
    TWindow* target = &window;
    if (TWindow* capture = GetWindowPtr(g_capture); capture && capture != &window)
        target = capture;
    const QPoint local = target == &window
                             ? MapToClient(window, source, me)
                             : target->GetClientWidget()->mapFromGlobal(source->mapToGlobal(me->position().toPoint()));
    const WPARAM wParam = TWindowBridge::MouseKeyState();
    const LPARAM lParam = MAKELPARAM(static_cast<WORD>(local.x()), static_cast<WORD>(local.y()));
    MSG m{target->GetHandle(), msg, wParam, lParam};
    if (!TWindowBridge::PreProcess(*target, m) && IsWindow(m.hwnd)) {
        // Input taken by the capturing window never reaches the widget under the mouse.
        Dispatch(*target, m.message, m.wParam, m.lParam, target == &window ? msg : 0, wParam, source, me,
                 propagate);
    }
    me->accept();
    return true;
}

bool TranslateKey(TWindow& window, QObject* source, QKeyEvent* ke, bool propagate)
{
    g_modifiers = ke->modifiers();
    const int key = ke->key();
    const UINT vk = VirtualKeyFromQt(key);
    const QString text = ke->text();
    const HWND hwnd = window.GetHandle();
    const LPARAM lParam = MAKELPARAM(1, ke->isAutoRepeat() ? 0x4000 : 0);

    if (ke->type() == QEvent::KeyRelease) {
        if (!vk)
            return false;
        MSG m{hwnd, WM_KEYUP, vk, static_cast<LPARAM>(lParam | (LPARAM(0xC000) << 16))};
        if (!TWindowBridge::PreProcess(window, m) && IsWindow(hwnd))
            Dispatch(window, WM_KEYUP, vk, m.lParam, WM_KEYUP, vk, source, ke, propagate);
        ke->accept();
        return true;
    }

    // A key that types a character gives WM_KEYDOWN, then WM_CHAR; the Qt
    // event reaches the widget with the character's default processing.
    // Delete types nothing here, as it changes text through its key.
    UINT ch = 0;
    bool types = false;
    if (!text.isEmpty() && key != Qt::Key_Delete) {
        const char16_t c = text[0].unicode();
        types = c < 0x100 && c != 0x7F;
        ch = c;
        if (!types && c >= 0x100 && !vk) {
            ke->accept();  // a character the programs cannot hold
            return true;
        }
    }
    if (!vk && !types)
        return false;
    if (vk) {
        MSG m{hwnd, WM_KEYDOWN, vk, lParam};
        if (TWindowBridge::PreProcess(window, m) || !IsWindow(hwnd)) {
            ke->accept();
            return true;
        }
        Dispatch(window, WM_KEYDOWN, vk, lParam, types ? 0 : WM_KEYDOWN, vk, source, ke, propagate);
    }
    if (types && IsWindow(hwnd)) {
        MSG m{hwnd, WM_CHAR, ch, lParam};
        if (!TWindowBridge::PreProcess(window, m) && IsWindow(hwnd))
            Dispatch(window, WM_CHAR, ch, lParam, WM_CHAR, ch, source, ke, propagate);
    }
    ke->accept();
    return true;
}

bool TranslateFocus(TWindow& window, QObject* source, QFocusEvent* fe)
{
    // A combo box's list or a menu opening takes no focus from the window.
    if (fe->reason() == Qt::PopupFocusReason || fe->reason() == Qt::MenuBarFocusReason)
        return false;
    // Nor does the list taking Qt's focus while it is open.
    if (const QWidget* focus = QApplication::focusWidget(); focus && focus->window()->windowType() == Qt::Popup)
        return false;
    const HWND hwnd = window.GetHandle();
    if (fe->type() == QEvent::FocusIn) {
        // Each window hears once that it has the focus, and once that it lost it.
        if (g_focused == hwnd)
            return false;
        const HWND previous = IsWindow(g_lastFocusLost) && g_lastFocusLost != hwnd ? g_lastFocusLost : nullptr;
        g_lastFocusLost = nullptr;
        g_focused = hwnd;
        Dispatch(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0, WM_SETFOCUS,
                 reinterpret_cast<WPARAM>(previous), source, fe, false);
    } else {
        if (g_focused != hwnd)
            return false;
        g_focused = nullptr;
        TWindow* gaining = TWindowBridge::WindowFor(QApplication::focusWidget());
        const HWND next = gaining && gaining != &window ? gaining->GetHandle() : nullptr;
        g_lastFocusLost = hwnd;
        Dispatch(window, WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0, WM_KILLFOCUS,
                 reinterpret_cast<WPARAM>(next), source, fe, false);
    }
    return true;
}

bool Filter::eventFilter(QObject* object, QEvent* event)
{
    // An event this bridge is delivering passes to its receiver (and, for an
    // inner edit field, to the control around it); it goes no further up.
    for (auto it = g_pending.rbegin(); it != g_pending.rend(); ++it) {
        if (it->event != event)
            continue;
        if (object == it->receiver || (it->propagate && object == it->receiver->parent()))
            return false;
        event->accept();
        return true;
    }
    const auto source = g_sources.constFind(object);
    if (source == g_sources.constEnd())
        return false;
    TWindow* window = GetWindowPtr(source->hwnd);
    if (!window)
        return false;
    auto* widget = static_cast<QWidget*>(object);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return TranslateKey(*window, object, static_cast<QKeyEvent*>(event), source->propagate);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return TranslateMouse(*window, widget, static_cast<QMouseEvent*>(event), source->propagate);
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        return TranslateFocus(*window, object, static_cast<QFocusEvent*>(event));
    case QEvent::Enter:
        g_cursorPos = widget->mapToGlobal(static_cast<QEnterEvent*>(event)->position().toPoint());
        AskForCursor(*window, widget, static_cast<QEnterEvent*>(event)->position().toPoint(), WM_MOUSEMOVE);
        return false;
    case QEvent::Paint:
        if (widget != window->GetClientWidget()) {
            // An item view's viewport paints itself, in the control's colours.
            TWindowBridge::PrepareNativePaint(*window);
            return false;
        }
        Dispatch(*window, WM_PAINT, 0, 0, WM_PAINT, 0, object, event, false);
        return true;
    case QEvent::Resize:
        if (widget == window->GetClientWidget()) {
            const QSize size = widget->size();
            const WPARAM type = widget->window()->isMaximized()   ? SIZE_MAXIMIZED
                                : widget->window()->isMinimized() ? SIZE_MINIMIZED
                                                                  : SIZE_RESTORED;
            SendMessage(source->hwnd, WM_SIZE, type,
                        MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
        }
        return false;
    case QEvent::Move:
        if (widget == window->GetWidget())
            SendMessage(source->hwnd, WM_MOVE, 0,
                        MAKELPARAM(static_cast<WORD>(widget->x()), static_cast<WORD>(widget->y())));
        return false;
    case QEvent::Close:
        // The close box: the window decides through WM_SYSCOMMAND and WM_CLOSE.
        event->ignore();
        SendMessage(source->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    default:
        return false;
    }
}

// A message the program sent itself gets an equivalent Qt event.
bool Synthesize(TWindow& window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    QWidget* widget = window.GetClientWidget();
    if (!widget)
        return false;
    const Qt::KeyboardModifiers modifiers = g_modifiers;
    std::unique_ptr<QEvent> event;
    QObject* receiver = widget;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        event = std::make_unique<QKeyEvent>(msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease,
                                            QtKeyFromVirtualKey(static_cast<UINT>(wParam)), modifiers);
        break;
    case WM_CHAR: {
        const auto ch = static_cast<char16_t>(wParam & 0xFF);
        int key = Qt::Key_unknown;
        Qt::KeyboardModifiers mods = modifiers;
        if (ch == 8)
            key = Qt::Key_Backspace;
        else if (ch == 9)
            key = Qt::Key_Tab;
        else if (ch == 13)
            key = Qt::Key_Return;
        else if (ch == 27)
            key = Qt::Key_Escape;
        else if (ch >= 1 && ch <= 26) {
            key = Qt::Key_A + (ch - 1);
            mods |= Qt::ControlModifier;
        } else if (ch >= 'a' && ch <= 'z')
            key = Qt::Key_A + (ch - 'a');
        else if (ch >= 0x20 && ch < 0x7F)
            key = ch;
        event = std::make_unique<QKeyEvent>(QEvent::KeyPress, key, mods, QString(QChar(ch)));
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE: {
        QPoint pos(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        // Item views take their clicks on the viewport under the point.
        if (QWidget* child = widget->childAt(pos); child && g_sources.contains(child)) {
            pos = child->mapFrom(widget, pos);
            receiver = child;
        }
        auto* target = static_cast<QWidget*>(receiver);
        const QEvent::Type type = msg == WM_MOUSEMOVE                               ? QEvent::MouseMove
                                  : (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) ? QEvent::MouseButtonPress
                                  : msg == WM_LBUTTONDBLCLK                          ? QEvent::MouseButtonDblClick
                                                                                     : QEvent::MouseButtonRelease;
        const Qt::MouseButton button = msg == WM_MOUSEMOVE                            ? Qt::NoButton
                                       : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? Qt::RightButton
                                                                                        : Qt::LeftButton;
        Qt::MouseButtons buttons;
        if (wParam & MK_LBUTTON)
            buttons |= Qt::LeftButton;
        if (wParam & MK_RBUTTON)
            buttons |= Qt::RightButton;
        event = std::make_unique<QMouseEvent>(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button,
                                              buttons, modifiers);
        break;
    }
    default:
        return false;
    }
    g_pending.push_back({&window, msg, msg, wParam, receiver, event.get(), false, true});
    const std::size_t depth = g_pending.size();
    SendNative(receiver, event.get());
    if (g_pending.size() >= depth)
        g_pending.resize(depth - 1);
    return true;
}

}  // namespace

void TWindowBridge::Attach(TWindow& window)
{
    WatchSource(window.GetWidget(), window.GetHandle(), false);
    WatchSource(window.GetClientWidget(), window.GetHandle(), false);
}

void TWindowBridge::AddEventSource(TWindow& window, QWidget* source, bool propagate)
{
    WatchSource(source, window.GetHandle(), propagate);
}

void TWindowBridge::Detach(TWindow& window)
{
    const HWND hwnd = window.GetHandle();
    for (auto it = g_sources.begin(); it != g_sources.end();) {
        if (it->hwnd == hwnd) {
            const_cast<QObject*>(it.key())->removeEventFilter(&TheFilter());
            it = g_sources.erase(it);
        } else {
            ++it;
        }
    }
    if (g_lastFocusLost == hwnd)
        g_lastFocusLost = nullptr;
    if (g_focused == hwnd)
        g_focused = nullptr;
}

TWindow* TWindowBridge::WindowFor(const QObject* object)
{
    for (const QObject* o = object; o; o = o->parent()) {
        const auto it = g_sources.constFind(o);
        if (it != g_sources.constEnd())
            return GetWindowPtr(it->hwnd);
    }
    return nullptr;
}

bool TWindowBridge::DeliverNative(TWindow& window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (auto it = g_pending.rbegin(); it != g_pending.rend(); ++it) {
        if (it->window != &window || it->translated != msg)
            continue;
        if (it->delivered)
            return true;
        if (it->native == msg && it->wParam == wParam) {
            it->delivered = true;
            QObject* receiver = it->receiver;
            QEvent* event = it->event;
            SendNative(receiver, event);
            return true;
        }
        if (it->native == 0 || it->native != msg)
            return true;  // delivered with another message, or not at all
        break;            // the handler changed the message: make up its own event
    }
    return Synthesize(window, msg, wParam, lParam);
}

QPaintEvent* TWindowBridge::PendingPaint(TWindow& window)
{
    for (auto it = g_pending.rbegin(); it != g_pending.rend(); ++it) {
        if (it->window == &window && it->translated == WM_PAINT && it->event->type() == QEvent::Paint)
            return static_cast<QPaintEvent*>(it->event);
    }
    return nullptr;
}

void TWindowBridge::PrepareNativePaint(TWindow& window)
{
    if (window.PaintsNatively())
        window.PrepareNativePaint();
}

bool TWindowBridge::PreProcess(TWindow& target, MSG& msg)
{
    std::vector<std::pair<TWindow*, std::shared_ptr<bool>>> chain;
    for (TWindow* w = &target; w; w = w->parent_)
        chain.emplace_back(w, w->alive_);
    for (auto& [w, alive] : chain) {
        if (!*alive)
            return true;
        if (w->PreProcessMsg(msg))
            return true;
    }
    return false;
}

Qt::KeyboardModifiers TWindowBridge::CurrentModifiers()
{
    return g_modifiers;
}

Qt::MouseButtons TWindowBridge::CurrentButtons()
{
    return g_buttons;
}

UINT TWindowBridge::MouseKeyState()
{
    UINT state = 0;
    if (g_buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (g_buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (g_buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (g_modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (g_modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    return state;
}

TPoint TWindowBridge::CursorPos()
{
    return {g_cursorPos.x(), g_cursorPos.y()};
}

void TWindowBridge::SetCursorPos(TPoint point)
{
    g_cursorPos = QPoint(point.x, point.y);
}

HWND TWindowBridge::Capture()
{
    return IsWindow(g_capture) ? g_capture : nullptr;
}

void TWindowBridge::SetCapture(HWND hwnd)
{
    g_capture = hwnd;
}

// ---------------------------------------------------------------- keys

namespace {

struct KeyPair {
    int qt;
    UINT vk;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},     {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},     {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},     {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},     {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},         {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE}, {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},    {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Slash, VK_DIVIDE},
};

}  // namespace

UINT VirtualKeyFromQt(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<UINT>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<UINT>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(qtKey - Qt::Key_F1);
    for (const KeyPair& k : kKeys) {
        if (k.qt == qtKey)
            return k.vk;
    }
    return 0;
}

int QtKeyFromVirtualKey(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    for (const KeyPair& k : kKeys) {
        if (k.vk == vk)
            return k.qt;
    }
    return Qt::Key_unknown;
}
