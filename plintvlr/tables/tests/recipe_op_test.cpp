#include "plintvlr/tables/recipe_op.h"

#include "plintvlr/db/atag.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/tables/recipe_groups.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Analog tags of the project, one per data type, and a digital tag id.
constexpr std::uint16_t kUnsignedWordTag = 1;
constexpr std::uint16_t kUnsignedDwordTag = 2;
constexpr std::uint16_t kSignedDwordTag = 3;
constexpr std::uint16_t kFloatTag = 4;
constexpr std::uint16_t kSignedWordTag = 5;
constexpr std::uint16_t kTextTag = 6;
constexpr std::uint16_t kDigitalTag = 0x8001;

class RecipeOpTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        CreateAndOpen("RECIPEOP", 14);
        WriteAnalogTag(kUnsignedWordTag, kTypeUnsignedWord);
        WriteAnalogTag(kUnsignedDwordTag, kTypeUnsignedDword);
        WriteAnalogTag(kSignedDwordTag, kTypeSignedDword);
        WriteAnalogTag(kFloatTag, kTypeFloat);
        WriteAnalogTag(kSignedWordTag, kTypeSignedWord);
        WriteAnalogTag(kTextTag, kTypeText);
        AddGroup("One", {kUnsignedWordTag});
        AddGroup("Two", {kSignedWordTag});
        AddGroup("Mix", {kUnsignedWordTag, kDigitalTag});  // number 3
        AddGroup("Texts", {kTextTag});                      // number 4
    }

    static void WriteAnalogTag(std::uint16_t number, std::uint8_t type)
    {
        atag tag;
        tag.SetDataType(type);
        const std::uint8_t reg[] = {static_cast<std::uint8_t>(number), 0, 0, 0};
        tag.SetAddress(0, reg, 4, kAddressRegister);
        tag.SetName("T" + std::to_string(number));
        ASSERT_TRUE(tag.Write(number));
    }

    void AddGroup(const std::string& name, std::vector<std::uint16_t> tags)
    {
        TRecipeGroup group(name);
        for (std::uint16_t tag : tags)
            group.AddTag(tag);
        ASSERT_EQ(recipes_.Add(group), 1);
    }

    TRecipeGroup* Group(std::uint16_t number) { return recipes_.FindByNumber(number); }
    int Uses(std::uint16_t number) { return recipes_.FindByNumber(number)->GetUseCount(); }

    static Bytes Encode(const TRecipeOp& op)
    {
        Bytes code;
        op.Encode(code);
        return code;
    }

    std::unique_ptr<TRecipeOp> Decode(const Bytes& code, std::size_t& used)
    {
        return TRecipeOp::Decode(code, recipes_, used);
    }

    TRecipeArray recipes_;
};

TEST_F(RecipeOpTest, ValueTypesFollowTheTagsDataTypes)
{
    const std::pair<std::uint16_t, std::uint32_t> cases[] = {
        {kDigitalTag, kValueByte},
        {0x8123, kValueByte},  // a digital tag need not exist
        {kUnsignedWordTag, kValueUnsigned16},
        {kSignedWordTag, kValueSigned16},
        {kUnsignedDwordTag, kValueUnsigned32},
        {kSignedDwordTag, kValueSigned32},
        {kFloatTag, kValueFloat},
        {kTextTag, kValueText},
        {40, kValueUnsigned16},  // no record: a new tag is an Unsigned Word
    };
    for (const auto& [tag, type] : cases)
        EXPECT_EQ(TRecipeOp::ValueTypeOfTag(tag), type) << tag;
}

TEST_F(RecipeOpTest, CodesAreLaidOutByTheFlags)
{
    struct Case {
        const char* name;
        std::function<void(TRecipeOp&)> fill;
        const char* code;
        bool decodesAlike;
    };
    const Case cases[] = {
        {"load only",
         [](TRecipeOp& op) {
             op.SetLoad(true);
             op.Values() = {TTagValue(std::uint16_t{1200}), TTagValue(std::uint8_t{1})};
         },
         "1C 26 | 0300 | 0300 | B004 01", true},
        {"transfer only",
         [](TRecipeOp& op) {
             op.SetTransfer(true);
             op.SetCompletionTag(kSignedWordTag);
             op.SetCompletionValue(TTagValue(std::int16_t{-1}));
         },
         "1C 27 | 0300 | 0500 | FFFF0000", true},
        {"neither flag", [](TRecipeOp&) {}, "1C 27 | 0000 | 0000 | 00000000", false},
        {"load and transfer",
         [](TRecipeOp& op) {
             op.SetLoad(true);
             op.SetTransfer(true);
             op.SetCompletionTag(kDigitalTag);
             op.SetCompletionValue(TTagValue(std::uint8_t{1}));
             op.Values() = {TTagValue(std::uint16_t{7}), TTagValue()};
         },
         // The digital tag's value has no payload yet: it is written as nothing.
         "1C 28 | 0300 | 0180 | 01000000 | 0200 | 0700", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRecipeOp op(recipes_, Group(3));
        c.fill(op);
        const Bytes expected = HexVector(c.code);
        EXPECT_EQ(Encode(op), expected);

        std::size_t used = 0;
        const auto decoded = Decode(expected, used);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(used, expected.size());
        if (c.decodesAlike) {
            EXPECT_EQ(Encode(*decoded), expected);
            EXPECT_EQ(decoded->GetGroupNumber(), 3);
        } else {
            EXPECT_EQ(decoded->GetGroup(), nullptr);
            EXPECT_EQ(decoded->GetFlags(), 0u);
        }
    }
}

TEST_F(RecipeOpTest, TextValuesCarryTheirNul)
{
    TRecipeOp op(recipes_, Group(4));
    op.SetLoad(true);
    op.SetTransfer(true);
    op.Values() = {TTagValue("AB")};
    const Bytes code = HexVector("1C 28 | 0400 | 0000 | 00000000 | 0300 | 414200");
    EXPECT_EQ(Encode(op), code);
    std::size_t used = 0;
    const auto decoded = Decode(code, used);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(used, code.size());
    std::string text;
    ASSERT_EQ(decoded->Values().size(), 1u);
    ASSERT_TRUE(decoded->Values()[0].GetString(text));
    EXPECT_EQ(text, "AB");
    EXPECT_EQ(Encode(*decoded), code);

    // A completion tag of type text sends an empty value: its word is 0.
    op.SetCompletionTag(kTextTag);
    op.SetCompletionValue(TTagValue("AB"));
    EXPECT_EQ(Encode(op), HexVector("1C 28 | 0400 | 0600 | 00000000 | 0300 | 414200"));

    // The largest code: 100 text tags of 32 characters each.
    TRecipeGroup big("Big");
    for (int i = 0; i < 100; ++i)
        big.AddTag(kTextTag);
    ASSERT_EQ(recipes_.Add(big), 1);
    TRecipeOp full(recipes_);
    full.SetGroup(recipes_.FindByName("Big"));
    full.SetLoad(true);
    full.SetTransfer(true);
    for (TTagValue& value : full.Values())
        value = TTagValue(std::string(40, 'q'));
    const Bytes fullCode = Encode(full);
    EXPECT_EQ(fullCode.size(), TRecipeOp::kMaxCodeSize);
    const auto again = Decode(fullCode, used);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Values().size(), 100u);
    EXPECT_EQ(Encode(*again), fullCode);
}

TEST_F(RecipeOpTest, DecodingReadsWhatTheCodeHolds)
{
    struct Case {
        const char* name;
        const char* code;
        std::size_t used;
        std::uint16_t group;
        std::uint32_t flags;
        std::size_t values;
        const char* encoded;
    };
    const Case cases[] = {
        // A count past the group's payloads: the rest is skipped.
        {"long count", "1C 26 | 0300 | 0500 | B004 01 EEEE | 99", 11, 3, TRecipeOp::kLoad, 2,
         "1C 26 | 0300 | 0300 | B004 01"},
        // A count that ends after the first value: the second stays missing.
        {"short count", "1C 26 | 0300 | 0200 | B004", 8, 3, TRecipeOp::kLoad, 1, "1C 26 | 0300 | 0200 | B004"},
        {"deleted group, transfer", "1C 27 | 0900 | 0500 | FFFF0000", 10, 0, 0, 0, "1C 27 | 0000 | 0000 | 00000000"},
        {"deleted group, load", "1C 26 | 0900 | 0300 | B004 01", 9, 0, TRecipeOp::kLoad, 0, "1C 26 | 0000 | 0000"},
        {"deleted group, both", "1C 28 | 0900 | 0500 | FFFF0000 | 0100 | 01", 13, 0, TRecipeOp::kLoad, 0,
         "1C 26 | 0000 | 0000"},
        // Any sub-code but 38 and 40 asks for a transfer.
        {"other sub-code", "1C 30 | 0300 | 0500 | FFFF0000 | 77", 10, 3, TRecipeOp::kTransfer, 0,
         "1C 27 | 0300 | 0500 | FFFF0000"},
        {"group 0", "1C 26 | 0000 | 0000", 6, 0, TRecipeOp::kLoad, 0, "1C 26 | 0000 | 0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t used = 0;
        const auto op = Decode(HexVector(c.code), used);
        ASSERT_TRUE(op);
        EXPECT_EQ(used, c.used);
        EXPECT_EQ(op->GetGroupNumber(), c.group);
        EXPECT_EQ(op->GetFlags(), c.flags);
        EXPECT_EQ(op->Values().size(), c.values);
        EXPECT_EQ(Encode(*op), HexVector(c.encoded));
    }
    std::size_t used = 0;
    const auto signedValue = Decode(HexVector("1C 27 | 0300 | 0500 | FFFF0000"), used);
    ASSERT_TRUE(signedValue);
    long double value = 0;
    ASSERT_TRUE(signedValue->GetCompletionValue().GetAsLongDouble(value));
    EXPECT_EQ(value, -1);
}

TEST_F(RecipeOpTest, DamagedCodesAreRefused)
{
    const char* codes[] = {
        "",
        "1C",
        "1C 26 03",
        "1C 27 | 0300 | 0500 | FFFF00",         // transfer fields cut short
        "1C 26 | 0300",                         // no count
        "1C 26 | 0300 | 05",                    // half a count
        "1C 26 | 0300 | 0500 | B004 01",        // a count past the bytes given
        "1C 26 | 0300 | 0100 | B004 01",        // a word across the end of the count
        "1C 26 | 0400 | 0200 | 4142 00",        // a text whose NUL lies past the count
        "1C 28 | 0400 | 0000 | 00000000 | 0300 | 414243",  // a text without its NUL
    };
    for (const char* code : codes) {
        SCOPED_TRACE(code);
        // Each code lives in a buffer of exactly its size.
        const Bytes bytes = HexVector(code);
        std::size_t used = 77;
        EXPECT_FALSE(Decode(bytes, used));
        EXPECT_EQ(used, 77u);
    }
    for (std::uint16_t number : {3, 4})
        EXPECT_EQ(Uses(number), 0);
}

TEST_F(RecipeOpTest, UseCountsFollowTheOperations)
{
    std::unique_ptr<TRecipeOp> op, copy, held, dropped, decoded;
    struct Step {
        const char* what;
        std::function<void()> act;
        int mix;  // group 3
        int two;  // group 2
    };
    const Step steps[] = {
        {"construct with the group", [&] { op = std::make_unique<TRecipeOp>(recipes_, Group(3)); }, 1, 0},
        {"copy", [&] { copy = std::make_unique<TRecipeOp>(*op); }, 2, 0},
        {"destroy the copy", [&] { copy.reset(); }, 1, 0},
        {"move to another group", [&] { op->SetGroup(Group(2)); }, 0, 1},
        {"set the same group again", [&] { op->SetGroup(Group(2)); }, 0, 1},
        {"move back", [&] { op->SetGroup(Group(3)); }, 1, 0},
        {"drop the use", [&] { op->SetHoldsUse(false); }, 0, 0},
        {"drop it again", [&] { op->SetHoldsUse(false); }, 0, 0},
        {"copy without a use", [&] { copy = std::make_unique<TRecipeOp>(*op); }, 0, 0},
        {"destroy that copy", [&] { copy.reset(); }, 0, 0},
        {"take the use again", [&] { op->SetHoldsUse(true); }, 1, 0},
        {"decode", [&] {
             std::size_t used = 0;
             decoded = Decode(HexVector("1C 26 | 0300 | 0000"), used);
         }, 1, 0},
        {"assign a holder of another group", [&] {
             held = std::make_unique<TRecipeOp>(recipes_, Group(2));
             *op = *held;
         }, 0, 2},
        {"assign it to itself", [&] { *op = *op; }, 0, 2},
        {"an operation on the undo stack", [&] {
             dropped = std::make_unique<TRecipeOp>(recipes_, Group(3));
             dropped->SetHoldsUse(false);
         }, 0, 2},
        // Assignment copies the holds-use flag: the old use goes under the
        // old flag, the new one is taken under the copied flag.
        {"assign the dropped one to a holder", [&] { *held = *dropped; }, 0, 1},
        {"assign a holder to the dropped one", [&] { *dropped = *op; }, 0, 2},
        {"clear the group", [&] { op->SetGroup(nullptr); }, 0, 1},
        {"destroy all", [&] {
             op.reset();
             held.reset();
             dropped.reset();
         }, 0, 0},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(Uses(3), step.mix) << step.what;
        EXPECT_EQ(Uses(2), step.two) << step.what;
    }
    // A decoded operation's use was counted when its page was read; giving
    // it back is how the count falls when the page goes.
    decoded.reset();
    EXPECT_EQ(Uses(3), -1);
}

TEST_F(RecipeOpTest, OperationsKeepTheirGroupsWhileTheArrayChanges)
{
    TRecipeOp one(recipes_, Group(1));
    TRecipeOp mix(recipes_, Group(3));
    TRecipeOp undone(recipes_, Group(2));  // its element waits on the undo stack
    undone.SetHoldsUse(false);
    undone.SetTransfer(true);

    // Enough groups that the array's storage moves.
    for (int i = 0; i < 40; ++i) {
        TRecipeGroup group("More" + std::to_string(i));
        ASSERT_EQ(recipes_.Add(group), 1);
    }
    EXPECT_EQ(one.GetGroup()->GetName(), "One");
    EXPECT_EQ(mix.GetGroup()->GetName(), "Mix");
    EXPECT_EQ(Uses(1), 1);
    EXPECT_EQ(Uses(2), 0);
    EXPECT_EQ(Uses(3), 1);

    // Nothing uses group 2 any more, so it may go; the groups behind it move.
    ASSERT_EQ(recipes_.Remove(Db(), "Two"), 1);
    EXPECT_EQ(undone.GetGroup(), nullptr);
    EXPECT_EQ(undone.GetGroupNumber(), 0);
    EXPECT_EQ(Encode(undone), HexVector("1C 27 | 0000 | 0000 | 00000000"));
    EXPECT_EQ(mix.GetGroup()->GetName(), "Mix");
    mix.SetHoldsUse(false);
    mix.SetHoldsUse(true);
    EXPECT_EQ(Uses(3), 1);

    // A new group takes the number; the restored element now names it.
    TRecipeGroup fresh("Fresh");
    ASSERT_EQ(recipes_.Add(fresh), 1);
    ASSERT_EQ(fresh.GetNumber(), 2);
    undone.SetHoldsUse(true);
    EXPECT_EQ(undone.GetGroup()->GetName(), "Fresh");
    EXPECT_EQ(Uses(2), 1);
}

TEST_F(RecipeOpTest, ValuesFollowTheGroup)
{
    TRecipeOp op(recipes_);
    EXPECT_FALSE(op.HasUnsetValue());
    op.SetGroup(Group(3));
    ASSERT_EQ(op.Values().size(), 2u);
    EXPECT_TRUE(op.HasUnsetValue());
    op.Values()[0] = TTagValue(std::uint16_t{5});
    op.Values()[1] = TTagValue(std::uint8_t{0});
    EXPECT_FALSE(op.HasUnsetValue());
    op.ClearValues();
    EXPECT_EQ(op.Values().size(), 2u);
    EXPECT_TRUE(op.HasUnsetValue());
    op.SetGroup(Group(4));
    EXPECT_EQ(op.Values().size(), 1u);

    TIdCounter counter;
    op.CountRecipeUse(counter);
    op.CountRecipeUse(counter);
    TRecipeOp(recipes_).CountRecipeUse(counter);
    ASSERT_EQ(counter.Pairs().size(), 1u);
    EXPECT_EQ(counter.Pairs()[0].id, 4);
    EXPECT_EQ(counter.Pairs()[0].count, 2);
}

TEST_F(RecipeOpTest, PrintTextNamesTheGroupAndCompletionTag)
{
    const TagNameLookup lookup = [](std::uint16_t tag, std::string& name) {
        name = tag == kSignedWordTag ? "Speed" : "no tag";
        return tag == kSignedWordTag;
    };
    struct Case {
        const char* name;
        bool withGroup;
        bool load;
        bool transfer;
        std::uint16_t tag;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"load", true, true, false, kSignedWordTag, {"Load Mix"}},
        {"both, no tag", true, true, true, 0, {"Load/transfer Mix"}},
        {"transfer", true, false, true, kSignedWordTag, {"Transfer Mix", "Completion tag: Speed"}},
        {"gone tag", true, true, true, 33, {"Load/transfer Mix", "Completion tag: no tag"}},
        {"no flag", true, false, false, 0, {}},
        {"no group", false, true, true, kSignedWordTag, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRecipeOp op(recipes_, c.withGroup ? Group(3) : nullptr);
        op.SetLoad(c.load);
        op.SetTransfer(c.transfer);
        op.SetCompletionTag(c.tag);
        std::vector<std::string> lines = {"before"};
        op.PrintText(lines, lookup);
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.lines);
    }
}

}  // namespace
