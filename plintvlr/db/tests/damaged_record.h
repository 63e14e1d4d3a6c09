#pragma once
// Test helper: damages a stored record on disk so that its data no longer
// matches its check, as a bad sector or an editor would.

#include "platform/base/files.h"
#include "plintvlr/db/keyed_record_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

inline void DamageRecord(const std::string& file, std::uint32_t key)
{
    const int handle = DfOpen(file);
    ASSERT_GE(handle, 0);
    const std::uint32_t at = DfFindRecord(handle, key);
    ASSERT_NE(at, 0u);
    // The third data byte, behind the 16-byte record header.
    const std::int64_t offset = static_cast<std::int64_t>(at) + 16 + 2;
    std::uint8_t byte = 0;
    ASSERT_EQ(FileReadAt(handle, &byte, 1, offset), 1);
    byte ^= 0x5A;
    ASSERT_EQ(FileWriteAt(handle, &byte, 1, offset), 1);
    DfClose(handle);
}
