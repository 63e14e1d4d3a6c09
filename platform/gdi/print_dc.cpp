#include "platform/gdi/print_dc.h"

#include <QPainter>
#include <QPrinter>

namespace {

TDC::DeviceInfo PrinterInfo(const QPrinter& printer)
{
    TDC::DeviceInfo info;
    const int dpi = printer.resolution();
    const QRect page = printer.pageLayout().paintRectPixels(dpi);
    const QRect paper = printer.pageLayout().fullRectPixels(dpi);
    info.width = page.width();
    info.height = page.height();
    info.dpiX = dpi;
    info.dpiY = dpi;
    info.printer = true;
    info.physicalWidth = paper.width();
    info.physicalHeight = paper.height();
    info.offsetX = page.left() - paper.left();
    info.offsetY = page.top() - paper.top();
    return info;
}

}  // namespace

TPrintDC::TPrintDC(QPrinter& printer) : printer_(printer), painter_(std::make_unique<QPainter>())
{
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        return;
    }
    AttachPainter(painter_.get(), true);
    SetDeviceInfo(PrinterInfo(printer_));
}

TPrintDC::~TPrintDC()
{
    EndDoc();
}

bool TPrintDC::NewPage()
{
    return painter_ && printer_.newPage();
}

bool TPrintDC::EndDoc()
{
    if (!painter_)
        return false;
    const bool ok = painter_->end();
    painter_.reset();
    AttachImage(nullptr, false);
    return ok;
}

TIC::TIC(const QPrinter& printer)
{
    SetInformationOnly(PrinterInfo(printer));
}
