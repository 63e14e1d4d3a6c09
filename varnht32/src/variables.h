#pragma once
// Variable entries: the names a node has resolved for us (in its element's
// name list) and the server's own variables (the server variable list), each
// with its list of subscribers. Runs under the library mutex.

#include <cstdint>

#include "varnht32/include/varnht32.h"

namespace vnh {

enum VariableEntryFlag : std::uint32_t {
  kEntryHasSubscribers = 1,
  kEntryReportDue = 2,
  kEntryIsReport = 4,
};
// Variable flags of a name answer: the variable is a report.
constexpr std::uint8_t kVariableIsReport = 0x80;

// Lives in the shared heap (type 20, 24 bytes).
struct VariableEntry {
  std::uint32_t flags;
  std::uint32_t subscribers;  // list head of report links
  char name[5];
  std::uint8_t variable_flags;
  std::uint8_t length;  // string length or element count
  std::uint8_t reserved;
  std::uint16_t address;
  std::uint8_t type_byte;
  std::uint8_t start;
  std::uint8_t count;
  std::uint8_t reserved2[3];
};
static_assert(sizeof(VariableEntry) == 24);

// A subscriber (type 21): its node and, on the subscribing side, a copy of
// the local variable's name (type 26, an identifier record), else 0.
struct ReportLink {
  std::uint32_t element;
  std::uint32_t local_name;
};
static_assert(sizeof(ReportLink) == 8);

VariableEntry* Entry(std::uint32_t entry);
ReportLink* ReportLinkOf(std::uint32_t link);
void SetUpVariables();

// A new entry with an empty subscriber list; 0 when no record is left.
std::uint32_t NewEntry();
// Out of its list, its subscribers dropped, back to the pool.
void FreeEntry(std::uint32_t entry);

std::uint32_t FindEntryByName(std::uint32_t list, const char* name);
std::uint32_t FindEntryByAddress(std::uint32_t list, std::uint16_t address);

// Adds the node to the entry's subscribers (once) with a copy of the local
// name when one is given; false when no record is left.
bool AddSubscriber(std::uint32_t entry, std::uint32_t element, const VNHIdentifier* local_name);
void RemoveSubscriber(std::uint32_t entry, std::uint32_t element);
// The local name of the entry's first subscriber, null when none is kept.
const VNHIdentifier* FirstSubscriberName(std::uint32_t entry);

// A node restarted or went down: its resolved names go (those with
// subscribers stay when `keep_subscribed`), and it leaves the subscribers of
// every server variable.
void ForgetNames(std::uint32_t element, bool keep_subscribed);
void DropFromServerReports(std::uint32_t element);

}  // namespace vnh
