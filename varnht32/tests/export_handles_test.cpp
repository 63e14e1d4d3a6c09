// Every export that takes a handle, called with a null handle, with the
// handle of a record of another kind, and from a thread without client
// record: each refuses with its status and queues nothing.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/tests/test_support.h"

namespace {

VNHIdentifier Name(const char* text) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(std::strlen(text));
  std::memcpy(id.text, text, id.length);
  return id;
}

// Calls one export with `handle` where its handle goes; answers its status
// (or its result, for exports without one). A queuing export must leave its
// action handle (and a stream request its stream handle) at 0.
using Call = std::function<std::int32_t(VNHHandle handle)>;

struct Case {
  const char* name;
  Call call;
  std::int32_t null_handle;
  std::int32_t wrong_kind;
  std::int32_t no_client;
};

constexpr std::int32_t kUntouched = 12345;

// A status that the export must write; the action handle must come back 0.
std::int32_t Queued(VNHHandle action, std::int32_t status) {
  return action == 0 ? status : -9999;
}

VNHIdentifier var = Name("ABCDE");

template <auto Export>
std::int32_t NamedVariable(VNHHandle h) {
  static std::uint32_t zero = 0;
  std::int32_t status = kUntouched;
  VNHHandle action = 77;
  Export(&h, &var, &var, &zero, &action, &status);
  return Queued(action, status);
}

template <auto Export>
std::int32_t StreamStep(VNHHandle h) {
  std::int32_t status = kUntouched;
  VNHHandle action = 77;
  Export(&h, &action, &status);
  return Queued(action, status);
}

std::vector<Case> Cases() {
  static VNHIdentifier report = Name("REPRT");
  static std::uint32_t on = 1;
  static std::uint8_t reply_bytes[] = {29, 1, 2, 3};
  return {
      // A null handle is -2 like every other null handle.
      {"VNHConnectionStatus", [](VNHHandle h) { return VNHConnectionStatus(&h); }, -2, -3, -2},
      {"VNHReleaseConnection",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHReleaseConnection(&h, &status);
         return status;
       },
       -2, -3, -2},
      {"VNHReadNamedVariable", NamedVariable<VNHReadNamedVariable>, -2, -3, -2},
      {"VNHWriteNamedVariable", NamedVariable<VNHWriteNamedVariable>, -2, -3, -2},
      {"VNHAsynchronousStatus",
       [](VNHHandle h) {
         VNHHandle connection = 0;
         return VNHAsynchronousStatus(&connection, &h);
       },
       -2, -3, -2},
      {"VNHSetRemoteTime",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHHandle action = 77;
         VNHSetRemoteTime(&h, &action, &status);
         return Queued(action, status);
       },
       -2, -3, -2},
      {"VNHSubscribeVarReport",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHHandle action = 77;
         VNHSubscribeVarReport(&h, &report, &var, &on, &action, &status);
         return Queued(action, status);
       },
       -2, -3, -2},
      {"VNHSendTovraTransparentMessage",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHHandle action = 77;
         VNHTovraMessage message{4, {1, 2, 3, 4}};
         VNHSendTovraTransparentMessage(&h, &message, &action, &status);
         return Queued(action, status);
       },
       -2, -3, -2},
      {"VNHStreamRequest",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHHandle action = 77;
         VNHHandle stream = 88;
         std::uint32_t user = 5;
         VNHIdentifier name = Name("STREM");
         VNHStreamRequest(&h, &user, &name, &stream, &action, &status);
         return stream == 0 ? Queued(action, status) : -9998;
       },
       -2, -3, -2},
      // A stream handle that names no stream gives the status of no association.
      {"VNHStreamSendData", StreamStep<VNHStreamSendData>, -2, -2, -2},
      {"VNHStreamRestart", StreamStep<VNHStreamRestart>, -2, -2, -2},
      {"VNHStreamClose", StreamStep<VNHStreamClose>, -2, -2, -2},
      {"VNHSendTovraTransparentReply",
       [](VNHHandle h) {
         std::int32_t status = kUntouched;
         VNHReplyHandle reply{8, {'A', 'A', 'A', 'A'}, h};
         VNHTovraData message{sizeof reply_bytes, reply_bytes};
         VNHSendTovraTransparentReply(&reply, &message, &status);
         return status;
       },
       -428, -428, -2},
      // A cursor that names no channel ends the walk.
      {"VNHEnumChannel",
       [](VNHHandle h) {
         VNHIdentifier channel{};
         std::int32_t more = VNHEnumChannel(&h, &channel);
         return h == 0 ? more : -9997;
       },
       0, 0, 0},
  };
}

class ExportHandlesTest : public vnh_test::SegmentTest {};

TEST_F(ExportHandlesTest, EveryHandleIsCheckedByItsKind) {
  const std::vector<Case> cases = Cases();
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(0), c.no_client) << c.name << " without client record";
  }
  ASSERT_EQ(InitVarnholtnet(), 1);
  // The remote time is allowed, so that the connection is what is checked.
  VNHIdentifier name = Name("SetRemoteTimeEnable");
  VNHValue one{};
  one.type = 2;
  one.value.integer = 1;
  std::int32_t status = 0;
  VNHAssignSystemVariable(&name, &one, &status);
  ASSERT_EQ(status, 1);
  std::int32_t init = 0;
  VNHInitCommunication(&init);
  ASSERT_GE(init, 1);

  // The client's own record is a record of the library, of another kind
  // than any handle.
  const VNHHandle wrong_kind = vnh::CurrentClient();
  ASSERT_NE(wrong_kind, 0u);
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(0), c.null_handle) << c.name << " with a null handle";
    EXPECT_EQ(c.call(wrong_kind), c.wrong_kind) << c.name << " with a client record";
    // An address inside a block, and one beyond the heap, name no record either.
    if (c.wrong_kind == -3) {
      EXPECT_EQ(c.call(wrong_kind + 4), -3) << c.name << " inside a block";
      EXPECT_EQ(c.call(0x7FFFFFF0u), -3) << c.name << " beyond the heap";
    }
  }
  VNHCloseCommunication();
  EXPECT_EQ(CloseVarnholtnet(), 1);
}

}  // namespace

namespace {

TEST_F(ExportHandlesTest, ContainerSlotsOutsideOneToTenAreRefusedAndChangeNothing) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  using Allocate = std::int32_t (*)(VNHVariableValue*, const std::uint32_t*, std::int32_t*);
  const std::pair<const char*, Allocate> exports[] = {
      {"VNHAllocateStringInVV", VNHAllocateStringInVV},
      {"VNHAllocateBitStringInVV", VNHAllocateBitStringInVV},
      {"VNHAllocateArrayInVV", VNHAllocateArrayInVV},
  };
  for (auto [name, allocate] : exports) {
    for (std::uint32_t slot : {0u, 11u, 0xFFFFFFFFu}) {
      VNHVariableValue container;
      std::memset(&container, 0xA5, sizeof container);
      std::int32_t status = 0;
      allocate(&container, &slot, &status);
      EXPECT_EQ(status, -37) << name << " slot " << slot;
      VNHVariableValue untouched;
      std::memset(&untouched, 0xA5, sizeof untouched);
      EXPECT_EQ(std::memcmp(&container, &untouched, sizeof container), 0) << name << " slot " << slot;
    }
  }
  EXPECT_EQ(CloseVarnholtnet(), 1);
}

}  // namespace
