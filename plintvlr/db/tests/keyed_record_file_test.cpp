#include "plintvlr/db/keyed_record_file.h"

#include "platform/base/files.h"
#include "plintvlr/db/tests/hex_bytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

std::string Hex(std::string_view text)
{
    return HexBytes(text);
}

// Keys 5 "ab", 1 "c" and 3 "dd", written in that order: blocks at 14, 32, 49.
const std::string kThreeRecords = Hex(
    "44 46 | 20 00 00 00 | 00 00 00 00 | 00 00 00 00"
    "05 00 00 00 | 00 00 00 00 | 31 00 00 00 | 02 00 | 3D FF | 61 62"
    "01 00 00 00 | 31 00 00 00 | 00 00 00 00 | 01 00 | 9D FF | 63"
    "03 00 00 00 | 0E 00 00 00 | 20 00 00 00 | 02 00 | 38 FF | 64 64");

class KeyedRecordFileTest : public ::testing::Test {
public:
    void SetUp() override
    {
        char tmpl[] = "/tmp/plv-df-XXXXXX";
        dir_ = ::mkdtemp(tmpl);
        name_ = dir_ + "/dtb-01.db3";
    }
    void TearDown() override
    {
        FileFaults::Reset();
        if (handle_ >= 0)
            DfClose(handle_);
        std::filesystem::remove_all(dir_);
    }

    int Open(const std::string& image)
    {
        if (handle_ >= 0)
            DfClose(handle_);
        EXPECT_TRUE(WriteWholeFile(name_, image));
        handle_ = DfOpen(name_);
        EXPECT_GE(handle_, 0);
        return handle_;
    }
    std::string Image() const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(name_, bytes));
        return bytes;
    }
    int Write(std::uint32_t key, std::string_view data)
    {
        return DfWriteRecord(handle_, key, data.data(), static_cast<std::uint16_t>(data.size()));
    }
    // Every record in key order as "key=data", stopping at a nonzero code
    // other than a failed check (shown as "key!length").
    std::string Walk(int limit = 1000)
    {
        std::string out;
        char buffer[512];
        std::uint16_t length = sizeof buffer;
        std::uint32_t key = 0, position = 0;
        int rc = DfFirstRecord(handle_, buffer, length, key, position);
        for (int steps = 0; steps < limit; ++steps) {
            if (rc != DF_OK && rc != DF_BAD_CHECK)
                return out + "<" + std::to_string(rc) + ">";
            out += std::to_string(key) + (rc == DF_OK ? "=" + std::string(buffer, length) : "!" + std::to_string(length)) + " ";
            if (position == 0)
                return out;
            length = sizeof buffer;
            rc = DfNextRecord(handle_, buffer, length, key, position);
        }
        return out + "<endless>";
    }

    std::string dir_;
    std::string name_;
    int handle_ = -1;
};

TEST_F(KeyedRecordFileTest, NewFileIsAnEmptyHeader)
{
    ASSERT_EQ(DfCreate(name_), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 00 00 00 00 00 00 00 00 00 00 00 00"));
    handle_ = DfOpen(name_);
    ASSERT_GE(handle_, 0);
    char buffer[4];
    std::uint16_t length = sizeof buffer;
    std::uint32_t key = 0, next = 99;
    EXPECT_EQ(DfFirstRecord(handle_, buffer, length, key, next), DF_NOT_FOUND);
    EXPECT_EQ(DfReadRecord(handle_, 1, buffer, length), DF_NOT_FOUND);
    EXPECT_EQ(DfCreate(dir_ + "/missing/dtb-02.db3"), DF_NOT_CREATED);
}

TEST_F(KeyedRecordFileTest, OnlyFilesWithTheMagicOpen)
{
    struct Case {
        const char* name;
        std::string image;
        bool opens;
    } cases[] = {
        {"header", Hex("44 46 00 00 00 00 00 00 00 00 00 00 00 00"), true},
        {"wrong magic", Hex("46 44 00 00 00 00 00 00 00 00 00 00 00 00"), false},
        {"short header", Hex("44 46 00 00 00 00 00 00 00 00 00 00 00"), false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(name_, c.image));
        int handle = DfOpen(name_);
        int readOnly = DfOpenReadOnly(name_);
        EXPECT_EQ(handle >= 0, c.opens) << c.name;
        EXPECT_EQ(readOnly >= 0, c.opens) << c.name;
        DfClose(handle);
        DfClose(readOnly);
    }
    EXPECT_EQ(DfOpen(dir_ + "/none.db3"), -1);
}

TEST_F(KeyedRecordFileTest, ChecksumIsTheNegatedByteSum)
{
    struct Case {
        std::vector<std::uint8_t> data;
        std::uint16_t check;
    } cases[] = {
        {{}, 0x0000},
        {{0x01, 0x02}, 0xFFFD},
        {{0x61, 0x62}, 0xFF3D},
        {std::vector<std::uint8_t>(257, 0xFF), 0x0001},  // the sum wraps at 16 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(DfChecksum(c.data.data(), static_cast<std::uint16_t>(c.data.size())), c.check);
}

TEST_F(KeyedRecordFileTest, WritesKeepKeyOrderAndReuseBlocks)
{
    ASSERT_EQ(DfCreate(name_), DF_OK);
    handle_ = DfOpen(name_);
    ASSERT_EQ(Write(5, "ab"), DF_OK);
    ASSERT_EQ(Write(1, "c"), DF_OK);
    ASSERT_EQ(Write(3, "dd"), DF_OK);
    EXPECT_EQ(Image(), kThreeRecords);
    EXPECT_EQ(Walk(), "1=c 3=dd 5=ab ");

    // Same or smaller: back into its own block; the second data byte stays.
    ASSERT_EQ(Write(3, "e"), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 | 20 00 00 00 | 00 00 00 00 | 00 00 00 00"
                           "05 00 00 00 | 00 00 00 00 | 31 00 00 00 | 02 00 | 3D FF | 61 62"
                           "01 00 00 00 | 31 00 00 00 | 00 00 00 00 | 01 00 | 9D FF | 63"
                           "03 00 00 00 | 0E 00 00 00 | 20 00 00 00 | 01 00 | 9B FF | 65 64"));

    // Longer: to the end of the file; the old block heads the free chain.
    ASSERT_EQ(Write(1, "xyz"), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 | 43 00 00 00 | 20 00 00 00 | 00 00 00 00"
                           "05 00 00 00 | 00 00 00 00 | 31 00 00 00 | 02 00 | 3D FF | 61 62"
                           "01 00 00 00 | 00 00 00 00 | 00 00 00 00 | 01 00 | 9D FF | 63"
                           "03 00 00 00 | 0E 00 00 00 | 43 00 00 00 | 01 00 | 9B FF | 65 64"
                           "01 00 00 00 | 31 00 00 00 | 00 00 00 00 | 03 00 | 95 FE | 78 79 7A"));

    // A new key takes the free block.
    ASSERT_EQ(Write(2, "q"), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 | 43 00 00 00 | 00 00 00 00 | 00 00 00 00"
                           "05 00 00 00 | 00 00 00 00 | 31 00 00 00 | 02 00 | 3D FF | 61 62"
                           "02 00 00 00 | 31 00 00 00 | 43 00 00 00 | 01 00 | 8F FF | 71"
                           "03 00 00 00 | 0E 00 00 00 | 20 00 00 00 | 01 00 | 9B FF | 65 64"
                           "01 00 00 00 | 20 00 00 00 | 00 00 00 00 | 03 00 | 95 FE | 78 79 7A"));

    // Deleting the last record: its block keeps key, length and check.
    const std::string afterDelete = Hex("44 46 | 43 00 00 00 | 0E 00 00 00 | 00 00 00 00"
                                        "05 00 00 00 | 00 00 00 00 | 00 00 00 00 | 02 00 | 3D FF | 61 62"
                                        "02 00 00 00 | 31 00 00 00 | 43 00 00 00 | 01 00 | 8F FF | 71"
                                        "03 00 00 00 | 00 00 00 00 | 20 00 00 00 | 01 00 | 9B FF | 65 64"
                                        "01 00 00 00 | 20 00 00 00 | 00 00 00 00 | 03 00 | 95 FE | 78 79 7A");
    ASSERT_EQ(DfDeleteRecord(handle_, 5), DF_OK);
    EXPECT_EQ(Image(), afterDelete);
    EXPECT_EQ(DfDeleteRecord(handle_, 99), DF_OK);
    EXPECT_EQ(Write(5, ""), DF_OK);
    EXPECT_EQ(Image(), afterDelete);

    ASSERT_EQ(Write(7, "z"), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 | 43 00 00 00 | 00 00 00 00 | 00 00 00 00"
                           "07 00 00 00 | 00 00 00 00 | 31 00 00 00 | 01 00 | 86 FF | 7A 62"
                           "02 00 00 00 | 31 00 00 00 | 43 00 00 00 | 01 00 | 8F FF | 71"
                           "03 00 00 00 | 0E 00 00 00 | 20 00 00 00 | 01 00 | 9B FF | 65 64"
                           "01 00 00 00 | 20 00 00 00 | 00 00 00 00 | 03 00 | 95 FE | 78 79 7A"));
    EXPECT_EQ(Walk(), "1=xyz 2=q 3=e 7=z ");
}

TEST_F(KeyedRecordFileTest, AWriteTakesTheFirstFreeBlockLongEnough)
{
    Open(kThreeRecords);
    ASSERT_EQ(Write(9, "0123456789"), DF_OK);  // block at 67
    ASSERT_EQ(DfDeleteRecord(handle_, 9), DF_OK);
    // Key 1 leaves 32 (1 byte) at the head of the free chain, too short for
    // five bytes; 67 behind it is taken and 32 ends the free chain.
    ASSERT_EQ(Write(1, "01234"), DF_OK);
    EXPECT_EQ(Image(), Hex("44 46 | 43 00 00 00 | 20 00 00 00 | 00 00 00 00"
                           "05 00 00 00 | 00 00 00 00 | 31 00 00 00 | 02 00 | 3D FF | 61 62"
                           "01 00 00 00 | 00 00 00 00 | 00 00 00 00 | 01 00 | 9D FF | 63"
                           "03 00 00 00 | 0E 00 00 00 | 43 00 00 00 | 02 00 | 38 FF | 64 64"
                           "01 00 00 00 | 31 00 00 00 | 00 00 00 00 | 05 00 | 06 FF | 30 31 32 33 34 35 36 37 38 39"));
    EXPECT_EQ(Walk(), "1=01234 3=dd 5=ab ");
}

TEST_F(KeyedRecordFileTest, AReusedBlockKeepsOnlyTheNewLength)
{
    ASSERT_EQ(DfCreate(name_), DF_OK);
    handle_ = DfOpen(name_);
    ASSERT_EQ(Write(1, std::string(100, 'a')), DF_OK);  // block at 14
    ASSERT_EQ(Write(2, "b"), DF_OK);                    // block at 130
    ASSERT_EQ(DfDeleteRecord(handle_, 1), DF_OK);
    ASSERT_EQ(Write(3, std::string(24, 'c')), DF_OK);  // back into 14
    ASSERT_EQ(DfDeleteRecord(handle_, 3), DF_OK);
    const std::int64_t size = FileSizeOf(name_);
    EXPECT_EQ(size, 147);
    EXPECT_EQ(Image().substr(14 + 12, 2), Hex("18 00"));  // stored length 24

    ASSERT_EQ(Write(4, std::string(70, 'd')), DF_OK);  // 70 > 24: to the end
    EXPECT_EQ(FileSizeOf(name_), size + 16 + 70);
    ASSERT_EQ(Write(5, std::string(24, 'e')), DF_OK);  // fits exactly
    EXPECT_EQ(FileSizeOf(name_), size + 16 + 70);
    EXPECT_EQ(Walk(), "2=b 4=" + std::string(70, 'd') + " 5=" + std::string(24, 'e') + " ");
}

TEST_F(KeyedRecordFileTest, KeysCompareUnsigned)
{
    ASSERT_EQ(DfCreate(name_), DF_OK);
    handle_ = DfOpen(name_);
    ASSERT_EQ(Write(0x80000000u, "h"), DF_OK);
    ASSERT_EQ(Write(1, "l"), DF_OK);
    ASSERT_EQ(Write(0xFFFFFFFFu, "m"), DF_OK);
    EXPECT_EQ(Walk(), "1=l 2147483648=h 4294967295=m ");
}

TEST_F(KeyedRecordFileTest, ReadingReportsSizeCheckAndAbsence)
{
    Open(kThreeRecords);
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    std::uint16_t length = 1;
    EXPECT_EQ(DfReadRecord(handle_, 5, buffer, length), DF_BUFFER_SMALL);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(buffer[0], '#');
    length = sizeof buffer;
    EXPECT_EQ(DfReadRecord(handle_, 5, buffer, length), DF_OK);
    EXPECT_EQ(std::string(buffer, length), "ab");
    length = sizeof buffer;
    EXPECT_EQ(DfReadRecord(handle_, 4, buffer, length), DF_NOT_FOUND);

    std::uint32_t position = 0;
    EXPECT_EQ(DfRecordInfo(handle_, 3, position, length), DF_OK);
    EXPECT_EQ(position, 49u);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(DfRecordInfo(handle_, 4, position, length), DF_NOT_FOUND);
    EXPECT_EQ(DfFindRecord(handle_, 1), 32u);
    EXPECT_EQ(DfFindRecord(handle_, 2), 0u);

    // A walk's buffer that is too small stops it with nothing changed.
    length = 1;
    std::uint32_t key = 77, next = 77;
    EXPECT_EQ(DfFirstRecord(handle_, buffer, length, key, next), DF_OK);
    position = 14;
    EXPECT_EQ(DfNextRecord(handle_, buffer, length, key, position), DF_BUFFER_SMALL);
    EXPECT_EQ(position, 14u);
    EXPECT_EQ(length, 1);
}

TEST_F(KeyedRecordFileTest, AWalkStepsPastRecordsWhoseDataWasAltered)
{
    struct Case {
        const char* name;
        std::size_t offset;  // of the altered data byte
        const char* walk;
    } cases[] = {
        {"first record", 48, "1!1 3=dd 5=ab "},
        {"middle record", 65, "1=c 3!2 5=ab "},
        {"last record", 31, "1=c 3=dd 5!2 "},
    };
    for (const Case& c : cases) {
        std::string image = kThreeRecords;
        image[c.offset] ^= 0x10;
        Open(image);
        EXPECT_EQ(Walk(), c.walk) << c.name;
    }
    char buffer[4];
    std::uint16_t length = sizeof buffer;
    EXPECT_EQ(DfReadRecord(handle_, 5, buffer, length), DF_BAD_CHECK);
}

TEST_F(KeyedRecordFileTest, FindingLinksGivesTheNeighbours)
{
    struct Case {
        std::uint32_t key;
        int found;
        std::uint32_t previous, next;
    } cases[] = {
        {0, 0, 0, 32}, {1, 1, 0, 49}, {2, 0, 32, 49}, {3, 1, 32, 14}, {5, 1, 49, 0}, {9, 0, 14, 0},
    };
    Open(kThreeRecords);
    for (const Case& c : cases) {
        std::uint32_t previous = 99, next = 99;
        EXPECT_EQ(DfFindRecordLinks(handle_, c.key, previous, next), c.found) << c.key;
        EXPECT_EQ(previous, c.previous) << c.key;
        EXPECT_EQ(next, c.next) << c.key;
    }
}

TEST_F(KeyedRecordFileTest, RelinkAndTakeFreeBlockWorkOnTheirOwn)
{
    Open(kThreeRecords);
    // Join 32 and 14 around 49.
    ASSERT_EQ(DfRelink(handle_, 0, 32, 14, DF_LIVE_CHAIN), DF_OK);
    std::string image = Image();
    EXPECT_EQ(image.substr(32 + 4, 4), Hex("0E 00 00 00"));
    EXPECT_EQ(image.substr(14 + 8, 4), Hex("20 00 00 00"));
    // 49 becomes the free chain's head.
    ASSERT_EQ(DfRelink(handle_, 49, 0, 0, DF_FREE_CHAIN), DF_OK);
    image = Image();
    EXPECT_EQ(image.substr(6, 4), Hex("31 00 00 00"));
    EXPECT_EQ(image.substr(2, 4), Hex("20 00 00 00"));
    EXPECT_EQ(DfRelink(handle_, 49, 500, 0, DF_LIVE_CHAIN), DF_READ_ERROR);
    EXPECT_EQ(DfRelink(handle_, 49, 0, 5, DF_LIVE_CHAIN), DF_READ_ERROR);

    Open(kThreeRecords);
    ASSERT_EQ(DfDeleteRecord(handle_, 3), DF_OK);  // 49, stored length 2, heads the free chain
    EXPECT_EQ(DfTakeFreeBlock(handle_, 3), 0u);
    EXPECT_EQ(DfTakeFreeBlock(handle_, 2), 49u);
    EXPECT_EQ(Image().substr(6, 4), Hex("00 00 00 00"));
}

TEST_F(KeyedRecordFileTest, OnePassWritingLaysRecordsBackToBack)
{
    handle_ = DfCreateOpen(name_);
    ASSERT_GE(handle_, 0);
    std::uint32_t previous = 0;
    ASSERT_EQ(DfAppendRecord(handle_, 1, "a", 1, previous, false), DF_OK);
    EXPECT_EQ(previous, 14u);
    ASSERT_EQ(DfAppendRecord(handle_, 2, "bc", 2, previous, false), DF_OK);
    EXPECT_EQ(previous, 31u);
    ASSERT_EQ(DfAppendRecord(handle_, 3, "", 0, previous, true), DF_OK);
    EXPECT_EQ(previous, 49u);
    EXPECT_EQ(Image(), Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
                           "01 00 00 00 | 1F 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"
                           "02 00 00 00 | 31 00 00 00 | 0E 00 00 00 | 02 00 | 3B FF | 62 63"
                           "03 00 00 00 | 00 00 00 00 | 1F 00 00 00 | 00 00 | 00 00"));
    EXPECT_EQ(Walk(), "1=a 2=bc 3= ");
    ASSERT_EQ(Write(2, "x"), DF_OK);
    EXPECT_EQ(Walk(), "1=a 2=x 3= ");

    FileFaults::FailWrite(1);
    EXPECT_EQ(DfAppendRecord(handle_, 4, "d", 1, previous, true), DF_WRITE_ERROR);
    EXPECT_EQ(previous, 49u);
}

// Every write of an operation fails in turn (outright, then short): each
// failure must leave the file exactly as it was, and once the operation gets
// through it must give the same bytes as without faults.
TEST_F(KeyedRecordFileTest, AFailedWriteLeavesTheFileAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(KeyedRecordFileTest&)> prepare;
        std::function<int(KeyedRecordFileTest&)> operation;
        int writes;  // how many writes the operation makes
    } cases[] = {
        {"rewrite in its own block", [](KeyedRecordFileTest&) {},
         [](KeyedRecordFileTest& t) { return t.Write(3, "e"); }, 1},
        {"rewrite longer to the end", [](KeyedRecordFileTest&) {},
         [](KeyedRecordFileTest& t) { return t.Write(3, "longer"); }, 5},
        {"rewrite longer past a short free block",
         [](KeyedRecordFileTest& t) { DfDeleteRecord(t.handle_, 1); },
         [](KeyedRecordFileTest& t) { return t.Write(3, "longer"); }, 5},
        {"rewrite into another free block",
         [](KeyedRecordFileTest& t) { t.Write(9, "0123456789"); DfDeleteRecord(t.handle_, 9); },
         [](KeyedRecordFileTest& t) { return t.Write(1, "01234"); }, 4},
        {"new first record at the end", [](KeyedRecordFileTest&) {},
         [](KeyedRecordFileTest& t) { return t.Write(0, "zero"); }, 3},
        {"new record into a free block", [](KeyedRecordFileTest& t) { DfDeleteRecord(t.handle_, 5); },
         [](KeyedRecordFileTest& t) { return t.Write(4, "f"); }, 3},
        {"delete", [](KeyedRecordFileTest&) {},
         [](KeyedRecordFileTest& t) { return DfDeleteRecord(t.handle_, 3); }, 4},
        {"delete by writing nothing", [](KeyedRecordFileTest&) {},
         [](KeyedRecordFileTest& t) { return t.Write(1, ""); }, 3},
    };
    for (const Case& c : cases) {
        Open(kThreeRecords);
        c.prepare(*this);
        const std::string before = Image();
        ASSERT_EQ(c.operation(*this), DF_OK) << c.name;
        const std::string after = Image();
        const std::string walkAfter = Walk();

        for (int shortWrite = 0; shortWrite <= 1; ++shortWrite) {
            int n = 1;
            for (;; ++n) {
                Open(before);
                if (shortWrite)
                    FileFaults::ShortWrite(n, 5);
                else
                    FileFaults::FailWrite(n);
                int rc = c.operation(*this);
                FileFaults::Reset();
                if (rc == DF_OK) {
                    EXPECT_EQ(Image(), after) << c.name;
                    EXPECT_EQ(Walk(), walkAfter) << c.name;
                    break;
                }
                ASSERT_EQ(rc, DF_WRITE_ERROR) << c.name << " write " << n;
                ASSERT_EQ(Image(), before) << c.name << " write " << n;
                ASSERT_LT(n, 20) << c.name;
            }
            EXPECT_EQ(n - 1, c.writes) << c.name;
        }

        // A failed read stops the operation before anything is written.
        for (int n = 1;; ++n) {
            Open(before);
            FileFaults::FailRead(n);
            int rc = c.operation(*this);
            FileFaults::Reset();
            if (rc == DF_OK)
                break;
            ASSERT_EQ(rc, DF_READ_ERROR) << c.name << " read " << n;
            ASSERT_EQ(Image(), before) << c.name << " read " << n;
            ASSERT_LT(n, 50) << c.name;
        }
    }
}

TEST_F(KeyedRecordFileTest, AFailedReplaceKeepsTheOldRecordReadable)
{
    Open(kThreeRecords);
    FileFaults::FailWrite(2);
    EXPECT_EQ(Write(3, "a longer record"), DF_WRITE_ERROR);
    FileFaults::Reset();
    char buffer[32];
    std::uint16_t length = sizeof buffer;
    ASSERT_EQ(DfReadRecord(handle_, 3, buffer, length), DF_OK);
    EXPECT_EQ(std::string(buffer, length), "dd");
    EXPECT_EQ(FileSizeOf(name_), static_cast<std::int64_t>(kThreeRecords.size()));
    EXPECT_EQ(Write(3, "a longer record"), DF_OK);
    EXPECT_EQ(Walk(), "1=c 3=a longer record 5=ab ");
}

// Damaged and hostile files: every operation answers with a code, walks end,
// and an operation that fails changes nothing.
TEST_F(KeyedRecordFileTest, AHeaderWalkFindsWhatLookUpsByKeyFind)
{
    Open(kThreeRecords);
    std::string seen;
    auto note = [&seen](std::uint32_t key, std::uint32_t position, std::uint16_t length) {
        seen += std::to_string(key) + "@" + std::to_string(position) + ":" + std::to_string(length) + " ";
        return key < 3;
    };
    EXPECT_EQ(DfWalkHeaders(handle_, note), DF_OK);
    EXPECT_EQ(seen, "1@32:1 3@49:2 ");

    // Whatever the damage, the first visit of a key is the record a look-up
    // of that key finds, and a key never visited is one it does not find.
    const std::string images[] = {
        kThreeRecords,
        Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
            "01 00 00 00 | 1F 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"
            "03 00 00 00 | 0E 00 00 00 | 0E 00 00 00 | 01 00 | 9E FF | 62"),
        Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
            "05 00 00 00 | 1F 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"
            "02 00 00 00 | 00 00 00 00 | 0E 00 00 00 | 01 00 | 9E FF | 62"),
        Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
            "01 00 00 00 | F0 FF FF FF | 00 00 00 00 | 01 00 | 9F FF | 61"),
        Hex("44 46 | 04 00 00 00 | 00 00 00 00 | 00 00 00 00"),
    };
    for (std::size_t i = 0; i < std::size(images); ++i) {
        Open(images[i]);
        std::map<std::uint32_t, std::pair<std::uint32_t, std::uint16_t>> first;
        DfWalkHeaders(handle_, [&first](std::uint32_t key, std::uint32_t position, std::uint16_t length) {
            first.emplace(key, std::make_pair(position, length));
            return true;
        });
        for (std::uint32_t key = 0; key <= 6; ++key) {
            std::uint32_t position = 0;
            std::uint16_t length = 0;
            const bool found = DfRecordInfo(handle_, key, position, length) == DF_OK;
            const auto visited = first.find(key);
            ASSERT_EQ(found, visited != first.end()) << "image " << i << " key " << key;
            if (found) {
                EXPECT_EQ(position, visited->second.first) << "image " << i << " key " << key;
                EXPECT_EQ(length, visited->second.second) << "image " << i << " key " << key;
            }
        }
    }
}

TEST_F(KeyedRecordFileTest, DamagedFilesGiveCodesNotHangs)
{
    struct Case {
        const char* name;
        std::string image;
        int read;    // DfReadRecord of key 2
        int write;   // DfWriteRecord of key 2, "bb"
        int remove;  // DfDeleteRecord of key 2
        const char* walk;
    } cases[] = {
        {"record linked to itself",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
             "01 00 00 00 | 0E 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"two records in a loop",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
             "01 00 00 00 | 1F 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"
             "03 00 00 00 | 0E 00 00 00 | 0E 00 00 00 | 01 00 | 9E FF | 62"),
         DF_READ_ERROR, DF_OK, DF_READ_ERROR, "1=a <4>"},
        {"first record past the end", Hex("44 46 | 00 01 00 00 | 00 00 00 00 | 00 00 00 00"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"first record inside the header", Hex("44 46 | 04 00 00 00 | 00 00 00 00 | 00 00 00 00"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"first record at the largest offset", Hex("44 46 | F8 FF FF FF | 00 00 00 00 | 00 00 00 00"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"truncated record header",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00 | 02 00 00 00 00 00"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"length past the end",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
             "02 00 00 00 | 00 00 00 00 | 00 00 00 00 | 05 00 | 00 00 | 61"),
         DF_READ_ERROR, DF_READ_ERROR, DF_OK, "<4>"},
        {"next link far out",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
             "01 00 00 00 | F0 FF FF FF | 00 00 00 00 | 01 00 | 9F FF | 61"),
         DF_READ_ERROR, DF_READ_ERROR, DF_READ_ERROR, "<4>"},
        {"keys going down",
         Hex("44 46 | 0E 00 00 00 | 00 00 00 00 | 00 00 00 00"
             "05 00 00 00 | 1F 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"
             "02 00 00 00 | 00 00 00 00 | 0E 00 00 00 | 01 00 | 9E FF | 62"),
         DF_OK, DF_OK, DF_OK, "<4>"},
        {"free block linked to itself",
         Hex("44 46 | 00 00 00 00 | 0E 00 00 00 | 00 00 00 00"
             "07 00 00 00 | 0E 00 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"),
         DF_NOT_FOUND, DF_READ_ERROR, DF_OK, "<5>"},
        {"free block longer than the file",
         Hex("44 46 | 00 00 00 00 | 0E 00 00 00 | 00 00 00 00"
             "07 00 00 00 | 00 00 00 00 | 00 00 00 00 | 64 00 | 9F FF | 61"),
         DF_NOT_FOUND, DF_READ_ERROR, DF_OK, "<5>"},
        {"free link out of the file",
         Hex("44 46 | 00 00 00 00 | 0E 00 00 00 | 00 00 00 00"
             "07 00 00 00 | 00 10 00 00 | 00 00 00 00 | 01 00 | 9F FF | 61"),
         DF_NOT_FOUND, DF_READ_ERROR, DF_OK, "<5>"},
    };
    for (const Case& c : cases) {
        Open(c.image);
        char buffer[8];
        std::uint16_t length = sizeof buffer;
        EXPECT_EQ(DfReadRecord(handle_, 2, buffer, length), c.read) << c.name;
        EXPECT_EQ(Walk(), c.walk) << c.name;
        std::uint32_t previous = 0, next = 0;
        DfFindRecordLinks(handle_, 2, previous, next);
        DfFindRecord(handle_, 2);
        DfTakeFreeBlock(handle_, 60000);

        int rc = Write(2, "bb");
        EXPECT_EQ(rc, c.write) << c.name;
        if (rc != DF_OK) {
            EXPECT_EQ(Image(), c.image) << c.name;
        }
        Open(c.image);
        rc = DfDeleteRecord(handle_, 2);
        EXPECT_EQ(rc, c.remove) << c.name;
        if (rc != DF_OK) {
            EXPECT_EQ(Image(), c.image) << c.name;
        }
    }
}

}  // namespace
