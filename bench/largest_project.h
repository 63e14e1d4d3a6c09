#pragma once
// The largest project of the benchmarks: a project filled through PutRecord
// to the limits of the largest panel model, with records of the sizes real
// projects have, in a program folder of its own.

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// The panel type whose limits the largest project fills.
constexpr int kLargestPanelType = 13;

// The largest model's limits; records of the sizes real projects have.
struct TableFill {
    int table;
    int count;
    std::uint16_t length;
};

inline std::vector<TableFill> LargestModelFill()
{
    const Quellstor largest(kLargestPanelType);
    return {
        {kTableAnalogTags, largest.GetMaxAnalogTags(), 48},
        {kTableDigitalTags, largest.GetMaxDigitalTags(), 36},
        {kTableCommsBlocks, largest.GetMaxCommsBlocks(), 22},
        {kTablePages, largest.GetMaxPages(), 420},
        {kTableMessages, 100, 300},
        {kTableOverviewGroups, largest.GetMaxOverviewGroups(), 40},
        {kTableRecipes, 100, 60},
        {kTableBitmaps, 50, 1500},
    };
}

class BenchFolder {
public:
    BenchFolder()
    {
        char pattern[] = "/tmp/plv-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        ::setenv("PLV_PROFILE_DIR", (folder_ + "/profile").c_str(), 1);
        _QSglobals.SetProgramDirectory(folder_);
    }
    ~BenchFolder()
    {
        _QSglobals.NewDatabase();
        std::filesystem::remove_all(folder_);
    }

private:
    std::string folder_;
};

inline int Fill(adatabase& db)
{
    int records = 0;
    std::vector<std::uint8_t> data(2000);
    for (const TableFill& fill : LargestModelFill()) {
        for (int key = 1; key <= fill.count; ++key) {
            data[0] = static_cast<std::uint8_t>(key);
            data[1] = static_cast<std::uint8_t>(key >> 8);
            for (std::size_t i = 2; i < fill.length; ++i)
                data[i] = static_cast<std::uint8_t>(key * 7 + i);
            if (db.PutRecord(fill.table, static_cast<std::uint32_t>(key), data.data(), fill.length) == 0)
                ++records;
        }
    }
    return records;
}

inline std::string NextName()
{
    static int n = 0;
    return "P" + std::to_string(++n);
}

// A project filled to the largest model's limits, made once per benchmark.
inline std::string MakeFullProject()
{
    const std::string name = NextName();
    adatabase& db = _QSglobals.NewDatabase();
    db.Create(name);
    db.OpenProject(name);
    Fill(db);
    _QSglobals.NewDatabase();
    return name;
}
