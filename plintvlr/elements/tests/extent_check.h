#pragma once
// Whether an element's word that it draws nothing into an area holds: for
// small areas all over and round the element, each area it says it misses
// is drawn with the clipping cut to it, and must keep every pixel.

#include "platform/gdi/dc.h"
#include "plintvlr/elements/size_rect.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

// The number of areas touching the element's rectangle (those a repaint
// asks about) that it said it misses; every area it misses is checked.
inline int CheckMissedAreasStayBlank(SizeRect& element, int scale, const std::string& what)
{
    const TRect box = element.Normalized();
    int missed = 0;
    for (const TSize size : {TSize(3, 2), TSize(7, 5)}) {
        for (int y = box.top / 20 - 6; y < box.bottom / 20 + 6; ++y) {
            for (int x = box.left / 20 - 6; x < box.right / 20 + 6; ++x) {
                const TRect area(x * 20, y * 20, (x + size.cx) * 20, (y + size.cy) * 20);
                if (element.DrawsInto(area))
                    continue;
                missed += area.Touches(box) ? 1 : 0;
                QImage image((box.right / 20 + 16) * scale, (box.bottom / 20 + 16) * scale, QImage::Format_RGB32);
                image.fill(0xFFFFFFFFu);
                {
                    TDC dc(image);
                    dc.SetMapMode(MM_ANISOTROPIC);
                    dc.SetWindowExt(TSize(20, 20));
                    dc.SetViewportExt(TSize(scale, scale));
                    dc.IntersectClipRect(area);
                    element.Draw(dc);
                }
                for (int py = 0; py < image.height(); ++py) {
                    for (int px = 0; px < image.width(); ++px) {
                        if ((image.pixel(px, py) | 0xFF000000u) != 0xFFFFFFFFu) {
                            ADD_FAILURE() << what << " at scale " << scale << " said it misses the area at " << x << ","
                                          << y << " (" << size.cx << " x " << size.cy << ") but set pixel " << px
                                          << "," << py;
                            return missed;
                        }
                    }
                }
            }
        }
    }
    return missed;
}
