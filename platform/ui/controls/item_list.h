#pragma once
// What list boxes and combo boxes share (internal): searching their items,
// sorted insertion, and the item delegates for owner-drawn items and tab stops.

#include "platform/base/win_types.h"

#include <QString>
#include <QStyledItemDelegate>

#include <functional>
#include <vector>

class TWindow;

using TItemText = std::function<QString(int index)>;

// Counts a change the program makes for as long as it lasts; the control
// tells its parent of no change while its count is above zero.
class TQuietChange {
public:
    explicit TQuietChange(int& counter) : counter_(counter) { ++counter_; }
    ~TQuietChange() { --counter_; }
    TQuietChange(const TQuietChange&) = delete;
    TQuietChange& operator=(const TQuietChange&) = delete;

private:
    int& counter_;
};

// The text a program passes with an item message (a null pointer is empty).
QString ItemTextArg(LPARAM text);
// LB_GETTEXT, CB_GETLBTEXT: copies the text and a NUL to the program's
// buffer, which holds the item's length + 1; answers the length, or -1
// (LB_ERR, CB_ERR) without a buffer.
LRESULT CopyItemText(const QString& text, LPARAM buffer);

// Items compare without regard to case. A search starts after `start`
// (-1: at the top), wraps around, and answers -1 when nothing matches.
int FindItemPrefix(int count, const TItemText& text, const QString& find, int start);
int FindItemExact(int count, const TItemText& text, const QString& find, int start);
// Where a sorted list puts a new item: after the items that sort equal.
int SortedPosition(int count, const TItemText& text, const QString& item);

// The role that holds an item's data.
constexpr int kItemDataRole = Qt::UserRole + 1;

// Owner-drawn items: WM_MEASUREITEM and WM_DRAWITEM to the control's parent.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    TOwnerDrawDelegate(HWND control, UINT controlType, bool variable, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void SetItemHeight(int height) { itemHeight_ = height; }
    int ItemHeight() const { return itemHeight_; }
    // Asks the parent for an item's height (WM_MEASUREITEM).
    int Measure(int index, std::uintptr_t data) const;

private:
    HWND control_;  // looked up at each use: the delegate may outlive the window
    UINT type_;
    bool variable_;
    int itemHeight_ = 0;
};

// Text with tab characters laid out at the list's tab stops.
class TTabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void SetTabStops(std::vector<int> stops, int every);

private:
    std::vector<int> stops_;  // pixels
    int every_ = 0;           // pixels between stops after the last one
};
