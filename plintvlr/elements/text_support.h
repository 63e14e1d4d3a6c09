#pragma once
// What the text elements and the tag display share: the open project's panel
// type and default font, the old-kind question, and the record pieces of the
// size multipliers.

#include "plintvlr/elements/record_reader.h"

#include <cstdint>
#include <string>

class TWindow;

// The open project's panel type, and whether it is a text panel (15-24).
int GetOpenPanelType();
bool IsTextPanelOpen();
// The font number new text elements get (0 without a project).
int GetDefaultFontNumber();

// An element of an old tag kind (register or bit) must be converted before
// it is edited: the Yes/No question; true for Yes.
bool AskConvertOldKind(TWindow* parent);

// The code byte (0x40 added at 1 x 1) and, otherwise, the size byte: x in
// the high and y in the low four bits, each modulo 16.
std::uint8_t* PackTextSize(std::uint8_t code, int sizeX, int sizeY, std::uint8_t* at);
// Reads the size byte when the code lacks 0x40; multipliers read as 0 are 1.
bool UnpackTextSize(std::uint8_t code, int& sizeX, int& sizeY, RecordReader& in);

// The text stored behind the record's body: its bytes up to the zero, which
// must lie inside the record.
bool UnpackText(RecordReader& in, std::string& text);
