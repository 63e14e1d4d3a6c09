#include "plintvlr/shell/frame_printer.h"

#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/printing_string_ids.h"
#include "plintvlr/shell/text_page_printout.h"
#include "platform/gdi/printer.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/print_setup_dialog.h"

#include <cstdio>
#include <string>

namespace {

void Tell(HWND owner, const char* text, UINT icon)
{
    TApp::MessageBox(nullptr, owner, text, Str(kStrApplicationMessage), icon);
}

// A message that names the file or printer.
void TellAbout(HWND owner, int textId, const std::string& where, UINT icon)
{
    char text[1024];
    std::snprintf(text, sizeof text, Str(textId), where.c_str());
    Tell(owner, text, icon);
}

}  // namespace

void RegisterPrintingCommands()
{
    RegisterFrameCommand(CM_PRINTERSETUP, {
        [](MDIFrame& frame) {
            if (TPrinter* printer = frame.GetPrinter())
                PrinterSetup(&frame, *printer);
        },
        [](MDIFrame& frame, TCommandEnabler& enabler) { enabler.Enable(frame.GetPrinter() != nullptr); },
    });
}

bool MDIFrame::Print(TWindow* parent, TextPagePrintout& printout)
{
    const HWND owner = parent && parent->IsWindow() ? parent->GetHandle() : GetHandle();
    if (!printer_ || printout.HasFailed()) {
        Tell(owner, Str(kStrPrinterNoPaper), MB_ICONEXCLAMATION);
        return false;
    }
    const bool printed = PrintOut(parent ? parent : this, *printer_, printout, false);
    // A PDF file is the output when the printer has no device name.
    const bool toFile = printer_->GetDeviceName().empty();
    const std::string where = toFile ? printer_->GetOutputFileName() : printer_->GetDeviceName();
    if (printout.HasFailed()) {
        Tell(owner, Str(kStrPrinterNoPaper), MB_ICONEXCLAMATION);
        return false;
    }
    if (!printed || printer_->GetError() == SP_ERROR) {
        TellAbout(owner, toFile ? kStrPrintFileFailed : kStrPrintPrinterFailed, where, MB_ICONEXCLAMATION);
        return false;
    }
    if (toFile)
        TellAbout(owner, kStrPrintedToFile, where, MB_ICONINFORMATION);
    return true;
}
