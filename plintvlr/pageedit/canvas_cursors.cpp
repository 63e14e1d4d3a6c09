#include "plintvlr/pageedit/canvas_cursors.h"

#include "platform/base/embedded_file.h"
#include "platform/ui/resources.h"

#include <string>

std::span<const EmbeddedFile> CanvasCursorFiles();

namespace {

// A tool cursor places at the centre of its cross, at the top left of the
// picture; the tool's glyph sits beside the cross. The selection cursors
// point with the tip of their arrow, the move cursor with its centre.
constexpr CanvasCursor kCursors[] = {
    {"text", 7, 7},     {"point", 7, 7},    {"digpoint", 7, 7}, {"drive", 7, 7},    {"message", 7, 7},
    {"lines", 7, 7},    {"tlframe", 7, 7},  {"tlcircle", 7, 7}, {"tlrect", 7, 7},   {"bitmap", 7, 7},
    {"trend", 7, 7},    {"meter", 7, 7},    {"trndrcrd", 7, 7}, {"touch", 7, 7},    {"button", 7, 7},
    {"arrowcro", 0, 0}, {"diamond", 0, 0},  {"move", 15, 15},
};

}  // namespace

std::span<const CanvasCursor> CanvasCursors()
{
    return kCursors;
}

void RegisterCanvasCursors()
{
    const auto files = CanvasCursorFiles();
    for (const CanvasCursor& cursor : kCursors) {
        const std::string file = std::string(cursor.name) + ".xpm";
        if (const EmbeddedFile* picture = FindEmbeddedFile(files, file.c_str()))
            RegisterCursorResource(TResId(cursor.name), picture->data, picture->size, cursor.hotX, cursor.hotY);
    }
}
