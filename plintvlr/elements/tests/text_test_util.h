#pragma once
// Shared by the text element tests: the panel fonts registered for the
// test's life (layout measures in them) and a panel of the given type.

#include "plintvlr/elements/tests/element_test_util.h"

#include "platform/base/fnt_file.h"
#include "platform/gdi/font_registry.h"
#include "plintvlr/elements/record_reader.h"

#include <filesystem>
#include <fstream>
#include <memory>

class PanelFontsScope {
public:
    PanelFontsScope() : added_(std::filesystem::exists(PLV_PROGRAM_FONT) && AddFontResource(PLV_PROGRAM_FONT) > 0) {}
    ~PanelFontsScope()
    {
        if (added_)
            RemoveFontResource(PLV_PROGRAM_FONT);
    }
    PanelFontsScope(const PanelFontsScope&) = delete;
    PanelFontsScope& operator=(const PanelFontsScope&) = delete;
    bool Added() const { return added_; }

private:
    bool added_;
};

// Registers the panel fonts; the test is skipped when they were not made.
#define REQUIRE_PANEL_FONTS(scope)                                                  \
    do {                                                                            \
        if (!(scope).Added())                                                       \
            GTEST_SKIP() << "the panel fonts were not made (xfonts-base missing)";  \
    } while (0)

// The record an element writes, as bytes.
template <class Element>
Bytes RecordOf(const Element& element)
{
    Bytes buffer(4096);
    const std::uint8_t* end = element.WriteRecord(buffer.data());
    if (!end)
        return {};
    buffer.resize(static_cast<std::size_t>(end - buffer.data()));
    return buffer;
}

// Reads a record into the element; true when it was read whole.
template <class Element>
bool ReadWhole(Element& element, const Bytes& bytes)
{
    RecordReader in(bytes.data(), bytes.size());
    return element.ReadRecord(in) && in.Remaining() == 0;
}

// A panel font file (character set 250) of that face and cell; a width of 0
// makes a variable-pitch font.
inline Bytes PanelFontFile(const std::string& face, int cellWidth, int cellHeight = 8)
{
    FntHeader header;
    header.pixWidth = cellWidth;
    header.pixHeight = cellHeight;
    header.ascent = cellHeight - 1;
    header.avgWidth = cellWidth ? cellWidth : 5;
    header.pitchAndFamily = cellWidth ? 0 : 1;
    header.firstChar = 32;
    header.lastChar = 126;
    header.defaultChar = 32;
    header.charSet = 250;
    header.face = face;
    return FntFile(header).FileBytes();
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}
