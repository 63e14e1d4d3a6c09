// The file error text names the file and gives the system's reason.
#include "platform/base/file_error.h"

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(FileErrorTest, TextNamesTheFileAndTheReason)
{
    TempFolder folder;
    const std::string missing = folder.Path() + "/LINE1.DTB";
    errno = 0;
    ASSERT_LT(FileOpen(missing, FileMode::ReadOnly), 0);
    EXPECT_EQ(FileErrorText(missing, errno), missing + ": No such file or directory");
    EXPECT_EQ(FileErrorText("C:\\X.DTB", EACCES), "C:\\X.DTB: Permission denied");
    EXPECT_EQ(FileErrorText("X.DTB", 0), "X.DTB: Unknown error");
}
