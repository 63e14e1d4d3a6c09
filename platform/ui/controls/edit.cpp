#include "platform/ui/controls/edit.h"

#include "platform/ui/qt_text.h"
#include "platform/ui/validators.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QValidator>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

QString ToWidgetText(const std::string& text)
{
    QString s = ToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string FromWidgetText(const QString& text)
{
    QString s = text;
    s.replace(u'\n', QStringLiteral("\r\n"));
    return FromQString(s);
}

// Judges every change the user makes (typing, deleting, pasting) by the
// text limit and the edit's validator; the program's own texts pass unjudged.
// It finds its edit through the line edit it belongs to, so it outlives the
// edit's window harmlessly.
class ValidatorAdapter : public QValidator {
public:
    explicit ValidatorAdapter(QLineEdit* lineEdit) : QValidator(lineEdit), lineEdit_(lineEdit) {}

    State validate(QString& input, int& pos) const override
    {
        auto* edit = dynamic_cast<TEdit*>(TWindowBridge::WindowFor(lineEdit_));
        if (!edit)
            return Acceptable;
        if (static_cast<std::size_t>(input.size()) > edit->GetLimitText())
            return Invalid;
        TValidator* validator = edit->GetValidator();
        if (!validator)
            return Acceptable;
        const std::string text = FromQString(input);
        // Room for a validator that completes the text.
        std::vector<char> buffer(text.size() + 256, '\0');
        std::memcpy(buffer.data(), text.data(), text.size());
        if (!validator->IsValidInput(buffer.data(), false))
            return Invalid;
        buffer.back() = '\0';
        const QString filled = ToQString(buffer.data());
        if (filled != input) {
            input = filled;
            pos = std::min(pos, static_cast<int>(filled.size()));
        }
        return Acceptable;
    }

private:
    QLineEdit* lineEdit_;
};

// How many characters a text is to the programs: "\r\n" ends each line.
int ProgramLength(const QString& text)
{
    return static_cast<int>(text.size() + text.count(u'\n'));
}

// Whether `length` program characters put in place of the selection keep
// the text within the limit.
bool FitsInPlaceOfSelection(const TEdit& edit, int length)
{
    int start = 0;
    int end = 0;
    edit.GetSelection(start, end);
    const long long after = static_cast<long long>(edit.GetWindowTextLength()) - (end - start) + length;
    return after <= static_cast<long long>(edit.GetLimitText());
}

// A multi-line edit's widget. A paste that would take the text past the
// limit is refused, as a single-line edit's validator refuses it.
class MultiLineWidget : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData* source) override
    {
        const auto* edit = dynamic_cast<const TEdit*>(TWindowBridge::WindowFor(this));
        if (edit && source && source->hasText() && !FitsInPlaceOfSelection(*edit, ProgramLength(source->text())))
            return;
        QPlainTextEdit::insertFromMimeData(source);
    }
};

}  // namespace

const TResponseTable TEdit::Responses{&TStatic::Responses, {
    OnMessage<&TEdit::EvKillFocus>(WM_KILLFOCUS),
}};

TEdit::TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit, bool multiline,
             TModule* module)
    : TStatic(parent, id, text, x, y, w, h, textLimit, module)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER;
    if (multiline)
        Attr.Style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
}

TEdit::TEdit(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TStatic(parent, resourceId, textLimit, module)
{
}

TEdit::~TEdit() = default;

QWidget* TEdit::CreateWidget(QWidget* parent)
{
    QWidget* widget;
    if (Attr.Style & ES_MULTILINE) {
        text_ = new MultiLineWidget(parent);
        text_->setTabChangesFocus(true);
        // Lines wrap unless the edit scrolls sideways.
        text_->setLineWrapMode((Attr.Style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? QPlainTextEdit::NoWrap
                                                                            : QPlainTextEdit::WidgetWidth);
        text_->setVerticalScrollBarPolicy((Attr.Style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        text_->setHorizontalScrollBarPolicy((Attr.Style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
        if (!(Attr.Style & WS_BORDER))
            text_->setFrameStyle(QFrame::NoFrame);
        QObject::connect(text_, &QPlainTextEdit::textChanged, SignalContext(), [this] { OnTextChanged(); });
        widget = text_;
    } else {
        line_ = new QLineEdit(parent);
        ConnectLineEdit();
        widget = line_;
    }
    ApplyFocusPolicy(widget);
    return widget;
}

void TEdit::AdoptLineEdit(QLineEdit* lineEdit)
{
    // The control around the field changes its text too; only the user's
    // changes are the field's own.
    line_ = lineEdit;
    QObject::connect(line_, &QLineEdit::textEdited, SignalContext(), [this] { OnTextChanged(); });
    line_->setValidator(new ValidatorAdapter(line_));
}

void TEdit::ConnectLineEdit()
{
    QObject::connect(line_, &QLineEdit::textChanged, SignalContext(), [this] { OnTextChanged(); });
    line_->setValidator(new ValidatorAdapter(line_));
}

void TEdit::WidgetReleased()
{
    line_ = nullptr;
    text_ = nullptr;
}

void TEdit::WidgetCreated()
{
    if (text_)
        TWindowBridge::AddEventSource(*this, text_->viewport());
}

void TEdit::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    if (!GetWidget())
        return;
    if (line_) {
        line_->setReadOnly(Attr.Style & ES_READONLY);
        line_->setFrame(Attr.Style & WS_BORDER);
        line_->setEchoMode((Attr.Style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
        const DWORD align = Attr.Style & (ES_CENTER | ES_RIGHT);
        line_->setAlignment((align == ES_CENTER  ? Qt::AlignHCenter
                             : align == ES_RIGHT ? Qt::AlignRight
                                                 : Qt::AlignLeft) |
                            Qt::AlignVCenter);
    }
    if (text_)
        text_->setReadOnly(Attr.Style & ES_READONLY);
}

void TEdit::PrepareNativePaint()
{
    // An edit the user cannot change asks as a static does.
    const bool fixed = Attr.Style & (ES_READONLY | WS_DISABLED);
    AskParentColors(fixed ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, GetWidget());
}

void TEdit::SetupWindow()
{
    TStatic::SetupWindow();
    if (textLimit_ > 0)
        LimitText(textLimit_ - 1);
}

void TEdit::TextChanged()
{
    if (!line_ && !text_)
        return;
    StyleChanged(Attr.Style);
    ++programmatic_;
    if (line_)
        line_->setText(ToQString(StoredTitle()));
    else
        text_->setPlainText(ToWidgetText(StoredTitle()));
    --programmatic_;
    modified_ = false;
}

std::string TEdit::ReadText() const
{
    if (line_)
        return FromQString(line_->text());
    if (text_)
        return FromWidgetText(text_->toPlainText());
    return StoredTitle();
}

void TEdit::OnTextChanged()
{
    if (!programmatic_)
        modified_ = true;
    // A multi-line edit tells of its own changes only.
    if (programmatic_ && IsMultiLine())
        return;
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
}

int TEdit::TextLength() const
{
    return static_cast<int>(ReadText().size());
}

bool TEdit::HasSelection() const
{
    return line_ ? line_->hasSelectedText() : text_ && text_->textCursor().hasSelection();
}

int TEdit::ToProgramPos(int qtPos) const
{
    if (!text_)
        return qtPos;
    const QString plain = text_->toPlainText();
    const int end = std::clamp(qtPos, 0, static_cast<int>(plain.size()));
    return end + static_cast<int>(std::count(plain.begin(), plain.begin() + end, u'\n'));
}

int TEdit::ToQtPos(int programPos) const
{
    if (!text_)
        return programPos;
    const QString plain = text_->toPlainText();
    int counted = 0;
    int i = 0;
    for (; i < plain.size() && counted < programPos; ++i)
        counted += plain[i] == u'\n' ? 2 : 1;
    return i;
}

void TEdit::GetSelection(int& start, int& end) const
{
    start = end = 0;
    if (line_) {
        if (line_->hasSelectedText()) {
            start = line_->selectionStart();
            end = start + static_cast<int>(line_->selectedText().size());
        } else {
            start = end = line_->cursorPosition();
        }
    } else if (text_) {
        const QTextCursor c = text_->textCursor();
        start = ToProgramPos(c.selectionStart());
        end = ToProgramPos(c.selectionEnd());
    }
}

void TEdit::SetSelection(int start, int end)
{
    const int length = TextLength();
    if (start < 0) {
        // -1 removes the selection and leaves the caret where it is.
        if (line_)
            line_->deselect();
        else if (text_) {
            QTextCursor c = text_->textCursor();
            c.clearSelection();
            text_->setTextCursor(c);
        }
        return;
    }
    if (end < 0 || end > length)
        end = length;
    start = std::min(start, length);
    if (line_) {
        // The caret ends at `end`, as the selection was given.
        line_->setCursorPosition(start);
        line_->cursorForward(true, end - start);
    } else if (text_) {
        QTextCursor c = text_->textCursor();
        c.setPosition(ToQtPos(start));
        c.setPosition(ToQtPos(end), QTextCursor::KeepAnchor);
        text_->setTextCursor(c);
    }
}

void TEdit::Insert(const char* text)
{
    SendMessage(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text ? text : ""));
}

int TEdit::GetNumLines() const
{
    if (text_)
        return std::max(1, text_->document()->blockCount());
    return 1;
}

void TEdit::LimitText(UINT length)
{
    SendMessage(EM_LIMITTEXT, length);
}

void TEdit::SetReadOnly(bool readOnly)
{
    SendMessage(EM_SETREADONLY, readOnly ? 1 : 0);
}

bool TEdit::CanUndo() const
{
    return line_ ? line_->isUndoAvailable() : text_ && text_->document()->isUndoAvailable();
}

void TEdit::Undo()
{
    SendMessage(EM_UNDO);
}

void TEdit::SetValidator(TValidator* validator)
{
    validator_.reset(validator);
}

bool TEdit::IsValid(bool reportError)
{
    if (!validator_)
        return true;
    const std::string text = ReadText();
    if (!reportError)
        return validator_->IsValid(text.c_str());
    if (validator_->IsValid(text.c_str()))
        return true;
    ++errorsReported_;
    validator_->Error(this);
    return false;
}

bool TEdit::CanClose()
{
    if (!TStatic::CanClose())
        return false;
    if (IsValid(true))
        return true;
    SetFocus();  // where the user has to put it right
    return false;
}

UINT TEdit::Transfer(void* buffer, TTransferDirection direction)
{
    if (direction == tdSizeData || !buffer || textLimit_ == 0)
        return textLimit_;
    if (direction == tdGetData) {
        GetWindowText(static_cast<char*>(buffer), static_cast<int>(textLimit_));
    } else if (direction == tdSetData) {
        // The buffer holds at most the limit's characters, ended or not.
        const auto* source = static_cast<const char*>(buffer);
        SetWindowText(std::string(source, strnlen(source, textLimit_)).c_str());
    }
    return textLimit_;
}

void TEdit::EvKillFocus(HWND gaining)
{
    DefaultProcessing();
    if (!validator_ || !IsWindow())
        return;
    // Only a move to another control of the same window is checked: leaving
    // the window, closing it or going to Cancel must stay possible.
    TWindow* next = GetWindowPtr(gaining);
    if (!next || next->GetTopLevel() != GetTopLevel() || next->GetId() == IDCANCEL)
        return;
    if (IsValid(false))
        return;
    const HWND self = GetHandle();
    const int reported = errorsReported_;
    // Reported once the focus change is over: the focus comes back, then the
    // message, unless the error was reported meanwhile (the click that took
    // the focus was on OK, and closing checked the edit).
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, reported] {
            auto* edit = dynamic_cast<TEdit*>(GetWindowPtr(self));
            if (!edit || edit->errorsReported_ != reported || edit->IsValid(false))
                return;
            edit->SetFocus();
            edit->IsValid(true);
        },
        Qt::QueuedConnection);
}

UINT TEdit::DialogCode(const MSG* msg) const
{
    UINT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!IsMultiLine())
        return code;
    code |= DLGC_WANTALLKEYS;
    // A multi-line edit leaves Tab, Escape and (without ES_WANTRETURN) Enter to its dialog.
    if (msg && msg->message == WM_KEYDOWN) {
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        if ((msg->wParam == VK_RETURN && !(Attr.Style & ES_WANTRETURN)) || msg->wParam == VK_ESCAPE ||
            (msg->wParam == VK_TAB && !ctrl))
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

LRESULT TEdit::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CHAR: {
        UINT ch = static_cast<UINT>(wParam) & 0xFF;
        if (ch >= 0x20 && !(Attr.Style & ES_READONLY)) {
            if ((Attr.Style & ES_NUMBER) && !std::isdigit(static_cast<unsigned char>(ch)))
                return 0;
            if (Attr.Style & ES_UPPERCASE)
                ch = static_cast<UINT>(std::toupper(static_cast<unsigned char>(ch)));
            else if (Attr.Style & ES_LOWERCASE)
                ch = static_cast<UINT>(std::tolower(static_cast<unsigned char>(ch)));
            if (!HasSelection() && static_cast<UINT>(TextLength()) >= limit_) {
                NotifyParent(EN_MAXTEXT);
                return 0;
            }
        } else if (ch == '\r' && IsMultiLine() && !(Attr.Style & ES_READONLY) && !FitsInPlaceOfSelection(*this, 2)) {
            // Enter puts in a line break, "\r\n" to the programs.
            NotifyParent(EN_MAXTEXT);
            return 0;
        }
        return TControl::DefWindowProc(WM_CHAR, ch, lParam);
    }
    case WM_SETFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(EN_SETFOCUS);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(EN_KILLFOCUS);
        return result;
    }
    case EM_GETSEL: {
        int start = 0;
        int end = 0;
        GetSelection(start, end);
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
        return MAKELRESULT(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case EM_SETSEL:
        SetSelection(static_cast<int>(static_cast<std::intptr_t>(wParam)), static_cast<int>(lParam));
        return 0;
    case EM_REPLACESEL: {
        const QString text = ToWidgetText(lParam ? reinterpret_cast<const char*>(lParam) : "");
        if (line_)
            line_->insert(text);
        else if (text_)
            text_->insertPlainText(text);
        return 0;
    }
    case EM_GETMODIFY:
        return modified_ ? 1 : 0;
    case EM_SETMODIFY:
        modified_ = wParam != 0;
        return 0;
    case EM_LIMITTEXT:
        // Limits what the user types; texts the program sets may be longer.
        limit_ = wParam ? static_cast<UINT>(wParam) : 0x7FFFFFFEu;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(limit_);
    case EM_SETREADONLY:
        if (wParam)
            Attr.Style |= ES_READONLY;
        else
            Attr.Style &= ~ES_READONLY;
        StyleChanged(Attr.Style);
        return 1;
    case EM_GETRECT: {
        auto* rect = reinterpret_cast<TRect*>(lParam);
        if (!rect)
            return 0;
        QRect r;
        if (line_) {
            QStyleOptionFrame option;
            option.initFrom(line_);
            option.rect = line_->rect();
            option.lineWidth = line_->hasFrame() ? line_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                              &option, line_)
                                                 : 0;
            r = line_->style()->subElementRect(QStyle::SE_LineEditContents, &option, line_);
            r = r.marginsRemoved(line_->textMargins()).adjusted(2, 1, -2, -1);
        } else if (text_) {
            r = text_->viewport()->geometry();
        }
        *rect = TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        return 0;
    }
    case EM_GETLINECOUNT:
        return GetNumLines();
    case EM_CANUNDO:
        return CanUndo() ? 1 : 0;
    case EM_UNDO:
    case WM_UNDO:
        if (line_)
            line_->undo();
        else if (text_)
            text_->undo();
        return 1;
    case WM_CUT:
        if (line_)
            line_->cut();
        else if (text_)
            text_->cut();
        return 0;
    case WM_COPY:
        if (line_)
            line_->copy();
        else if (text_)
            text_->copy();
        return 0;
    case WM_PASTE:
        if (line_)
            line_->paste();
        else if (text_)
            text_->paste();
        return 0;
    case WM_CLEAR:
        if (line_)
            line_->del();
        else if (text_)
            text_->textCursor().removeSelectedText();
        return 0;
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}
