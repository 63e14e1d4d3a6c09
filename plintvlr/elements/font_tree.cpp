#include "plintvlr/elements/font_tree.h"

#include "platform/base/fnt_file.h"
#include "platform/base/prompt.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/memory_dc.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>

namespace {

std::unique_ptr<fonttree> g_tree;

struct FacePair {
    const char* file;
    const char* shown;
};

constexpr FacePair kFacePairs[] = {
    {"ANSI Zobrel 5x8", "ANSI QS 5x8"}, {"ANSI Zobrel 8x12", "ANSI QS 8x12"}, {"ANSI Zobrel 8x14", "ANSI QS 8x14"},
    {"Zobrel H12x18", "QS H12x18"},     {"Zobrel H16x24", "QS H16x24"},       {"Zobrel R12x18", "QS R12x18"},
    {"Zobrel R16x24", "QS R16x24"},     {"Zobrel T12x18", "QS T12x18"},       {"Zobrel T16x24", "QS T16x24"},
};

int CollectPanelFace(const LOGFONT* logFont, const TEXTMETRIC*, DWORD, LPARAM data)
{
    auto* faces = reinterpret_cast<std::vector<fonttree::Face>*>(data);
    if (logFont->lfCharSet != kPanelFontCharSet || faces->size() >= fonttree::kMaxFaces)
        return 1;
    fonttree::Face face;
    face.face = logFont->lfFaceName;
    faces->push_back(std::move(face));
    return 1;
}

bool IsFntName(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".fnt";
}

bool Replace(std::string& name, std::size_t size, bool toShown)
{
    for (const FacePair& pair : kFacePairs) {
        const char* from = toShown ? pair.file : pair.shown;
        const char* to = toShown ? pair.shown : pair.file;
        if (name == from) {
            if (std::string(to).size() + 1 > size)
                return false;
            name = to;
            return true;
        }
    }
    return true;
}

}  // namespace

fonttree::fonttree(TWindow*)
{
    TMemoryDC dc;
    EnumFontFamilies(dc, nullptr, CollectPanelFace, reinterpret_cast<LPARAM>(&faces_));
    folder_ = (std::filesystem::path(_QSglobals.GetProgramDirectory()) / "font").string();
    ReadFontFolder();
}

void fonttree::ReadFontFolder()
{
    std::error_code error;
    std::filesystem::directory_iterator it(folder_, error);
    if (error)
        return;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::filesystem::path path = it->path();
        if (!IsFntName(path) || !it->is_regular_file(error))
            continue;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            continue;
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (bytes.empty()) {
            const std::string text = std::string(Str(kStrFontFileReadFailed)) + path.string();
            TApp::MessageBox(nullptr, GetMainWindowHandle(), text.c_str(), Str(kStrFileAccessError), MB_OK | MB_ICONSTOP);
            continue;
        }
        FntFile font;
        // Only fonts with a fixed cell can be laid out in character cells.
        if (FntFile::Parse(std::span<const std::uint8_t>(bytes), font) != FntError::None || font.PixWidth() <= 0 ||
            font.PixHeight() <= 0)
            continue;
        for (Face& face : faces_) {
            if (face.file.empty() && face.face == font.FaceName()) {
                face.file = std::filesystem::absolute(path).string();
                face.cellWidth = font.PixWidth();
                face.cellHeight = font.PixHeight();
                face.fileSize = bytes.size();
                break;
            }
        }
    }
}

const fonttree::Face* fonttree::Find(const std::string& face) const
{
    for (const Face& f : faces_)
        if (f.face == face)
            return &f;
    return nullptr;
}

fonttree& GetFontTree()
{
    if (!g_tree)
        g_tree = std::make_unique<fonttree>();
    return *g_tree;
}

void FreeFontTree()
{
    g_tree.reset();
}

bool HasFontTree()
{
    return g_tree != nullptr;
}

bool ToShownName(std::string& name, std::size_t size)
{
    return Replace(name, size, true);
}

bool ToFileName(std::string& name, std::size_t size)
{
    return Replace(name, size, false);
}
