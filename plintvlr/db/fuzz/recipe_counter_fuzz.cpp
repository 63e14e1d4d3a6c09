// The recipe-group use counts of a project, "rcpcount.wcf", a keyed record
// file that any project folder may bring: whatever its records say, loading
// ends, and the counts it keeps are one pair per group, in group order.
#include "plintvlr/db/fuzz/scratch_folder.h"
#include "plintvlr/db/id_counter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzProjectFolder();
    if (!WriteWholeFile(RecipeCounterPath(), std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    TIdCounter counter;
    counter.AddOne(7);
    counter.LoadAll();
    const auto& pairs = counter.Pairs();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        Check(pairs[i].id != 0);
        Check(i == 0 || pairs[i - 1].id < pairs[i].id);
    }
    return 0;
}
