#include "platform/ui/print_setup_dialog.h"

#include "platform/gdi/printer.h"
#include "platform/ui/window.h"

#include <QWidget>

bool PrinterSetup(TWindow* parent, TPrinter& printer)
{
    return printer.Setup(parent && parent->IsWindow() ? parent->GetWidget()->window() : nullptr);
}
