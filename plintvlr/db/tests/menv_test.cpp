#include "plintvlr/db/menv.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/db/text_pool.h"
#include "platform/base/clipboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Row {
    long double value;
    std::int32_t text;
    std::int32_t flag;
};

menv Table(std::int32_t type, std::vector<Row> rows, std::string_view name = "T", std::uint8_t decimals = 0)
{
    menv table(1);
    table.SetDataType(type);
    table.SetName(name);
    table.SetDecimals(decimals);
    for (const Row& row : rows) {
        table.AddEntry();
        const int i = table.GetEntryCount() - 1;
        table.SetEntryValue(i, row.value);
        table.SetEntryTextNumber(i, row.text);
        table.SetEntryFlag(i, row.flag);
    }
    return table;
}

Bytes Encode(const menv& table, bool largeMemory = true)
{
    auto record = table.EncodeRecord(largeMemory);
    EXPECT_TRUE(record.has_value());
    return record ? *record : Bytes();
}

void ExpectSameEntries(const menv& a, const menv& b)
{
    ASSERT_EQ(a.GetEntryCount(), b.GetEntryCount());
    for (int i = 0; i < a.GetEntryCount(); ++i) {
        EXPECT_EQ(a.GetEntry(i)->GetBits(), b.GetEntry(i)->GetBits()) << i;
        EXPECT_EQ(a.GetEntryTextNumber(i), b.GetEntryTextNumber(i)) << i;
        EXPECT_EQ(a.GetEntryFlag(i), b.GetEntryFlag(i)) << i;
    }
}

TEST(MenvRecordTest, LaidOutAsAFieldRecord)
{
    const menv table = Table(kMsgTypeUnsignedWord, {{10, 1, 1}, {20, 2, 0}, {0x1234, 3, 1}}, "AB");
    EXPECT_EQ(table.GetRecordSize(), 114);
    const Bytes expected = HexVector(
        "1F 81 65"                                     // marker, type 1 with fields, slots 1 3 6 7
        "| 0D 06 00 03 00 03 00 00 00 00 00 00 41 42"  // byte field 1: 6, 3, 3, 0, 0, decimals, "AB"
        "| 06 0A 00 14 00 34 12"                       // byte field 2: the values
        "| 06 01 00 02 00 03 00"                       // word field 3: the text references
        "| 03 01 00 01");                              // byte field 4: the flags
    EXPECT_EQ(Encode(table, true), expected);

    // Without the large-memory flag the flag bytes are inverted (and the
    // trailing zero is cut).
    Bytes mono(expected.begin(), expected.end() - 4);
    EXPECT_EQ(Encode(table, false), mono + HexVector("02 00 01"));
}

TEST(MenvRecordTest, EmptyTableKeepsOnlyItsType)
{
    // Trailing zeros are cut: an empty unnamed table is its marker and type.
    menv empty;
    EXPECT_EQ(empty.GetRecordSize(), 93);
    EXPECT_EQ(Encode(empty), HexVector("1F 01"));
    menv back;
    back.SetName("old");
    ASSERT_TRUE(back.DecodeRecord(HexVector("1F 01"), true));
    EXPECT_EQ(back.GetName(), "");
    EXPECT_EQ(back.GetEntryCount(), 0);
}

TEST(MenvRecordTest, DigitalValuesTakeOneByte)
{
    const menv digital = Table(kMsgTypeDigital, {{1, 4, 1}, {2, 5, 1}}, "", 0);
    EXPECT_EQ(digital.GetValueSize(), 1);
    EXPECT_EQ(Encode(digital),
              HexVector("1F C1 3F 65"          // type 127 in two groups, fields follow
                  "| 05 02 00 02 00 02"  // 2 x 1, 2, 2
                  "| 02 01 02"           // one byte per value
                  "| 04 04 00 05 00"     // text references
                  "| 02 01 01"));        // flags
}

TEST(MenvRecordTest, EveryTypeRoundTripsByteForByte)
{
    struct Case {
        std::int32_t type;
        std::vector<Row> rows;
        std::uint8_t decimals;
    } cases[] = {
        {kMsgTypeUnsignedWord, {{0, 0, 0}, {65535, 7, 1}, {300, 2000, 1}}, 2},
        {kMsgTypeSignedWord, {{-5, 1, 0}, {32767, 2, 1}, {-32768, 3, 0}}, 0},
        {kMsgTypeUnsignedDword, {{4000000000.0L, 1, 1}, {1, 0, 0}}, 3},
        {kMsgTypeSignedDword, {{-2000000000, 9, 1}, {-1, 8, 0}}, 1},
        {kMsgTypeFloat, {{1.5L, 1, 0}, {-0.25L, 2, 1}}, 4},
        {kMsgTypeDigital, {{0, 1, 1}, {1, 2, 1}}, 0},
        {kMsgTypeUnsignedWord, {{1, 1, 1}, {2, 2, 1}}, 0},  // every flag 1: stored all zeros
        {kMsgTypeSignedWord, {}, 5},
    };
    for (const Case& c : cases) {
        for (bool largeMemory : {true, false}) {
            const menv table = Table(c.type, c.rows, "Name of the table", c.decimals);
            const Bytes record = Encode(table, largeMemory);
            menv back;
            ASSERT_TRUE(back.DecodeRecord(record, largeMemory)) << c.type;
            EXPECT_EQ(back.GetDataType(), c.type);
            EXPECT_EQ(back.GetDecimals(), c.decimals);
            EXPECT_EQ(back.GetName(), "Name of the table");
            ExpectSameEntries(back, table);
            EXPECT_EQ(Encode(back, largeMemory), record) << c.type << " " << largeMemory;
        }
    }
}

TEST(MenvRecordTest, LargeTablesRoundTripWithTheirZerosCut)
{
    // Nine thousand entries (about as many as a record holds), the last ones
    // all zeros with flag 1, so that every field ends in a long run of zeros
    // the record leaves out.
    for (const std::int32_t type : {kMsgTypeSignedWord, kMsgTypeSignedDword, kMsgTypeDigital}) {
        std::vector<Row> rows;
        for (int i = 0; i < 9000; ++i)
            rows.push_back(i < 8500 ? Row{static_cast<long double>((i * 37) % 200 - 100), i % 50, i % 2}
                                    : Row{0, 0, 1});
        const menv table = Table(type, rows, "big", 0);
        for (bool largeMemory : {true, false}) {
            const Bytes record = Encode(table, largeMemory);
            menv back;
            ASSERT_TRUE(back.DecodeRecord(record, largeMemory)) << type;
            ExpectSameEntries(back, table);
            EXPECT_EQ(Encode(back, largeMemory), record) << type << " " << largeMemory;
        }
    }
}

TEST(MenvRecordTest, NegativeSignedWordsReadBackNegative)
{
    const menv table = Table(kMsgTypeSignedWord, {{-5, 1, 0}}, "S", 2);
    menv back;
    ASSERT_TRUE(back.DecodeRecord(Encode(table), true));
    EXPECT_EQ(back.GetEntryValue(0), -5);
    EXPECT_EQ(back.GetEntry(0)->GetBits(), 0xFFFFFFFBu);
    EXPECT_EQ(back.GetValueText(0), "-.05");
}

TEST(MenvRecordTest, NamesAreCutToThirtyTwoCharacters)
{
    const std::string long_name(40, 'N');
    const menv table = Table(kMsgTypeUnsignedWord, {}, long_name);
    EXPECT_EQ(table.GetName(), std::string(32, 'N'));
    menv back;
    ASSERT_TRUE(back.DecodeRecord(Encode(table), true));
    EXPECT_EQ(back.GetName(), std::string(32, 'N'));

    // A stored name longer than 32 characters is cut when read.
    Bytes record = HexVector("1F 81 01 2B 00 00 00 00 00 00 00 00 00 00 00") + Bytes(32, 'L');
    record[3] = static_cast<std::uint8_t>(11 + 32);
    EXPECT_TRUE(back.DecodeRecord(record, true));
    EXPECT_EQ(back.GetName(), std::string(32, 'L'));
}

TEST(MenvRecordTest, RecordsThatAreNoTableAreRefused)
{
    menv table = Table(kMsgTypeUnsignedWord, {{3, 1, 1}}, "KEEP");
    const Bytes before = Encode(table);
    const Bytes notTables[] = {
        {},
        HexVector("00 01"),                 // no marker: type 0
        HexVector("1F 83 01 04 00 00 FF FF"),        // 65535 double words cannot be in a record
        HexVector("1F C1 3F 01 04 00 00 00 80"),     // 32768 text references cannot either
    };
    for (const Bytes& record : notTables) {
        EXPECT_FALSE(table.DecodeRecord(record, true));
        EXPECT_EQ(Encode(table), before);
    }
    // The largest count that fits reads, its missing values as zeros.
    EXPECT_TRUE(table.DecodeRecord(HexVector("1F C1 3F 01 04 00 00 FF 7F"), true));
    EXPECT_EQ(table.GetEntryCount(), 32767);
    EXPECT_EQ(table.GetEntryValue(32766), 0);
}

TEST(MenvRecordTest, EntriesCountedButNotStoredReadAsZerosAndEditOneByOne)
{
    // A record counts every entry but stores only up to the last one that is
    // not zeros: the rest read as zeros and, edited, become entries of their
    // own. A table built entry by entry with the same content is the measure.
    pile pool;
    for (const char* text : {"ab", "cde"}) {
        std::uint32_t id = 0;
        pool.Add(text, id);
    }
    constexpr int kCount = 2000;
    for (pile* texts : {static_cast<pile*>(nullptr), &pool}) {
        for (const std::int32_t type : {kMsgTypeSignedWord, kMsgTypeFloat, kMsgTypeDigital}) {
            for (bool largeMemory : {true, false}) {
                const std::string what = std::to_string(type) + (largeMemory ? " large" : " small") +
                                         (texts ? " pooled" : "");
                // Zeros as stored: flag 1 on models without the large-memory
                // flag, and with a pool the text at offset 0.
                const Row zeros{0, texts ? 1 : 0, largeMemory ? 0 : 1};
                std::vector<Row> rows(kCount, zeros);
                rows[0] = {-3, 2, 1 - zeros.flag};
                rows[2] = {5, 0, zeros.flag};
                menv table = Table(type, rows, "sparse", 1);
                table.SetPile(texts);
                const Bytes record = Encode(table, largeMemory);
                ASSERT_LT(record.size(), 100u) << what;

                menv back(texts, 0);
                ASSERT_TRUE(back.DecodeRecord(record, largeMemory)) << what;
                ExpectSameEntries(back, table);
                EXPECT_EQ(back.GetValueText(kCount - 1), table.GetValueText(kCount - 1)) << what;
                EXPECT_EQ(Encode(back, largeMemory), record) << what;
                // On the other model the zeros' flags are stored as ones.
                EXPECT_EQ(Encode(back, !largeMemory), Encode(table, !largeMemory)) << what;

                for (menv* t : {&table, &back}) {
                    t->SetEntryValue(kCount - 1, 9);
                    t->SetEntryFlag(1000, 1 - zeros.flag);
                    t->SetEntryTextNumber(1500, 2);
                    t->AddEntry();
                    t->SetEntryValue(kCount, 4);
                }
                ASSERT_EQ(back.GetEntryCount(), kCount + 1) << what;
                ExpectSameEntries(back, table);
                for (bool model : {true, false})
                    EXPECT_EQ(Encode(back, model), Encode(table, model)) << what;
            }
        }
    }
}

TEST(MenvRecordTest, TablesTooLargeForARecordAreNotEncoded)
{
    menv table;
    table.SetDataType(kMsgTypeFloat);
    for (int i = 0; i < 16384; ++i)
        table.AddEntry();
    EXPECT_FALSE(table.EncodeRecord(true).has_value());
    table.SetDataType(kMsgTypeNone);  // no record type to write
    EXPECT_FALSE(table.EncodeRecord(true).has_value());
}

TEST(MenvValueTest, ValuesConvertByTheDataType)
{
    struct Case {
        std::int32_t type;
        long double in;
        long double out;
    } cases[] = {
        {kMsgTypeUnsignedWord, 2.9L, 2},    {kMsgTypeUnsignedWord, 70000, 4464},
        {kMsgTypeUnsignedWord, -1, 65535},  {kMsgTypeSignedWord, -2.9L, -2},
        {kMsgTypeSignedWord, 40000, -25536}, {kMsgTypeUnsignedDword, -1, 4294967295.0L},
        {kMsgTypeSignedDword, -7.5L, -7},   {kMsgTypeFloat, 0.1L, 0.1f},
        {kMsgTypeDigital, 200, -56},        {kMsgTypeDigital, 1, 1},
        {kMsgTypeNone, 5, 0},               {kMsgTypeUnsignedWord, NAN, 0},
        {kMsgTypeSignedDword, 1e30L, -1},
    };
    for (const Case& c : cases) {
        menv table;
        table.SetDataType(c.type);
        table.AddEntry();
        table.SetEntryValue(0, c.in);
        EXPECT_EQ(table.GetEntryValue(0), c.out) << c.type << " " << static_cast<double>(c.in);
    }
    menv table;
    table.SetEntryValue(0, 1);  // no entry: nothing happens
    EXPECT_EQ(table.GetEntryValue(3), 0);
}

TEST(MenvValueTest, ValueTexts)
{
    struct Case {
        std::int32_t type;
        std::uint8_t decimals;
        long double value;
        const char* text;
    } cases[] = {
        {kMsgTypeUnsignedWord, 0, 7, "7"},       {kMsgTypeUnsignedWord, 3, 7, ".007"},
        {kMsgTypeUnsignedWord, 2, 5, ".05"},     {kMsgTypeUnsignedWord, 2, 1234, "12.34"},
        {kMsgTypeSignedWord, 0, -5, "-5"},       {kMsgTypeSignedWord, 2, -5, "-.05"},
        {kMsgTypeSignedWord, 2, -123, "-1.23"},  {kMsgTypeUnsignedDword, 0, 4000000000.0L, "4000000000"},
        {kMsgTypeSignedDword, 1, -123, "-12.3"}, {kMsgTypeFloat, 2, 1.5L, "1.50"},
        {kMsgTypeFloat, 0, 2.5L, "2"},           {kMsgTypeDigital, 0, 1, "01"},
        {kMsgTypeNone, 0, 1, ""},                {42, 0, 1, ""},
    };
    for (const Case& c : cases) {
        menv table;
        table.SetDataType(c.type);
        table.SetDecimals(c.decimals);
        table.AddEntry();
        table.SetEntryValue(0, c.value);
        EXPECT_EQ(table.GetValueText(0), c.text) << c.type << " " << int(c.decimals);
    }
}

TEST(MenvValueTest, NewEntriesTakeTheColourPanelsFlag)
{
    menv table;
    table.AddEntry();
    EXPECT_EQ(table.GetEntryFlag(0), 0);
    SetColorPanelQuery([] { return true; });
    table.AddEntry();
    SetColorPanelQuery(nullptr);
    EXPECT_EQ(table.GetEntryFlag(1), 1);
    EXPECT_EQ(table.GetEntryValue(1), 0);
    EXPECT_EQ(table.GetEntryTextNumber(1), 0);
}

TEST(MenvColumnsTest, RowsWalkTheEntries)
{
    const menv table = Table(kMsgTypeSignedWord, {{1, 0, 0}, {-2, 0, 0}, {3, 0, 0}}, "Pumps", 0);
    const char* titles[] = {"Table Name", "Decimal Places", "DataType", "Value",
                            "Text",       "Num of Values",  "Char Len this Str"};
    std::string text;
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(table.GetColumnTitle(text, column), static_cast<int>(std::strlen(titles[column])));
        EXPECT_EQ(text, titles[column]);
    }
    EXPECT_EQ(table.GetColumnTitle(text, 7), 0);

    struct Case {
        int column;
        int row;
        const char* text;
        int rowAfter;
    } cases[] = {
        {0, 2, "Pumps", 0}, {1, 2, "0", 0},  {2, 1, "Signed Word", 0}, {5, 1, "3", 0},
        {3, 0, "1", 2},     {3, 1, "-2", 1}, {3, 2, "3", 0},           {3, 3, "", 0},
        {4, 1, "", 1},      {6, 2, "0", 0},  {6, -1, "0", 0},          {9, 1, "", 1},
    };
    for (const Case& c : cases) {
        int row = c.row;
        table.GetColumnText(text, c.column, row);
        EXPECT_EQ(text, c.text) << c.column << " " << c.row;
        EXPECT_EQ(row, c.rowAfter) << c.column << " " << c.row;
    }

    EXPECT_EQ(menv::DataTypeName(kMsgTypeNone), "UNKNOWN");
    EXPECT_EQ(menv::DataTypeName(kMsgTypeDigital), "Digital");
    EXPECT_EQ(menv::DataTypeName(6), "");
}

TEST(MarkLineBreaksTest, CarriageReturnsBecomeMarks)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\r\nb", "a<cr>b"}, {"a\rb", "a<cr>b"},         {"a\nb", "a\nb"},
        {"\r\n\r\n", "<cr><cr>"}, {"\r\r\n", "<cr><cr>"}, {"\n\r", "\n<cr>"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarkLineBreaks(std::string_view(c.in)), c.out) << c.in;
}

TEST(MarkLineBreaksTest, NeverPassesTheCallersBuffer)
{
    struct Case {
        const char* in;
        std::size_t size;
        const char* out;
    } cases[] = {
        {"a\r\nb", 16, "a<cr>b"},
        {"a\r\nb\r", 8, "a<cr>b<"},
        {"\r\r\r", 4, "<cr"},
        {"x", 1, ""},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        std::strcpy(buffer, c.in);
        EXPECT_EQ(MarkLineBreaks(buffer, c.size), std::strlen(c.out));
        EXPECT_STREQ(buffer, c.out);
        for (std::size_t i = std::max(c.size, std::strlen(c.in) + 1); i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], '#') << c.in << " at " << i;
    }
    char unterminated[3] = {'\r', '\r', '\r'};
    EXPECT_EQ(MarkLineBreaks(unterminated, sizeof unterminated), 2u);
    EXPECT_EQ(std::string(unterminated, 2), "<c");
}

// Format 520, built by hand from the layout.
Bytes Block(const Bytes& record, int entries, std::vector<std::string> texts)
{
    const std::size_t estimate = static_cast<std::size_t>(93 + 7 * entries);
    Bytes region = record;
    region.resize(estimate, 0);
    Bytes tail;
    for (const std::string& text : texts) {
        tail.insert(tail.end(), text.begin(), text.end());
        tail.push_back(0);
    }
    Bytes block(4);
    PutLe32(block.data(), static_cast<std::uint32_t>(4 + estimate + tail.size() + 2));
    return block + region + tail;
}

TEST(MessageTableBlockTest, LaidOutAsTheFormatSays)
{
    const menv table = Table(kMsgTypeUnsignedWord, {{10, 1, 1}, {20, 2, 0}}, "AB");
    const std::vector<std::string> texts = {"Pump on", "Pump\r\noff"};
    const auto block = table.MakeClipboardBlock(texts, true);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(*block, Block(Encode(table), 2, texts));
    EXPECT_EQ(GetLe32(block->data()), block->size() + 2);

    // The clipboard copy appends the two closing bytes.
    Bytes pasted = *block + Bytes{0, 0};
    menv back(5);
    std::vector<std::string> read;
    ASSERT_TRUE(back.ReadClipboardBlock(pasted, true, read));
    EXPECT_EQ(read, texts);
    EXPECT_EQ(back.GetNumber(), 5);
    EXPECT_EQ(Encode(back), Encode(table));
}

TEST(MessageTableBlockTest, BadBlocksAreRefusedAndChangeNothing)
{
    const menv source = Table(kMsgTypeUnsignedWord, {{10, 1, 1}, {20, 2, 0}}, "AB");
    const Bytes record = Encode(source);
    const Bytes good = Block(record, 2, {"one", "two"}) + Bytes{0, 0};

    auto withTotal = [](Bytes block, std::uint32_t total) {
        PutLe32(block.data(), total);
        return block;
    };
    Bytes bigRecord = Encode(Table(kMsgTypeUnsignedDword, std::vector<Row>(30, Row{1e9L, 1000, 1}), "X"));
    Bytes unterminated = good;
    unterminated[unterminated.size() - 3] = 'x';  // the last text loses its NUL

    struct Case {
        const char* name;
        Bytes block;
    } cases[] = {
        {"empty", {}},
        {"shorter than its size word", Bytes{1, 2, 3}},
        {"size word beyond the data", withTotal(good, static_cast<std::uint32_t>(good.size() + 1))},
        {"size word too small for the closing bytes", withTotal(good, 5)},
        {"size word cuts the texts", withTotal(good, static_cast<std::uint32_t>(good.size() - 4))},
        {"text without its NUL", unterminated},
        {"record region shorter than the estimate", withTotal(Bytes(4, 0) + record + Bytes{0, 0}, 4 + 20 + 2)},
        {"no table record", Block(HexVector("00 00"), 0, {}) + Bytes{0, 0}},
        {"record larger than its region", [&] {
             // 30 entries claim a region of 303 bytes, but the record counts 2.
             Bytes b = Block(bigRecord, 2, {"a", "b"}) + Bytes{0, 0};
             return b;
         }()},
    };
    for (const Case& c : cases) {
        menv table = source;
        table.SetNumber(3);
        std::vector<std::string> texts = {"kept"};
        EXPECT_FALSE(table.ReadClipboardBlock(c.block, true, texts)) << c.name;
        EXPECT_EQ(Encode(table), record) << c.name;
        EXPECT_EQ(texts, std::vector<std::string>{"kept"}) << c.name;
    }

    // Extra texts behind the entries' own are no harm.
    menv table;
    std::vector<std::string> texts;
    EXPECT_TRUE(table.ReadClipboardBlock(Block(record, 2, {"one", "two", "three"}) + Bytes{0, 0}, true, texts));
    EXPECT_EQ(texts, (std::vector<std::string>{"one", "two"}));
}

class MenvProjectTest : public ProjectFixture {};

TEST_F(MenvProjectTest, FlagsAreStoredByThePanelModel)
{
    struct Case {
        int panelType;
        const char* flagBytes;
    } cases[] = {
        {14, "02 00 01"},  // no large-memory flag: 0, 1 stored, the trailing 1 kept
        {10, "02 01 01"},  // 1, 0 stored as one byte behind the last value byte
    };
    for (const Case& c : cases) {
        // No panel type that opens has the large-memory flag; the larger
        // models are set on an open project.
        adatabase& db = CreateAndOpen("FLAGS" + std::to_string(c.panelType));
        db.SetPanelType(c.panelType);
        menv table = Table(kMsgTypeUnsignedWord, {{1, 0, 1}, {2, 0, 0}}, "");
        table.SetNumber(12);
        ASSERT_TRUE(table.Save());
        const Bytes record = Read(db, kTableMessages, 12);
        ASSERT_GE(record.size(), 3u);
        EXPECT_EQ(Bytes(record.end() - 3, record.end()), HexVector(c.flagBytes)) << c.panelType;

        menv back;
        ASSERT_TRUE(back.Read(12));
        EXPECT_EQ(back.GetNumber(), 12);
        ExpectSameEntries(back, table);
    }
}

TEST_F(MenvProjectTest, ReadSaveDeleteAndRename)
{
    adatabase& db = CreateAndOpen("TABLES");
    menv table = Table(kMsgTypeSignedDword, {{-40, 3, 0}}, "Alarms", 1);
    EXPECT_TRUE(table.SaveAs(7));
    EXPECT_EQ(db.GetMessageLength(7), Encode(table, false).size());

    menv back;
    EXPECT_FALSE(back.Read(-1));
    EXPECT_FALSE(back.Read(8));
    ASSERT_TRUE(back.Read(7));
    EXPECT_EQ(back.GetName(), "Alarms");
    EXPECT_EQ(back.GetValueText(0), "-4.0");

    back.Rename("Warnings");
    ASSERT_TRUE(table.Read(7));
    EXPECT_EQ(table.GetName(), "Warnings");

    // A stored record that is no table does not read.
    const Bytes junk = HexVector("00 01 02");
    ASSERT_EQ(db.PutMessage(9, junk.data(), 3), DF_OK);
    EXPECT_FALSE(back.Read(9));

    EXPECT_TRUE(table.Delete());
    EXPECT_FALSE(table.Read(7));
    EXPECT_FALSE(table.Delete());
}

TEST_F(MenvProjectTest, WritesIntoAnOpenTableFile)
{
    CreateAndOpen("EXPORT");
    const std::string file = program_ + "/messages.db3";
    ASSERT_EQ(DfCreate(file), DF_OK);
    const int handle = DfOpen(file);
    ASSERT_GE(handle, 0);
    menv table = Table(kMsgTypeUnsignedWord, {{5, 1, 1}}, "Old");
    table.SetNumber(3);
    ASSERT_TRUE(table.WriteToFile(handle));
    table.SetName("New");
    ASSERT_TRUE(table.WriteToFile(handle));

    Bytes buffer(1000);
    std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
    ASSERT_EQ(DfReadRecord(handle, 3, buffer.data(), length), DF_OK);
    buffer.resize(length);
    EXPECT_EQ(buffer, Encode(table, false));
    DfClose(handle);
}

class MenvPoolTest : public ProjectFixture {
protected:
    // The project's pool with the texts numbered 1, 2, ... in order, stored.
    static void StorePool(pile& pool, std::vector<std::string> texts)
    {
        for (const std::string& text : texts) {
            std::uint32_t id = 0;
            pool.Add(text, id);
        }
        ASSERT_EQ(pool.Store(), DF_OK);
    }

    // The texts of the table on the clipboard, and the block's size.
    static std::vector<std::string> CopiedTexts(std::size_t* size = nullptr)
    {
        std::vector<std::string> texts;
        EXPECT_TRUE(OpenClipboard(nullptr));
        std::optional<ClipboardData> block = GetClipboardData(kMessageTableClipboardFormat);
        CloseClipboard();
        menv seen;
        EXPECT_TRUE(block && seen.ReadClipboardBlock(*block, false, texts));
        if (size)
            *size = block ? block->size() : 0;
        return texts;
    }

    static void PutOnClipboard(const Bytes& block)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(kMessageTableClipboardFormat, block);
        CloseClipboard();
    }

    void TearDown() override
    {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        ProjectFixture::TearDown();
    }
};

TEST_F(MenvPoolTest, TextsAreReferredToByTheirPlaceInThePool)
{
    adatabase& db = CreateAndOpen("POOL");
    pile pool;
    StorePool(pool, {"ab", "cde"});
    menv table = Table(kMsgTypeUnsignedWord, {{1, 2, 1}, {2, 1, 1}, {3, 0, 1}}, "");
    table.SetPile(&pool);
    ASSERT_TRUE(table.SaveAs(4));
    // Word field 3 holds the offsets 3 and 0, and for no text the place of
    // the first text's NUL. Every flag is 1, stored as 0 on this model, so
    // field 4 is left out.
    EXPECT_EQ(Read(db, kTableMessages, 4), HexVector("1F 81 25"
                                               "| 05 06 00 03 00 03"
                                               "| 05 01 00 02 00 03"
                                               "| 06 03 00 00 00 02 00"));

    pile loaded;
    ASSERT_TRUE(loaded.Load());
    menv back(&loaded, 0);
    ASSERT_TRUE(back.Read(4));
    EXPECT_EQ(back.GetEntryTextNumber(0), 2);
    EXPECT_EQ(back.GetEntryTextNumber(1), 1);
    EXPECT_EQ(back.GetEntryTextNumber(2), 0);
}

TEST_F(MenvPoolTest, TextColumnsMarkLineBreaks)
{
    CreateAndOpen("TEXTS");
    pile pool;
    StorePool(pool, {"Pump\r\non", "Tank\rfull\n"});
    menv table = Table(kMsgTypeUnsignedWord, {{1, 1, 0}, {2, 2, 0}, {3, 0, 0}}, "T");
    table.SetPile(&pool);
    struct Case {
        int row;
        const char* text;
        const char* length;
    } cases[] = {{0, "Pump<cr>on", "8"}, {1, "Tank<cr>full\n", "10"}, {2, "", "0"}};
    for (const Case& c : cases) {
        std::string text;
        int row = c.row;
        table.GetColumnText(text, 4, row);
        EXPECT_EQ(text, c.text);
        row = c.row;
        table.GetColumnText(text, 6, row);
        EXPECT_EQ(text, c.length);
    }
}

TEST_F(MenvPoolTest, CopyAndPasteCarryATableWithItsTexts)
{
    CreateAndOpen("SOURCE");
    pile pool;
    StorePool(pool, {"On", "Off\r\nnow"});
    menv table = Table(kMsgTypeSignedWord, {{-1, 2, 1}, {1, 1, 0}, {2, 9, 1}}, "States", 1);
    table.SetPile(&pool);
    ASSERT_TRUE(table.SaveAs(3));
    table.Copy();

    std::size_t size = 0;
    EXPECT_EQ(CopiedTexts(&size), (std::vector<std::string>{"Off\r\nnow", "On", "No Message"}));
    EXPECT_EQ(size, 4 + 93 + 7 * 3 + (9 + 3 + 11) + 2u);

    // Into another project, whose pool has texts of its own.
    CreateAndOpen("TARGET");
    pile target;
    StorePool(target, {"Other", "On"});
    menv pasted(&target, 0);
    ASSERT_TRUE(pasted.Paste(12));
    EXPECT_EQ(pasted.GetNumber(), 12);
    pile stored;
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.Count(), 4u);  // "On" was there; the others are new
    menv back(&stored, 0);
    ASSERT_TRUE(back.Read(12));
    EXPECT_EQ(back.GetName(), "States");
    EXPECT_EQ(back.GetValueText(0), "-.1");
    const std::vector<std::int32_t> numbers = {back.GetEntryTextNumber(0), back.GetEntryTextNumber(1),
                                               back.GetEntryTextNumber(2)};
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{3, 2, 4}));
    ExpectSameEntries(back, pasted);

    // Under its own number.
    menv again(&stored, 20);
    ASSERT_TRUE(again.Paste(-1));
    EXPECT_EQ(again.GetNumber(), 20);
    EXPECT_TRUE(again.Read(20));
}

TEST_F(MenvPoolTest, CopyNeedsThePoolRecordAndCutDeletes)
{
    adatabase& db = CreateAndOpen("NOPOOL");
    menv table = Table(kMsgTypeUnsignedWord, {{1, 1, 0}}, "T");
    ASSERT_TRUE(table.SaveAs(2));
    table.Copy();
    EXPECT_FALSE(IsClipboardFormatAvailable(kMessageTableClipboardFormat));

    pile pool;
    StorePool(pool, {"x"});
    table.Cut();
    EXPECT_TRUE(IsClipboardFormatAvailable(kMessageTableClipboardFormat));
    EXPECT_EQ(db.GetMessageLength(2), 0);
}

TEST_F(MenvPoolTest, EntriesSharingALongTextAllKeepIt)
{
    CreateAndOpen("SHARED");
    pile pool;
    const std::string text(200, 'w');
    StorePool(pool, {text});
    menv table = Table(kMsgTypeUnsignedWord, std::vector<Row>(30, Row{1, 1, 0}), "T");
    table.SetPile(&pool);
    table.Copy();
    EXPECT_EQ(CopiedTexts(), std::vector<std::string>(30, text));
}

TEST_F(MenvPoolTest, PasteRefusesWhatItCannotTake)
{
    adatabase& db = CreateAndOpen("REFUSE");
    pile pool;
    StorePool(pool, {"a"});
    menv table(&pool, 5);
    EXPECT_FALSE(table.Paste(5));  // nothing on the clipboard

    const menv source = Table(kMsgTypeUnsignedWord, {{1, 0, 0}, {2, 0, 0}}, "S");
    Bytes good = *source.MakeClipboardBlock({"one", "two"}, false) + Bytes{0, 0};
    Bytes cut(good.begin(), good.end() - 4);
    PutOnClipboard(cut);
    EXPECT_FALSE(table.Paste(5));
    EXPECT_EQ(db.GetMessageLength(5), 0);

    PutOnClipboard(good);
    menv poolless(nullptr, 5);
    EXPECT_FALSE(poolless.Paste(5));

    pile full(3);  // room for texts 1 and 2 only
    StorePool(full, {"a", "b"});
    menv crowded(&full, 5);
    EXPECT_FALSE(crowded.Paste(5));
    EXPECT_EQ(db.GetMessageLength(5), 0);

    EXPECT_TRUE(table.Paste(5));
    EXPECT_GT(db.GetMessageLength(5), 0);
}

}  // namespace
