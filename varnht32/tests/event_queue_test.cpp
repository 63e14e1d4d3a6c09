#include "varnht32/src/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "varnht32/tests/arena.h"

namespace {

using vnh::TimeStamp;

struct QueueFixture {
  vnh_test::Arena arena{64 * 1024};
  vnh::Heap heap = arena.heap();
  vnh::Pool pool{};
  bool pool_ready = vnh::PoolSetUp(heap, pool, 10, 10, vnh::kTypeEvent);
  vnh::EventQueue queue{heap, pool, heap.NewListHead(), heap.NewListHead()};
  std::uint32_t objects[8] = {};

  QueueFixture() {
    for (auto& o : objects) o = heap.AllocateTyped(vnh::kTypeAction);
  }

  // Takes every event that is due at `now`, as object indexes.
  std::vector<int> Drain(TimeStamp now) {
    std::vector<int> out;
    std::uint32_t object = 0;
    std::uint16_t word = 0;
    while (queue.Next(now, &object, &word)) {
      for (int i = 0; i < 8; ++i) {
        if (objects[i] == object) out.push_back(i);
      }
    }
    return out;
  }
};

TEST(EventQueueTest, ImmediateEventsComeFirstAndTimedOnesWhenDue) {
  struct Queued {
    int object;
    std::int32_t delay;
  };
  struct Case {
    const char* what;
    std::vector<Queued> queued;
    std::uint32_t after_ms;
    std::vector<int> expect;
  } cases[] = {
      {"immediate in arrival order", {{0, 0}, {1, 0}, {2, 0}}, 0, {0, 1, 2}},
      {"a delay of 0 or less is immediate", {{0, 0}, {1, -5}}, 0, {0, 1}},
      {"timed waits for its time", {{0, 100}, {1, 0}}, 99, {1}},
      {"timed once due, behind immediate", {{0, 100}, {1, 0}}, 100, {1, 0}},
      {"timed in order of due time", {{0, 300}, {1, 100}, {2, 200}}, 300, {1, 2, 0}},
      {"same due time keeps arrival order", {{0, 100}, {1, 100}, {2, 50}, {3, 100}}, 100,
       {2, 0, 1, 3}},
  };
  for (const Case& c : cases) {
    QueueFixture f;
    TimeStamp start{3, 86'399'950};  // the due times cross midnight
    for (const Queued& q : c.queued) {
      ASSERT_TRUE(f.queue.QueueDelayed(start, q.delay, f.objects[q.object])) << c.what;
    }
    EXPECT_EQ(f.Drain(vnh::AddMilliSeconds(start, static_cast<std::int32_t>(c.after_ms))),
              c.expect)
        << c.what;
  }
}

TEST(EventQueueTest, EventWordTravelsAndRecordsGoBackToThePool) {
  QueueFixture f;
  ASSERT_TRUE(f.queue.Queue(f.objects[0], 3));
  std::uint32_t object = 0;
  std::uint16_t word = 0;
  ASSERT_TRUE(f.queue.Next(TimeStamp{0, 0}, &object, &word));
  EXPECT_EQ(object, f.objects[0]);
  EXPECT_EQ(word, 3);
  EXPECT_EQ(vnh::PoolFreeCount(f.heap, f.pool), 10);
  EXPECT_FALSE(f.queue.Next(TimeStamp{0, 0}, &object, &word));
}

TEST(EventQueueTest, ExhaustedEventPoolQueuesNothing) {
  vnh_test::Arena arena(2048);
  vnh::Heap heap = arena.heap();
  vnh::Pool pool{};
  vnh::PoolSetUp(heap, pool, 10, 10, vnh::kTypeEvent);
  vnh::EventQueue queue(heap, pool, heap.NewListHead(), heap.NewListHead());
  std::uint32_t object = heap.AllocateTyped(vnh::kTypeAction);
  int queued = 0;
  while (queue.Queue(object)) ++queued;
  EXPECT_GE(queued, 10);
  EXPECT_FALSE(queue.QueueDelayed(TimeStamp{0, 0}, 50, object));
}

TEST(EventQueueTest, EmptyHandsEveryObjectToTheDropper) {
  QueueFixture f;
  f.queue.Queue(f.objects[0]);
  f.queue.QueueDelayed(TimeStamp{0, 0}, 500, f.objects[1]);
  std::vector<std::uint32_t> dropped;
  f.queue.Empty(
      [](std::uint32_t object, void* context) {
        static_cast<std::vector<std::uint32_t>*>(context)->push_back(object);
      },
      &dropped);
  EXPECT_EQ(dropped, (std::vector<std::uint32_t>{f.objects[0], f.objects[1]}));
  EXPECT_EQ(vnh::PoolFreeCount(f.heap, f.pool), 10);
  EXPECT_TRUE(f.Drain(TimeStamp{100, 0}).empty());
}

}  // namespace
