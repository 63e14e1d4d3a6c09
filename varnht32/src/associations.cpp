#include "varnht32/src/associations.h"

namespace vnh {

// No association can exist yet: connections are refused until the message
// layer defines them.
void PollAssociations(bool) {}

void CancelClientActions(std::uint32_t) {}

void AssociationNodeDown(std::uint32_t) {}

void AssociationNodeUp(std::uint32_t) {}

bool QueueInternalIdentify(std::uint32_t) { return false; }

}  // namespace vnh
