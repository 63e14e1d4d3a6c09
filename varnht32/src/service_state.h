#pragma once
// The shared items of the protocol services: associations and actions, the
// stream table, the server's variables and reports, and the items of
// variable-value containers. One member of SharedState; guarded by the
// library mutex.

#include <cstdint>

#include "varnht32/src/pool.h"

namespace vnh {

constexpr int kStreamSlots = 16;

struct ServiceState {
  // Associations (connections) and their actions.
  Pool association_pool;
  Pool action_pool;
  std::uint32_t association_list;
  std::uint32_t global_association;
  std::uint32_t walk_resume;          // where the last walk stopped on -400, 0 for the start
  std::uint32_t node_status_channel;  // channel of the running node status request, 0 when none
  std::uint32_t node_status_action;

  // Streams.
  Pool stream_pool;
  std::uint32_t stream_slot[kStreamSlots];  // stream record or 0
  std::uint32_t last_stream_slot;

  // Names, variables and reports.
  Pool variable_pool;
  Pool report_link_pool;
  Pool local_name_pool;
  std::uint32_t server_variables;   // list head
  std::uint32_t server_variable_count;
  std::uint32_t next_server_address;
  std::uint32_t report_trigger;     // the variable entry that stands for the report trigger event
  std::uint8_t report_trigger_queued;
  std::uint8_t reserved[3];

  // Items handed out into variable-value containers.
  std::uint32_t allocated_items;    // list head
};

}  // namespace vnh
