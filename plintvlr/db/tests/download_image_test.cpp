// Compiling a project into the panel database file and extracting it again:
// the file against bytes written out by hand from its layout, each table's
// transform both ways, the limits, the version gate, and the failures that
// must stop a compile or an extraction instead of passing for success.
#include "plintvlr/db/download_image.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Table = std::map<std::uint32_t, std::string>;

std::string Zeros(std::size_t n)
{
    return std::string(n, '\0');
}

std::string Key(std::uint16_t key)
{
    return std::string{static_cast<char>(key & 0xFF), static_cast<char>(key >> 8)};
}

// System record 102 as the project keeps it (71 bytes).
std::string ProjectInfo(const char* programVersion, int panelType)
{
    std::string r = Key(102) + Zeros(69);
    std::memcpy(&r[2], "LINE1", 5);
    std::memcpy(&r[18], "1.05", 4);
    std::memcpy(&r[28], programVersion, std::strlen(programVersion));
    std::memcpy(&r[38], "7: Serial", 9);
    r[70] = static_cast<char>(panelType);
    return r;
}

class DownloadImageTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        folder_ = ProjectPath("LINE1");
        out_ = ProjectPath("OUT");
        ASSERT_TRUE(MakeDir(folder_));
        ASSERT_TRUE(MakeDir(out_));
        image_ = folder_ + "/LINE1.DTB";
    }

    void TearDown() override
    {
        ImageClose();
        ProjectFixture::TearDown();
    }

    static std::string TablePath(const std::string& folder, int table)
    {
        return folder + "/" + TableFileName(table);
    }

    static void WriteTable(const std::string& folder, int table, const Table& records)
    {
        const std::string path = TablePath(folder, table);
        ASSERT_EQ(DfCreate(path), 0);
        const int handle = DfOpen(path);
        ASSERT_GE(handle, 0);
        for (const auto& [key, bytes] : records)
            ASSERT_EQ(DfWriteRecord(handle, key, bytes.data(), static_cast<std::uint16_t>(bytes.size())), 0);
        DfClose(handle);
    }

    // Every record of a table file in key order; nothing when it is missing.
    static Table ReadTable(const std::string& folder, int table)
    {
        Table records;
        const int handle = DfOpenReadOnly(TablePath(folder, table));
        if (handle < 0)
            return records;
        std::vector<char> buffer(65535);
        std::uint16_t length = 65535;
        std::uint32_t key = 0;
        std::uint32_t next = 0;
        int rc = DfFirstRecord(handle, buffer.data(), length, key, next);
        while (rc == DF_OK) {
            records[key] = std::string(buffer.data(), length);
            if (next == 0)
                break;
            length = 65535;
            rc = DfNextRecord(handle, buffer.data(), length, key, next);
        }
        EXPECT_EQ(rc, DF_OK) << "table " << table;
        DfClose(handle);
        return records;
    }

    // The records of one table of the open file, in chain order.
    static std::vector<std::pair<std::uint16_t, std::string>> ImageTable(int table)
    {
        std::vector<std::pair<std::uint16_t, std::string>> records;
        std::vector<char> buffer(65535);
        std::uint16_t length = 65535;
        std::uint16_t key = 0;
        std::uint32_t next = 0;
        int rc = ImageFirstRecord(table, buffer.data(), length, key, next);
        while (rc == DF_OK) {
            records.emplace_back(key, std::string(buffer.data(), length));
            length = 65535;
            rc = ImageNextRecord(buffer.data(), length, key, next);
        }
        EXPECT_EQ(rc, DF_NOT_FOUND) << "table " << table;
        return records;
    }

    int Build(int panelType = 14, std::vector<std::uint32_t> limits = {})
    {
        return BuildDownloadImage(image_, folder_, panelType, limits);
    }

    // A panel database file written record by record, as a panel might send
    // one: table 8 gets record 102 with the version and panel type first.
    struct ImageRecord {
        int table;
        std::uint16_t key;
        std::string data;
    };
    void WriteImage(const std::vector<ImageRecord>& records, const char* version = "5.1.0", int panelType = 14)
    {
        ASSERT_EQ(ImageCreate(image_), 0);
        const std::string info = ProjectInfo(version, panelType).substr(2);
        ASSERT_EQ(ImageAppendRecord(8, 102, info.data(), static_cast<std::uint16_t>(info.size())), 0);
        for (const ImageRecord& r : records)
            ASSERT_EQ(ImageAppendRecord(r.table, r.key, r.data.data(), static_cast<std::uint16_t>(r.data.size())), 0);
        ASSERT_EQ(ImageFinish(), 0);
    }

    std::string ImageBytes() const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(image_, bytes));
        return bytes;
    }

    std::string folder_;
    std::string out_;
    std::string image_;
};

// Port record: both ports 8, 1, 1, 3 (baud, data bits, stop bits, parity)
// and no protocol; a new project has it so.
const std::string kPortRecord = HexBytes("6400 08010103 08010103 FFFF");

TEST_F(DownloadImageTest, CompilesTheLayoutByteForByte)
{
    WriteTable(folder_, 1, {{1, HexBytes("0100 AABB")}, {2, HexBytes("0200 CC")}});
    // Comms block 5: protocol 7, options 0 EEEE, type 0x61, frequency 10,
    // 3 points, bit 12, two address bytes.
    WriteTable(folder_, 3, {{5, HexBytes("0500 07 00 45454545 61 0A 0300 0C80 1122")}});
    WriteTable(folder_, 8,
               {{50, HexBytes("3200 01")},
                {100, HexBytes("6400 08030103 06020301 FFFF")},
                {103, Key(103) + "123456789" + '\0' + "ABCDEFGHI" + '\0' + "         " + '\0' + "zyxwvu" +
                          Zeros(4)}});
    ASSERT_EQ(Build(), 0);

    const std::string header = HexBytes("D8000000 0000 0000 53 00000000000000") + Zeros(16) +
                               HexBytes("00000000 80000000 00000000 9F000000") + Zeros(4 * 4) +
                               HexBytes("B6000000") + Zeros(7 * 4) + "123456" + "ABCDEF" + "      " + "zyxwvu" +
                               Zeros(8);
    const std::string records = HexBytes(
        // table | key | previous | next | 0 | length | data
        "01 0100 00000000 90000000 00 0200 AABB"                 // 128
        "01 0200 80000000 00000000 00 0100 CC"                   // 144
        "03 0500 00000000 00000000 00 0900 07 61 0A 0300 0C80 1122"  // 159
        "08 3200 00000000 C5000000 00 0100 01"                   // 182
        "08 6400 B6000000 00000000 00 0500 08 7C 06 E4 FF");     // 197, 216 the end
    EXPECT_EQ(ImageBytes(), header + records);
}

TEST_F(DownloadImageTest, ANewProjectCompilesItsSystemRecords)
{
    adatabase& db = _QSglobals.NewDatabase();
    db.SetPanelType(14);
    ASSERT_EQ(db.Create("NEW"), 1);
    _QSglobals.NewDatabase();
    image_ = ProjectPath("NEW") + "/NEW.DTB";
    ASSERT_EQ(BuildDownloadImage(image_, ProjectPath("NEW"), 14, {}), 0);

    // Records 100 (5 bytes), 101 (14), 102 (69) and 110 (101); 103 in the header.
    const std::string file = ImageBytes();
    ASSERT_EQ(file.size(), 128u + 19 + 28 + 83 + 115);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    EXPECT_EQ(GetLe32(bytes), file.size());
    EXPECT_EQ(bytes[8], 'S');
    for (int t = 0; t < 16; ++t)
        EXPECT_EQ(GetLe32(bytes + 32 + 4 * t), t == 8 ? 128u : 0u) << "table " << t;
    EXPECT_EQ(file.substr(96, 32), std::string(24, ' ') + Zeros(8));

    ASSERT_EQ(ImageOpen(image_), 0);
    const auto table8 = ImageTable(8);
    ASSERT_EQ(table8.size(), 4u);
    const std::uint16_t keys[] = {100, 101, 102, 110};
    const std::size_t lengths[] = {5, 14, 69, 101};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table8[i].first, keys[i]);
        EXPECT_EQ(table8[i].second.size(), lengths[i]);
    }
    EXPECT_EQ(table8[0].second, HexBytes("08 5C 08 5C FF"));
    EXPECT_EQ(ImageGetVersion(), 510);
}

TEST_F(DownloadImageTest, RecordsAboveTheTableLimitAreLeftOut)
{
    // 600 analog tags for a panel type that takes 500.
    const Quellstor panel(14);
    ASSERT_EQ(panel.GetMaxAnalogTags(), 500);
    const int handle = DfCreateOpen(TablePath(folder_, 1));
    ASSERT_GE(handle, 0);
    std::uint32_t previous = 0;
    for (std::uint16_t key = 1; key <= 600; ++key) {
        const std::string tag = Key(key) + "TAG";
        ASSERT_EQ(DfAppendRecord(handle, key, tag.data(), 5, previous, key == 600), 0);
    }
    DfClose(handle);
    WriteTable(folder_, 4, {{1, Key(1) + "P"}, {101, Key(101) + "Q"}});
    WriteTable(folder_, 11, {{900, Key(900) + "R"}});  // recipes: no limit

    ASSERT_EQ(Build(14, {static_cast<std::uint32_t>(panel.GetMaxAnalogTags()), 0, 0, 100}), 0);
    ASSERT_EQ(ImageOpen(image_), 0);
    const auto tags = ImageTable(1);
    ASSERT_EQ(tags.size(), 500u);
    for (std::size_t i = 0; i < tags.size(); ++i)
        EXPECT_EQ(tags[i].first, i + 1);
    EXPECT_EQ(ImageTable(4).size(), 1u);
    EXPECT_EQ(ImageTable(11).size(), 1u);
}

TEST_F(DownloadImageTest, CommsBlocksPackOnMostPanelTypesAndComeBackWithDefaultOptions)
{
    const std::string address = HexBytes("0102030405060708090A0B0C0D0E0F1011121314");  // 20 bytes
    // Block 7: protocol 5, options 01 'ABCD', type 0x62, frequency 120, 16 points, register 5.
    const std::string project = HexBytes("0700 05 01 41424344 62 78 1000 0500") + address;
    const std::string packed = HexBytes("05 62 78 1000 0500") + address;
    const std::string restored = HexBytes("0700 05 00 45454545 62 78 1000 0500") + address;
    ASSERT_EQ(project.size(), 34u);
    ASSERT_EQ(packed.size(), 27u);

    struct Case {
        int panelType;
        std::string inFile;
    };
    const Case cases[] = {{14, packed}, {9, packed}, {5, project}, {8, project}, {10, project}, {13, project}};
    for (const Case& c : cases) {
        WriteTable(folder_, 3, {{7, project}});
        WriteTable(folder_, 8, {{102, ProjectInfo("5.1.0", c.panelType)}});
        ASSERT_EQ(Build(c.panelType), 0) << c.panelType;
        ASSERT_EQ(ImageOpen(image_), 0);
        const auto blocks = ImageTable(3);
        ImageClose();
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].second, c.inFile) << c.panelType;

        ASSERT_EQ(ExtractDownloadImage(out_, image_, true), 0) << c.panelType;
        EXPECT_EQ(ReadTable(out_, 3), (Table{{7, restored}})) << c.panelType;
    }
}

TEST_F(DownloadImageTest, CommsBlockTransformsKeepToTheirBounds)
{
    PackedCommsBlockBytes packed{};
    CommsBlockBytes project{};
    const std::string shortest = HexBytes("0100 02 00 45454545 21 00 0100 0100");
    EXPECT_EQ(PackCommsBlock({reinterpret_cast<const std::uint8_t*>(shortest.data()), 14}, packed), 7u);
    EXPECT_EQ(RestoreCommsBlock(1, project, {packed.data(), 7}), 14u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(project.data()), 14), shortest);

    const std::vector<std::uint8_t> bytes(60, 0x11);
    EXPECT_EQ(PackCommsBlock({bytes.data(), 13}, packed), 0u);
    EXPECT_EQ(PackCommsBlock({bytes.data(), 50}, packed), 43u);
    EXPECT_EQ(PackCommsBlock({bytes.data(), 51}, packed), 0u);
    EXPECT_EQ(RestoreCommsBlock(1, project, {bytes.data(), 6}), 0u);
    EXPECT_EQ(RestoreCommsBlock(1, project, {bytes.data(), 43}), 50u);
    EXPECT_EQ(RestoreCommsBlock(1, project, {bytes.data(), 44}), 0u);
    std::vector<std::uint8_t> whole(13, 0x11);
    EXPECT_EQ(RestoreExpandedCommsBlock(whole), 0u);
}

TEST_F(DownloadImageTest, PortRecordPacksIntoFiveBytesAndBack)
{
    struct Case {
        std::string project;
        std::string packed;
        std::string extracted;
    };
    const Case cases[] = {
        // The new project's settings; no protocol comes back as none (-1).
        {kPortRecord, HexBytes("08 5C 08 5C FF"), kPortRecord},
        // 9600, 7 data bits, 2 stop bits, odd parity on the printer port; protocol 7.
        {HexBytes("6400 08030103 07020302 0700"), HexBytes("08 7C 07 E8 07"), HexBytes("6400 08030103 07020302 0700")},
        // Only the protocol's low byte travels.
        {HexBytes("6400 00000000 00000000 3412"), HexBytes("00 00 00 00 34"), HexBytes("6400 00000000 00000000 3400")},
    };
    for (const Case& c : cases) {
        PackedPortRecordBytes packed{};
        ASSERT_EQ(PackPortRecord({reinterpret_cast<const std::uint8_t*>(c.project.data()), c.project.size()}, packed),
                  5u);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(packed.data()), 5), c.packed);
        PortRecordBytes record{};
        ASSERT_EQ(UnpackPortRecord(100, record, packed), 12u);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(record.data()), 12), c.extracted);
    }
    PackedPortRecordBytes packed{};
    const std::uint8_t shortRecord[10] = {};
    EXPECT_EQ(PackPortRecord(shortRecord, packed), 0u);
    PortRecordBytes record{};
    EXPECT_EQ(UnpackPortRecord(100, record, {packed.data(), 4}), 0u);
}

// The transfer program's reader: the header's first record of table 8, then
// the chain in ascending key order to the wanted key, and its data.
std::string TransferProgramRead(const std::string& file, std::uint16_t wanted, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    std::uint32_t at = GetLe32(bytes + 32 + 4 * 8);
    while (at != 0) {
        const std::uint16_t key = GetLe16(bytes + at + 1);
        if (key == wanted)
            return file.substr(at + 14, length);
        if (key > wanted)
            break;
        at = GetLe32(bytes + at + 7);
    }
    return {};
}

TEST_F(DownloadImageTest, TheTransferProgramFindsItsValuesInTheCompiledFile)
{
    // Channel 1 runs protocol 7 on COM1, channel 2 protocol 12 on COM2.
    std::string channels = Key(122) + HexBytes("0700 00") + Zeros(33) + HexBytes("0C00 01") + Zeros(33);
    WriteTable(folder_, 8,
               {{100, kPortRecord}, {101, Key(101) + Zeros(14)}, {102, ProjectInfo("5.1.0", 14)}, {122, channels}});
    ASSERT_EQ(Build(), 0);
    const std::string file = ImageBytes();

    const std::string info = TransferProgramRead(file, 102, 69);
    ASSERT_EQ(info.size(), 69u);
    unsigned major = 0, minor = 0, revision = 0;
    EXPECT_EQ(std::sscanf(info.c_str() + 26, "%u.%u.%u", &major, &minor, &revision), 3);
    EXPECT_EQ(major * 100 + minor * 10 + revision, 510u);
    EXPECT_EQ(info[68], 14);
    const std::string roles = TransferProgramRead(file, 122, 72);
    ASSERT_EQ(roles.size(), 72u);
    EXPECT_EQ(GetLe16(reinterpret_cast<const std::uint8_t*>(roles.data())), 7);
    EXPECT_EQ(roles[2], 0);
    EXPECT_EQ(GetLe16(reinterpret_cast<const std::uint8_t*>(roles.data()) + 36), 12);
    EXPECT_EQ(roles[38], 1);
    EXPECT_EQ(static_cast<std::uint8_t>(TransferProgramRead(file, 100, 5)[4]), 0xFF);
}

TEST_F(DownloadImageTest, ACompiledProjectExtractsToTheSameRecords)
{
    const Table analog = {{1, Key(1) + "FLOW"}, {2, Key(2) + "LEVEL"}, {700, Key(700) + "HIGH"}};
    const Table digital = {{1, Key(1) + "PUMP"}, {3, Key(3) + ""}};
    const Table pages = {{1, Key(1) + std::string(3000, 'p')}, {2, Key(2) + std::string(420, 'q')}};
    // Message tables travel whole: the largest record the compile reads comes back too.
    const Table messages = {{1, std::string(300, 'm')}, {2, std::string(40000, 'n')}, {1999, "last"}};
    const Table overview = {{1, Key(1) + "OV"}};
    const Table recipes = {{2, Key(2) + "RC"}};
    const Table bitmaps = {{1, Key(1) + std::string(39998, 'b')}};
    const std::string passwords = Key(103) + "1234      " + "         " + '\0' + "55555555" + Zeros(2) + Zeros(10);
    const Table system = {{50, Key(50) + "x"},
                          {100, kPortRecord},
                          {101, Key(101) + Zeros(14)},
                          {102, ProjectInfo("5.1.0", 14)},
                          {103, passwords},
                          {110, Key(110) + std::string(101, 'z')},
                          {201, Key(201) + "y"}};
    WriteTable(folder_, 1, analog);
    WriteTable(folder_, 2, digital);
    WriteTable(folder_, 3, {{1, HexBytes("0100 07 01 41414141 21 01 0200 0100 112233")}});
    WriteTable(folder_, 4, pages);
    WriteTable(folder_, 5, messages);
    WriteTable(folder_, 8, system);
    WriteTable(folder_, 10, overview);
    WriteTable(folder_, 11, recipes);
    WriteTable(folder_, 15, bitmaps);
    ASSERT_EQ(Build(14, {500, 500, 100, 100}), 0);

    ASSERT_EQ(ExtractDownloadImage(out_, image_, true), 0);
    Table analogBack = analog;
    analogBack.erase(700);
    EXPECT_EQ(ReadTable(out_, 1), analogBack);
    EXPECT_EQ(ReadTable(out_, 2), digital);
    EXPECT_EQ(ReadTable(out_, 3), (Table{{1, HexBytes("0100 07 00 45454545 21 01 0200 0100 112233")}}));
    EXPECT_EQ(ReadTable(out_, 4), pages);
    EXPECT_EQ(ReadTable(out_, 5), messages);
    EXPECT_EQ(ReadTable(out_, 10), overview);
    EXPECT_EQ(ReadTable(out_, 11), recipes);
    EXPECT_EQ(ReadTable(out_, 15), bitmaps);
    Table systemBack = system;
    systemBack.erase(50);
    systemBack.erase(201);
    // Six bytes of each password travel.
    systemBack[103] = Key(103) + "1234  " + Zeros(4) + "      " + Zeros(4) + "555555" + Zeros(4) + Zeros(10);
    EXPECT_EQ(ReadTable(out_, 8), systemBack);
    for (int table : {6, 7, 9, 12, 13, 14})
        EXPECT_FALSE(FileExists(TablePath(out_, table))) << table;
}

TEST_F(DownloadImageTest, SystemKeysOutside100To200TravelButDoNotComeBack)
{
    WriteTable(folder_, 8, {{99, Key(99) + "a"}, {102, ProjectInfo("5.1.0", 14)}, {201, Key(201) + "b"}});
    ASSERT_EQ(Build(), 0);
    ASSERT_EQ(ImageOpen(image_), 0);
    const auto table8 = ImageTable(8);
    ImageClose();
    ASSERT_EQ(table8.size(), 3u);
    EXPECT_EQ(table8[0], std::make_pair(std::uint16_t{99}, std::string("a")));
    EXPECT_EQ(table8[2], std::make_pair(std::uint16_t{201}, std::string("b")));

    ASSERT_EQ(ExtractDownloadImage(out_, image_, true), 0);
    const Table back = ReadTable(out_, 8);
    EXPECT_EQ(back.count(99), 0u);
    EXPECT_EQ(back.count(201), 0u);
    EXPECT_EQ(back.count(102), 1u);
    // Without a record 100 in the file only the passwords are rebuilt.
    EXPECT_EQ(back.count(100), 0u);
    EXPECT_EQ(back.at(103), Key(103) + Zeros(40));
}

TEST_F(DownloadImageTest, VersionGate)
{
    struct Case {
        const char* version;
        int result;
    };
    const Case cases[] = {{"2.9.9", kImageTooOld}, {"3.0.0", 0}, {"5.1.0", 0}, {".3.0.0", kImageTooOld},
                          {"300", kImageTooOld}};
    for (const Case& c : cases) {
        WriteTable(out_, 1, {{1, Key(1) + "KEEP"}});
        WriteImage({{1, 2, "NEW"}}, c.version);
        EXPECT_EQ(ExtractDownloadImage(out_, image_, true), c.result) << c.version;
        EXPECT_EQ(ReadTable(out_, 1).begin()->second, c.result ? Key(1) + "KEEP" : Key(2) + "NEW") << c.version;
    }

    // No record 102 at all.
    ASSERT_EQ(ImageCreate(image_), 0);
    ASSERT_EQ(ImageAppendRecord(1, 2, "NEW", 3), 0);
    ASSERT_EQ(ImageFinish(), 0);
    EXPECT_EQ(ExtractDownloadImage(out_, image_, true), kImageTooOld);

    EXPECT_EQ(ExtractDownloadImage(out_, out_ + "/missing.dtb", true), kImageSourceError);
    ASSERT_TRUE(WriteWholeFile(image_, "short"));
    EXPECT_EQ(ExtractDownloadImage(out_, image_, true), kImageSourceError);
}

TEST_F(DownloadImageTest, TheRemoveFlagDeletesTablesTheFileDoesNotHold)
{
    for (bool remove : {false, true}) {
        WriteTable(out_, 6, {{1, "stray"}});
        WriteTable(out_, 11, {{1, Key(1) + "recipe"}});
        WriteImage({{1, 1, "A"}});
        EXPECT_EQ(ExtractDownloadImage(out_, image_, remove), 0);
        EXPECT_EQ(FileExists(TablePath(out_, 6)), !remove);
        EXPECT_EQ(FileExists(TablePath(out_, 11)), !remove);
        EXPECT_TRUE(FileExists(TablePath(out_, 1)));
        EXPECT_TRUE(FileExists(TablePath(out_, 8)));
    }
}

// Every write of a compile can fail; each must fail the compile, and no file
// may be left for the transfer.
TEST_F(DownloadImageTest, AFailedWriteFailsTheCompileAndLeavesNoFile)
{
    Table pages;
    for (std::uint16_t key = 1; key <= 60; ++key)
        pages[key] = Key(key) + std::string(3000, static_cast<char>(key));  // spans several blocks
    WriteTable(folder_, 4, pages);
    WriteTable(folder_, 1, {{1, Key(1) + "A"}});
    WriteTable(folder_, 8, {{100, kPortRecord}, {102, ProjectInfo("5.1.0", 14)}});

    int failing = 0;
    for (int nth = 1; nth < 50; ++nth) {
        FileFaults::Reset();
        FileFaults::FailWrite(nth);
        const int rc = Build();
        if (rc == 0)
            break;  // the compile has fewer writes than that
        ++failing;
        EXPECT_EQ(rc, kImageFileError) << "write " << nth;
        EXPECT_FALSE(FileExists(image_)) << "write " << nth;
    }
    EXPECT_GE(failing, 3);
    FileFaults::Reset();
    FileFaults::ShortWrite(2, 10);
    EXPECT_EQ(Build(), kImageFileError);
    EXPECT_FALSE(FileExists(image_));
    FileFaults::Reset();
    EXPECT_EQ(Build(), 0);
}

TEST_F(DownloadImageTest, AProjectTableThatCannotBeReadWholeFailsTheCompile)
{
    struct Case {
        const char* what;
        int table;
        Table records;
        int result;
    };
    const Case cases[] = {
        {"record too large for the file", 15, {{1, Key(1) + std::string(40000, 'b')}}, DF_BUFFER_SMALL},
        {"comms block shorter than its fixed part", 3, {{1, Key(1) + "short"}}, kImageDamaged},
        {"comms block address over 36 bytes", 3, {{1, Key(1) + std::string(49, 'a')}}, kImageDamaged},
        {"tag without its key copy", 1, {{1, "x"}}, kImageDamaged},
        {"port record cut short", 8, {{100, Key(100) + "0123456"}}, kImageDamaged},
        {"password record cut short", 8, {{103, Key(103) + "1234567890"}}, kImageDamaged},
    };
    for (const Case& c : cases) {
        WriteTable(folder_, c.table, c.records);
        EXPECT_EQ(Build(), c.result) << c.what;
        EXPECT_FALSE(FileExists(image_)) << c.what;
        ASSERT_TRUE(FileDelete(TablePath(folder_, c.table)));
    }

    // A table file that is there but does not open.
    ASSERT_TRUE(WriteWholeFile(TablePath(folder_, 2), "not a table"));
    EXPECT_EQ(Build(), DF_READ_ERROR);
    EXPECT_FALSE(FileExists(image_));
    ASSERT_TRUE(FileDelete(TablePath(folder_, 2)));

    // A record whose data changed on disk ends its table: the compile fails
    // instead of leaving out the records behind it.
    WriteTable(folder_, 4, {{1, Key(1) + "page one"}, {2, Key(2) + "page two"}});
    DamageRecord(TablePath(folder_, 4), 1, 3);
    EXPECT_EQ(Build(), DF_BAD_CHECK);
    EXPECT_FALSE(FileExists(image_));
    ASSERT_TRUE(FileDelete(TablePath(folder_, 4)));

    // What is left out on purpose stays left out: missing tables, tables
    // without a form, and records above the limit.
    ASSERT_TRUE(WriteWholeFile(TablePath(folder_, 6), "junk"));
    WriteTable(folder_, 1, {{1, Key(1) + "A"}, {9, "x"}});
    EXPECT_EQ(Build(14, {8}), 0);
}

TEST_F(DownloadImageTest, ExtractionReportsTheFirstTableThatFailed)
{
    WriteImage({{1, 1, "A"}, {15, 1, "B"}});
    // Table 1's file cannot be made; the later tables still come back.
    FileFaults::FailWrite(1);
    EXPECT_EQ(ExtractDownloadImage(out_, image_, true), DF_WRITE_ERROR);
    FileFaults::Reset();
    EXPECT_EQ(ReadTable(out_, 15), (Table{{1, Key(1) + "B"}}));
    EXPECT_EQ(ReadTable(out_, 8).count(102), 1u);

    // A file without records of the last table is no failure.
    WriteImage({{1, 1, "A"}});
    EXPECT_EQ(ExtractDownloadImage(out_, image_, true), 0);
}

// A damaged file is refused before anything in the folder changes.
TEST_F(DownloadImageTest, ADamagedFileLeavesTheFolderAsItWas)
{
    struct Case {
        const char* what;
        std::vector<ImageRecord> records;
        int panelType;
    };
    const Case cases[] = {
        {"port record shorter than 5 bytes", {{8, 100, "abc"}}, 14},
        {"packed comms block shorter than 7 bytes", {{3, 1, "123456"}}, 14},
        {"packed comms block over 43 bytes", {{3, 1, std::string(44, 'c')}}, 14},
        {"whole comms block shorter than 14 bytes", {{3, 1, std::string(13, 'c')}}, 13},
        {"record larger than any the compiler writes", {{4, 1, std::string(40001, 'p')}}, 14},
    };
    for (const Case& c : cases) {
        WriteTable(out_, 1, {{1, Key(1) + "KEEP"}});
        WriteTable(out_, 6, {{1, "stray"}});
        WriteImage(c.records, "5.1.0", c.panelType);
        EXPECT_EQ(ExtractDownloadImage(out_, image_, true), kImageDamaged) << c.what;
        EXPECT_EQ(ReadTable(out_, 1), (Table{{1, Key(1) + "KEEP"}})) << c.what;
        EXPECT_TRUE(FileExists(TablePath(out_, 6))) << c.what;
        EXPECT_FALSE(FileExists(TablePath(out_, 8))) << c.what;
    }

    // Chains that loop or leave the file.
    WriteImage({{4, 1, "one"}, {4, 2, "two"}, {4, 3, "three"}});
    const std::string sound = ImageBytes();
    const std::uint32_t firstPage = GetLe32(reinterpret_cast<const std::uint8_t*>(sound.data()) + 32 + 4 * 4);
    const std::uint32_t lastPage = firstPage + 14 + 3 + 14 + 3;
    auto patched = [&](std::uint32_t at, std::uint32_t value) {
        std::string bytes = sound;
        PutLe32(reinterpret_cast<std::uint8_t*>(&bytes[at]), value);
        return bytes;
    };
    const std::string damaged[] = {
        patched(lastPage + 7, firstPage),                        // the last page leads back to the first
        patched(lastPage + 7, lastPage),                         // the last page leads to itself
        patched(32 + 4 * 4, static_cast<std::uint32_t>(sound.size())),  // the first page past the end
        patched(32 + 4 * 1, 64),                                 // table 1 starts in the header
        sound.substr(0, sound.size() - 1),                       // the last record cut short
    };
    for (const std::string& file : damaged) {
        WriteTable(out_, 1, {{1, Key(1) + "KEEP"}});
        ASSERT_TRUE(WriteWholeFile(image_, file));
        EXPECT_EQ(ExtractDownloadImage(out_, image_, true), kImageDamaged);
        EXPECT_EQ(ReadTable(out_, 1), (Table{{1, Key(1) + "KEEP"}}));
    }
}

}  // namespace
