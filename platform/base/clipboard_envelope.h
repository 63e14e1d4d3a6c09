#pragma once
// How a numbered clipboard format travels on the desktop's clipboard: under
// its own private type, in an envelope that names the format and the length
// of the data, so that a block another program put there under that type is
// checked before any of it is used.
//
// Layout (little-endian): bytes 0-3 "PLVC", 4-7 the format number, 8-11 the
// data length N, then the N data bytes; nothing after them.

#include "platform/base/clipboard.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

inline constexpr std::size_t kClipboardEnvelopeHeader = 12;

ClipboardData WrapClipboardData(UINT format, const ClipboardData& data);
// The data of a well-formed envelope for `format`; nothing for any other block.
std::optional<ClipboardData> UnwrapClipboardData(UINT format, std::span<const std::uint8_t> block);
// The desktop's type name of a numbered format.
std::string ClipboardMimeType(UINT format);
