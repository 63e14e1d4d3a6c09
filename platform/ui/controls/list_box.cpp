#include "platform/ui/controls/list_box.h"

#include "platform/ui/controls/item_list.h"
#include "platform/ui/dialog.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QInputEvent>
#include <QListWidget>
#include <QScrollBar>

#include <algorithm>

namespace {

// Counts a change the program makes, so that it sends no notification.
// Shift with a click selects from the anchor to the item and drops the rest,
// unless Ctrl is held too.
class ListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override
    {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
        if (selectionMode() == ExtendedSelection && event &&
            (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)) {
            const Qt::KeyboardModifiers mods = static_cast<const QInputEvent*>(event)->modifiers();
            if ((mods & Qt::ShiftModifier) && !(mods & Qt::ControlModifier))
                flags = QItemSelectionModel::Clear | QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows;
        }
        return flags;
    }
};

}  // namespace

TListBox::TListBox(TWindow* parent, int id, int x, int y, int w, int h, TModule* module)
    : TControl(parent, id, nullptr, x, y, w, h, module)
{
    Attr.Style |= LBS_STANDARD;
}

TListBox::TListBox(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

QWidget* TListBox::CreateWidget(QWidget* parent)
{
    list_ = new ListWidget(parent);
    list_->setUniformItemSizes(!(Attr.Style & LBS_OWNERDRAWVARIABLE));
    QObject::connect(list_, &QListWidget::itemSelectionChanged, SignalContext(), [this] {
        if (!programmatic_ && (Attr.Style & LBS_NOTIFY))
            NotifyParent(LBN_SELCHANGE);
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, SignalContext(), [this] {
        if (Attr.Style & LBS_NOTIFY)
            NotifyParent(LBN_DBLCLK);
    });
    ApplyFocusPolicy(list_);
    return list_;
}

void TListBox::WidgetCreated()
{
    TWindowBridge::AddEventSource(*this, list_->viewport());
    if (OwnerDrawn()) {
        ownerDraw_ = new TOwnerDrawDelegate(GetHandle(), ODT_LISTBOX, Attr.Style & LBS_OWNERDRAWVARIABLE, list_);
        list_->setItemDelegate(ownerDraw_);
        // A fixed item height is asked for once, as the list is made.
        if (Attr.Style & LBS_OWNERDRAWFIXED)
            ownerDraw_->SetItemHeight(ownerDraw_->Measure(0, 0));
    } else if (Attr.Style & LBS_USETABSTOPS) {
        tabStops_ = new TTabStopDelegate(list_);
        list_->setItemDelegate(tabStops_);
        SetTabStops(0, nullptr);
    }
}

void TListBox::WidgetReleased()
{
    list_ = nullptr;
    ownerDraw_ = nullptr;
    tabStops_ = nullptr;
}

void TListBox::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    if (!list_)
        return;
    list_->setSelectionMode((Attr.Style & LBS_NOSEL)            ? QAbstractItemView::NoSelection
                            : (Attr.Style & LBS_EXTENDEDSEL)    ? QAbstractItemView::ExtendedSelection
                            : (Attr.Style & LBS_MULTIPLESEL)    ? QAbstractItemView::MultiSelection
                                                                : QAbstractItemView::SingleSelection);
    list_->setVerticalScrollBarPolicy((Attr.Style & WS_VSCROLL) ? ((Attr.Style & LBS_DISABLENOSCROLL)
                                                                       ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAsNeeded)
                                                                : Qt::ScrollBarAlwaysOff);
    list_->setHorizontalScrollBarPolicy((Attr.Style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    list_->setFrameStyle((Attr.Style & WS_BORDER) ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    if (Attr.Style & LBS_MULTICOLUMN) {
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(true);
        list_->setResizeMode(QListView::Adjust);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

int TListBox::DialogUnitsToPixels(int x) const
{
    if (auto* dialog = dynamic_cast<const TDialog*>(GetParentO()))
        return dialog->GetDialogUnits().XToPixels(x);
    return MulDiv(x, LOWORD(static_cast<std::uintptr_t>(GetDialogBaseUnits())), 4);
}

// ---------------------------------------------------------------- members (through the messages)

const TListBox::TItemMessages& TListBox::ItemMessages() const
{
    static const TItemMessages messages{LB_ADDSTRING,    LB_INSERTSTRING, LB_DELETESTRING,   LB_RESETCONTENT,
                                        LB_GETCOUNT,     LB_FINDSTRING,   LB_FINDSTRINGEXACT, LB_GETTEXTLEN,
                                        LB_GETTEXT,      LB_GETITEMDATA,  LB_SETITEMDATA,    LB_GETCURSEL,
                                        LB_SETCURSEL,    LB_SELECTSTRING};
    return messages;
}

int TListBox::AddString(const char* text)
{
    return static_cast<int>(Ask(ItemMessages().add, 0, reinterpret_cast<LPARAM>(text)));
}

int TListBox::InsertString(const char* text, int index)
{
    return static_cast<int>(Ask(ItemMessages().insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int TListBox::DeleteString(int index)
{
    return static_cast<int>(Ask(ItemMessages().remove, static_cast<WPARAM>(index)));
}

void TListBox::ClearList()
{
    Ask(ItemMessages().reset);
}

int TListBox::GetCount() const
{
    return static_cast<int>(Ask(ItemMessages().count));
}

int TListBox::FindString(const char* prefix, int startIndex) const
{
    return static_cast<int>(Ask(ItemMessages().find, static_cast<WPARAM>(startIndex), reinterpret_cast<LPARAM>(prefix)));
}

int TListBox::FindExactString(const char* text, int startIndex) const
{
    return static_cast<int>(
        Ask(ItemMessages().findExact, static_cast<WPARAM>(startIndex), reinterpret_cast<LPARAM>(text)));
}

int TListBox::GetStringLen(int index) const
{
    return static_cast<int>(Ask(ItemMessages().textLength, static_cast<WPARAM>(index)));
}

int TListBox::GetString(char* buffer, int index) const
{
    return static_cast<int>(Ask(ItemMessages().text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}

std::string TListBox::GetString(int index) const
{
    const int length = GetStringLen(index);
    if (length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetString(text.data(), index);
    text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
    return text;
}

std::uintptr_t TListBox::GetItemData(int index) const
{
    return static_cast<std::uintptr_t>(Ask(ItemMessages().getData, static_cast<WPARAM>(index)));
}

int TListBox::SetItemData(int index, std::uintptr_t data)
{
    return static_cast<int>(Ask(ItemMessages().setData, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

int TListBox::GetSelIndex() const
{
    return static_cast<int>(Ask(ItemMessages().getSel));
}

int TListBox::SetSelIndex(int index)
{
    return static_cast<int>(Ask(ItemMessages().setSel, static_cast<WPARAM>(index)));
}

int TListBox::SetSelString(const char* prefix, int startIndex)
{
    return static_cast<int>(
        Ask(ItemMessages().selectString, static_cast<WPARAM>(startIndex), reinterpret_cast<LPARAM>(prefix)));
}

int TListBox::GetSelCount() const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETSELCOUNT));
}

int TListBox::GetSelIndexes(int* indexes, int maxCount) const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(maxCount),
                                                                      reinterpret_cast<LPARAM>(indexes)));
}

bool TListBox::GetSel(int index) const
{
    return const_cast<TListBox*>(this)->SendMessage(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
}

int TListBox::SetSel(int index, bool select)
{
    return static_cast<int>(SendMessage(LB_SETSEL, select ? 1 : 0, index));
}

int TListBox::GetTopIndex() const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETTOPINDEX));
}

int TListBox::SetTopIndex(int index)
{
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)));
}

int TListBox::GetCaretIndex() const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETCARETINDEX));
}

int TListBox::SetCaretIndex(int index, bool partialOk)
{
    return static_cast<int>(SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index), partialOk ? 1 : 0));
}

bool TListBox::SetTabStops(int count, const int* stops)
{
    return SendMessage(LB_SETTABSTOPS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(stops)) != 0;
}

void TListBox::SetColumnWidth(int width)
{
    SendMessage(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width));
}

int TListBox::GetItemRect(int index, TRect& rect) const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index),
                                                                      reinterpret_cast<LPARAM>(&rect)));
}

int TListBox::GetItemHeight(int index) const
{
    return static_cast<int>(const_cast<TListBox*>(this)->SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}

int TListBox::SetItemHeight(int index, int height)
{
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
}

// ---------------------------------------------------------------- the list itself

int TListBox::Insert(int index, const QString& text, LPARAM item)
{
    const int count = list_->count();
    if (index < 0 || index > count)
        index = count;
    auto* entry = new QListWidgetItem(text);
    // An owner-drawn list without strings keeps the value it is given as the item's data.
    entry->setData(kItemDataRole, QVariant::fromValue<qulonglong>(HasStrings() ? 0 : static_cast<qulonglong>(item)));
    {
        TQuietChange quiet(programmatic_);
        list_->insertItem(index, entry);
    }
    if (ownerDraw_ && (Attr.Style & LBS_OWNERDRAWVARIABLE)) {
        const int height = ownerDraw_->Measure(index, static_cast<std::uintptr_t>(entry->data(kItemDataRole).toULongLong()));
        entry->setSizeHint(QSize(1, std::max(1, height)));
    }
    return index;
}

LRESULT TListBox::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!list_)
        return TControl::DefWindowProc(msg, wParam, lParam);
    const int count = list_->count();
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    const bool valid = index >= 0 && index < count;
    auto text = [this](int i) { return list_->item(i)->text(); };
    switch (msg) {
    case LB_ADDSTRING: {
        const QString item = HasStrings() ? ItemTextArg(lParam) : QString();
        const int at = (Attr.Style & LBS_SORT) && HasStrings() ? SortedPosition(count, text, item) : count;
        return Insert(at, item, lParam);
    }
    case LB_INSERTSTRING:
        if (index > count)
            return LB_ERR;
        return Insert(index, HasStrings() ? ItemTextArg(lParam) : QString(), lParam);
    case LB_DELETESTRING: {
        if (!valid)
            return LB_ERR;
        TQuietChange quiet(programmatic_);
        const bool wasSelected = list_->item(index)->isSelected();
        delete list_->takeItem(index);
        // A list of one selection has none after its selected item goes;
        // Qt would move the selection on to a neighbour.
        if (wasSelected && !MultiSelect())
            list_->clearSelection();
        return list_->count();
    }
    case LB_RESETCONTENT: {
        TQuietChange quiet(programmatic_);
        list_->clear();
        return 0;
    }
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXTLEN:
        return valid ? static_cast<LRESULT>(FromQString(text(index)).size()) : LB_ERR;
    case LB_GETTEXT:
        return valid ? CopyItemText(text(index), lParam) : LB_ERR;
    case LB_GETITEMDATA:
        return valid ? static_cast<LRESULT>(list_->item(index)->data(kItemDataRole).toULongLong()) : LB_ERR;
    case LB_SETITEMDATA:
        if (!valid)
            return LB_ERR;
        list_->item(index)->setData(kItemDataRole, QVariant::fromValue<qulonglong>(static_cast<qulonglong>(lParam)));
        return 0;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        const QString find = ItemTextArg(lParam);
        const int found = msg == LB_FINDSTRINGEXACT ? FindItemExact(count, text, find, index)
                                                    : FindItemPrefix(count, text, find, index);
        if (msg != LB_SELECTSTRING || found < 0)
            return found;
        if (MultiSelect())
            return LB_ERR;
        return DefWindowProc(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    case LB_GETCURSEL: {
        if (MultiSelect())
            return list_->currentRow();  // the item with the focus rectangle
        const QList<QListWidgetItem*> selected = list_->selectedItems();
        return selected.isEmpty() ? LB_ERR : list_->row(selected.first());
    }
    case LB_SETCURSEL: {
        if (MultiSelect())
            return LB_ERR;
        TQuietChange quiet(programmatic_);
        if (!valid) {
            list_->clearSelection();
            list_->setCurrentRow(-1);
            return index == -1 ? 0 : LB_ERR;
        }
        list_->setCurrentRow(index);
        list_->scrollToItem(list_->item(index));
        return index;
    }
    case LB_GETSEL:
        return valid ? (list_->item(index)->isSelected() ? 1 : 0) : LB_ERR;
    case LB_SETSEL: {
        if (!MultiSelect())
            return LB_ERR;
        const int target = static_cast<int>(lParam);
        TQuietChange quiet(programmatic_);
        if (target == -1) {
            for (int i = 0; i < count; ++i)
                list_->item(i)->setSelected(wParam != 0);
            return 0;
        }
        if (target < 0 || target >= count)
            return LB_ERR;
        list_->item(target)->setSelected(wParam != 0);
        return 0;
    }
    case LB_GETSELCOUNT:
        return MultiSelect() ? static_cast<LRESULT>(list_->selectedItems().size()) : LB_ERR;
    case LB_GETSELITEMS: {
        if (!MultiSelect())
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        if (!out)
            return LB_ERR;
        const int max = std::max(0, index);
        int n = 0;
        for (int i = 0; i < count && n < max; ++i) {
            if (list_->item(i)->isSelected())
                out[n++] = i;
        }
        return n;
    }
    case LB_GETTOPINDEX: {
        const QListWidgetItem* top = list_->itemAt(2, 2);
        return top ? list_->row(top) : 0;
    }
    case LB_SETTOPINDEX:
        if (!valid)
            return LB_ERR;
        list_->scrollToItem(list_->item(index), QAbstractItemView::PositionAtTop);
        return 0;
    case LB_GETCARETINDEX:
        return list_->currentRow();
    case LB_SETCARETINDEX: {
        if (!valid)
            return LB_ERR;
        TQuietChange quiet(programmatic_);
        list_->setCurrentRow(index, MultiSelect() ? QItemSelectionModel::NoUpdate : QItemSelectionModel::ClearAndSelect);
        return 0;
    }
    case LB_SETTABSTOPS: {
        if (!tabStops_)
            return 0;
        const auto* stops = reinterpret_cast<const int*>(lParam);
        std::vector<int> pixels;
        int every = DialogUnitsToPixels(32);
        if (index == 1 && stops) {
            every = DialogUnitsToPixels(stops[0]);
        } else if (index > 1 && stops) {
            for (int i = 0; i < index; ++i)
                pixels.push_back(DialogUnitsToPixels(stops[i]));
            every = 0;
        }
        tabStops_->SetTabStops(std::move(pixels), every);
        list_->viewport()->update();
        return 1;
    }
    case LB_SETCOLUMNWIDTH:
        if (Attr.Style & LBS_MULTICOLUMN) {
            const int height = ownerDraw_ ? ownerDraw_->ItemHeight() : list_->fontMetrics().height() + 2;
            list_->setGridSize(QSize(std::max(1, index), std::max(1, height)));
        }
        return 0;
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<TRect*>(lParam);
        if (!valid || !rect)
            return LB_ERR;
        const QRect r = list_->visualItemRect(list_->item(index)).translated(list_->viewport()->pos());
        *rect = TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        return 1;
    }
    case LB_GETITEMHEIGHT:
        if (ownerDraw_ && (Attr.Style & LBS_OWNERDRAWVARIABLE))
            return valid ? list_->item(index)->sizeHint().height() : LB_ERR;
        if (ownerDraw_)
            return ownerDraw_->ItemHeight();
        return count > 0 ? list_->visualItemRect(list_->item(0)).height() : list_->fontMetrics().height();
    case LB_SETITEMHEIGHT: {
        const int height = static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        if (ownerDraw_ && (Attr.Style & LBS_OWNERDRAWVARIABLE)) {
            if (!valid)
                return LB_ERR;
            list_->item(index)->setSizeHint(QSize(1, std::max(1, height)));
        } else if (ownerDraw_) {
            ownerDraw_->SetItemHeight(std::max(1, height));
            list_->doItemsLayout();
        }
        return 0;
    }
    case WM_SETFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(LBN_SETFOCUS);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
        NotifyParent(LBN_KILLFOCUS);
        return result;
    }
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}

UINT TListBox::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}
