#include "platform/base/clipboard_envelope.h"

#include "platform/base/little_endian.h"

namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'L', 'V', 'C'};

}  // namespace

ClipboardData WrapClipboardData(UINT format, const ClipboardData& data)
{
    ClipboardData block(kMagic, kMagic + 4);
    AppendLe32(block, format);
    AppendLe32(block, static_cast<std::uint32_t>(data.size()));
    block.insert(block.end(), data.begin(), data.end());
    return block;
}

std::optional<ClipboardData> UnwrapClipboardData(UINT format, std::span<const std::uint8_t> block)
{
    if (block.size() < kClipboardEnvelopeHeader)
        return std::nullopt;
    if (!std::equal(kMagic, kMagic + 4, block.begin()))
        return std::nullopt;
    if (GetLe32(block.data() + 4) != format)
        return std::nullopt;
    const std::uint32_t length = GetLe32(block.data() + 8);
    if (length != block.size() - kClipboardEnvelopeHeader)
        return std::nullopt;
    return ClipboardData(block.begin() + kClipboardEnvelopeHeader, block.end());
}

std::string ClipboardMimeType(UINT format)
{
    return "application/x-plv-clipboard-" + std::to_string(format);
}
