// The project database at the size of the largest panel model: creating a
// project, filling its tables to that model's limits through PutRecord,
// closing it (which saves) and opening it again.

#include "platform/base/files.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The largest model's limits; records of the sizes real projects have.
struct TableFill {
    int table;
    int count;
    std::uint16_t length;
};

std::vector<TableFill> LargestModelFill()
{
    const Quellstor largest(13);
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

int Fill(adatabase& db)
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

std::string NextName()
{
    static int n = 0;
    return "P" + std::to_string(++n);
}

void BM_CreateProject(benchmark::State& state)
{
    BenchFolder folder;
    for (auto _ : state) {
        adatabase db;
        db.SetPanelType(14);
        benchmark::DoNotOptimize(db.Create(NextName()));
    }
}
BENCHMARK(BM_CreateProject)->Unit(benchmark::kMillisecond);

void BM_FillToLargestModel(benchmark::State& state)
{
    BenchFolder folder;
    int records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string name = NextName();
        adatabase& db = _QSglobals.NewDatabase();
        db.Create(name);
        db.OpenProject(name);
        state.ResumeTiming();
        records = Fill(db);
        state.PauseTiming();
        db.SetModified(false);
        _QSglobals.NewDatabase();
        state.ResumeTiming();
    }
    state.counters["records"] = records;
    state.counters["puts/s"] = benchmark::Counter(static_cast<double>(records) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillToLargestModel)->Unit(benchmark::kMillisecond)->Iterations(3);

// A project filled to the largest model's limits, made once per benchmark.
std::string MakeFullProject()
{
    const std::string name = NextName();
    adatabase& db = _QSglobals.NewDatabase();
    db.Create(name);
    db.OpenProject(name);
    Fill(db);
    _QSglobals.NewDatabase();
    return name;
}

void BM_CloseFullProject(benchmark::State& state)
{
    BenchFolder folder;
    const std::string name = MakeFullProject();
    for (auto _ : state) {
        state.PauseTiming();
        adatabase& db = _QSglobals.NewDatabase();
        db.OpenProject(name);
        db.SetModified(true);
        state.ResumeTiming();
        db.Close();  // saves the settings and the project information
    }
}
BENCHMARK(BM_CloseFullProject)->Unit(benchmark::kMillisecond);

void BM_OpenFullProject(benchmark::State& state)
{
    BenchFolder folder;
    const std::string name = MakeFullProject();
    for (auto _ : state) {
        state.PauseTiming();
        adatabase& db = _QSglobals.NewDatabase();
        state.ResumeTiming();
        benchmark::DoNotOptimize(db.OpenProject(name));
        state.PauseTiming();
        db.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenFullProject)->Unit(benchmark::kMillisecond);

void BM_ReadFullTableWalk(benchmark::State& state)
{
    BenchFolder folder;
    const std::string name = MakeFullProject();
    adatabase& db = _QSglobals.NewDatabase();
    db.OpenProject(name);
    std::vector<std::uint8_t> buffer(65535);
    for (auto _ : state) {
        int records = 0;
        std::uint32_t key = 0;
        std::uint32_t position = 0;
        bool first = true;
        for (;;) {
            std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
            if (db.NextAnalogTag(first, buffer.data(), length, key, position) != 0)
                break;
            first = false;
            ++records;
            if (position == 0)
                break;
        }
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_ReadFullTableWalk)->Unit(benchmark::kMillisecond);

}  // namespace
