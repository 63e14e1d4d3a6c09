#pragma once
// Associations (connections to nodes) and the actions queued on them, as far as
// the frame drives them.

#include <cstdint>

namespace vnh {

// Runs the connection state machine over every association and, for the
// communication owner, the global action queue.
void PollAssociations(bool owner);
// Frees every action of the client from the lists of every association.
void CancelClientActions(std::uint32_t client);

}  // namespace vnh
