#include "platform/ui/testing/test_driver.h"

#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/message_box.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/timer.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

Qt::KeyboardModifiers Modifiers(UINT keys)
{
    Qt::KeyboardModifiers mods;
    if (keys & MK_SHIFT)
        mods |= Qt::ShiftModifier;
    if (keys & MK_CONTROL)
        mods |= Qt::ControlModifier;
    if (keys & MK_ALT)
        mods |= Qt::AltModifier;
    return mods;
}

// The widget a click at `point` of the window's client area lands on, with
// the point in its coordinates.
QWidget* WidgetAt(TWindow& window, TPoint point, QPoint& local)
{
    QWidget* client = window.GetClientWidget();
    const QPoint p(point.x, point.y);
    QWidget* hit = client->childAt(p);
    if (!hit || !TWindowBridge::WindowFor(hit)) {
        local = p;
        return client;
    }
    local = hit->mapFrom(client, p);
    return hit;
}

// Where a person clicks a control: the middle, or a check box's box.
QPoint ClickPoint(QWidget* widget)
{
    QStyle::SubElement element = QStyle::SE_CustomBase;
    if (qobject_cast<QRadioButton*>(widget))
        element = QStyle::SE_RadioButtonIndicator;
    else if (qobject_cast<QCheckBox*>(widget))
        element = QStyle::SE_CheckBoxIndicator;
    if (element != QStyle::SE_CustomBase) {
        QStyleOptionButton option;
        option.initFrom(widget);
        return widget->style()->subElementRect(element, &option, widget).center();
    }
    return widget->rect().center();
}

// A double click as the system reports it: down, up, double click, up.
void DoubleClick(QWidget* target, QPoint point, Qt::KeyboardModifiers mods)
{
    QTest::mousePress(target, Qt::LeftButton, mods, point);
    QTest::mouseRelease(target, Qt::LeftButton, mods, point);
    QTest::mouseDClick(target, Qt::LeftButton, mods, point);
    QTest::mouseRelease(target, Qt::LeftButton, mods, point);
}

}  // namespace

TTestDriver::TTestDriver() : beepsAtStart_(MessageBeepHistory().size())
{
    SetModalHook([this](TWindow& modal) { OnModal(modal); });
    InstallFrameHooks();
}

TTestDriver::~TTestDriver()
{
    SetModalHook(nullptr);
    RemoveFrameHooks();
    if (!expected_.empty())
        ADD_FAILURE() << expected_.size() << " scripted answer(s) to modal windows were never used";
}

void TTestDriver::ProcessEvents()
{
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (PostedMessageCount() == 0 && round > 0)
            break;
    }
}

void TTestDriver::Activate(TWindow& window)
{
    QWidget* top = window.GetTopLevel()->GetWidget();
    if (!top)
        return;
    if (!top->isVisible())
        top->show();
    if (QApplication::activeWindow() != top->window()) {
        top->activateWindow();
        QApplication::setActiveWindow(top->window());
    }
    QCoreApplication::processEvents();
}

void TTestDriver::Show(TWindow& window)
{
    if (!window.IsWindow())
        window.Create();
    window.ShowWindow(SW_SHOW);
    Activate(window);
    ProcessEvents();
}

TWindow* TTestDriver::Control(TWindow& parent, int id)
{
    TWindow* control = parent.ChildWithId(id);
    if (!control || !control->IsWindow())
        ADD_FAILURE() << "no control " << id << " in window \"" << parent.GetCaption() << "\"";
    return control && control->IsWindow() ? control : nullptr;
}

void TTestDriver::Focus(TWindow& parent, int id)
{
    TWindow* control = Control(parent, id);
    if (!control)
        return;
    Activate(parent);
    control->GetWidget()->setFocus(Qt::MouseFocusReason);
    ProcessEvents();
}

QWidget* TTestDriver::KeyTarget()
{
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

void TTestDriver::SendChar(QWidget* target, char c)
{
    const auto uc = static_cast<unsigned char>(c);
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods;
    QString text(QChar(static_cast<char16_t>(uc)));
    if (uc == '\r' || uc == '\n') {
        key = Qt::Key_Return;
        text = QStringLiteral("\r");
    } else if (uc == '\t') {
        key = Qt::Key_Tab;
    } else if (uc == '\b') {
        key = Qt::Key_Backspace;
    } else if (uc >= 'a' && uc <= 'z') {
        key = static_cast<Qt::Key>(Qt::Key_A + (uc - 'a'));
    } else if (uc >= 'A' && uc <= 'Z') {
        key = static_cast<Qt::Key>(Qt::Key_A + (uc - 'A'));
        mods = Qt::ShiftModifier;
    } else {
        // Punctuation, digits and Latin-1 letters have Qt key codes equal to their characters.
        key = static_cast<Qt::Key>(uc);
    }
    QTest::sendKeyEvent(QTest::Click, target, key, text, mods);
}

void TTestDriver::Type(TWindow& parent, int id, std::string_view text)
{
    Focus(parent, id);
    TypeKeys(text);
}

void TTestDriver::TypeKeys(std::string_view text)
{
    for (char c : text) {
        if (QWidget* target = KeyTarget())
            SendChar(target, c);
        ProcessEvents();
    }
}

void TTestDriver::PressKey(UINT virtualKey, UINT keys)
{
    QWidget* target = KeyTarget();
    if (!target) {
        ADD_FAILURE() << "no window has the focus for key " << virtualKey;
        return;
    }
    Qt::KeyboardModifiers mods = Modifiers(keys);
    auto key = static_cast<Qt::Key>(QtKeyFromVirtualKey(virtualKey));
    QString text;
    switch (virtualKey) {
    case VK_RETURN:
        text = QStringLiteral("\r");
        break;
    case VK_TAB:
        text = QStringLiteral("\t");
        if (mods & Qt::ShiftModifier)
            key = Qt::Key_Backtab;
        break;
    case VK_ESCAPE:
        text = QString(QChar(27));
        break;
    case VK_BACK:
        text = QStringLiteral("\b");
        break;
    case VK_SPACE:
        text = QStringLiteral(" ");
        break;
    default:
        if (virtualKey >= 'A' && virtualKey <= 'Z') {
            // Ctrl with a letter types its control character.
            text = (mods & Qt::ControlModifier) ? QString(QChar(static_cast<char16_t>(virtualKey - 'A' + 1)))
                   : (mods & Qt::ShiftModifier) ? QString(QChar(static_cast<char16_t>(virtualKey)))
                                                 : QString(QChar(static_cast<char16_t>(virtualKey - 'A' + 'a')));
        } else if (virtualKey >= '0' && virtualKey <= '9') {
            text = QString(QChar(static_cast<char16_t>(virtualKey)));
        }
        break;
    }
    QTest::sendKeyEvent(QTest::Click, target, key, text, mods);
    ProcessEvents();
}

void TTestDriver::Click(TWindow& parent, int id, UINT keys)
{
    TWindow* control = Control(parent, id);
    if (!control)
        return;
    Activate(parent);
    QWidget* widget = control->GetWidget();
    QTest::mouseClick(widget, Qt::LeftButton, Modifiers(keys), ClickPoint(widget));
    ProcessEvents();
}

void TTestDriver::AtPoint(TWindow& window, TPoint point, const std::function<void(QWidget*, QPoint)>& act)
{
    Activate(window);
    QPoint local;
    QWidget* target = WidgetAt(window, point, local);
    act(target, local);
    ProcessEvents();
}

void TTestDriver::ClickAt(TWindow& window, TPoint point, UINT keys)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { QTest::mouseClick(w, Qt::LeftButton, Modifiers(keys), p); });
}

void TTestDriver::DoubleClickAt(TWindow& window, TPoint point, UINT keys)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { DoubleClick(w, p, Modifiers(keys)); });
}

void TTestDriver::RightClickAt(TWindow& window, TPoint point, UINT keys)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { QTest::mouseClick(w, Qt::RightButton, Modifiers(keys), p); });
}

void TTestDriver::MouseDown(TWindow& window, TPoint point, UINT keys)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { QTest::mousePress(w, Qt::LeftButton, Modifiers(keys), p); });
}

void TTestDriver::MouseMove(TWindow& window, TPoint point, UINT /*keys*/)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { QTest::mouseMove(w, p); });
}

void TTestDriver::MouseUp(TWindow& window, TPoint point, UINT keys)
{
    AtPoint(window, point, [&](QWidget* w, QPoint p) { QTest::mouseRelease(w, Qt::LeftButton, Modifiers(keys), p); });
}

void TTestDriver::SelectComboItem(TWindow& parent, int id, int index)
{
    auto* combo = dynamic_cast<TComboBox*>(Control(parent, id));
    if (!combo) {
        ADD_FAILURE() << "control " << id << " is no combo box";
        return;
    }
    if (index < 0 || index >= combo->GetCount()) {
        ADD_FAILURE() << "combo box " << id << " has no item " << index;
        return;
    }
    auto* box = qobject_cast<QComboBox*>(combo->GetWidget());
    Activate(parent);
    if (!combo->GetDroppedState()) {
        // A click opens a drop-down list; an edit field's list opens with F4.
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        ProcessEvents();
        if (!combo->GetDroppedState()) {
            QTest::keyClick(box, Qt::Key_F4);
            ProcessEvents();
        }
    }
    QAbstractItemView* view = box->view();
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ProcessEvents();
}

void TTestDriver::SelectComboItem(TWindow& parent, int id, std::string_view text)
{
    auto* combo = dynamic_cast<TComboBox*>(Control(parent, id));
    if (!combo)
        return;
    const int index = combo->FindExactString(std::string(text).c_str(), -1);
    if (index < 0) {
        ADD_FAILURE() << "combo box " << id << " has no item \"" << text << "\"";
        return;
    }
    SelectComboItem(parent, id, index);
}

void TTestDriver::OpenAndCancelCombo(TWindow& parent, int id)
{
    auto* combo = dynamic_cast<TComboBox*>(Control(parent, id));
    if (!combo)
        return;
    auto* box = qobject_cast<QComboBox*>(combo->GetWidget());
    Activate(parent);
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    ProcessEvents();
    QTest::keyClick(box->view(), Qt::Key_Escape);
    ProcessEvents();
}

QListWidget* TTestDriver::ShowListItem(TWindow& parent, int id, int index, QPoint& centre)
{
    TWindow* control = Control(parent, id);
    auto* list = qobject_cast<QListWidget*>(control ? control->GetWidget() : nullptr);
    if (!list || index < 0 || index >= list->count()) {
        ADD_FAILURE() << "list box " << id << " has no item " << index;
        return nullptr;
    }
    Activate(parent);
    list->scrollToItem(list->item(index));
    centre = list->visualItemRect(list->item(index)).center();
    return list;
}

void TTestDriver::ClickListItem(TWindow& parent, int id, int index, UINT keys)
{
    QPoint centre;
    if (QListWidget* list = ShowListItem(parent, id, index, centre)) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Modifiers(keys), centre);
        ProcessEvents();
    }
}

void TTestDriver::DoubleClickListItem(TWindow& parent, int id, int index)
{
    QPoint centre;
    if (QListWidget* list = ShowListItem(parent, id, index, centre)) {
        DoubleClick(list->viewport(), centre, {});
        ProcessEvents();
    }
}

void TTestDriver::CloseBox(TWindow& window)
{
    if (QWidget* top = window.GetTopLevel()->GetWidget())
        top->close();
    ProcessEvents();
}

TMenu* TTestDriver::MenuOf(TWindow& window)
{
    if (auto* frame = dynamic_cast<TFrameWindow*>(&window))
        return frame->GetMenu();
    if (auto* dialog = dynamic_cast<TDialog*>(&window))
        return dialog->GetMenu();
    return nullptr;
}

TMenu* TTestDriver::OpenMenuPopup(TWindow& window, int position)
{
    TMenu* bar = MenuOf(window);
    TMenu* popup = bar ? bar->GetSubMenu(position) : nullptr;
    if (!popup) {
        ADD_FAILURE() << "the menu bar has no pop-up at " << position;
        return nullptr;
    }
    Activate(window);
    popup->GetQMenu()->popup(QPoint(0, 0));
    ProcessEvents();
    popup->GetQMenu()->hide();
    ProcessEvents();
    return popup;
}

TMenu* TTestDriver::OpenPopupWith(TWindow& frame, UINT id, int& position)
{
    position = -1;
    TMenu* popup = MenuOf(frame) ? MenuOf(frame)->FindCommand(id, &position) : nullptr;
    if (!popup) {
        ADD_FAILURE() << "the menu has no command " << id;
        return nullptr;
    }
    Activate(frame);
    popup->GetQMenu()->popup(QPoint(0, 0));
    ProcessEvents();
    return popup;
}

UINT TTestDriver::OpenMenuItem(TWindow& frame, UINT id)
{
    int position = -1;
    TMenu* popup = OpenPopupWith(frame, id, position);
    if (!popup)
        return static_cast<UINT>(-1);
    const UINT state = popup->GetMenuState(static_cast<UINT>(position), MF_BYPOSITION);
    popup->GetQMenu()->hide();
    ProcessEvents();
    return state;
}

std::string TTestDriver::MenuItemText(TWindow& frame, UINT id)
{
    OpenMenuItem(frame, id);
    return MenuOf(frame) ? MenuOf(frame)->GetMenuString(id, MF_BYCOMMAND) : std::string();
}

bool TTestDriver::ChooseMenuItem(TWindow& frame, UINT id)
{
    int position = -1;
    TMenu* popup = OpenPopupWith(frame, id, position);
    if (!popup)
        return false;
    QAction* action = popup->GetAction(position);
    const bool enabled = action && action->isEnabled();
    popup->GetQMenu()->hide();
    if (enabled)
        action->trigger();
    ProcessEvents();
    return enabled;
}

void TTestDriver::OnNextDialog(std::function<void(TDialog& dialog)> script)
{
    expected_.push_back({false, 0, std::move(script), {}});
}

void TTestDriver::AnswerMessageBox(int button)
{
    expected_.push_back({true, button, {}, {}});
}

void TTestDriver::OnNextMessageBox(std::function<void(TMessageBox& box)> script)
{
    expected_.push_back({true, 0, {}, std::move(script)});
}

void TTestDriver::OnModal(TWindow& modal)
{
    auto* dialog = dynamic_cast<TDialog*>(&modal);
    auto* box = dynamic_cast<TMessageBox*>(&modal);
    if (!dialog)
        return;
    Activate(modal);
    const HWND handle = modal.GetHandle();
    if (box)
        shown_.push_back({box->GetText(), box->GetBoxCaption(), box->GetFlags(), 0});
    auto giveUp = [&](const std::string& why) {
        ADD_FAILURE() << why;
        if (IsWindow(handle) && dialog->IsExecuting())
            dialog->Destroy(IDCANCEL);
    };
    const std::string what = box ? "message box \"" + box->GetText() + "\"" : "dialog \"" + modal.GetCaption() + "\"";
    if (expected_.empty()) {
        giveUp("unexpected " + what);
        return;
    }
    Expected next = std::move(expected_.front());
    expected_.pop_front();
    if (box) {
        if (!next.messageBox) {
            giveUp(what + " came where a dialog was expected");
            return;
        }
        if (next.boxScript) {
            next.boxScript(*box);
            if (IsWindow(handle) && box->IsExecuting())
                giveUp("the script left " + what + " open");
            return;
        }
        shown_.back().answer = next.answer;
        if (!box->GetDlgItem(next.answer)) {
            giveUp(what + " has no button " + std::to_string(next.answer));
            return;
        }
        Click(*box, next.answer);
        if (IsWindow(handle) && box->IsExecuting())
            giveUp(what + " did not close when its button was clicked");
        return;
    }
    if (next.messageBox) {
        giveUp(what + " came where a message box was expected");
        return;
    }
    next.script(*dialog);
    if (IsWindow(handle) && dialog->IsExecuting())
        giveUp("the script left " + what + " open");
}

void TTestDriver::AdvanceTime(long ms)
{
    TimerTesting::AdvanceVirtualTime(ms);
    ProcessEvents();
}

QImage TTestDriver::Grab(TWindow& window)
{
    ProcessEvents();
    QWidget* widget = window.GetWidget();
    return widget ? widget->grab().toImage() : QImage();
}

int TTestDriver::BeepCount() const
{
    return static_cast<int>(MessageBeepHistory().size() - beepsAtStart_);
}
