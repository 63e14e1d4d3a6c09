// Loading a settings file of 10,000 variables, as the library does when it
// sets up its shared memory: the text is parsed and every entry defined in the
// variable table. The table finds a name through the process's index; beside
// it the same load finding every name by walking the list, as a table without
// an index does.

#include <benchmark/benchmark.h>

#include <string>

#include "varnht32/src/settings_file.h"
#include "varnht32/src/variable_table.h"
#include "varnht32/tests/arena.h"

namespace {

std::string TenThousandVariables() {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "v" + std::to_string(i) + "\nI " + std::to_string(i) + "\n";
  return text;
}

void Load(benchmark::State& state, bool indexed) {
  const std::string text = TenThousandVariables();
  vnh_test::Arena arena(8u << 20);
  vnh::VariableIndex index;
  for (auto _ : state) {
    arena.Reset();
    vnh::VariableTableControl control{};
    vnh::VariableTable table(arena.heap(), control, indexed ? &index : nullptr);
    table.SetUp();
    vnh::SettingsText parsed = vnh::ParseSettings(text);
    for (const vnh::SettingsEntry& entry : parsed.entries) table.DefineFromFile(entry, 0, nullptr);
    benchmark::DoNotOptimize(table.count());
  }
}

void LoadIndexed(benchmark::State& state) { Load(state, true); }
void LoadWalkingTheList(benchmark::State& state) { Load(state, false); }

}  // namespace

BENCHMARK(LoadIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadWalkingTheList)->Unit(benchmark::kMillisecond);
