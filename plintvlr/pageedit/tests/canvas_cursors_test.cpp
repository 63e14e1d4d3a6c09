// The canvas's cursors: each one the canvas names is a registered picture of
// its own, shown when the canvas sets it, pointing where its picture does.

#include "plintvlr/pageedit/canvas_cursors.h"

#include "plintvlr/shell/tests/screenshot.h"
#include "platform/ui/resources.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(CanvasCursors, EveryCursorTheCanvasNamesIsAPictureOfItsOwn)
{
    const std::vector<std::string> names = {"text",     "point", "digpoint", "drive",  "message", "lines",
                                            "tlframe",  "tlcircle", "tlrect", "bitmap", "trend",  "meter",
                                            "trndrcrd", "touch", "button",   "arrowcro", "diamond", "move"};
    std::vector<std::string> listed;
    for (const CanvasCursor& cursor : CanvasCursors())
        listed.push_back(cursor.name);
    EXPECT_EQ(listed, names);

    RegisterCanvasCursors();
    std::set<size_t> pictures;
    QImage sheet(static_cast<int>(names.size()) * 72, 72, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 192));
    int i = 0;
    for (const CanvasCursor& cursor : CanvasCursors()) {
        SCOPED_TRACE(cursor.name);
        SetCursor(LoadCursor(nullptr, cursor.name));
        const QCursor* shown = QGuiApplication::overrideCursor();
        ASSERT_NE(shown, nullptr);
        const QImage picture = shown->pixmap().toImage();
        ASSERT_FALSE(picture.isNull()) << "not registered: the arrow would show";
        EXPECT_EQ(picture.size(), QSize(32, 32));
        EXPECT_EQ(shown->hotSpot(), QPoint(cursor.hotX, cursor.hotY));
        // The hot spot is on the picture, not on a transparent pixel beside it.
        EXPECT_EQ(qAlpha(picture.pixel(cursor.hotX, cursor.hotY)), 255);
        const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
        pictures.insert(qHash(QByteArray(reinterpret_cast<const char*>(argb.constBits()),
                                         static_cast<qsizetype>(argb.sizeInBytes()))));
        QPainter(&sheet).drawImage(QRect(i++ * 72 + 4, 4, 64, 64), picture);
    }
    SetCursor(nullptr);
    EXPECT_EQ(pictures.size(), names.size()) << "two cursors share a picture";
    EXPECT_TRUE(SaveScreenshot(sheet, "canvas_cursors"));
}

}  // namespace
