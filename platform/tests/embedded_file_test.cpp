#include "platform/base/embedded_file.h"

#include <gtest/gtest.h>

#include <vector>

std::span<const EmbeddedFile> TestEmbeddedFiles();

TEST(EmbeddedFileTest, CarriesEachFileByteForByteUnderItsName)
{
    auto files = TestEmbeddedFiles();
    ASSERT_EQ(files.size(), 2u);

    const EmbeddedFile* four = FindEmbeddedFile(files, "four.bin");
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(four->data, four->data + four->size),
              (std::vector<unsigned char>{'A', 'B', 0x00, 0xFF}));

    const EmbeddedFile* empty = FindEmbeddedFile(files, "empty.bin");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0u);

    EXPECT_EQ(FindEmbeddedFile(files, "missing.bin"), nullptr);
}
