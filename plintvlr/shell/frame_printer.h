#pragma once
// The frame's printer as the engineer reaches it: Printer Setup (2005), and
// printing a graphic page printout with it (MDIFrame::Print).

// Registers Printer Setup with the frame.
void RegisterPrintingCommands();
