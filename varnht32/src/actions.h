#pragma once
// Actions: everything a client asks of a remote node is a record queued on the
// association of that node, started by a later poll of its owner, completed by
// an answer or a time-out, and handed back to the owner. Runs under the
// library mutex.

#include <cstdint>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/clock.h"

namespace vnh {

enum ActionKind : std::uint32_t {
  kActionRead = 1,
  kActionWrite = 2,
  kActionConnect = 3,
  kActionSetTime = 4,
  kActionSetTimeSecond = 5,
  kActionTovra = 6,
  kActionStream = 7,
  kActionIdentify = 8,
  kActionNodeStatus = 9,
  kActionSubscribe = 10,
};

// Steps of a stream action (its parameter).
enum StreamStep : std::uint32_t {
  kStepOpen = 0,
  kStepSend = 2,
  kStepRestart = 4,
  kStepClose = 5,
};

// Area 1 of kinds 8 and 9: the channel and the node (0: all nodes).
struct NodeTarget {
  std::uint32_t channel;
  std::uint32_t element;
};

// The two 36-byte areas of an action; what they hold depends on its kind.
union ActionArea {
  VNHIdentifier identifier;  // kinds 1, 2, 10: names; kind 7: the stream name
  VNHTovraMessage message;   // kind 6
  NodeTarget target;         // kinds 8, 9
  std::uint32_t stream;      // kind 7, area 2: the stream record
};
static_assert(sizeof(ActionArea) == 36);

// Lives in the shared heap (type 23, 104 bytes).
struct Action {
  std::int32_t status;
  std::uint8_t timed;
  std::uint8_t internal;
  std::uint8_t subscribe;  // kind 10: 1 subscribe, 0 unsubscribe
  std::uint8_t mode;       // what the running step waits for (ActionMode)
  TimeStamp started;
  std::uint32_t user_value;
  std::uint32_t owner;
  std::uint32_t kind;
  std::uint32_t parameter;  // stream step; after a request went out, the address of its answer
  ActionArea area1;
  ActionArea area2;
};
static_assert(sizeof(Action) == 104);

// What an action in progress waits for.
enum ActionMode : std::uint8_t {
  kModeNone = 0,
  kModeName = 1,         // a name answer
  kModeAnswer = 2,       // the answer to a request sent by name
  kModeRegister = 3,     // the answer to a request sent by register form
  kModeConnect = 4,      // the node's identity (identify, subscription by connect)
  kModeAnswered = 5,     // a node status request whose answer has come
};

Action* ActionOf(std::uint32_t action);
void SetUpActions();

// A new action of the calling client, or 0 with status -4.
std::uint32_t NewAction(std::uint32_t owner, std::uint32_t user_value, std::uint32_t kind,
                        std::int32_t* status);
// Out of whatever list holds it and back to the pool.
void FreeAction(std::uint32_t action);

// Copies an identifier record into an area; a text below 32 characters gets a terminator.
void StoreIdentifier(ActionArea& area, const VNHIdentifier* record);

}  // namespace vnh
