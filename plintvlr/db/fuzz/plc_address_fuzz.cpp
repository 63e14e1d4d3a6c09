// Address texts typed by the engineer or read from import files, against any
// descriptor. Input: a flag byte (1 case-sensitive, 2 a text address), a
// descriptor length byte, the descriptor, then the text.
#include "plintvlr/db/plc_address.h"
#include "plintvlr/db/prot_lib.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const bool caseSensitive = data[0] & 1;
    const bool textAddress = data[0] & 2;
    const std::size_t descriptorLength = std::min<std::size_t>(data[1], size - 2);
    std::string_view descriptor(reinterpret_cast<const char*>(data + 2), descriptorLength);
    std::string_view text(reinterpret_cast<const char*>(data + 2 + descriptorLength), size - 2 - descriptorLength);

    PlcAddressFormat format;
    format.descriptor = descriptor;
    format.caseSensitive = caseSensitive;
    format.textAddress = textAddress;

    // Exact-size heap buffers, so that a write past them is caught.
    auto address = std::make_unique<std::uint8_t[]>(kMaxPlcAddressBytes);
    std::span<std::uint8_t> out(address.get(), kMaxPlcAddressBytes);
    int n = ParsePlcAddress(format, text, out);
    if (n > static_cast<int>(kMaxPlcAddressBytes))
        std::abort();
    std::string shown = FormatPlcAddress(format, out);
    if (shown.size() > kMaxPlcAddressText)
        std::abort();
    if (n >= 0) {
        auto again = std::make_unique<std::uint8_t[]>(kMaxPlcAddressBytes);
        ParsePlcAddress(format, shown, std::span(again.get(), kMaxPlcAddressBytes));
    }

    // The same descriptor through the protocol library's field codec.
    const int protocol = textAddress ? kTextAddressProtocol : 7;
    std::string file = "PCL ->" + std::to_string(protocol) + ":Fuzz<-" + (caseSensitive ? " [CASE]" : "") + "\n";
    for (std::size_t i = 0; i < descriptor.size(); ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X%c", static_cast<unsigned char>(descriptor[i]), i % 16 == 15 ? '\n' : ' ');
        file += hex;
    }
    file += "\n0\n";
    ProtLib lib;
    lib.ReadText(file);
    auto area = std::make_unique<char[]>(44);
    std::vector<std::uint16_t> values;
    for (int field = 0; field < 32; ++field) {
        long maximum = 0;
        if (lib.GetFieldMaximum(protocol, field, maximum) == kNoField)
            break;
        lib.GetFieldText(protocol, field);
        values.push_back(static_cast<std::uint16_t>(lib.GetAddressField(protocol, field, out, std::span(area.get(), 44))));
    }
    std::vector<std::uint8_t> built;
    if (lib.BuildAddress(protocol, values, text, built) && built.size() > kMaxPlcAddressBytes)
        std::abort();
    return 0;
}
