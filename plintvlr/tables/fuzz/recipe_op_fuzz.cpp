// Reads arbitrary bytes as the recipe operation code of a page record, from a
// project file or a database uploaded from a panel, against a project whose
// groups hold tags of every value type. The reader must stay within the
// bytes; what it reads must encode into a code that reads back to the same
// operation and encodes into the same bytes again.
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/tables/recipe_groups.h"
#include "plintvlr/tables/recipe_op.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// Analog tags 1-6, one per data type in type order; digital tags need no record.
constexpr std::uint16_t kDigitalTag = 0x8001;
constexpr std::uint16_t kTextTag = 1 + kTypeText;

// A project of its own in a temporary program folder, made once per run.
class FuzzProject {
public:
    FuzzProject()
    {
        char pattern[] = "/tmp/plv-recipe-fuzz-XXXXXX";
        Check(::mkdtemp(pattern) != nullptr);
        folder_ = pattern;
        ::setenv("PLV_PROGRAM_DIR", folder_.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", (folder_ + "/profile").c_str(), 1);
        _QSglobals.SetProgramDirectory(folder_);
        _QSglobals.SetProjectDirectory("");
        adatabase& db = _QSglobals.NewDatabase();
        db.SetPanelType(14);
        Check(db.Create("FUZZ") == 1 && db.OpenProject("FUZZ") == 1);
        for (std::uint8_t type = kTypeUnsignedWord; type <= kTypeText; ++type) {
            atag tag;
            tag.SetDataType(type);
            const std::uint8_t reg[] = {static_cast<std::uint8_t>(type + 1), 0, 0, 0};
            tag.SetAddress(0, reg, 4, kAddressRegister);
            tag.SetName("T" + std::to_string(type));
            Check(tag.Write(type + 1u));
        }
    }
    ~FuzzProject()
    {
        _QSglobals.NewDatabase();
        std::filesystem::remove_all(folder_);
    }

private:
    std::string folder_;
};

void AddGroup(TRecipeArray& recipes, const std::string& name, const std::vector<std::uint16_t>& tags)
{
    TRecipeGroup group(name);
    for (std::uint16_t tag : tags)
        group.AddTag(tag);
    Check(recipes.Add(group) == 1);
}

// Groups 1-5; no group 6, as after a group was deleted.
void MakeGroups(TRecipeArray& recipes)
{
    AddGroup(recipes, "Mix", {1, kDigitalTag});
    AddGroup(recipes, "Numbers", {2, 3, 4, 5});
    AddGroup(recipes, "Texts", {kTextTag, kTextTag, 1});
    AddGroup(recipes, "Big", std::vector<std::uint16_t>(100, kTextTag));
    AddGroup(recipes, "Every", {1, 2, 3, 4, 5, kTextTag, kDigitalTag});
}

bool SameValue(const TTagValue& a, const TTagValue& b)
{
    return a.GetType() == b.GetType() && a == b;
}

bool SameOperation(const TRecipeOp& a, const TRecipeOp& b)
{
    if (a.GetGroupNumber() != b.GetGroupNumber() || a.GetFlags() != b.GetFlags() ||
        a.GetCompletionTag() != b.GetCompletionTag() || !SameValue(a.GetCompletionValue(), b.GetCompletionValue()) ||
        a.Values().size() != b.Values().size())
        return false;
    for (std::size_t i = 0; i < a.Values().size(); ++i)
        if (!SameValue(a.Values()[i], b.Values()[i]))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzProject project;
    TRecipeArray recipes;
    MakeGroups(recipes);

    // Each input lives in a buffer of exactly its size, so that a read past
    // it is one the sanitizers see.
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::size_t used = 0;
    const auto op = TRecipeOp::Decode(std::span<const std::uint8_t>(bytes.data(), bytes.size()), recipes, used);
    if (!op)
        return 0;
    Check(used >= 4 && used <= size);

    std::vector<std::uint8_t> code;
    op->Encode(code);
    Check(code.size() <= TRecipeOp::kMaxCodeSize);
    std::size_t usedAgain = 0;
    const auto again = TRecipeOp::Decode(code, recipes, usedAgain);
    Check(again && usedAgain == code.size() && SameOperation(*op, *again));
    std::vector<std::uint8_t> codeAgain;
    again->Encode(codeAgain);
    Check(codeAgain == code);

    std::vector<std::string> lines;
    op->PrintText(lines, [](std::uint16_t tag, std::string& name) {
        name = "T" + std::to_string(tag);
        return tag < 7;
    });
    Check(lines.size() <= 2);
    return 0;
}
