#include "plintvlr/shell/base/str.h"

#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/string_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(StrTest, EightBuffersRotateAndTheNinthCallReusesTheFirst)
{
    TestStringTable table({{1, "one"}, {2, "two"}, {3, "three"}, {4, "four"}, {5, "five"},
                           {6, "six"}, {7, "seven"}, {8, "eight"}, {9, "nine"}});
    ResetStrBuffers();
    char* results[9];
    for (int id = 1; id <= 9; ++id)
        results[id - 1] = Str(id);
    EXPECT_EQ(results[8], results[0]);
    EXPECT_STREQ(results[0], "nine");
    for (int i = 1; i < 8; ++i) {
        EXPECT_NE(results[i], results[0]);
        EXPECT_NE(results[i], results[i - 1]);
    }
    EXPECT_STREQ(results[1], "two");
    EXPECT_STREQ(results[7], "eight");

    // After a reset the next call fills the first buffer again.
    Str(1);
    ResetStrBuffers();
    EXPECT_EQ(Str(2), results[0]);
}

TEST(StrTest, TextsUpTo254CharactersComeBackWholeLongerOnesAreCut)
{
    const std::string exact(254, 'a');
    const std::string longer = std::string(254, 'b') + "cdef";
    TestStringTable table({{100, exact}, {101, longer}, {102, ""}});
    struct Case {
        int id;
        std::string text;
    };
    const Case cases[] = {
        {100, exact},
        {101, std::string(254, 'b')},
        {102, ""},
        {-5, ""},
        {0x7FFFFFFF, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(std::string(Str(c.id)), c.text);
    }
}

TEST(StrTest, ShellTextsComeFromTheTable)
{
    EXPECT_STREQ(Str(430), "PLINTVLR.INI");
    EXPECT_STREQ(Str(443), "Application Message");
    // The start-up messages are found by the loader's result code.
    const char* const expected[] = {
        "Not enough memory available to load protocol information",
        "Protocol information file (QS_PLC.TEX) is missing.",
        "Protocol information file (QS_PLC.TEX) is too large.",
        "Protocol information file (QS_PLC.TEX) is too small.",
        "Could not open protocol information file (QS_PLC.TEX)",
        "Could not read from protocol information file (QS_PLC.TEX)",
        "Protocol information file (QS_PLC.TEX) contains bad protocol formats.",
    };
    for (int result = 2; result <= 8; ++result)
        EXPECT_STREQ(Str(kStrProtocolLoadFailureBase + result), expected[result - 2]) << result;
}

}  // namespace
