#include "varnht32/src/associations.h"

namespace vnh {

// No association can exist yet: connections are refused until the transports
// and the message layer define them.
void PollAssociations(bool) {}

void CancelClientActions(std::uint32_t) {}

}  // namespace vnh
