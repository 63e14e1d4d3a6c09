// Protocol file names derived from a database, and the command file codes.
#include "qstrans/panel_family.h"

#include <gtest/gtest.h>

namespace {

TEST(PanelFamilyTest, ProtocolFileNamesByPanelTypeAndVersion)
{
    struct Case {
        int comm;
        std::uint16_t protocol;
        int panelType;
        bool atLeast33;
        const char* name;
    };
    const Case cases[] = {
        {1, 7, 9, true, "07.p1e"},    {1, 7, 9, false, "07.pce"},   {2, 7, 9, false, "07.p2e"},
        {1, 7, 14, true, "07.p1e"},   {1, 7, 14, false, "07.pce"},  {2, 7, 14, true, "07.p2e"},
        {1, 7, 25, false, "07.p1e"},  {2, 7, 26, false, "07.p2e"},  {1, 3, 11, true, "03.pcd"},
        {2, 3, 11, true, "03.pcd"},   {1, 3, 15, true, "03.pcg"},   {2, 3, 18, true, "03.pcg"},
        {1, 3, 19, true, "03.pcr"},   {2, 3, 24, true, "03.pcr"},   {1, 3, 10, true, "03.???"},
        {1, 3, 12, true, "03.???"},   {1, 3, 13, true, "03.???"},   {1, 3, 8, true, "03.???"},
        {1, 3, 0, true, "03.???"},    {1, 3, -1, true, "03.???"},   {1, 3, 27, true, "03.???"},
        {1, 141, 9, true, "141.p1e"}, {1, 100, 9, true, "100.p1e"}, {1, 99, 9, true, "99.p1e"},
        {1, 0, 9, true, "00.p1e"},    {1, 255, 9, true, ""},        {2, 255, 9, true, ""},
        {1, 0xFFFF, 9, true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProtocolFileName(c.comm, c.protocol, c.panelType, c.atLeast33), c.name)
            << "comm " << c.comm << " protocol " << c.protocol << " type " << c.panelType;
    }
}

TEST(PanelFamilyTest, CommandFilePrefixes)
{
    for (int type : {0, 3, 6, 12, -1, 27, 1000})
        EXPECT_EQ(CommandFilePrefix(type), "") << type;
    for (int type = 0; type < kPanelTypeCount; ++type) {
        const std::string prefix = CommandFilePrefix(type);
        EXPECT_TRUE(prefix.empty() || prefix.size() == 3) << type;
    }
    EXPECT_EQ(CommandFilePrefix(9), "QSE");
    EXPECT_EQ(CommandFilePrefix(14), "QSE");
    EXPECT_EQ(CommandFilePrefix(15), "QSG");
    EXPECT_EQ(CommandFilePrefix(19), "QSL");
    EXPECT_NE(CommandFilePrefix(18), CommandFilePrefix(19));
}

// The serial line's tables, written out from the panel models.
TEST(PanelFamilyTest, ModelsProtocolExtensionsAndLineDifferences)
{
    const std::pair<int, const char*> models[] = {
        {0, "Unknown"}, {6, "Old F"}, {9, "QSRTB"}, {12, "Custom Keypad"}, {13, "QSUXYA Expanded"},
        {18, "QSKB"},   {24, "QSPB"}, {26, "QSSWAQRev2"}, {27, "Unknown"}, {-1, "Unknown"},
    };
    for (const auto& [type, name] : models)
        EXPECT_STREQ(PanelModelName(type), name) << type;

    struct Extensions {
        int type;
        const char* first;
        const char* second;
        const char* comm2;
    };
    const Extensions extensions[] = {
        {0, "", "", ""},          {2, "PCK", "PCK", ""},    {10, "EXE", "EXE", "EXE"}, {7, "P1H", "PCH", "P2H"},
        {14, "P1E", "PCE", "P2E"}, {11, "PCD", "PCD", ""},  {16, "PCG", "PCG", ""},    {21, "PCR", "PCR", ""},
        {25, "P1E", "P1E", "P2E"}, {12, "", "", ""},        {40, "", "", ""},
    };
    for (const Extensions& e : extensions) {
        const CProtocolExtensions got = ProtocolExtensions(e.type);
        EXPECT_STREQ(got.comm1First, e.first) << e.type;
        EXPECT_STREQ(got.comm1Second, e.second) << e.type;
        EXPECT_STREQ(got.comm2, e.comm2) << e.type;
    }

    const std::string large = "000001101010111111100000001";
    const std::string small = "000000000000000111100000000";
    const std::string answered = "000000000000000000011111100";
    for (int type = 0; type < kPanelTypeCount; ++type) {
        EXPECT_EQ(HasLargeUpload(type), large[static_cast<std::size_t>(type)] == '1') << type;
        EXPECT_EQ(HasSmallFrames(type), small[static_cast<std::size_t>(type)] == '1') << type;
        EXPECT_EQ(AnswersEndFrame(type), answered[static_cast<std::size_t>(type)] == '1') << type;
    }
    for (int type : {-1, 27, 255})
        EXPECT_FALSE(HasLargeUpload(type) || HasSmallFrames(type) || AnswersEndFrame(type)) << type;
}

}  // namespace
