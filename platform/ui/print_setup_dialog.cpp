#include "platform/ui/print_setup_dialog.h"

#include "platform/gdi/printer.h"
#include "platform/ui/window.h"

#include <QWidget>

namespace {

QWidget* DialogParent(TWindow* parent)
{
    return parent && parent->IsWindow() ? parent->GetWidget()->window() : nullptr;
}

}  // namespace

bool PrinterSetup(TWindow* parent, TPrinter& printer)
{
    return printer.Setup(DialogParent(parent));
}

bool PrintOut(TWindow* parent, TPrinter& printer, TPrintout& printout, bool prompt)
{
    return printer.Print(DialogParent(parent), printout, prompt);
}
