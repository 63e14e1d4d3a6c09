#pragma once
// What the settings dialog does with the system variables, apart from the
// window: fill its copy of the settings from the variables, and after OK
// assign every field the user changed, in a fixed order, collect a message
// for each refusal and write the settings file. Runs under the library mutex
// (the messages are shown after it is released).

#include <cstdint>
#include <string>
#include <vector>

#include "varnht32/src/comm_info_form.h"

namespace vnh {

struct CommInfoOutcome {
  bool refused = false;               // a change was not taken, or not written
  bool changed = false;               // some field differed
  std::vector<std::string> messages;  // "Configuration Error" texts, in order
};

// The dialog's copy, from the current values; `own_address` is the own IP
// address (host order), 0 when there is none.
void FillCommInfoForm(VNHCommInfoForm& form, std::uint32_t own_address);
// Assigns what differs between `before` and `after`, then writes the file
// when anything was changed.
CommInfoOutcome ApplyCommInfoForm(const VNHCommInfoForm& before, const VNHCommInfoForm& after);

}  // namespace vnh
