// Protocol information files as the start-up reader and the protocol library
// read them, followed by every query the program makes of what they read.
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/prot_lib.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int result = LoadPlcAddressTablesFromText(text);
    if (result < kPlcTablesLoaded || result > kPlcTablesBadProtocol)
        std::abort();
    if (PlcProtocolNameList().size() >= kPlcNameListBufferSize)
        std::abort();

    ProtLib lib;
    lib.ReadText(text);

    // Exact-size heap buffers, so that a write past them is caught.
    auto address = std::make_unique<std::uint8_t[]>(kMaxPlcAddressBytes);
    for (std::size_t i = 0; i < kMaxPlcAddressBytes; ++i)
        address[i] = static_cast<std::uint8_t>(i * 7 + 1);
    std::span<const std::uint8_t> bytes(address.get(), kMaxPlcAddressBytes);
    auto parsed = std::make_unique<std::uint8_t[]>(kMaxPlcAddressBytes);
    auto area = std::make_unique<char[]>(44);
    const std::array<std::uint16_t, 24> values = {1, 2, 3, 300, 5, 6, 7, 8, 9, 10, 11, 12,
                                                  13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 65535};

    for (int p = 0; p < kProtocolCount; ++p) {
        if (auto format = GetPlcAddressFormat(p)) {
            if (format->descriptor.size() > kMaxDescriptorBytes)
                std::abort();
            std::string shown = FormatPlcAddress(bytes, p);
            if (shown.size() > kMaxPlcAddressText)
                std::abort();
            int n = ParsePlcAddress(shown, std::span(parsed.get(), kMaxPlcAddressBytes), p);
            if (n > static_cast<int>(kMaxPlcAddressBytes))
                std::abort();
        }
        std::int32_t first = 0, second = 0;
        GetPlcRules(p, first, second);
        GetListItem(PlcProtocolNameList(), GetPlcNamePosition(p) + 1);

        std::string name;
        lib.GetProtocolName(p, name);
        lib.GetRules(p);
        for (int field = 0; field < 24; ++field) {
            long n = 0, limit = 0;
            int kind = lib.GetFieldMaximum(p, field, n);
            lib.GetLabel(p, field);
            lib.GetHighLimit(p, field, limit);
            lib.GetDefault(p, field);
            if (kind == kNoField)
                break;
            lib.GetFieldText(p, field);
            lib.GetAddressField(p, field, bytes, std::span(area.get(), 44));
        }
        std::vector<std::uint8_t> built;
        if (lib.BuildAddress(p, values, std::string_view(area.get(), 44), built) && built.size() > kMaxPlcAddressBytes)
            std::abort();
    }
    return 0;
}
