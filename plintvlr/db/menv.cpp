#include "plintvlr/db/menv.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/db_string_ids.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/text_pool.h"
#include "plintvlr/shell/base/clipboard_copy.h"
#include "platform/base/clipboard.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

ColorPanelQuery colorPanelQuery = nullptr;

// Byte field 1: five words, the decimals, the name.
constexpr std::size_t kHeaderWords = 10;
constexpr std::size_t kHeaderSize = kHeaderWords + 1 + menv::kMaxName;

constexpr int kFieldHeader = 1;
constexpr int kFieldValues = 2;
constexpr int kFieldTextRefs = 3;  // a word field
constexpr int kFieldFlags = 4;

// The largest record the field encoding makes.
constexpr std::size_t kRecordLimit = 65535;

// Field lengths are 16-bit: the values and the text references of a table
// must each fit in one field, and the header counts them in 16 bits.
bool EntriesFit(std::size_t count, int valueSize)
{
    return count * static_cast<std::size_t>(valueSize) <= kRecordLimit && count * 2 <= kRecordLimit;
}

// The bits of a value that its value-size bytes store.
std::uint32_t StoredValueMask(int size)
{
    return size >= 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
}

// Truncates towards zero into 64 bits; NaN gives 0, out-of-range values the
// nearest end.
std::int64_t TruncateToInteger(long double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18L)
        return INT64_MAX;
    if (value <= -9.2e18L)
        return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

float ToFloat(long double value)
{
    if (std::isnan(value) || std::isinf(value))
        return static_cast<float>(value);
    return static_cast<float>(std::clamp(value, static_cast<long double>(-FLT_MAX), static_cast<long double>(FLT_MAX)));
}

// printf into a string; the formats here never need more than the buffer.
template <class... Args>
std::string Format(const char* format, Args... args)
{
    char buffer[400];
    int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n < 0)
        return {};
    return std::string(buffer, std::min(static_cast<std::size_t>(n), sizeof buffer - 1));
}

// An integer printed with at least d digits gets a point before its last d
// characters: 5 with 2 decimals is ".05", -5 is "-.05", 1234 is "12.34".
std::string PlaceDecimalPoint(std::string digits, int decimals)
{
    if (decimals > 0 && digits.size() >= static_cast<std::size_t>(decimals))
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    return digits;
}

adatabase& OpenProject()
{
    return _QSglobals.GetDatabase();
}

// Flags are stored as they are only on panel models with the large-memory flag.
bool OpenProjectHasLargeMemory()
{
    return Quellstor(OpenProject().GetPanelType()).largeMemory != 0;
}

}  // namespace

void SetColorPanelQuery(ColorPanelQuery query)
{
    colorPanelQuery = query;
}

void entry::SetFloat(float value)
{
    value_ = std::bit_cast<std::uint32_t>(value);
}

float entry::GetFloat() const
{
    return std::bit_cast<float>(value_);
}

menv::menv(std::int32_t number) : menv(nullptr, number) {}

menv::menv(pile* pool, std::int32_t number) : number_(number), pool_(pool)
{
    entries_.reserve(11);
}

pile* menv::SetPile(pile* pool)
{
    pile* before = pool_;
    pool_ = pool;
    return before;
}

void menv::SetName(std::string_view name)
{
    name_.assign(name.substr(0, std::min(name.size(), kMaxName)));
    // A name is a C text in the record: it ends at its first NUL.
    name_.resize(::strnlen(name_.c_str(), name_.size()));
}

int menv::ValueSize(std::int32_t dataType)
{
    switch (dataType) {
    case kMsgTypeNone:
        return 0;
    case kMsgTypeUnsignedWord:
    case kMsgTypeSignedWord:
        return 2;
    case kMsgTypeUnsignedDword:
    case kMsgTypeSignedDword:
    case kMsgTypeFloat:
        return 4;
    default:
        return 1;
    }
}

void menv::AddEntry()
{
    SeparateBlankEntries();
    entries_.emplace_back(colorPanelQuery && colorPanelQuery() ? 1 : 0);
}

void menv::SeparateBlankEntries()
{
    entries_.insert(entries_.end(), blankCount_, blank_);
    blankCount_ = 0;
}

entry* menv::At(int i)
{
    if (i < 0 || i >= GetEntryCount())
        return nullptr;
    const auto n = static_cast<std::size_t>(i);
    if (n >= entries_.size()) {
        const std::size_t separated = n + 1 - entries_.size();
        entries_.insert(entries_.end(), separated, blank_);
        blankCount_ -= separated;
    }
    return &entries_[n];
}

const entry* menv::At(int i) const
{
    if (i < 0 || i >= GetEntryCount())
        return nullptr;
    const auto n = static_cast<std::size_t>(i);
    return n < entries_.size() ? &entries_[n] : &blank_;
}

const entry* menv::GetEntry(int i) const
{
    return At(i);
}

void menv::SetEntryValue(int i, long double value)
{
    entry* e = At(i);
    if (!e || dataType_ == kMsgTypeNone)
        return;
    // Integers wrap into their width, as a conversion to that type does.
    const auto integer = static_cast<std::uint64_t>(TruncateToInteger(value));
    switch (dataType_) {
    case kMsgTypeUnsignedWord:
        e->SetUnsignedWord(static_cast<std::uint16_t>(integer));
        break;
    case kMsgTypeSignedWord:
        e->SetSignedWord(static_cast<std::int16_t>(static_cast<std::uint16_t>(integer)));
        break;
    case kMsgTypeUnsignedDword:
        e->SetUnsignedDword(static_cast<std::uint32_t>(integer));
        break;
    case kMsgTypeSignedDword:
        e->SetSignedDword(static_cast<std::int32_t>(static_cast<std::uint32_t>(integer)));
        break;
    case kMsgTypeFloat:
        e->SetFloat(ToFloat(value));
        break;
    default:
        e->SetByte(static_cast<std::uint8_t>(integer));
        break;
    }
}

long double menv::GetEntryValue(int i) const
{
    const entry* e = At(i);
    if (!e)
        return 0;
    switch (dataType_) {
    case kMsgTypeNone:
        return 0;
    case kMsgTypeUnsignedWord:
        return e->GetUnsignedWord();
    case kMsgTypeSignedWord:
        return e->GetSignedWord();
    case kMsgTypeUnsignedDword:
        return e->GetUnsignedDword();
    case kMsgTypeSignedDword:
        return e->GetSignedDword();
    case kMsgTypeFloat:
        return e->GetFloat();
    default:
        return static_cast<std::int8_t>(e->GetByte());
    }
}

void menv::SetEntryTextNumber(int i, std::int32_t number)
{
    if (entry* e = At(i))
        e->SetTextNumber(number);
}

std::int32_t menv::GetEntryTextNumber(int i) const
{
    const entry* e = At(i);
    return e ? e->GetTextNumber() : 0;
}

void menv::SetEntryFlag(int i, std::int32_t flag)
{
    if (entry* e = At(i))
        e->SetFlag(flag);
}

std::int32_t menv::GetEntryFlag(int i) const
{
    const entry* e = At(i);
    return e ? e->GetFlag() : 0;
}

std::optional<std::vector<std::uint8_t>> menv::EncodeRecord(bool largeMemory) const
{
    const std::size_t count = static_cast<std::size_t>(GetEntryCount());
    const int size = GetValueSize();
    if (!EntriesFit(count, size))
        return std::nullopt;

    std::vector<std::uint8_t> header(kHeaderWords, 0);
    PutLe16(header.data(), static_cast<std::uint16_t>(count * static_cast<std::size_t>(size)));
    PutLe16(header.data() + 2, static_cast<std::uint16_t>(count));
    PutLe16(header.data() + 4, static_cast<std::uint16_t>(count));
    header.push_back(decimals_);
    header.insert(header.end(), name_.begin(), name_.end());

    // Stored flags: as they are with the large-memory flag, else 1 - bit 0.
    const std::uint8_t keep = largeMemory ? 0xFF : 0x01;
    const std::uint8_t invert = largeMemory ? 0x00 : 0x01;
    auto storedFlag = [&](const entry& e) {
        return static_cast<std::uint8_t>((static_cast<std::uint8_t>(e.GetFlag()) & keep) ^ invert);
    };
    auto storedTextRef = [&](const entry& e) {
        const auto number = e.GetTextNumber();
        return static_cast<std::uint16_t>(pool_ ? pool_->GetOffset(static_cast<std::uint32_t>(number))
                                                : static_cast<std::uint32_t>(number));
    };
    // The blank entries are stored alike. Every field has its trailing zeros
    // cut, so when they store as zeros only the entries held on their own
    // need laying out.
    const std::uint32_t valueMask = StoredValueMask(size);
    const std::uint8_t blankFlag = storedFlag(blank_);
    const std::uint16_t blankTextRef = storedTextRef(blank_);
    const bool blanksAreZeros = blankCount_ == 0 || ((blank_.GetBits() & valueMask) == 0 && blankFlag == 0 &&
                                                     blankTextRef == 0);
    const std::size_t laid = blanksAreZeros ? entries_.size() : count;

    // Each field in its own buffer, none larger than a record: the
    // allocator serves such sizes from memory it keeps. The values have room
    // for a whole 32-bit value behind the last one, as every value is written
    // whole and the next one overwrites its upper bytes.
    const auto valueBytes = laid * static_cast<std::size_t>(size);
    std::vector<std::uint8_t> valueRoom(valueBytes + 4);
    std::vector<std::uint8_t> flagRoom(laid);
    std::uint8_t* const values = valueRoom.data();
    std::uint8_t* const flags = flagRoom.data();
    std::vector<std::uint16_t> textRefs(laid);
    for (std::size_t i = 0; i < laid; ++i) {
        const entry& e = i < entries_.size() ? entries_[i] : blank_;
        PutLe32(values + i * static_cast<std::size_t>(size), e.GetBits());
        textRefs[i] = storedTextRef(e);
        flags[i] = storedFlag(e);
    }

    // The writer's room for the largest record; only what it wrote is kept,
    // so the room needs no clearing.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kRecordLimit + 1);
    FieldRecordCursor c;
    FieldRecordBeginWrite(c, buffer.get(), static_cast<std::uint16_t>(dataType_), 0);
    FieldRecordPutBytes(c, kFieldHeader, header.data(), static_cast<std::uint16_t>(header.size()));
    // A length of 0 would mean a string: empty fields are simply not written.
    if (valueBytes)
        FieldRecordPutBytes(c, kFieldValues, values, static_cast<std::uint16_t>(valueBytes));
    if (laid) {
        FieldRecordPutWords(c, kFieldTextRefs, textRefs.data(), static_cast<std::uint16_t>(laid));
        FieldRecordPutBytes(c, kFieldFlags, flags, static_cast<std::uint16_t>(laid));
    }
    FieldRecordPutBytes(c, 5, "", 0);
    FieldRecordPutBytes(c, 6, "", 0);
    const std::uint8_t* end = FieldRecordEnd(c);
    if (!end)
        return std::nullopt;
    return std::vector<std::uint8_t>(static_cast<const std::uint8_t*>(buffer.get()), end);
}

bool menv::DecodeRecord(std::span<const std::uint8_t> record, bool largeMemory)
{
    FieldRecordCursor c;
    const std::uint16_t type = FieldRecordBeginRead(c, record.data(), record.size(), 0);
    if (type == 0)
        return false;
    const int size = ValueSize(type);

    std::uint8_t header[kHeaderSize];
    FieldRecordGetBytes(c, kFieldHeader, header, sizeof header);
    const std::size_t count = GetLe16(header + 2);
    // A record that counts more entries than a record can hold is not one
    // this program wrote.
    if (!EntriesFit(count, size))
        return false;

    // Entry i is stored at or past byte i of every field, and no field is
    // longer than the record: entries past as many as the record has bytes
    // are stored nowhere. They read as zeros, all alike, and are kept as the
    // table's blank entries rather than one by one.
    const std::size_t held = std::min(count, record.size());

    // Absent or cut fields read as zeros. Each field has its own buffer, none
    // larger than a record; the values have room to read a whole 32-bit value
    // at the last one.
    const auto valueBytes = held * static_cast<std::size_t>(size);
    std::vector<std::uint8_t> valueRoom(valueBytes + 4);
    std::vector<std::uint8_t> flagRoom(held);
    const std::uint8_t* const values = valueRoom.data();
    std::uint8_t* const flags = flagRoom.data();
    std::vector<std::uint16_t> textRefs(held);
    if (valueBytes)
        FieldRecordGetBytes(c, kFieldValues, valueRoom.data(), static_cast<std::uint16_t>(valueBytes));
    if (held) {
        FieldRecordGetWords(c, kFieldTextRefs, textRefs.data(), static_cast<std::uint16_t>(held));
        FieldRecordGetBytes(c, kFieldFlags, flags, static_cast<std::uint16_t>(held));
    }

    // Each value is its value-size bytes; a signed word comes back
    // sign-extended, as it was entered. The choices are made once, not per
    // entry: a table may hold tens of thousands.
    const std::uint32_t mask = StoredValueMask(size);
    const int extend = size == 2 && type == kMsgTypeSignedWord ? 16 : 0;
    // The flag field is inverted on models without the large-memory flag;
    // its cut trailing zeros (all of it, when every flag is 1) read back as
    // zeros and so invert back to 1.
    const std::uint8_t keep = largeMemory ? 0xFF : 0x01;
    const std::uint8_t invert = largeMemory ? 0x00 : 0x01;
    // Nothing below can fail, so the entries are read in place, into the room
    // the table already has.
    entries_.clear();
    entries_.reserve(std::max<std::size_t>(held, 11));
    entries_.resize(held);
    for (std::size_t i = 0; i < held; ++i) {
        entry& e = entries_[i];
        const std::uint32_t bits = GetLe32(values + i * static_cast<std::size_t>(size)) & mask;
        e.SetBits(static_cast<std::uint32_t>(static_cast<std::int32_t>(bits << extend) >> extend));
        e.SetFlag((flags[i] & keep) ^ invert);
        e.SetTextNumber(textRefs[i]);
    }
    if (pool_) {
        for (std::size_t i = 0; i < held; ++i)
            entries_[i].SetTextNumber(static_cast<std::int32_t>(pool_->IndexOfOffset(textRefs[i])));
    }
    // A blank entry: value 0, text reference 0, flag 0 as stored.
    blankCount_ = count - held;
    blank_ = entry(invert);
    blank_.SetTextNumber(pool_ ? static_cast<std::int32_t>(pool_->IndexOfOffset(0)) : 0);

    dataType_ = type;
    decimals_ = header[kHeaderWords];
    SetName(std::string_view(reinterpret_cast<const char*>(header + kHeaderWords + 1), kMaxName));
    return true;
}

std::optional<std::string> menv::RecordName(std::span<const std::uint8_t> record)
{
    FieldRecordCursor c;
    if (FieldRecordBeginRead(c, record.data(), record.size(), 0) == 0)
        return std::nullopt;
    char header[kHeaderSize];
    FieldRecordGetBytes(c, kFieldHeader, header, sizeof header);
    const char* name = header + kHeaderWords + 1;
    return std::string(name, ::strnlen(name, kMaxName));
}

std::optional<std::vector<std::uint8_t>> menv::MakeClipboardBlock(const std::vector<std::string>& texts,
                                                                  bool largeMemory) const
{
    std::optional<std::vector<std::uint8_t>> record = EncodeRecord(largeMemory);
    if (!record)
        return std::nullopt;
    const auto estimate = static_cast<std::size_t>(GetRecordSize());
    std::size_t textBytes = 0;
    for (const std::string& text : texts)
        textBytes += text.size() + 1;
    std::vector<std::uint8_t> block;
    block.reserve(4 + std::max(estimate, record->size()) + textBytes);
    block.resize(4 + std::max(estimate, record->size()), 0);
    std::copy(record->begin(), record->end(), block.begin() + 4);
    for (const std::string& text : texts) {
        // A text ends at its first NUL, as the reader will see it.
        block.insert(block.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(::strnlen(text.c_str(), text.size())));
        block.push_back(0);
    }
    PutLe32(block.data(), static_cast<std::uint32_t>(block.size() + 2));
    return block;
}

bool menv::ReadClipboardBlock(std::span<const std::uint8_t> block, bool largeMemory, std::vector<std::string>& texts)
{
    if (block.size() < 4)
        return false;
    const std::uint32_t total = GetLe32(block.data());
    // The size word must describe the data that came, with room for the two
    // closing bytes behind the texts.
    if (total < 4 + 2 || total > block.size())
        return false;
    const std::span<const std::uint8_t> body = block.subspan(4, total - 4 - 2);

    // The number and pool stay; the record gives everything else, so the
    // entries this table holds now need no copy.
    menv table(pool_, number_);
    if (!table.DecodeRecord(body, largeMemory))
        return false;
    const auto estimate = static_cast<std::size_t>(table.GetRecordSize());
    const std::uint8_t* recordEnd = FieldRecordSize(body.data(), std::min(estimate, body.size()));
    if (!recordEnd || estimate > body.size())
        return false;

    std::vector<std::string> found;
    found.reserve(static_cast<std::size_t>(table.GetEntryCount()));
    std::size_t at = estimate;
    for (int i = 0; i < table.GetEntryCount(); ++i) {
        const auto* text = reinterpret_cast<const char*>(body.data() + at);
        const std::size_t length = ::strnlen(text, body.size() - at);
        if (at + length >= body.size())
            return false;  // a text without its NUL: the block was cut short
        found.emplace_back(text, length);
        at += length + 1;
    }
    *this = std::move(table);
    texts = std::move(found);
    return true;
}

bool menv::Read(std::int32_t number)
{
    if (number == -1)
        return false;
    number_ = number;
    adatabase& db = OpenProject();
    std::uint16_t length = db.GetMessageLength(static_cast<std::uint32_t>(number));
    if (length == 0)
        return false;
    std::vector<std::uint8_t> record(length);
    if (db.GetMessage(static_cast<std::uint32_t>(number), record.data(), length) != DF_OK)
        return false;
    record.resize(length);
    return DecodeRecord(record, OpenProjectHasLargeMemory());
}

bool menv::Save()
{
    const std::optional<std::vector<std::uint8_t>> record = EncodeRecord(OpenProjectHasLargeMemory());
    if (!record)
        return false;
    return OpenProject().PutMessage(static_cast<std::uint32_t>(number_), record->data(),
                                    static_cast<std::uint16_t>(record->size())) == DF_OK;
}

bool menv::SaveAs(std::int32_t number)
{
    number_ = number;
    return Save();
}

bool menv::WriteToFile(int handle) const
{
    const std::optional<std::vector<std::uint8_t>> record = EncodeRecord(OpenProjectHasLargeMemory());
    return record && DfWriteRecord(handle, static_cast<std::uint32_t>(number_), record->data(),
                                   static_cast<std::uint16_t>(record->size())) == DF_OK;
}

bool menv::Delete()
{
    return OpenProject().DeleteMessage(static_cast<std::uint32_t>(number_)) == DF_OK;
}

void menv::Rename(std::string_view name)
{
    SetName(name);
    Save();
}

void menv::Copy()
{
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    if (OpenProject().GetSystemRecordInfo(kTextPoolRecord, position, length) != DF_OK)
        return;
    // The texts as the project holds them now, not as this table's pool may.
    pile texts(kTextPoolCapacity);
    texts.Load();
    std::vector<std::string> entryTexts;
    for (int i = 0; i < GetEntryCount(); ++i) {
        std::string text;
        if (!texts.GetName(static_cast<std::uint32_t>(GetEntryTextNumber(i)), text))
            text = DbText(kStrNoMessage);
        entryTexts.push_back(std::move(text));
    }
    const std::optional<std::vector<std::uint8_t>> block = MakeClipboardBlock(entryTexts, OpenProjectHasLargeMemory());
    if (block)
        CopyToClipboard(block->data(), block->size(), kMessageTableClipboardFormat, true);
}

void menv::Cut()
{
    Copy();
    Delete();
}

bool menv::Paste(std::int32_t number)
{
    if (!pool_ || !IsClipboardFormatAvailable(kMessageTableClipboardFormat))
        return false;
    if (!OpenClipboard(nullptr))
        return false;
    const std::optional<ClipboardData> data = GetClipboardData(kMessageTableClipboardFormat);
    CloseClipboard();
    if (!data)
        return false;

    menv table(pool_, number == -1 ? number_ : number);
    std::vector<std::string> texts;
    if (!table.ReadClipboardBlock(*data, OpenProjectHasLargeMemory(), texts))
        return false;
    bool added = false;
    for (int i = 0; i < table.GetEntryCount(); ++i) {
        std::uint32_t id = 0;
        added |= pool_->Add(texts[static_cast<std::size_t>(i)], id);
        if (id == 0)
            return false;  // the pool is full: the table would lose its texts
        table.SetEntryTextNumber(i, static_cast<std::int32_t>(id));
    }
    // Without its texts stored the table would name texts the project lacks.
    if (added && pool_->Store() != DF_OK)
        return false;
    *this = std::move(table);
    return Save();
}

bool menv::GetIdRange(std::int32_t& first, std::int32_t& last)
{
    return RegistryIdRange(first, last);
}

int menv::GetColumnTitle(std::string& title, int column) const
{
    static constexpr int kTitles[kColumnCount] = {
        kStrColMessageTableName, kStrColDecimalPlaces, kStrColDataType, kStrColValue,
        kStrColText,             kStrColNumOfValues,   kStrColCharLen,
    };
    title = column >= 0 && column < kColumnCount ? DbText(kTitles[column]) : "";
    return static_cast<int>(title.size());
}

std::string menv::DataTypeName(std::int32_t dataType)
{
    switch (dataType) {
    case kMsgTypeNone:
        return DbText(kStrTypeUnknown);
    case kMsgTypeUnsignedWord:
        return DbText(kStrTypeUnsignedWord);
    case kMsgTypeSignedWord:
        return DbText(kStrTypeSignedWord);
    case kMsgTypeUnsignedDword:
        return DbText(kStrTypeUnsignedDword);
    case kMsgTypeSignedDword:
        return DbText(kStrTypeSignedDword);
    case kMsgTypeFloat:
        return DbText(kStrTypeFloatingPoint);
    case kMsgTypeDigital:
        return DbText(kStrTypeDigital);
    default:
        return {};
    }
}

std::string menv::GetValueText(int i) const
{
    const entry* e = At(i);
    if (!e)
        return {};
    const int d = decimals_;
    switch (dataType_) {
    case kMsgTypeUnsignedWord:
        return d ? PlaceDecimalPoint(Format("%01.*u", d, unsigned{e->GetUnsignedWord()}), d)
                 : Format("%01u", unsigned{e->GetUnsignedWord()});
    case kMsgTypeSignedWord:
        return d ? PlaceDecimalPoint(Format("%01.*d", d, int{e->GetSignedWord()}), d)
                 : Format("%01d", int{e->GetSignedWord()});
    case kMsgTypeUnsignedDword:
        return d ? PlaceDecimalPoint(Format("%01.*lu", d, static_cast<unsigned long>(e->GetUnsignedDword())), d)
                 : Format("%01lu", static_cast<unsigned long>(e->GetUnsignedDword()));
    case kMsgTypeSignedDword:
        return d ? PlaceDecimalPoint(Format("%01.*ld", d, static_cast<long>(e->GetSignedDword())), d)
                 : Format("%01ld", static_cast<long>(e->GetSignedDword()));
    case kMsgTypeFloat:
        return Format("%01.*f", d, static_cast<double>(e->GetFloat()));
    case kMsgTypeDigital:
        return Format("%02i", int{static_cast<std::int8_t>(e->GetByte())});
    default:
        return {};
    }
}

std::string menv::EntryText(int i) const
{
    std::string text;
    if (pool_ && pool_->GetName(static_cast<std::uint32_t>(GetEntryTextNumber(i)), text))
        return text;
    return {};
}

int menv::GetColumnText(std::string& text, int column, int& row) const
{
    const int count = GetEntryCount();
    text.clear();
    switch (column) {
    case 0:
        text = name_;
        row = 0;
        break;
    case 1:
        text = std::to_string(decimals_);
        row = 0;
        break;
    case 2:
        text = DataTypeName(dataType_);
        row = 0;
        break;
    case 5:
        text = std::to_string(count);
        row = 0;
        break;
    case 3:
    case 4:
    case 6:
        if (row < 0 || row >= count) {
            // A table without entries still makes one report line.
            if (column == 6)
                text = "0";
            row = 0;
            break;
        }
        if (column == 3)
            text = GetValueText(row);
        else if (column == 4)
            text = MarkLineBreaks(EntryText(row));
        else
            text = std::to_string(EntryText(row).size());
        row = count - row - 1;
        break;
    default:
        break;
    }
    return static_cast<int>(text.size());
}

int menv::GetColumnText(std::string& text, int column)
{
    int row = 0;
    return GetColumnText(text, column, row);
}

std::string MarkLineBreaks(std::string_view text)
{
    std::string marked;
    marked.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            marked.push_back(text[i]);
            continue;
        }
        marked += "<cr>";
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return marked;
}

std::size_t MarkLineBreaks(char* text, std::size_t size)
{
    if (!text || size == 0)
        return 0;
    const std::string marked = MarkLineBreaks(std::string_view(text, ::strnlen(text, size)));
    const std::size_t n = std::min(marked.size(), size - 1);
    std::memcpy(text, marked.data(), n);
    text[n] = 0;
    return n;
}
