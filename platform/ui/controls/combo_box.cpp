#include "platform/ui/controls/combo_box.h"

#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/item_list.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include <algorithm>

namespace {

class ComboWidget : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        if (auto* combo = dynamic_cast<TComboBox*>(TWindowBridge::WindowFor(this)))
            combo->ListOpening();
        QComboBox::showPopup();
    }

    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (auto* combo = dynamic_cast<TComboBox*>(TWindowBridge::WindowFor(this)))
            combo->ListClosed();
    }
};

// The combo box's edit field as a window of its own (id 1001); its widget
// belongs to the combo box's Qt widget.
class TComboEdit : public TEdit {
public:
    TComboEdit(TComboBox* combo, QLineEdit* lineEdit)
        : TEdit(combo, kComboEditId, nullptr, 0, 0, 0, 0, 0, false), lineEdit_(lineEdit)
    {
        Attr.Style = WS_CHILD | WS_VISIBLE;
        SetOwnsWidget(false);
        SetWindowLifetime(true);
    }

protected:
    QWidget* CreateWidget(QWidget* /*parent*/) override
    {
        AdoptLineEdit(lineEdit_);
        return lineEdit_;
    }
    void ApplyAttributes() override {}  // the combo box places and styles its field

private:
    QLineEdit* lineEdit_;
};

}  // namespace

TComboBox::TComboBox(TWindow* parent, int id, int x, int y, int w, int h, DWORD style, UINT textLimit,
                     TModule* module)
    : TListBox(parent, id, x, y, w, h, module), textLimit_(textLimit)
{
    Attr.Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_VSCROLL | style;
}

TComboBox::TComboBox(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TListBox(parent, resourceId, module), textLimit_(textLimit)
{
}

QWidget* TComboBox::CreateWidget(QWidget* parent)
{
    combo_ = new ComboWidget(parent);
    if (HasEdit()) {
        combo_->setEditable(true);
        combo_->setInsertPolicy(QComboBox::NoInsert);
        combo_->setCompleter(nullptr);
    }
    combo_->setDuplicatesEnabled(true);
    QObject::connect(combo_, &QComboBox::currentIndexChanged, SignalContext(), [this] {
        if (programmatic_)
            return;
        if (dropped_)
            selectionChanged_ = true;  // told when the list closes
        else
            NotifyParent(CBN_SELCHANGE);
    });
    QObject::connect(combo_, &QComboBox::activated, SignalContext(), [this] {
        if (closing_)
            FinishCloseUp(true);
    });
    ApplyFocusPolicy(combo_);
    return combo_;
}

void TComboBox::WidgetCreated()
{
    if (OwnerDrawn()) {
        ownerDraw_ = new TOwnerDrawDelegate(GetHandle(), ODT_COMBOBOX, Attr.Style & CBS_OWNERDRAWVARIABLE, combo_);
        combo_->view()->setItemDelegate(ownerDraw_);
        if (Attr.Style & CBS_OWNERDRAWFIXED)
            ownerDraw_->SetItemHeight(ownerDraw_->Measure(0, 0));
    }
    if (combo_->lineEdit()) {
        edit_ = new TComboEdit(this, combo_->lineEdit());
        edit_->PerformCreate();
    }
}

void TComboBox::WidgetReleased()
{
    combo_ = nullptr;
    edit_ = nullptr;  // went with the window
    ownerDraw_ = nullptr;
    dropped_ = closing_ = selectionChanged_ = false;
}

void TComboBox::ApplyAttributes()
{
    TListBox::ApplyAttributes();
    // The height a combo box is given includes its list; the box itself is
    // as high as its font needs.
    const int boxHeight = combo_->sizeHint().height();
    combo_->setFixedHeight(boxHeight);
    const int itemHeight = std::max(1, ownerDraw_ ? ownerDraw_->ItemHeight() : combo_->fontMetrics().height() + 2);
    combo_->setMaxVisibleItems(std::max(1, (Attr.H - boxHeight) / itemHeight));
    if (textLimit_ > 0 && edit_)
        edit_->LimitText(textLimit_ - 1);
}

void TComboBox::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
}

void TComboBox::TextChanged()
{
    if (combo_ && combo_->lineEdit()) {
        TQuietChange quiet(programmatic_);
        combo_->lineEdit()->setText(ToQString(StoredTitle()));
    }
}

std::string TComboBox::ReadText() const
{
    if (!combo_)
        return StoredTitle();
    if (combo_->lineEdit())
        return FromQString(combo_->lineEdit()->text());
    return combo_->currentIndex() >= 0 ? FromQString(combo_->currentText()) : std::string();
}

void TComboBox::PrepareNativePaint()
{
    AskParentColors(WM_CTLCOLORLISTBOX, combo_);
}

void TComboBox::ListOpening()
{
    NotifyParent(CBN_DROPDOWN);
    dropped_ = true;
    closing_ = false;
    selectionChanged_ = false;
}

void TComboBox::ListClosed()
{
    if (!dropped_ || closing_)
        return;
    // Qt closes the list before it tells which item was chosen; the choice,
    // if any, arrives at once (activated), else the list was cancelled.
    closing_ = true;
    const HWND self = GetHandle();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self] {
            if (auto* combo = dynamic_cast<TComboBox*>(GetWindowPtr(self)))
                combo->FinishCloseUp(false);
        },
        Qt::QueuedConnection);
}

void TComboBox::FinishCloseUp(bool chosen)
{
    if (!closing_)
        return;
    closing_ = false;
    dropped_ = false;
    const bool changed = selectionChanged_;
    selectionChanged_ = false;
    if (changed)
        NotifyParent(CBN_SELCHANGE);
    NotifyParent(chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    NotifyParent(CBN_CLOSEUP);
}

// ---------------------------------------------------------------- members (through the messages)

const TListBox::TItemMessages& TComboBox::ItemMessages() const
{
    static const TItemMessages messages{CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,   CB_RESETCONTENT,
                                        CB_GETCOUNT,     CB_FINDSTRING,   CB_FINDSTRINGEXACT, CB_GETLBTEXTLEN,
                                        CB_GETLBTEXT,    CB_GETITEMDATA,  CB_SETITEMDATA,    CB_GETCURSEL,
                                        CB_SETCURSEL,    CB_SELECTSTRING};
    return messages;
}

void TComboBox::SetText(const char* text)
{
    if (HasEdit()) {
        SetWindowText(text);
        return;
    }
    int index = FindExactString(text, -1);
    if (index < 0)
        index = FindString(text, -1);
    if (index >= 0)
        SetSelIndex(index);
}

void TComboBox::Clear()
{
    if (HasEdit())
        SetWindowText("");
}

void TComboBox::SetEditSel(int start, int end)
{
    SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(end)));
}

void TComboBox::GetEditSel(int& start, int& end) const
{
    DWORD s = 0;
    DWORD e = 0;
    const_cast<TComboBox*>(this)->SendMessage(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void TComboBox::ShowList(bool show)
{
    SendMessage(CB_SHOWDROPDOWN, show ? 1 : 0);
}

bool TComboBox::GetDroppedState() const
{
    return const_cast<TComboBox*>(this)->SendMessage(CB_GETDROPPEDSTATE) != 0;
}

void TComboBox::GetDroppedControlRect(TRect& rect) const
{
    const_cast<TComboBox*>(this)->SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect));
}

// ---------------------------------------------------------------- the combo box itself

int TComboBox::Insert(int index, const QString& text, LPARAM item)
{
    const int count = combo_->count();
    if (index < 0 || index > count)
        index = count;
    TQuietChange quiet(programmatic_);
    const int before = combo_->currentIndex();
    const QString editText = combo_->lineEdit() ? combo_->lineEdit()->text() : QString();
    combo_->insertItem(index, text);
    combo_->setItemData(index, QVariant::fromValue<qulonglong>(HasStrings() ? 0 : static_cast<qulonglong>(item)),
                        kItemDataRole);
    // Qt selects the first item added to an empty box; a combo box here
    // keeps no selection, and its edit field keeps its text.
    if (before < 0 && combo_->currentIndex() >= 0)
        combo_->setCurrentIndex(-1);
    if (combo_->lineEdit())
        combo_->lineEdit()->setText(editText);
    if (ownerDraw_ && (Attr.Style & CBS_OWNERDRAWVARIABLE)) {
        const int height = ownerDraw_->Measure(index, static_cast<std::uintptr_t>(item));
        combo_->setItemData(index, QSize(1, std::max(1, height)), Qt::SizeHintRole);
    }
    return index;
}

LRESULT TComboBox::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!combo_)
        return TControl::DefWindowProc(msg, wParam, lParam);
    const int count = combo_->count();
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    const bool valid = index >= 0 && index < count;
    auto text = [this](int i) { return combo_->itemText(i); };
    switch (msg) {
    case CB_ADDSTRING: {
        const QString item = HasStrings() ? ItemTextArg(lParam) : QString();
        const int at = (Attr.Style & CBS_SORT) && HasStrings() ? SortedPosition(count, text, item) : count;
        return Insert(at, item, lParam);
    }
    case CB_INSERTSTRING:
        if (index > count)
            return CB_ERR;
        return Insert(index, HasStrings() ? ItemTextArg(lParam) : QString(), lParam);
    case CB_DELETESTRING: {
        if (!valid)
            return CB_ERR;
        TQuietChange quiet(programmatic_);
        const bool wasSelected = combo_->currentIndex() == index;
        const QString editText = combo_->lineEdit() ? combo_->lineEdit()->text() : QString();
        combo_->removeItem(index);
        if (wasSelected)
            combo_->setCurrentIndex(-1);
        if (combo_->lineEdit())
            combo_->lineEdit()->setText(editText);
        return combo_->count();
    }
    case CB_RESETCONTENT: {
        TQuietChange quiet(programmatic_);
        combo_->clear();
        if (combo_->lineEdit())
            combo_->lineEdit()->clear();
        return CB_OKAY;
    }
    case CB_GETCOUNT:
        return count;
    case CB_GETLBTEXTLEN:
        return valid ? static_cast<LRESULT>(FromQString(text(index)).size()) : CB_ERR;
    case CB_GETLBTEXT:
        return valid ? CopyItemText(text(index), lParam) : CB_ERR;
    case CB_GETITEMDATA:
        return valid ? static_cast<LRESULT>(combo_->itemData(index, kItemDataRole).toULongLong()) : CB_ERR;
    case CB_SETITEMDATA:
        if (!valid)
            return CB_ERR;
        combo_->setItemData(index, QVariant::fromValue<qulonglong>(static_cast<qulonglong>(lParam)), kItemDataRole);
        return CB_OKAY;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: {
        const QString find = ItemTextArg(lParam);
        const int found = msg == CB_FINDSTRINGEXACT ? FindItemExact(count, text, find, index)
                                                    : FindItemPrefix(count, text, find, index);
        if (msg != CB_SELECTSTRING || found < 0)
            return found;
        return DefWindowProc(CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    case CB_GETCURSEL:
        return combo_->currentIndex();
    case CB_SETCURSEL: {
        TQuietChange quiet(programmatic_);
        combo_->setCurrentIndex(valid ? index : -1);
        return valid ? index : CB_ERR;
    }
    case CB_SHOWDROPDOWN:
        if (wParam && !dropped_)
            combo_->showPopup();
        else if (!wParam && dropped_)
            combo_->hidePopup();
        return 1;
    case CB_GETDROPPEDSTATE:
        return dropped_ ? 1 : 0;
    case CB_GETDROPPEDCONTROLRECT: {
        auto* rect = reinterpret_cast<TRect*>(lParam);
        if (!rect)
            return CB_ERR;
        const QPoint origin = combo_->mapToGlobal(QPoint(0, 0));
        *rect = TRect(origin.x(), origin.y(), origin.x() + combo_->width(), origin.y() + std::max(Attr.H, combo_->height()));
        return CB_OKAY;
    }
    case CB_LIMITTEXT:
        if (!edit_)
            return 0;
        edit_->LimitText(static_cast<UINT>(wParam));
        return 1;
    case CB_GETEDITSEL: {
        if (!edit_)
            return CB_ERR;
        int start = 0;
        int end = 0;
        edit_->GetSelection(start, end);
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
        return MAKELRESULT(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case CB_SETEDITSEL:
        if (!edit_)
            return CB_ERR;
        edit_->SetSelection(static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                            static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        return 1;
    case CB_GETITEMHEIGHT:
        if (index < 0)
            return combo_->height();
        if (ownerDraw_ && (Attr.Style & CBS_OWNERDRAWVARIABLE))
            return valid ? combo_->itemData(index, Qt::SizeHintRole).toSize().height() : CB_ERR;
        return ownerDraw_ ? ownerDraw_->ItemHeight() : combo_->fontMetrics().height() + 2;
    case CB_SETITEMHEIGHT: {
        const int height = std::max(1, static_cast<int>(lParam));
        if (index < 0) {
            combo_->setFixedHeight(height);
        } else if (ownerDraw_ && (Attr.Style & CBS_OWNERDRAWVARIABLE)) {
            if (!valid)
                return CB_ERR;
            combo_->setItemData(index, QSize(1, height), Qt::SizeHintRole);
        } else if (ownerDraw_) {
            ownerDraw_->SetItemHeight(height);
        }
        return CB_OKAY;
    }
    case WM_SETFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(CBN_SETFOCUS);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(CBN_KILLFOCUS);
        return result;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        // The edit field asks the combo box's parent.
        if (TWindow* parent = GetParentO(); parent && parent->IsWindow())
            return parent->HandleMessage(msg, wParam, lParam);
        return 0;
    case WM_COMMAND:
        // The edit field's changes, told to the parent as the combo box's.
        if (edit_ && LParamToHandle(lParam) == edit_->GetHandle()) {
            if (HIWORD(wParam) == EN_UPDATE)
                NotifyParent(CBN_EDITUPDATE);
            else if (HIWORD(wParam) == EN_CHANGE)
                NotifyParent(CBN_EDITCHANGE);
        }
        return 0;
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}

UINT TComboBox::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_WANTCHARS | DLGC_WANTARROWS | (HasEdit() ? DLGC_HASSETSEL : 0);
}
