// The hand-off file as the configuration program leaves it, or leaves it out.
#include "qstrans/file_locations.h"

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>


namespace {

class FileLocationsTest : public ::testing::Test {
protected:
    TempFolder temp_;
    const std::string& folder_ = temp_.Path();
    ScopedEnv profile_{"PLV_PROFILE_DIR", temp_.Path().c_str()};
};

TEST_F(FileLocationsTest, ValuesAreReadWholeAndMissingKeysGiveABlank)
{
    CFileLocations none = ReadHandOffFile();
    EXPECT_EQ(none.databasePath, " ");
    EXPECT_EQ(none.systemPath, " ");

    // Written in capitals, read under the name in small letters: one file.
    const std::string longPath = "/plant/" + std::string(300, 'd') + "/DBASE/LINE1/";
    ASSERT_TRUE(WriteWholeFile(folder_ + "/qstrans.ini",
                               "[File Locations]\nDatabasePath=" + longPath +
                                   "\nDatabaseName=LINE1.DTB\nProtocolPath=/plant/PROTOCOL/\n"
                                   "[Quellstor Type]\nQuellstorType=QSE\n"));
    std::vector<std::string> refused;
    CFileLocations l = ReadHandOffFile(&refused);
    EXPECT_EQ(l.databasePath, longPath);
    EXPECT_EQ(l.databaseName, "LINE1.DTB");
    EXPECT_EQ(l.protocolPath, "/plant/PROTOCOL/");
    EXPECT_EQ(l.systemPath, " ");
    EXPECT_TRUE(refused.empty());
}

TEST_F(FileLocationsTest, AValueTooLongIsRefusedNotCut)
{
    const std::string fits(CFileLocations::kLongestValue, 'p');
    const std::string tooLong(CFileLocations::kLongestValue + 1, 'p');
    ASSERT_TRUE(WriteWholeFile(folder_ + "/QSTRANS.INI",
                               "[File Locations]\nDatabasePath=" + tooLong + "\nDatabaseName=LINE1.DTB\nSystemPath=" +
                                   fits + "\n"));
    std::vector<std::string> refused;
    CFileLocations l = ReadHandOffFile(&refused);
    EXPECT_EQ(l.databasePath, " ");
    EXPECT_EQ(l.databaseName, "LINE1.DTB");
    EXPECT_EQ(l.systemPath, fits);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("DatabasePath"), std::string::npos) << refused[0];
    EXPECT_NE(refused[0].find("4095"), std::string::npos) << refused[0];
}

}  // namespace
