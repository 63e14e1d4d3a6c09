// Keyed record file: write, read, rewrite and walk tables of 1,000 and 10,000
// records of 40 to 200 bytes, keys in shuffled order. A lookup walks the chain
// from its head, so writes and reads grow with the square of the table.
#include "plintvlr/db/keyed_record_file.h"

#include "platform/base/files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Table {
    std::vector<std::uint32_t> keys;  // in writing order
    std::vector<std::uint16_t> lengths;
    std::vector<std::uint16_t> newLengths;
    std::vector<std::uint8_t> data;
};

const Table& MakeTable(std::size_t count)
{
    static std::vector<std::pair<std::size_t, Table>> made;
    for (const auto& [n, table] : made)
        if (n == count)
            return table;
    std::mt19937 random(static_cast<std::uint32_t>(count));
    std::uniform_int_distribution<int> length(40, 200);
    Table table;
    for (std::size_t i = 0; i < count; ++i) {
        table.keys.push_back(static_cast<std::uint32_t>(i * 3 + 1));
        table.lengths.push_back(static_cast<std::uint16_t>(length(random)));
        table.newLengths.push_back(static_cast<std::uint16_t>(length(random)));
    }
    std::shuffle(table.keys.begin(), table.keys.end(), random);
    for (int i = 0; i < 200; ++i)
        table.data.push_back(static_cast<std::uint8_t>(random()));
    made.emplace_back(count, std::move(table));
    return made.back().second;
}

// A scratch folder for the run, removed at exit.
struct ScratchFolder {
    std::string path;
    ScratchFolder()
    {
        char tmpl[] = "/tmp/plv-bench-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~ScratchFolder() { RemoveDirTree(path); }
};

std::string Folder()
{
    static ScratchFolder folder;
    return folder.path;
}

void WriteAll(int handle, const Table& table, const std::vector<std::uint16_t>& lengths)
{
    for (std::size_t i = 0; i < table.keys.size(); ++i)
        DfWriteRecord(handle, table.keys[i], table.data.data(), lengths[i]);
}

// A file holding the whole table, made once per size.
std::string Filled(std::size_t count)
{
    std::string name = Folder() + "/filled-" + std::to_string(count) + ".db3";
    if (!FileExists(name)) {
        DfCreate(name);
        int handle = DfOpen(name);
        WriteAll(handle, MakeTable(count), MakeTable(count).lengths);
        DfClose(handle);
    }
    return name;
}

void Write(benchmark::State& state)
{
    const Table& table = MakeTable(static_cast<std::size_t>(state.range(0)));
    const std::string name = Folder() + "/write.db3";
    for (auto _ : state) {
        state.PauseTiming();
        DfCreate(name);
        int handle = DfOpen(name);
        state.ResumeTiming();
        WriteAll(handle, table, table.lengths);
        DfClose(handle);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Read(benchmark::State& state)
{
    const Table& table = MakeTable(static_cast<std::size_t>(state.range(0)));
    int handle = DfOpenReadOnly(Filled(table.keys.size()));
    std::uint8_t buffer[256];
    for (auto _ : state) {
        for (std::uint32_t key : table.keys) {
            std::uint16_t length = sizeof buffer;
            benchmark::DoNotOptimize(DfReadRecord(handle, key, buffer, length));
        }
    }
    DfClose(handle);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every record again with a new length: shorter ones stay in their blocks,
// longer ones take a free block or the end of the file.
void Rewrite(benchmark::State& state)
{
    const Table& table = MakeTable(static_cast<std::size_t>(state.range(0)));
    const std::string source = Filled(table.keys.size());
    const std::string name = Folder() + "/rewrite.db3";
    for (auto _ : state) {
        state.PauseTiming();
        FileCopy(source, name);
        int handle = DfOpen(name);
        state.ResumeTiming();
        WriteAll(handle, table, table.newLengths);
        DfClose(handle);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Walk(benchmark::State& state)
{
    int handle = DfOpenReadOnly(Filled(static_cast<std::size_t>(state.range(0))));
    std::uint8_t buffer[256];
    for (auto _ : state) {
        std::uint16_t length = sizeof buffer;
        std::uint32_t key = 0, position = 0;
        int rc = DfFirstRecord(handle, buffer, length, key, position);
        while (rc == DF_OK && position != 0) {
            length = sizeof buffer;
            rc = DfNextRecord(handle, buffer, length, key, position);
        }
        benchmark::DoNotOptimize(rc);
    }
    DfClose(handle);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(Write)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Read)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Rewrite)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Walk)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
