#include "platform/gdi/image_print_dc.h"

#include <QImage>

TImagePrintDC::TImagePrintDC(QImage& image, bool canStretchBlt, int dpi) : TDC(image)
{
    DeviceInfo info;
    info.width = image.width();
    info.height = image.height();
    info.dpiX = dpi;
    info.dpiY = dpi;
    info.printer = true;
    info.physicalWidth = image.width();
    info.physicalHeight = image.height();
    if (!canStretchBlt)
        info.rasterCaps &= ~RC_STRETCHBLT;
    SetDeviceInfo(info);
}
