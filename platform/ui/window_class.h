#pragma once
// Window classes that dialog templates can name beyond the standard
// controls ("Bmpbtn", "TrmtGrid32"...). A template item of a registered
// class that no window object of the dialog claims gets one from the
// class's factory; an unknown class gets a plain control window.

#include <string>

class TWindow;

using TWindowFactory = TWindow* (*)(TWindow* parent, int id);

void RegisterWindowClass(const char* className, TWindowFactory factory);
TWindowFactory FindWindowClass(const std::string& className);
