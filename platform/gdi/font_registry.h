#pragma once
// The raster fonts the program adds to the system's font table: the panel
// fonts (.fnt files) and the program's own font file, which holds several
// .fnt images back to back. Once added, a face is found by name through a
// LOGFONT like any desktop font, and drawn from its glyph bits.
//
// Adding the same file again counts once more; each remove takes one count
// back, and the file's faces go when the count reaches 0. A font selected in
// a context stays usable after its file is removed.

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/raster_font.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDC;

// The number of fonts the file added; 0 when it cannot be read or holds no
// sound font. A bare name is looked up in the working directory.
int AddFontResource(const char* fileName);
// False when the file was not added.
BOOL RemoveFontResource(const char* fileName);

// A number that changes whenever a face comes into the font table or leaves
// it (another count of a file already added changes nothing): whoever keeps
// something drawn with a face by name can tell when that name may draw
// differently.
unsigned FontTableGeneration();

// A registered face (letter case ignored) in the size that suits a cell
// height in pixels: the largest not above it, else the smallest there is.
// Null when no font of that face is registered.
std::shared_ptr<const TRasterFont> FindRasterFont(std::string_view face, int cellHeight);

// Font families: the registered raster faces (each once, in the order they
// were added, with their own character set, as RASTER_FONTTYPE), then the
// desktop's families (ANSI_CHARSET, TRUETYPE_FONTTYPE). With a family name,
// every registered size of that face instead. The callback returns 0 to stop;
// the answer is the callback's last answer (1 when it was never called).
using FONTENUMPROC = int (*)(const LOGFONT* logFont, const TEXTMETRIC* metrics, DWORD fontType, LPARAM data);
int EnumFontFamilies(const TDC& dc, const char* family, FONTENUMPROC proc, LPARAM data);
