#pragma once
// A context over an image that answers as a printer: IsPrinter() is true and
// GetDeviceCaps gives the printer's technology and raster capabilities, with
// or without RC_STRETCHBLT. Drawing lands in the image pixel for pixel, so
// code that takes a different path on printers can be checked exactly; a
// real printout (a PDF) stays the end-to-end check.

#include "platform/gdi/dc.h"

class QImage;

class TImagePrintDC : public TDC {
public:
    // The image is drawn on as by TDC(QImage&); dpi is the resolution the
    // context reports.
    explicit TImagePrintDC(QImage& image, bool canStretchBlt = true, int dpi = 300);
};
