#include "varnht32/src/client.h"

#include <unistd.h>

#include <cstring>

#include "varnht32/src/communication.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

void FillProgramFile(char (&out)[128]) {
  std::memset(out, 0, sizeof out);
  ssize_t n = readlink("/proc/self/exe", out, sizeof out - 1);
  if (n < 0) out[0] = '\0';
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

ClientRecord* Client(std::uint32_t client) { return SharedHeap().Data<ClientRecord>(client); }

ProcessIdentity ClientProcess(std::uint32_t client) {
  const ClientRecord* r = Client(client);
  return ProcessIdentity{r->process_id, r->process_start};
}

void SetUpClientModule() {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  s.communication_owner = 0;
  s.server_client = 0;
  s.communication_count = 0;
  s.client_list = heap.NewListHead();
  PoolSetUp(heap, s.client_pool, 1, 1, kTypeClient);
  PoolSetUp(heap, s.event_pool, 10, 10, kTypeEvent);
}

std::uint32_t CreateClient() {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  std::uint32_t c = PoolGet(heap, s.client_pool);
  if (c == 0) return 0;
  ClientRecord* r = Client(c);
  // A record that comes back from the pool keeps its two (empty) queue heads.
  std::uint32_t immediate = heap.BlockType(r->immediate_events) == kTypeListHead
                                ? r->immediate_events : heap.NewListHead();
  std::uint32_t timed = heap.BlockType(r->timed_events) == kTypeListHead
                            ? r->timed_events : heap.NewListHead();
  if (immediate == 0 || timed == 0) {
    PoolPut(heap, s.client_pool, &c);
    return 0;
  }
  std::memset(r, 0, sizeof *r);
  r->immediate_events = immediate;
  r->timed_events = timed;
  heap.ActivateListHead(immediate);
  heap.ActivateListHead(timed);
  r->state = kClientInitialised;
  r->offers_server_entity = 1;
  FillProgramFile(r->program_file);
  ProcessIdentity me = ThisProcess();
  r->process_id = me.pid;
  r->process_start = me.start;
  r->identity = LibraryDefaultIdentity();
  heap.Into(c, s.client_list);
  return c;
}

void ReleaseClient(std::uint32_t client) {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  if (heap.CheckHandle(client, kTypeClient) != 1) return;
  ClientRecord* r = Client(client);
  r->trace_callback = 0;
  EndCommunication(client);
  heap.Takeout(client);
  ClientEventQueue(client).Empty(DropQueuedObject, nullptr);
  r->state = kClientReleased;
  if (s.communication_owner == client) s.communication_owner = 0;
  if (s.server_client == client) s.server_client = 0;
  PoolPut(heap, s.client_pool, &client);
}

void ReleaseClientsOf(ProcessIdentity process) {
  Heap heap = SharedHeap();
  std::uint32_t c = heap.First(Shared().client_list);
  while (c != 0) {
    std::uint32_t next = heap.SuccElem(c);
    if (Client(c)->process_id == process.pid) ReleaseClient(c);
    c = next;
  }
}

void ReleaseClientsOfDeadProcesses() {
  Heap heap = SharedHeap();
  std::uint32_t me = ThisProcess().pid;
  std::uint32_t c = heap.First(Shared().client_list);
  while (c != 0) {
    std::uint32_t next = heap.SuccElem(c);
    ProcessIdentity p = ClientProcess(c);
    // Releasing one client hands its roles on but takes no other client out
    // of the list, so the successor stays valid.
    if (p.pid != me && !ProcessAlive(p)) ReleaseClient(c);
    c = next;
  }
}

const Identity& LibraryDefaultIdentity() { return Shared().default_identity; }

std::uint32_t NodeIdentityHolder() {
  SharedState& s = Shared();
  if (s.server_client != 0) return s.server_client;
  return SharedHeap().First(s.client_list);
}

const Identity& NodeIdentity() {
  std::uint32_t holder = NodeIdentityHolder();
  return holder != 0 ? Client(holder)->identity : LibraryDefaultIdentity();
}

std::string_view ServerAppName() { return SettingText(Setting::kServerAppName); }

std::string_view ProgramBaseName(std::string_view program_file) {
  std::size_t cut = program_file.find_last_of("\\/:");
  std::string_view base = cut == std::string_view::npos ? program_file : program_file.substr(cut + 1);
  std::size_t dot = base.find('.');
  return dot == std::string_view::npos ? base : base.substr(0, dot);
}

bool ProgramMayBeServer(std::string_view server_app_name, std::string_view program_file) {
  if (server_app_name.empty()) return true;
  std::string_view base = ProgramBaseName(program_file);
  if (base.size() != server_app_name.size()) return false;
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (LowerAscii(base[i]) != LowerAscii(server_app_name[i])) return false;
  }
  return true;
}

bool ClientMayBeServer(std::uint32_t client) {
  const ClientRecord* r = Client(client);
  return ProgramMayBeServer(ServerAppName(),
                            std::string_view(r->program_file, strnlen(r->program_file, 128)));
}

}  // namespace vnh
