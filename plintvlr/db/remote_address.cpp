#include "plintvlr/db/remote_address.h"

#include <algorithm>

void remote_address::SetData(const std::uint8_t* bytes, std::size_t n)
{
    n = std::min(n, kMaxTagAddressBytes);
    data_.assign(n + 1, 0);
    if (bytes && n > 0)
        std::copy(bytes, bytes + n, data_.begin());
    hasData_ = true;
}
