#include "platform/ui/controls/item_list.h"

#include "platform/ui/messages.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

#include <cstring>
#include <string>

namespace {

int Search(int count, int start, const std::function<bool(int)>& match)
{
    if (count <= 0)
        return -1;
    const int first = (start < 0 || start >= count) ? 0 : start + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        if (match(i))
            return i;
    }
    return -1;
}

}  // namespace

QString ItemTextArg(LPARAM text)
{
    return ToQString(text ? reinterpret_cast<const char*>(text) : "");
}

LRESULT CopyItemText(const QString& text, LPARAM buffer)
{
    if (!buffer)
        return -1;
    const std::string s = FromQString(text);
    std::memcpy(reinterpret_cast<char*>(buffer), s.c_str(), s.size() + 1);
    return static_cast<LRESULT>(s.size());
}

int FindItemPrefix(int count, const TItemText& text, const QString& find, int start)
{
    return Search(count, start, [&](int i) { return text(i).startsWith(find, Qt::CaseInsensitive); });
}

int FindItemExact(int count, const TItemText& text, const QString& find, int start)
{
    return Search(count, start, [&](int i) { return text(i).compare(find, Qt::CaseInsensitive) == 0; });
}

int SortedPosition(int count, const TItemText& text, const QString& item)
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (QString::compare(text(mid), item, Qt::CaseInsensitive) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

TOwnerDrawDelegate::TOwnerDrawDelegate(HWND control, UINT controlType, bool variable, QObject* parent)
    : QStyledItemDelegate(parent), control_(control), type_(controlType), variable_(variable)
{
    itemHeight_ = QFontMetrics(QApplication::font()).height();
}

int TOwnerDrawDelegate::Measure(int index, std::uintptr_t data) const
{
    TWindow* control = GetWindowPtr(control_);
    if (!control)
        return itemHeight_;
    MEASUREITEMSTRUCT item;
    item.CtlType = type_;
    item.CtlID = static_cast<UINT>(control->GetId());
    item.itemID = static_cast<UINT>(index);
    item.itemHeight = static_cast<UINT>(itemHeight_);
    item.itemData = data;
    SendMessage(control->GetParent(), WM_MEASUREITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    return static_cast<int>(item.itemHeight);
}

QSize TOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    int height = itemHeight_;
    if (variable_) {
        const QVariant h = index.data(Qt::SizeHintRole);
        if (h.isValid())
            height = h.toSize().height();
    }
    return {option.rect.width() > 0 ? option.rect.width() : 1, std::max(1, height)};
}

void TOwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    TWindow* control = GetWindowPtr(control_);
    if (!control)
        return;
    DRAWITEMSTRUCT item;
    item.CtlType = type_;
    item.CtlID = static_cast<UINT>(control->GetId());
    item.itemID = static_cast<UINT>(index.row());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ((option.state & QStyle::State_Selected) ? ODS_SELECTED : 0) |
                     ((option.state & QStyle::State_HasFocus) ? ODS_FOCUS : 0) |
                     ((option.state & QStyle::State_Enabled) ? 0 : ODS_DISABLED);
    item.hwndItem = control_;
    item.rcItem = TRect(option.rect.left(), option.rect.top(), option.rect.right() + 1, option.rect.bottom() + 1);
    item.itemData = static_cast<std::uintptr_t>(index.data(kItemDataRole).toULongLong());
    const HWND owner = control->GetParent();
    painter->save();
    PaintWithDC(*painter, [&](TDC& dc) {
        item.hDC = &dc;
        SendMessage(owner, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    });
    painter->restore();
}

void TTabStopDelegate::SetTabStops(std::vector<int> stops, int every)
{
    stops_ = std::move(stops);
    every_ = every;
}

void TTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    QList<QTextOption::Tab> tabs;
    int last = 0;
    for (int stop : stops_) {
        tabs.append(QTextOption::Tab(stop, QTextOption::LeftTab));
        last = stop;
    }
    // Beyond the given stops, tabs repeat at the last distance (or the default).
    if (every_ > 0) {
        for (int x = last + every_, n = 0; n < 32; x += every_, ++n)
            tabs.append(QTextOption::Tab(x, QTextOption::LeftTab));
    }
    layout.setTabs(tabs);
    layout.setWrapMode(QTextOption::NoWrap);
    const QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color((opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(rect), text, layout);
    painter->restore();
}
