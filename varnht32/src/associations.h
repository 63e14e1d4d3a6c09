#pragma once
// Associations (connections to nodes) and the actions queued on them, as far as
// the frame and the link layers drive them.

#include <cstdint>

namespace vnh {

// Runs the connection state machine over every association and, for the
// communication owner, the global action queue.
void PollAssociations(bool owner);
// Frees every action of the client from the lists of every association.
void CancelClientActions(std::uint32_t client);

// What a node's status change does to its association: down, the connection
// is lost and its names are forgotten; up after a loss, it reconnects at once.
void AssociationNodeDown(std::uint32_t element);
void AssociationNodeUp(std::uint32_t element);
// Queues the library's own identify action for a node that a card's node table
// no longer shows; its time-out takes the node down. False when nothing could
// be queued (the caller then takes the node down at once).
bool QueueInternalIdentify(std::uint32_t element);

}  // namespace vnh
