#include "plintvlr/db/tqs_bitmaps.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/base/paths.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/bitmap_string_ids.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <span>

namespace {

constexpr const char* kNameFile = "BITMAPS.NAM";
constexpr std::uint32_t kNoKey = 0;
// The file names the pictures of memory and of styles come in under, which
// give the slot its name.
constexpr std::string_view kAddedName = "TEMPADD.BMP";
constexpr std::string_view kStyleName = "RESERVED.BMP";

std::string ProjectFile(std::string_view name)
{
    const std::string& folder = _QSglobals.GetProjectDirectory();
    return folder.empty() ? std::string() : JoinPath(folder, name);
}

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The names of "BITMAPS.NAM", word by word as they were written, each cut to
// the longest name a slot keeps; at most `count` words. The file is read in
// pieces, so a huge or damaged file costs no more memory than a sound one.
std::vector<std::string> ReadNameWords(const std::string& path, std::size_t count)
{
    std::vector<std::string> words;
    const int handle = FileOpen(path, FileMode::ReadOnly);
    if (handle < 0)
        return words;
    std::string word;
    bool inWord = false;
    char chunk[4096];
    long got = 0;
    while (words.size() < count && (got = FileRead(handle, chunk, sizeof chunk)) > 0) {
        for (long i = 0; i < got && words.size() < count; ++i) {
            if (IsBlank(chunk[i])) {
                if (inWord)
                    words.push_back(std::move(word));
                word.clear();
                inWord = false;
            } else {
                inWord = true;
                if (word.size() < TQSBitmaps::kMaxName)
                    word.push_back(chunk[i]);
            }
        }
    }
    if (inWord && words.size() < count)
        words.push_back(std::move(word));
    FileClose(handle);
    return words;
}

// A slot name the name file can give back: blanks (which would split it into
// two words and shift every later name) become '_', at most kMaxName characters.
std::string SlotName(std::string_view name, int slot)
{
    std::string out;
    for (char c : name.substr(0, TQSBitmaps::kMaxName))
        out.push_back(IsBlank(c) || c == '\0' ? '_' : c);
    return out.empty() ? TQSBitmaps::DefaultName(slot) : out;
}

// The part of a file name after its last separator, up to its first '.'.
std::string ShortName(std::string_view fileName)
{
    const std::size_t cut = fileName.find_last_of("\\/:");
    std::string_view name = cut == std::string_view::npos ? fileName : fileName.substr(cut + 1);
    return std::string(name.substr(0, name.find('.')));
}

void Tell(int textId, int captionId, UINT icon, HWND owner)
{
    TApp::MessageBox(nullptr, owner, Str(textId), Str(captionId), icon);
}

void TellNoRoom()
{
    Tell(kStrBitmapNoRoom, kStrBitmapCouldNotAdd, MB_ICONINFORMATION, nullptr);
}

}  // namespace

TQSBitmaps::TQSBitmaps()
{
    ClearAll();
}

TQSBitmaps::~TQSBitmaps() = default;

std::string TQSBitmaps::DefaultName(int slot)
{
    return "Bitmap-" + std::to_string(slot + 1);
}

void TQSBitmaps::ClearAll()
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        ClearSlot(slot);
    for (auto& style : styles_)
        style.reset();
}

void TQSBitmaps::Load()
{
    const std::string names = ProjectFile(kNameFile);
    std::vector<std::string> words;
    if (!names.empty())
        words = ReadNameWords(names, kSlotCount);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        slots_[i].name = i < words.size() ? words[i] : DefaultName(slot);
    }

    adatabase& db = _QSglobals.GetDatabase();
    if (!db.IsOpen())
        return;
    // Room for the longest record; only what a read put there is used.
    const auto room = std::make_unique_for_overwrite<std::uint8_t[]>(65535);
    const std::span<std::uint8_t> buffer(room.get(), 65535);
    // No bitmap has the number 0; a record under it is a leftover.
    db.DeleteBitmap(kNoKey);

    std::uint32_t key = 0;
    std::uint32_t position = 0;
    bool first = true;
    for (;;) {
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
        const int code = db.NextBitmap(first, buffer.data(), length, key, position);
        first = false;
        if (code == DF_OK && key >= 1 && key <= kSlotCount && length > 2) {
            TDib dib;
            const std::span<const std::uint8_t> file(buffer.data() + 2, length - 2u);
            if (TDib::FromFileBytes(file, dib) == DibError::None)
                slots_[key - 1].dib = std::make_unique<TDib>(std::move(dib));
        }
        // A record whose check fails is passed over; any other trouble ends
        // the walk.
        if ((code != DF_OK && code != DF_BAD_CHECK) || position == 0)
            break;
    }
}

void TQSBitmaps::WriteNameFile()
{
    const std::string path = ProjectFile(kNameFile);
    if (path.empty())
        return;
    std::string text;
    for (int slot = 0; slot < kSlotCount; ++slot)
        text += GetName(slot) + "\n";
    WriteWholeFile(path, text);
}

std::string TQSBitmaps::GetName(int slot) const
{
    return IsSlot(slot) ? slots_[static_cast<std::size_t>(slot)].name : std::string();
}

bool TQSBitmaps::HasBitmap(int slot) const
{
    return GetDib(slot) != nullptr;
}

const TDib* TQSBitmaps::GetDib(int slot) const
{
    return IsSlot(slot) ? slots_[static_cast<std::size_t>(slot)].dib.get() : nullptr;
}

int TQSBitmaps::FindFreeSlot() const
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!HasBitmap(slot))
            return slot;
    return -1;
}

int TQSBitmaps::SetSlot(int slot, const TDib& dib, std::string_view name)
{
    if (SetSlotDib(slot, dib) != 1)
        return 2;
    slots_[static_cast<std::size_t>(slot)].name = SlotName(name, slot);
    return 1;
}

int TQSBitmaps::SetSlotDib(int slot, const TDib& dib)
{
    if (!IsSlot(slot) || HasBitmap(slot) || !dib.IsOK())
        return 2;
    slots_[static_cast<std::size_t>(slot)].dib = std::make_unique<TDib>(dib);
    return 1;
}

int TQSBitmaps::ClearSlot(int slot)
{
    if (IsSlot(slot)) {
        Slot& s = slots_[static_cast<std::size_t>(slot)];
        s.dib.reset();
        s.name = DefaultName(slot);
    }
    return 1;
}

int TQSBitmaps::FindSameBitmap(const TDib& dib) const
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (const TDib* own = GetDib(slot); own && own->SameImage(dib))
            return slot;
    return -1;
}

TQSBitmaps::ImportResult TQSBitmaps::Import(const TDib& dib, std::string_view shortName, int slot, int& outSlot,
                                            bool allowDuplicate)
{
    outSlot = -1;
    const HWND owner = GetMainWindowHandle();
    if (!dib.IsOK()) {
        Tell(kStrBitmapSourceError, kStrApplicationMessage, MB_ICONEXCLAMATION, owner);
        return ImportResult::Refused;
    }
    if (dib.NumColors() != 2) {
        Tell(kStrBitmapNotMonochrome, kStrApplicationMessage, MB_ICONEXCLAMATION, owner);
        return ImportResult::Refused;
    }
    adatabase& db = _QSglobals.GetDatabase();
    const PanelSize largest = Quellstor(db.GetPanelType()).GetMaxBitmapSize();
    if (dib.Width() > largest.cx || dib.Height() > largest.cy) {
        Tell(kStrBitmapTooLarge, kStrApplicationMessage, MB_ICONEXCLAMATION, owner);
        return ImportResult::Refused;
    }
    if (!allowDuplicate) {
        if (int same = FindSameBitmap(dib); same >= 0) {
            outSlot = same;
            return ImportResult::Duplicate;
        }
    }
    // The record holds the canonical file image, whose sizes are computed
    // from the picture itself, never taken from the header it came with.
    const std::vector<std::uint8_t> file = dib.FileBytes();
    if (file.empty() || file.size() > kMaxFileBytes)
        return ImportResult::Refused;
    if (SetSlot(slot, dib, ShortName(shortName)) != 1)
        return ImportResult::Refused;
    std::vector<std::uint8_t> record(2 + file.size());
    PutLe16(record.data(), static_cast<std::uint16_t>(slot + 1));
    std::memcpy(record.data() + 2, file.data(), file.size());
    if (db.PutBitmap(static_cast<std::uint32_t>(slot + 1), record.data(), static_cast<std::uint16_t>(record.size())) !=
        DF_OK) {
        // The database has told the engineer; a bitmap the project does not
        // hold must not stay in the library either.
        ClearSlot(slot);
        return ImportResult::Refused;
    }
    outSlot = slot;
    return ImportResult::Added;
}

bool TQSBitmaps::ImportFile(std::string_view fileName, int slot, int& outSlot, bool allowDuplicate)
{
    outSlot = -1;
    const std::string path = IsAbsolutePath(fileName)
                                 ? std::string(fileName)
                                 : JoinPath(_QSglobals.GetProgramDirectory(), fileName);
    TDib dib;
    const DibError error = TDib::Load(path, dib);
    if (error == DibError::FileOpen || error == DibError::FileRead)
        return false;
    return Import(dib, fileName, slot, outSlot, allowDuplicate) == ImportResult::Added;
}

int TQSBitmaps::AddBitmap(const TDib& dib)
{
    const int slot = FindFreeSlot();
    if (slot < 0) {
        TellNoRoom();
        return -1;
    }
    int outSlot = -1;
    Import(dib, kAddedName, slot, outSlot, false);
    return outSlot < 0 ? -1 : outSlot + 1;
}

int TQSBitmaps::DeleteBitmap(int slot)
{
    ClearSlot(slot);
    if (IsSlot(slot))
        _QSglobals.GetDatabase().DeleteBitmap(static_cast<std::uint32_t>(slot + 1));
    return 1;
}

int TQSBitmaps::FindFreeStyle() const
{
    for (int style = 0; style < kStyleCount; ++style)
        if (!styles_[static_cast<std::size_t>(style)])
            return style;
    return -1;
}

int TQSBitmaps::AddStyleFromFiles(const std::string (&files)[kStyleStates])
{
    if (FindFreeStyle() < 0)
        return -2;
    std::array<TDib, kStyleStates> dibs;
    for (int i = 0; i < kStyleStates; ++i) {
        if (TDib::Load(files[i], dibs[static_cast<std::size_t>(i)]) != DibError::None) {
            Tell(kStrStyleReadError, kStrStyleReadErrorCaption, MB_ICONWARNING, GetMainWindowHandle());
            return -2;
        }
    }
    return AddStyle(dibs);
}

int TQSBitmaps::AddStyle(std::span<const TDib, kStyleStates> dibs)
{
    const int style = FindFreeStyle();
    if (style < 0)
        return -2;
    for (const TDib& dib : dibs)
        if (!dib.IsOK())
            return -1;
    styles_[static_cast<std::size_t>(style)] = std::make_unique<stylebase>(dibs);
    return style;
}

const stylebase* TQSBitmaps::GetStyle(int style) const
{
    if (style < 0 || style >= kStyleCount)
        return nullptr;
    return styles_[static_cast<std::size_t>(style)].get();
}

bool TQSBitmaps::HasStyle(int style) const
{
    return GetStyle(style) != nullptr;
}

void TQSBitmaps::SetStylePoints(int style, PanelPoint state0, PanelPoint state1)
{
    if (style < 0 || style >= kStyleCount || !styles_[static_cast<std::size_t>(style)])
        return;
    stylebase& s = *styles_[static_cast<std::size_t>(style)];
    s.SetPoint(0, state0);
    s.SetPoint(1, state1);
}

PanelPoint TQSBitmaps::GetStylePoint(int style, int state) const
{
    const stylebase* s = GetStyle(style);
    return s ? s->GetPoint(state) : stylebase::kDefaultPoint;
}

const TDib* TQSBitmaps::GetStyleStateDib(int style, int state) const
{
    const stylebase* s = GetStyle(style);
    return s ? s->GetDib(state) : nullptr;
}

TSize TQSBitmaps::GetStyleSize(int style) const
{
    const stylebase* s = GetStyle(style);
    if (!s || s->StateCount() == 0)
        return {10, 10};
    return s->GetSize();
}

int TQSBitmaps::CountStyles() const
{
    int count = 0;
    while (count < kStyleCount && styles_[static_cast<std::size_t>(count)])
        ++count;
    return count;
}

int TQSBitmaps::FindStyle(const int (&slots)[kStyleStates]) const
{
    for (int slot : slots)
        if (!HasBitmap(slot))
            return -1;
    for (int style = 0; style < kStyleCount; ++style) {
        const stylebase* s = GetStyle(style);
        if (!s)
            continue;
        bool same = true;
        for (int state = 0; state < kStyleStates && same; ++state)
            same = s->IsSameDib(state, *GetDib(slots[state]));
        if (same)
            return style;
    }
    return -1;
}

bool TQSBitmaps::ResolveStyleBitmaps(int style, int (&slots)[kStyleStates])
{
    for (int& slot : slots)
        slot = -1;
    const stylebase* s = GetStyle(style);
    if (!s)
        return false;
    bool placed = true;
    for (int state = 0; state < kStyleStates; ++state) {
        const TDib* dib = s->GetDib(state);
        if (!dib)
            return false;
        int slot = -1;
        for (int i = kSlotCount - 1; i >= 0 && slot < 0; --i)
            if (const TDib* own = GetDib(i); own && s->IsSameDib(state, *own))
                slot = i;
        if (slot < 0) {
            for (int i = kSlotCount - 1; i >= 0 && slot < 0; --i)
                if (!HasBitmap(i))
                    slot = i;
            if (slot < 0) {
                // A full library cannot take the picture; handing out some
                // other slot would show an unrelated bitmap on the button.
                TellNoRoom();
                return false;
            }
            int outSlot = -1;
            if (Import(*dib, kStyleName, slot, outSlot, true) != ImportResult::Added) {
                placed = false;
                continue;
            }
        }
        slots[state] = slot;
    }
    return placed;
}

TQSBitmaps& GetBitmapLibrary()
{
    static TQSBitmaps* library = new TQSBitmaps;
    return *library;
}

ProjectBitmapLibrary* ProgramBitmapLibrary()
{
    return &GetBitmapLibrary();
}
