#include "varnht32/src/heap.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "varnht32/src/pool.h"
#include "varnht32/tests/arena.h"

namespace {

using vnh::Heap;
using vnh_test::Arena;

// Runs a script of list operations over two heads (H, G) and the elements
// a..e, then names the elements of H in order.
struct ListCase {
  const char* what;
  const char* script;  // "I x" Into H, "J x" Into G, "F x" IntoAsFirst H, "A x y" Follow x after y, "T x" Takeout
  const char* expect_h;
  const char* expect_g;
};

std::string Names(Heap& heap, std::uint32_t head, const std::map<std::uint32_t, char>& name) {
  std::string out;
  for (std::uint32_t e = heap.First(head); e != 0; e = heap.SuccElem(e)) out += name.at(e);
  return out;
}

TEST(ListTest, OperationsKeepOrderAndLinks) {
  const ListCase cases[] = {
      {"Into appends in order", "I a;I b;I c", "abc", ""},
      {"IntoAsFirst inserts at the front", "I a;I b;F c", "cab", ""},
      {"Follow inserts after an element", "I a;I b;A c a", "acb", ""},
      {"Follow after the last element appends", "I a;I b;A c b", "abc", ""},
      {"Takeout unlinks the middle", "I a;I b;I c;T b", "ac", ""},
      {"Takeout of the only element empties", "I a;T a", "", ""},
      {"Takeout of an element in no list changes nothing", "I a;T c;T c", "a", ""},
      {"Into moves an element from another list", "I a;J b;J c;I b", "ab", "c"},
      {"Into of an element already there moves it last", "I a;I b;I a", "ba", ""},
      {"Follow of an element after itself changes nothing", "I a;I b;A a a", "ab", ""},
  };
  for (const ListCase& c : cases) {
    Arena arena(4096);
    Heap heap = arena.heap();
    std::uint32_t h = heap.NewListHead();
    std::uint32_t g = heap.NewListHead();
    std::map<char, std::uint32_t> block;
    std::map<std::uint32_t, char> name;
    for (char n = 'a'; n <= 'e'; ++n) {
      block[n] = heap.AllocateTyped(vnh::kTypeEvent);
      name[block[n]] = n;
    }
    std::stringstream script(c.script);
    std::string step;
    while (std::getline(script, step, ';')) {
      std::uint32_t x = block[step[2]];
      switch (step[0]) {
        case 'I': heap.Into(x, h); break;
        case 'J': heap.Into(x, g); break;
        case 'F': heap.IntoAsFirst(x, h); break;
        case 'A': heap.Follow(x, block[step[4]]); break;
        case 'T': heap.Takeout(x); break;
      }
    }
    EXPECT_EQ(Names(heap, h, name), c.expect_h) << c.what;
    EXPECT_EQ(Names(heap, g, name), c.expect_g) << c.what;
    EXPECT_EQ(heap.CountList(h), static_cast<std::int64_t>(std::string(c.expect_h).size())) << c.what;
    EXPECT_EQ(heap.CountList(g), static_cast<std::int64_t>(std::string(c.expect_g).size())) << c.what;
    EXPECT_EQ(heap.Last(h), std::string(c.expect_h).empty()) << c.what;
  }
}

TEST(ListTest, EmptyAndNullHeads) {
  Arena arena(4096);
  Heap heap = arena.heap();
  std::uint32_t h = heap.NewListHead();
  EXPECT_EQ(heap.First(h), 0u);
  EXPECT_TRUE(heap.Last(h));
  EXPECT_EQ(heap.First(0), 0u);
  EXPECT_TRUE(heap.Last(0));
  EXPECT_EQ(heap.SuccElem(0), 0u);
  EXPECT_EQ(heap.BlockType(0), vnh::kTypeNull);
  EXPECT_EQ(heap.BlockType(h), vnh::kTypeListHead);
}

TEST(ListTest, ClearUnlinksElementsAndRetiresTheHead) {
  Arena arena(4096);
  Heap heap = arena.heap();
  std::uint32_t h = heap.NewListHead();
  std::uint32_t a = heap.AllocateTyped(vnh::kTypeEvent);
  std::uint32_t b = heap.AllocateTyped(vnh::kTypeEvent);
  heap.Into(a, h);
  heap.Into(b, h);
  heap.Clear(h);
  EXPECT_TRUE(heap.Last(h));
  EXPECT_EQ(heap.Header(h)->next, 0u);
  EXPECT_EQ(heap.Header(h)->prev, 0u);
  EXPECT_EQ(heap.Header(a)->next, 0u);
  EXPECT_EQ(heap.Header(b)->prev, 0u);
  // A retired head takes no element until it is activated again.
  heap.ActivateListHead(h);
  heap.Into(b, h);
  EXPECT_EQ(heap.First(h), b);
  // Only an empty head is retired.
  heap.DeactivateListHead(h);
  EXPECT_EQ(heap.First(h), b);
  heap.Takeout(b);
  heap.DeactivateListHead(h);
  EXPECT_EQ(heap.Header(h)->next, 0u);
}

TEST(HeapTest, AllocatesFromTheBottomUntilTooFewBytesAreLeft) {
  Arena arena(1000);
  Heap heap = arena.heap();
  std::uint32_t first = heap.Allocate(100, vnh::kTypeStringStorage, false);
  std::uint32_t second = heap.Allocate(5, vnh::kTypeStringStorage, false);
  EXPECT_EQ(second, first + 112);  // 12-byte header and 100 bytes of data
  EXPECT_EQ(heap.Used(), 112u + 20u);  // 5 bytes round up to 8
  EXPECT_EQ(heap.Bytes(second) - heap.Bytes(first), 112);
  std::uint32_t left = heap.Left();
  EXPECT_EQ(heap.Allocate(left - 11, vnh::kTypeStringStorage, false), 0u);
  EXPECT_NE(heap.Allocate(left - 12, vnh::kTypeStringStorage, false), 0u);
  EXPECT_EQ(heap.Left(), 0u);
  EXPECT_EQ(heap.Allocate(0, vnh::kTypeListHead, false), 0u);
  EXPECT_EQ(heap.NewListHead(), 0u);
}

TEST(HeapTest, TypeWordCarriesTypeAndFlags) {
  Arena arena(4096);
  Heap heap = arena.heap();
  std::uint32_t element = heap.AllocateTyped(vnh::kTypeUdpPeer);
  std::uint32_t plain = heap.Allocate(4, vnh::kTypeIntegerStorage, false);
  std::uint32_t head = heap.NewListHead();
  EXPECT_EQ(heap.TypeWord(element), 2027 | vnh::kFlagListElement);
  EXPECT_EQ(heap.TypeWord(plain), vnh::kTypeIntegerStorage);
  EXPECT_EQ(heap.TypeWord(head), vnh::kTypeListHead | vnh::kFlagListHead);
  EXPECT_EQ(heap.Header(element)->zero, 0u);
  EXPECT_EQ(heap.BlockType(element), vnh::kTypeUdpPeer);
}

TEST(HeapTest, HandleChecksNeverReachOutsideTheHeap) {
  Arena arena(4096);
  Heap heap = arena.heap();
  vnh::Pool pool{};
  ASSERT_TRUE(vnh::PoolSetUp(heap, pool, 0, 1, vnh::kTypeAction));
  std::uint32_t action = vnh::PoolGet(heap, pool);
  std::uint32_t stale = vnh::PoolGet(heap, pool);
  std::uint32_t given_back = stale;
  vnh::PoolPut(heap, pool, &given_back);
  std::uint32_t event = heap.AllocateTyped(vnh::kTypeEvent);
  struct Case {
    const char* what;
    std::uint32_t handle;
    std::int32_t expect;
  } cases[] = {
      {"null", 0, -2},
      {"live record", action, 1},
      {"record of another type", event, -3},
      {"record waiting in its pool", stale, -3},
      {"inside a record", action + 4, -3},
      {"inside a record's data, header-aligned", action + 12, -3},
      {"below the heap", 8, -3},
      {"above the used heap", event + 200, -3},
      {"far outside", 0xFFFFFFF0u, -3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(heap.CheckHandle(c.handle, vnh::kTypeAction), c.expect) << c.what;
  }
}

struct PoolCase {
  const char* what;
  std::uint16_t type;
  std::uint32_t initial;
  std::uint32_t refill;
  int gets;
  std::uint32_t made_after_setup;
  std::uint32_t made_after_gets;
};

TEST(PoolTest, InitialAndRefillCounts) {
  const PoolCase cases[] = {
      {"client records 1 and 1", vnh::kTypeClient, 1, 1, 2, 1, 2},
      {"events 10 and 10", vnh::kTypeEvent, 10, 10, 11, 10, 20},
      {"variable entries 0 and 10", vnh::kTypeVariableEntry, 0, 10, 1, 0, 10},
      {"actions 0 and 1", vnh::kTypeAction, 0, 1, 3, 0, 3},
      {"a refill of 0 counts as 1", vnh::kTypeStream, 0, 0, 2, 0, 2},
  };
  for (const PoolCase& c : cases) {
    Arena arena(64 * 1024);
    Heap heap = arena.heap();
    vnh::Pool pool{};
    ASSERT_TRUE(vnh::PoolSetUp(heap, pool, c.initial, c.refill, c.type)) << c.what;
    EXPECT_EQ(pool.made, c.made_after_setup) << c.what;
    EXPECT_EQ(vnh::PoolFreeCount(heap, pool), c.made_after_setup) << c.what;
    std::vector<std::uint32_t> got;
    for (int i = 0; i < c.gets; ++i) {
      got.push_back(vnh::PoolGet(heap, pool));
      ASSERT_NE(got.back(), 0u) << c.what;
      EXPECT_EQ(heap.CheckHandle(got.back(), c.type), 1) << c.what;
    }
    EXPECT_EQ(pool.made, c.made_after_gets) << c.what;
    for (std::uint32_t& b : got) vnh::PoolPut(heap, pool, &b);
    EXPECT_EQ(vnh::PoolFreeCount(heap, pool), c.made_after_gets) << c.what;
    EXPECT_EQ(got.front(), 0u) << c.what << ": the caller's offset is cleared";
  }
}

TEST(PoolTest, RecordsAreRecycled) {
  Arena arena(8192);
  Heap heap = arena.heap();
  vnh::Pool pool{};
  vnh::PoolSetUp(heap, pool, 0, 1, vnh::kTypeAction);
  std::uint32_t a = vnh::PoolGet(heap, pool);
  std::uint32_t keep = a;
  std::uint32_t used = heap.Used();
  vnh::PoolPut(heap, pool, &a);
  EXPECT_EQ(vnh::PoolGet(heap, pool), keep);
  EXPECT_EQ(heap.Used(), used);
}

TEST(PoolTest, PutTwiceOrOfAnotherTypeLeavesTheFreeListSound) {
  Arena arena(8192);
  Heap heap = arena.heap();
  vnh::Pool pool{};
  vnh::PoolSetUp(heap, pool, 0, 1, vnh::kTypeAction);
  std::uint32_t a = vnh::PoolGet(heap, pool);
  std::uint32_t copy = a;
  vnh::PoolPut(heap, pool, &a);
  vnh::PoolPut(heap, pool, &copy);
  std::uint32_t event = heap.AllocateTyped(vnh::kTypeEvent);
  vnh::PoolPut(heap, pool, &event);
  EXPECT_EQ(vnh::PoolFreeCount(heap, pool), 1);
  EXPECT_NE(vnh::PoolGet(heap, pool), 0u);
  EXPECT_NE(vnh::PoolGet(heap, pool), 0u);
  EXPECT_EQ(pool.made, 2u);
}

TEST(PoolTest, WithoutPoolingEveryRecordIsNewHeap) {
  Arena arena(8192);
  Heap heap = arena.heap();
  heap.SetPoolAllowed(false);
  vnh::Pool pool{};
  vnh::PoolSetUp(heap, pool, 10, 10, vnh::kTypeEvent);
  EXPECT_EQ(pool.made, 0u);
  std::uint32_t a = vnh::PoolGet(heap, pool);
  std::uint32_t first = a;
  vnh::PoolPut(heap, pool, &a);
  std::uint32_t b = vnh::PoolGet(heap, pool);
  EXPECT_NE(b, first);
  EXPECT_EQ(pool.made, 2u);
  EXPECT_EQ(vnh::PoolFreeCount(heap, pool), 0);
  // Freed records are lost, so the heap runs out in the end.
  int taken = 0;
  while (vnh::PoolGet(heap, pool) != 0) ++taken;
  EXPECT_EQ(taken, static_cast<int>((8192 - 2 * 28 - 12) / 28));
}

TEST(PoolTest, HeadPoolHandsOutEmptyUsableHeads) {
  Arena arena(8192);
  Heap heap = arena.heap();
  vnh::Pool pool{};
  vnh::PoolSetUp(heap, pool, 2, 1, vnh::kTypeListHead, true);
  std::uint32_t head = vnh::PoolGet(heap, pool);
  ASSERT_NE(head, 0u);
  EXPECT_TRUE(heap.Last(head));
  std::uint32_t a = heap.AllocateTyped(vnh::kTypeEvent);
  std::uint32_t b = heap.AllocateTyped(vnh::kTypeEvent);
  heap.Into(a, head);
  heap.Into(b, head);
  std::uint32_t keep = head;
  vnh::PoolPut(heap, pool, &head);
  EXPECT_EQ(heap.Header(a)->next, 0u);
  EXPECT_EQ(heap.Header(b)->next, 0u);
  EXPECT_EQ(vnh::PoolFreeCount(heap, pool), 2);
  // The free list is walked to its end although its members are heads.
  std::uint32_t again = vnh::PoolGet(heap, pool);
  std::uint32_t other = vnh::PoolGet(heap, pool);
  EXPECT_TRUE(again == keep || other == keep);
  EXPECT_TRUE(heap.Last(again));
  EXPECT_EQ(heap.TypeWord(again), vnh::kTypeListHead | vnh::kFlagListHead);
  heap.Into(a, again);
  EXPECT_EQ(heap.First(again), a);
}

TEST(PoolTest, ExhaustedHeapGivesNoRecord) {
  Arena arena(100);
  Heap heap = arena.heap();
  vnh::Pool pool{};
  ASSERT_TRUE(vnh::PoolSetUp(heap, pool, 0, 1, vnh::kTypeAction));
  EXPECT_EQ(vnh::PoolGet(heap, pool), 0u);
  EXPECT_EQ(pool.made, 0u);
}

}  // namespace
