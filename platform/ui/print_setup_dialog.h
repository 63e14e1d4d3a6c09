#pragma once
// The print set-up dialog over a window: the printer (or a PDF file) and the
// paper. OK keeps the choice in the printer; Cancel puts the desktop's
// default printer back.

class TPrinter;
class TWindow;

bool PrinterSetup(TWindow* parent, TPrinter& printer);
