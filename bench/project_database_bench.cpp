// The project database at the size of the largest panel model: creating a
// project, filling its tables to that model's limits through PutRecord,
// closing it (which saves) and opening it again.

#include "bench/largest_project.h"
#include "platform/base/files.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

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
