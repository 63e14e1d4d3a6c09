// Tags, registries and the text pool in an open project.
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/text_pool.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/db/tests/tag_test_util.h"

#include <gtest/gtest.h>

namespace {

// Tag 99 as a text panel's project gets it: a system tag on register 499.
const std::vector<std::uint8_t> kCommsErrRecord = Bytes(
    "63 00 | 00 | 00 | 80 | 00 | 00 | 00 | 00 00 00 00 | 00 | 00 00 00 00"
    "01 | 04 | F3 01 00 00"
    "09 43 4F 4D 4D 53 5F 45 52 52 | 00");

const std::uint8_t kRegister12[] = {0x0C, 0, 0, 0};

class TagProjectTest : public ProjectFixture {};

atag AnalogTag(const std::string& name)
{
    atag tag;
    tag.SetName(name);
    tag.SetAddress(0, kRegister12, 4, kAddressRegister);
    return tag;
}

dtag DigitalTag(const std::string& name, bool secondInput)
{
    dtag tag;
    tag.SetName(name);
    tag.SetAddress(0, kRegister12, 4, kAddressRegister);
    if (secondInput) {
        tag.SetFlag(kDtagSecondInput);
        tag.SetAddress(1, kRegister12, 4, kAddressRegister);
    }
    return tag;
}

TEST_F(TagProjectTest, TagsAreStoredReadAndDeletedInTheirTables)
{
    adatabase& db = CreateAndOpen("TAGS");
    atag level = AnalogTag("LEVEL");
    ASSERT_TRUE(level.Write(5));
    EXPECT_EQ(level.GetNumber(), 5u);
    EXPECT_EQ(Read(db, 1, 5), Pack(level));
    EXPECT_EQ(db.GetTableTotal(1), static_cast<std::int32_t>(Pack(level).size()) + 12);

    atag read;
    ASSERT_TRUE(read.Read(5));
    EXPECT_TRUE(read.IsSame(level));
    atag untouched = AnalogTag("KEEP");
    EXPECT_FALSE(untouched.Read(6));
    EXPECT_EQ(untouched.GetName(), "KEEP");
    EXPECT_FALSE(untouched.Read(-1));

    // No input address: nothing is stored.
    atag bare;
    bare.SetName("BARE");
    EXPECT_FALSE(bare.Write(6));
    EXPECT_TRUE(Read(db, 1, 6).empty());

    dtag door = DigitalTag("DOOR", true);
    ASSERT_TRUE(door.Write(2));
    dtag back;
    ASSERT_TRUE(back.Read(2));
    EXPECT_TRUE(back.IsSame(door));
    EXPECT_TRUE(back.Delete());
    EXPECT_TRUE(Read(db, 2, 2).empty());
    EXPECT_FALSE(back.Delete());
    EXPECT_TRUE(read.Delete());
    EXPECT_EQ(db.GetTableTotal(1), 0);
}

TEST_F(TagProjectTest, RegistriesAreMadeForThePanelAndLoadedAtOpen)
{
    CreateAndOpen("REG", 14);
    for (auto [number, name] : {std::pair{3u, "PUMP"}, std::pair{9u, "PUMP"}, std::pair{4u, "FLOW"}})
        ASSERT_TRUE(AnalogTag(name).Write(number));
    atag allocated = AnalogTag("TEXT");
    allocated.SetInternalAddress(20, 3);
    ASSERT_TRUE(allocated.Write(10));
    ASSERT_TRUE(DigitalTag("DOOR", false).Write(7));

    adatabase& db = _QSglobals.NewDatabase();
    ASSERT_EQ(db.OpenProject("REG"), 1);
    Atag_registry* analog = db.GetAnalogRegistry();
    Dtag_registry* digital = db.GetDigitalRegistry();
    ASSERT_NE(analog, nullptr);
    ASSERT_NE(digital, nullptr);
    EXPECT_EQ(analog->Capacity(), 500u);
    EXPECT_EQ(digital->Capacity(), 500u);
    EXPECT_EQ(analog->Find("PUMP"), 3u);
    EXPECT_EQ(analog->Find("*DUPL*9*PUMP"), 9u);
    EXPECT_EQ(digital->Find("DOOR"), 7u);
    std::uint32_t start = 0, size = 0;
    EXPECT_TRUE(analog->GetInternal(10, start, size));
    EXPECT_EQ(start, 20u);
    EXPECT_TRUE(analog->IsWordUsed(22));
    // The loads counted both tables.
    EXPECT_GT(db.GetTableTotal(1), 4 * 12);
    EXPECT_GT(db.GetTableTotal(2), 12);

    // Opening again loads afresh, without marking every name a duplicate.
    ASSERT_EQ(db.OpenProject("REG"), 1);
    EXPECT_EQ(db.GetAnalogRegistry(), analog);
    EXPECT_EQ(analog->Find("PUMP"), 3u);
    EXPECT_EQ(analog->Count(), 4u);
    db.Close();
    EXPECT_EQ(db.GetAnalogRegistry(), nullptr);
}

TEST_F(TagProjectTest, TextPanelsGetTheCommsErrTag)
{
    adatabase& db = CreateAndOpen("TEXT", 17);
    EXPECT_EQ(Read(db, 1, 99), kCommsErrRecord);
    EXPECT_EQ(db.GetAnalogRegistry()->Find("COMMS_ERR"), 99u);
    EXPECT_EQ(db.GetAnalogRegistry()->Capacity(), 100u);

    // A tag 99 of the engineer's own stays as it is.
    atag own = AnalogTag("MINE");
    ASSERT_TRUE(own.Write(99));
    adatabase& again = _QSglobals.NewDatabase();
    ASSERT_EQ(again.OpenProject("TEXT"), 1);
    EXPECT_EQ(Read(again, 1, 99), Pack(own));
}

TEST_F(TagProjectTest, OtherPanelsClearTheSystemFlagOfTag99)
{
    CreateAndOpen("MOVED", 20);
    // The project becomes one of a graphic panel.
    adatabase& db = Db();
    std::vector<std::uint8_t> info = Read(db, 8, 102);
    info[70] = 14;
    ASSERT_EQ(db.PutSystemRecord(102, info.data(), static_cast<std::uint16_t>(info.size())), 0);
    db.SetModified(false);  // closing would write the old panel type back
    adatabase& graphic = _QSglobals.NewDatabase();
    ASSERT_EQ(graphic.OpenProject("MOVED"), 1);
    std::vector<std::uint8_t> expected = kCommsErrRecord;
    expected[4] = 0x00;  // the refresh byte without the system-tag flag
    EXPECT_EQ(Read(graphic, 1, 99), expected);

    // A graphic project without tag 99 gets none.
    adatabase& plain = CreateAndOpen("PLAIN", 9);
    EXPECT_TRUE(Read(plain, 1, 99).empty());
}

TEST_F(TagProjectTest, NamesAndReferencesOfTheOpenProject)
{
    adatabase& db = CreateAndOpen("REFS", 14);
    std::uint32_t id = 0;
    for (int i = 0; i < 7; ++i)
        db.GetDigitalRegistry()->Add("D" + std::to_string(i), id);
    db.GetDigitalRegistry()->RenameId(7, "VALVE");
    db.GetAnalogRegistry()->Add("BOTH", id);
    db.GetDigitalRegistry()->Add("BOTH", id);

    EXPECT_EQ(TagNameToRef(""), 0);
    EXPECT_EQ(TagNameToRef("VALVE"), 0x8007);
    EXPECT_EQ(TagNameToRef("BOTH"), 1);
    EXPECT_EQ(TagNameToRef("NONE"), 0);
    EXPECT_EQ(FindDigitalTagId("BOTH"), 8u);

    EXPECT_EQ(EncodeTagRef(1, 1, false), 0xC3EB);
    int bit = 0;
    bool digital = false;
    EXPECT_EQ(DecodeTagRef(0xCBB9, bit, digital), 1);
    EXPECT_TRUE(digital);
    EXPECT_EQ(bit, 3);
    std::uint16_t reference = 0x8001;
    JoinTagRefBit(reference, 3);
    EXPECT_EQ(reference, 0xCBB9);
    SplitTagRefBit(reference, bit);
    EXPECT_EQ(reference, 0x8001);

    CreateAndOpen("TEXTREFS", 15);  // B 1000, L 100
    EXPECT_EQ(EncodeTagRef(1, 1, true), 0xC57B);
}

TEST_F(TagProjectTest, SecondInputsOfDigitalReferences)
{
    CreateAndOpen("INPUTS");
    ASSERT_TRUE(DigitalTag("ONE", false).Write(1));
    ASSERT_TRUE(DigitalTag("TWO", true).Write(2));
    EXPECT_FALSE(TagRefHasSecondInput(0x8001));
    EXPECT_TRUE(TagRefHasSecondInput(0x8002));
    EXPECT_FALSE(TagRefHasSecondInput(0x8003));  // no such tag
    EXPECT_TRUE(TagRefHasSecondInput(0x0003));
}

TEST_F(TagProjectTest, AddressTextsFollowThePanelAndTheChannelsProtocol)
{
    StorePlcAddressFormat(150, std::string_view("\x42\x01R\x29", 4), 1);
    adatabase& db = CreateAndOpen("ADDR", 14);
    db.SetProtocol(150);
    std::array<std::uint8_t, 40> bytes{};
    int length = 0;
    int kind = 0;
    EXPECT_TRUE(ParseTagAddress("R0012", bytes, length, kind, kAnalogRegisterFormat, 150));
    EXPECT_EQ(kind, kAddressRegister);

    atag tag = AnalogTag("PLC");
    const std::uint8_t plc[] = {0x0C, 0};
    tag.SetAddress(0, plc, 2, kAddressPlc);
    tag.SetAddress(2, plc, 2, kAddressPlc);
    tag.SetAddressChannel(2, kChannelB);
    std::uint32_t id = 0;
    db.GetAnalogRegistry()->Add("PLC", id);
    tag.SetNumber(id);
    EXPECT_EQ(Column(tag, 0), "PLC");
    EXPECT_EQ(Column(tag, 1), "R0012");  // channel A: the project's protocol
    EXPECT_EQ(Column(tag, 3), "");       // channel B has no protocol
    EXPECT_FALSE(HasPortTable());

    // Record 122 gives each channel its protocol.
    std::vector<std::uint8_t> ports = Bytes("7A 00");
    for (int row = 0; row < 2; ++row) {
        std::vector<std::uint8_t> line(36, 0);
        line[0] = 150;
        ports.insert(ports.end(), line.begin(), line.end());
    }
    ASSERT_EQ(db.PutSystemRecord(122, ports.data(), static_cast<std::uint16_t>(ports.size())), 0);
    EXPECT_TRUE(HasPortTable());
    EXPECT_EQ(Column(tag, 3), "R0012");

    CreateAndOpen("TEXTADDR", 15);
    EXPECT_FALSE(ParseTagAddress("R0012", bytes, length, kind, kAnalogRegisterFormat, 150));
    EXPECT_EQ(kind, kAddressInvalid);
    StorePlcAddressFormat(150, "", 0);
}

TEST_F(TagProjectTest, TheTextPoolIsRecord118)
{
    adatabase& db = CreateAndOpen("POOL");
    pile pool;
    EXPECT_FALSE(pool.Load());
    EXPECT_EQ(pool.Store(), 0);
    EXPECT_EQ(Read(db, 8, 118), Bytes("76 00"));

    std::uint32_t id = 0;
    pool.Add("ab", id);
    pool.Add("cde", id);
    EXPECT_EQ(pool.Store(), 0);
    EXPECT_EQ(Read(db, 8, 118), Bytes("76 00 61 62 00 63 64 65 00"));

    pile loaded;
    EXPECT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.Find("cde"), 2u);
    EXPECT_EQ(loaded.GetOffset(2), 3u);

    // A pool too large for one record is not stored cut short.
    pile huge;
    huge.Add(std::string(40000, 'x'), id);
    huge.Add(std::string(40000, 'y'), id);
    EXPECT_EQ(huge.Store(), 3);
    EXPECT_EQ(Read(db, 8, 118), Bytes("76 00 61 62 00 63 64 65 00"));
}

}  // namespace
