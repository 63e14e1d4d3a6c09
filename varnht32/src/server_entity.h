#pragma once
// The server entity: every PC that runs the library is a Kelmnet node whose
// server client answers the requests of remote nodes through its variable
// callbacks, publishes variable reports to subscribers and carries the node's
// identity. Runs under the library mutex, on the server client's thread for
// the requests it is sent.

#include <cstdint>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/kelmnet_messages.h"

namespace vnh {

constexpr std::uint32_t kFirstServerAddress = 6144;
// A sender could otherwise fill the heap with names: every distinct name asked
// for becomes a variable that lives until the module restarts.
constexpr std::uint32_t kMaxServerVariables = 4096;

void SetUpServerEntity();

void HandleConnectRequest(std::uint32_t element, const KelmnetMessage& m);
void HandleNameRequest(std::uint32_t element, const KelmnetMessage& m);
void HandleReadRequest(std::uint32_t element, const KelmnetMessage& m);
void HandleWriteRequest(std::uint32_t element, const KelmnetMessage& m);
void HandleSubscribeRequest(std::uint32_t element, const KelmnetMessage& m);
void HandleTovraMessage(std::uint32_t element, const KelmnetMessage& m);
void HandleNamedWrite(std::uint32_t element, const KelmnetMessage& m);

// VNHDefineVarGlobalReport / VNHSendVarReport for the server client.
std::int32_t DefineGlobalReport(const VNHIdentifier* name);
std::int32_t SendVarReport(const VNHIdentifier* name);
// Event dispatch of the report trigger: every due report goes to its subscribers.
void DispatchReportTrigger();
bool IsReportTrigger(std::uint32_t object);

// VNHModuleRestart: every server variable goes; true when there were any.
bool DropServerVariables();

// VNHSendTovraTransparentReply after the reply handle was checked.
std::int32_t SendTovraReply(std::uint32_t element, const VNHTovraData* message);

}  // namespace vnh
