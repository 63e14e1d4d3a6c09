#pragma once
// The transfer program's own settings (kept under the maker's key and the
// program's name): the main window's place "x" and "y", and "Port", the
// serial port last chosen (0 to 3 for "Com 1" to "Com 4").

#include "platform/base/user_settings.h"

TUserSettings& TransferSettings();

// "Port" as chosen, or kPortNeverChosen: a value outside 0 to 3, as a
// person might leave it by hand, counts as never chosen.
constexpr int kPortNeverChosen = 255;
int ReadPortSetting();
