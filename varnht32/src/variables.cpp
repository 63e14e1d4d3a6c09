#include "varnht32/src/variables.h"

#include <cstring>

#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/node_data.h"

namespace vnh {

namespace {

constexpr std::uint32_t kVariablesAtStart = 10;
constexpr std::uint32_t kVariablesRefill = 20;

ServiceState& State() { return Shared().services; }

void FreeLink(std::uint32_t link) {
  Heap heap = SharedHeap();
  ReportLink* r = ReportLinkOf(link);
  if (r->local_name != 0) PoolPut(heap, State().local_name_pool, &r->local_name);
  heap.Takeout(link);
  PoolPut(heap, State().report_link_pool, &link);
}

void DropSubscribers(std::uint32_t entry) {
  Heap heap = SharedHeap();
  while (std::uint32_t link = heap.First(Entry(entry)->subscribers)) FreeLink(link);
  Entry(entry)->flags &= ~kEntryHasSubscribers;
}

}  // namespace

VariableEntry* Entry(std::uint32_t entry) { return SharedHeap().Data<VariableEntry>(entry); }

ReportLink* ReportLinkOf(std::uint32_t link) { return SharedHeap().Data<ReportLink>(link); }

void SetUpVariables() {
  ServiceState& s = State();
  Heap heap = SharedHeap();
  PoolSetUp(heap, s.variable_pool, kVariablesAtStart, kVariablesRefill, kTypeVariableEntry);
  PoolSetUp(heap, s.report_link_pool, 0, 1, kTypeReportLink);
  PoolSetUp(heap, s.local_name_pool, 0, 1, kTypeLocalName);
  s.server_variables = heap.NewListHead();
  s.server_variable_count = 0;
}

std::uint32_t NewEntry() {
  Heap heap = SharedHeap();
  std::uint32_t entry = PoolGet(heap, State().variable_pool);
  if (entry == 0) return 0;
  VariableEntry* e = Entry(entry);
  // A record back from the pool keeps its (empty) subscriber head.
  std::uint32_t head = heap.BlockType(e->subscribers) == kTypeListHead ? e->subscribers
                                                                         : heap.NewListHead();
  if (head == 0) {
    PoolPut(heap, State().variable_pool, &entry);
    return 0;
  }
  std::memset(e, 0, sizeof *e);
  e->subscribers = head;
  heap.ActivateListHead(head);
  return entry;
}

void FreeEntry(std::uint32_t entry) {
  if (entry == 0) return;
  DropSubscribers(entry);
  Heap heap = SharedHeap();
  heap.Takeout(entry);
  PoolPut(heap, State().variable_pool, &entry);
}

std::uint32_t FindEntryByName(std::uint32_t list, const char* name) {
  Heap heap = SharedHeap();
  for (std::uint32_t e = heap.First(list); e != 0; e = heap.SuccElem(e)) {
    if (std::memcmp(Entry(e)->name, name, sizeof Entry(e)->name) == 0) return e;
  }
  return 0;
}

std::uint32_t FindEntryByAddress(std::uint32_t list, std::uint16_t address) {
  Heap heap = SharedHeap();
  for (std::uint32_t e = heap.First(list); e != 0; e = heap.SuccElem(e)) {
    if (Entry(e)->address == address) return e;
  }
  return 0;
}

bool AddSubscriber(std::uint32_t entry, std::uint32_t element, const VNHIdentifier* local_name) {
  Heap heap = SharedHeap();
  VariableEntry* e = Entry(entry);
  for (std::uint32_t l = heap.First(e->subscribers); l != 0; l = heap.SuccElem(l)) {
    if (ReportLinkOf(l)->element == element) return true;
  }
  std::uint32_t link = PoolGet(heap, State().report_link_pool);
  if (link == 0) return false;
  ReportLink* r = ReportLinkOf(link);
  r->element = element;
  r->local_name = 0;
  if (local_name != nullptr) {
    r->local_name = PoolGet(heap, State().local_name_pool);
    if (r->local_name == 0) {
      PoolPut(heap, State().report_link_pool, &link);
      return false;
    }
    auto* copy = heap.Data<VNHIdentifier>(r->local_name);
    SetIdentifierText(copy, IdentifierText(local_name));
  }
  heap.Into(link, e->subscribers);
  e->flags |= kEntryHasSubscribers;
  return true;
}

void RemoveSubscriber(std::uint32_t entry, std::uint32_t element) {
  Heap heap = SharedHeap();
  VariableEntry* e = Entry(entry);
  std::uint32_t l = heap.First(e->subscribers);
  while (l != 0) {
    std::uint32_t next = heap.SuccElem(l);
    if (ReportLinkOf(l)->element == element) FreeLink(l);
    l = next;
  }
  if (heap.Last(e->subscribers)) e->flags &= ~kEntryHasSubscribers;
}

const VNHIdentifier* FirstSubscriberName(std::uint32_t entry) {
  Heap heap = SharedHeap();
  std::uint32_t l = heap.First(Entry(entry)->subscribers);
  if (l == 0 || ReportLinkOf(l)->local_name == 0) return nullptr;
  return heap.Data<VNHIdentifier>(ReportLinkOf(l)->local_name);
}

void ForgetNames(std::uint32_t element, bool keep_subscribed) {
  Heap heap = SharedHeap();
  std::uint32_t e = heap.First(Node(element)->name_list);
  while (e != 0) {
    std::uint32_t next = heap.SuccElem(e);
    if (!keep_subscribed || (Entry(e)->flags & kEntryHasSubscribers) == 0) FreeEntry(e);
    e = next;
  }
}

void DropFromServerReports(std::uint32_t element) {
  Heap heap = SharedHeap();
  for (std::uint32_t e = heap.First(State().server_variables); e != 0; e = heap.SuccElem(e)) {
    RemoveSubscriber(e, element);
  }
}

}  // namespace vnh
