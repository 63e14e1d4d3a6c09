#include "plintvlr/db/plc_address_tables.h"

#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

namespace {

class PlcAddressTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/plv-plctables-XXXXXX";
        dir_ = ::mkdtemp(tmpl);
    }
    void TearDown() override
    {
        FileFaults::Reset();
        std::filesystem::remove_all(dir_);
    }
    int Load(std::string_view contents)
    {
        std::string path = dir_ + "/QS_PLC.TEX";
        EXPECT_TRUE(WriteWholeFile(path, contents));
        return LoadPlcAddressTables(path);
    }
    std::string ItemOf(int protocol)
    {
        return GetListItem(PlcProtocolNameList(), GetPlcNamePosition(protocol) + 1);
    }
    std::string dir_;
};

// A file of exactly `size` bytes: one protocol, then comment lines.
std::string FileOfSize(std::size_t size)
{
    std::string text = "PCL ->3:Three<-\n0x26, 0\n";
    while (text.size() < size) {
        std::size_t line = std::min<std::size_t>(60, size - text.size());
        text.append(line - 1, ';');
        text.push_back('\n');
    }
    return text;
}

TEST_F(PlcAddressTablesTest, FileSizeAndPresenceDecideFirst)
{
    struct Case {
        std::size_t size;
        int result;
    };
    for (Case c : {Case{0, kPlcTablesTooSmall}, Case{1, kPlcTablesLoaded}, Case{32768, kPlcTablesLoaded},
                   Case{32769, kPlcTablesTooLarge}}) {
        SCOPED_TRACE(c.size);
        std::string text = c.size < 2 ? std::string(c.size, '\n') : FileOfSize(c.size);
        ASSERT_EQ(text.size(), c.size);
        EXPECT_EQ(Load(text), c.result);
    }
    EXPECT_EQ(LoadPlcAddressTables(dir_ + "/MISSING.TEX"), kPlcTablesMissing);
    // The full-size file really was read to its end.
    ASSERT_EQ(Load(FileOfSize(32768)), kPlcTablesLoaded);
    EXPECT_EQ(PlcProtocolNameList(), "3:Three");
}

TEST_F(PlcAddressTablesTest, FileIsFoundWithoutRegardToCase)
{
    ASSERT_TRUE(WriteWholeFile(dir_ + "/qs_plc.tex", "PCL ->1:One<-\n0x26,0\n"));
    EXPECT_EQ(LoadPlcAddressTables(dir_ + "/QS_PLC.TEX"), kPlcTablesLoaded);
    EXPECT_EQ(ItemOf(1), "1:One");
}

TEST_F(PlcAddressTablesTest, ProtocolLineWithoutNumberStopsTheStart)
{
    struct Case {
        std::string_view line;
        int result;
    };
    const Case cases[] = {
        {"PCL ->A:Name<-", kPlcTablesBadProtocol},
        {"PCL Name<-", kPlcTablesBadProtocol},            // no "->" at all
        {"PCL <- ->5:Name", kPlcTablesBadProtocol},       // "->" only after "<-"
        {"PCL ->x:Name<-", kPlcTablesBadProtocol},
        {"PCL ->5:Name", kPlcTablesLoaded},               // no "<-": no protocol line
        {"PCL ->x12:Name<-", kPlcTablesLoaded},
        {"Protocol ->7:Seven<-", kPlcTablesLoaded},       // only the letter P counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line));
        EXPECT_EQ(Load(std::string("PCL ->1:One<-\n0x26,0\n") + std::string(c.line) + "\n"), c.result);
    }
}

TEST_F(PlcAddressTablesTest, ReadErrorAfterOpeningGivesSeven)
{
    std::string path = dir_ + "/QS_PLC.TEX";
    ASSERT_TRUE(WriteWholeFile(path, FileOfSize(6000)));
    FileFaults::FailRead(2);  // the second block of the file
    EXPECT_EQ(LoadPlcAddressTables(path), kPlcTablesReadError);
    FileFaults::Reset();
    EXPECT_EQ(LoadPlcAddressTables(path), kPlcTablesLoaded);
}

TEST_F(PlcAddressTablesTest, NameListAndNamePositions)
{
    ASSERT_EQ(Load("PCL ->5:First name<-\n"
                   "0x26, 0\n"
                   "PCL ->x7:Second name<- [CASE]\n"
                   "0x39, 0\n"
                   "PCL ->250:Out of range<-\n"
                   "0x26, 0\n"
                   "PCL ->-1:Negative<-\n"
                   "0x26, 0\n"
                   "PCL -> 9:Spaced<-\n"
                   "0x26, 0\n"),
              kPlcTablesLoaded);
    EXPECT_EQ(PlcProtocolNameList(), "5:First name,x7:Second name,250:Out of range,-1:Negative, 9:Spaced");
    EXPECT_EQ(ItemOf(5), "5:First name");
    EXPECT_EQ(ItemOf(7), "x7:Second name");
    EXPECT_EQ(ItemOf(9), " 9:Spaced");  // numbers outside 0-199 still hold their places
    EXPECT_EQ(GetPlcNamePosition(6), -1);
    EXPECT_EQ(GetPlcNamePosition(250), -1);
    ASSERT_TRUE(GetPlcAddressFormat(7));
    EXPECT_TRUE(GetPlcAddressFormat(7)->caseSensitive);
    EXPECT_FALSE(GetPlcAddressFormat(5)->caseSensitive);
    EXPECT_FALSE(GetPlcAddressFormat(6));
    EXPECT_FALSE(GetPlcAddressFormat(250));
}

TEST_F(PlcAddressTablesTest, ListLinesNeitherEndNorFeedTheDescriptor)
{
    // A "0" in a default or a limit must not end protocol 1's descriptor (and
    // so move protocol 2's name position); a quote in a label adds no byte.
    ASSERT_EQ(Load("PCL ->1:One<-\n"
                   "[DEFAULTS]0,10,\n"
                   "[HIGHLIMITS]100,\n"
                   "[LABELS]Rack's word\n"
                   "[INVALIDTYPES]QSD\n"
                   "0x26, 0\n"
                   "PCL ->2:Two<-\n"
                   "[DEFAULTS]0,\n"
                   "0x39, 0\n"),
              kPlcTablesLoaded);
    ASSERT_TRUE(GetPlcAddressFormat(1));
    EXPECT_EQ(GetPlcAddressFormat(1)->descriptor, "\x26");
    EXPECT_EQ(GetPlcAddressFormat(2)->descriptor, "\x39");
    EXPECT_EQ(ItemOf(1), "1:One");
    EXPECT_EQ(ItemOf(2), "2:Two");
}

TEST_F(PlcAddressTablesTest, DescriptorCharacters)
{
    struct Case {
        std::string_view lines;
        std::optional<std::string_view> descriptor;
    };
    const Case cases[] = {
        {"'A,'B,0", "AB"},
        {"'0,'x,0", "0x"},                    // quoted characters are bytes
        {"0x41 0X42 0xG1 0x4 0", "AB\x01@"},  // no hex digit counts 0
        {"0x26,\n0x39,\n0\n", "\x26\x39"},     // over several lines
        {"0x26, 0 0x39, 0", "\x26"},          // the rest of the line is ignored
        {"0", ""},                            // an empty descriptor
        {"'0,'A,0", std::nullopt},            // a leading "0" byte: no descriptor
        {"0x26 0x00 0x39 0", "\x26"},          // bytes after a NUL are not kept
        {"'", std::nullopt},                  // a quote at the end takes nothing
        {"0x26,", std::nullopt},              // never ended
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lines));
        ASSERT_EQ(Load("PCL ->4:Four<-\n" + std::string(c.lines) + "\n"), kPlcTablesLoaded);
        auto format = GetPlcAddressFormat(4);
        ASSERT_EQ(format.has_value(), c.descriptor.has_value());
        if (format) {
            EXPECT_EQ(format->descriptor, *c.descriptor);
        }
    }
}

TEST_F(PlcAddressTablesTest, PortSettingsAndRules)
{
    ASSERT_EQ(Load("PCL ->1:One<-\n"
                   "COMM=9600,8,1,N\n"
                   "RULE=PC104\n"
                   "0x26, 0\n"
                   "PCL ->2:Two<-\n"
                   "COMM=19200,7,2\n"
                   "RULE=NOCOM2\n"
                   "0x26, 0\n"
                   "PCL ->3:Three<-\n"
                   "RULE=OTHER\n"
                   "0x26, 0\n"),
              kPlcTablesLoaded);
    std::int32_t baud = 0;
    std::uint8_t data = 0, stop = 0;
    char parity = 0;
    ASSERT_TRUE(GetPlcCommSettings(1, baud, data, stop, parity));
    EXPECT_EQ(baud, 9600);
    EXPECT_EQ(data, 8);
    EXPECT_EQ(stop, 1);
    EXPECT_EQ(parity, 'N');
    EXPECT_FALSE(GetPlcCommSettings(2, baud, data, stop, parity));  // three items only
    EXPECT_FALSE(GetPlcCommSettings(200, baud, data, stop, parity));

    struct Rule {
        int protocol;
        std::int32_t first, second;
    };
    for (Rule r : {Rule{1, 4, 4}, Rule{2, -3, 0}, Rule{3, 65535, 0}, Rule{-1, 65535, 0}, Rule{200, 65535, 0}}) {
        SCOPED_TRACE(r.protocol);
        std::int32_t first = 0, second = 0;
        GetPlcRules(r.protocol, first, second);
        EXPECT_EQ(first, r.first);
        EXPECT_EQ(second, r.second);
    }
}

TEST_F(PlcAddressTablesTest, LongLinesAreCutIntoLinesOfTheirOwn)
{
    // 120 characters: the first 99 make one line, the rest another, and its
    // "0" ends the descriptor.
    std::string longLine = "0x26" + std::string(95, ' ') + "0x39 0";
    ASSERT_EQ(Load("PCL ->4:Four<-\n" + longLine + "\n"), kPlcTablesLoaded);
    EXPECT_EQ(GetPlcAddressFormat(4)->descriptor, "\x26\x39");
    // A protocol line whose "<-" lies past character 99 is no protocol line.
    std::string longName = "PCL ->6:" + std::string(100, 'N') + "<-";
    ASSERT_EQ(Load("PCL ->4:Four<-\n0x26, 0\n" + longName + "\n0x39, 0\n"), kPlcTablesLoaded);
    EXPECT_EQ(PlcProtocolNameList(), "4:Four");
    EXPECT_EQ(GetPlcAddressFormat(4)->descriptor, "\x39");
}

TEST_F(PlcAddressTablesTest, OverlongNameListKeepsWholeItems)
{
    // 32 KB of protocol lines, far more than the name list holds.
    std::string text;
    int protocol = 0;
    while (true) {
        std::string line = "PCL ->" + std::to_string(protocol % 200) + ":" + std::string(80, 'N') + "<-\n0x26, 0\n";
        if (text.size() + line.size() > 32768)
            break;
        text += line;
        ++protocol;
    }
    ASSERT_EQ(Load(text), kPlcTablesLoaded);
    const std::string& list = PlcProtocolNameList();
    EXPECT_LE(list.size(), kPlcNameListBufferSize - 1);
    EXPECT_GT(list.size(), kPlcNameListBufferSize - 90);
    // Every item that is there is whole, and the positions still fit.
    EXPECT_EQ(GetListItem(list, 1), "0:" + std::string(80, 'N'));
    int items = 1 + static_cast<int>(std::count(list.begin(), list.end(), ','));
    EXPECT_EQ(GetListItem(list, items), std::to_string(items - 1) + ":" + std::string(80, 'N'));
    EXPECT_EQ(GetListItem(list, items + 1), "");
}

TEST_F(PlcAddressTablesTest, OverlongDescriptorIsCutToItsBuffer)
{
    std::string text = "PCL ->4:Four<-\n";
    for (int line = 0; line < 60; ++line)
        text += "0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26 0x26\n";
    text += "0\n";
    ASSERT_EQ(Load(text), kPlcTablesLoaded);
    EXPECT_EQ(GetPlcAddressFormat(4)->descriptor, std::string(kMaxDescriptorBytes, '\x26'));
}

TEST_F(PlcAddressTablesTest, LoadedTablesDriveTheStaticCodec)
{
    ASSERT_EQ(Load("PCL ->4:Four<-\n0x26, 0\nPCL ->5:Five<-\n0\n"), kPlcTablesLoaded);
    std::array<std::uint8_t, kMaxPlcAddressBytes> address{};
    EXPECT_EQ(ParsePlcAddress("255", address, 4), 1);
    EXPECT_EQ(FormatPlcAddress(address, 4), "255");
    EXPECT_EQ(ParsePlcAddress("", address, 5), 0);
    EXPECT_EQ(FormatPlcAddress(address, 5), "");
    // No descriptor, or no protocol: -1 and an empty text.
    EXPECT_EQ(ParsePlcAddress("1", address, 6), -1);
    EXPECT_EQ(ParsePlcAddress("1", address, 200), -1);
    EXPECT_EQ(FormatPlcAddress(address, -1), "");
}

TEST(PlcListTest, ListItems)
{
    struct Case {
        std::string_view list;
        int n;
        std::string_view item;
    };
    const Case cases[] = {
        {"5:First name,7:Second name", 1, "5:First name"},
        {"5:First name,7:Second name", 2, "7:Second name"},
        {"5:First name,7:Second name", 3, ""},
        {"5:First name,7:Second name", 0, ""},
        {"a,,b", 2, ""},
        {"a,,b", 3, "b"},
        {"", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetListItem(c.list, c.n), c.item) << c.list << " " << c.n;

    EXPECT_EQ(FindListItem("7:Second name", "5:First name,7:Second name"), 2);
    EXPECT_EQ(FindListItem("5:First", "5:First name,7:Second name"), 0);
    EXPECT_EQ(FindListItem("b", "a,b,b"), 2);
    EXPECT_EQ(FindListItem("", ""), 0);
    EXPECT_EQ(FindListItem("", "a,,b"), 2);
}

}  // namespace
