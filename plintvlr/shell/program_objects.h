#pragma once
// The program-wide objects that live for the whole run of the configuration
// program, beside the overview-group list (GetOvList) and the bitmap library
// (GetBitmapLibrary): made on first use, which the program's entry makes in
// the order overview groups, message holder, bitmap library.

class errorcall;

// The shared message holder that the message table editor shows its boxes through.
errorcall& GetErrorHolder();
