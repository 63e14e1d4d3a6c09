// The protocol information file that ships in the program folder.
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/prot_lib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ShippedFile()
{
    const char* root = std::getenv("PLV_TEST_SOURCE_DIR");
    return std::string(root ? root : ".") + "/data/QS_PLC.TEX";
}

class QsPlcTexTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(LoadPlcAddressTables(ShippedFile()), kPlcTablesLoaded); }
    ProtLib lib_{ShippedFile()};
};

const std::set<int> kShipped = {0, 1, 2, 3, 4, 5, 9, 68, 80, 91, 141};

TEST_F(QsPlcTexTest, BothReadersSeeTheSameProtocols)
{
    std::set<int> named;
    for (int p = 0; p < kProtocolCount; ++p) {
        SCOPED_TRACE(p);
        std::string name;
        bool inLibrary = lib_.GetProtocolName(p, name);
        EXPECT_EQ(inLibrary, GetPlcNamePosition(p) >= 0);
        if (!inLibrary)
            continue;
        named.insert(p);
        EXPECT_EQ(GetListItem(PlcProtocolNameList(), GetPlcNamePosition(p) + 1), name);
        // The protocol sheet takes the name after "NN: ".
        std::string number = std::to_string(p);
        EXPECT_EQ(name.substr(0, name.find(':')), std::string(std::max<std::size_t>(2, number.size()) - number.size(), '0') + number);
        EXPECT_EQ(name.substr(name.find(':'), 2), ": ");
    }
    EXPECT_EQ(named, kShipped);
    EXPECT_EQ(std::count(PlcProtocolNameList().begin(), PlcProtocolNameList().end(), ','),
              static_cast<long>(kShipped.size()) - 1);
    std::string simulation;
    ASSERT_TRUE(lib_.GetProtocolName(0, simulation));
    EXPECT_EQ(simulation, "00: Simulation(default init)");
}

TEST_F(QsPlcTexTest, PortSettingsRulesAndFamilies)
{
    std::int32_t baud = 0;
    std::uint8_t data = 0, stop = 0;
    char parity = 0;
    ASSERT_TRUE(lib_.GetCommSettings(0, baud, data, stop, parity));
    EXPECT_EQ(std::make_tuple(baud, data, stop, parity), std::make_tuple(9600, std::uint8_t{8}, std::uint8_t{1}, 'N'));
    ASSERT_TRUE(GetPlcCommSettings(5, baud, data, stop, parity));
    EXPECT_EQ(std::make_tuple(baud, data, stop, parity), std::make_tuple(4800, std::uint8_t{7}, std::uint8_t{2}, 'O'));
    EXPECT_FALSE(lib_.GetCommSettings(91, baud, data, stop, parity));  // a card, no serial port

    EXPECT_EQ(lib_.GetRules(0), 0u);
    EXPECT_EQ(lib_.GetRules(5), ProtLib::kRuleNoCom2);
    EXPECT_EQ(lib_.GetRules(91) & 7u, 7u);
    struct Pair {
        int protocol;
        std::int32_t first, second;
    };
    for (Pair r : {Pair{91, 4, 4}, Pair{5, -3, 0}, Pair{0, 65535, 0}}) {
        std::int32_t first = 0, second = 0;
        GetPlcRules(r.protocol, first, second);
        EXPECT_EQ(std::make_pair(first, second), std::make_pair(r.first, r.second)) << r.protocol;
    }

    std::uint32_t family = 0;
    lib_.SetFamilyBitSource([&] { return family; });
    struct Family {
        std::uint32_t bit;  // of panel types 9/14, 11, 15-18, 19-21, 22-24
        bool card, plus;    // protocols 91 and 141 allowed
    };
    for (Family f : {Family{0, true, true}, Family{8, true, true}, Family{16, false, true}, Family{32, false, true},
                     Family{64, false, false}, Family{128, false, false}}) {
        SCOPED_TRACE(f.bit);
        family = f.bit;
        std::string name;
        EXPECT_EQ(lib_.GetProtocolName(91, name), f.card);
        EXPECT_EQ(lib_.GetProtocolName(141, name), f.plus);
        EXPECT_TRUE(lib_.GetProtocolName(0, name));
    }
}

TEST_F(QsPlcTexTest, HandWrittenAddressesOfTheShippedProtocols)
{
    struct Case {
        int protocol;
        Bytes bytes;
        std::string_view text;
    };
    const Case cases[] = {
        {0, {0x00, 0x01, 0x00}, "D0001"},
        {0, {0x01, 0xFF, 0x07}, "M2047"},
        {1, {0x08, 0x04}, "V02010"},
        {2, {0x1F, 0xA0, 0x00}, "1F:00A0"},
        {3, {0x05, 'M', 'O', 'T', 'O', 'R', 0x00}, "05:MOTOR"},
        {4, {0x02, 0x07, 0x0C, 0x03}, "N007:012/03"},
        {5, {0x02, 0x0C, 0x00}, "HR0012"},
        {9, {0x01, 0x41, 0x9C}, "01-40001"},
        {68, {'?', '%', 'W', '1', '2', ',', 'X', ',', ',', 0x00}, "?%W12,X,,"},
        {80, {}, ""},
        {91, {0x01, 0xFF, 0x07}, "L7FF"},
        {141, {0xF7, 0x41, 0x9C, 0x0F}, "247.40001/15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(FormatPlcAddress(c.bytes, c.protocol), c.text);
        std::array<std::uint8_t, kMaxPlcAddressBytes> address{};
        ASSERT_EQ(ParsePlcAddress(c.text, address, c.protocol), static_cast<int>(c.bytes.size()));
        EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), address.begin()));
    }
    struct Typed {
        int protocol;
        std::string_view text;
        int count;
    };
    for (Typed t : {Typed{3, "05:motor", 7}, Typed{4, "N7:12", 3}, Typed{5, "1234", 3}, Typed{2, "1f:00a0", -1},
                    Typed{4, "N7:256", -1}, Typed{9, "01-65536", -1}, Typed{68, "?%W012,X,,", -1}}) {
        SCOPED_TRACE(std::string(t.text));
        std::array<std::uint8_t, kMaxPlcAddressBytes> address{};
        EXPECT_EQ(ParsePlcAddress(t.text, address, t.protocol), t.count);
    }
}

// The text areas the editors pass: the first text at the start, protocol 68's
// second text 20 bytes in.
struct Sample {
    std::vector<std::uint16_t> values;
    std::array<char, 44> area{};
    std::vector<std::pair<std::size_t, std::string>> texts;  // field, text
};

// A sample address of every field of a protocol: each field at its default, or
// at the largest value the editors allow.
Sample MakeSample(const ProtLib& lib, int protocol, bool largest)
{
    Sample s;
    int textFields = 0;
    for (int field = 0;; ++field) {
        long n = 0;
        int kind = lib.GetFieldMaximum(protocol, field, n);
        if (kind == kNoField)
            break;
        long limit = n;
        lib.GetHighLimit(protocol, field, limit);
        limit = std::min(std::min(limit, n), 65535L);
        std::uint16_t value = 0;
        if (kind == kChoiceField) {
            long count = static_cast<long>(lib.GetFieldText(protocol, field).size()) / n;
            value = static_cast<std::uint16_t>(largest ? count - 1 : lib.GetDefault(protocol, field));
        } else if (kind == kTextField) {
            std::string text = largest ? std::string(static_cast<std::size_t>(limit), 'W') : std::string("T1");
            std::size_t at = textFields++ == 0 ? 0 : ProtLib::kSecondTextOffset;
            std::memcpy(s.area.data() + at, text.data(), std::min<std::size_t>(text.size(), 19));
            s.texts.emplace_back(field, text.substr(0, 19));
        } else {
            value = static_cast<std::uint16_t>(largest ? limit : lib.GetDefault(protocol, field));
        }
        s.values.push_back(value);
    }
    // Protocol 68 stores its extension text only when its extension choice is set.
    if (protocol == kTextAddressProtocol && s.values.size() > 3 && s.values[3] == 0 && s.texts.size() > 1)
        s.texts[1].second.clear();
    return s;
}

TEST_F(QsPlcTexTest, EveryProtocolBuildsReadsFormatsAndParsesItsFields)
{
    for (int protocol : kShipped) {
        for (bool largest : {false, true}) {
            SCOPED_TRACE(testing::Message() << "protocol " << protocol << (largest ? " largest" : " defaults"));
            Sample s = MakeSample(lib_, protocol, largest);
            Bytes address;
            ASSERT_TRUE(lib_.BuildAddress(protocol, s.values, std::string_view(s.area.data(), s.area.size()), address));
            ASSERT_LE(address.size(), kMaxPlcAddressBytes);

            // Field by field through the library.
            for (std::size_t field = 0; field < s.values.size(); ++field) {
                std::array<char, 44> read{};
                int answer = lib_.GetAddressField(protocol, static_cast<int>(field), address, read);
                auto text = std::find_if(s.texts.begin(), s.texts.end(), [&](auto& t) { return t.first == field; });
                if (text == s.texts.end()) {
                    EXPECT_EQ(answer, s.values[field]) << "field " << field;
                } else {
                    std::size_t at = text == s.texts.begin() ? 0 : ProtLib::kSecondTextOffset;
                    EXPECT_EQ(std::string(read.data() + at), text->second) << "field " << field;
                }
            }
            // As text through the static codec and back.
            std::string shown = FormatPlcAddress(address, protocol);
            std::array<std::uint8_t, kMaxPlcAddressBytes> parsed{};
            ASSERT_EQ(ParsePlcAddress(shown, parsed, protocol), static_cast<int>(address.size())) << shown;
            EXPECT_TRUE(std::equal(address.begin(), address.end(), parsed.begin())) << shown;
        }
    }
}

TEST_F(QsPlcTexTest, EveryFieldHasALabelAndNoMore)
{
    for (int protocol : kShipped) {
        SCOPED_TRACE(protocol);
        int fields = 0;
        long n = 0;
        while (lib_.GetFieldMaximum(protocol, fields, n) != kNoField)
            ++fields;
        for (int field = 0; field < fields; ++field)
            EXPECT_NE(lib_.GetLabel(protocol, field), "") << field;
        EXPECT_EQ(lib_.GetLabel(protocol, fields), "");
    }
}

}  // namespace
