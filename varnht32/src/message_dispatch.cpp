// The message layer's receiving end: every message a client is dispatched is
// decoded once, checked, and handed to the service that takes its function
// code. Registered with the message routing when the library is loaded.

#include "varnht32/src/message_dispatch.h"

#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/client_services.h"
#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/server_entity.h"
#include "varnht32/src/streams.h"
#include "varnht32/src/value_items.h"

namespace vnh {

namespace {

// Requests that a node sends to the server entity; none is taken from the
// broadcast element.
void HandleRequest(std::uint32_t element, const KelmnetMessage& m) {
  if (IsBroadcastElement(element)) return;
  switch (m.code) {
    case kCodeConnectRequest: HandleConnectRequest(element, m); break;
    case kCodeNameRequest: HandleNameRequest(element, m); break;
    case kCodeWriteRequest:
    case kCodeWriteUnanswered: HandleWriteRequest(element, m); break;
    case kCodeReadRequest: HandleReadRequest(element, m); break;
    case kCodeSubscribeRequest: HandleSubscribeRequest(element, m); break;
    case kCodeTovraMessage: HandleTovraMessage(element, m); break;
    default: break;
  }
}

void Dispatch(std::uint32_t element, const KelmnetMessage& m, std::int32_t decoded) {
  if (m.code == kCodeStream) {
    HandleStreamMessage(element, m, decoded);
    return;
  }
  if (decoded != 1) return;
  switch (m.code) {
    case kCodeIdentity: HandleIdentity(element, m); break;
    case kCodeNameAnswer: HandleNameAnswer(element, m); break;
    case kCodeVariableReport: HandleVariableReport(element, m); break;
    case kCodeReadAnswer: HandleReadAnswer(element, m); break;
    case kCodeStatusAnswer: HandleStatusAnswer(element, m); break;
    case kCodeNamedWrite: HandleNamedWrite(element, m); break;
    case kCodeTovraReply: HandleTovraReply(element, m); break;
    default: HandleRequest(element, m); break;
  }
}

void HandleKelmnetMessage(std::uint32_t buffer) {
  const MessageBuffer* b = Buffer(buffer);
  std::uint32_t element = b->element;
  if (SharedHeap().CheckHandle(element, kTypeNodeData) != 1) return;
  KelmnetMessage m;
  std::uint32_t length = b->length < kMessageMax ? b->length : kMessageMax;
  std::int32_t decoded = DecodeMessage(b->message, length, &m);
  Dispatch(element, m, decoded);
  // Whatever a handler or a callback took into a container goes back now.
  ReleaseAllItems(nullptr);
}

// The client that owns the first action in progress on the node's association.
std::uint32_t ActionOwner(std::uint32_t element) {
  std::uint32_t assoc = ElementAssociation(element);
  if (assoc == 0) return 0;
  std::uint32_t action = SharedHeap().First(AssociationOf(assoc)->in_progress);
  return action != 0 ? ActionOf(action)->owner : 0;
}

const MessageOwnerLookup kOwnerLookup = {StreamOwner, ActionOwner};

[[maybe_unused]] const bool g_registered =
    (SetMessageHandler(HandleKelmnetMessage), SetMessageOwnerLookup(&kOwnerLookup), true);

}  // namespace

void UseServiceMessageHandler() {
  SetMessageHandler(HandleKelmnetMessage);
  SetMessageOwnerLookup(&kOwnerLookup);
}

}  // namespace vnh
