#include "plintvlr/db/prot_lib.h"

#include "plintvlr/db/plc_address_tables.h"
#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The family bit of each panel type, from the panel-type table.
std::uint32_t FamilyBitOf(int panelType)
{
    if (panelType == 9 || panelType == 14)
        return 8;
    if (panelType == 11)
        return 16;
    if (panelType >= 15 && panelType <= 18)
        return 32;
    if (panelType >= 19 && panelType <= 21)
        return 64;
    if (panelType >= 22 && panelType <= 24)
        return 128;
    return 0;
}

constexpr std::string_view kListsFile =
    "PCL ->12:Name<- [CASE]\n"
    "COMM=9600,8,1,N\n"
    "[INVALIDTYPES]QSRP\n"
    "[LABELS]Rack,Slot\n"
    "[HIGHLIMITS]255,-,7\n"
    "[DEFAULTS]3,-,12,\n"
    "0x26, 0\n"
    "PCL ->13:Plain<-\n"
    "COMM=9600,8,1\n"
    "RULE=NOCOM2\n"
    "[LABELS]First\n"
    "[LABELS]Replaced\n"
    "0\n"
    "PCL ->14:Card<-\n"
    "RULE=PC104\n"
    "[INVALIDTYPES]QSE QSD\n"
    "0\n"
    "PCL ->A:Broken<-\n"
    "[LABELS]Broken\n"
    "RULE=PC104\n"
    "PCL ->x15:Hex form<-\n"
    "0x26, 0 0x39, 0\n"
    "PCL ->250:Out of range<-\n"
    "[LABELS]Nowhere\n";

TEST(ProtLibTest, ProtocolsAndTheirListsAndFlags)
{
    ProtLib lib;
    lib.ReadText(kListsFile);
    std::string name;
    ASSERT_TRUE(lib.GetProtocolName(12, name));
    EXPECT_EQ(name, "12:Name");
    ASSERT_TRUE(lib.GetProtocolName(15, name));
    EXPECT_EQ(name, "x15:Hex form");
    name = "unchanged";
    EXPECT_FALSE(lib.GetProtocolName(16, name));
    EXPECT_FALSE(lib.GetProtocolName(200, name));
    EXPECT_FALSE(lib.GetProtocolName(-1, name));
    EXPECT_EQ(name, "unchanged");

    EXPECT_EQ(lib.GetLabel(12, 0), "Rack");
    EXPECT_EQ(lib.GetLabel(12, 1), "Slot");
    EXPECT_EQ(lib.GetLabel(12, 2), "");
    EXPECT_EQ(lib.GetLabel(13, 0), "Replaced");  // a later line replaces
    EXPECT_EQ(lib.GetLabel(14, 0), "");

    struct Limit {
        int field;
        bool present;
        long value;
    };
    for (Limit l : {Limit{0, true, 255}, Limit{1, false, 0}, Limit{2, false, 0}, Limit{-1, false, 0}}) {
        long value = -99;
        EXPECT_EQ(lib.GetHighLimit(12, l.field, value), l.present) << l.field;
        if (l.present) {
            EXPECT_EQ(value, l.value);
        }
    }
    EXPECT_EQ(lib.GetDefault(12, 0), 3);
    EXPECT_EQ(lib.GetDefault(12, 1), 0);
    EXPECT_EQ(lib.GetDefault(12, 2), 12);
    EXPECT_EQ(lib.GetDefault(12, 3), 0);

    std::int32_t baud = 0;
    std::uint8_t data = 0, stop = 0;
    char parity = 0;
    ASSERT_TRUE(lib.GetCommSettings(12, baud, data, stop, parity));
    EXPECT_EQ(baud, 9600);
    EXPECT_EQ(data, 8);
    EXPECT_EQ(stop, 1);
    EXPECT_EQ(parity, 'N');
    EXPECT_FALSE(lib.GetCommSettings(13, baud, data, stop, parity));  // three items only

    EXPECT_EQ(lib.GetRules(13), ProtLib::kRuleNoCom2);
    // PC104 answers 7; "%24s" reads only the first word of the families.
    EXPECT_EQ(lib.GetRules(14), 7u | ProtLib::kFamilyQse);
    EXPECT_EQ(lib.GetRules(12), ProtLib::kFamilyQsr | ProtLib::kFamilyQsrp);
    EXPECT_EQ(lib.GetRules(200), 0u);
    // A protocol line without a number does not hand its lines to protocol 14.
    EXPECT_EQ(lib.GetLabel(14, 0), "");
}

TEST(ProtLibTest, InvalidFamiliesHideTheProtocolFromThoseTypes)
{
    ProtLib lib;
    lib.ReadText(kListsFile);
    int panelType = 1;
    lib.SetFamilyBitSource([&] { return FamilyBitOf(panelType); });
    for (panelType = 1; panelType <= 24; ++panelType) {
        SCOPED_TRACE(panelType);
        std::string name;
        EXPECT_EQ(lib.GetProtocolName(12, name), panelType < 19);  // QSRP
        EXPECT_EQ(lib.GetProtocolName(14, name), panelType != 9 && panelType != 14);  // QSE
        EXPECT_TRUE(lib.GetProtocolName(13, name));
    }
}

TEST(ProtLibTest, LibraryReaderGoesOnAfterAnEndingZero)
{
    ProtLib lib;
    lib.ReadText(kListsFile);
    long n = 0;
    // "0x26, 0 0x39, 0": the library keeps scanning the line, so the second
    // descriptor replaces the first.
    EXPECT_EQ(lib.GetFieldMaximum(15, 0, n), kHexField);
    EXPECT_EQ(lib.GetFieldMaximum(15, 1, n), kNoField);
}

// Octal (width 3), hex (width 4, two bytes), fixed ":", choice of width 2
// ("AA" "BB" "CC"), decimal (width 5, two bytes), free text of 12.
constexpr std::string_view kFieldsFile =
    "PCL ->20:Fields<-\n"
    "0x16, 0x39, 0x42,0x01,':, 0x04,0x03,'A,'A,'B,'B,'C,'C,\n"
    "0x2B, 0x01,0x0C, 0\n"
    "PCL ->21:Long text<-\n"
    "0x26, 0x01,0x28, 0\n"
    "PCL ->22:No descriptor<-\n";

TEST(ProtLibTest, FieldKindsAndMaxima)
{
    ProtLib lib;
    lib.ReadText(kFieldsFile);
    struct Case {
        int protocol, field, kind;
        long n;
    };
    const Case cases[] = {
        {20, 0, kOctalField, 511},   {20, 1, kHexField, 65535}, {20, 2, kChoiceField, 2},
        {20, 3, kDecimalField, 99999}, {20, 4, kTextField, 12}, {20, 5, kNoField, 0},
        {20, -1, kNoField, 0},       {22, 0, kNoField, 0},      {199, 0, kNoField, 0},
        {200, 0, kNoField, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.protocol << "/" << c.field);
        long n = -1;
        EXPECT_EQ(lib.GetFieldMaximum(c.protocol, c.field, n), c.kind);
        EXPECT_EQ(n, c.n);
    }
    EXPECT_EQ(lib.GetFieldText(20, 2), "AABBCC");
    EXPECT_EQ(lib.GetFieldText(20, 0), "");
    EXPECT_EQ(lib.GetFieldText(22, 0), "");
}

TEST(ProtLibTest, BuildsAndReadsAddressFields)
{
    ProtLib lib;
    lib.ReadText(kFieldsFile);
    const std::uint16_t values[] = {015, 0xABCD, 2, 40001, 0};
    Bytes address;
    ASSERT_TRUE(lib.BuildAddress(20, values, "TAGNAME", address));
    const Bytes expected = {0x0D, 0xCD, 0xAB, 0x02, 0x41, 0x9C, 'T', 'A', 'G', 'N', 'A', 'M', 'E', 0x00};
    EXPECT_EQ(address, expected);

    std::array<char, 44> area{};
    EXPECT_EQ(lib.GetAddressField(20, 0, address, area), 015);
    EXPECT_EQ(lib.GetAddressField(20, 1, address, area), 0xABCD);
    EXPECT_EQ(lib.GetAddressField(20, 2, address, area), 2);
    EXPECT_EQ(lib.GetAddressField(20, 3, address, area), 40001);
    EXPECT_EQ(lib.GetAddressField(20, 4, address, area), 0);
    EXPECT_STREQ(area.data(), "TAGNAME");
    EXPECT_EQ(lib.GetAddressField(20, 5, address, area), -1);
    // Fields beyond the bytes, a text area too small, no text area at all.
    EXPECT_EQ(lib.GetAddressField(20, 3, std::span(address).first(5), area), -1);
    EXPECT_EQ(lib.GetAddressField(20, 1, std::span(address).first(3), area), 0xABCD);
    std::array<char, 4> small;
    small.fill('#');
    EXPECT_EQ(lib.GetAddressField(20, 4, address, small), 0);
    EXPECT_EQ(std::string(small.data(), 4), std::string("TAG\0", 4));
    EXPECT_EQ(lib.GetAddressField(20, 4, address, {}), 0);

    // The static codec reads the same bytes the same way.
    ASSERT_EQ(LoadPlcAddressTablesFromText(kFieldsFile), kPlcTablesLoaded);
    EXPECT_EQ(FormatPlcAddress(address, 20), "015ABCD:CC40001TAGNAME");
    std::array<std::uint8_t, kMaxPlcAddressBytes> parsed{};
    ASSERT_EQ(ParsePlcAddress("015ABCD:CC40001TAGNAME", parsed, 20), static_cast<int>(expected.size()));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), parsed.begin()));

    // Missing values count 0; the free text takes its place among the values.
    ASSERT_TRUE(lib.BuildAddress(20, std::span(values).first(1), "", address));
    EXPECT_EQ(address, (Bytes{0x0D, 0, 0, 0, 0, 0, 0}));
}

TEST(ProtLibTest, BuildRefusesWhatDoesNotFitOrHasNoFormat)
{
    ProtLib lib;
    lib.ReadText(kFieldsFile);
    const std::uint16_t values[] = {7, 0};
    Bytes address{1, 2, 3};
    EXPECT_FALSE(lib.BuildAddress(22, values, "", address));
    EXPECT_TRUE(address.empty());
    EXPECT_EQ(lib.GetAddressField(22, 0, Bytes{1}, {}), -1);
    // 1 + 34 + NUL bytes fit a communications block; one more character does not.
    EXPECT_TRUE(lib.BuildAddress(21, values, std::string(34, 'A'), address));
    EXPECT_EQ(address.size(), kMaxPlcAddressBytes);
    EXPECT_FALSE(lib.BuildAddress(21, values, std::string(35, 'A'), address));
    EXPECT_TRUE(address.empty());
}

// Protocol 68 as the shipped file describes it: name, type, number,
// extension choice, extension text.
constexpr std::string_view kTextAddressFile =
    "PCL ->68:Nodes<- [CASE]\n"
    "0x01,0x08,\n"
    "0x06,0x06,'%,'W,' ,'%,'R,' ,'%,'M,' ,'%,'A,'I,'%,'A,'Q,'%,'S,' ,\n"
    "0x29, 0x06,0x02,'N,'O,' ,'Y,'E,'S, 0x01,0x08, 0\n";

// A text area: the first text at its start, the second 20 bytes in.
std::array<char, 44> Area(std::string_view first, std::string_view second)
{
    std::array<char, 44> area{};
    std::memcpy(area.data(), first.data(), first.size());
    std::memcpy(area.data() + ProtLib::kSecondTextOffset, second.data(), second.size());
    return area;
}

TEST(ProtLibTest, TextAddressesOfProtocol68)
{
    ProtLib lib;
    lib.ReadText(kTextAddressFile);
    long n = 0;
    EXPECT_EQ(lib.GetFieldMaximum(68, 1, n), kChoiceField);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(lib.GetFieldText(68, 1), "%W %R %M %AI%AQ%S ");

    struct Case {
        std::string_view name;
        std::uint16_t type, number, extended;
        std::string_view extension;
        std::string_view text;
    };
    const Case cases[] = {
        {"", 0, 12, 0, "", "?%W12,X,,"},
        {"PUMP", 3, 7, 1, "E1", "PUMP%AI7,E1,,"},
        {"N2", 5, 4095, 1, "", "N2%S4095,,,"},
        {"N2", 9, 1, 0, "IGNORED", "N2%W1,X,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        const std::uint16_t values[] = {0, c.type, c.number, c.extended, 0};
        auto area = Area(c.name, c.extension);
        Bytes address;
        ASSERT_TRUE(lib.BuildAddress(68, values, std::string_view(area.data(), area.size()), address));
        Bytes expected(c.text.begin(), c.text.end());
        expected.push_back(0);
        EXPECT_EQ(address, expected);

        std::array<char, 44> read;
        read.fill('#');
        EXPECT_EQ(lib.GetAddressField(68, 0, address, read), static_cast<int>(c.text.find('%')));
        EXPECT_STREQ(read.data(), std::string(c.name).c_str());
        EXPECT_EQ(lib.GetAddressField(68, 1, address, read), c.type < 6 ? c.type : 0);
        EXPECT_EQ(lib.GetAddressField(68, 2, address, read), c.number);
        EXPECT_EQ(lib.GetAddressField(68, 3, address, read), c.extended);
        EXPECT_EQ(lib.GetAddressField(68, 4, address, read), 0);
        EXPECT_STREQ(read.data() + ProtLib::kSecondTextOffset, c.extended ? std::string(c.extension).c_str() : "");
        EXPECT_EQ(lib.GetAddressField(68, 5, address, read), -1);
    }
    const std::uint16_t values[] = {0, 0, 1, 1, 0};
    Bytes address;
    auto bad = Area("A%B", "");
    EXPECT_FALSE(lib.BuildAddress(68, values, std::string_view(bad.data(), bad.size()), address));
    auto tooLong = Area("NINETEENCHARACTERS1", "TWENTYTWOCHARACTERS123");
    EXPECT_FALSE(lib.BuildAddress(68, values, std::string_view(tooLong.data(), tooLong.size()), address));
}

TEST(ProtLibTest, UnreadableFileLeavesNoProtocols)
{
    ProtLib lib("/nonexistent/QS_PLC.TEX");
    std::string name;
    for (int p = 0; p < kProtocolCount; ++p)
        EXPECT_FALSE(lib.GetProtocolName(p, name));
    EXPECT_FALSE(lib.ReadFile("/nonexistent/QS_PLC.TEX"));

    // A file past the size the program starts with is not read either.
    const std::string path = testing::TempDir() + "plv_prot_lib_large.tex";
    std::string large = "PCL ->1:One<-\n0x26, 0\n";
    large.resize(32769, ';');
    ASSERT_TRUE(WriteWholeFile(path, large));
    EXPECT_FALSE(lib.ReadFile(path));
    EXPECT_FALSE(lib.GetProtocolName(1, name));
    large.resize(32768);
    ASSERT_TRUE(WriteWholeFile(path, large));
    EXPECT_TRUE(lib.ReadFile(path));
    EXPECT_TRUE(lib.GetProtocolName(1, name));
    FileDelete(path);
}

}  // namespace
