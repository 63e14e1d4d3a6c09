#pragma once
// What the settings dialog does with the system variables, apart from the
// window: fill its copy of the settings from the variables, and after OK
// assign every field the user changed, in a fixed order, collect a message
// for each refusal and write the settings file. Runs under the library mutex
// (the messages are shown after it is released).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "varnht32/src/comm_info_form.h"

namespace vnh {

constexpr int kCardCount = 4;

struct CommInfoOutcome {
  bool refused = false;               // a change was not taken, or not written
  bool changed = false;               // some field differed
  std::vector<std::string> messages;  // "Configuration Error" texts, in order
};

// The dialog's copy, from the current values.
void FillCommInfoForm(VNHCommInfoForm& form);
// Assigns what differs between `before` and `after`, then writes the file
// when anything was changed.
CommInfoOutcome ApplyCommInfoForm(const VNHCommInfoForm& before, const VNHCommInfoForm& after);

// The own IP address (host order): that of "VARNHT32_UDP_ADDRESS" when set
// (as for the UDP channel), else the last address the host name resolves to;
// 0 when there is none.
std::uint32_t OwnIpAddress();
// Whether card n (1 to 4) can be opened; it is closed again at once. The
// device is the card channel's: "VARNHT32_CARD_DEVICE" (else "/dev/kelmnet")
// followed by the digit n.
bool CardPresent(int card);

// "a.b.c.d": four decimal numbers from 0 to 255.
bool ParseDottedQuad(std::string_view text, std::uint32_t* address);
std::string DottedQuad(std::uint32_t address);

}  // namespace vnh
