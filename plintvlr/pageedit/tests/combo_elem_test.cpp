// The element group: its record, dragging and resizing, turning and panel
// permission, and nested groups read through the page reader.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/db/field_record.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/lines_elem.h"

#include <gtest/gtest.h>

namespace {

using namespace records;

std::unique_ptr<SizeRect> Line(const char* hex)
{
    auto line = std::make_unique<LinesElem>();
    const Bytes bytes = Parse(hex);
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(line->ReadRecord(in));
    return line;
}

Bytes WriteOf(const SizeRect& element)
{
    Bytes out(70000);
    const std::uint8_t* end = element.WriteRecord(out.data());
    if (!end)
        return {};
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::unique_ptr<ComboElem> ReadGroup(const Bytes& bytes)
{
    auto group = std::make_unique<ComboElem>();
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(group->ReadRecord(in));
    EXPECT_EQ(in.Remaining(), 0u);
    return group;
}

// The fields of a group record as the field-record reader finds them.
struct GroupFields {
    int members = 0;
    int tagCount = 0;
    std::vector<std::uint16_t> tags;
    bool hasTags = false;
    bool hasBackground = false;
    bool hasPosition = false;
};

GroupFields FieldsOf(const Bytes& record)
{
    GroupFields f;
    FieldRecordCursor cursor;
    EXPECT_EQ(FieldRecordBeginRead(cursor, record.data(), record.size(), 0), ComboElem::kRecordType);
    std::uint8_t header[12];
    FieldRecordGetBytes(cursor, 1, header, sizeof header);
    f.members = header[0] | header[1] << 8;
    f.tagCount = header[2] | header[3] << 8;
    f.tags.resize(static_cast<std::size_t>(f.tagCount));
    f.hasTags = FieldRecordGetWords(cursor, 1, f.tags.data(), static_cast<std::uint16_t>(f.tagCount)) == FR_OK;
    FieldRecordGetBytes(cursor, 2, nullptr, 0);
    std::uint8_t background = 0;
    f.hasBackground = FieldRecordGetBytes(cursor, 3, &background, 1) == FR_OK;
    std::uint8_t offsets[4];
    f.hasPosition = FieldRecordGetBytes(cursor, 4, offsets, 4) == FR_OK;
    FieldRecordEnd(cursor);
    return f;
}

// An element whose answers a test sets.
class Probe : public SizeRect {
public:
    Probe(const TRect& rect, bool turns, bool allowed)
        : SizeRect(rect.TopLeft(), rect.BottomRight()), turns_(turns), allowed_(allowed)
    {
    }
    bool CanToggleOrientation() const override { return turns_; }
    bool IsAllowedOnPanel() const override { return allowed_; }
    std::unique_ptr<SizeRect> Clone() const override { return std::make_unique<Probe>(*this); }

private:
    bool turns_;
    bool allowed_;
};

class GroupTest : public PageFixture {};

TEST_F(GroupTest, TheRecordCarriesTagsBackgroundAndPositionOnlyWhenThereAreAny)
{
    Open(9);
    SizeRectArray plain;
    plain.Add(Line(kLine));
    plain.Add(Line(kLine2));
    const GroupFields bare = FieldsOf(WriteOf(ComboElem(plain)));
    EXPECT_EQ(bare.members, 2);
    EXPECT_EQ(bare.tagCount, 0);
    EXPECT_FALSE(bare.hasTags);
    EXPECT_FALSE(bare.hasBackground);
    EXPECT_FALSE(bare.hasPosition);

    // Tags used twice are listed once, in order of first use.
    SizeRectArray tagged;
    tagged.Add(Line(kLine))->GetDynPosition().SetFirstTag(5);
    SizeRect* second = tagged.Add(Line(kLine2));
    second->GetDynPosition().SetFirstTag(5);
    second->GetDynPosition().SetSecondTag(7);
    ComboElem group(tagged);
    group.GetDynPosition().SetFirstTag(9);
    group.GetDynPosition().SetOffset({3, 0});
    const GroupFields withTags = FieldsOf(WriteOf(group));
    EXPECT_EQ(withTags.tags, (std::vector<std::uint16_t>{5, 7}));
    EXPECT_TRUE(withTags.hasPosition);

    // A colour panel stores the background, also when it is 0.
    PanelScope colour(kColorPanel);
    EXPECT_TRUE(FieldsOf(WriteOf(ComboElem(plain))).hasBackground);
}

TEST_F(GroupTest, ReadingTakesTheMembersAndIgnoresTheStoredExtent)
{
    Open(9);
    SizeRectArray members;
    members.Add(Line(kLine));
    members.Add(Line(kLine2));
    ComboElem group(members);
    group.GetDynPosition().SetSecondTag(4);
    group.GetDynPosition().SetOffset({0, 6});
    Bytes record = WriteOf(group);
    // The extent follows the counts in the first field: spoil it.
    for (std::size_t i = 0; i + 1 < record.size(); ++i) {
        if (record[i] == 0x0C && record[i + 1] == 0x02) {
            for (std::size_t k = i + 5; k < i + 13; ++k)
                record[k] = 0x7E;
            break;
        }
    }
    auto read = ReadGroup(record);
    EXPECT_EQ(read->GetRect(), group.GetRect());
    EXPECT_EQ(read->GetMembers().Count(), 2);
    EXPECT_EQ(read->GetDynPosition().GetSecondTag(), 4);
    EXPECT_EQ(read->GetDynPosition().GetOffset(), TPoint(0, 6));
}

TEST_F(GroupTest, NestedGroupsReadAndWriteBackUnchangedButNotBeyondEightDeep)
{
    Open(9);
    SizeRectArray inner;
    inner.Add(Line(kLine));
    SizeRectArray outer;
    outer.Add(std::make_unique<ComboElem>(inner));
    outer.Add(Line(kLine2));
    const Bytes record = WriteOf(ComboElem(outer));
    const auto read = ReadGroup(record);
    ASSERT_EQ(read->GetMembers().Count(), 2);
    EXPECT_NE(dynamic_cast<const ComboElem*>(read->GetMembers()[0]), nullptr);
    EXPECT_EQ(WriteOf(*read), record);

    // The same through a page.
    StorePage(1, "01 00 " + Hex(record) + " 00");
    SizeRectManager model(nullptr, true);
    model.LoadPage(SizeRectManager::kPageMode, 1);
    model.SetModified();
    ASSERT_TRUE(model.SavePage(SizeRectManager::kPageMode, 1));
    EXPECT_EQ(StoredPage(1), "01 00 " + Hex(record) + " 00");

    auto nested = [](int depth) {
        std::unique_ptr<SizeRect> element = Line(kLine);
        for (int i = 0; i < depth; ++i) {
            SizeRectArray one;
            one.Add(std::move(element));
            element = std::make_unique<ComboElem>(one);
        }
        return WriteOf(*element);
    };
    for (int depth : {8, 9}) {
        const Bytes bytes = nested(depth);
        ComboElem group;
        RecordReader in(bytes.data(), bytes.size());
        EXPECT_EQ(group.ReadRecord(in), depth <= ComboElem::kMaxNesting) << depth;
    }
}

TEST_F(GroupTest, DraggingMovesAndResizesTheMembersInProportion)
{
    Open(9);
    SizeRectArray boxes;
    boxes.Add(std::make_unique<SizeRect>(TPoint{1000, 200}, TPoint{1200, 400}));
    boxes.Add(std::make_unique<SizeRect>(TPoint{1400, 200}, TPoint{1600, 400}));
    ComboElem group(boxes);
    EXPECT_EQ(group.GetRect(), TRect(1000, 200, 1600, 400));

    // Less than a pixel either way changes nothing.
    group.SnapToGrid(kDragMove, {19, -19});
    EXPECT_EQ(group.GetRect(), TRect(1000, 200, 1600, 400));
    EXPECT_EQ(group.GetMembers()[1]->GetRect(), TRect(1400, 200, 1600, 400));

    // Twice the width by the right edge (handle 5).
    group.SnapToGrid(5, {600, 0});
    EXPECT_EQ(group.GetMembers()[0]->GetRect(), TRect(1000, 200, 1400, 400));
    EXPECT_EQ(group.GetMembers()[1]->GetRect(), TRect(1800, 200, 2200, 400));
    EXPECT_EQ(group.GetRect(), TRect(1000, 200, 2200, 400));

    group.SnapToGrid(kDragMove, {100, 40});
    EXPECT_EQ(group.GetRect(), TRect(1100, 240, 2300, 440));
    EXPECT_EQ(group.GetMembers()[0]->GetRect(), TRect(1100, 240, 1500, 440));
}

TEST_F(GroupTest, TurningAndPanelPermissionFollowTheMembers)
{
    Open(9);
    const struct {
        bool turns[2];
        bool allowed[2];
    } cases[] = {
        {{true, true}, {true, true}},
        {{true, false}, {true, true}},
        {{true, true}, {false, true}},
    };
    for (const auto& c : cases) {
        SizeRectArray members;
        for (int i = 0; i < 2; ++i)
            members.Add(std::make_unique<Probe>(TRect(100 + 300 * i, 100, 300 + 300 * i, 200), c.turns[i],
                                                c.allowed[i]));
        const ComboElem group(members);
        EXPECT_EQ(group.CanToggleOrientation(), c.turns[0] && c.turns[1]);
        EXPECT_EQ(group.IsAllowedOnPanel(), c.allowed[0] && c.allowed[1]);
    }
    EXPECT_TRUE(ComboElem().IsAllowedOnPanel());
}

TEST_F(GroupTest, DuplicatesGiveEveryMemberANewIdAndCopiesKeepThem)
{
    Open(9);
    SizeRectArray members;
    members.Add(Line(kLine));
    const ComboElem group(members);
    const auto copy = group.Clone();
    EXPECT_EQ(copy->GetId(), group.GetId());
    EXPECT_EQ(static_cast<ComboElem&>(*copy).GetMembers()[0]->GetId(), group.GetMembers()[0]->GetId());
    const auto pasted = group.Duplicate();
    EXPECT_NE(pasted->GetId(), group.GetId());
    EXPECT_NE(static_cast<ComboElem&>(*pasted).GetMembers()[0]->GetId(), group.GetMembers()[0]->GetId());
    EXPECT_EQ(pasted->GetRect(), group.GetRect());
    EXPECT_EQ(group.GetTypeName(), "group");
}

TEST_F(GroupTest, TheReportNumbersTheMembersUnderTheGroup)
{
    Open(9);
    SizeRectArray members;
    members.Add(Line(kLine));
    members.Add(Line(kLine2));
    ReportLines lines;
    ComboElem(members).Describe(4, lines, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("4. Element Group: left ", 0), 0u) << lines[0];
    int numbered = 0;
    for (const std::string& line : lines)
        numbered += line.rfind("4.1. ", 0) == 0 || line.rfind("4.2. ", 0) == 0;
    EXPECT_EQ(numbered, 2);
}

}  // namespace
