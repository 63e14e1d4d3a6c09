// Blocks other programs put on the desktop's clipboard under our private types.
#include "platform/base/clipboard_envelope.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> block(data, size);
    const UINT format = size >= 8 ? data[4] | (data[5] << 8) : 520;
    if (const auto inner = UnwrapClipboardData(format, block)) {
        // What is accepted is exactly what wrapping it again gives.
        const ClipboardData again = WrapClipboardData(format, *inner);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data))
            std::abort();
    }
    return 0;
}
