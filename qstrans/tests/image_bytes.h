#pragma once
// Panel database files written byte by byte from their layout, for the
// transfer program's tests: a 128-byte header (end offset, 'S', the first
// record of each table) and records of a 14-byte header and data, chained
// per table in the order given.

#include "platform/base/little_endian.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ImageRecordSpec {
    int table = 8;
    std::uint16_t key = 0;
    std::string data;
};

struct ImageLayout {
    std::string bytes;
    std::vector<std::size_t> offsets;  // each record's header, in the order given
};

inline ImageLayout MakeImageLayout(const std::vector<ImageRecordSpec>& records)
{
    ImageLayout image;
    image.bytes.assign(128, '\0');
    image.bytes[8] = 'S';
    std::uint32_t last[16] = {};
    for (const ImageRecordSpec& r : records) {
        const auto at = static_cast<std::uint32_t>(image.bytes.size());
        std::uint8_t h[14] = {};
        h[0] = static_cast<std::uint8_t>(r.table);
        PutLe16(h + 1, r.key);
        PutLe32(h + 3, last[r.table]);
        PutLe16(h + 12, static_cast<std::uint16_t>(r.data.size()));
        image.bytes.append(reinterpret_cast<const char*>(h), sizeof h);
        image.bytes += r.data;
        auto* bytes = reinterpret_cast<std::uint8_t*>(image.bytes.data());
        if (last[r.table])
            PutLe32(bytes + last[r.table] + 7, at);
        else
            PutLe32(bytes + 32 + 4 * r.table, at);
        last[r.table] = at;
        image.offsets.push_back(at);
    }
    PutLe32(reinterpret_cast<std::uint8_t*>(image.bytes.data()), static_cast<std::uint32_t>(image.bytes.size()));
    return image;
}

inline std::string MakeImage(const std::vector<ImageRecordSpec>& records)
{
    return MakeImageLayout(records).bytes;
}

inline void PatchLe32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    PutLe32(reinterpret_cast<std::uint8_t*>(bytes.data()) + at, value);
}

inline void PatchLe16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    PutLe16(reinterpret_cast<std::uint8_t*>(bytes.data()) + at, value);
}

// Record 102 without its key copy (69 bytes): the version text at 26, the panel type at 68.
inline std::string ProjectInfoRecord(const std::string& version, int panelType)
{
    std::string r(69, '\0');
    std::memcpy(&r[0], "LINE1", 5);
    std::memcpy(&r[26], version.data(), std::min<std::size_t>(version.size(), 10));
    r[68] = static_cast<char>(panelType);
    return r;
}

// Record 122 without its key copy (72 bytes): per channel the protocol word and the port byte.
inline std::string ChannelTableRecord(std::uint16_t protocol1, std::uint8_t port1, std::uint16_t protocol2,
                                      std::uint8_t port2)
{
    std::string r(72, '\0');
    PatchLe16(r, 0, protocol1);
    r[2] = static_cast<char>(port1);
    std::memcpy(&r[3], "Serial", 6);
    PatchLe16(r, 36, protocol2);
    r[38] = static_cast<char>(port2);
    return r;
}

// Record 100 in its packed form (5 bytes): the protocol's low byte last.
inline std::string PortRecord(std::uint8_t protocol)
{
    return std::string{'\x08', '\x5C', '\x08', '\x5C', static_cast<char>(protocol)};
}
