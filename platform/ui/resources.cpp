#include "platform/ui/resources.h"

#include "platform/ui/resources_qt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QStyle>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct TCursorHandle {
    TResId id;
};

struct TIconHandle {
    TResId id;
};

namespace {

struct CursorImage {
    QImage image;
    int hotX = 0;
    int hotY = 0;
};

struct BitmapEntry {
    QImage image;
    std::vector<std::uint8_t> bytes;  // as registered, for an exact TDib
};

std::map<std::string, BitmapEntry>& Bitmaps()
{
    static std::map<std::string, BitmapEntry> table;
    return table;
}

std::map<std::string, QImage>& Icons()
{
    static std::map<std::string, QImage> table;
    return table;
}

std::map<std::string, CursorImage>& Cursors()
{
    static std::map<std::string, CursorImage> table;
    return table;
}

std::string Key(const TResId& id)
{
    return id.Key();
}

QImage Decode(const void* data, std::size_t size)
{
    QImage image;
    if (data && size > 0 && size < static_cast<std::size_t>(INT32_MAX))
        image.loadFromData(static_cast<const uchar*>(data), static_cast<int>(size));
    return image;
}

const TCursorHandle* g_shown = nullptr;

}  // namespace

bool RegisterBitmapResource(TResId id, const void* data, std::size_t size)
{
    QImage image = Decode(data, size);
    if (image.isNull())
        return false;
    const auto* first = static_cast<const std::uint8_t*>(data);
    Bitmaps()[Key(id)] = {image, std::vector<std::uint8_t>(first, first + size)};
    return true;
}

bool RegisterIconResource(TResId id, const void* data, std::size_t size)
{
    QImage image = Decode(data, size);
    if (image.isNull())
        return false;
    Icons()[Key(id)] = image;
    return true;
}

bool RegisterCursorResource(TResId id, const void* data, std::size_t size, int hotX, int hotY)
{
    QImage image = Decode(data, size);
    if (image.isNull())
        return false;
    Cursors()[Key(id)] = {image, hotX, hotY};
    return true;
}

bool HasBitmapResource(TResId id)
{
    return Bitmaps().count(Key(id)) != 0;
}

bool HasIconResource(TResId id)
{
    return Icons().count(Key(id)) != 0;
}

QImage BitmapResourceImage(TResId id)
{
    auto it = Bitmaps().find(Key(id));
    return it == Bitmaps().end() ? QImage() : it->second.image;
}

TDib LoadDibResource(TModule* /*module*/, TResId id)
{
    auto it = Bitmaps().find(Key(id));
    if (it == Bitmaps().end())
        return TDib();
    TDib dib;
    if (TDib::FromFileBytes(it->second.bytes, dib) == DibError::None)
        return dib;
    const QImage image = it->second.image.convertToFormat(QImage::Format_RGB32);
    dib = TDib(image.width(), image.height(), 24);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            dib.SetPixelColor(x, y, {static_cast<BYTE>(qRed(rgb)), static_cast<BYTE>(qGreen(rgb)),
                                     static_cast<BYTE>(qBlue(rgb))});
        }
    }
    return dib;
}

QIcon IconResource(TResId id)
{
    auto it = Icons().find(Key(id));
    if (it != Icons().end())
        return QIcon(QPixmap::fromImage(it->second));
    if (id.IsName() || !QApplication::style())
        return QIcon();
    QStyle* style = QApplication::style();
    switch (id.Id()) {
    case IDI_HAND:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case IDI_QUESTION:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case IDI_EXCLAMATION:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case IDI_ASTERISK:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    default:
        return QIcon();
    }
}

QCursor CursorForResource(TResId id)
{
    auto it = Cursors().find(Key(id));
    if (it != Cursors().end())
        return QCursor(QPixmap::fromImage(it->second.image), it->second.hotX, it->second.hotY);
    if (id.IsName())
        return QCursor(Qt::ArrowCursor);
    switch (id.Id()) {
    case IDC_IBEAM:
        return QCursor(Qt::IBeamCursor);
    case IDC_WAIT:
        return QCursor(Qt::WaitCursor);
    case IDC_CROSS:
        return QCursor(Qt::CrossCursor);
    case IDC_UPARROW:
        return QCursor(Qt::UpArrowCursor);
    case IDC_SIZENWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case IDC_SIZENESW:
        return QCursor(Qt::SizeBDiagCursor);
    case IDC_SIZEWE:
        return QCursor(Qt::SizeHorCursor);
    case IDC_SIZENS:
        return QCursor(Qt::SizeVerCursor);
    case IDC_SIZEALL:
        return QCursor(Qt::SizeAllCursor);
    case IDC_NO:
        return QCursor(Qt::ForbiddenCursor);
    case IDC_HAND:
        return QCursor(Qt::PointingHandCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

HCURSOR LoadCursor(TModule* /*module*/, TResId id)
{
    // Handles stay valid for the program's life, as loaded cursors do.
    static std::map<std::string, std::unique_ptr<TCursorHandle>> loaded;
    auto& handle = loaded[Key(id)];
    if (!handle)
        handle = std::make_unique<TCursorHandle>(TCursorHandle{id});
    return handle.get();
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = g_shown;
    const bool arrow = !cursor || (!cursor->id.IsName() && cursor->id.Id() == IDC_ARROW);
    if (arrow) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    } else if (QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(CursorForResource(cursor->id));
    } else {
        QGuiApplication::setOverrideCursor(CursorForResource(cursor->id));
    }
    g_shown = cursor;
    return previous;
}

HCURSOR GetCursor()
{
    return g_shown;
}

TResId CursorResource(HCURSOR cursor)
{
    return cursor ? cursor->id : TResId(IDC_ARROW);
}

HICON LoadIcon(TModule* /*module*/, TResId id)
{
    static std::map<std::string, std::unique_ptr<TIconHandle>> loaded;
    auto& handle = loaded[Key(id)];
    if (!handle)
        handle = std::make_unique<TIconHandle>(TIconHandle{id});
    return handle.get();
}

TResId IconResourceId(HICON icon)
{
    return icon ? icon->id : TResId();
}
