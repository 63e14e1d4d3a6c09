#include "plintvlr/db/field_record.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(std::string_view text)
{
    std::string bytes = HexBytes(text);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using Writer = std::function<void(FieldRecordCursor&, std::uint8_t*)>;

// Runs a writer over a full-size buffer; the record's bytes, or "null" when
// FieldRecordEnd gave none.
Bytes Encode(const Writer& write, bool* ended = nullptr)
{
    static std::vector<std::uint8_t> buffer(70000);
    FieldRecordCursor c;
    write(c, buffer.data());
    std::uint8_t* end = FieldRecordEnd(c);
    if (ended)
        *ended = end != nullptr;
    return end ? Bytes(buffer.data(), end) : Bytes();
}

int PutBytes(FieldRecordCursor& c, int field, const Bytes& data)
{
    return FieldRecordPutBytes(c, field, data.data(), static_cast<std::uint16_t>(data.size()));
}

int PutWords(FieldRecordCursor& c, int field, std::vector<std::uint16_t> words)
{
    return FieldRecordPutWords(c, field, words.data(), static_cast<std::uint16_t>(words.size()));
}

TEST(FieldRecordWrite, EncodesAsLaidOut)
{
    struct Case {
        const char* name;
        Writer write;
        Bytes expected;
    } cases[] = {
        {"type 9 without fields", [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); }, Hex("1F 09")},
        {"type 100 in two groups", [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 100, 0); }, Hex("1F 41 24")},
        {"largest type", [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 4095, 0); }, Hex("1F 7F 3F")},
        {"trailing zero bytes cut",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 13, 0); PutBytes(c, 1, Hex("05 00 00")); },
         Hex("1F 8D 01 01 05")},
        {"zeros kept",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 13, FR_KEEP_ZEROS); PutBytes(c, 1, Hex("05 00 00")); },
         Hex("1F 8D 01 03 05 00 00")},
        {"long run of trailing zeros cut",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 13, 0); PutBytes(c, 1, Hex("00 00 00 05") + Bytes(17, 0)); },
         Hex("1F 8D 01 04 00 00 00 05")},
        {"long run of trailing zero words cut",
         [](auto& c, auto* b) {
             FieldRecordBeginWrite(c, b, 9, 0);
             PutWords(c, 1, {0, 0x0100, 0, 0, 0, 0, 0, 0, 0, 0, 0});
         },
         Hex("1F 89 02 04 00 00 00 01")},
        {"all-zero field left out",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 13, 0); PutBytes(c, 1, Hex("00 00 00")); },
         Hex("1F 0D")},
        {"word with its high byte set",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); PutWords(c, 1, {0x0100}); },
         Hex("1F 89 02 02 00 01")},
        {"trailing zero word cut",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); PutWords(c, 1, {0x0100, 0x0000}); },
         Hex("1F 89 02 02 00 01")},
        {"slot 9 first: an empty group before it",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); PutBytes(c, 5, Hex("07")); },
         Hex("1F 89 80 02 01 07")},
        {"string", [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); FieldRecordPutBytes(c, 1, "AB", 0); },
         Hex("1F 89 01 00 41 42 00")},
        {"200-byte field: two length bytes",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 1, Bytes(200, 0x11)); },
         Hex("01 81 48") + Bytes(200, 0x11)},
        {"raw without fields", [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); }, Hex("00")},
        {"raw with only empty fields",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 1, Hex("00")); FieldRecordPutBytes(c, 2, "", 0); },
         Hex("00")},
        {"byte, word and byte fields in slot order",
         [](auto& c, auto* b) {
             FieldRecordBeginRaw(c, b);
             PutBytes(c, 1, Hex("AA"));
             PutWords(c, 1, {0x1234});
             PutBytes(c, 2, Hex("BB"));
         },
         Hex("07 | 01 AA | 02 34 12 | 01 BB")},
        {"slots 7 and 8 across a group",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 4, Hex("01")); PutWords(c, 4, {0x0001}); },
         Hex("C0 01 01 | 01 02 01 00")},
        {"third group only", [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 8, Hex("CC")); },
         Hex("80 80 01 01 CC")},
        {"string continued in its slot",
         [](auto& c, auto* b) {
             FieldRecordBeginRaw(c, b);
             FieldRecordPutBytes(c, 1, "AB", 0);
             FieldRecordPutBytes(c, 1, "CD", 0);
         },
         Hex("01 00 41 42 43 44 00")},
        {"empty string kept with zeros",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 12, FR_KEEP_ZEROS); FieldRecordPutBytes(c, 1, "", 0); },
         Hex("1F 8C 01 00 00")},
        {"largest record",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 1, Bytes(65531, 0x01)); },
         Hex("01 83 FF 7B") + Bytes(65531, 0x01)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.write), c.expected) << c.name;
}

TEST(FieldRecordWrite, CountOnlyCountsWithoutStoring)
{
    Bytes buffer(16, 0xEE);
    FieldRecordCursor c;
    ASSERT_EQ(FieldRecordBeginWrite(c, buffer.data(), 13, FR_COUNT_ONLY | FR_KEEP_ZEROS), FR_OK);
    ASSERT_EQ(FieldRecordPutBytes(c, 1, "AB", 0), FR_OK);
    ASSERT_EQ(FieldRecordPutBytes(c, 1, "C", 0), FR_OK);
    ASSERT_EQ(PutBytes(c, 2, Hex("05 00 00")), FR_OK);
    ASSERT_EQ(PutWords(c, 3, {0x1234, 0x0000}), FR_OK);
    EXPECT_EQ(c.sum, 0x1F + 0x0D + 0x41 + 0x42 + 0x43 + 0x03 + 0x05 + 0x04 + 0x34 + 0x12);
    // 1F 8D 25 00 41 42 43 00 03 05 00 00 04 34 12 00 00
    EXPECT_EQ(FieldRecordEnd(c) - buffer.data(), 17);
    EXPECT_EQ(buffer, Bytes(16, 0xEE));
}

TEST(FieldRecordWrite, ErrorsKillTheCursor)
{
    const std::uint8_t one = 1;
    struct Case {
        const char* name;
        std::function<int(FieldRecordCursor&, std::uint8_t*)> write;  // the last call's code
        int code;
    } cases[] = {
        {"byte field 2 after word field 2",
         [](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 9, 0); PutWords(c, 2, {1}); return PutBytes(c, 2, Hex("01")); },
         FR_BAD_SLOT},
        {"field 0", [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); return PutBytes(c, 0, Hex("01")); }, FR_BAD_SLOT},
        {"a slot written twice",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 1, Hex("01")); return PutBytes(c, 1, Hex("02")); },
         FR_BAD_ADDITION},
        {"a string onto bytes",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); PutBytes(c, 1, Hex("01")); return FieldRecordPutBytes(c, 1, "B", 0); },
         FR_BAD_ADDITION},
        // The group opens with a string, but slot 3 holds bytes: appending
        // there would leave a length that no longer fits its data.
        {"a string onto bytes after a string",
         [](auto& c, auto* b) {
             FieldRecordBeginRaw(c, b);
             FieldRecordPutBytes(c, 1, "A", 0);
             PutBytes(c, 2, Hex("01"));
             return FieldRecordPutBytes(c, 2, "B", 0);
         },
         FR_BAD_ADDITION},
        {"type 0", [](auto& c, auto* b) { return FieldRecordBeginWrite(c, b, 0, 0); }, FR_BAD_PARAMETER},
        {"type above 4095", [](auto& c, auto* b) { return FieldRecordBeginWrite(c, b, 4096, 0); }, FR_BAD_PARAMETER},
        {"unsupported flag", [](auto& c, auto* b) { return FieldRecordBeginWrite(c, b, 9, 1); }, FR_UNSUPPORTED},
        {"writing on a dead cursor",
         [&](auto& c, auto* b) { FieldRecordBeginWrite(c, b, 0, 0); return FieldRecordPutBytes(c, 1, &one, 1); },
         FR_BAD_CONTEXT},
        {"writing on a reading cursor",
         [&](auto& c, auto* b) { b[0] = 0; FieldRecordBeginReadRaw(c, b, 1); return FieldRecordPutBytes(c, 1, &one, 1); },
         FR_READ_ONLY},
        {"past 65535 bytes",
         [](auto& c, auto* b) { FieldRecordBeginRaw(c, b); return PutBytes(c, 1, Bytes(65532, 0x01)); },
         FR_BUFFER_FULL},
        {"a new group past 65535 bytes",
         [](auto& c, auto* b) {
             FieldRecordBeginRaw(c, b);
             PutBytes(c, 1, Bytes(65531, 0x01));
             return PutBytes(c, 5, Hex("01"));
         },
         FR_BUFFER_FULL},
    };
    for (const Case& c : cases) {
        int code = -1;
        bool ended = true;
        Encode([&](FieldRecordCursor& cursor, std::uint8_t* b) { code = c.write(cursor, b); }, &ended);
        EXPECT_EQ(code, c.code) << c.name;
        EXPECT_FALSE(ended) << c.name;
    }
}

// Type 21: byte 1 = 12 bytes, word 1 = 3 words, byte 2 and word 2 absent,
// byte 3 = "Hi", word 5 (slot 10, in group 2) = 0xABCD.
const Bytes kTwoGroups = Hex("1F 95 | 93 | 0C 01 02 03 04 05 06 07 08 09 0A 0B 0C | 06 01 00 02 00 03 00 | 00 48 69 00"
                             "| 04 | 02 CD AB");

TEST(FieldRecordRead, FieldsComeBackWithZeroFilling)
{
    const Bytes record = kTwoGroups;
    FieldRecordCursor c;
    ASSERT_EQ(FieldRecordBeginRead(c, record.data(), record.size(), 0), 21);

    Bytes head(4);
    EXPECT_EQ(FieldRecordGetBytes(c, 1, head.data(), 4), FR_OK);
    EXPECT_EQ(head, Hex("01 02 03 04"));
    std::uint16_t words[4] = {9, 9, 9, 9};
    EXPECT_EQ(FieldRecordGetWords(c, 1, words, 4), FR_OK);
    EXPECT_EQ(std::vector<std::uint16_t>(words, words + 4), (std::vector<std::uint16_t>{1, 2, 3, 0}));
    Bytes absent(3, 0x55);
    EXPECT_EQ(FieldRecordGetBytes(c, 2, absent.data(), 3), FR_ABSENT);
    EXPECT_EQ(absent, Bytes(3, 0));
    char text[5];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(FieldRecordGetBytes(c, 3, text, 5), FR_OK);
    EXPECT_EQ(std::string(text, 5), std::string("Hi\0\0\0", 5));
    EXPECT_EQ(FieldRecordGetWords(c, 5, words, 1), FR_OK);
    EXPECT_EQ(words[0], 0xABCD);
    EXPECT_EQ(FieldRecordGetBytes(c, 2, absent.data(), 3), FR_BAD_SLOT);  // behind us
    EXPECT_EQ(FieldRecordGetBytes(c, 8, absent.data(), 3), FR_ABSENT);    // past the last group
    EXPECT_EQ(FieldRecordGetBytes(c, 9, absent.data(), 3), FR_NO_MORE_DATA);
    EXPECT_EQ(FieldRecordEnd(c), record.data() + record.size());
}

TEST(FieldRecordRead, CodesAndPositions)
{
    // Type 9 with slots 1 and 3.
    const Bytes record = Hex("1F 89 05 01 AA 01 BB");
    struct Case {
        const char* name;
        std::vector<int> fields;  // byte fields read in turn
        std::vector<int> codes;
    } cases[] = {
        {"present fields", {1, 2}, {FR_OK, FR_OK}},
        {"field 3 after field 5 is behind", {5, 3}, {FR_ABSENT, FR_BAD_SLOT}},
        {"beyond the last group, then no more data", {5, 6}, {FR_ABSENT, FR_NO_MORE_DATA}},
        {"a field read twice", {2, 2}, {FR_OK, FR_BAD_SLOT}},
        {"field 0", {0}, {FR_BAD_SLOT}},
    };
    for (const Case& c : cases) {
        FieldRecordCursor cursor;
        ASSERT_EQ(FieldRecordBeginRead(cursor, record.data(), record.size(), 0), 9);
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            std::uint8_t out[2] = {0x55, 0x55};
            EXPECT_EQ(FieldRecordGetBytes(cursor, c.fields[i], out, 2), c.codes[i]) << c.name << " " << i;
            if (c.codes[i] != FR_OK) {
                EXPECT_EQ(out[0] | out[1], 0) << c.name;
            }
        }
        EXPECT_EQ(FieldRecordEnd(cursor), record.data() + record.size()) << c.name;
    }
}

TEST(FieldRecordRead, StringsTakeTheOutputSize)
{
    const Bytes record = Hex("03 | 00 41 42 43 00 | 01 7A");
    struct Case {
        std::uint16_t size;
        std::string expected;  // the first 6 output bytes
    } cases[] = {
        {0, std::string("ABC\0##", 6)},
        {2, std::string("AB####", 6)},
        {6, std::string("ABC\0\0\0", 6)},
    };
    for (const Case& c : cases) {
        FieldRecordCursor cursor;
        FieldRecordBeginReadRaw(cursor, record.data(), record.size());
        char out[6];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(FieldRecordGetBytes(cursor, 1, out, c.size), FR_OK);
        EXPECT_EQ(std::string(out, 6), c.expected) << c.size;
        std::uint16_t word = 0;
        EXPECT_EQ(FieldRecordGetWords(cursor, 1, &word, 1), FR_OK);  // slot 2 follows the string
        EXPECT_EQ(word, 0x7A);
    }
}

TEST(FieldRecordRead, HeadersThatAreNotRecords)
{
    std::uint8_t out[2] = {0x55, 0x55};
    FieldRecordCursor c;
    const Bytes notMarker = Hex("20 01");
    EXPECT_EQ(FieldRecordBeginRead(c, notMarker.data(), notMarker.size(), 0), 0);
    EXPECT_EQ(FieldRecordGetBytes(c, 1, out, 2), FR_NO_MORE_DATA);
    EXPECT_EQ(out[0] | out[1], 0);
    EXPECT_EQ(FieldRecordEnd(c), notMarker.data() + 1);

    const Bytes markerHighBit = Hex("9F 09");
    EXPECT_EQ(FieldRecordBeginRead(c, markerHighBit.data(), markerHighBit.size(), 0), 9);
    EXPECT_EQ(FieldRecordEnd(c), markerHighBit.data() + 2);

    EXPECT_EQ(FieldRecordBeginRead(c, markerHighBit.data(), markerHighBit.size(), 16), 0);
    EXPECT_EQ(FieldRecordEnd(c), nullptr);

    // Without a length the reader trusts the buffer, as callers always did.
    EXPECT_EQ(FieldRecordBeginRead(c, markerHighBit.data(), 0), 9);
    EXPECT_EQ(FieldRecordEnd(c), markerHighBit.data() + 2);
}

TEST(FieldRecordRead, RecordsStoredOneAfterAnotherReadInTurn)
{
    const Bytes typed = Hex("1F 09 | 1F 89 01 01 AA | 1F 41 24");
    const std::uint8_t* p = typed.data();
    const std::uint8_t* end = typed.data() + typed.size();
    std::vector<std::size_t> sizes;
    while (p && p < end) {
        const std::uint8_t* next = FieldRecordSize(p, end - p);
        sizes.push_back(next ? next - p : 0);
        p = next;
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 5, 3}));

    const Bytes raw = Hex("00 | 01 01 AA | 81 01 BB 01 01 CC");
    EXPECT_EQ(FieldRecordSizeRaw(raw.data(), raw.size()), raw.data() + 1);
    EXPECT_EQ(FieldRecordSizeRaw(raw.data() + 1, raw.size() - 1), raw.data() + 4);
    EXPECT_EQ(FieldRecordSizeRaw(raw.data() + 4), raw.data() + raw.size());
}

TEST(FieldRecordRead, ACopiedCursorLooksAheadAlone)
{
    const Bytes record = Hex("06 | 02 34 12 | 01 BB");  // word 1, byte 2
    FieldRecordCursor c, copy;
    FieldRecordBeginReadRaw(c, record.data(), record.size());
    ASSERT_EQ(FieldRecordCopyCursor(copy, c), 0);
    EXPECT_TRUE(copy.flags & FR_COPY);
    EXPECT_EQ(FieldRecordSkipWords(copy, 1, 1), FR_OK);
    std::uint8_t byte = 0;
    EXPECT_EQ(FieldRecordGetBytes(copy, 2, &byte, 1), FR_OK);
    EXPECT_EQ(byte, 0xBB);

    std::uint16_t word = 0;
    EXPECT_EQ(FieldRecordGetWords(c, 1, &word, 1), FR_OK);
    EXPECT_EQ(word, 0x1234);

    EXPECT_EQ(FieldRecordSkipWords(c, 2, 1), 1);  // not a copy: cleared
    EXPECT_EQ(FieldRecordEnd(c), nullptr);
    EXPECT_EQ(FieldRecordCopyCursor(copy, copy), 1);
    EXPECT_EQ(FieldRecordEnd(copy), nullptr);
    std::uint8_t buffer[4];
    FieldRecordBeginRaw(c, buffer);
    EXPECT_EQ(FieldRecordCopyCursor(copy, c), 1);
}

TEST(FieldRecordRead, DamagedRecordsStayInsideTheirBuffer)
{
    struct Case {
        const char* name;
        bool typed;
        Bytes bytes;
    } cases[] = {
        {"length past the end", false, Hex("01 05 AA")},
        {"string without its NUL", false, Hex("01 00 41 42")},
        {"presence bytes that never end", false, Hex("80 80 80 80")},
        {"length beyond 16 bits", false, Hex("01 FF FF FF 7F 00")},
        {"empty buffer", false, {}},
        {"type groups that never end", true, Hex("1F 40 40 40")},
        {"type beyond 16 bits", true, Hex("1F 7F 7F 7F 3F")},
        {"fields announced, none there", true, Hex("1F 89")},
    };
    for (const Case& c : cases) {
        // An exact-size copy, so that a read past it is a read past the buffer.
        std::vector<std::uint8_t> exact(c.bytes);
        const std::uint8_t* data = exact.empty() ? nullptr : exact.data();
        EXPECT_EQ(c.typed ? FieldRecordSize(data, exact.size()) : FieldRecordSizeRaw(data, exact.size()), nullptr)
            << c.name;
        FieldRecordCursor cursor;
        if (c.typed)
            FieldRecordBeginRead(cursor, data, exact.size(), 0);
        else
            FieldRecordBeginReadRaw(cursor, data, exact.size());
        std::uint8_t out[4] = {0x55, 0x55, 0x55, 0x55};
        EXPECT_EQ(FieldRecordGetBytes(cursor, 20, out, 4), FR_NO_MORE_DATA) << c.name;
        EXPECT_EQ(Bytes(out, out + 4), Bytes(4, 0)) << c.name;
    }

    // Every part of a sound record is cut short somewhere.
    const Bytes whole = kTwoGroups;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + length);
        EXPECT_EQ(FieldRecordSize(prefix.data(), prefix.size()), nullptr) << length;
    }
}

TEST(FieldRecordText, EveryCodeHasItsText)
{
    const char* expected[] = {
        "FFS: No error", "FFS: Bad Opcode context", "FFS: Cannot write, buffer too short", "FFS: Bad Class Index",
        "FFS: Bad data type addition", "FFS: Unsupported feature", "FFS: Bad parameter", "FFS: No more data",
        "FFS: Empty Data class", "FFS: AFDI Point buffer overflow", "FFS: Context is read-only.",
    };
    for (int code = 0; code <= 10; ++code)
        EXPECT_STREQ(FieldRecordErrorText(code), expected[code]);
    EXPECT_STREQ(FieldRecordErrorText(11), "FFS: Unknown error code");
    EXPECT_STREQ(FieldRecordErrorText(-1), "FFS: Unknown error code");
}

TEST(ByteRoutines, CopyPadAndAppend)
{
    char out[12];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(CopyBytes(out, "abc", 3), out + 3);
    EXPECT_EQ(std::string(out, 4), "abc#");

    struct CopyCase {
        const char* source;
        std::size_t n;
        std::string expected;  // the first 8 bytes of the destination
        std::size_t advance;
    } copies[] = {
        {"ABC", 5, std::string("ABC\0####", 8), 4},
        {"ABCDEFG", 3, std::string("ABCD\0###", 8), 5},
        {"ABC", 0, "########", 0},
    };
    for (const CopyCase& c : copies) {
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(CopyString(out, c.source, c.n), out + c.advance) << c.source << c.n;
        EXPECT_EQ(std::string(out, 8), c.expected) << c.source << c.n;
    }

    std::memset(out, '#', sizeof out);
    std::memcpy(out, "AB", 3);
    EXPECT_EQ(AppendBytes(out, "CD", 2), out + 4);
    EXPECT_EQ(std::string(out, 5), "ABCD#");

    struct PadCase {
        const char* text;
        std::size_t width;
        std::string expected;
    } pads[] = {
        {"AB", 5, std::string("AB   \0", 6)},
        {"ABCDEFG", 3, std::string("ABC\0", 4)},
        {"", 2, std::string("  \0", 3)},
    };
    for (const PadCase& c : pads) {
        std::memset(out, '#', sizeof out);
        std::strcpy(out, c.text);
        PadToWidth(out, c.width);
        EXPECT_EQ(std::string(out, c.expected.size()), c.expected) << c.text;
    }

    struct DecimalCase {
        const char* text;
        std::size_t size;
        std::string expected;
    } decimals[] = {
        {"12.", 8, std::string("12.00\0\0\0", 8)},
        {"12.5", 8, std::string("12.50\0\0\0", 8)},
        {"12.50", 8, std::string("12.50\0\0\0", 8)},
        {"12", 4, std::string("12\0\0", 4)},
        {"1.", 4, "1.00"},                          // fills the size exactly
        {"12.", 4, std::string("12.\0", 4)},        // no room: left as it is
    };
    for (const DecimalCase& c : decimals) {
        std::memset(out, '#', sizeof out);
        std::strcpy(out, c.text);
        PadDecimals(out, c.size);
        EXPECT_EQ(std::string(out, c.size + 1), c.expected + "#") << c.text;
    }
}

}  // namespace
