// The panel database file's layout and its stream operations: the bytes
// against vectors written out by hand, chains that stay right across the
// writer's blocks, and reads of files that lie about their records.
#include "plintvlr/db/image_file.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/tests/scoped_env.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class ImageFileTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ImageClose();
        FileFaults::Reset();
    }

    std::string Path(const char* name) const { return folder_.Path() + "/" + name; }

    std::string Contents(const std::string& path) const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes));
        return bytes;
    }

    TempFolder folder_;
};

std::string Zeros(std::size_t n)
{
    return std::string(n, '\0');
}

TEST_F(ImageFileTest, RecordsOfTablesAddedInTurnChainPerTable)
{
    const std::string path = Path("A.DTB");
    ASSERT_EQ(ImageCreate(path), 0);
    ASSERT_EQ(ImageAppendRecord(1, 1, "A", 1), 0);
    ASSERT_EQ(ImageAppendRecord(2, 1, "BB", 2), 0);
    ASSERT_EQ(ImageAppendRecord(1, 2, "", 0), 0);
    ASSERT_EQ(ImageAppendRecord(1, 3, "C", 1), 0);
    const std::uint8_t slot1[6] = {'1', '2', '3', '4', '5', '6'};
    ImageSetPassword(slot1, 1);
    ImageSetPassword(slot1, 4);  // no such slot
    ASSERT_EQ(ImageFinish(), 0);

    const std::string header = HexBytes("BC000000 0000 0000 53 00000000000000") + Zeros(16) +
                               HexBytes("00000000 80000000 8F000000") + Zeros(13 * 4) + Zeros(6) +
                               "123456" + Zeros(6) + Zeros(6) + Zeros(8);
    ASSERT_EQ(header.size(), 128u);
    const std::string records = HexBytes(
        // table | key | previous | next | 0 | length | data
        "01 0100 00000000 9F000000 00 0100 41"       // 128: table 1, key 1
        "02 0100 00000000 00000000 00 0200 4242"     // 143: table 2, key 1
        "01 0200 80000000 AD000000 00 0000"          // 159: table 1, key 2, no data
        "01 0300 9F000000 00000000 00 0100 43");     // 173: table 1, key 3
    EXPECT_EQ(Contents(path), header + records);
}

TEST_F(ImageFileTest, HeadersDecodeWhatTheyEncode)
{
    const std::string bytes = HexBytes("05 3412 80000000 00010000 00 0300");
    const ImageRecordHeader h = ImageRecordHeader::Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()));
    EXPECT_EQ(h.table, 5);
    EXPECT_EQ(h.key, 0x1234);
    EXPECT_EQ(h.previous, 128u);
    EXPECT_EQ(h.next, 256u);
    EXPECT_EQ(h.length, 3);
    std::uint8_t again[ImageRecordHeader::kSize];
    h.Encode(again);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(again), sizeof again), bytes);
}

// The writer gathers records into blocks; links into records that already
// went to the file must still be right.
TEST_F(ImageFileTest, ChainsStayLinkedAcrossWrittenBlocks)
{
    const std::string path = Path("BIG.DTB");
    ASSERT_EQ(ImageCreate(path), 0);
    std::vector<std::uint8_t> data(3000);
    std::vector<std::uint32_t> at[2];
    std::uint32_t end = 128;
    for (int i = 0; i < 300; ++i) {
        const int table = i % 7 == 0 ? 4 : 3;  // table 4 every seventh record, far apart
        const auto length = static_cast<std::uint16_t>(table == 4 ? 3000 : 10 + i % 50);
        std::memset(data.data(), i & 0xFF, length);
        ASSERT_EQ(ImageAppendRecord(table, static_cast<std::uint16_t>(i), data.data(), length), 0);
        at[table - 3].push_back(end);
        end += 14 + length;
    }
    ASSERT_EQ(ImageFinish(), 0);

    const std::string file = Contents(path);
    ASSERT_EQ(file.size(), end);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    EXPECT_EQ(GetLe32(bytes), end);
    for (int table = 3; table <= 4; ++table) {
        const std::vector<std::uint32_t>& offsets = at[table - 3];
        EXPECT_EQ(GetLe32(bytes + 32 + 4 * table), offsets.front());
        for (std::size_t n = 0; n < offsets.size(); ++n) {
            const ImageRecordHeader h = ImageRecordHeader::Decode(bytes + offsets[n]);
            EXPECT_EQ(h.table, table);
            EXPECT_EQ(h.previous, n == 0 ? 0 : offsets[n - 1]) << "table " << table << " record " << n;
            EXPECT_EQ(h.next, n + 1 == offsets.size() ? 0 : offsets[n + 1]) << "table " << table << " record " << n;
        }
    }
}

TEST_F(ImageFileTest, FailedWritesAreReported)
{
    const std::string path = Path("F.DTB");
    FileFaults::FailWrite(1);
    EXPECT_NE(ImageCreate(path), 0);

    // A block that does not reach the file fails the append that writes it,
    // every later append and the finish.
    FileFaults::Reset();
    ASSERT_EQ(ImageCreate(path), 0);
    FileFaults::FailWrite(1);
    std::vector<std::uint8_t> data(40000);
    int rc = 0;
    for (int i = 0; i < 4 && rc == 0; ++i)
        rc = ImageAppendRecord(4, static_cast<std::uint16_t>(i), data.data(), 40000);
    EXPECT_EQ(rc, DF_WRITE_ERROR);
    EXPECT_EQ(ImageAppendRecord(4, 9, data.data(), 1), DF_WRITE_ERROR);
    EXPECT_EQ(ImageFinish(), DF_WRITE_ERROR);

    // The header written last.
    ASSERT_EQ(ImageCreate(path), 0);
    ASSERT_EQ(ImageAppendRecord(1, 1, "A", 1), 0);
    FileFaults::ShortWrite(2, 100);
    EXPECT_EQ(ImageFinish(), DF_WRITE_ERROR);
    EXPECT_EQ(ImageFinish(), DF_WRITE_ERROR);  // nothing open any more
}

// Writes a file of a header and the given records, as a panel might send it.
std::string WriteRaw(const std::string& path, std::uint32_t firstOfTable8, const std::string& records)
{
    ImageHeader header;
    header.end = static_cast<std::uint32_t>(128 + records.size());
    header.firstRecord[8] = firstOfTable8;
    std::uint8_t bytes[128];
    header.Encode(bytes);
    const std::string file = std::string(reinterpret_cast<char*>(bytes), sizeof bytes) + records;
    EXPECT_TRUE(WriteWholeFile(path, file));
    return file;
}

std::string Record(std::uint16_t key, std::uint32_t previous, std::uint32_t next, const std::string& data,
                   std::uint16_t length)
{
    ImageRecordHeader h;
    h.table = 8;
    h.key = key;
    h.previous = previous;
    h.next = next;
    h.length = length;
    std::uint8_t bytes[14];
    h.Encode(bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes) + data;
}

std::string Record(std::uint16_t key, std::uint32_t previous, std::uint32_t next, const std::string& data)
{
    return Record(key, previous, next, data, static_cast<std::uint16_t>(data.size()));
}

// Walks table 8 to its end and gives the code that ended the walk and the
// records seen.
int WalkTable8(int& records)
{
    std::uint8_t buffer[64];
    std::uint16_t length = sizeof buffer;
    std::uint16_t key = 0;
    std::uint32_t next = 0;
    records = 0;
    int rc = ImageFirstRecord(8, buffer, length, key, next);
    while (rc == DF_OK) {
        if (++records > 1000)
            return -1;  // the walk did not end
        length = sizeof buffer;
        rc = ImageNextRecord(buffer, length, key, next);
    }
    return rc;
}

TEST_F(ImageFileTest, ChainsThatLeaveTheFileOrLoopEndWithAnError)
{
    struct Case {
        const char* what;
        std::uint32_t first;
        std::string records;
    };
    const std::string two = Record(1, 0, 143, "x") + Record(2, 128, 0, "y");  // at 128 and 143
    const Case cases[] = {
        {"first record past the end", 5000, two},
        {"first record inside the header", 100, two},
        {"header cut off by the end", 150, two},
        {"data past the end", 128, Record(1, 0, 0, "abc", 4)},
        {"next past the end", 128, Record(1, 0, 0xFFFFFFF0u, "x")},
        {"record linked to itself", 128, Record(1, 0, 128, "x")},
        {"second record back to the first", 128, Record(1, 0, 143, "x") + Record(2, 128, 128, "y")},
    };
    const std::string path = Path("R.DTB");
    for (const Case& c : cases) {
        WriteRaw(path, c.first, c.records);
        ASSERT_EQ(ImageOpen(path), 0) << c.what;
        int records = 0;
        EXPECT_EQ(WalkTable8(records), DF_READ_ERROR) << c.what;
        EXPECT_LE(records, static_cast<int>(c.records.size() + 128) / 14) << c.what;
        std::uint8_t buffer[8];
        std::uint16_t length = sizeof buffer;
        EXPECT_EQ(ImageFindRecord(8, buffer, 99, length), DF_READ_ERROR) << c.what;
        ImageClose();
    }

    WriteRaw(path, 128, two);
    ASSERT_EQ(ImageOpen(path), 0);
    int records = 0;
    EXPECT_EQ(WalkTable8(records), DF_NOT_FOUND);
    EXPECT_EQ(records, 2);
}

TEST_F(ImageFileTest, ARecordLongerThanTheBufferFillsItAndSaysSo)
{
    const std::string path = Path("L.DTB");
    WriteRaw(path, 128, Record(7, 0, 0, "0123456789"));
    ASSERT_EQ(ImageOpen(path), 0);
    std::uint8_t buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    std::uint16_t length = 4;
    std::uint16_t key = 0;
    std::uint32_t next = 99;
    EXPECT_EQ(ImageFirstRecord(8, buffer, length, key, next), DF_BUFFER_SMALL);
    EXPECT_EQ(length, 4);  // what the buffer holds, never the record's length
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), "0123####");
    EXPECT_EQ(key, 7);
    EXPECT_EQ(next, 0u);

    length = 6;
    EXPECT_EQ(ImageFindRecord(8, buffer, 7, length), DF_BUFFER_SMALL);
    EXPECT_EQ(length, 6);
    length = sizeof buffer;
    EXPECT_EQ(ImageFindRecord(8, buffer, 8, length), DF_NOT_FOUND);
    std::uint8_t whole[10];
    length = sizeof whole;
    EXPECT_EQ(ImageFindRecord(8, whole, 7, length), DF_OK);
    EXPECT_EQ(length, 10);
}

TEST_F(ImageFileTest, OpenNeedsAWholeHeader)
{
    EXPECT_NE(ImageOpen(Path("missing.dtb")), 0);
    ASSERT_TRUE(WriteWholeFile(Path("short.dtb"), std::string(127, '\0')));
    EXPECT_NE(ImageOpen(Path("short.dtb")), 0);
    std::uint16_t key = 0;
    std::uint32_t next = 0;
    std::uint16_t length = 0;
    EXPECT_EQ(ImageFirstHeader(8, key, next, length), DF_READ_ERROR);  // nothing open
    ASSERT_TRUE(WriteWholeFile(Path("empty.dtb"), HexBytes("80000000 0000 0000 53") + std::string(119, '\0')));
    EXPECT_EQ(ImageOpen(Path("empty.dtb")), 0);
    EXPECT_EQ(ImageFirstHeader(8, key, next, length), DF_NOT_FOUND);
    EXPECT_EQ(ImageGetVersion(), 0);
}

TEST_F(ImageFileTest, ProgramVersionNumbers)
{
    struct Case {
        const char* text;
        std::size_t size;
        int number;
    };
    const Case cases[] = {
        {"5.1.0", 10, 510},
        {"3.0.0", 10, 300},
        {"2.5.1", 10, 251},
        {"2.9.9", 10, 299},
        {"V 3.0.1", 10, 301},
        {".3.0.0", 10, 0},       // nothing before the '.'
        {"510", 10, 0},          // no '.'
        {"5.1", 10, 0},          // the third digit is not there
        {"5.1.", 10, 0},
        {"5.a.0", 10, 0},
        {"12345678.1", 10, 0},   // three after the '.' is past the field
        {"1234567.1.2", 10, 0},  // the field ends before the third digit
        {"123456.8.9", 10, 689},
        {"5.1.0", 4, 0},         // a record cut short
    };
    for (const Case& c : cases) {
        char field[16] = {};
        std::memcpy(field, c.text, std::strlen(c.text));
        EXPECT_EQ(ProgramVersionNumber(field, c.size), c.number) << c.text;
    }
}

TEST_F(ImageFileTest, VersionComesFromRecord102AndNeedsItsField)
{
    auto info = [](const char* version, std::size_t length) {
        std::string data(69, '\0');
        std::memcpy(&data[26], version, std::strlen(version));
        data.resize(length);
        return data;
    };
    struct Case {
        std::string records;
        int version;
    };
    const Case cases[] = {
        {Record(102, 0, 0, info("3.0.0", 69)), 300},
        {Record(100, 0, 147, "12345") + Record(102, 128, 0, info("2.9.9", 69)), 299},
        {Record(102, 0, 0, info("5.1.0", 35)), 0},  // the version field is cut short
        {Record(102, 0, 0, info("5.1.0", 36)), 510},
        {Record(101, 0, 0, info("5.1.0", 69)), 0},  // no record 102
    };
    for (const Case& c : cases) {
        const std::string path = Path("V.DTB");
        WriteRaw(path, 128, c.records);
        ASSERT_EQ(ImageOpen(path), 0);
        EXPECT_EQ(ImageGetVersion(), c.version);
        ImageClose();
    }
}

}  // namespace
