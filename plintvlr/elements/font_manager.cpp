#include "plintvlr/elements/font_manager.h"

#include "plintvlr/db/adatabase.h"
#include "platform/base/fnt_file.h"

#include <span>
#include <vector>

bool ParseFontRecord(const std::uint8_t* record, std::size_t length, font_entry& entry)
{
    if (!record || length < 2)
        return false;
    FntFile font;
    if (FntFile::Parse(std::span<const std::uint8_t>(record + 2, length - 2), font) != FntError::None)
        return false;
    entry.cellWidth = font.PixWidth();
    entry.cellHeight = font.PixHeight();
    entry.face = font.FaceName();
    return true;
}

fontmanager::fontmanager(adatabase* db, int panelType) : db_(db)
{
    Load(panelType);
}

fontmanager::~fontmanager()
{
    Clear();
}

void fontmanager::Load(int panelType)
{
    for (int n = 1; n < kFontCount; ++n) {
        auto entry = std::make_unique<font_entry>();
        entry->number = static_cast<std::uint8_t>(n);
        entry->key = static_cast<std::uint16_t>(kFirstFontRecord + n);
        if (db_) {
            if (std::uint16_t length = db_->GetSystemRecordLength(entry->key)) {
                std::vector<std::uint8_t> record(length);
                std::uint16_t got = length;
                if (db_->GetSystemRecord(entry->key, record.data(), got) == DF_OK)
                    ParseFontRecord(record.data(), got, *entry);
            }
        }
        entries_[n] = std::move(entry);
    }
    Quellstor panel(panelType);
    auto own = std::make_unique<font_entry>();
    own->cellWidth = panel.charCellWidth;
    own->cellHeight = panel.charCellHeight;
    own->face = panel.fontName;
    entries_[0] = std::move(own);
    defaultFont_ = 0;
}

void fontmanager::Clear()
{
    for (auto& entry : entries_)
        entry.reset();
}

void fontmanager::Reload(int panelType)
{
    Clear();
    Load(panelType);
}

const font_entry* fontmanager::GetEntry(int n) const
{
    return n >= 0 && n < kFontCount ? entries_[n].get() : nullptr;
}

const char* fontmanager::GetFontName(int n) const
{
    const font_entry* entry = GetEntry(n);
    if (!entry || entry->face.empty())
        entry = entries_[0].get();
    return entry ? entry->face.c_str() : "";
}

PanelSize fontmanager::GetFontSize(int n) const
{
    const font_entry* entry = GetEntry(n);
    if (!entry || (entry->cellWidth == 0 && entry->cellHeight == 0))
        entry = entries_[0].get();
    return entry ? PanelSize{entry->cellWidth, entry->cellHeight} : PanelSize{};
}

int fontmanager::FindFont(const char* face) const
{
    if (!face)
        return -1;
    for (int n = 0; n < kFontCount; ++n)
        if (entries_[n] && !entries_[n]->face.empty() && entries_[n]->face == face)
            return n;
    return -1;
}

bool fontmanager::IsPanelFont(const char* face) const
{
    return face && entries_[0] && entries_[0]->face == face;
}

int fontmanager::FindFreeNumber() const
{
    for (int n = 1; n < kFontCount; ++n)
        if (!entries_[n] || entries_[n]->face.empty())
            return n;
    return 255;
}

void RegisterElementsCoreServices()
{
    GetProjectHooks().makeFontManager = [](adatabase& db, int panelType) {
        return OwnedPart(std::make_unique<fontmanager>(&db, panelType));
    };
}
