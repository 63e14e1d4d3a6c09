#include "platform/ui/gadget_window.h"

#include "platform/gdi/dc.h"
#include "platform/ui/decorated_frame.h"
#include "platform/ui/font_map.h"
#include "platform/ui/paint_bridge.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"
#include "platform/ui/window_font.h"

#include <QEvent>
#include <QFont>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

// Windows hear of the mouse leaving only when they ask; a gadget window
// always wants to know, to drop its hint and its hot gadget.
class TGadgetWindow::LeaveFilter : public QObject {
public:
    explicit LeaveFilter(TGadgetWindow& window) : window_(window) {}
    bool eventFilter(QObject* /*object*/, QEvent* event) override
    {
        if (event->type() == QEvent::Leave)
            window_.MouseLeft();
        return false;
    }

private:
    TGadgetWindow& window_;
};

const TResponseTable TGadgetWindow::Responses{&TWindow::Responses, {
    OnMessage<&TGadgetWindow::EvPaint>(WM_PAINT),
    OnMessage<&TGadgetWindow::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TGadgetWindow::EvLButtonDown>(WM_LBUTTONDBLCLK),
    OnMessage<&TGadgetWindow::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&TGadgetWindow::EvMouseMove>(WM_MOUSEMOVE),
    OnMessage<&TGadgetWindow::EvSize>(WM_SIZE),
}};

TGadgetWindow::TGadgetWindow(TWindow* parent, TTileDirection direction, TModule* module)
    : TWindow(parent, nullptr, module), direction_(direction),
      font_(std::make_unique<QFont>(PlatformFont("MS Sans Serif", 8)))
{
    Attr.Style = (parent ? WS_CHILD : 0) | WS_VISIBLE | WS_CLIPSIBLINGS;
    Attr.X = Attr.Y = 0;
    Attr.W = Attr.H = 0;
}

TGadgetWindow::~TGadgetWindow()
{
    if (IsWindow())
        Destroy(0);
    const std::vector<TGadget*> gadgets = std::move(gadgets_);
    gadgets_.clear();
    for (TGadget* g : gadgets) {
        g->window_ = nullptr;
        delete g;
    }
}

QWidget* TGadgetWindow::CreateWidget(QWidget* parent)
{
    QWidget* widget = TWindow::CreateWidget(parent);
    widget->setFocusPolicy(Qt::NoFocus);  // a bar never takes the focus from the window it serves
    widget->setFont(*font_);
    return widget;
}

void TGadgetWindow::WidgetCreated()
{
    TWindow::WidgetCreated();
    auto* filter = new LeaveFilter(*this);
    filter->setParent(GetClientWidget());
    GetClientWidget()->installEventFilter(filter);
}

void TGadgetWindow::SetupWindow()
{
    TWindow::SetupWindow();
    LayoutSession();
}

// ---------------------------------------------------------------- gadgets

void TGadgetWindow::Insert(TGadget& gadget, TPlacement placement, TGadget* sibling)
{
    if (gadget.window_ == this)
        return;
    if (gadget.window_)
        gadget.window_->Remove(gadget);
    auto at = sibling ? std::find(gadgets_.begin(), gadgets_.end(), sibling) : gadgets_.end();
    if (at == gadgets_.end())
        at = placement == Before ? gadgets_.begin() : gadgets_.end();
    else if (placement == After)
        ++at;
    gadgets_.insert(at, &gadget);
    gadget.window_ = this;
    gadget.Inserted();
    if (IsWindow())
        LayoutSession();
}

TGadget* TGadgetWindow::Remove(TGadget& gadget)
{
    auto it = std::find(gadgets_.begin(), gadgets_.end(), &gadget);
    if (it == gadgets_.end())
        return nullptr;
    if (hot_ == &gadget)
        hot_ = nullptr;
    if (captured_ == &gadget) {
        captured_ = nullptr;
        if (GetCapture() == GetHandle())
            ReleaseCapture();
    }
    gadgets_.erase(it);
    gadget.Removed();
    gadget.window_ = nullptr;
    if (IsWindow())
        LayoutSession();
    return &gadget;
}

TGadget* TGadgetWindow::NextGadget(const TGadget& gadget) const
{
    auto it = std::find(gadgets_.begin(), gadgets_.end(), &gadget);
    return it == gadgets_.end() || it + 1 == gadgets_.end() ? nullptr : *(it + 1);
}

TGadget* TGadgetWindow::GadgetWithId(int id) const
{
    for (TGadget* g : gadgets_) {
        if (g->GetId() == id)
            return g;
    }
    return nullptr;
}

TGadget* TGadgetWindow::GadgetFromPoint(const TPoint& point) const
{
    for (TGadget* g : gadgets_) {
        if (g->GetBounds().Contains(point))
            return g;
    }
    return nullptr;
}

// ---------------------------------------------------------------- layout

void TGadgetWindow::SetDirection(TTileDirection direction)
{
    if (direction == direction_)
        return;
    direction_ = direction;
    if (IsWindow())
        LayoutSession();
}

void TGadgetWindow::SetRectangularColumns(int columns)
{
    columns_ = std::max(0, columns);
    if (IsWindow() && direction_ == Rectangular)
        LayoutSession();
}

void TGadgetWindow::SetMargins(const TMargins& margins)
{
    margins_ = margins;
    if (IsWindow())
        LayoutSession();
}

void TGadgetWindow::SetFont(const char* face, int pointSize)
{
    *font_ = PlatformFont(face ? face : "MS Sans Serif", pointSize > 0 ? pointSize : 8);
    if (!IsWindow())
        return;
    GetWidget()->setFont(*font_);
    // Gadgets measure their texts with the font at each layout: one layout
    // serves them all.
    LayoutSession();
}

TSize TGadgetWindow::GadgetSize(TGadget& gadget)
{
    TSize size;
    gadget.GetDesiredSize(size);
    return size;
}

void TGadgetWindow::GetDesiredSize(TSize& size)
{
    size = MeasureLayout(direction_, columns_);
}

TSize TGadgetWindow::MeasureLayout(TTileDirection direction, int columns)
{
    // Rows (or one column) of gadgets, each row as high as its tallest gadget.
    int along = 0;
    int across = 0;
    int rowAlong = 0;
    int rowAcross = 0;
    int inRow = 0;
    for (TGadget* g : gadgets_) {
        const TSize s = GadgetSize(*g);
        const int a = direction == Vertical ? s.cy : s.cx;
        const int c = direction == Vertical ? s.cx : s.cy;
        if (direction == Rectangular && columns > 0 && inRow == columns) {
            along = std::max(along, rowAlong);
            across += rowAcross;
            rowAlong = rowAcross = inRow = 0;
        }
        rowAlong += a;
        rowAcross = std::max(rowAcross, c);
        ++inRow;
    }
    along = std::max(along, rowAlong);
    across += rowAcross;
    if (direction == Vertical)
        return {across + margins_.Left + margins_.Right, along + margins_.Top + margins_.Bottom};
    return {along + margins_.Left + margins_.Right, across + margins_.Top + margins_.Bottom};
}

TSize TGadgetWindow::DesiredDecorationSize(TAbsLocation location, const TSize& room)
{
    TSize size;
    GetDesiredSize(size);
    // Along an edge a bar takes the edge's whole length.
    if (location == alTop || location == alBottom)
        size.cx = room.cx;
    else if (location == alLeft || location == alRight)
        size.cy = room.cy;
    return size;
}

void TGadgetWindow::PlaceGadgets()
{
    if (!IsWindow())
        return;
    const TRect client = GetClientRect();
    const bool vertical = direction_ == Vertical;
    const int start = vertical ? margins_.Top : margins_.Left;
    const int end = vertical ? client.Height() - margins_.Bottom : client.Width() - margins_.Right;
    // Gadgets that are as wide as possible share what the others leave.
    int fixed = 0;
    int wide = 0;
    for (TGadget* g : gadgets_) {
        const TSize s = GadgetSize(*g);
        if (g->WideAsPossible && direction_ != Rectangular)
            ++wide;
        else
            fixed += vertical ? s.cy : s.cx;
    }
    const int spare = std::max(0, end - start - fixed);
    int along = start;
    int across = vertical ? margins_.Left : margins_.Top;
    int rowThickness = 0;
    int inRow = 0;
    int wideLeft = wide;
    int spareLeft = spare;
    // In one row every gadget takes the row's full thickness.
    int rowCross = 0;
    if (direction_ != Rectangular)
        rowCross = vertical ? client.Width() - margins_.Left - margins_.Right
                            : client.Height() - margins_.Top - margins_.Bottom;
    for (TGadget* g : gadgets_) {
        TSize s = GadgetSize(*g);
        if (direction_ == Rectangular && columns_ > 0 && inRow == columns_) {
            along = start;
            across += rowThickness;
            rowThickness = inRow = 0;
        }
        int length = vertical ? s.cy : s.cx;
        if (g->WideAsPossible && direction_ != Rectangular) {
            length = wideLeft == 1 ? spareLeft : spare / wide;
            spareLeft -= length;
            --wideLeft;
        }
        const int thickness = direction_ == Rectangular ? (vertical ? s.cx : s.cy) : std::max(rowCross, 0);
        if (vertical)
            g->SetBounds(TRect(across, along, across + thickness, along + length));
        else
            g->SetBounds(TRect(along, across, along + length, across + thickness));
        along += length;
        rowThickness = std::max(rowThickness, vertical ? s.cx : s.cy);
        ++inRow;
    }
    GetClientWidget()->update();
}

void TGadgetWindow::LayoutSession()
{
    if (!IsWindow() || inLayout_)
        return;
    inLayout_ = true;
    // The frame or slip that carries the bar gives it its new size; a bar on
    // its own takes the size it wants.
    auto* host = dynamic_cast<TDecorationHost*>(GetParentO());
    if (!(host && (GetStyle() & WS_CHILD) && host->DecorationChangedSize(*this)) && (GetStyle() & WS_CHILD)) {
        TSize size;
        GetDesiredSize(size);
        MoveWindow(Attr.X, Attr.Y, size.cx, size.cy);
    }
    inLayout_ = false;
    PlaceGadgets();
}

void TGadgetWindow::GadgetChangedSize(TGadget& /*gadget*/)
{
    if (IsWindow())
        LayoutSession();
}

void TGadgetWindow::InvalidateGadget(const TGadget& gadget)
{
    if (!IsWindow())
        return;
    const TRect& b = gadget.GetBounds();
    GetClientWidget()->update(QRect(b.left, b.top, b.Width(), b.Height()));
}

void TGadgetWindow::EvSize(UINT /*sizeType*/, const TSize& /*size*/)
{
    PlaceGadgets();
    DefaultProcessing();
}

// ---------------------------------------------------------------- painting

void TGadgetWindow::EvPaint()
{
    QPaintEvent* event = TWindowBridge::PendingPaint(*this);
    if (!event)
        return;
    QPainter painter(GetClientWidget());
    painter.setFont(*font_);
    const QRect area = event->rect();
    painter.fillRect(area, GetClientWidget()->palette().color(QPalette::Window));
    for (TGadget* g : gadgets_) {
        const TRect& b = g->GetBounds();
        if (!area.intersects(QRect(b.left, b.top, b.Width(), b.Height())))
            continue;
        painter.save();
        g->Paint(painter);
        painter.restore();
        if (g->DrawsWithDC()) {
            PaintWithDC(painter, [&](TDC& dc) {
                dc.SelectObject(GetWindowFont(GetHandle()));
                g->PaintDC(dc);
            });
        }
    }
    TRect rect(area.left(), area.top(), area.right() + 1, area.bottom() + 1);
    PaintWithDC(painter, [&](TDC& dc) { Paint(dc, true, rect); });
}

// ---------------------------------------------------------------- mouse

void TGadgetWindow::CaptureMouse(TGadget& gadget)
{
    captured_ = &gadget;
    SetCapture();
}

void TGadgetWindow::ReleaseMouse(TGadget& gadget)
{
    if (captured_ != &gadget)
        return;
    captured_ = nullptr;
    if (GetCapture() == GetHandle())
        ReleaseCapture();
}

void TGadgetWindow::EvLButtonDown(UINT keys, const TPoint& point)
{
    TGadget* g = GadgetFromPoint(point);
    if (g && g->GetEnabled() && g->WantsMouse())
        g->LButtonDown(keys, point);
}

void TGadgetWindow::EvLButtonUp(UINT keys, const TPoint& point)
{
    if (captured_)
        captured_->LButtonUp(keys, point);
}

void TGadgetWindow::EvMouseMove(UINT keys, const TPoint& point)
{
    if (captured_) {
        captured_->MouseMove(keys, point);
        return;
    }
    TGadget* g = GadgetFromPoint(point);
    if (g != hot_) {
        if (hot_)
            hot_->MouseLeave(keys, point);
        hot_ = g;
        if (hot_)
            hot_->MouseEnter(keys, point);
        SetHintCommand(hot_ ? hot_->HintCommand() : 0);
        GetClientWidget()->setToolTip(hot_ ? QString::fromLatin1(hot_->GetTooltipText().c_str()) : QString());
    }
    if (hot_)
        hot_->MouseMove(keys, point);
}

void TGadgetWindow::MouseLeft()
{
    if (captured_ || !IsWindow())
        return;
    if (hot_) {
        hot_->MouseLeave(0, {-1, -1});
        hot_ = nullptr;
    }
    SetHintCommand(0);
    GetClientWidget()->setToolTip(QString());
}

// ---------------------------------------------------------------- commands

TWindow* TGadgetWindow::GetCommandTarget()
{
    for (TWindow* w = GetParentO(); w; w = w->GetParentO()) {
        if (dynamic_cast<TDecoratedFrame*>(w))
            return w;
    }
    return GetTopLevel();
}

void TGadgetWindow::SetHintCommand(UINT command)
{
    if (auto* frame = dynamic_cast<TDecoratedFrame*>(GetCommandTarget()))
        frame->SetHintCommand(command);
}

bool TGadgetWindow::IdleAction(long idleCount)
{
    if (IsWindowVisible()) {
        const std::vector<TGadget*> gadgets = gadgets_;
        for (TGadget* g : gadgets) {
            if (std::find(gadgets_.begin(), gadgets_.end(), g) != gadgets_.end())
                g->CommandEnable();
        }
    }
    return TWindow::IdleAction(idleCount);
}

TControlBar::TControlBar(TWindow* parent, TTileDirection direction, TModule* module)
    : TGadgetWindow(parent, direction, module)
{
    SetMargins({2, 2, 2, 2});
}
