#include "plintvlr/comms/option_flags.h"

#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class OptionFlagsTest : public ProjectFixture {};

TEST_F(OptionFlagsTest, NewProjectsOfThreeTypesGetTheRecord)
{
    RegisterCommsCoreServices();
    const Bytes defaults = {0x7E, 0x00, 0x83, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int type : {9, 11, 14, 15, 21}) {
        SCOPED_TRACE(type);
        const std::string name = "T" + std::to_string(type);
        adatabase& db = CreateAndOpen(name, type);
        const Bytes record = Read(db, 8, 126);
        if (type == 9 || type == 11 || type == 14)
            EXPECT_EQ(record, defaults);
        else
            EXPECT_TRUE(record.empty());
        // A text panel's project has gained its COMMS_ERR tag.
        EXPECT_EQ(db.IsModified(), type >= 15);
    }
}

TEST_F(OptionFlagsTest, FlagOperations)
{
    CreateAndOpen("FLAGS", 14);
    OptionFlagsRecord record;
    InitOptionFlagsRecord(record);
    EXPECT_EQ(ReadOptionFlagsRecord(record), 5);
    SetOptionFlagDefaults(record);
    EXPECT_EQ(record[2], 0xFD);
    SetOptionFlag(record, kOptionIgnoreFunctionKeys, false);
    EXPECT_FALSE(TestOptionFlag(record, kOptionIgnoreFunctionKeys));
    EXPECT_FALSE(TestOptionFlag(record, kOptionLatchAlarmLog));
    EXPECT_TRUE(TestOptionFlag(record, kOptionLatchAlarmLog | 0x04));
    ASSERT_EQ(WriteOptionFlagsRecord(record), 0);

    OptionFlagsRecord back;
    InitOptionFlagsRecord(back);
    ASSERT_EQ(ReadOptionFlagsRecord(back), 0);
    EXPECT_EQ(back[2], 0xFC);

    CreateAndOpen("OTHER", 15);
    InitOptionFlagsRecord(record);
    SetOptionFlagDefaults(record);
    EXPECT_EQ(record[2], 0x83);
}

}  // namespace
