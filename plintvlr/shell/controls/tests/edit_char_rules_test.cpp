// The character rules of the integer and decimal fields, case by case.

#include "plintvlr/shell/controls/edit_char_rules.h"

#include <gtest/gtest.h>

#include <ostream>

std::ostream& operator<<(std::ostream& out, const TEditState& s)
{
    return out << '"' << s.text << "\" [" << s.selStart << ',' << s.selEnd << ')';
}

namespace {

constexpr char kBack = 8;

TEST(EditCharRulesTest, IntegerFieldKeepsItsRangeWhileTyping)
{
    struct Case {
        TEditState before;
        char c;
        int maximum;
        int minimum;
        TEditState after;
    };
    const Case cases[] = {
        {{"", 0, 0}, '9', 6, 1, {"6", 1, 1}},         // above: replaced at once
        {{"6", 1, 1}, kBack, 6, 1, {"1", 1, 1}},      // empty reads 0, as long as the minimum
        {{"", 0, 0}, '1', 70, 10, {"1", 1, 1}},       // shorter than the minimum: may grow
        {{"9", 1, 1}, '0', 70, 10, {"70", 2, 2}},
        {{"12", 0, 2}, '5', 70, 10, {"5", 1, 1}},     // the selection is replaced
        {{"1", 1, 1}, '0', 70, 10, {"10", 2, 2}},
        {{"", 0, 0}, '0', 100, 5, {"5", 1, 1}},
        {{"12", 2, 2}, 'a', 100, 0, {"12", 2, 2}},    // dropped
        {{"12", 2, 2}, '-', 100, 0, {"12", 2, 2}},
        {{"12", 2, 2}, '.', 100, 0, {"12", 2, 2}},
        {{"12", 9, -3}, '3', 999, 0, {"3", 1, 1}},    // a stale selection is brought inside the text
        {{"12", 1, 1}, kBack, 100, -50, {"2", 0, 0}},
    };
    for (const Case& c : cases) {
        const TEditCharResult r = NumEditChar(c.before, c.c, {c.maximum, c.minimum, 11});
        EXPECT_EQ(r.state, c.after) << c.before << " + " << int(c.c);
        EXPECT_FALSE(r.beep);
    }
    // A full field takes no more digits.
    EXPECT_EQ(NumEditChar({"1234", 4, 4}, '5', {99999, 0, 4}).state, (TEditState{"1234", 4, 4}));
}

struct ValueCase {
    TEditState before;
    char c;
    TEditState after;
    bool beep;
};

void Walk(const TValueEditSettings& settings, std::initializer_list<ValueCase> cases)
{
    for (const ValueCase& c : cases) {
        const TEditCharResult r = ValueEditChar(c.before, c.c, settings);
        EXPECT_EQ(r.state, c.after) << c.before << " + " << int(c.c);
        EXPECT_EQ(r.beep, c.beep) << c.before << " + " << int(c.c);
        EXPECT_FALSE(r.passOn);
    }
}

TEST(EditCharRulesTest, DecimalFieldKeepsTheFormOfANumber)
{
    TValueEditSettings two;
    two.decimals = 2;
    Walk(two, {
        {{"12.3", 4, 4}, '4', {"12.34", 5, 5}, false},
        {{"12.34", 5, 5}, '5', {"12.34", 5, 5}, false},    // no third place
        {{"12.34", 3, 3}, '9', {"12.93", 4, 4}, false},    // the surplus place at the end goes
        {{"12.34", 5, 5}, '.', {"1234.", 5, 5}, false},    // the point moves to the caret
        {{"1234", 1, 1}, '.', {"1.23", 2, 2}, false},
        {{"12.34", 1, 1}, '.', {"1.23", 2, 2}, false},
        {{"12.34", 2, 2}, '.', {"12.34", 2, 2}, false},    // typed just before the point: refused
        {{"-5", 0, 0}, '1', {"-5", 0, 0}, false},          // nothing before the sign
        {{"-5", 0, 0}, '-', {"-5", 0, 0}, false},
        {{"-5", 0, 0}, '.', {"-5", 0, 0}, false},
        {{"5", 0, 0}, '-', {"-5", 1, 1}, false},
        {{"5", 1, 1}, '-', {"5", 1, 1}, false},
        {{"-5", 0, 1}, '-', {"-5", 1, 1}, false},          // a selected sign is typed again
        {{"1.5", 1, 2}, '.', {"1.5", 2, 2}, false},        // so is a selected point
        {{"15", 0, 2}, '-', {"-", 1, 1}, false},
        {{"15", 0, 2}, '7', {"7", 1, 1}, false},
        {{"12", 0, 2}, 'x', {"12", 0, 2}, false},          // dropped, the selection kept
        {{"12", 1, 2}, kBack, {"1", 1, 1}, false},
        {{"1234567890.12", 13, 13}, '3', {"1234567890.12", 13, 13}, true},  // a 14th character
        {{"1234567890.12", 0, 13}, '3', {"1234567890.12", 0, 13}, true},
        {{"1234567890.12", 13, 13}, kBack, {"1234567890.1", 12, 12}, false},
    });

    TValueEditSettings none;
    Walk(none, {
        {{"12", 2, 2}, '.', {"12", 2, 2}, false},
        {{"12", 0, 2}, '.', {"12", 0, 2}, false},
        {{"1.5", 3, 3}, '7', {"1.5", 3, 3}, false},
        {{"1.5", 1, 1}, '7', {"17.", 2, 2}, false},  // a point the program wrote keeps no places
    });

    TValueEditSettings extra = two;
    extra.extraChar = '%';
    Walk(extra, {
        {{"12", 2, 2}, '%', {"12%", 3, 3}, false},
        {{"12", 0, 0}, '%', {"%12", 1, 1}, false},
    });
}

TEST(EditCharRulesTest, DecimalFieldLimitsBeepWhileTyping)
{
    TValueEditSettings unit;
    unit.limitsOn = true;
    unit.minimum = 0;
    unit.maximum = 1;
    Walk(unit, {
        {{"", 0, 0}, '5', {"1", 1, 1}, true},
        {{"1", 1, 1}, kBack, {"", 0, 0}, false},
        {{"", 0, 0}, 'x', {"", 0, 0}, false},
    });

    TValueEditSettings tenths;
    tenths.limitsOn = true;
    tenths.decimals = 1;
    tenths.minimum = 10;
    tenths.maximum = 500;
    Walk(tenths, {
        {{"", 0, 0}, '2', {"2", 1, 1}, false},  // on its way up
        {{"2", 1, 1}, '.', {"10.0", 4, 4}, true},
        {{"", 0, 0}, '-', {"-", 1, 1}, false},
        {{"-", 1, 1}, '5', {"10.0", 4, 4}, true},
        {{"50", 2, 2}, '1', {"500.0", 5, 5}, true},
    });

    TValueEditSettings around;
    around.limitsOn = true;
    around.minimum = -10;
    around.maximum = 10;
    Walk(around, {
        {{"", 0, 0}, '-', {"-", 1, 1}, false},
        {{"-5", 2, 2}, '5', {"-10", 3, 3}, true},
        {{"1", 1, 1}, '1', {"10", 2, 2}, true},
    });
}

TEST(EditCharRulesTest, TextEntryTakesAnyCharacterUpToItsLimit)
{
    TValueEditSettings text;
    text.mode = TValueEditSettings::kTextMode;
    text.textLimit = 3;
    Walk(text, {
        {{"ab", 2, 2}, '-', {"ab-", 3, 3}, false},
        {{"abc", 3, 3}, 'd', {"abc", 3, 3}, true},
        {{"abc", 0, 1}, 'd', {"dbc", 1, 1}, false},
        {{"abc", 3, 3}, kBack, {"ab", 2, 2}, false},
    });
    // The field's own keys (paste, copy) are its own.
    EXPECT_TRUE(ValueEditChar({"ab", 2, 2}, 0x16, text).passOn);
}

TEST(EditCharRulesTest, NumbersAreReadAndWrittenInTheCLocale)
{
    struct Format {
        long double value;
        int decimals;
        const char* text;
    };
    const Format formats[] = {
        {1234, 0, "1234"}, {12.5L, 2, "12.50"}, {-0.5L, 3, "-0.500"},
        {2.5L, 0, "2"},     // ties go to even, as printf writes them
        {1e20L, 1, "100000000000000000000.0"}, {7, -1, "7"},
    };
    for (const Format& f : formats)
        EXPECT_EQ(FormatValueEditText(f.value, f.decimals), f.text) << f.text;

    struct Parse {
        const char* text;
        long double value;
    };
    const Parse parses[] = {
        {"12.5xyz", 12.5L}, {"  -7", -7}, {"", 0}, {"abc", 0}, {"1e3", 1000}, {"-", 0}, {".25", 0.25L},
        {"1234567890123456789012345678901234", 12345678901234567890123456789012.0L},  // 32 characters read
    };
    for (const Parse& p : parses)
        EXPECT_EQ(ValueEditTextValue(p.text), p.value) << p.text;
}

}  // namespace
