#pragma once
// What the transfer program knows of each panel type (0 to 26): its model
// name, the extensions of its protocol driver files, the three-letter code
// of its system software command files, and how its serial line differs.

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

// The model name of a panel type, as messages show it; "Unknown" for 0 and
// for anything outside 0 to 26.
const char* PanelModelName(int panelType);

// The protocol file extensions (upper case) a panel type takes on Comm 1
// (either of two) and requires on Comm 2; empty where it takes none.
struct CProtocolExtensions {
    const char* comm1First;
    const char* comm1Second;
    const char* comm2;
};
CProtocolExtensions ProtocolExtensions(int panelType);

// The serial line's differences by panel type (none outside 0 to 26): the
// size reply of an upload carries a third size byte; downloads go in frames
// of 128 bytes with a short first frame of protocol and system software;
// the end frame of a download is answered.
bool HasLargeUpload(int panelType);
bool HasSmallFrames(int panelType);
bool AnswersEndFrame(int panelType);
