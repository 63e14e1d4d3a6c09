// The test driver's part for frames, bars, pop-up menus and the common
// dialogs.

#include "platform/gdi/printer.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/mdi_child.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/testing/test_driver.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

void DragOn(QWidget* target, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    // The mouse comes to the point before the button goes down, as a hand moves it.
    SendMouse(target, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, modifiers);
    SendMouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    SendMouse(target, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton, modifiers);
    SendMouse(target, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
    SendMouse(target, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
}

QAction* SystemMenuAction(TMDIChild& child, UINT command)
{
    QMdiSubWindow* sub = child.GetSubWindow();
    if (!sub || !sub->systemMenu())
        return nullptr;
    for (QAction* action : sub->systemMenu()->actions()) {
        if (!action->isSeparator() && action->data().toUInt() == command)
            return action;
    }
    return nullptr;
}

// A caption as the engineer reads it: without its mnemonic marker and
// without the shortcut after a tab.
QString ReadableCaption(std::string_view caption)
{
    return StripMnemonic(ToQString(caption.substr(0, caption.find('\t'))));
}

// The position of the item (or sub-menu) with the caption, -1 when none has it.
int FindMenuCaption(const TMenu& menu, std::string_view caption)
{
    const QString wanted = ReadableCaption(caption);
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        const UINT state = menu.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        if (!(state & MF_SEPARATOR) && ReadableCaption(menu.GetMenuString(static_cast<UINT>(i), MF_BYPOSITION)) == wanted)
            return i;
    }
    return -1;
}

}  // namespace

void TTestDriver::DragFrame(TWindow& window, TPoint from, TPoint to)
{
    QWidget* widget = window.GetWidget();
    if (!widget) {
        ADD_FAILURE() << "the window has no widget to drag";
        return;
    }
    Activate(window);
    DragOn(widget, QPoint(from.x, from.y), QPoint(to.x, to.y), {});
    ProcessEvents();
}

void TTestDriver::HoverFrame(TWindow& window, TPoint point)
{
    QWidget* widget = window.GetWidget();
    if (!widget) {
        ADD_FAILURE() << "the window has no widget to move over";
        return;
    }
    SendMouse(widget, QEvent::MouseMove, QPoint(point.x, point.y), Qt::NoButton, Qt::NoButton);
    ProcessEvents();
}

void TTestDriver::Drag(TWindow& window, TPoint from, TPoint to, UINT keys)
{
    QWidget* client = window.GetClientWidget();
    if (!client) {
        ADD_FAILURE() << "the window has no widget to drag";
        return;
    }
    Activate(window);
    // The press lands on the window under the point; the rest follows it.
    QWidget* target = client;
    QPoint offset;
    if (QWidget* hit = client->childAt(QPoint(from.x, from.y)); hit && hit->isVisible()) {
        target = hit;
        offset = hit->mapFrom(client, QPoint(0, 0));
    }
    Qt::KeyboardModifiers modifiers;
    if (keys & MK_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (keys & MK_CONTROL)
        modifiers |= Qt::ControlModifier;
    DragOn(target, QPoint(from.x, from.y) + offset, QPoint(to.x, to.y) + offset, modifiers);
    ProcessEvents();
}

UINT TTestDriver::SystemMenuItemState(TMDIChild& child, UINT command)
{
    QMdiSubWindow* sub = child.GetSubWindow();
    if (!sub) {
        ADD_FAILURE() << "the MDI child has no window";
        return static_cast<UINT>(-1);
    }
    Activate(child);
    sub->showSystemMenu();
    ProcessEvents();
    QAction* action = SystemMenuAction(child, command);
    const UINT state = !action ? static_cast<UINT>(-1) : action->isEnabled() ? 0 : MF_GRAYED;
    if (!action)
        ADD_FAILURE() << "the system menu has no item " << command;
    if (sub->systemMenu())
        sub->systemMenu()->hide();
    ProcessEvents();
    return state;
}

bool TTestDriver::ChooseSystemMenuItem(TMDIChild& child, UINT command)
{
    QMdiSubWindow* sub = child.GetSubWindow();
    if (!sub)
        return false;
    Activate(child);
    sub->showSystemMenu();
    ProcessEvents();
    QAction* action = SystemMenuAction(child, command);
    const bool enabled = action && action->isEnabled();
    if (sub->systemMenu())
        sub->systemMenu()->hide();
    if (enabled)
        action->trigger();
    ProcessEvents();
    return enabled;
}

void TTestDriver::HoverMenuItem(TWindow& frame, UINT id)
{
    int position = -1;
    TMenu* popup = OpenPopupWith(frame, id, position);
    if (!popup)
        return;
    QMenu* menu = popup->GetQMenu();
    const QRect item = menu->actionGeometry(popup->GetAction(position));
    SendMouse(menu, QEvent::MouseMove, item.topLeft() + QPoint(2, 2), Qt::NoButton, Qt::NoButton);
    SendMouse(menu, QEvent::MouseMove, item.center(), Qt::NoButton, Qt::NoButton);
    ProcessEvents();
}

void TTestDriver::CloseMenus()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible())
            menu->hide();
    }
    ProcessEvents();
}

void TTestDriver::AnswerPopupMenu(UINT id)
{
    popupAnswers_.push_back({id, {}});
}

void TTestDriver::AnswerPopupMenu(std::vector<std::string> captions)
{
    popupAnswers_.push_back({0, std::move(captions)});
}

void TTestDriver::AnswerPopup(TMenu& menu, const PopupAnswer& answer)
{
    // The menus opened so far, the tracked one first; a failed answer closes them all.
    std::vector<QMenu*> open{menu.GetQMenu()};
    const auto closeAll = [&open] {
        QTest::keyClick(open.back(), Qt::Key_Escape);
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if ((*it)->isVisible())
                (*it)->hide();
        }
    };
    std::string named;
    TMenu* holder = &menu;
    int position = -1;
    if (answer.captions.empty()) {
        named = std::to_string(answer.id);
        if (answer.id == 0 || menu.FindCommand(answer.id, &position) != &menu) {
            if (answer.id != 0)
                ADD_FAILURE() << "the pop-up menu has no item " << answer.id << " of its own";
            closeAll();
            return;
        }
    } else {
        for (std::size_t i = 0; i < answer.captions.size(); ++i) {
            named += (i ? " > \"" : "\"") + answer.captions[i] + "\"";
            position = FindMenuCaption(*holder, answer.captions[i]);
            if (position < 0) {
                ADD_FAILURE() << "the pop-up menu has no item " << named;
                closeAll();
                return;
            }
            TMenu* sub = holder->GetSubMenu(position);
            if (i + 1 == answer.captions.size()) {
                if (sub) {
                    ADD_FAILURE() << "pop-up menu item " << named << " opens a sub-menu; name an item in it";
                    closeAll();
                    return;
                }
                break;
            }
            if (!sub) {
                ADD_FAILURE() << "pop-up menu item " << named << " opens no sub-menu";
                closeAll();
                return;
            }
            QAction* cascade = holder->GetAction(position);
            if (!cascade->isEnabled()) {
                ADD_FAILURE() << "pop-up menu item " << named << " is greyed";
                closeAll();
                return;
            }
            // Onto the item and a click on it: the sub-menu opens beside it.
            QMenu* shown = holder->GetQMenu();
            const QPoint at = shown->actionGeometry(cascade).center();
            SendMouse(shown, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
            SendMouse(shown, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            SendMouse(shown, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            QMenu* opened = sub->GetQMenu();
            if (!QTest::qWaitFor([opened] { return opened->isVisible(); }, 2000)) {
                ADD_FAILURE() << "pop-up menu item " << named << " did not open its sub-menu";
                closeAll();
                return;
            }
            open.push_back(opened);
            holder = sub;
        }
    }
    QMenu* shown = holder->GetQMenu();
    QAction* action = holder->GetAction(position);
    if (!action->isEnabled())
        ADD_FAILURE() << "pop-up menu item " << named << " is greyed";
    const QPoint at = shown->actionGeometry(action).center();
    SendMouse(shown, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    SendMouse(shown, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(shown, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if ((*it)->isVisible())
            (*it)->hide();
    }
}

void TTestDriver::AnswerFileDialog(std::string name)
{
    fileAnswers_.emplace_back(std::move(name));
}

void TTestDriver::CancelFileDialog()
{
    fileAnswers_.emplace_back(std::nullopt);
}

void TTestDriver::AnswerPrintDialog(bool ok)
{
    printAnswers_.push_back(ok);
}

void TTestDriver::Idle(TWindow& window)
{
    window.IdleAction(0);
    ProcessEvents();
}

void TTestDriver::InstallFrameHooks()
{
    SetPopupMenuHook([this](TMenu& menu) {
        if (popupAnswers_.empty()) {
            ADD_FAILURE() << "unexpected pop-up menu";
            menu.GetQMenu()->hide();
            return;
        }
        const PopupAnswer answer = popupAnswers_.front();
        popupAnswers_.pop_front();
        AnswerPopup(menu, answer);
    });
    TPrinter::SetDialogHook([this](QDialog& dialog) {
        if (printAnswers_.empty()) {
            ADD_FAILURE() << "unexpected print dialog \"" << dialog.windowTitle().toStdString() << "\"";
            return static_cast<int>(QDialog::Rejected);
        }
        const bool ok = printAnswers_.front();
        printAnswers_.pop_front();
        return static_cast<int>(ok ? QDialog::Accepted : QDialog::Rejected);
    });
    SetFileDialogHook([this](QFileDialog& dialog) {
        ShownFileDialog shown;
        shown.title = dialog.windowTitle().toStdString();
        shown.prompt = dialog.labelText(QFileDialog::LookIn).toStdString();
        const QStringList filters = dialog.nameFilters();
        for (const QString& f : filters)
            shown.filters.push_back(f.toStdString());
        if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            shown.filterIndex = types->currentIndex() + 1;
        shown.save = dialog.acceptMode() == QFileDialog::AcceptSave;
        shown.folder = dialog.directory().absolutePath().toStdString();
        if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            shown.name = edit->text().toStdString();
        fileDialogs_.push_back(shown);
        while (dialog.isVisible()) {
            if (fileAnswers_.empty()) {
                ADD_FAILURE() << "unexpected file dialog \"" << dialog.windowTitle().toStdString() << "\"";
                dialog.reject();
                return;
            }
            const std::optional<std::string> answer = fileAnswers_.front();
            fileAnswers_.pop_front();
            auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            if (!answer) {
                QPushButton* cancel = buttons ? buttons->button(QDialogButtonBox::Cancel) : nullptr;
                if (cancel)
                    QTest::mouseClick(cancel, Qt::LeftButton);
                else
                    dialog.reject();
                continue;
            }
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit || !buttons) {
                ADD_FAILURE() << "the file dialog has no name field";
                dialog.reject();
                return;
            }
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, QString::fromLatin1(answer->c_str()));
            QCoreApplication::processEvents();
            // A file the dialog started with can stay chosen in its list
            // beside the name typed (its file list loads late offscreen):
            // the name typed is the answer.
            const QStringList chosen = dialog.selectedFiles();
            const QString typed = QString::fromLatin1(answer->c_str());
            if (edit->text() != typed || chosen.size() != 1 ||
                QFileInfo(chosen.front()).fileName() != QFileInfo(typed).fileName()) {
                dialog.selectFile(typed);
                edit->setText(typed);
            }
            QPushButton* accept = buttons->button(dialog.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                                                : QDialogButtonBox::Open);
            if (!accept) {
                ADD_FAILURE() << "the file dialog has no accept button";
                dialog.reject();
                return;
            }
            QTest::mouseClick(accept, Qt::LeftButton);
            QCoreApplication::processEvents();
        }
    });
}

void TTestDriver::RemoveFrameHooks()
{
    SetPopupMenuHook(nullptr);
    SetFileDialogHook(nullptr);
    TPrinter::SetDialogHook(nullptr);
    if (!printAnswers_.empty())
        ADD_FAILURE() << printAnswers_.size() << " answer(s) to print dialogs were never used";
    if (!popupAnswers_.empty())
        ADD_FAILURE() << popupAnswers_.size() << " answer(s) to pop-up menus were never used";
    if (!fileAnswers_.empty())
        ADD_FAILURE() << fileAnswers_.size() << " answer(s) to file dialogs were never used";
}
