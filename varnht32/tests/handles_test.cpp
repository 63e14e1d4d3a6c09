// Handles of records the library frees and reuses carry the record's
// generation: a handle kept from an earlier life of a record is refused.

#include <gtest/gtest.h>

#include "varnht32/src/handles.h"
#include "varnht32/src/pool.h"
#include "varnht32/tests/arena.h"

namespace {

using vnh_test::Arena;

TEST(HandlesTest, AHandleOfAFreedRecordIsRefusedAlsoWhenTheRecordIsInUseAgain) {
  Arena arena(1 << 16);
  vnh::Heap heap = arena.heap();
  vnh::Pool actions{};
  ASSERT_TRUE(vnh::PoolSetUp(heap, actions, 0, 1, vnh::kTypeAction));
  std::uint32_t action = vnh::PoolGet(heap, actions);
  std::uint32_t handle = vnh::MakeHandle(heap, action);
  std::uint32_t block = 0;
  ASSERT_EQ(vnh::ResolveHandle(heap, handle, vnh::kTypeAction, &block), 1);
  EXPECT_EQ(block, action);

  std::uint32_t freed = action;
  vnh::PoolPut(heap, actions, &freed);
  EXPECT_EQ(vnh::ResolveHandle(heap, handle, vnh::kTypeAction, &block), -3) << "back in its pool";
  EXPECT_EQ(block, 0u);

  std::uint32_t again = vnh::PoolGet(heap, actions);
  ASSERT_EQ(again, action) << "the pool hands the same record out again";
  EXPECT_EQ(vnh::ResolveHandle(heap, handle, vnh::kTypeAction, &block), -3)
      << "the old handle does not reach the record's next user";
  std::uint32_t fresh = vnh::MakeHandle(heap, again);
  EXPECT_NE(fresh, handle);
  EXPECT_EQ(vnh::ResolveHandle(heap, fresh, vnh::kTypeAction, &block), 1);

  // Many lives later the record is still told apart from its last life.
  for (int i = 0; i < 5; ++i) {
    std::uint32_t b = again;
    vnh::PoolPut(heap, actions, &b);
    again = vnh::PoolGet(heap, actions);
  }
  EXPECT_EQ(vnh::ResolveHandle(heap, fresh, vnh::kTypeAction, &block), -3);
}

TEST(HandlesTest, NullForeignAndWrongTypeHandlesAreRefused) {
  Arena arena(1 << 16);
  vnh::Heap heap = arena.heap();
  std::uint32_t stream = heap.AllocateTyped(vnh::kTypeStream);
  std::uint32_t handle = vnh::MakeHandle(heap, stream);
  std::uint32_t block = 0;
  EXPECT_EQ(vnh::ResolveHandle(heap, 0, vnh::kTypeStream, &block), -2);
  EXPECT_EQ(vnh::ResolveHandle(heap, handle, vnh::kTypeAction, &block), -3);
  EXPECT_EQ(vnh::ResolveHandle(heap, handle + 1, vnh::kTypeStream, &block), -3);
  EXPECT_EQ(vnh::ResolveHandle(heap, 0xFFFFFFFFu, vnh::kTypeStream, &block), -3);
  EXPECT_EQ(vnh::ResolveHandle(heap, handle ^ (1u << 22), vnh::kTypeStream, &block), -3)
      << "another generation";
  EXPECT_EQ(vnh::ResolveHandle(heap, handle, vnh::kTypeStream, &block), 1);
}

}  // namespace
