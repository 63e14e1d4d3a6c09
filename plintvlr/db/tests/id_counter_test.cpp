#include "plintvlr/db/id_counter.h"

#include "platform/base/files.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class IdCounterTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        CreateAndOpen("COUNTS");
        file_ = ProjectPath("COUNTS") + "/rcpcount.wcf";
    }
    Bytes RecordOf(std::uint32_t key)
    {
        int handle = DfOpen(file_);
        EXPECT_GE(handle, 0);
        Bytes data(1024);
        std::uint16_t length = static_cast<std::uint16_t>(data.size());
        int code = DfReadRecord(handle, key, data.data(), length);
        DfClose(handle);
        if (code != 0)
            return {};
        data.resize(length);
        return data;
    }
    void WriteRecord(std::uint32_t key, const Bytes& data)
    {
        if (!FileExists(file_)) {
            ASSERT_EQ(DfCreate(file_), 0);
        }
        int handle = DfOpen(file_);
        ASSERT_GE(handle, 0);
        ASSERT_EQ(DfWriteRecord(handle, key, data.data(), static_cast<std::uint16_t>(data.size())), 0);
        DfClose(handle);
    }
    static std::vector<std::pair<int, int>> PairsOf(const TIdCounter& counter)
    {
        std::vector<std::pair<int, int>> pairs;
        for (const TIdCount& p : counter.Pairs())
            pairs.emplace_back(p.id, p.count);
        return pairs;
    }
    std::string file_;
};

TEST_F(IdCounterTest, CountsMergeAndStaySortedById)
{
    TIdCounter counter;
    EXPECT_EQ(counter.AddOne(3), 0);
    EXPECT_EQ(counter.AddOne(1), 0);
    EXPECT_EQ(counter.AddOne(3), 1);
    EXPECT_EQ(counter.Add({7, 5}), 2);
    EXPECT_EQ(counter.AddOne(0), -1);
    EXPECT_EQ(PairsOf(counter), (std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {7, 5}}));
}

TEST_F(IdCounterTest, SavesOneRecordPerPage)
{
    TIdCounter counter;
    counter.AddOne(3);
    counter.AddOne(3);
    counter.AddOne(1);
    ASSERT_TRUE(counter.Save(12));
    EXPECT_EQ(RecordOf(12), (Bytes{0x0C, 0x00, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x03, 0x00, 0x02, 0x00}));

    TIdCounter arrows;
    arrows.AddOne(2);
    ASSERT_TRUE(arrows.Save(10119));
    EXPECT_EQ(RecordOf(10119), (Bytes{0x87, 0x27, 0x01, 0x00, 0x02, 0x00, 0x01, 0x00}));

    // An empty counter removes the page's record.
    ASSERT_TRUE(TIdCounter().Save(12));
    EXPECT_TRUE(RecordOf(12).empty());
    EXPECT_FALSE(RecordOf(10119).empty());
}

TEST_F(IdCounterTest, SavingAnEmptyCounterCreatesAnEmptyFile)
{
    ASSERT_FALSE(FileExists(file_));
    ASSERT_TRUE(TIdCounter().Save(12));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(file_, contents));
    EXPECT_EQ(contents, std::string("DF\0\0\0\0\0\0\0\0\0\0\0\0", 14));
}

TEST_F(IdCounterTest, LoadingSumsTheWholeFile)
{
    TIdCounter counter;
    EXPECT_FALSE(counter.LoadAll());  // no file: no counts

    WriteRecord(1, {0x01, 0x00, 0x01, 0x00, 0x03, 0x00, 0x02, 0x00});
    WriteRecord(2, {0x02, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x00, 0x05, 0x00, 0x01, 0x00});
    ASSERT_TRUE(counter.LoadAll());
    EXPECT_EQ(PairsOf(counter), (std::vector<std::pair<int, int>>{{3, 3}, {5, 1}}));

    // A record too large for the loader (101 pairs) ends the load.
    Bytes big = {0x03, 0x00, 101, 0x00};
    for (int i = 1; i <= 101; ++i)
        big.insert(big.end(), {static_cast<std::uint8_t>(i), 0, 1, 0});
    WriteRecord(3, big);
    EXPECT_FALSE(counter.LoadAll());
    EXPECT_EQ(PairsOf(counter), (std::vector<std::pair<int, int>>{{3, 3}, {5, 1}}));

    // A record whose pair count runs past its end is not read beyond it.
    ASSERT_TRUE(TIdCounter().Save(3));
    WriteRecord(4, {0x04, 0x00, 0x09, 0x00, 0x08, 0x00, 0x01, 0x00});
    EXPECT_FALSE(counter.LoadAll());
}

TEST_F(IdCounterTest, RemovingAPage)
{
    TIdCounter counter;
    counter.AddOne(4);
    ASSERT_TRUE(counter.Save(7));
    EXPECT_TRUE(counter.RemovePage(7));
    EXPECT_FALSE(counter.RemovePage(7));
    EXPECT_TRUE(RecordOf(7).empty());
}

TEST_F(IdCounterTest, AFailedSaveKeepsTheOldCounts)
{
    TIdCounter counter;
    counter.AddOne(4);
    ASSERT_TRUE(counter.Save(7));
    const Bytes before = RecordOf(7);
    counter.AddOne(9);
    FileFaults::FailAllWritesFrom(1);
    EXPECT_FALSE(counter.Save(7));
    FileFaults::Reset();
    EXPECT_EQ(RecordOf(7), before);

    // More pairs than a record holds are refused rather than stored where the
    // loader would stop at them.
    for (std::uint16_t id = 10; id < 110; ++id)
        counter.AddOne(id);
    EXPECT_FALSE(counter.Save(7));
    EXPECT_EQ(RecordOf(7), before);
}

}  // namespace
