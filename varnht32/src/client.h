#pragma once
// Client records: one per calling thread, in one client list for the machine.
// All functions here run under the library mutex.

#include <cstdint>
#include <string_view>

#include "varnht32/src/process_identity.h"
#include "varnht32/src/shared_state.h"

namespace vnh {

enum ClientState : std::uint32_t {
  kClientReleased = 0,
  kClientInitialised = 1,
  kClientCommunicating = 2,
  kClientEnded = 3,
};

// Lives in the shared heap (type 25). The callback words are 1 while the
// callback is set; the function pointers themselves stay with the thread.
struct ClientRecord {
  std::uint32_t state;
  std::uint8_t owns_communication;
  std::uint8_t offers_server_entity;
  std::uint8_t node_status_wanted;
  std::uint8_t reserved;
  char program_file[128];
  std::uint32_t process_id;
  std::uint32_t trace_callback;
  Identity identity;
  std::uint32_t async_action_callback;
  std::uint32_t variable_read_callback;
  std::uint32_t variable_write_callback;
  std::uint32_t tovra_message_callback;
  std::uint32_t tovra_reply_callback;
  std::uint32_t stream_callbacks[4];  // open request, data received, data to send, closed
  std::uint32_t node_status_callback;
  std::uint32_t identify_callback;
  std::uint32_t immediate_events;  // list heads of the event queue
  std::uint32_t timed_events;
  std::uint32_t process_start;  // with the process id, tells the process from a later one
};
static_assert(sizeof(ClientRecord) == 212);

ClientRecord* Client(std::uint32_t client);
ProcessIdentity ClientProcess(std::uint32_t client);

void SetUpClientModule();
// Creates the calling thread's client record; 0 when the pool is exhausted.
std::uint32_t CreateClient();
// Ends the client's communication, empties its queue and gives it back.
void ReleaseClient(std::uint32_t client);
void ReleaseClientsOf(ProcessIdentity process);
// Releases the clients of every process that has ended, so that a process that
// died does not hold the fieldbus.
void ReleaseClientsOfDeadProcesses();

// The Kelmnet identity that the library announces and its default.
const Identity& LibraryDefaultIdentity();
// The client whose identity is in force: the server client, else the first
// client, else 0 for the library default.
std::uint32_t NodeIdentityHolder();
const Identity& NodeIdentity();

// `VNHServerAppName` (empty while unset).
std::string_view ServerAppName();
// The base name of a program file: after the last '\', '/' or ':', cut at its first '.'.
std::string_view ProgramBaseName(std::string_view program_file);
bool ProgramMayBeServer(std::string_view server_app_name, std::string_view program_file);
bool ClientMayBeServer(std::uint32_t client);

}  // namespace vnh
