#pragma once
// Counted strings at the interface: identifier records, channel names and the
// identity name.

#include <cstdint>
#include <string_view>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/shared_state.h"

namespace vnh {

// The characters of a record; a length above 32 reads as 32, a null record as empty.
std::string_view IdentifierText(const VNHIdentifier* record);
void SetIdentifierText(VNHIdentifier* record, std::string_view text);

// A remote name: five characters not starting with '%' (kind 1), or "%X" with
// one to five octal digits or "%R" with one to five decimal digits (kind 0).
bool IsLegalIdentifier(std::string_view text, std::uint32_t* kind);

// The channel number of a channel name: decimal text with blanks around it.
// False for anything else (the caller's -30).
bool ParseChannelName(std::string_view text, std::uint32_t* number);
// The open channel of that name: its record, or 0 with status -30 (illegal
// name) or -2 (no such channel).
std::uint32_t FindChannel(const VNHIdentifier* name, std::int32_t* status);

// Sets an identity name from 1 to 5 characters, padded with blanks.
bool SetIdentityName(Identity& identity, std::string_view name);

}  // namespace vnh
