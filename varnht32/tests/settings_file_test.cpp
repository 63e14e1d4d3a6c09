#include "varnht32/src/settings_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vnh::VariableValue;

// name=<letter><value>, joined by '|'.
std::string Describe(const vnh::SettingsText& parsed) {
  std::string out;
  for (const vnh::SettingsEntry& e : parsed.entries) {
    if (!out.empty()) out += '|';
    out += e.name + '=';
    switch (e.value.type) {
      case vnh::kVariableBoolean: out += e.value.boolean ? "B1" : "B0"; break;
      case vnh::kVariableInteger: out += "I" + std::to_string(e.value.integer); break;
      case vnh::kVariableReal: out += "F" + std::to_string(e.value.real); break;
      case vnh::kVariableString: out += "S" + e.value.text; break;
    }
  }
  return out;
}

bool Traced(const vnh::SettingsText& parsed, const std::string& part) {
  for (const std::string& t : parsed.traces) {
    if (t.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(SettingsFileTest, ReaderTakesWhatItCanAndSaysWhatItSkipped) {
  const std::string long_value(150, 'x');
  struct Case {
    const char* what;
    std::string text;
    std::string entries;
    bool bad_letter;
    const char* trace;  // a piece of one trace text, or null for none
  } cases[] = {
      {"one pair of each type",
       "testboolean\nB true\ntestinteger\nI -42\ntestreal\nF 2.5000\nteststring\nS hello world\n",
       "testboolean=B1|testinteger=I-42|testreal=F2.500000|teststring=Shello world", false, nullptr},
      {"line ends of either kind, trailing blanks and blank lines",
       "\r\nKelmnetTransTimeOut  \r\n\r\nI 1000 \t\r\n\n", "KelmnetTransTimeOut=I1000", false,
       nullptr},
      {"lower-case letters; true only from a t as third character",
       "a\nb TRUE\nb2\nb false\nc\nB\nd\nB yes\ns\ns\n", "a=B1|b2=B0|c=B0|d=B0|s=S", false, nullptr},
      {"a name is cut to 21 characters, a value line to 139",
       "abcdefghijklmnopqrstuvwxyz\nS " + long_value + "\n",
       "abcdefghijklmnopqrstu=S" + long_value.substr(0, 137), false, nullptr},
      {"integers from -2147483647 to 2147483647 only",
       "i1\nI 2147483647\ni2\nI -2147483647\ni3\nI -2147483648\ni4\nI 12x\ni5\nI\ni6\nI +7\n",
       "i1=I2147483647|i2=I-2147483647|i6=I7", false, "i3 skipped"},
      {"reals from -1e38 to 1e38 only",
       "r1\nF -1e38\nr2\nF 1e39\nr3\nF nan\nr4\nF +0.5\nr5\nF +-1\nr6\nF 1,5\n",
       "r1=F-99999996802856924650656260769173209088.000000|r4=F0.500000", false, "r2 skipped"},
      {"a wrong type letter sends the file to the dump, the other lines count",
       "ok\nI 1\nbad\nX 5\nafter\nB true\n", "ok=I1|after=B1", true,
       "\n*** Error reading systemsetup ***"},
      {"a name given twice: the later value counts, in the first place",
       "a\nI 1\nb\nI 2\na\nI 3\n", "a=I3|b=I2", false, "a is given twice"},
      {"a name without a value line at the end", "a\nI 1\nb\n", "a=I1", false, "no value line"},
      {"a name with control characters is skipped with its value",
       std::string("a\x01" "b\nI 1\nc\nI 2\n"), "c=I2", false, "control characters"},
      {"a string ends at a line end inside its line", "s\nS one\rtwo\n", "s=Sone", false, nullptr},
      {"a NUL byte ends a string", std::string("s\nS one\0two\n", 12), "s=Sone", false, nullptr},
      {"an empty file", "", "", false, nullptr},
  };
  for (const Case& c : cases) {
    vnh::SettingsText parsed = vnh::ParseSettings(c.text);
    EXPECT_EQ(Describe(parsed), c.entries) << c.what;
    EXPECT_EQ(parsed.bad_type_letter, c.bad_letter) << c.what;
    if (c.trace != nullptr) {
      EXPECT_TRUE(Traced(parsed, c.trace)) << c.what;
    } else {
      EXPECT_TRUE(parsed.traces.empty()) << c.what << ": " << parsed.traces.front();
    }
  }
}

TEST(SettingsFileTest, BadTypeLetterIsTracedWithNameAndValue) {
  vnh::SettingsText parsed = vnh::ParseSettings("KelmnetTCPIPNode\nQ 5\n");
  ASSERT_EQ(parsed.traces.size(), 3u);
  EXPECT_EQ(parsed.traces[0], "\n*** Error reading systemsetup ***");
  EXPECT_EQ(parsed.traces[1], "System variable: KelmnetTCPIPNode");
  EXPECT_EQ(parsed.traces[2], "Value: Q 5");
}

TEST(SettingsFileTest, ReadingStopsAtTheFirstNameTheTableCouldNotHold) {
  std::string text;
  for (std::size_t i = 0; i <= vnh::kSettingsEntriesMax; ++i) text += "v" + std::to_string(i) + "\nI 1\n";
  text += "v0\nI 2\n";
  vnh::SettingsText parsed = vnh::ParseSettings(text);
  ASSERT_EQ(parsed.entries.size(), vnh::kSettingsEntriesMax);
  EXPECT_EQ(parsed.entries.back().name, "v" + std::to_string(vnh::kSettingsEntriesMax - 1));
  EXPECT_EQ(parsed.entries.front().value.integer, 1);
  EXPECT_TRUE(Traced(parsed, "the rest skipped"));
}

TEST(SettingsFileTest, AFileOfAnythingElseTracesItsFirstProblemsAndCountsTheRest) {
  // Each round has four problems: a bad letter (three lines), a bad integer,
  // a bad real and a name given twice; the good entries are all still read.
  std::string text;
  for (int i = 0; i < 200; ++i) {
    const std::string n = std::to_string(i);
    text += "bad" + n + "\nQ 1\nint" + n + "\nI x\nreal" + n + "\nF x\nok" + n + "\nI " + n + "\nok" + n +
            "\nI " + n + "\n";
  }
  vnh::SettingsText parsed = vnh::ParseSettings(text);
  EXPECT_EQ(parsed.entries.size(), 200u);
  EXPECT_EQ(parsed.entries.back().value.integer, 199);
  EXPECT_TRUE(parsed.bad_type_letter);
  // 25 rounds of four problems (six lines) are traced.
  ASSERT_EQ(parsed.traces.size(), 25u * 6 + 1);
  EXPECT_EQ(parsed.traces[parsed.traces.size() - 2], "System variable: ok24 is given twice: the later value counts");
  EXPECT_EQ(parsed.traces.back(), "System variables: 700 more problems in the settings file, not traced");
}

TEST(SettingsFileTest, EntriesAreWrittenAsNameAndTypedValueLines) {
  struct Case {
    const char* name;
    VariableValue value;
    const char* text;
  } cases[] = {
      {"testboolean", VariableValue::Boolean(true), "testboolean\nB true\n"},
      {"EnableKelmnet1", VariableValue::Boolean(false), "EnableKelmnet1\nB false\n"},
      {"KelmnetTransTimeOut", VariableValue::Integer(-15000), "KelmnetTransTimeOut\nI -15000\n"},
      {"testreal", VariableValue::Real(1.5f), "testreal\nF 1.5000\n"},
      {"testreal", VariableValue::Real(-0.25f), "testreal\nF -0.2500\n"},
      {"testreal", VariableValue::Real(1e38f),
       "testreal\nF 99999996802856924650656260769173209088.0000\n"},
      {"teststring", VariableValue::String("a b"), "teststring\nS a b\n"},
      {"teststring", VariableValue::String(""), "teststring\nS \n"},
  };
  for (const Case& c : cases) EXPECT_EQ(vnh::FormatSettingsEntry(c.name, c.value), c.text);
}

}  // namespace
