// The protocol services of one library instance on the simulated channel,
// where every message sent to a node comes back as that node's: the
// instance's own server answers its client's requests to node 9, and the test
// slips in messages of its own as if node 9 had sent them. Faults and limits
// that two real instances cannot easily be made to show.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/server_entity.h"
#include "varnht32/src/variables.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/service_peer.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::PeerArguments;
using vnh_test::PeerArgs;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kNode = 9;

class ServiceLoopTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    clock_.Install();
    board_->transport = vnh_test::Transport::kSimulated;
    board_->side[0].no_async = without_async_callback_ ? 1 : 0;
    vnh_test::BecomePeer(&*board_, 0);
    ASSERT_EQ(Do(vnh_test::kPeerSetUp), 1);
    vnh_test::Traces().clear();
    vnh_test::CollectTraces();
  }

  vnh_test::PeerState& Me() { return board_->side[0]; }
  std::int32_t Do(vnh_test::PeerCommand command, PeerArguments a = {}) {
    board_->args[0] = a;
    return vnh_test::PeerStep(command);
  }
  void Poll(int n = 1) {
    for (int i = 0; i < n; ++i) {
      VNHPollCommunication();
      clock_.Advance(1);
    }
  }
  std::int32_t Result(std::uint32_t user) { return Me().result[user].load(); }
  bool Finished(std::uint32_t user, int polls = 200) {
    for (int i = 0; i < polls && Result(user) == 0; ++i) Poll();
    return Result(user) != 0;
  }
  std::uint32_t Element() {
    vnh::MutexLock lock;
    return vnh::NodeElement(vnh::SharedHeap().First(vnh::Shared().channel_list), kNode);
  }
  // A message that arrives as if node 9 had sent it.
  void FromNode(const Bytes& message) { ASSERT_TRUE(vnh_test::SendTestMessage(Element(), message)); }
  // Asks for stream "STREM" in slot 0 as action 1 and waits for the answer:
  // its result, or 0 when the request was refused or never answered.
  std::int32_t OpenStream() {
    PeerArguments open = PeerArgs("STREM", "", 1);
    open.index = 0;
    if (Do(vnh_test::kPeerOpenStream, open) != 1 || !Finished(1)) return 0;
    return Result(1);
  }
  void Connect() {
    ASSERT_EQ(Do(vnh_test::kPeerDefine), 1);
    EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), 0);
    for (int i = 0; i < 20 && Do(vnh_test::kPeerConnectionStatus) == 0; ++i) Poll();
    ASSERT_EQ(Do(vnh_test::kPeerConnectionStatus), 1);
  }

  bool without_async_callback_ = false;
  vnh_test::VirtualClock clock_;
  vnh_test::Scratch<vnh_test::PeerBoard> board_;
};

// A client that collects its results with VNHAsynchronousStatus.
class ServiceLoopPollingTest : public ServiceLoopTest {
 protected:
  ServiceLoopPollingTest() { without_async_callback_ = true; }
};

TEST_F(ServiceLoopTest, ConnectionStatusIsZeroUntilTheFirstConnectAndTellsARefusalFromALoss) {
  VNHHandle none = 0;
  EXPECT_EQ(VNHConnectionStatus(&none), -2);
  EXPECT_EQ(VNHConnectionStatus(nullptr), -2);
  VNHHandle bogus = 12345;
  EXPECT_EQ(VNHConnectionStatus(&bogus), -3);

  ASSERT_EQ(Do(vnh_test::kPeerDefine), 1);
  EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), 0);
  Poll();  // the connect request goes out and comes back to our own server
  // Before our server's identity answer, node 9 refuses us.
  FromNode({3, 6});
  for (int i = 0; i < 10; ++i) Poll();
  EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), -480) << "refused, not lost";
  EXPECT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 1)), -480);
  // Defined anew, the connection starts over.
  ASSERT_EQ(Do(vnh_test::kPeerDefine), 1);
  EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), 0);
  for (int i = 0; i < 10; ++i) Poll();
  EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), 1);

  // The node goes down: lost.
  {
    vnh::MutexLock lock;
    vnh::SetNodeDown(Element());
  }
  EXPECT_EQ(Do(vnh_test::kPeerConnectionStatus), -421);
  EXPECT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 2)), -421);
}

TEST_F(ServiceLoopPollingTest, AHandleOfAnActionThatWentWithItsConnectionIsRefused) {
  vnh_test::SetInteger(Me(), "TEMP1", 5);
  Connect();
  // User value 0: nothing is reported, the action waits to be collected.
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 0)), 1);
  PeerArguments with_connection = PeerArgs("", "", 0, 1);
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus), 0) << "queued, not done";
  {
    vnh::MutexLock lock;
    vnh::SetNodeDown(Element());  // the lists are aborted and the action freed
  }
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus, with_connection), -421);
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus), -3) << "the freed action";
  // The connection comes back and the next action takes the same record.
  {
    vnh::MutexLock lock;
    vnh::SetNodeUp(Element());
  }
  for (int i = 0; i < 10; ++i) Poll();
  ASSERT_EQ(Do(vnh_test::kPeerConnectionStatus), 1);
  VNHHandle connection = 0;
  std::int32_t status = 0;
  VNHIdentifier channel{1, "1"};
  VNHIdentifier node{1, "9"};
  VNHDefineConnection(&channel, &node, &connection, &status);
  VNHHandle stale = 0;
  {
    // Collect the handle of a read that is done, then queue another.
    VNHIdentifier remote{5, "TEMP1"};
    VNHIdentifier local{5, "LTEMP"};
    VNHHandle first = 0;
    VNHReadNamedVariable(&connection, &remote, &local, nullptr, &first, &status);
    ASSERT_EQ(status, 1);
    int polls = 0;
    VNHHandle probe = first;
    while (VNHAsynchronousStatus(&connection, &probe) == 0 && ++polls < 50) Poll();
    EXPECT_EQ(probe, 0u) << "collected: the handle is cleared";
    stale = first;
    VNHHandle second = 0;
    VNHReadNamedVariable(&connection, &remote, &local, nullptr, &second, &status);
    ASSERT_EQ(status, 1);
    EXPECT_NE(second, first) << "the same record, another generation";
    EXPECT_EQ(VNHAsynchronousStatus(nullptr, &stale), -3) << "never the record's next user";
    EXPECT_NE(stale, 0u) << "a refused handle is left alone";
    EXPECT_EQ(VNHAsynchronousStatus(nullptr, &second), 0);
  }
}

TEST_F(ServiceLoopPollingTest, WithoutAnAsyncCallbackAResultWaitsUntilItIsCollected) {
  vnh_test::SetInteger(Me(), "TEMP1", 5);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 7)), 1);
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus), 0) << "still running";
  for (int i = 0; i < 20; ++i) Poll();
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus), 1) << "collected from the done list";
  EXPECT_EQ(Do(vnh_test::kPeerAsyncStatus), -3) << "and freed";
  EXPECT_EQ(vnh_test::FindVariable(Me(), "LTEMP")->integer, 5);
  EXPECT_EQ(Result(7), 0) << "no callback to report through";
}

TEST_F(ServiceLoopTest, WithAnAsyncCallbackAUserValueOfZeroIsFreedUnreported) {
  vnh_test::SetInteger(Me(), "TEMP1", 5);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 0)), 1);
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTMP2", 9)), 1);
  ASSERT_TRUE(Finished(9));
  EXPECT_EQ(vnh_test::FindVariable(Me(), "LTEMP")->integer, 5);
  EXPECT_EQ(Result(0), 0) << "nothing reported for user value 0";
  EXPECT_EQ(Result(9), 1);
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::PoolFreeCount(vnh::SharedHeap(), vnh::Shared().services.action_pool),
              static_cast<std::int64_t>(vnh::Shared().services.action_pool.made))
        << "both actions are back in their pool";
  }
}

TEST_F(ServiceLoopTest, AFixedFormNameIsResolvedWithoutADeclaredVariable) {
  vnh_test::SetInteger(Me(), "%R16", 4321);  // register 0x10
  vnh_test::SetInteger(Me(), "LREG", 0);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("R0010", "LREG", 1)), 1);
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Result(1), 1);
  EXPECT_EQ(vnh_test::FindVariable(Me(), "LREG")->integer, 4321);
  vnh::MutexLock lock;
  std::uint32_t entry = vnh::FindEntryByName(vnh::Node(Element())->name_list, "R0010");
  ASSERT_NE(entry, 0u);
  EXPECT_EQ(vnh::Entry(entry)->type_byte, 3);
  EXPECT_EQ(vnh::Entry(entry)->address, 32);
}

TEST_F(ServiceLoopTest, ServerVariablesAreCappedAndTheLastAddressIsRefused) {
  Connect();
  Me().any_name = 1;  // every name asked for becomes a server variable
  auto read = [&](const std::string& name, std::uint32_t user) {
    Me().result[user] = 0;
    EXPECT_EQ(Do(vnh_test::kPeerRead, PeerArgs(name.c_str(), "LOCAL", user)), 1);
    EXPECT_TRUE(Finished(user)) << name;
    return Result(user);
  };
  char name[8];
  for (std::uint32_t i = 0; i < vnh::kMaxServerVariables; ++i) {
    std::snprintf(name, sizeof name, "V%04X", i);
    ASSERT_EQ(read(name, 1), 1) << name;
  }
  EXPECT_LT(read("WHOLE", 2), 0) << "one too many";
  EXPECT_TRUE(vnh_test::Traced("Kelmnet:NameRequest. Too many server variables"));
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::Shared().services.server_variable_count, vnh::kMaxServerVariables);
    // A module restart gives the names back; the addresses are nearly used up.
    vnh::DropServerVariables();
    vnh::Shared().services.next_server_address = 65534;
  }
  EXPECT_EQ(read("LAST1", 3), 1) << "address 65534 is still there";
  EXPECT_EQ(read("LAST2", 4), -38) << "65535 is not";
  EXPECT_TRUE(vnh_test::Traced("Kelmnet:NameRequest. Too many names requested by clients"));
}

TEST_F(ServiceLoopTest, ReportsWithoutSubscribersAndSubscriptionsBelowTheServerAddressesSendNothing) {
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns2", true));
  vnh_test::SetInteger(Me(), "REPRT", 5);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerDefineReport, PeerArgs("REPRT")), 1);
  vnh_test::Traces().clear();
  ASSERT_EQ(Do(vnh_test::kPeerSendReport, PeerArgs("REPRT")), 1);
  Poll(5);
  for (const std::string& t : vnh_test::Traces()) {
    EXPECT_EQ(t.find("KNSendMessage"), std::string::npos) << t;
  }
  {
    vnh::MutexLock lock;
    std::uint32_t entry = vnh::FindEntryByName(vnh::Shared().services.server_variables, "REPRT");
    ASSERT_NE(entry, 0u);
    EXPECT_EQ(vnh::Entry(entry)->flags & vnh::kEntryReportDue, 0u) << "the due mark is cleared";
  }
  // A subscription to a register address: answered with result 5.
  vnh_test::Traces().clear();
  FromNode({12, 1, 3, 32, 0});
  Poll(3);
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage:        1 9                 3 :   17   5  12"));
}

TEST_F(ServiceLoopTest, StreamMessagesForNoStreamAreAnsweredWithAnErrorAndEmptyDataOnlyWithCredit) {
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns2", true));
  Connect();
  vnh_test::Traces().clear();
  FromNode({22, 2, 6, 1, 'x'});
  Poll(3);
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage:        1 9                 5 :   22   7   2   6  17"))
      << "error: data, stream 6, result 17";
  // A stream to node 9 is one to our own server: both ends are ours.
  ASSERT_EQ(OpenStream(), 1);
  ASSERT_EQ(Me().opened, 1);
  std::uint64_t before = Me().received;
  vnh_test::Traces().clear();
  // The client's stream took slot 0, ours from node 9 slot 1: data of length 0 to it.
  FromNode({22, 2, 1, 0});
  Poll(3);
  EXPECT_EQ(Me().received, before) << "no callback for no bytes";
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage:        1 9                 4 :   22   3   0 255"))
      << "a data answer with the full credit";
  // A data message whose length byte lies is ignored.
  vnh_test::Traces().clear();
  FromNode({22, 2, 1, 5, 'a'});
  Poll(3);
  EXPECT_FALSE(vnh_test::Traced("KNSendMessage:        1 9                 4 :   22   3"));
}

TEST_F(ServiceLoopTest, TovraRepliesWithABadHandleOrNoReplyCodeAreRefused) {
  VNHReplyHandle bad{8, {'A', 'A', 'A', 'B'}, 0};
  std::uint8_t reply[] = {29, 1};
  VNHTovraData data{2, reply};
  std::int32_t status = 0;
  EXPECT_EQ(VNHSendTovraTransparentReply(&bad, &data, &status), -428);
  EXPECT_EQ(status, -428);
  VNHReplyHandle good{8, {'A', 'A', 'A', 'A'}, Element()};
  reply[0] = 28;
  VNHSendTovraTransparentReply(&good, &data, &status);
  EXPECT_EQ(status, -38);
  VNHReplyHandle no_node{8, {'A', 'A', 'A', 'A'}, 4};
  reply[0] = 29;
  VNHSendTovraTransparentReply(&no_node, &data, &status);
  EXPECT_EQ(status, -428);
}

TEST_F(ServiceLoopTest, NodeElementsAreCappedPerChannel) {
  Element();  // node 9 is known before the flood
  vnh::MutexLock lock;
  std::uint32_t channel = vnh::SharedHeap().First(vnh::Shared().channel_list);
  std::uint32_t made = 0;
  for (std::uint32_t address = 0x0A000000; made < vnh::kMaxNodeElements + 10; ++address, ++made) {
    if (vnh::NodeElement(channel, address) == 0) break;
  }
  EXPECT_LE(made, vnh::kMaxNodeElements);
  EXPECT_EQ(vnh::NodeElement(channel, 0x0B000000), 0u);
  EXPECT_NE(vnh::NodeElement(channel, kNode), 0u) << "known nodes are still found";
}

}  // namespace

namespace {

// A second program on the same PC: a client in a child process on the segment.
TEST_F(ServiceLoopTest, TwoClientsShareOneAssociationAndEachStartsOnlyItsOwnActions) {
  vnh_test::SetInteger(Me(), "TEMP1", 5);
  vnh_test::BecomePeer(&*board_, 1);
  vnh_test::Child other(vnh_test::PeerStep);
  vnh_test::BecomePeer(&*board_, 0);
  ASSERT_EQ(other.Run(vnh_test::kPeerSetUp), 2) << "we are the server client";
  Connect();
  ASSERT_EQ(other.Run(vnh_test::kPeerDefine), 1);
  EXPECT_EQ(other.Run(vnh_test::kPeerConnectionStatus), 1) << "the same connection, up already";
  {
    vnh::MutexLock lock;
    std::uint32_t assoc = vnh::Node(Element())->association;
    EXPECT_EQ(vnh::AssociationOf(assoc)->references, 2u);
  }
  ASSERT_EQ(Do(vnh_test::kPeerRelease), 1);
  EXPECT_EQ(other.Run(vnh_test::kPeerConnectionStatus), 1) << "one release keeps it";

  // The other client's action waits for the other client's own poll.
  board_->args[1] = PeerArgs("TEMP1", "LTEMP", 5);
  ASSERT_EQ(other.Run(vnh_test::kPeerRead), 1);
  Poll(50);
  EXPECT_EQ(board_->side[1].result[5], 0) << "not started by our polls";
  {
    vnh::MutexLock lock;
    std::uint32_t assoc = vnh::Node(Element())->association;
    EXPECT_EQ(vnh::SharedHeap().CountList(vnh::AssociationOf(assoc)->queued), 1);
  }
  for (int i = 0; i < 10 && board_->side[1].result[5] == 0; ++i) {
    ASSERT_EQ(other.Run(vnh_test::kPeerPump), 1);
    Poll();
  }
  EXPECT_EQ(board_->side[1].result[5], 1);
  // The value went to the other client's callback, not ours.
  EXPECT_EQ(vnh_test::FindVariable(board_->side[1], "LTEMP")->integer, 5);
  EXPECT_EQ(vnh_test::FindVariable(Me(), "LTEMP"), nullptr);
}

}  // namespace

namespace {

TEST_F(ServiceLoopTest, ANodeStatusRequestForAllNodesNamesEveryKnownNodeThatIsUp) {
  Connect();
  int ups = Me().node_up;
  ASSERT_EQ(Do(vnh_test::kPeerNodeStatus, PeerArgs("", "", 1, 0)), 1);
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Result(1), 1);
  EXPECT_EQ(Me().node_up, ups + 1) << "node 9; neither the broadcast node nor our own";
  EXPECT_STREQ(Me().last_node, "9");
}

TEST_F(ServiceLoopTest, IdentifyNeedsANodeOtherThanTheBroadcastNode) {
  VNHIdentifier channel{1, "1"};
  std::int32_t status = 0;
  for (const char* node : {"", "1", "0"}) {
    VNHIdentifier n{};
    n.length = static_cast<std::uint32_t>(std::strlen(node));
    std::memcpy(n.text, node, n.length);
    VNHHandle action = 5;
    VNHIdentifyRemsys(&channel, &n, &action, &status);
    EXPECT_EQ(status, -38) << "'" << node << "'";
    EXPECT_EQ(action, 0u);
  }
  VNHIdentifier other{1, "7"};
  VNHHandle action = 0;
  VNHIdentifyRemsys(&other, &other, &action, &status);
  EXPECT_EQ(status, -2) << "no channel 7";
}

TEST_F(ServiceLoopTest, ANodeStatusRequestForANamedNodeChecksItsAddress) {
  VNHIdentifier channel{1, "1"};
  const struct {
    const char* node;
    std::int32_t expect;
  } cases[] = {{"x", -30}, {" 12a", -30}, {"1234567890", -30}, {"0", -483}, {"200", -483}};
  for (const auto& c : cases) {
    VNHIdentifier n{};
    n.length = static_cast<std::uint32_t>(std::strlen(c.node));
    std::memcpy(n.text, c.node, n.length);
    VNHHandle action = 5;
    std::int32_t status = 0;
    VNHNodeStatusRequest(&channel, &n, &action, &status);
    EXPECT_EQ(status, c.expect) << "'" << c.node << "'";
    EXPECT_EQ(action, 0u) << "'" << c.node << "'";
  }
}

// A node whose software code takes subscriptions only through the report flag
// of the connect request.
TEST_F(ServiceLoopTest, ASubscriptionByConnectIsInForceOnceTheNodeAnswers) {
  vnh_test::SetInteger(Me(), "REPRT", 1);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerDefineReport, PeerArgs("REPRT")), 1);
  FromNode({3, 0, 'V', 'N', 'H', ' ', ' ', 0, 0x21, 2, 0});  // software code 2
  Poll(3);
  {
    vnh::MutexLock lock;
    ASSERT_EQ(vnh::Node(Element())->software, 2);
  }
  ASSERT_EQ(Do(vnh_test::kPeerSubscribe, PeerArgs("REPRT", "LREPT", 1, 1)), 1);
  ASSERT_TRUE(Finished(1));
  EXPECT_EQ(Result(1), 1);
  vnh::MutexLock lock;
  EXPECT_NE(vnh::Node(Element())->flags & vnh::kNodeReportByConnect, 0u);
  std::uint32_t entry = vnh::FindEntryByName(vnh::Node(Element())->name_list, "REPRT");
  ASSERT_NE(entry, 0u);
  EXPECT_NE(vnh::Entry(entry)->flags & vnh::kEntryHasSubscribers, 0u);
}

TEST_F(ServiceLoopTest, AModuleRestartDropsTheServerVariablesAndAnnouncesTheNode) {
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns2", true));
  vnh_test::SetInteger(Me(), "TEMP1", 1);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 1)), 1);
  ASSERT_TRUE(Finished(1));
  vnh_test::Traces().clear();
  VNHIdentifier name{3, "VNH"};
  std::uint32_t option = 0x21;
  std::int32_t status = 0;
  VNHModuleRestart(&name, &option, &status);
  EXPECT_EQ(status, 1);
  Poll(2);
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage:        1 1                 2 :    3  20"))
      << "variables existed: the node is announced";
  vnh::MutexLock lock;
  EXPECT_EQ(vnh::Shared().services.server_variable_count, 0u);
  EXPECT_EQ(vnh::Shared().services.next_server_address, vnh::kFirstServerAddress);
}

TEST_F(ServiceLoopTest, AClientThatEndsCommunicationGivesItsStreamSlotsBack) {
  Connect();
  ASSERT_EQ(OpenStream(), 1);
  ASSERT_EQ(Do(vnh_test::kPeerCloseCommunication), 1);
  vnh::MutexLock lock;
  for (std::uint32_t slot : vnh::Shared().services.stream_slot) EXPECT_EQ(slot, 0u);
}

}  // namespace

namespace {

TEST_F(ServiceLoopTest, ContainerItemsGoBackAfterEveryUse) {
  vnh_test::SetText(Me(), "TEXT1", "a string item");
  vnh_test::SetArray(Me(), "ARRAY", {1, 2});
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerWrite, PeerArgs("TEXT2", "TEXT1", 1)), 1);
  ASSERT_TRUE(Finished(1));
  EXPECT_LT(Result(1), 0) << "our server knows no TEXT2 yet";
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEXT1", "LTEXT", 2)), 1);
  ASSERT_TRUE(Finished(2));
  ASSERT_EQ(Result(2), 1);
  EXPECT_EQ(std::string(vnh_test::FindVariable(Me(), "LTEXT")->text, 13), "a string item");
  ASSERT_EQ(Do(vnh_test::kPeerWrite, PeerArgs("TEXT1", "LTEXT", 3)), 1);
  ASSERT_TRUE(Finished(3));
  ASSERT_EQ(Result(3), 1);
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("ARRAY", "ARRAY", 4)), 1);
  ASSERT_TRUE(Finished(4));
  ASSERT_EQ(Result(4), 1);
  Poll(2);
  vnh::MutexLock lock;
  const vnh::SharedState& s = vnh::Shared();
  for (const vnh::Pool* pool : {&s.string_item_pool, &s.array_item_pool}) {
    EXPECT_GT(pool->made, 0u);
    EXPECT_EQ(vnh::PoolFreeCount(vnh::SharedHeap(), *pool), static_cast<std::int64_t>(pool->made))
        << "type " << pool->type;
  }
}

}  // namespace

namespace {

TEST_F(ServiceLoopTest, AReadAnswerForAnotherAddressIsDropped) {
  vnh_test::SetInteger(Me(), "TEMP1", 1234);
  Connect();
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 1)), 1);
  ASSERT_TRUE(Finished(1));  // the name is resolved now
  ASSERT_EQ(Do(vnh_test::kPeerRead, PeerArgs("TEMP1", "LTEMP", 2)), 1);
  Poll();  // the read request is on its way to our server
  FromNode({11, 5, 0x22, 0x00, 5, 0});
  ASSERT_TRUE(Finished(2));
  EXPECT_EQ(Result(2), 1);
  EXPECT_TRUE(vnh_test::Traced("VNHRead offset mismatch: 9 34"));
  EXPECT_EQ(vnh_test::FindVariable(Me(), "LTEMP")->integer, 1234) << "not the stray value";
}

TEST_F(ServiceLoopTest, AStreamThatThePeerRefusesIsFreed) {
  Connect();
  Me().refuse_open = 1;
  EXPECT_EQ(OpenStream(), -470) << "refused with -490, which travels as result 17";
  PeerArguments send = PeerArgs("", "", 2);
  send.index = 0;
  EXPECT_EQ(Do(vnh_test::kPeerStreamSend, send), -2);
  vnh::MutexLock lock;
  for (std::uint32_t slot : vnh::Shared().services.stream_slot) EXPECT_EQ(slot, 0u);
}

}  // namespace

namespace {

TEST_F(ServiceLoopTest, StreamDataReachesAStreamOnlyFromItsOwnNode) {
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns2", true));
  Connect();
  ASSERT_EQ(OpenStream(), 1);
  std::uint64_t before = Me().received;
  vnh_test::Traces().clear();
  std::uint32_t other = 0;
  {
    vnh::MutexLock lock;
    other = vnh::NodeElement(vnh::SharedHeap().First(vnh::Shared().channel_list), 8);
  }
  // Node 8 names the stream that node 9 opened to us (slot 1).
  ASSERT_TRUE(vnh_test::SendTestMessage(other, {22, 2, 1, 1, 'x'}));
  Poll(3);
  EXPECT_EQ(Me().received, before);
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage:        1 8                 5 :   22   7   2   1  17"));
}

// The closed callback of a stream runs on its owner's thread, whoever's poll
// finds its node gone.
TEST_F(ServiceLoopTest, AStreamOfALostNodeIsClosedOnItsOwnersThread) {
  vnh_test::BecomePeer(&*board_, 1);
  vnh_test::Child other(vnh_test::PeerStep);
  vnh_test::BecomePeer(&*board_, 0);
  ASSERT_EQ(other.Run(vnh_test::kPeerSetUp), 2);
  Connect();
  ASSERT_EQ(other.Run(vnh_test::kPeerDefine), 1);
  PeerArguments open = PeerArgs("STREM", "", 1);
  open.index = 0;
  board_->args[1] = open;
  ASSERT_EQ(other.Run(vnh_test::kPeerOpenStream), 1);
  for (int i = 0; i < 20 && board_->side[1].result[1] == 0; ++i) {
    ASSERT_EQ(other.Run(vnh_test::kPeerPump), 1);
    Poll();
  }
  ASSERT_EQ(board_->side[1].result[1], 1);
  ASSERT_EQ(Me().opened, 1) << "our server took node 9's end";
  {
    vnh::MutexLock lock;
    vnh::SetNodeDown(Element());  // found by our poll
  }
  EXPECT_EQ(Me().closed, 1) << "our end, on our thread";
  EXPECT_EQ(board_->side[1].closed, 0) << "not yet: the other client has not polled";
  ASSERT_EQ(other.Run(vnh_test::kPeerPump), 1);
  EXPECT_EQ(board_->side[1].closed, 1);
  vnh::MutexLock lock;
  for (std::uint32_t slot : vnh::Shared().services.stream_slot) EXPECT_EQ(slot, 0u);
}

}  // namespace
