#include "platform/gdi/font_registry.h"

#include "platform/base/files.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <span>

namespace {

struct AddedFile {
    std::string path;  // as resolved, so two spellings of one file count together
    int count = 0;
    std::vector<std::shared_ptr<const TRasterFont>> fonts;
};

std::vector<AddedFile>& Files()
{
    static std::vector<AddedFile> files;
    return files;
}

unsigned& Generation()
{
    static unsigned generation = 0;
    return generation;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Key(const char* fileName)
{
    std::error_code ec;
    const std::string resolved = ResolvePath(fileName);
    const std::filesystem::path absolute = std::filesystem::absolute(resolved, ec);
    return ec ? resolved : absolute.lexically_normal().string();
}

void FillMetrics(const TRasterFont& font, LOGFONT& lf, TEXTMETRIC& tm)
{
    const FntHeader& h = font.Header();
    lf = LOGFONT();
    lf.lfHeight = h.pixHeight;
    lf.lfWidth = h.avgWidth;
    lf.lfWeight = h.weight;
    lf.lfItalic = h.italic;
    lf.lfUnderline = h.underline;
    lf.lfStrikeOut = h.strikeOut;
    lf.lfCharSet = static_cast<BYTE>(h.charSet);
    lf.lfPitchAndFamily = static_cast<BYTE>(h.pitchAndFamily);
    std::strncpy(lf.lfFaceName, h.face.c_str(), LF_FACESIZE - 1);
    tm = font.Metrics();
}

}  // namespace

int AddFontResource(const char* fileName)
{
    if (!fileName || !*fileName)
        return 0;
    const std::string key = Key(fileName);
    for (AddedFile& f : Files()) {
        if (f.path == key) {
            ++f.count;
            return static_cast<int>(f.fonts.size());
        }
    }
    std::string bytes;
    if (!ReadWholeFile(key, bytes))
        return 0;
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::vector<FntFile> parsed;
    if (FntFile::ParseAll(data, parsed) != FntError::None) {
        // A single font whose size field is short of the file's length.
        FntFile one;
        if (FntFile::Parse(data, one) != FntError::None)
            return 0;
        parsed.assign(1, std::move(one));
    }
    AddedFile added{key, 1, {}};
    for (FntFile& f : parsed)
        added.fonts.push_back(std::make_shared<const TRasterFont>(std::move(f)));
    Files().push_back(std::move(added));
    ++Generation();
    return static_cast<int>(Files().back().fonts.size());
}

BOOL RemoveFontResource(const char* fileName)
{
    if (!fileName || !*fileName)
        return false;
    const std::string key = Key(fileName);
    auto& files = Files();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (it->path == key) {
            if (--it->count == 0) {
                files.erase(it);
                ++Generation();
            }
            return true;
        }
    }
    return false;
}

unsigned FontTableGeneration()
{
    return Generation();
}

std::shared_ptr<const TRasterFont> FindRasterFont(std::string_view face, int cellHeight)
{
    const std::string want = Lower(face);
    std::shared_ptr<const TRasterFont> below;
    std::shared_ptr<const TRasterFont> smallest;
    for (const AddedFile& f : Files()) {
        for (const auto& font : f.fonts) {
            if (Lower(font->Header().face) != want)
                continue;
            const int h = font->CellHeight();
            if (h <= cellHeight && (!below || h > below->CellHeight()))
                below = font;
            if (!smallest || h < smallest->CellHeight())
                smallest = font;
        }
    }
    return below ? below : smallest;
}

int EnumFontFamilies(const TDC& /*dc*/, const char* family, FONTENUMPROC proc, LPARAM data)
{
    if (!proc)
        return 0;
    int answer = 1;
    LOGFONT lf;
    TEXTMETRIC tm;
    std::vector<std::string> seen;
    const std::string wanted = family ? Lower(family) : std::string();
    // Copies, so a callback that adds or removes fonts does not upset the walk.
    std::vector<std::shared_ptr<const TRasterFont>> fonts;
    for (const AddedFile& f : Files())
        fonts.insert(fonts.end(), f.fonts.begin(), f.fonts.end());
    for (const auto& font : fonts) {
        const std::string face = Lower(font->Header().face);
        if (family ? face != wanted : std::find(seen.begin(), seen.end(), face) != seen.end())
            continue;
        seen.push_back(face);
        FillMetrics(*font, lf, tm);
        answer = proc(&lf, &tm, RASTER_FONTTYPE, data);
        if (answer == 0)
            return 0;
    }
    if (family || !qGuiApp)
        return answer;
    for (const QString& name : QFontDatabase::families()) {
        const QByteArray bytes = name.toLatin1();
        if (std::find(seen.begin(), seen.end(), Lower(bytes.toStdString())) != seen.end())
            continue;
        lf = LOGFONT();
        tm = TEXTMETRIC();
        lf.lfCharSet = ANSI_CHARSET;
        std::strncpy(lf.lfFaceName, bytes.constData(), LF_FACESIZE - 1);
        tm.tmCharSet = ANSI_CHARSET;
        tm.tmWeight = FW_NORMAL;
        answer = proc(&lf, &tm, TRUETYPE_FONTTYPE, data);
        if (answer == 0)
            return 0;
    }
    return answer;
}
