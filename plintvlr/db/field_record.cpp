#include "plintvlr/db/field_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kRecordLimit = 65535;
constexpr std::uint8_t kMarker = 0x1F;
constexpr std::uint16_t kLargestType = 4095;
constexpr std::uint32_t kLargestSlot = 65535;
constexpr std::uint32_t kSlotsPerGroup = 7;
constexpr std::uint32_t kEverySlot = 0xFFFFFFFFu;

bool IsDead(const FieldRecordCursor& c)
{
    return c.at == FR_NO_POSITION;
}

int Kill(FieldRecordCursor& c, int code)
{
    c.at = FR_NO_POSITION;
    return code;
}

std::uint32_t GroupOf(std::uint32_t slot)
{
    return slot == 0 ? 0 : (slot - 1) / kSlotsPerGroup + 1;
}

std::uint8_t SlotBit(std::uint32_t slot)
{
    return static_cast<std::uint8_t>(1u << ((slot - 1) % kSlotsPerGroup));
}

// Writing.

// The bytes of a field as stored: plain bytes, or 16-bit words little-endian.
struct FieldSource {
    const std::uint8_t* bytes = nullptr;
    const std::uint16_t* words = nullptr;

    std::uint8_t operator[](std::size_t i) const
    {
        if (bytes)
            return bytes[i];
        return static_cast<std::uint8_t>(words[i / 2] >> (i % 2 ? 8 : 0));
    }
};

int PutByte(FieldRecordCursor& c, std::uint8_t byte)
{
    if (c.at >= c.end)
        return FR_BUFFER_FULL;
    c.sum = static_cast<std::uint16_t>(c.sum + byte);
    if (!(c.flags & FR_COUNT_ONLY))
        c.start[c.at] = byte;
    ++c.at;
    return FR_OK;
}

void SetBits(FieldRecordCursor& c, std::size_t offset, std::uint8_t bits)
{
    if (!(c.flags & FR_COUNT_ONLY))
        c.start[offset] |= bits;
}

// A number in groups of `bits` bits, most significant first, with `more` set
// on every byte but the last.
int PutGroups(FieldRecordCursor& c, std::uint32_t value, unsigned bits, std::uint8_t more)
{
    unsigned groups = 1;
    while (groups < 6 && (value >> (bits * groups)) != 0)
        ++groups;
    const std::uint32_t mask = (1u << bits) - 1;
    for (unsigned g = groups; g-- > 0;) {
        auto byte = static_cast<std::uint8_t>((value >> (bits * g)) & mask);
        if (int rc = PutByte(c, g ? static_cast<std::uint8_t>(byte | more) : byte))
            return rc;
    }
    return FR_OK;
}

int FieldRecordPutNumber(FieldRecordCursor& c, std::uint16_t number)
{
    return PutGroups(c, number, 6, 0x40);
}

int FieldRecordPutLength(FieldRecordCursor& c, std::uint16_t length)
{
    return PutGroups(c, length, 7, 0x80);
}

// The sum of n bytes, eight at a time: fields of tables with thousands of
// entries are tens of kilobytes long.
std::uint16_t SumOf(const std::uint8_t* bytes, std::size_t n, std::uint16_t sum)
{
    std::size_t i = 0;
    for (; n - i >= 8; i += 8)
        sum = static_cast<std::uint16_t>(sum + bytes[i] + bytes[i + 1] + bytes[i + 2] + bytes[i + 3] + bytes[i + 4] +
                                         bytes[i + 5] + bytes[i + 6] + bytes[i + 7]);
    for (; i < n; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return sum;
}

int FieldRecordPutRaw(FieldRecordCursor& c, const FieldSource& data, std::size_t count)
{
    // A field that fits is written in one pass.
    if (c.at < c.end && count <= c.end - c.at) {
        std::uint8_t* out = c.start + c.at;
        const bool store = !(c.flags & FR_COUNT_ONLY);
        if (data.bytes || std::endian::native == std::endian::little) {
            // Words are stored little-endian: on such a machine their memory
            // is the stored form.
            const auto* bytes = data.bytes ? data.bytes : reinterpret_cast<const std::uint8_t*>(data.words);
            c.sum = SumOf(bytes, count, c.sum);
            if (store)
                std::memcpy(out, bytes, count);
        } else {
            for (std::size_t w = 0; w < count / 2; ++w) {
                const auto low = static_cast<std::uint8_t>(data.words[w]);
                const auto high = static_cast<std::uint8_t>(data.words[w] >> 8);
                c.sum = static_cast<std::uint16_t>(c.sum + low + high);
                if (store) {
                    out[2 * w] = low;
                    out[2 * w + 1] = high;
                }
            }
        }
        c.at += count;
        return FR_OK;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (int rc = PutByte(c, data[i]))
            return rc;
    return FR_OK;
}

int PutString(FieldRecordCursor& c, const std::uint8_t* text)
{
    for (std::size_t i = 0;; ++i) {
        if (int rc = PutByte(c, text[i]))
            return rc;
        if (text[i] == 0)
            return FR_OK;
    }
}

// How many bytes of the field to store; 0 leaves the field out.
std::size_t FieldRecordKeepField(const FieldRecordCursor& c, const FieldSource& data, std::size_t count,
                                 unsigned unit)
{
    if (c.flags & FR_KEEP_ZEROS)
        return count;
    if (unit == 1) {
        // Eight zeros at a time first: an unset field of a large table is
        // all zeros.
        std::uint64_t eight = 0;
        while (count >= 8 && (std::memcpy(&eight, data.bytes + count - 8, 8), eight == 0))
            count -= 8;
        while (count > 0 && data.bytes[count - 1] == 0)
            --count;
        return count;
    }
    // Word fields are cut in whole words, four at a time first.
    std::uint64_t four = 0;
    while (count >= 8 && (std::memcpy(&four, data.words + count / 2 - 4, 8), four == 0))
        count -= 8;
    while (count >= 2 && data.words[count / 2 - 1] == 0)
        count -= 2;
    return count;
}

// Byte field k is slot 2k - 1, word field k slot 2k.
int SlotOf(int field, bool words, std::uint32_t& s)
{
    if (field <= 0 || static_cast<std::uint32_t>(field) * 2 - (words ? 0 : 1) > kLargestSlot)
        return FR_BAD_SLOT;
    s = static_cast<std::uint32_t>(field) * 2 - (words ? 0 : 1);
    return FR_OK;
}

// One field: count bytes, in units of 1 (byte field) or 2 (word field); a
// byte field of count 0 is the NUL-terminated string at data.bytes.
int FieldRecordPutField(FieldRecordCursor& c, int field, const FieldSource& data, std::size_t count, unsigned unit)
{
    if (c.flags & FR_READING)
        return Kill(c, FR_READ_ONLY);
    const bool isString = unit == 1 && count == 0;
    if (isString) {
        if (!(c.flags & FR_KEEP_ZEROS) && data.bytes[0] == 0)
            return FR_OK;
    } else {
        // No words at all are left out even when zeros are kept: a stored
        // length of 0 would announce a string.
        count = FieldRecordKeepField(c, data, count, unit);
        if (count == 0)
            return FR_OK;
    }
    if (IsDead(c))
        return FR_BAD_CONTEXT;
    std::uint32_t s = 0;
    if (SlotOf(field, unit == 2, s) != FR_OK || s < c.slot)
        return Kill(c, FR_BAD_SLOT);

    if (s == c.slot) {
        // Only a string continues a string: its NUL gives way to the new text.
        if (!isString || !c.slotIsString || !c.groupOpensWithString)
            return Kill(c, FR_BAD_ADDITION);
        --c.at;
        if (int rc = PutString(c, data.bytes))
            return Kill(c, rc);
        return FR_OK;
    }

    for (std::uint32_t g = c.slot; GroupOf(s) > GroupOf(g); g += kSlotsPerGroup) {
        if (c.presenceAt != FR_NO_POSITION)
            SetBits(c, c.presenceAt, 0x80);
        c.presenceAt = c.at;
        if (int rc = PutByte(c, 0))
            return Kill(c, rc);
    }
    c.slot = s;
    if (c.typeAt != FR_NO_POSITION)
        SetBits(c, c.typeAt, 0x80);
    SetBits(c, c.presenceAt, SlotBit(s));
    if (c.at == c.presenceAt + 1)
        c.groupOpensWithString = isString;
    c.slotIsString = isString;
    int rc = FieldRecordPutLength(c, static_cast<std::uint16_t>(count));
    if (rc == FR_OK)
        rc = isString ? PutString(c, data.bytes) : FieldRecordPutRaw(c, data, count);
    return rc ? Kill(c, rc) : FR_OK;
}

// Reading.

bool GetByte(FieldRecordCursor& c, std::uint8_t& byte)
{
    if (IsDead(c) || c.at >= c.end) {
        Kill(c, FR_NO_MORE_DATA);
        return false;
    }
    byte = c.start[c.at++];
    return true;
}

// A number in groups of `bits` bits, most significant first, while `more`
// is set; numbers beyond 16 bits are not in any record.
bool GetGroups(FieldRecordCursor& c, unsigned bits, std::uint8_t more, std::uint32_t& value)
{
    value = 0;
    std::uint8_t byte = 0;
    do {
        if (!GetByte(c, byte))
            return false;
        value = (value << bits) | (byte & ((1u << bits) - 1));
        if (value > 0xFFFF) {
            Kill(c, FR_NO_MORE_DATA);
            return false;
        }
    } while (byte & more);
    return true;
}

bool FieldRecordGetNumber(FieldRecordCursor& c, std::uint32_t& number)
{
    return GetGroups(c, 6, 0x40, number);
}

bool FieldRecordGetLength(FieldRecordCursor& c, std::uint32_t& length)
{
    return GetGroups(c, 7, 0x80, length);
}

// The length of the string at the position, without its NUL; false (and a
// dead cursor) when the buffer ends before the NUL.
bool StringLength(FieldRecordCursor& c, std::size_t& length)
{
    const void* nul = std::memchr(c.start + c.at, 0, c.end - c.at);
    if (!nul) {
        Kill(c, FR_NO_MORE_DATA);
        return false;
    }
    length = static_cast<const std::uint8_t*>(nul) - (c.start + c.at);
    return true;
}

// Steps over the field at the position.
bool SkipField(FieldRecordCursor& c)
{
    std::uint32_t length = 0;
    if (!FieldRecordGetLength(c, length))
        return false;
    std::size_t skip = length;
    if (length == 0) {
        if (!StringLength(c, skip))
            return false;
        ++skip;
    }
    if (skip > c.end - c.at) {
        Kill(c, FR_NO_MORE_DATA);
        return false;
    }
    c.at += skip;
    return true;
}

// Moves the cursor to slot s, stepping over the fields before it: 0 when s is
// present (the position is then at its length), else 3, 7 or 8.
int FieldRecordNextSlot(FieldRecordCursor& c, std::uint32_t s)
{
    if (!(c.flags & FR_READING))
        return FR_BAD_CONTEXT;
    if (IsDead(c))
        return FR_NO_MORE_DATA;
    if (s <= c.slot)
        return FR_BAD_SLOT;
    if (c.presenceAt == FR_NO_POSITION)
        return FR_NO_MORE_DATA;
    while (c.slot < s) {
        if (c.slot != 0 && c.slot % kSlotsPerGroup == 0) {
            if (!(c.start[c.presenceAt] & 0x80)) {
                c.presenceAt = FR_NO_POSITION;
                c.slot = s;
                return FR_ABSENT;
            }
            c.presenceAt = c.at;
            std::uint8_t ignored;
            if (!GetByte(c, ignored))
                return FR_NO_MORE_DATA;
        }
        ++c.slot;
        if (c.slot < s && (c.start[c.presenceAt] & SlotBit(c.slot)) && !SkipField(c))
            return FR_NO_MORE_DATA;
    }
    return (c.start[c.presenceAt] & SlotBit(s)) ? FR_OK : FR_ABSENT;
}

// Reads the field at the position into the output (null: step over it);
// `copied` is how much of the output it filled.
int CopyField(FieldRecordCursor& c, std::uint8_t* output, std::size_t size, std::size_t& copied)
{
    std::uint32_t length = 0;
    if (!FieldRecordGetLength(c, length))
        return FR_NO_MORE_DATA;
    std::size_t stored = length;
    std::size_t take = 0;
    if (length == 0) {
        if (!StringLength(c, take))
            return FR_NO_MORE_DATA;
        stored = take + 1;
        if (size)
            take = std::min(take, size);
    } else {
        if (stored > c.end - c.at)
            return Kill(c, FR_NO_MORE_DATA);
        take = std::min(stored, size);
    }
    if (output && take)
        std::memcpy(output, c.start + c.at, take);
    copied = take;
    c.at += stored;
    return FR_OK;
}

int FieldRecordGetField(FieldRecordCursor& c, std::uint32_t s, std::uint8_t* output, std::size_t size)
{
    std::size_t copied = 0;
    int rc = FieldRecordNextSlot(c, s);
    if (rc == FR_OK)
        rc = CopyField(c, output, size, copied);
    if (output) {
        if (size > copied)
            std::memset(output + copied, 0, size - copied);
        else if (size == 0)
            output[copied] = 0;
    }
    return rc;
}

void StartReading(FieldRecordCursor& c, const void* buffer, std::size_t length)
{
    c = FieldRecordCursor{};
    c.flags = FR_READING;
    // Reading never writes through the cursor.
    c.start = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(buffer));
    c.at = 0;
    c.end = std::min(length, kRecordLimit);
}

}  // namespace

void FieldRecordInit(FieldRecordCursor& cursor, void* buffer, std::uint16_t flags)
{
    cursor = FieldRecordCursor{};
    cursor.flags = flags;
    cursor.start = static_cast<std::uint8_t*>(buffer);
    cursor.at = 0;
    cursor.end = kRecordLimit;
}

int FieldRecordBeginWrite(FieldRecordCursor& cursor, void* buffer, std::uint16_t type, std::uint16_t flags)
{
    FieldRecordInit(cursor, buffer, flags);
    if (flags & ~(FR_KEEP_ZEROS | FR_COUNT_ONLY))
        return Kill(cursor, FR_UNSUPPORTED);
    if (type == 0 || type > kLargestType)
        return Kill(cursor, FR_BAD_PARAMETER);
    if (int rc = PutByte(cursor, kMarker))
        return Kill(cursor, rc);
    cursor.typeAt = cursor.at;
    if (int rc = FieldRecordPutNumber(cursor, type))
        return Kill(cursor, rc);
    return FR_OK;
}

int FieldRecordBeginRaw(FieldRecordCursor& cursor, void* buffer)
{
    FieldRecordInit(cursor, buffer, 0);
    return FR_OK;
}

int FieldRecordPutBytes(FieldRecordCursor& cursor, int field, const void* data, std::uint16_t length)
{
    FieldSource source;
    source.bytes = static_cast<const std::uint8_t*>(data);
    return FieldRecordPutField(cursor, field, source, length, 1);
}

int FieldRecordPutWords(FieldRecordCursor& cursor, int field, const std::uint16_t* words, std::uint16_t count)
{
    FieldSource source;
    source.words = words;
    return FieldRecordPutField(cursor, field, source, static_cast<std::size_t>(count) * 2, 2);
}

std::uint8_t* FieldRecordEnd(FieldRecordCursor& cursor)
{
    FieldRecordCursor c = cursor;
    cursor = FieldRecordCursor{};
    if (IsDead(c))
        return nullptr;
    if (c.flags & FR_READING) {
        if (c.presenceAt != FR_NO_POSITION)
            FieldRecordNextSlot(c, kEverySlot);
        if (IsDead(c))
            return nullptr;
    } else if (c.typeAt == FR_NO_POSITION && c.presenceAt == FR_NO_POSITION) {
        // A raw record always has its first presence byte.
        if (PutByte(c, 0) != FR_OK)
            return nullptr;
    }
    return c.start + c.at;
}

std::uint8_t* FieldRecordFinish(FieldRecordCursor& cursor)
{
    return FieldRecordEnd(cursor);
}

std::uint16_t FieldRecordBeginRead(FieldRecordCursor& cursor, const void* buffer, std::uint16_t flags)
{
    return FieldRecordBeginRead(cursor, buffer, kRecordLimit, flags);
}

std::uint16_t FieldRecordBeginRead(FieldRecordCursor& cursor, const void* buffer, std::size_t length,
                                   std::uint16_t flags)
{
    StartReading(cursor, buffer, length);
    if (flags != 0) {
        Kill(cursor, FR_UNSUPPORTED);
        return 0;
    }
    std::uint8_t marker = 0;
    if (!GetByte(cursor, marker) || (marker & 0x7F) != kMarker)
        return 0;
    cursor.typeAt = cursor.at;
    std::uint32_t type = 0;
    if (!FieldRecordGetNumber(cursor, type))
        return 0;
    if (cursor.start[cursor.typeAt] & 0x80) {
        cursor.presenceAt = cursor.at;
        std::uint8_t ignored;
        if (!GetByte(cursor, ignored))
            return 0;
    }
    return static_cast<std::uint16_t>(type);
}

void FieldRecordBeginReadRaw(FieldRecordCursor& cursor, const void* buffer)
{
    FieldRecordBeginReadRaw(cursor, buffer, kRecordLimit);
}

void FieldRecordBeginReadRaw(FieldRecordCursor& cursor, const void* buffer, std::size_t length)
{
    StartReading(cursor, buffer, length);
    cursor.presenceAt = 0;
    std::uint8_t ignored;
    GetByte(cursor, ignored);
}

int FieldRecordGetBytes(FieldRecordCursor& cursor, int field, void* output, std::uint16_t size)
{
    auto* out = static_cast<std::uint8_t*>(output);
    std::uint32_t s = 0;
    if (int rc = SlotOf(field, false, s)) {
        if (out)
            std::memset(out, 0, size ? size : 1);
        return rc;
    }
    return FieldRecordGetField(cursor, s, out, size);
}

int FieldRecordGetWords(FieldRecordCursor& cursor, int field, std::uint16_t* output, std::uint16_t count)
{
    std::uint32_t s = 0;
    if (int rc = SlotOf(field, true, s)) {
        if (output)
            std::fill(output, output + count, 0);
        return rc;
    }
    // No words wanted: step over the field without touching the output.
    auto* bytes = count ? reinterpret_cast<std::uint8_t*>(output) : nullptr;
    int rc = FieldRecordGetField(cursor, s, bytes, static_cast<std::size_t>(count) * 2);
    for (std::uint16_t i = 0; bytes && i < count; ++i)
        output[i] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return rc;
}

const std::uint8_t* FieldRecordSize(const void* buffer)
{
    return FieldRecordSize(buffer, kRecordLimit);
}

const std::uint8_t* FieldRecordSize(const void* buffer, std::size_t length)
{
    FieldRecordCursor c;
    FieldRecordBeginRead(c, buffer, length, 0);
    return FieldRecordEnd(c);
}

const std::uint8_t* FieldRecordSizeRaw(const void* buffer)
{
    return FieldRecordSizeRaw(buffer, kRecordLimit);
}

const std::uint8_t* FieldRecordSizeRaw(const void* buffer, std::size_t length)
{
    FieldRecordCursor c;
    FieldRecordBeginReadRaw(c, buffer, length);
    return FieldRecordEnd(c);
}

int FieldRecordCopyCursor(FieldRecordCursor& target, const FieldRecordCursor& source)
{
    if (&target == &source || !(source.flags & FR_READING) || IsDead(source)) {
        target = FieldRecordCursor{};
        return 1;
    }
    target = source;
    target.flags |= FR_COPY;
    return 0;
}

int FieldRecordSkipWords(FieldRecordCursor& cursor, int field, std::uint16_t count)
{
    if (!(cursor.flags & FR_COPY) || !(cursor.flags & FR_READING) || IsDead(cursor)) {
        cursor = FieldRecordCursor{};
        return 1;
    }
    std::uint32_t s = 0;
    if (int rc = SlotOf(field, true, s))
        return rc;
    return FieldRecordGetField(cursor, s, nullptr, static_cast<std::size_t>(count) * 2);
}

const char* FieldRecordErrorText(int code)
{
    static const char* const texts[] = {
        "FFS: No error",
        "FFS: Bad Opcode context",
        "FFS: Cannot write, buffer too short",
        "FFS: Bad Class Index",
        "FFS: Bad data type addition",
        "FFS: Unsupported feature",
        "FFS: Bad parameter",
        "FFS: No more data",
        "FFS: Empty Data class",
        "FFS: AFDI Point buffer overflow",
        "FFS: Context is read-only.",
    };
    if (code < 0 || code >= static_cast<int>(sizeof texts / sizeof texts[0]))
        return "FFS: Unknown error code";
    return texts[code];
}

std::uint8_t* CopyBytes(std::uint8_t* destination, const void* source, std::size_t n)
{
    if (n)
        std::memcpy(destination, source, n);
    return destination + n;
}

char* CopyBytes(char* destination, const void* source, std::size_t n)
{
    return reinterpret_cast<char*>(CopyBytes(reinterpret_cast<std::uint8_t*>(destination), source, n));
}

char* CopyString(char* destination, const char* source, std::size_t n)
{
    if (n == 0)
        return destination;
    std::size_t i = 0;
    while (i <= n && source[i] != 0) {
        destination[i] = source[i];
        ++i;
    }
    destination[i] = 0;
    return destination + i + 1;
}

char* AppendBytes(char* string, const void* bytes, std::size_t n)
{
    return CopyBytes(string + std::strlen(string), bytes, n);
}

void PadToWidth(char* string, std::size_t width)
{
    std::size_t length = strnlen(string, width);
    std::memset(string + length, ' ', width - length);
    string[width] = 0;
}

void PadDecimals(char* text, std::size_t size)
{
    std::size_t length = strnlen(text, size);
    if (length == size)
        return;
    const char* more = "";
    if (length >= 1 && text[length - 1] == '.')
        more = "00";
    else if (length >= 2 && text[length - 2] == '.')
        more = "0";
    std::size_t extra = std::strlen(more);
    if (length + extra <= size) {
        std::memcpy(text + length, more, extra);
        length += extra;
    }
    std::memset(text + length, 0, size - length);
}
