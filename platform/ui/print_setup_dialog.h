#pragma once
// The print set-up dialog over a window: the printer (or a PDF file) and the
// paper. OK keeps the choice in the printer; Cancel puts the desktop's
// default printer back. And printing with a window as the dialogs' parent.

class TPrinter;
class TPrintout;
class TWindow;

bool PrinterSetup(TWindow* parent, TPrinter& printer);
// TPrinter::Print with the print dialog (when `prompt`) over `parent`.
bool PrintOut(TWindow* parent, TPrinter& printer, TPrintout& printout, bool prompt);
