#pragma once
// The receiving end of the protocol services: every message dispatched to a
// client is decoded once and handed to the service of its function code.

namespace vnh {

// Makes the services the message handler and owner lookup of the message
// routing again (they are from the start; a test may have put its own).
void UseServiceMessageHandler();

}  // namespace vnh
