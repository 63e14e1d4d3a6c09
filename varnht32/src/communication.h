#pragma once
// Start and end of communication, the communication owner and its handover,
// the server client, and the poll engine with its event dispatch. Everything
// here runs under the library mutex.

#include <cstdint>

#include "varnht32/src/event_queue.h"

namespace vnh {

constexpr int kEventsPerPoll = 100;
// The new owner starts driving the channels this long after the handover.
constexpr std::int32_t kHandoverDelayMs = 1000;

EventQueue ClientEventQueue(std::uint32_t client);
// Queues an event due now / after `delay_ms` to the client.
bool QueueClientEvent(std::uint32_t client, std::uint32_t object, std::uint16_t word = 0);
bool QueueClientEventDelayed(std::uint32_t client, std::int32_t delay_ms, std::uint32_t object,
                             std::uint16_t word = 0);
// What happens to an object whose event is dropped with its queue.
void DropQueuedObject(std::uint32_t object, void* context);

// Body of VNHInitCommunication: status 1, or 2 when the client offers a server
// entity but cannot become the server client.
std::int32_t StartCommunication(std::uint32_t client);
// Body of VNHCloseCommunication and the first step of a client's release.
void EndCommunication(std::uint32_t client);
// Body of VNHPollCommunication.
void PollCommunication(std::uint32_t client);
void DispatchEvents(std::uint32_t client);

}  // namespace vnh
