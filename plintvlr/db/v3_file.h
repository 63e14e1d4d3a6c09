#pragma once
// Conversion of a project of the previous file generation: its tables
// "dtb-%.2x.dbs" become the current "dtb-%.2x.db3" files beside them, record
// by record (RECORD), tags rebuilt and the communications blocks whose
// addresses the tags took over left out. The old files stay as they were.

#include "plintvlr/db/conversion_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Per communications block number: 1 once a tag took over its address.
// Numbers from 1000 up have no entry; such a block stays in its table.
using BlockUsedArray = std::array<std::uint16_t, 1000>;

// One converted table being written.
class V3FILE {
public:
    static constexpr int kCannotOpen = 12;

    V3FILE() = default;
    ~V3FILE();
    V3FILE(const V3FILE&) = delete;
    V3FILE& operator=(const V3FILE&) = delete;

    // Creates the table's new file in the folder, empty, and opens it: 0,
    // or kCannotOpen.
    int Create(std::string_view targetFolder, int table, BlockUsedArray* blockUsed);
    // Converts one old record and writes it under its key: the keyed record
    // file's code, 0 also for a record left out, -1 when the record cannot
    // be converted (an old tag record too short for its fields). The records
    // of one table come from one source folder.
    int ConvertRecord(std::string_view sourceFolder, std::uint32_t key, std::span<const std::uint8_t> old);
    const std::string& GetFileName() const { return fileName_; }

private:
    int handle_ = -1;
    int table_ = 0;
    std::string fileName_;
    BlockUsedArray* blockUsed_ = nullptr;
    // One converter for all of the table's records, made with the first, so
    // that the old port settings and block table are read once, not once
    // per record.
    std::optional<RECORD> record_;
};

// Converts every old table of the source folder into the target folder,
// tables 1 and 2 before table 3. 0 when every table converted; -1 when one
// could not be read, created or converted, and then the new files written
// so far are removed again, so that the project is not taken for converted.
int ConvertOldDatabase(std::string_view sourceFolder, std::string_view targetFolder);
