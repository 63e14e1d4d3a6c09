#include "platform/ui/message_box.h"

#include "platform/base/prompt.h"

#include "platform/ui/font_map.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kTextId = -1;
constexpr int kIconId = 20;
constexpr const char* kFontName = "MS Shell Dlg";
constexpr int kFontSize = 8;

// The system's button texts.
struct ButtonText {
    int id;
    const char* text;
};
constexpr ButtonText kButtonTexts[] = {
    {IDOK, "OK"},         {IDCANCEL, "Cancel"}, {IDABORT, "&Abort"}, {IDRETRY, "&Retry"},
    {IDIGNORE, "&Ignore"}, {IDYES, "&Yes"},      {IDNO, "&No"},
};

const char* TextOf(int id)
{
    for (const ButtonText& b : kButtonTexts) {
        if (b.id == id)
            return b.text;
    }
    return "";
}

int IconFor(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return 0;
    }
}

// The template names the controls; their places are worked out from the
// text in SetupWindow.
TDialogTemplate MakeTemplate(const char* caption, UINT flags)
{
    TDialogTemplate t;
    t.caption = caption ? caption : "Error";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.fontName = kFontName;
    t.fontSize = kFontSize;
    if (const int icon = IconFor(flags))
        t.items.push_back(Control(("#" + std::to_string(icon)).c_str(), kIconId, "STATIC", SS_ICON, 0, 0, 0, 0));
    t.items.push_back(LText("", kTextId, 0, 0, 0, 0, SS_NOPREFIX));
    // The same buttons and default as the prompt service answers with when
    // no one is there to press one.
    const std::vector<int> buttons = PromptButtons(flags);
    const int defaultButton = PromptDefaultAnswer(flags);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const DWORD style = (i == 0 ? WS_GROUP : 0);
        t.items.push_back(buttons[i] == defaultButton ? DefPushButton(TextOf(buttons[i]), buttons[i], 0, 0, 0, 0, style)
                                             : PushButton(TextOf(buttons[i]), buttons[i], 0, 0, 0, 0, style));
    }
    return t;
}

std::vector<UINT>& Beeps()
{
    static std::vector<UINT> beeps;
    return beeps;
}

}  // namespace

TMessageBox::TMessageBox(TWindow* owner, const char* text, const char* caption, UINT flags)
    : TDialog(owner, MakeTemplate(caption, flags)),
      text_(text ? text : ""),
      caption_(caption ? caption : "Error"),
      flags_(flags),
      buttons_(PromptButtons(flags))
{
}

void TMessageBox::SetupWindow()
{
    TDialog::SetupWindow();
    SetDlgItemText(kTextId, text_.c_str());

    const TDialogUnits units = GetDialogUnits();
    const QFontMetrics fm(PlatformFont(kFontName, kFontSize));
    const int margin = units.XToPixels(7);
    const bool hasIcon = GetDlgItem(kIconId) != nullptr;
    const int iconSize = 32;
    const int textLeft = margin + (hasIcon ? iconSize + margin : 0);
    // Long texts wrap at a width that keeps the box readable.
    const int maxTextWidth = units.XToPixels(230);
    const QRect textRect =
        fm.boundingRect(QRect(0, 0, maxTextWidth, 10000), Qt::TextWordWrap | Qt::AlignLeft, ToQString(text_));
    const int textWidth = std::max(textRect.width() + 2, units.XToPixels(20));
    const int textHeight = std::max(textRect.height(), fm.height());
    const int textTop = hasIcon && textHeight < iconSize ? margin + (iconSize - textHeight) / 2 : margin;

    const int buttonWidth = units.XToPixels(50);
    const int buttonHeight = units.YToPixels(14);
    const int gap = units.XToPixels(4);
    const int count = static_cast<int>(buttons_.size());
    const int buttonsWidth = count * buttonWidth + (count - 1) * gap;
    const int contentBottom = std::max(textTop + textHeight, hasIcon ? margin + iconSize : 0);
    const int width = std::max(textLeft + textWidth + margin, buttonsWidth + 2 * margin);
    const int buttonTop = contentBottom + units.YToPixels(10);
    const int height = buttonTop + buttonHeight + units.YToPixels(7);

    if (HWND icon = GetDlgItem(kIconId))
        ::MoveWindow(icon, margin, margin, iconSize, iconSize, false);
    ::MoveWindow(GetDlgItem(kTextId), textLeft, textTop, textWidth, textHeight, false);
    int x = (width - buttonsWidth) / 2;
    for (int id : buttons_) {
        ::MoveWindow(GetDlgItem(id), x, buttonTop, buttonWidth, buttonHeight, false);
        x += buttonWidth + gap;
    }
    // Only the size: where the box stands is left to the dialog, which
    // centres it over its owner when shown.
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);

    // Without a way to cancel, the close box does nothing.
    const bool cancels = std::find(buttons_.begin(), buttons_.end(), IDCANCEL) != buttons_.end() || count == 1;
    if (!cancels)
        GetWidget()->setWindowFlag(Qt::WindowCloseButtonHint, false);
    PlayAlertSound(flags_ & MB_ICONMASK);
}

TWindow* TMessageBox::FirstFocus()
{
    TWindow* button = ChildWithId(GetDefaultId());
    return button ? button : TDialog::FirstFocus();
}

LRESULT TMessageBox::EvCommand(UINT id, HWND /*hWndCtl*/, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return 0;
    const int button = static_cast<int>(id);
    if (std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) {
        Destroy(button);
        return 0;
    }
    // Escape and the close box: Cancel, or OK when it is the only button.
    if (button == IDCANCEL && buttons_.size() == 1)
        Destroy(buttons_.front());
    return 0;
}

int MessageBoxDialog(HWND owner, const char* text, const char* caption, UINT flags)
{
    TMessageBox box(GetWindowPtr(owner), text, caption, flags);
    const int result = box.Execute();
    return result < 0 ? IDCANCEL : result;
}

void PlayAlertSound(UINT type)
{
    Beeps().push_back(type);
    QApplication::beep();
}

const std::vector<UINT>& MessageBeepHistory()
{
    return Beeps();
}

void ClearMessageBeepHistory()
{
    Beeps().clear();
}
