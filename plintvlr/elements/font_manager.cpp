#include "plintvlr/elements/font_manager.h"

#include "plintvlr/db/adatabase.h"
#include "platform/base/fnt_file.h"
#include "platform/base/little_endian.h"
#include "plintvlr/elements/font_tree.h"

#include <fcntl.h>
#include <unistd.h>

#include <span>
#include <vector>

bool ParseFontRecord(const std::uint8_t* record, std::size_t length, font_entry& entry)
{
    if (!record || length < 2)
        return false;
    FntFile font;
    // A font without a fixed cell cannot be laid out in character cells.
    if (FntFile::Parse(std::span<const std::uint8_t>(record + 2, length - 2), font) != FntError::None ||
        font.PixWidth() <= 0 || font.PixHeight() <= 0)
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
    // A font without a whole cell would divide layouts by zero.
    if (!entry || entry->cellWidth <= 0 || entry->cellHeight <= 0)
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

bool fontmanager::AddFont(int n, const char* face)
{
    if (!db_ || n < 1 || n >= kFontCount || !face)
        return false;
    const int fd = OpenFontFile(face);
    if (fd < 0)
        return false;
    // The key copy, then the file byte for byte.
    std::vector<std::uint8_t> record(2);
    PutLe16(record.data(), static_cast<std::uint16_t>(kFirstFontRecord + n));
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0)
            break;
        record.insert(record.end(), chunk, chunk + got);
        if (record.size() > 0xFFFF)
            break;
    }
    ::close(fd);
    font_entry parsed;
    if (record.size() <= 2 || record.size() > 0xFFFF || !ParseFontRecord(record.data(), record.size(), parsed))
        return false;
    if (db_->PutSystemRecord(static_cast<std::uint16_t>(kFirstFontRecord + n), record.data(),
                             static_cast<std::uint16_t>(record.size())) != DF_OK)
        return false;
    font_entry& entry = *entries_[n];
    entry.cellWidth = parsed.cellWidth;
    entry.cellHeight = parsed.cellHeight;
    entry.face = parsed.face;
    UpdateDirectory(n, true);
    return true;
}

void fontmanager::RemoveFont(int n)
{
    if (n < 1 || n >= kFontCount || !entries_[n])
        return;
    if (db_)
        db_->DeleteSystemRecord(static_cast<std::uint16_t>(kFirstFontRecord + n));
    entries_[n]->face.clear();
    entries_[n]->cellWidth = 0;
    entries_[n]->cellHeight = 0;
    UpdateDirectory(n, false);
}

void fontmanager::UpdateDirectory(int n, bool add)
{
    if (!db_)
        return;
    // Records of at least the 31 bytes the fields fill are read; 34 are written.
    std::vector<std::uint8_t> record(kDirectorySize, 0);
    if (const std::uint16_t length = db_->GetSystemRecordLength(kDirectoryRecord); length >= 31) {
        std::vector<std::uint8_t> stored(length);
        std::uint16_t got = length;
        if (db_->GetSystemRecord(kDirectoryRecord, stored.data(), got) == DF_OK && got >= 31)
            std::copy_n(stored.begin(), 31, record.begin());
    }
    PutLe16(record.data(), kDirectoryRecord);
    int count = GetLe16(record.data() + 2);
    std::uint8_t* slot = record.data() + 4 + 3 * (n - 1);
    if (add && slot[0] == 0 && count < kFontCount) {
        slot[0] = static_cast<std::uint8_t>(n);
        PutLe16(slot + 1, static_cast<std::uint16_t>(kFirstFontRecord + n));
        ++count;
    } else if (!add && slot[0] != 0) {
        std::fill_n(slot, 3, 0);
        count = std::max(count - 1, 0);
    }
    PutLe16(record.data() + 2, static_cast<std::uint16_t>(count));
    if (count == 0)
        db_->DeleteSystemRecord(kDirectoryRecord);
    else
        db_->PutSystemRecord(kDirectoryRecord, record.data(), static_cast<std::uint16_t>(record.size()));
}

std::size_t fontmanager::GetFontFileSize(const char* face)
{
    const fonttree::Face* entry = face ? GetFontTree().Find(face) : nullptr;
    return entry && !entry->file.empty() ? entry->fileSize : 0;
}

const char* fontmanager::GetInstalledFace(int i)
{
    const auto& faces = GetFontTree().Faces();
    return i >= 0 && static_cast<std::size_t>(i) < faces.size() ? faces[static_cast<std::size_t>(i)].face.c_str()
                                                                 : nullptr;
}

PanelSize fontmanager::GetInstalledCellSize(const char* face)
{
    const fonttree::Face* entry = face ? GetFontTree().Find(face) : nullptr;
    return entry && !entry->file.empty() ? PanelSize{entry->cellWidth, entry->cellHeight} : PanelSize{};
}

int fontmanager::OpenFontFile(const char* face)
{
    const fonttree::Face* entry = face ? GetFontTree().Find(face) : nullptr;
    if (!entry || entry->file.empty())
        return -1;
    return ::open(entry->file.c_str(), O_RDONLY | O_CLOEXEC);
}

void RegisterElementsCoreServices()
{
    GetProjectHooks().makeFontManager = [](adatabase& db, int panelType) {
        return OwnedPart(std::make_unique<fontmanager>(&db, panelType));
    };
}
