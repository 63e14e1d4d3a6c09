#pragma once
// The headless test driver: UI tests drive windows through it as a person
// does, so the same messages and notifications fire as in real use. It
// types into controls, clicks buttons, list items and menu items, picks
// combo box entries from the opened list, presses keys, answers modal
// dialogs and message boxes by script, records what every message box said,
// moves the virtual clock of the window timers and grabs a window's pixels.
//
//   TTestDriver driver;
//   TMyDialog dialog(nullptr);
//   driver.OnNextDialog([&](TDialog& d) {
//       driver.Type(d, IDC_NAME, "PUMP_1");
//       driver.Click(d, IDOK);
//   });
//   EXPECT_EQ(dialog.Execute(), IDOK);
//
// A modal dialog or message box that no script expects fails the test and
// is cancelled, so a test never hangs on one.

#include "platform/ui/dialog.h"
#include "platform/ui/frame_window.h"

#include <QImage>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QListWidget;
class QPoint;
class QWidget;
class TMDIChild;
class TMessageBox;

class TTestDriver {
public:
    struct ShownMessageBox {
        std::string text;
        std::string caption;
        UINT flags = 0;
        int answer = 0;
    };

    TTestDriver();
    ~TTestDriver();
    TTestDriver(const TTestDriver&) = delete;
    TTestDriver& operator=(const TTestDriver&) = delete;

    // Delivers what is pending: posted messages, queued calls, deferred deletions.
    void ProcessEvents();
    // Shows a top-level window (creating it first if need be) and makes it active.
    void Show(TWindow& window);

    // ------------------------------------------------------------ controls
    // The control with `id` in `parent` (a test failure when there is none).
    TWindow* Control(TWindow& parent, int id);
    // Puts the keyboard focus on the control, as clicking into it does.
    void Focus(TWindow& parent, int id);
    // Focuses the control and types `text` character by character.
    void Type(TWindow& parent, int id, std::string_view text);
    // Types into the window that has the focus.
    void TypeKeys(std::string_view text);
    // Presses and releases a key (VK_...) in the window that has the focus;
    // `keys` holds MK_SHIFT, MK_CONTROL and MK_ALT.
    void PressKey(UINT virtualKey, UINT keys = 0);
    // Left click at the middle of the control (at `point` of a window's client area).
    void Click(TWindow& parent, int id, UINT keys = 0);
    void ClickAt(TWindow& window, TPoint point, UINT keys = 0);
    void DoubleClickAt(TWindow& window, TPoint point, UINT keys = 0);
    void RightClickAt(TWindow& window, TPoint point, UINT keys = 0);
    void MouseDown(TWindow& window, TPoint point, UINT keys = 0);
    void MouseMove(TWindow& window, TPoint point, UINT keys = 0);
    void MouseUp(TWindow& window, TPoint point, UINT keys = 0);
    // Opens a combo box's list by clicking it, walks to the entry with the
    // arrow keys and takes it with Enter.
    void SelectComboItem(TWindow& parent, int id, int index);
    void SelectComboItem(TWindow& parent, int id, std::string_view text);
    // Opens a combo box's list and closes it again with Escape.
    void OpenAndCancelCombo(TWindow& parent, int id);
    // Clicks (or double-clicks) an item of a list box; `keys` adds Shift or Ctrl.
    void ClickListItem(TWindow& parent, int id, int index, UINT keys = 0);
    void DoubleClickListItem(TWindow& parent, int id, int index);
    // The close box of a top-level window.
    void CloseBox(TWindow& window);

    // ------------------------------------------------------------ menus
    // The menu bar of a frame or of a dialog with a menu (menu helpers take either).
    static TMenu* MenuOf(TWindow& window);
    // Opens pop-up `position` of the menu bar (the owner hears
    // WM_INITMENUPOPUP, a frame's enablers run), closes it again and answers it.
    TMenu* OpenMenuPopup(TWindow& window, int position);
    // Opens the pop-up that holds command `id` (its enablers run) and answers the item's state.
    UINT OpenMenuItem(TWindow& frame, UINT id);
    std::string MenuItemText(TWindow& frame, UINT id);
    // Opens the pop-up and chooses the item; false when it is greyed.
    bool ChooseMenuItem(TWindow& frame, UINT id);

    // ------------------------------------------------------------ modal windows
    // The next modal dialog (not a message box) is handed to `script`, which
    // must end it.
    void OnNextDialog(std::function<void(TDialog& dialog)> script);
    // The next message box is answered by clicking `button`.
    void AnswerMessageBox(int button);
    // The next message box is handed to `script` (to answer it with keys, say).
    void OnNextMessageBox(std::function<void(TMessageBox& box)> script);
    const std::vector<ShownMessageBox>& MessageBoxes() const { return shown_; }
    // Scripts and answers not yet used.
    int PendingAnswers() const { return static_cast<int>(expected_.size()); }

    // ------------------------------------------------------------ time, pixels, sound
    void AdvanceTime(long ms);
    QImage Grab(TWindow& window);
    int BeepCount() const;

    // ------------------------------------------------------------ frames, bars, common dialogs
    // (test_driver_frames.cpp)
    // Drags with the left button held, from `from` to `to` in the coordinates
    // of the window's whole widget (its frame and caption included).
    void DragFrame(TWindow& window, TPoint from, TPoint to);
    // Moves the mouse, no button held, to `point` of the window's whole
    // widget (over its frame or caption).
    void HoverFrame(TWindow& window, TPoint point);
    // Drags within a window's client area; `to` may lie outside the window.
    void Drag(TWindow& window, TPoint from, TPoint to, UINT keys = 0);
    // Opens an MDI child's system menu (its WM_INITMENU runs), answers the
    // item's state (MF_GRAYED or 0) as shown, and closes the menu.
    UINT SystemMenuItemState(TMDIChild& child, UINT command);
    // Opens the system menu and chooses the item; false when it is greyed.
    bool ChooseSystemMenuItem(TMDIChild& child, UINT command);
    // Opens the pop-up that holds command `id` and moves the mouse onto the
    // item, leaving the menu open (a frame shows the item's hint).
    void HoverMenuItem(TWindow& frame, UINT id);
    // Closes every open pop-up menu.
    void CloseMenus();
    // The next tracked pop-up menu is answered by clicking the item `id`
    // (0: the menu is closed with Escape).
    void AnswerPopupMenu(UINT id);
    // The next tracked pop-up menu is answered through its cascades, as a
    // hand does: each caption but the last opens the sub-menu of that name,
    // the last is the item clicked, e.g. {"Align to", "Left"}. Captions
    // compare without their '&' and without the shortcut after a tab.
    void AnswerPopupMenu(std::vector<std::string> captions);
    // The next file or folder dialog is answered by typing `name` into its
    // name field and pressing its Open or Save button; CancelFileDialog
    // presses Cancel. The dialog's own questions (replace the file?) are
    // message boxes, answered as such.
    void AnswerFileDialog(std::string name);
    void CancelFileDialog();
    // What each file dialog showed when it opened, oldest first.
    struct ShownFileDialog {
        std::string title;
        std::string prompt;                // the line above the folders ("Look in:" unless set)
        std::vector<std::string> filters;  // "Description (pattern)" as the dialog lists them
        int filterIndex = 0;               // 1-based, the one selected
        bool save = false;
        std::string folder;
        std::string name;                  // in the name field
    };
    const std::vector<ShownFileDialog>& FileDialogs() const { return fileDialogs_; }
    // The next print or print set-up dialog is answered with OK (or Cancel),
    // the printer left as it is.
    void AnswerPrintDialog(bool ok);
    // Idle processing of a window and its children (tool bars ask their
    // command enablers then).
    void Idle(TWindow& window);

private:
    struct Expected {
        bool messageBox = false;
        int answer = 0;
        std::function<void(TDialog&)> script;
        std::function<void(TMessageBox&)> boxScript;
    };

    void OnModal(TWindow& modal);
    // Opens the pop-up of the frame's menu that holds command `id` (a test
    // failure and null when there is none); `position` is the item's.
    TMenu* OpenPopupWith(TWindow& frame, UINT id, int& position);
    // Scrolls list box `id` to item `index` (a test failure and null when
    // there is none); `centre` is the item's middle in the list's viewport.
    QListWidget* ShowListItem(TWindow& parent, int id, int index, QPoint& centre);
    void AtPoint(TWindow& window, TPoint point, const std::function<void(QWidget*, QPoint)>& act);
    void Activate(TWindow& window);
    QWidget* KeyTarget();
    void SendChar(QWidget* target, char c);

    std::deque<Expected> expected_;
    std::vector<ShownMessageBox> shown_;
    std::size_t beepsAtStart_ = 0;

    // Frames, bars and common dialogs.
    void InstallFrameHooks();
    void RemoveFrameHooks();
    // An answer to a pop-up menu: an item of its own by id, or a path of captions.
    struct PopupAnswer {
        UINT id = 0;
        std::vector<std::string> captions;
    };
    void AnswerPopup(TMenu& menu, const PopupAnswer& answer);
    std::deque<PopupAnswer> popupAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::vector<ShownFileDialog> fileDialogs_;
    std::deque<bool> printAnswers_;
};
