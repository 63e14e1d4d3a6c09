#pragma once
// The start-up tables of the protocol information file: filled once, before
// any window exists, and kept for the whole run. They hold per protocol the
// address descriptor, the case flag, the recommended port settings, the port
// rule pair and the name position, plus one comma-separated list of every
// protocol's item text ("5:First name,7:Second name") in file order.
// The static address codec (plc_address.h) works over them.

#include "plintvlr/db/plc_address.h"
#include "plintvlr/db/protocol_info_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Result codes of LoadPlcAddressTables; the program starts only on kPlcTablesLoaded.
enum PlcTablesResult : int {
    kPlcTablesLoaded = 1,
    kPlcTablesNoMemory = 2,    // the name list could not be had
    kPlcTablesMissing = 3,     // the file's status cannot be read
    kPlcTablesTooLarge = 4,    // more than 32768 bytes
    kPlcTablesTooSmall = 5,    // empty
    kPlcTablesCannotOpen = 6,
    kPlcTablesReadError = 7,   // the reading stopped before the end of the file
    kPlcTablesBadProtocol = 8, // a protocol line with "<-" but no number after "->"
};

// The name list is gathered in a buffer of this size with its NUL; items that
// no longer fit are left out, with every item after them.
inline constexpr std::size_t kPlcNameListBufferSize = 6144;

// Reads the protocol information file (by default "QS_PLC.TEX" in the working
// directory) into the tables; every earlier content of the tables is dropped.
int LoadPlcAddressTables(std::string_view path = kProtocolInfoFileName);
// The same over contents already in memory (results 1, 2, 4, 5 and 8).
int LoadPlcAddressTablesFromText(std::string_view contents);

// Stores gathered descriptor bytes as a protocol's own copy (0-199; other
// numbers are stored nowhere) and records the descriptor count as its name
// position. Bytes that begin with "0" followed by anything but "x" or "X"
// leave the protocol without a descriptor; bytes after a NUL are not kept.
void StorePlcAddressFormat(int protocol, std::string_view gathered, int descriptorCount);

// The protocol's descriptor and case flag, or nothing when it has no descriptor.
std::optional<PlcAddressFormat> GetPlcAddressFormat(int protocol);

// The recommended port settings: true when the protocol is 0-199 and has a
// baud rate other than 0.
bool GetPlcCommSettings(int protocol, std::int32_t& baud, std::uint8_t& dataBits, std::uint8_t& stopBits,
                        char& parity);
// The port rule pair: (65535, 0) until set, (4, 4) for "PC104", (-3, 0) for
// "NOCOM2"; (65535, 0) outside 0-199.
void GetPlcRules(int protocol, std::int32_t& first, std::int32_t& second);

// The comma-separated list of protocol items, and a protocol's name position
// in it (0-based; -1 until its descriptor is stored). The item of a protocol
// is GetListItem(PlcProtocolNameList(), GetPlcNamePosition(p) + 1).
const std::string& PlcProtocolNameList();
int GetPlcNamePosition(int protocol);

// The 1-based position of the first item of a comma-separated list that
// equals the name exactly; 0 when the list is empty or holds no such item.
int FindListItem(std::string_view name, std::string_view list);
// Item n (1-based) of a comma-separated list; empty when there are fewer
// items or n is below 1.
std::string GetListItem(std::string_view list, int n);
