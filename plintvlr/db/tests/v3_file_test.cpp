// Conversion of projects of the previous file generation: a small old
// project built from the old record layouts converts, opens, and its tags
// read back with the values of the old records; damaged old projects are
// refused and leave nothing half converted behind.
#include "plintvlr/db/v3_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex)
{
    const std::string bytes = HexBytes(hex);
    return Bytes(bytes.begin(), bytes.end());
}

void PutText(Bytes& record, std::size_t offset, std::size_t width, std::string_view text)
{
    std::memset(&record[offset], ' ', width);
    std::memcpy(&record[offset], text.data(), text.size() < width ? text.size() : width);
}

// Old analog tag, 68 bytes.
struct OldAnalog {
    std::uint16_t number = 0;
    std::uint8_t decimals = 0;
    char scaling = ' ';
    std::array<std::uint16_t, 4> values{};
    char alarm = ' ';
    std::uint16_t alarmUpper = 0;
    std::uint16_t alarmLower = 0;
    std::uint16_t reg = 0;
    std::string units;
    std::string name;
    std::uint16_t block = 0;

    Bytes Record() const
    {
        Bytes r(68, 0);
        PutLe16(&r[0], number);
        r[2] = decimals;
        r[3] = static_cast<std::uint8_t>(scaling);
        for (int i = 0; i < 4; ++i)
            PutLe16(&r[4 + 2 * i], values[i]);
        r[16] = static_cast<std::uint8_t>(alarm);
        PutLe16(&r[17], alarmUpper);
        PutLe16(&r[19], alarmLower);
        PutLe16(&r[21], reg);
        PutText(r, 23, 8, units);
        PutText(r, 31, 10, name);
        PutLe16(&r[66], block);
        return r;
    }
};

// Old digital tag, 84 bytes.
struct OldDigital {
    std::uint16_t number = 0;
    std::array<std::string, 4> status;
    std::uint8_t alarm = ' ';
    std::uint16_t input1 = 0;
    std::uint16_t input2 = 0;
    std::string name;
    std::uint16_t block = 0;

    Bytes Record() const
    {
        Bytes r(84, 0);
        PutLe16(&r[0], number);
        for (int i = 0; i < 4; ++i)
            PutText(r, 2 + 10 * i, 10, status[i]);
        r[42] = alarm;
        PutLe16(&r[43], input1);
        PutLe16(&r[45], input2);
        PutText(r, 47, 10, name);
        PutLe16(&r[82], block);
        return r;
    }
};

// Old communications block: number, type letter at 8, PLC address at 14.
Bytes OldBlock(std::uint16_t number, char type, const Bytes& address, std::size_t length = 50)
{
    Bytes r(length, 0);
    PutLe16(&r[0], number);
    r[8] = static_cast<std::uint8_t>(type);
    std::memcpy(&r[14], address.data(), address.size());
    return r;
}

// Record 100 with the protocol as a 32-bit value at byte 10.
Bytes OldPorts(std::int32_t protocol)
{
    Bytes r(14, 0);
    PutLe16(&r[0], 100);
    PutLe32(&r[10], static_cast<std::uint32_t>(protocol));
    return r;
}

Bytes OldProjectInfo()
{
    Bytes r(71, 0);
    PutLe16(&r[0], 102);
    std::memcpy(&r[2], "OLDPROJ", 7);
    std::memcpy(&r[18], "3.7", 3);
    std::memcpy(&r[28], "4.2.0", 5);
    r[70] = 14;
    return r;
}

class ConversionTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        // Protocol 4 addresses: a 3-digit decimal byte and a 4-digit decimal word.
        ASSERT_EQ(LoadPlcAddressTablesFromText("PCL ->04:Test Link<-\n0x26, 0x29, 0\n"), kPlcTablesLoaded);
    }

    std::string Folder() { return ProjectPath("OLDPROJ"); }

    void WriteOld(int table, const std::map<std::uint32_t, Bytes>& records)
    {
        ASSERT_TRUE(MakeDir(Folder()));
        char name[16];
        std::snprintf(name, sizeof name, "/DTB-%02X.dbs", table);
        const std::string path = Folder() + name;
        ASSERT_EQ(DfCreate(path), 0);
        const int handle = DfOpen(path);
        ASSERT_GE(handle, 0);
        for (const auto& [key, data] : records)
            ASSERT_EQ(DfWriteRecord(handle, key, data.data(), static_cast<std::uint16_t>(data.size())), 0);
        DfClose(handle);
    }

    // The fixture project: two analog tags, two digital tags, three
    // communications blocks, the port settings and the project information.
    void WriteFixture(std::int32_t protocol = 4)
    {
        OldAnalog level{7, 2, 'A', {1, 2, 3, 40000}, 'B', 5, 6, 123, "mm", "LEVEL", 5};
        OldAnalog plain{8, 0, ' ', {100, 0, 10, 0}, ' ', 0, 0, 124, "", "ABC", 0};
        OldDigital pump{12, {"OFF", std::string("ON\0garbage", 10), "LOW", "HIGH"}, 'E', 300, 301, "PUMP RUN", 5};
        OldDigital door{13, {"SHUT", "OPEN", "", ""}, ' ', 302, 0, "DOOR", 6};
        WriteOld(1, {{7, level.Record()}, {8, plain.Record()}});
        WriteOld(2, {{12, pump.Record()}, {13, door.Record()}});
        WriteOld(3, {{5, OldBlock(5, 'T', {7, 0xD2, 0x04})},
                     {6, OldBlock(6, 'X', {1, 2})},
                     {7, OldBlock(7, 'T', {9})}});
        std::map<std::uint32_t, Bytes> system = {{102, OldProjectInfo()}};
        if (protocol != -1)
            system[100] = OldPorts(protocol);
        WriteOld(8, system);
    }

    Bytes ReadNew(int table, std::uint32_t key)
    {
        const int handle = DfOpenReadOnly(Folder() + "/" + TableFileName(table));
        if (handle < 0)
            return {};
        Bytes buffer(65535);
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
        const int code = DfReadRecord(handle, key, buffer.data(), length);
        DfClose(handle);
        if (code != 0)
            return {};
        buffer.resize(length);
        return buffer;
    }

    std::vector<std::uint32_t> NewKeys(int table)
    {
        std::vector<std::uint32_t> keys;
        const int handle = DfOpenReadOnly(Folder() + "/" + TableFileName(table));
        Bytes buffer(65535);
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
        std::uint32_t key = 0, position = 0;
        for (int code = DfFirstRecord(handle, buffer.data(), length, key, position); code == 0;
             code = DfNextRecord(handle, buffer.data(), length, key, position)) {
            keys.push_back(key);
            if (position == 0)
                break;
            length = static_cast<std::uint16_t>(buffer.size());
        }
        DfClose(handle);
        return keys;
    }

    std::vector<std::string> NewFiles() { return ListDir(Folder(), "*.db3"); }
};

TEST_F(ConversionTest, OldProjectConvertsOpensAndReadsBack)
{
    WriteFixture();
    std::string oldAnalogs;
    ASSERT_TRUE(ReadWholeFile(Folder() + "/DTB-01.dbs", oldAnalogs));

    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    EXPECT_EQ(NewFiles(), (std::vector<std::string>{"dtb-01.db3", "dtb-02.db3", "dtb-03.db3", "dtb-08.db3"}));

    // Tag 7: key, flags (scaling, output, alarm), data type 1 (an internal
    // value of 40000), refresh, decimals, frequency, both allocations, the
    // input register, name, units, scaling, alarm, and the block's address.
    EXPECT_EQ(ReadNew(1, 7), FromHex("0700 | 07 | 01 | 02 | 02 | FF | 01 07000000 | 01 07000000"
                                     "01 04 7B000000 | 05 4C4556454C | 02 6D6D"
                                     "41 01000000 02000000 03000000 409C0000"
                                     "42 05000000 06000000"
                                     "00 00 03 07D204"));
    // Tag 8: blank scaling letter: still a scaling group, frequency "0s".
    EXPECT_EQ(ReadNew(1, 8), FromHex("0800 | 01 | 00 | 02 | 00 | 00 | 01 08000000 | 01 08000000"
                                     "01 04 7C000000 | 03 414243 | 00"
                                     "20 64000000 00000000 0A000000 00000000"));
    // Tag 12: key, flags (second input, output), refresh, internal address
    // 2 x 12 - 1 twice, alarm code, frequency, input 1, name, status 0 and 1
    // (cut at its NUL), input 2, status 2 and 3, the block's address.
    EXPECT_EQ(ReadNew(2, 12), FromHex("0C00 | 03 | 02 | 17000000 | 17000000 | 45 | FF"
                                      "01 04 2C010000 | 08 50554D502052554E | 03 4F4646 | 02 4F4E"
                                      "01 04 2D010000 | 03 4C4F57 | 04 48494748"
                                      "00 00 03 07D204"));
    // Block 6 is not a tag's block type: tag 13 keeps no output.
    EXPECT_EQ(ReadNew(2, 13), FromHex("0D00 | 00 | 02 | 19000000 | 19000000 | 20 | FF"
                                      "01 04 2E010000 | 04 444F4F52 | 04 53485554 | 04 4F50454E"));
    // Block 5, taken over by two tags, is left out; the others are copied.
    EXPECT_EQ(NewKeys(3), (std::vector<std::uint32_t>{6, 7}));
    EXPECT_EQ(ReadNew(3, 7), OldBlock(7, 'T', {9}));
    EXPECT_EQ(ReadNew(8, 102), OldProjectInfo());

    // The old files stay as they were.
    std::string after;
    ASSERT_TRUE(ReadWholeFile(Folder() + "/DTB-01.dbs", after));
    EXPECT_EQ(after, oldAnalogs);

    // The project opens with its tags.
    adatabase& db = _QSglobals.NewDatabase();
    ASSERT_EQ(db.OpenProject("OLDPROJ"), 1);
    EXPECT_TRUE(db.IsOld());
    EXPECT_EQ(db.GetPanelType(), 14);
    EXPECT_EQ(db.GetAnalogRegistry()->Find("LEVEL"), 7u);
    EXPECT_EQ(db.GetDigitalRegistry()->Find("PUMP RUN"), 12u);

    atag level;
    ASSERT_TRUE(level.Read(7));
    EXPECT_EQ(level.GetName(), "LEVEL");
    EXPECT_EQ(level.UnitsString(), "mm");
    EXPECT_EQ(level.GetDecimals(), 2);
    EXPECT_EQ(level.GetInternalUpper(), 3u);
    EXPECT_EQ(level.GetInternalLower(), 40000u);
    EXPECT_EQ(level.GetAlarmType(), 'B');
    EXPECT_EQ(level.GetAlarmUpper(), 5u);
    std::string text;
    level.GetColumnText(text, 1);
    EXPECT_EQ(text, "R0123");

    dtag pump;
    ASSERT_TRUE(pump.Read(12));
    EXPECT_EQ(pump.GetStatusText(1), "ON");
    EXPECT_EQ(pump.GetStatusText(3), "HIGH");
    EXPECT_EQ(pump.GetInternalAddressA(), 23u);
    EXPECT_EQ(pump.GetAlarmCode(), 'E');
    const remote_address& output = pump.Address(kOutputAddress);
    ASSERT_EQ(output.GetLength(), 3);
    EXPECT_EQ(Bytes(output.GetData(), output.GetData() + 3), (Bytes{7, 0xD2, 0x04}));
}

TEST_F(ConversionTest, BlocksDoNotResolveWithoutAProtocol)
{
    WriteFixture(-1);
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    const Bytes level = ReadNew(1, 7);
    ASSERT_GE(level.size(), 3u);
    EXPECT_EQ(level[2], 0x05);  // scaling and alarm, no output
    EXPECT_EQ(level.size(), 58u);
    EXPECT_EQ(NewKeys(3), (std::vector<std::uint32_t>{5, 6, 7}));
}

TEST_F(ConversionTest, ProtocolRecordsOfOtherLengths)
{
    // A protocol the address tables have no rule for: the block's 36 raw
    // address bytes move into the tag.
    WriteFixture(6);
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    Bytes raw(36, 0);
    raw[0] = 7;
    raw[1] = 0xD2;
    raw[2] = 0x04;
    Bytes level = ReadNew(1, 7);
    ASSERT_EQ(level.size(), 58u + 3u + 36u);
    EXPECT_EQ(Bytes(level.begin() + 58, level.begin() + 61), (Bytes{0, 0, 36}));
    EXPECT_EQ(Bytes(level.begin() + 61, level.end()), raw);

    // A record 100 of the current length holds the protocol in 16 bits.
    Bytes ports(12, 0);
    PutLe16(&ports[0], 100);
    PutLe16(&ports[10], 4);
    WriteOld(8, {{100, ports}, {102, OldProjectInfo()}});
    ASSERT_TRUE(FileDelete(Folder() + "/dtb-08.db3"));
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    level = ReadNew(1, 7);
    EXPECT_EQ(Bytes(level.begin() + 58, level.end()), FromHex("00 00 03 07D204"));

    // A longer one is not read at all.
    ports.resize(15, 0);
    PutLe16(&ports[10], 4);
    WriteOld(8, {{100, ports}, {102, OldProjectInfo()}});
    ASSERT_TRUE(FileDelete(Folder() + "/dtb-08.db3"));
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    EXPECT_EQ(ReadNew(1, 7).size(), 58u);
}

TEST_F(ConversionTest, OnlyTheOldTablesThereAreConverted)
{
    OldAnalog level{7, 0, 'A', {1, 2, 3, 4}, ' ', 0, 0, 1, "", "LEVEL", 0};
    WriteOld(1, {{7, level.Record()}});
    WriteOld(8, {{100, OldPorts(4)}, {102, OldProjectInfo()}});
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    EXPECT_EQ(NewFiles(), (std::vector<std::string>{"dtb-01.db3", "dtb-08.db3"}));
    adatabase& db = _QSglobals.NewDatabase();
    ASSERT_EQ(db.OpenProject("OLDPROJ"), 1);
    EXPECT_EQ(NewFiles().size(), 9u);
    EXPECT_EQ(db.GetAnalogRegistry()->Find("LEVEL"), 7u);
}

TEST_F(ConversionTest, BlockNumbersBeyondTheTableAreBounded)
{
    // A tag and a block whose numbers lie past the 1000 blocks the
    // conversion keeps track of: the tag takes the address over and the
    // block stays in its table.
    OldAnalog far{7, 0, 'A', {1, 2, 3, 4}, ' ', 0, 0, 1, "", "FAR", 0xFFFF};
    WriteOld(1, {{7, far.Record()}});
    WriteOld(3, {{0xFFFF, OldBlock(0xFFFF, 'T', {1, 2, 0})}, {70000, OldBlock(1, 'T', {3})}});
    WriteOld(8, {{100, OldPorts(4)}});
    ASSERT_TRUE(Db().ProjectExists("OLDPROJ"));
    const Bytes tag = ReadNew(1, 7);
    ASSERT_EQ(tag.size(), 45u + 6u);
    EXPECT_EQ(Bytes(tag.end() - 6, tag.end()), FromHex("00 00 03 01 0200 "));
    EXPECT_EQ(NewKeys(3), (std::vector<std::uint32_t>{0xFFFF, 70000}));
}

TEST_F(ConversionTest, DamagedOldProjectsAreRefusedAndLeaveNothingBehind)
{
    // An analog tag record too short for its fields.
    WriteFixture();
    Bytes shortTag = OldAnalog{9, 0, 'A', {}, ' ', 0, 0, 1, "", "SHORT", 0}.Record();
    shortTag.resize(40);
    WriteOld(1, {{9, shortTag}});
    EXPECT_FALSE(Db().ProjectExists("OLDPROJ"));
    EXPECT_TRUE(NewFiles().empty());

    // A digital tag record one byte short.
    WriteFixture();
    Bytes shortDigital = OldDigital{14, {"A", "B", "", ""}, ' ', 1, 0, "D", 0}.Record();
    shortDigital.resize(83);
    WriteOld(2, {{14, shortDigital}});
    EXPECT_FALSE(Db().ProjectExists("OLDPROJ"));
    EXPECT_TRUE(NewFiles().empty());

    // An old table that is not a keyed record file.
    WriteFixture();
    ASSERT_TRUE(WriteWholeFile(Folder() + "/DTB-04.dbs", "not a table"));
    EXPECT_FALSE(Db().ProjectExists("OLDPROJ"));
    EXPECT_TRUE(NewFiles().empty());
    ASSERT_TRUE(FileDelete(Folder() + "/DTB-04.dbs"));

    // A record whose data no longer matches its check.
    WriteFixture();
    DamageRecord(Folder() + "/DTB-02.dbs", 13, 50);
    EXPECT_FALSE(Db().ProjectExists("OLDPROJ"));
    EXPECT_TRUE(NewFiles().empty());

    // The old files are all still there to be mended and tried again.
    WriteFixture();
    EXPECT_TRUE(Db().ProjectExists("OLDPROJ"));
}

TEST(ConversionRecord, OldTextsLoseTrailingBlanksAndStopAtNul)
{
    struct Case {
        std::string field;
        std::string text;
    };
    const Case cases[] = {
        {"ABC       ", "ABC"},
        {"          ", ""},
        {"A B       ", "A B"},
        {std::string("AB\0CD     ", 10), "AB"},
        {"ABCDEFGHIJ", "ABCDEFGHIJ"},
    };
    for (const Case& c : cases) {
        Bytes old(c.field.begin(), c.field.end());
        old.push_back('X');  // the next field
        EXPECT_EQ(RECORD::OldText(old, 0, 10), c.text) << c.field;
    }
    // A field that runs past the record stops at its end.
    EXPECT_EQ(RECORD::OldText(Bytes{'A', 'B'}, 0, 10), "AB");
}

TEST(ConversionRecord, OtherTablesKeepTheirRecords)
{
    RECORD record("/nonexistent", 4);
    EXPECT_EQ(record.GetProtocol(), -1);
    const Bytes page = {1, 2, 3, 4, 5};
    const auto out = record.Convert(page, 3, 5);
    EXPECT_EQ(Bytes(out.begin(), out.end()), page);
    EXPECT_EQ(record.GetLength(), 5);
    EXPECT_EQ(record.GetBlockNumber(), 0);

    RECORD digital("/nonexistent", 2);
    OldDigital two{3, {"A", "B", "C", "D"}, ' ', 1, 2, "T", 0};
    ASSERT_FALSE(digital.Convert(two.Record(), 3, 5).empty());
    EXPECT_EQ(digital.GetAddressCount(), 2);
    two.input2 = 0;
    ASSERT_FALSE(digital.Convert(two.Record(), 3, 5).empty());
    EXPECT_EQ(digital.GetAddressCount(), 1);
}

}  // namespace
