// Two processes take and give back records at once; the heap, the pools and
// the lists must come out consistent and no record may be handed out twice.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/client.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/pool.h"
#include "varnht32/src/trace.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;

constexpr int kRounds = 1500;
constexpr char kTracePrefix[] = "stress ";

enum Command : std::int32_t {
  kInit = 1,
  kInitComm,
  kRun,
  kDrain,
  kTracesSeen,
};

std::atomic<int> g_traces_seen{0};

void VNH_CALL CountTrace(const char* text) {
  if (std::strncmp(text, kTracePrefix, sizeof kTracePrefix - 1) == 0) ++g_traces_seen;
}

struct Taken {
  vnh::Pool* pool;
  std::uint32_t block;
  std::uint32_t bytes;
  std::uint8_t mark;
};

std::uint8_t Mark(int round, int index) {
  return static_cast<std::uint8_t>(getpid() * 31 + round * 7 + index);
}

// One round: take records of several pools, fill them with a mark of this
// process, let the other process work, then check the marks and give them back.
// Returns the number of records whose mark was overwritten.
int Round(int round, bool churn_client) {
  vnh::SharedState& s = vnh::Shared();
  std::vector<Taken> taken;
  {
    vnh::MutexLock lock;
    vnh::Heap heap = vnh::SharedHeap();
    vnh::Pool* pools[] = {&s.string_item_pool, &s.bit_string_item_pool, &s.array_item_pool,
                          &s.event_pool};
    for (int i = 0; i < 1 + round % 5; ++i) {
      vnh::Pool* pool = pools[(round + i) % 4];
      std::uint32_t block = vnh::PoolGet(heap, *pool);
      if (block == 0) return 1000;
      std::uint32_t bytes = vnh::RegisteredSize(pool->type);
      std::uint8_t mark = Mark(round, i);
      std::memset(heap.Bytes(block), mark, bytes);
      taken.push_back(Taken{pool, block, bytes, mark});
    }
    if (round % 16 == 0) {
      // Bump allocation runs at the same time too.
      std::uint32_t kept = heap.Allocate(24, vnh::kTypeStringStorage, false);
      if (kept == 0) return 1000;
    }
  }
  vnh::Trace("%s%d", kTracePrefix, round);
  VNHPollCommunication();
  if (churn_client && round % 25 == 0) {
    CloseVarnholtnet();
    if (InitVarnholtnet() != 1) return 1000;
    std::int32_t status = 0;
    VNHInitCommunication(&status);
  }
  int overwritten = 0;
  vnh::MutexLock lock;
  vnh::Heap heap = vnh::SharedHeap();
  for (Taken& t : taken) {
    const std::uint8_t* p = heap.Bytes(t.block);
    for (std::uint32_t i = 0; i < t.bytes; ++i) {
      if (p[i] != t.mark) {
        ++overwritten;
        break;
      }
    }
    vnh::PoolPut(heap, *t.pool, &t.block);
  }
  return overwritten;
}

std::int32_t StressStep(std::int32_t command, bool owner) {
  std::int32_t status = 0;
  switch (command) {
    case kInit:
      if (InitVarnholtnet() != 1) return 0;
      if (owner) vnh::SetTraceCallBack(CountTrace);
      return 1;
    case kInitComm:
      VNHInitCommunication(&status);
      return status;
    case kRun: {
      int overwritten = 0;
      for (int round = 0; round < kRounds; ++round) overwritten += Round(round, !owner);
      return overwritten;
    }
    case kDrain:
      // The owner prints every text still waiting from the other process.
      for (int i = 0; i < 1000; ++i) {
        VNHPollCommunication();
        vnh::MutexLock lock;
        if (vnh::Shared().queued_trace_count == 0) return 1;
      }
      return 0;
    case kTracesSeen:
      return g_traces_seen.load();
    default:
      return -1;
  }
}

class StressTest : public vnh_test::SegmentTest {};

TEST_F(StressTest, TwoProcessesAllocateAndFreeAtOnceAndTheHeapStaysConsistent) {
  Child owner([](std::int32_t c) { return StressStep(c, true); });
  Child other([](std::int32_t c) { return StressStep(c, false); });
  ASSERT_EQ(owner.Run(kInit), 1);
  ASSERT_EQ(other.Run(kInit), 1);
  ASSERT_EQ(owner.Run(kInitComm), 1);
  ASSERT_EQ(other.Run(kInitComm), 2);
  owner.Send(kRun);
  other.Send(kRun);
  EXPECT_EQ(owner.Wait(), 0) << "records of the owner were overwritten";
  EXPECT_EQ(other.Wait(), 0) << "records of the other process were overwritten";
  ASSERT_EQ(owner.Run(kDrain), 1);
  EXPECT_EQ(owner.Run(kTracesSeen), kRounds * 2) << "a trace text was lost";

  ASSERT_TRUE(vnh::AttachThread());
  vnh::MutexLock lock;
  vnh::SharedState& s = vnh::Shared();
  vnh::Heap heap = vnh::SharedHeap();
  EXPECT_EQ(heap.CountList(s.client_list), 2);
  for (const vnh::Pool* pool : {&s.string_item_pool, &s.bit_string_item_pool, &s.array_item_pool}) {
    EXPECT_EQ(vnh::PoolFreeCount(heap, *pool), static_cast<std::int64_t>(pool->made))
        << "type " << pool->type << ": every record is back";
  }
  // The events still in the pool and those in the two clients' queues (the
  // handover events of the churning client are not due) add up to all made.
  std::int64_t queued = 0;
  for (std::uint32_t c = heap.First(s.client_list); c != 0; c = heap.SuccElem(c)) {
    queued += heap.CountList(vnh::Client(c)->immediate_events);
    queued += heap.CountList(vnh::Client(c)->timed_events);
  }
  EXPECT_EQ(vnh::PoolFreeCount(heap, s.event_pool) + queued, s.event_pool.made);
  EXPECT_EQ(vnh::PoolFreeCount(heap, s.client_pool) + 2, s.client_pool.made);

  // Walk every block the heap handed out: each header is whole and of a known
  // type, and no block reaches into the next.
  std::uint32_t prev_end = s.heap.begin;
  std::uint32_t blocks = 0;
  for (std::uint32_t off = s.heap.begin; off < s.heap.top.load(); off += vnh::kBlockAlign) {
    if (!heap.IsBlock(off)) continue;
    ++blocks;
    EXPECT_GE(off, prev_end);
    const vnh::BlockHeader* h = heap.Header(off);
    EXPECT_EQ(h->zero, 0u);
    std::uint16_t type = heap.BlockType(off);
    bool known = type == vnh::kTypeListHead || type == vnh::kTypeStringStorage ||
                 vnh::RegisteredSize(type) != 0;
    EXPECT_TRUE(known) << "block at " << off << " has type " << type;
    prev_end = off + vnh::kBlockHeaderSize + vnh::RegisteredSize(type);
  }
  EXPECT_GT(blocks, 20u);
}

}  // namespace
