#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"

#include "plintvlr/db/atag.h"
#include "plintvlr/db/dtag.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Registries of a capacity of 10 for the small cases.
class Names : public tagregistry {
public:
    explicit Names(std::uint32_t capacity = 10) : tagregistry(capacity) {}
    std::unique_ptr<browseable> CreateItem() override { return nullptr; }
};

// A project table in memory, walked as the project database walks one.
struct FakeTable {
    std::map<std::uint32_t, std::vector<std::uint8_t>> records;
    std::vector<std::uint32_t> badKeys;  // answered with code 6

    TableWalk Walk()
    {
        return [this](bool first, std::span<std::uint8_t> buffer, std::uint16_t& length, std::uint32_t& key,
                      std::uint32_t& position) {
            auto it = first ? records.begin() : records.upper_bound(position);
            if (it == records.end())
                return 5;
            key = it->first;
            position = it->first;
            if (std::find(badKeys.begin(), badKeys.end(), key) != badKeys.end())
                return 6;
            if (it->second.size() > buffer.size())
                return 7;
            std::copy(it->second.begin(), it->second.end(), buffer.begin());
            length = static_cast<std::uint16_t>(it->second.size());
            return 0;
        };
    }
};

std::vector<std::uint8_t> AnalogRecord(std::uint32_t number, const std::string& name, std::uint32_t start,
                                       std::uint8_t size)
{
    atag tag;
    const std::uint8_t reg[] = {1, 0, 0, 0};
    tag.SetAddress(0, reg, 4, kAddressRegister);
    tag.SetName(name);
    tag.SetInternalAddress(start, size);
    tag.SetNumber(number);
    std::vector<std::uint8_t> record(kMaxTagRecord);
    record.resize(tag.PackRecord(record));
    return record;
}

std::vector<std::uint8_t> DigitalRecord(std::uint32_t number, const std::string& name)
{
    dtag tag;
    const std::uint8_t bit[] = {1, 0, 0, 0, 0, 0};
    tag.SetAddress(0, bit, 6, kAddressPlc);
    tag.SetName(name);
    tag.SetNumber(number);
    std::vector<std::uint8_t> record(kMaxTagRecord);
    record.resize(tag.PackRecord(record));
    return record;
}

struct Notice {
    UINT message;
    std::string name;
    LPARAM lParam;
};

class RecordingListener : public RegistryListener {
public:
    LRESULT OnRegistryNotice(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        notices.push_back({message, reinterpret_cast<const char*>(wParam), lParam});
        return 0;
    }
    std::vector<Notice> notices;
};

TEST(TagRegistry, NumberingFromOneAndAFullRegistry)
{
    Atag_registry registry(500);
    std::uint32_t id = 0;
    for (std::uint32_t n = 1; n < 500; ++n) {
        ASSERT_TRUE(registry.Add("T" + std::to_string(n), id));
        ASSERT_EQ(id, n);
    }
    EXPECT_EQ(registry.FirstFreeId(), -1);
    EXPECT_FALSE(registry.Add("T500", id));
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(registry.Count(), 499u);

    EXPECT_EQ(registry.Remove("T7", 1), 7u);
    EXPECT_EQ(registry.Remove("T7", 1), 0u);
    EXPECT_TRUE(registry.Add("NEW", id));
    EXPECT_EQ(id, 7u);
}

TEST(TagRegistry, FindNamesAndLengths)
{
    Names names;
    std::uint32_t id = 0;
    names.Add("PUMP", id);
    names.Add("pump", id);
    EXPECT_FALSE(names.Add("PUMP", id));
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(names.Find("pump"), 2u);
    EXPECT_EQ(names.Find("PUM"), 0u);
    std::string name;
    EXPECT_TRUE(names.GetName(2, name));
    EXPECT_EQ(name, "pump");
    EXPECT_FALSE(names.GetName(3, name));
    EXPECT_FALSE(names.GetName(10, name));
    EXPECT_EQ(names.GetNameLength(1), 4u);
    EXPECT_EQ(names.GetNameLength(0), 0u);
    EXPECT_EQ(names.GetNameLength(99), 0u);
    EXPECT_EQ(names.GetTotalNameLength(), 10u);
}

TEST(TagRegistry, WalksForwardAndBackward)
{
    Names names;
    std::uint32_t id = 0;
    for (const char* name : {"A", "B", "C"})
        names.Add(name, id);
    names.Remove("B", 0);

    std::vector<std::uint32_t> seen;
    std::string name;
    while (names.Next(name, id, kWalkForward))
        seen.push_back(id);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(names.GetIterationPosition(), 0);
    // A complete walk leaves the registry ready for the next one.
    ASSERT_TRUE(names.Next(name, id, kWalkForward));
    EXPECT_EQ(name, "A");

    ASSERT_TRUE(names.SetIteration(2, 9));
    seen.clear();
    while (names.Next(name, id, kWalkBackward))
        seen.push_back(id);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{3, 1}));

    // Any other direction reads the position itself.
    names.SetIteration(1, 3);
    EXPECT_TRUE(names.Next(name, id, 0));
    EXPECT_EQ(name, "C");
    names.SetIteration(1, 2);
    EXPECT_FALSE(names.Next(name, id, 0));
    EXPECT_FALSE(names.SetIteration(5, 1));
    EXPECT_EQ(names.GetIterationKind(), 1);
}

TEST(TagRegistry, SetNameAtMarksDuplicates)
{
    Names names(40);
    EXPECT_TRUE(names.SetNameAt("PUMP", 3));
    EXPECT_TRUE(names.SetNameAt("PUMP", 9));
    std::string name;
    names.GetName(9, name);
    EXPECT_EQ(name, "*DUPL*9*PUMP");
    EXPECT_EQ(names.Find("PUMP"), 3u);
    EXPECT_TRUE(names.SetNameAt("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 3));
    EXPECT_TRUE(names.SetNameAt("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 12));
    names.GetName(12, name);
    EXPECT_EQ(name, "*DUPL*12*ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_FALSE(names.SetNameAt("X", 40));
    EXPECT_FALSE(names.SetNameAt("X", 0));
}

// Find and FirstFreeId answer from an index kept beside the names; after any
// run of changes they must answer as a search of every id would.
TEST(TagRegistry, LookUpsAgreeWithTheNamesAfterEveryChange)
{
    Names names(12);
    const std::vector<std::string> pool = {"A", "B", "C", "LONG NAME PAST THE SHORT-STRING ROOM", "*DUPL*5*A", ""};
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::string& name = pool[next(static_cast<std::uint32_t>(pool.size()))];
        const auto id = next(13);
        std::uint32_t added = 0;
        switch (next(6)) {
        case 0:
        case 1:
            names.Add(name, added);
            break;
        case 2:
            names.Remove(name, 0);
            break;
        case 3:
            names.SetNameAt(name, id);
            break;
        case 4:
            names.RenameId(id, name);
            break;
        default:
            if (next(20) == 0)
                names.Clear();
            break;
        }
        std::int32_t firstFree = -1;
        std::string held;
        for (std::uint32_t n = 11; n >= 1; --n)
            if (!names.GetName(n, held))
                firstFree = static_cast<std::int32_t>(n);
        ASSERT_EQ(names.FirstFreeId(), firstFree) << "step " << step;
        for (const std::string& wanted : pool) {
            std::uint32_t lowest = 0;
            for (std::uint32_t n = 11; n >= 1; --n)
                if (names.GetName(n, held) && held == wanted)
                    lowest = n;
            ASSERT_EQ(names.Find(wanted), lowest) << "step " << step << " name " << wanted;
        }
    }
}

TEST(TagRegistry, RenameKeepsTheId)
{
    Atag_registry registry(10);
    RecordingListener listener;
    registry.AddListener(&listener);
    std::uint32_t id = 0;
    registry.Add("OLD", id);
    registry.Add("OTHER", id);
    EXPECT_FALSE(registry.RenameId(1, "OTHER"));
    EXPECT_TRUE(registry.RenameId(1, "QUIET"));
    EXPECT_EQ(listener.notices.size(), 2u);  // the two adds; RenameId sends nothing
    EXPECT_FALSE(registry.Rename("MISSING", "NEW"));
    EXPECT_FALSE(registry.Rename("QUIET", "OTHER"));
    EXPECT_TRUE(registry.Rename("QUIET", "NEW"));
    EXPECT_EQ(registry.Find("NEW"), 1u);
    ASSERT_EQ(listener.notices.size(), 3u);
    EXPECT_EQ(listener.notices[2].message, kTagRemovedNotice);
    EXPECT_EQ(listener.notices[2].name, "QUIET");
}

TEST(TagRegistry, ListenersHearAddsAndRemovesInOrder)
{
    Atag_registry analog(10);
    Dtag_registry digital(10);
    RecordingListener first;
    RecordingListener second;
    analog.AddListener(&first);
    analog.AddListener(&second);
    analog.AddListener(&first);  // once only
    digital.AddListener(&first);

    std::uint32_t id = 0;
    analog.Add("LEVEL", id);
    analog.Add("LEVEL", id);  // present: no notice
    digital.Add("VALVE", id);
    digital.Add("DOOR", id);
    digital.Remove("VALVE", 0);
    analog.Remove("LEVEL", 1);
    analog.Remove("ABSENT", 1);

    ASSERT_EQ(first.notices.size(), 5u);
    const Notice expected[] = {{kTagAddedNotice, "LEVEL", 1},
                               {kTagAddedNotice, "VALVE", 0x8001},
                               {kTagAddedNotice, "DOOR", 0x8002},
                               {kTagRemovedNotice, "VALVE", 0x8001},
                               {kTagRemovedNotice, "LEVEL", 1}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(first.notices[i].message, expected[i].message) << i;
        EXPECT_EQ(first.notices[i].name, expected[i].name) << i;
        EXPECT_EQ(first.notices[i].lParam, expected[i].lParam) << i;
    }
    ASSERT_EQ(second.notices.size(), 2u);
    analog.RemoveListener(&second);
    analog.Add("AGAIN", id);
    EXPECT_EQ(second.notices.size(), 2u);
}

// A listener that takes itself out while it hears a notice, as a closing
// combo box may.
class LeavingListener : public RegistryListener {
public:
    explicit LeavingListener(tagregistry& registry) : registry_(registry) {}
    LRESULT OnRegistryNotice(UINT, WPARAM, LPARAM) override
    {
        ++heard;
        registry_.RemoveListener(this);
        return 0;
    }
    int heard = 0;

private:
    tagregistry& registry_;
};

TEST(TagRegistry, AListenerMayLeaveWhileItHears)
{
    Atag_registry registry(10);
    LeavingListener leaving(registry);
    RecordingListener staying;
    registry.AddListener(&leaving);
    registry.AddListener(&staying);
    std::uint32_t id = 0;
    registry.Add("A", id);
    registry.Add("B", id);
    EXPECT_EQ(leaving.heard, 1);
    EXPECT_EQ(staying.notices.size(), 2u);
}

TEST(AtagRegistry, InternalMemoryFirstFit)
{
    Atag_registry registry(10);
    EXPECT_EQ(registry.AllocateInternal(1, 3, false), 1);  // 3 bytes take 2 words
    EXPECT_TRUE(registry.IsWordUsed(2));
    EXPECT_FALSE(registry.IsWordUsed(3));
    EXPECT_EQ(registry.AllocateInternal(2, 4, true), 3);
    EXPECT_EQ(registry.AllocateInternal(3, 1, true), 7);
    std::uint32_t start = 0;
    std::uint32_t size = 0;
    EXPECT_TRUE(registry.GetInternal(1, start, size));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(size, 3u);

    registry.FreeInternal(2, true);
    EXPECT_FALSE(registry.GetInternal(2, start, size));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(registry.AllocateInternal(4, 5, true), -1);  // words 3-6 free, 8-9 free: no run of 5
    EXPECT_EQ(registry.AllocateInternal(4, 4, true), 3);
    EXPECT_EQ(registry.AllocateInternal(5, 0, true), -1);
    EXPECT_EQ(registry.AllocateInternal(10, 1, true), -1);
    EXPECT_EQ(registry.AllocateInternal(5, 2, true), 8);
    EXPECT_EQ(registry.AllocateInternal(6, 1, true), -1);  // full

    // Removing a tag frees its memory.
    registry.SetNameAt("T1", 1);
    registry.Remove("T1", 0);
    EXPECT_FALSE(registry.IsWordUsed(1));
    EXPECT_FALSE(registry.IsWordUsed(2));
    EXPECT_EQ(registry.AllocateInternal(6, 2, true), 1);
}

TEST(AtagRegistry, LoadsNamesAndAllocations)
{
    FakeTable table;
    table.records[3] = AnalogRecord(3, "PUMP", 5, 2);
    table.records[4] = AnalogRecord(4, "BROKEN", 7, 1);
    table.records[9] = AnalogRecord(9, "PUMP", 1, 1);
    table.records[12] = AnalogRecord(12, "BEYOND", 2, 1);  // past the capacity
    table.badKeys = {4};
    Atag_registry registry(10);
    EXPECT_TRUE(registry.LoadFrom(table.Walk()));
    std::string name;
    EXPECT_TRUE(registry.GetName(3, name));
    EXPECT_EQ(name, "PUMP");
    EXPECT_TRUE(registry.GetName(9, name));
    EXPECT_EQ(name, "*DUPL*9*PUMP");
    EXPECT_FALSE(registry.GetName(4, name));
    EXPECT_EQ(registry.Count(), 2u);
    for (std::uint32_t word : {1u, 5u, 6u})
        EXPECT_TRUE(registry.IsWordUsed(word)) << word;
    for (std::uint32_t word : {2u, 3u, 4u, 7u})
        EXPECT_FALSE(registry.IsWordUsed(word)) << word;
    std::uint32_t start = 0;
    std::uint32_t size = 0;
    EXPECT_TRUE(registry.GetInternal(3, start, size));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(size, 2u);

    Atag_registry empty(10);
    EXPECT_FALSE(empty.LoadFrom(FakeTable{}.Walk()));
}

TEST(AtagRegistry, DamagedRecordsStillHoldTheirNumbers)
{
    FakeTable table;
    std::vector<std::uint8_t> longName = AnalogRecord(2, "NAME", 1, 1);
    longName[23] = 0xFF;  // the name's length runs past the record
    table.records[2] = longName;
    table.records[5] = {0x05, 0x00, 0x00};  // cut off before the allocation
    table.records[6] = AnalogRecord(6, "SIX", 1, 1);
    table.records[6][18] = 0xF0;  // the address runs past the record
    table.records[8] = std::vector<std::uint8_t>(300, 0);  // larger than any tag record
    Atag_registry registry(10);
    EXPECT_TRUE(registry.LoadFrom(table.Walk()));
    std::string name;
    EXPECT_TRUE(registry.GetName(2, name));
    EXPECT_EQ(name, "NAME");
    for (std::uint32_t id : {5u, 6u, 8u}) {
        EXPECT_TRUE(registry.GetName(id, name)) << id;
        EXPECT_TRUE(name.empty() || name.starts_with("*DUPL*")) << id;
    }
    EXPECT_EQ(registry.FirstFreeId(), 1);
    std::uint32_t id = 0;
    registry.Add("X", id);
    EXPECT_EQ(registry.FirstFreeId(), 3);
}

TEST(DtagRegistry, LoadsNames)
{
    FakeTable table;
    table.records[1] = DigitalRecord(1, "DOOR");
    table.records[2] = DigitalRecord(2, "LAMP");
    table.records[3] = DigitalRecord(3, "DOOR");
    Dtag_registry registry(10);
    EXPECT_TRUE(registry.LoadFrom(table.Walk()));
    EXPECT_EQ(registry.Find("LAMP"), 2u);
    EXPECT_EQ(registry.Find("*DUPL*3*DOOR"), 3u);
    EXPECT_NE(dynamic_cast<dtag*>(registry.CreateItem().get()), nullptr);
}

TEST(TagRegistry, AWalkThatCannotGetPastABadRecordEnds)
{
    int calls = 0;
    TableWalk stuck = [&calls](bool, std::span<std::uint8_t>, std::uint16_t&, std::uint32_t& key,
                               std::uint32_t& position) {
        ++calls;
        key = 1;
        position = 14;
        return 6;
    };
    Dtag_registry registry(10);
    EXPECT_FALSE(registry.LoadFrom(stuck));
    EXPECT_EQ(calls, 2);
}

}  // namespace
