// fntconv: makes the panel fonts from the public-domain fixed-cell fonts.
//
//   fntconv build SOURCE.pcf[.gz] OUT.fnt --face NAME --cell WxH
//           [--scale N] [--origin X,Y] [--copyright TEXT]
//   fntconv join OUT.fon IN.fnt...
//
// "build" writes one panel font; "join" writes the fonts back to back, the
// form of the program's own font file.
#include "platform/base/files.h"
#include "platform/base/fnt_file.h"
#include "tools/fntconv/panel_font.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: fntconv build SOURCE.pcf[.gz] OUT.fnt --face NAME --cell WxH [--scale N] "
                 "[--origin X,Y] [--copyright TEXT]\n"
                 "       fntconv join OUT.fon IN.fnt...\n");
    return 2;
}

int Build(int argc, char** argv)
{
    if (argc < 4) {
        return Usage();
    }
    const std::string sourceName = argv[2];
    const std::string outName = argv[3];
    PanelFontSpec spec;
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--face") {
            spec.face = value;
        } else if (option == "--cell") {
            if (std::sscanf(value.c_str(), "%dx%d", &spec.cellWidth, &spec.cellHeight) != 2) {
                return Usage();
            }
        } else if (option == "--scale") {
            spec.scale = std::atoi(value.c_str());
        } else if (option == "--origin") {
            if (std::sscanf(value.c_str(), "%d,%d", &spec.originX, &spec.originY) != 2) {
                return Usage();
            }
        } else if (option == "--copyright") {
            spec.copyright = value;
        } else {
            return Usage();
        }
    }
    if (spec.face.empty() || (argc - 4) % 2 != 0) {
        return Usage();
    }
    PcfFont source;
    std::string error;
    if (!PcfFont::Load(sourceName, source, error)) {
        std::fprintf(stderr, "fntconv: %s\n", error.c_str());
        return 1;
    }
    FntFile font;
    std::vector<int> missing;
    if (!BuildPanelFont(source, spec, font, missing, error)) {
        std::fprintf(stderr, "fntconv: %s: %s\n", spec.face.c_str(), error.c_str());
        return 1;
    }
    for (int ch : missing) {
        std::fprintf(stderr, "fntconv: %s: no glyph for character 0x%02X, left blank\n", spec.face.c_str(), ch);
    }
    const FntError saved = font.Save(outName);
    if (saved != FntError::None) {
        std::fprintf(stderr, "fntconv: %s: %s\n", outName.c_str(), FntErrorText(saved));
        return 1;
    }
    return 0;
}

int Join(int argc, char** argv)
{
    if (argc < 4) {
        return Usage();
    }
    std::string joined;
    for (int i = 3; i < argc; ++i) {
        FntFile font;
        const FntError error = FntFile::Load(argv[i], font);
        if (error != FntError::None) {
            std::fprintf(stderr, "fntconv: %s: %s\n", argv[i], FntErrorText(error));
            return 1;
        }
        const std::vector<std::uint8_t> bytes = font.FileBytes();
        joined.append(bytes.begin(), bytes.end());
    }
    if (!WriteWholeFile(argv[2], joined)) {
        std::fprintf(stderr, "fntconv: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "build") {
        return Build(argc, argv);
    }
    if (command == "join") {
        return Join(argc, argv);
    }
    return Usage();
}
