#include "platform/ui/backing_image.h"

#include "platform/ui/window.h"

#include <QPainter>
#include <QWidget>

#include <map>
#include <memory>

namespace {

struct TBackingEntry {
    std::unique_ptr<TBackingImage> image;  // made when first needed
};

std::map<const TWindow*, TBackingEntry>& Backings()
{
    static std::map<const TWindow*, TBackingEntry> backings;
    return backings;
}

// A paint context over the image, clipped to exactly the area being painted
// (not its bounding box), so pixels outside it keep what they show.
class TImagePaintDC : public TPaintDC {
public:
    TImagePaintDC(QImage& image, const QRegion& area, bool erase)
        : TPaintDC(image, TRegion(area).GetRgnBox(), erase)
    {
        SetSystemClip(&area);
    }
};

QRect ToQRect(const TRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

void KeepBackingImage(TWindow& window, bool keep)
{
    if (keep)
        Backings().try_emplace(&window);
    else
        Backings().erase(&window);
    if (window.IsWindow())
        window.GetClientWidget()->update();
}

bool KeepsBackingImage(const TWindow& window)
{
    return Backings().count(&window) != 0;
}

TBackingImage* GetBackingImage(const TWindow& window)
{
    if (Backings().empty() || !window.IsWindow())
        return nullptr;
    auto it = Backings().find(&window);
    if (it == Backings().end())
        return nullptr;
    if (!it->second.image)
        it->second.image =
            std::make_unique<TBackingImage>(const_cast<TWindow&>(window), *window.GetClientWidget());
    return it->second.image.get();
}

void ReleaseBackingImage(const TWindow& window)
{
    auto it = Backings().find(&window);
    if (it != Backings().end())
        it->second.image.reset();
}

void ForgetBackingImage(const TWindow& window)
{
    Backings().erase(&window);
}

TRect TBackingImage::GetClientRect() const
{
    return TRect(0, 0, client_.width(), client_.height());
}

void TBackingImage::ScrollPixels(int dx, int dy, const TRect& area)
{
    TImageSurface(image_).ScrollPixels(dx, dy, area);
    client_.update(ToQRect(area));
}

void TBackingImage::Invalidate(const QRegion& region, bool erase)
{
    const QRegion inside = region & QRect(QPoint(0, 0), client_.size());
    if (inside.isEmpty())
        return;
    invalid_ += inside;
    erase_ = erase_ || erase;
    client_.update(inside);
}

void TBackingImage::Serve()
{
    if (serving_)
        return;
    const QSize size = client_.size();
    if (size.isEmpty())
        return;
    if (image_.size() != size) {
        image_ = QImage(size, QImage::Format_RGB32);
        invalid_ = QRegion(QRect(QPoint(0, 0), size));
        erase_ = true;
    }
    if (invalid_.isEmpty())
        return;
    // What Paint invalidates while it runs is painted the next time.
    const QRegion area = invalid_;
    const bool erase = erase_;
    invalid_ = QRegion();
    erase_ = false;
    serving_ = true;
    if (erase)
        Erase(area);
    {
        TImagePaintDC dc(image_, area, erase);
        TRect rect = dc.GetPaintRect();
        window_.Paint(dc, erase, rect);
    }
    serving_ = false;
}

void TBackingImage::Erase(const QRegion& region)
{
    const QColor background = client_.palette().color(client_.backgroundRole());
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region)
        painter.fillRect(r, background);
}

void TBackingImage::CopyTo(QPainter& painter, const QRect& area) const
{
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), image_, area);
}

void TBackingImage::Show(const QRect& area)
{
    client_.update(area);
}

namespace {

QImage* BackingImageOf(HWND hwnd)
{
    TWindow* window = GetWindowPtr(hwnd);
    TBackingImage* backing = window ? GetBackingImage(*window) : nullptr;
    if (!backing)
        return nullptr;
    // While the window's painting is switched off nothing is painted; the
    // context draws on what the image holds.
    if (window->GetClientWidget()->updatesEnabled())
        backing->Serve();
    return backing->Image().isNull() ? nullptr : &backing->Image();
}

TSize ClientSizeOf(HWND hwnd)
{
    TWindow* window = GetWindowPtr(hwnd);
    if (!window)
        return TSize(0, 0);
    const TRect r = window->GetClientRect();
    return TSize(r.Width(), r.Height());
}

void ShowBackingImage(HWND hwnd)
{
    TWindow* window = GetWindowPtr(hwnd);
    if (TBackingImage* backing = window ? GetBackingImage(*window) : nullptr)
        backing->Show(QRect(QPoint(0, 0), backing->Image().size()));
}

}  // namespace

void InstallClientAreaAccess()
{
    TClientAreaAccess access;
    access.image = &BackingImageOf;
    access.size = &ClientSizeOf;
    access.changed = &ShowBackingImage;
    SetClientAreaAccess(access);
}
