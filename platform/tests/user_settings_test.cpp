// A program's per-user settings: kept apart from the shared profile files,
// surviving a new settings object, mistyped values counting as unset.
#include "platform/base/user_settings.h"

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>

TEST(UserSettingsTest, IntegersSurviveAndStayApartFromProfileFiles)
{
    TempFolder folder;
    ScopedEnv profile("PLV_PROFILE_DIR", folder.Path().c_str());
    {
        TUserSettings settings("Brellcor", "QSTRANS");
        EXPECT_EQ(settings.GetInt("", "Port", 255), 255);
        EXPECT_TRUE(settings.WriteInt("", "Port", 2));
        EXPECT_TRUE(settings.WriteInt("", "x", -40));
    }
    TUserSettings again("Brellcor", "QSTRANS");
    EXPECT_EQ(again.GetInt("", "Port", 255), 2);
    EXPECT_EQ(again.GetInt(nullptr, "x", 0), -40);
    EXPECT_EQ(again.GetFilePath(), folder.Path() + "/Brellcor/QSTRANS.ini");
    // The shared profile file of the same name is another file.
    EXPECT_EQ(GetPrivateProfileInt("QSTRANS", "Port", 7, "QSTRANS.INI"), 7);
    EXPECT_FALSE(FileExists(folder.Path() + "/QSTRANS.INI"));
    EXPECT_EQ(TUserSettings("Other", "QSTRANS").GetInt("", "Port", 255), 255);
}

TEST(UserSettingsTest, MistypedValuesCountAsUnset)
{
    TempFolder folder;
    ScopedEnv profile("PLV_PROFILE_DIR", folder.Path().c_str());
    ASSERT_TRUE(MakeDir(folder.Path() + "/Brellcor"));
    ASSERT_TRUE(WriteWholeFile(folder.Path() + "/Brellcor/QSTRANS.ini",
                               "[QSTRANS]\na=12abc\nb=\nc= 17 \nd=+3\ne=-\nf=99999999999\ng=0x10\nh=-5\n"));
    TUserSettings settings("Brellcor", "QSTRANS");
    const std::pair<const char*, int> cases[] = {
        {"a", -1}, {"b", -1}, {"c", 17}, {"d", 3}, {"e", -1}, {"f", -1}, {"g", -1}, {"h", -5}, {"missing", -1},
    };
    for (const auto& [key, value] : cases)
        EXPECT_EQ(settings.GetInt("", key, -1), value) << key;
}

TEST(UserSettingsTest, PlatformIsTheNtFamily)
{
    EXPECT_EQ(GetPlatformId(), VER_PLATFORM_WIN32_NT);
}
