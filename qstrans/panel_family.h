#pragma once
// What the transfer program knows of each panel type (0 to 26): the
// extension of its protocol driver files and the three-letter code of its
// system software command files.

#include <cstdint>
#include <string>

constexpr int kPanelTypeCount = 27;

// The protocol file name for one port (`comm` 1 or 2) of a database: empty
// for kNoProtocol; else the protocol number ("%02d", "%03d" above 99), ".",
// and the extension of the panel type, in lower case. Types that take no
// protocol file of their own, and unknown types, give ".???". `atLeast33`:
// the database was built by version 3.3 or later, whose Comm 1 files on the
// panel types 9 and 14 are "p1e" rather than "pce".
std::string ProtocolFileName(int comm, std::uint16_t protocol, int panelType, bool atLeast33);

// The system software command file code of a panel type ("QSE" for 9):
// files are named "*<code>.cmd". Empty for the types that have none (0, 3,
// 6, 12) and for anything outside 0 to 26.
std::string CommandFilePrefix(int panelType);
