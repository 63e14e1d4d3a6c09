#include "platform/ui/font_map.h"

#include <strings.h>

#include <string>

namespace {

struct FaceMap {
    const char* face;
    const char* family;
};

constexpr FaceMap kFaces[] = {
    {"Courier New", "DejaVu Sans Mono"}, {"Courier", "DejaVu Sans Mono"},  {"Fixedsys", "DejaVu Sans Mono"},
    {"Terminal", "DejaVu Sans Mono"},    {"Lucida Console", "DejaVu Sans Mono"}, {"Consolas", "DejaVu Sans Mono"},
    {"Times New Roman", "DejaVu Serif"}, {"Times", "DejaVu Serif"},        {"MS Serif", "DejaVu Serif"},
    {"Tms Rmn", "DejaVu Serif"},         {"Georgia", "DejaVu Serif"},
};

}  // namespace

QString MapFontFace(std::string_view face)
{
    const std::string name(face);
    for (const FaceMap& m : kFaces) {
        if (::strcasecmp(name.c_str(), m.face) == 0)
            return QString::fromLatin1(m.family);
    }
    // "MS Sans Serif", "MS Shell Dlg", "System", "Arial", "Helv" and all others.
    return QStringLiteral("DejaVu Sans");
}

QFont PlatformFont(std::string_view face, int pointSize, int weight, bool italic)
{
    QFont font(MapFontFace(face));
    if (pointSize < 0)
        font.setPixelSize(-pointSize);
    else if (pointSize > 0)
        font.setPointSize(pointSize);
    else
        font.setPointSize(8);
    // The programs' weights run 100..900 like Qt's.
    font.setWeight(static_cast<QFont::Weight>(weight <= 0 ? 400 : weight));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}
