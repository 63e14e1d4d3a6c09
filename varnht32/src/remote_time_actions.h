#pragma once
// Remote time setting as the protocol carries it: actions of kinds 4 and 5
// send the PC's date as the named write "XTIME" and then the correction
// "XTERR"; the named writes that arrive set this PC's clock. Runs under the
// library mutex.

#include <cstdint>
#include <string_view>

namespace vnh {

// Kind 4: the trigger on a card channel, then "XTIME"; kind 5: "XTERR". Both
// are done once their write is sent.
std::int32_t StartSetRemoteTime(std::uint32_t association, std::uint32_t action, bool* finished);
// A named write (function code 18): taken by the library alone, never answered.
void ReceiveNamedWrite(std::uint8_t type_byte, std::string_view name, const std::uint8_t* value,
                       std::uint32_t length);

}  // namespace vnh
