#include "platform/ui/controls/tab_control.h"

#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include <algorithm>

namespace {

// The tabs above a framed area, as the system's tab control draws them.
class TTabFrameWidget : public QWidget {
public:
    explicit TTabFrameWidget(QWidget* parent) : QWidget(parent), bar(new QTabBar(this))
    {
        bar->setDrawBase(false);
        bar->setExpanding(false);
        bar->setUsesScrollButtons(true);
        setFocusProxy(bar);
    }

    QRect FrameRect() const { return rect().adjusted(0, bar->sizeHint().height() - 1, 0, 0); }

    QTabBar* bar;

protected:
    void resizeEvent(QResizeEvent* /*event*/) override { bar->setGeometry(0, 0, width(), bar->sizeHint().height()); }
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.rect = FrameRect();
        option.tabBarSize = bar->sizeHint();
        option.shape = QTabBar::RoundedNorth;
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
    }
};

// Room between the frame and the display area.
constexpr int kDisplayMargin = 4;

}  // namespace

TTabControl::TTabControl(TWindow* parent, int id, int x, int y, int w, int h, TModule* module)
    : TControl(parent, id, nullptr, x, y, w, h, module)
{
    Attr.Style &= ~WS_GROUP;
}

TTabControl::TTabControl(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

QWidget* TTabControl::CreateWidget(QWidget* parent)
{
    auto* widget = new TTabFrameWidget(parent);
    bar_ = widget->bar;
    ApplyFocusPolicy(bar_);
    widget->setFocusPolicy(Qt::NoFocus);
    for (const std::string& text : pending_)
        bar_->addTab(ToQString(text));
    pending_.clear();
    if (pendingSel_ >= 0 && pendingSel_ < bar_->count())
        bar_->setCurrentIndex(pendingSel_);
    QObject::connect(bar_, &QTabBar::currentChanged, SignalContext(), [this](int) {
        if (!programChange_)
            Notify(TCN_SELCHANGE);
    });
    return widget;
}

void TTabControl::WidgetCreated()
{
    TControl::WidgetCreated();
    TWindowBridge::AddEventSource(*this, bar_);
}

void TTabControl::WidgetReleased()
{
    TControl::WidgetReleased();
    // The tabs belong to the control, not to its window: one made again
    // shows them again. The bar goes with the window after this.
    pending_.clear();
    for (int i = 0; i < bar_->count(); ++i)
        pending_.push_back(FromQString(bar_->tabText(i)));
    pendingSel_ = bar_->currentIndex();
    bar_ = nullptr;
}

LRESULT TTabControl::Notify(UINT code)
{
    NMHDR header{GetHandle(), static_cast<UINT>(GetId()), code};
    return GetParentO() ? GetParentO()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetId()),
                                                    reinterpret_cast<LPARAM>(&header))
                        : 0;
}

bool TTabControl::MayChange()
{
    return Notify(TCN_SELCHANGING) == 0;
}

int TTabControl::Add(const char* text)
{
    return Insert(text, GetCount());
}

int TTabControl::Insert(const char* text, int index)
{
    const std::string t = text ? text : "";
    if (!bar_) {
        index = std::clamp(index, 0, static_cast<int>(pending_.size()));
        pending_.insert(pending_.begin() + index, t);
        return index;
    }
    programChange_ = true;
    const int at = bar_->insertTab(index, ToQString(t));
    programChange_ = false;
    return at;
}

bool TTabControl::Delete(int index)
{
    if (!bar_) {
        if (index < 0 || index >= static_cast<int>(pending_.size()))
            return false;
        pending_.erase(pending_.begin() + index);
        return true;
    }
    if (index < 0 || index >= bar_->count())
        return false;
    programChange_ = true;
    bar_->removeTab(index);
    programChange_ = false;
    return true;
}

void TTabControl::DeleteAll()
{
    while (GetCount() > 0)
        Delete(GetCount() - 1);
}

int TTabControl::GetCount() const
{
    return bar_ ? bar_->count() : static_cast<int>(pending_.size());
}

int TTabControl::GetSel() const
{
    return bar_ ? bar_->currentIndex() : pendingSel_;
}

int TTabControl::SetSel(int index)
{
    const int previous = GetSel();
    if (index < 0 || index >= GetCount())
        return -1;
    if (!bar_) {
        pendingSel_ = index;
        return previous;
    }
    programChange_ = true;
    bar_->setCurrentIndex(index);
    programChange_ = false;
    return previous;
}

std::string TTabControl::GetItemText(int index) const
{
    if (!bar_)
        return index >= 0 && index < static_cast<int>(pending_.size()) ? pending_[static_cast<std::size_t>(index)]
                                                                       : std::string();
    return index >= 0 && index < bar_->count() ? FromQString(bar_->tabText(index)) : std::string();
}

bool TTabControl::SetItemText(int index, const char* text)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (!bar_)
        pending_[static_cast<std::size_t>(index)] = text ? text : "";
    else
        bar_->setTabText(index, ToQString(text ? text : ""));
    return true;
}

TRect TTabControl::GetItemRect(int index) const
{
    if (!bar_ || index < 0 || index >= bar_->count())
        return {};
    const QRect r = bar_->tabRect(index).translated(bar_->pos());
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TRect TTabControl::GetDisplayRect() const
{
    const TRect client = GetClientRect();
    const int tabs = GetTabHeight();
    return {client.left + kDisplayMargin, client.top + tabs + kDisplayMargin, client.right - kDisplayMargin,
            client.bottom - kDisplayMargin};
}

int TTabControl::GetTabHeight() const
{
    if (bar_)
        return bar_->sizeHint().height();
    QTabBar probe;
    probe.addTab(QStringLiteral("X"));
    return probe.sizeHint().height();
}

int TTabControl::DisplayMargin()
{
    return kDisplayMargin;
}

UINT TTabControl::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_WANTARROWS;
}

LRESULT TTabControl::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        // The parent may keep the old tab before Qt changes it.
        if (!bar_)
            break;
        const QPoint at = bar_->mapFrom(GetClientWidget(), QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        const int index = bar_->tabAt(at);
        if (index >= 0 && index != bar_->currentIndex() && !MayChange())
            return 0;
        break;
    }
    case WM_KEYDOWN:
        if (bar_ && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
            const int next = bar_->currentIndex() + (wParam == VK_LEFT ? -1 : 1);
            if (next >= 0 && next < bar_->count() && !MayChange())
                return 0;
        }
        break;
    case TCM_GETITEMCOUNT:
        return GetCount();
    case TCM_INSERTITEM:
        return Insert(reinterpret_cast<const char*>(lParam), static_cast<int>(wParam));
    case TCM_DELETEITEM:
        return Delete(static_cast<int>(wParam));
    case TCM_DELETEALLITEMS:
        DeleteAll();
        return 1;
    case TCM_GETCURSEL:
        return GetSel();
    case TCM_SETCURSEL:
        return SetSel(static_cast<int>(wParam));
    default:
        break;
    }
    return TControl::DefWindowProc(msg, wParam, lParam);
}
