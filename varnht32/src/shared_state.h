#pragma once
// The module-level items of the library, shared by every process that loads it.
// They sit at the start of the shared segment, before the block-start bitmap
// and the static heap. Everything below `heap` is guarded by the library mutex.

#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "varnht32/src/clock.h"
#include "varnht32/src/heap.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/pool.h"
#include "varnht32/src/process_identity.h"
#include "varnht32/src/remote_time.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/src/service_state.h"

namespace vnh {

// A Kelmnet identity: name of 5 characters, restart counter, option byte, one
// spare byte, software code.
struct Identity {
  char name[5];
  std::uint8_t restart;
  std::uint8_t option;
  std::uint8_t spare;
  std::uint32_t software;
};
static_assert(sizeof(Identity) == 12);

constexpr std::uint32_t kSegmentMagic = 0x3148'4E56;  // "VNH1"

struct SharedState {
  std::uint32_t magic;
  std::uint32_t segment_size;  // refuses a segment laid out by another build
  // (phase << 32) | pid of the process that sets the segment up; phase 0 new,
  // 1 being set up, 2 ready.
  std::atomic<std::uint64_t> setup_word;
  pthread_mutex_t mutex;  // "Varnholtnet21DLLMutex"
  std::atomic<std::uint32_t> attach_count;
  std::atomic<std::uint64_t> tick_wraps;  // see SetWrapState
  HeapControl heap;

  std::uint32_t init_count;
  std::uint32_t module_setups;
  std::uint32_t client_list;
  std::uint32_t communication_count;
  std::uint32_t communication_owner;
  std::uint32_t server_client;
  TimeStamp current_time;
  std::uint32_t queued_trace_count;
  std::uint32_t current_origin;  // node-data element while a message is dispatched
  Identity default_identity;
  VariableTableControl variables;
  // The value block each library variable is bound to; 0 reads as its default.
  std::uint32_t settings[kSettingCount];
  RemoteTimeState remote_time;
  std::uint32_t channel_list;
  std::uint8_t polling;
  std::uint8_t reserved[3];
  // The process that shows the settings dialog (pid 0 while none does). It is
  // taken and given back under the mutex; the dialog itself runs without it.
  ProcessIdentity settings_dialog;

  Pool client_pool;
  Pool event_pool;
  Pool string_item_pool;
  Pool bit_string_item_pool;
  Pool array_item_pool;

  MessageBufferPools buffers;  // the link layers' message buffers
  std::uint32_t udp_session;   // session context of the TCP/IP channel, 0 while none

  ServiceState services;  // connections, actions, streams, server variables
};

}  // namespace vnh
