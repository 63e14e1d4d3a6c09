#pragma once
// The font faces the programs name ("MS Sans Serif", "Courier New"...) map
// to the DejaVu faces installed with the platform (fonts-dejavu-core):
// proportional sans, serif and monospaced.

#include <QFont>
#include <QString>

#include <string_view>

QString MapFontFace(std::string_view face);
// A font of `face` at `pointSize` points (a negative size is in pixels).
QFont PlatformFont(std::string_view face, int pointSize, int weight = 400, bool italic = false);
