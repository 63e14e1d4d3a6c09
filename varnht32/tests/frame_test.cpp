// The library frame across processes: one shared state, the library mutex and
// its recovery, the communication owner and its handover, trace output.

#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/trace.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;
using vnh_test::Scratch;
using vnh_test::VirtualClock;

enum Command : std::int32_t {
  kInit = 1,
  kCloseLibrary,
  kInitComm,
  kPoll,
  kCloseComm,
  kDisableServer,
  kHoldMutex,
  kOwnsCommunication,
  kFirstTestCommand = 100,
};

// What every child of these tests can do; a test adds its own commands.
std::int32_t ClientStep(std::int32_t command) {
  std::int32_t status = 0;
  switch (command) {
    case kInit: return InitVarnholtnet();
    case kCloseLibrary: return CloseVarnholtnet();
    case kInitComm: VNHInitCommunication(&status); return status;
    case kPoll: return VNHPollCommunication();
    case kCloseComm: return VNHCloseCommunication();
    case kDisableServer: return VNHDisableServerEntity();
    case kHoldMutex: return vnh::LockMutex();  // and never lets go
    case kOwnsCommunication: {
      vnh::MutexLock lock;
      return vnh::Client(vnh::CurrentClient())->owns_communication;
    }
    default: return -12345;
  }
}

Child::Step With(std::function<std::int32_t(std::int32_t)> own) {
  return [own](std::int32_t command) {
    return command >= kFirstTestCommand ? own(command) : ClientStep(command);
  };
}

// The shared state as the test process sees it, under the library mutex.
struct Snapshot {
  std::vector<std::uint32_t> client_pids;
  std::uint32_t owner_pid = 0;
  std::uint32_t server_pid = 0;
  std::uint32_t communication_count = 0;
  std::uint32_t module_setups = 0;
  std::uint32_t init_count = 0;
  std::uint32_t attach_count = 0;
};

Snapshot Inspect() {
  Snapshot snap;
  EXPECT_TRUE(vnh::AttachThread());
  vnh::MutexLock lock;
  EXPECT_TRUE(lock.held());
  vnh::SharedState& s = vnh::Shared();
  vnh::Heap heap = vnh::SharedHeap();
  for (std::uint32_t c = heap.First(s.client_list); c != 0; c = heap.SuccElem(c)) {
    snap.client_pids.push_back(vnh::Client(c)->process_id);
  }
  auto pid_of = [](std::uint32_t c) { return c != 0 ? vnh::Client(c)->process_id : 0u; };
  snap.owner_pid = pid_of(s.communication_owner);
  snap.server_pid = pid_of(s.server_client);
  snap.communication_count = s.communication_count;
  snap.module_setups = s.module_setups;
  snap.init_count = s.init_count;
  snap.attach_count = s.attach_count.load();
  return snap;
}

std::vector<std::uint32_t> Pids(std::initializer_list<const Child*> children) {
  std::vector<std::uint32_t> pids;
  for (const Child* c : children) pids.push_back(static_cast<std::uint32_t>(c->pid()));
  return pids;
}

class FrameTest : public vnh_test::SegmentTest {};

TEST_F(FrameTest, ExportsBeforeInitVarnholtnetGiveMinus2) {
  VNHIdentifier name{1, "1"};
  VNHHandle handle = 0x1234;
  VNHHandle action = 77;
  std::uint32_t word = 1;
  VNHValue value{};
  VNHVariableValue container{};
  VNHTovraMessage message{};
  VNHReplyHandle reply{8, {'A', 'A', 'A', 'A'}, 0};
  VNHTovraData data{};
  using Call = std::function<std::int32_t(std::int32_t*)>;
  struct Case {
    const char* what;
    Call call;
  } cases[] = {
      {"VNHInitCommunication", [&](std::int32_t* s) { return VNHInitCommunication(s); }},
      {"VNHAssignSystemVariable", [&](std::int32_t* s) { return VNHAssignSystemVariable(&name, &value, s); }},
      {"VNHGetSystemVariable", [&](std::int32_t* s) { return VNHGetSystemVariable(&name, &value, s); }},
      {"VNHSetAsyncActionCallBack", [&](std::int32_t* s) { return VNHSetAsyncActionCallBack(nullptr, s); }},
      {"VNHAllocateStringInVV", [&](std::int32_t* s) { return VNHAllocateStringInVV(&container, &word, s); }},
      {"VNHAllocateBitStringInVV", [&](std::int32_t* s) { return VNHAllocateBitStringInVV(&container, &word, s); }},
      {"VNHAllocateArrayInVV", [&](std::int32_t* s) { return VNHAllocateArrayInVV(&container, &word, s); }},
      {"VNHSetVariableCallBacks", [&](std::int32_t* s) { return VNHSetVariableCallBacks(nullptr, nullptr, s); }},
      {"VNHDefineConnection", [&](std::int32_t* s) { return VNHDefineConnection(&name, &name, &handle, s); }},
      {"VNHReleaseConnection", [&](std::int32_t* s) { return VNHReleaseConnection(&handle, s); }},
      {"VNHReadNamedVariable", [&](std::int32_t* s) { return VNHReadNamedVariable(&handle, &name, &name, &word, &action, s); }},
      {"VNHWriteNamedVariable", [&](std::int32_t* s) { return VNHWriteNamedVariable(&handle, &name, &name, &word, &action, s); }},
      {"VNHModuleRestart", [&](std::int32_t* s) { return VNHModuleRestart(&name, &word, s); }},
      {"VNHSetRemoteTime", [&](std::int32_t* s) { return VNHSetRemoteTime(&handle, &action, s); }},
      {"VNHDefineVarGlobalReport", [&](std::int32_t* s) { return VNHDefineVarGlobalReport(&name, s); }},
      {"VNHSendVarReport", [&](std::int32_t* s) { return VNHSendVarReport(&name, s); }},
      {"VNHSubscribeVarReport", [&](std::int32_t* s) { return VNHSubscribeVarReport(&handle, &name, &name, &word, &action, s); }},
      {"VNHNodeStatusRequest", [&](std::int32_t* s) { return VNHNodeStatusRequest(&name, &name, &action, s); }},
      {"VNHSetNodeStatusCallBack", [&](std::int32_t* s) { return VNHSetNodeStatusCallBack(nullptr, &word, s); }},
      {"VNHSetStreamCallBacks", [&](std::int32_t* s) { return VNHSetStreamCallBacks(nullptr, nullptr, nullptr, nullptr, s); }},
      {"VNHStreamRequest", [&](std::int32_t* s) { return VNHStreamRequest(&handle, &word, &name, &handle, &action, s); }},
      {"VNHStreamSendData", [&](std::int32_t* s) { return VNHStreamSendData(&handle, &action, s); }},
      {"VNHStreamClose", [&](std::int32_t* s) { return VNHStreamClose(&handle, &action, s); }},
      {"VNHStreamRestart", [&](std::int32_t* s) { return VNHStreamRestart(&handle, &action, s); }},
      {"VNHSetTovraCallBacks", [&](std::int32_t* s) { return VNHSetTovraCallBacks(nullptr, nullptr, s); }},
      {"VNHSendTovraTransparentReply", [&](std::int32_t* s) { return VNHSendTovraTransparentReply(&reply, &data, s); }},
      {"VNHSendTovraTransparentMessage", [&](std::int32_t* s) { return VNHSendTovraTransparentMessage(&handle, &message, &action, s); }},
      {"VNHSetIdentifyCallBack", [&](std::int32_t* s) { return VNHSetIdentifyCallBack(nullptr, s); }},
      {"VNHIdentifyRemsys", [&](std::int32_t* s) { return VNHIdentifyRemsys(&name, &name, &action, s); }},
      {"VNHConfigIdentity", [&](std::int32_t* s) { return VNHConfigIdentity(&name, &word, s); }},
      // Exports without a status: the return value tells.
      {"CloseVarnholtnet", [&](std::int32_t* s) { return *s = CloseVarnholtnet(); }},
      {"VNHPollCommunication", [&](std::int32_t* s) { return *s = VNHPollCommunication(); }},
      {"VNHCloseCommunication", [&](std::int32_t* s) { return *s = VNHCloseCommunication(); }},
      {"VNHDisableServerEntity", [&](std::int32_t* s) { return *s = VNHDisableServerEntity(); }},
      {"VNHConnectionStatus", [&](std::int32_t* s) { return *s = VNHConnectionStatus(&handle); }},
      {"VNHAsynchronousStatus", [&](std::int32_t* s) { return *s = VNHAsynchronousStatus(&handle, &action); }},
      {"VNHShowCommInfoDialog", [&](std::int32_t* s) { return *s = VNHShowCommInfoDialog(nullptr); }},
  };
  auto expect_all_refused = [&](const char* when) {
    for (const Case& c : cases) {
      std::int32_t status = 99;
      std::int32_t result = c.call(&status);
      EXPECT_EQ(status, -2) << c.what << " " << when;
      EXPECT_TRUE(result == -2 || result == 1) << c.what << " " << when;
    }
  };
  expect_all_refused("before InitVarnholtnet");
  ASSERT_EQ(InitVarnholtnet(), 1);
  ASSERT_EQ(CloseVarnholtnet(), 1);
  expect_all_refused("after CloseVarnholtnet");
  // Available at any time.
  EXPECT_EQ(VNHVersion(), 522);
  std::int32_t status = 0;
  VNHSetResourceCallBack(&status);
  EXPECT_EQ(status, -485);
}

TEST_F(FrameTest, TwoProcessesShareAllocationsAndOneClientList) {
  struct Shared {
    std::uint32_t block;
  };
  Scratch<Shared> scratch;
  const char kText[] = "written by the first process";
  enum { kWrite = kFirstTestCommand, kRead };
  auto step = With([&](std::int32_t command) -> std::int32_t {
    vnh::MutexLock lock;
    vnh::Heap heap = vnh::SharedHeap();
    if (command == kWrite) {
      scratch->block = heap.Allocate(sizeof kText, vnh::kTypeStringStorage, false);
      std::memcpy(heap.Bytes(scratch->block), kText, sizeof kText);
      return scratch->block != 0;
    }
    return heap.CheckHandle(scratch->block, vnh::kTypeStringStorage) == 1 &&
           std::memcmp(heap.Bytes(scratch->block), kText, sizeof kText) == 0;
  });
  Child a(step);
  Child b(step);
  ASSERT_EQ(a.Run(kInit), 1);
  ASSERT_EQ(a.Run(kWrite), 1);
  ASSERT_EQ(b.Run(kInit), 1);
  EXPECT_EQ(b.Run(kRead), 1);
  Snapshot snap = Inspect();
  EXPECT_EQ(snap.client_pids, Pids({&a, &b}));
  EXPECT_EQ(snap.init_count, 2u);
  EXPECT_EQ(snap.module_setups, 1u) << "the modules are set up once for the machine";
  EXPECT_EQ(snap.attach_count, 3u);  // both children and this process

  // Leaving normally releases a process's clients.
  EXPECT_EQ(a.Quit(), 0);
  snap = Inspect();
  EXPECT_EQ(snap.client_pids, Pids({&b}));
  EXPECT_EQ(snap.attach_count, 2u);
}

TEST_F(FrameTest, ThreadsHaveClientsOfTheirOwnAndThreadExitReleasesThem) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  std::uint32_t main_client = vnh::CurrentClient();
  std::uint32_t other_client = 0;
  std::size_t clients_while_running = 0;
  std::thread t([&] {
    EXPECT_EQ(VNHPollCommunication(), -2);
    ASSERT_EQ(InitVarnholtnet(), 1);
    other_client = vnh::CurrentClient();
    clients_while_running = Inspect().client_pids.size();
  });
  t.join();
  EXPECT_NE(other_client, 0u);
  EXPECT_NE(other_client, main_client);
  EXPECT_EQ(clients_while_running, 2u);
  EXPECT_EQ(Inspect().client_pids.size(), 1u);
  EXPECT_EQ(InitVarnholtnet(), 1) << "a second call keeps the thread's record";
  EXPECT_EQ(vnh::CurrentClient(), main_client);
  EXPECT_EQ(Inspect().client_pids.size(), 1u);
}

TEST_F(FrameTest, AnOwnerKilledInsideOrOutsideTheMutexIsReplaced) {
  const struct {
    const char* what;
    bool holds_mutex;
  } cases[] = {{"killed holding the mutex", true}, {"killed outside the mutex", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (&c != cases) Restart();  // each case on a machine of its own
    VirtualClock clock;
    clock.Install();
    Child a(ClientStep);
    Child b(ClientStep);
    ASSERT_EQ(a.Run(kInit), 1);
    ASSERT_EQ(a.Run(kInitComm), 1);
    ASSERT_EQ(b.Run(kInit), 1);
    ASSERT_EQ(b.Run(kInitComm), 2);
    if (c.holds_mutex) {
      ASSERT_EQ(a.Run(kHoldMutex), 1);
    }
    a.Kill();
    // B's next call recovers the mutex (or finds the owner dead) and drops the
    // dead process's client; the roles pass to B, which drives the channels
    // one second later.
    EXPECT_EQ(b.Run(kPoll), 1);
    Snapshot snap = Inspect();
    EXPECT_EQ(snap.client_pids, Pids({&b}));
    EXPECT_EQ(snap.owner_pid, static_cast<std::uint32_t>(b.pid()));
    EXPECT_EQ(snap.server_pid, static_cast<std::uint32_t>(b.pid()));
    EXPECT_EQ(snap.communication_count, 1u);
    EXPECT_EQ(b.Run(kOwnsCommunication), 0);
    clock.Advance(1000);
    EXPECT_EQ(b.Run(kPoll), 1);
    EXPECT_EQ(b.Run(kOwnsCommunication), 1);
  }
}

TEST_F(FrameTest, ANormalExitReleasesTheClientsOfThreadsThatStillRun) {
  enum { kWorkerCommunicates = kFirstTestCommand, kExit };
  auto step = With([](std::int32_t command) -> std::int32_t {
    if (command == kExit) std::exit(0);  // as a program returns from main
    // A worker that takes the roles and is still running when the process
    // ends: its thread detach never comes.
    std::promise<std::int32_t> started;
    std::future<std::int32_t> result = started.get_future();
    std::thread([promise = std::move(started)]() mutable {
      std::int32_t status = 0;
      if (InitVarnholtnet() == 1) VNHInitCommunication(&status);
      promise.set_value(status);
      for (;;) pause();
    }).detach();
    return result.get();
  });
  Child a(step);
  ASSERT_EQ(a.Run(kInit), 1);
  ASSERT_EQ(a.Run(kWorkerCommunicates), 1);
  Snapshot snap = Inspect();
  ASSERT_EQ(snap.client_pids, Pids({&a, &a}));
  ASSERT_EQ(snap.owner_pid, static_cast<std::uint32_t>(a.pid()));
  EXPECT_EQ(a.Run(kExit), Child::kNoAnswer) << "the child has ended";
  a.Kill();
  snap = Inspect();
  EXPECT_TRUE(snap.client_pids.empty());
  EXPECT_EQ(snap.owner_pid, 0u);
  EXPECT_EQ(snap.server_pid, 0u);
  EXPECT_EQ(snap.communication_count, 0u);
  EXPECT_EQ(snap.attach_count, 1u) << "this process alone";
}

// A stand-in for the TCP/IP transport that notes in which process its socket is.
struct ChannelLog {
  std::atomic<int> socket_pid{0};
  std::atomic<int> let_go_pid{0};
  std::atomic<int> transmit_pid{0};
  std::atomic<int> take_overs{0};
};
ChannelLog* g_channel_log = nullptr;

const vnh::ChannelBackend kLoggingTcpIp = {
    .open = [] {
      std::uint32_t c = vnh::NewChannel(vnh::kChannelTcpIp, 5);
      vnh::Channel(c)->state = vnh::kChannelUp;
      g_channel_log->socket_pid = getpid();
    },
    .transmit_poll = [](std::uint32_t) { g_channel_log->transmit_pid = getpid(); },
    .receive_poll = nullptr,
    .housekeeping = nullptr,
    .take_over = [](std::uint32_t) {
      g_channel_log->socket_pid = getpid();
      ++g_channel_log->take_overs;
      return true;
    },
    .let_go = [](std::uint32_t) { g_channel_log->let_go_pid = getpid(); },
    .peer_defined = nullptr,
    .peer_released = nullptr,
    .forget = nullptr,
};

TEST_F(FrameTest, AfterTheOwnerClosesAClientOfAnotherProcessTakesOverTheChannels) {
  VirtualClock clock;
  clock.Install();
  Scratch<ChannelLog> log;
  g_channel_log = &*log;
  vnh::RegisterChannelBackend(vnh::kChannelTcpIp, &kLoggingTcpIp);
  Child a(ClientStep);
  Child b(ClientStep);
  vnh::RegisterChannelBackend(vnh::kChannelTcpIp, nullptr);

  ASSERT_EQ(a.Run(kInit), 1);
  ASSERT_EQ(a.Run(kInitComm), 1);
  EXPECT_EQ(log->socket_pid, a.pid());
  ASSERT_EQ(b.Run(kInit), 1);
  EXPECT_EQ(b.Run(kInitComm), 2) << "A is the server client";
  EXPECT_EQ(b.Run(kPoll), 1);
  EXPECT_EQ(log->transmit_pid, 0) << "only the owner's polls move data";
  EXPECT_EQ(a.Run(kPoll), 1);
  EXPECT_EQ(log->transmit_pid, a.pid());

  ASSERT_EQ(a.Run(kCloseComm), 1);
  EXPECT_EQ(log->let_go_pid, a.pid());
  Snapshot snap = Inspect();
  EXPECT_EQ(snap.owner_pid, static_cast<std::uint32_t>(b.pid()));
  EXPECT_EQ(snap.server_pid, static_cast<std::uint32_t>(b.pid()));
  EXPECT_EQ(snap.communication_count, 1u);

  clock.Advance(999);
  EXPECT_EQ(b.Run(kPoll), 1);
  EXPECT_EQ(b.Run(kOwnsCommunication), 0);
  EXPECT_EQ(log->socket_pid, a.pid());
  clock.Advance(1);
  EXPECT_EQ(b.Run(kPoll), 1);
  EXPECT_EQ(b.Run(kOwnsCommunication), 1);
  EXPECT_EQ(log->socket_pid, b.pid()) << "the new owner has a socket of its own";
  EXPECT_EQ(log->transmit_pid, b.pid());
  EXPECT_EQ(log->take_overs, 1);

  // A may start again, now as a plain client.
  EXPECT_EQ(a.Run(kInitComm), 2);
  EXPECT_EQ(a.Run(kOwnsCommunication), 0);
  EXPECT_EQ(Inspect().communication_count, 2u);
}

TEST_F(FrameTest, TheLastOwnerLeavingLetsGoAndTheNextFirstClientTakesTheChannelsUp) {
  Scratch<ChannelLog> log;
  g_channel_log = &*log;
  vnh::RegisterChannelBackend(vnh::kChannelTcpIp, &kLoggingTcpIp);
  Child a(ClientStep);
  Child b(ClientStep);
  vnh::RegisterChannelBackend(vnh::kChannelTcpIp, nullptr);
  ASSERT_EQ(a.Run(kInit), 1);
  ASSERT_EQ(a.Run(kInitComm), 1);
  ASSERT_EQ(a.Run(kCloseComm), 1);
  EXPECT_EQ(log->let_go_pid, a.pid());
  EXPECT_EQ(Inspect().owner_pid, 0u);
  ASSERT_EQ(b.Run(kInit), 1);
  ASSERT_EQ(b.Run(kInitComm), 1);
  EXPECT_EQ(log->socket_pid, b.pid());
  EXPECT_EQ(log->take_overs, 1) << "the channel record is taken up, not made twice";
}

struct TraceLog {
  char text[512];
  std::atomic<int> used{0};
};
TraceLog* g_trace_log = nullptr;

void VNH_CALL CollectTrace(const char* text) {
  int n = static_cast<int>(std::strlen(text));
  int at = g_trace_log->used.fetch_add(n + 1);
  std::memcpy(g_trace_log->text + at, text, static_cast<std::size_t>(n));
  g_trace_log->text[at + n] = '|';
}

TEST_F(FrameTest, TraceTextsReachTheOwnerInOrder) {
  Scratch<TraceLog> log;
  g_trace_log = &*log;
  enum { kCollect = kFirstTestCommand, kTrace1, kTrace2, kWarn };
  auto step = With([](std::int32_t command) -> std::int32_t {
    switch (command) {
      case kCollect: vnh::SetTraceCallBack(CollectTrace); return 1;
      case kTrace1: vnh::Trace("%s %d", getpid() % 2 ? "odd" : "even", 1); return 1;
      case kTrace2: vnh::Trace("second"); return 1;
      case kWarn: vnh::TraceWarning("%s", "careful"); return 1;
      default: return 0;
    }
  });
  Child owner(step);
  Child other(step);
  ASSERT_EQ(owner.Run(kInit), 1);
  ASSERT_EQ(owner.Run(kCollect), 1);
  ASSERT_EQ(other.Run(kInit), 1);
  other.Run(kTrace1);  // nobody communicates: dropped
  ASSERT_EQ(owner.Run(kInitComm), 1);
  ASSERT_EQ(other.Run(kInitComm), 2);
  other.Run(kTrace1);
  other.Run(kWarn);
  owner.Run(kTrace2);  // texts of the other process wait: this one queues behind them
  EXPECT_EQ(log->used, 0);
  owner.Run(kPoll);
  std::string other_first = std::string(other.pid() % 2 ? "odd" : "even") + " 1";
  EXPECT_EQ(std::string(log->text, static_cast<std::size_t>(log->used.load())),
            other_first + "|W   careful|second|");
  owner.Run(kTrace2);  // nothing waits now: straight out
  EXPECT_EQ(std::string(log->text, static_cast<std::size_t>(log->used.load())),
            other_first + "|W   careful|second|second|");
}

// True when a thread that never held the library mutex can take it now.
bool MutexIsFree() {
  bool free = false;
  std::thread probe([&] {
    pthread_mutex_t* m = &vnh::Shared().mutex;
    if (pthread_mutex_trylock(m) == 0) {
      free = true;
      pthread_mutex_unlock(m);
    }
  });
  probe.join();
  return free;
}

TEST_F(FrameTest, InitCommunicationReleasesTheMutexOnEveryPath) {
  // Becomes the server client (the path that once returned still locked).
  ASSERT_EQ(InitVarnholtnet(), 1);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  EXPECT_EQ(status, 1);
  ASSERT_TRUE(MutexIsFree()) << "server client";
  std::thread second([] {
    ASSERT_EQ(InitVarnholtnet(), 1);
    std::int32_t s = 0;
    VNHInitCommunication(&s);
    EXPECT_EQ(s, 2);
    EXPECT_TRUE(MutexIsFree()) << "offers a server entity, another is the server";
  });
  second.join();
  std::thread third([] {
    ASSERT_EQ(InitVarnholtnet(), 1);
    VNHDisableServerEntity();
    std::int32_t s = 0;
    VNHInitCommunication(&s);
    EXPECT_EQ(s, 1);
    EXPECT_TRUE(MutexIsFree()) << "no server entity";
  });
  third.join();
  // Calling it again changes no count.
  VNHInitCommunication(&status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Inspect().communication_count, 1u);
}

TEST_F(FrameTest, ExhaustedClientPoolIsReportedByInitVarnholtnet) {
  ASSERT_EQ(InitVarnholtnet(), 1);  // takes the one record made in advance
  {
    vnh::MutexLock lock;
    vnh::Heap heap = vnh::SharedHeap();
    ASSERT_NE(heap.Allocate(heap.Left() - vnh::kBlockHeaderSize, vnh::kTypeStringStorage, false),
              0u);
  }
  std::thread t([] {
    EXPECT_EQ(InitVarnholtnet(), -4);
    std::int32_t status = 0;
    EXPECT_EQ(VNHInitCommunication(&status), -2);
    EXPECT_EQ(status, -2);
  });
  t.join();
  EXPECT_EQ(Inspect().client_pids.size(), 1u);
}

TEST_F(FrameTest, ServerRoleFollowsTheFirstEligibleCommunicatingClient) {
  Child a(ClientStep);
  Child b(ClientStep);
  Child c(ClientStep);
  for (Child* child : {&a, &b, &c}) ASSERT_EQ(child->Run(kInit), 1);
  ASSERT_EQ(b.Run(kDisableServer), 1);
  ASSERT_EQ(a.Run(kInitComm), 1);
  ASSERT_EQ(b.Run(kInitComm), 1);
  ASSERT_EQ(c.Run(kInitComm), 2);
  ASSERT_EQ(a.Run(kCloseComm), 1);
  Snapshot snap = Inspect();
  EXPECT_EQ(snap.server_pid, static_cast<std::uint32_t>(c.pid())) << "B offers no server entity";
  EXPECT_EQ(snap.owner_pid, static_cast<std::uint32_t>(c.pid())) << "the server client is preferred";
  ASSERT_EQ(c.Run(kCloseLibrary), 1);
  snap = Inspect();
  EXPECT_EQ(snap.server_pid, 0u);
  EXPECT_EQ(snap.owner_pid, static_cast<std::uint32_t>(b.pid()));
  EXPECT_EQ(snap.communication_count, 1u);
}

}  // namespace
