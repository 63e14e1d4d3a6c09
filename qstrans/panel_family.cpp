#include "qstrans/panel_family.h"

#include "qstrans/panel_file.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace {

// One code per hardware family; the families split where their protocol
// files do (15 to 18 against 19 to 24, the second revisions 25 and 26).
constexpr std::array<const char*, kPanelTypeCount> kCommandFilePrefixes = {
    "",    "QSK", "QSK", "",    "QSK", "QSW", "",    "QSH", "QSW", "QSE",  //  0- 9
    "QSW", "QSD", "",    "QSW", "QSE", "QSG", "QSG", "QSG", "QSG", "QSL",  // 10-19
    "QSL", "QSL", "QSL", "QSL", "QSL", "QSR", "QSR",                       // 20-26
};

constexpr std::array<const char*, kPanelTypeCount> kModelNames = {
    "Unknown", "QSK",    "D+",     "QSRTC", "QSSWAV", "QSSWBV",          "Old F",   "QSH",       "QSUXYA",
    "QSRTB",   "QSUXYC", "QSRTA",  "Custom Keypad",   "QSUXYA Expanded", "QSSWAQ",  "QSMA",      "QSKA",
    "QSMB",    "QSKB",   "QSLA",   "QSNA",  "QSPA",   "QSLB",            "QSNB",    "QSPB",      "QSRTBRev2",
    "QSSWAQRev2",
};

bool InRange(int panelType, int first, int last)
{
    return panelType >= first && panelType <= last;
}

const char* ProtocolExtension(int comm, int panelType, bool atLeast33)
{
    switch (panelType) {
    case 9:
    case 14:
        return comm == 1 ? (atLeast33 ? "p1e" : "pce") : "p2e";
    case 25:
    case 26:
        return comm == 1 ? "p1e" : "p2e";
    case 11:
        return "pcd";
    case 15: case 16: case 17: case 18:
        return "pcg";
    case 19: case 20: case 21: case 22: case 23: case 24:
        return "pcr";
    default:
        return "???";
    }
}

}  // namespace

std::string ProtocolFileName(int comm, std::uint16_t protocol, int panelType, bool atLeast33)
{
    if (protocol == CPanelFile::kNoProtocol || protocol == 0xFFFF)
        return {};
    char number[16];
    std::snprintf(number, sizeof number, protocol > 99 ? "%03u" : "%02u", static_cast<unsigned>(protocol));
    std::string name = std::string(number) + "." + ProtocolExtension(comm, panelType, atLeast33);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string CommandFilePrefix(int panelType)
{
    if (panelType < 0 || panelType >= kPanelTypeCount)
        return {};
    return kCommandFilePrefixes[static_cast<std::size_t>(panelType)];
}

const char* PanelModelName(int panelType)
{
    if (panelType < 0 || panelType >= kPanelTypeCount)
        return kModelNames[0];
    return kModelNames[static_cast<std::size_t>(panelType)];
}

CProtocolExtensions ProtocolExtensions(int panelType)
{
    switch (panelType) {
    case 1: case 2: case 4:
        return {"PCK", "PCK", ""};
    case 5: case 8: case 10: case 13:
        return {"EXE", "EXE", "EXE"};
    case 7:
        return {"P1H", "PCH", "P2H"};
    case 9: case 14:
        return {"P1E", "PCE", "P2E"};
    case 11:
        return {"PCD", "PCD", ""};
    case 25: case 26:
        return {"P1E", "P1E", "P2E"};
    default:
        if (InRange(panelType, 15, 18))
            return {"PCG", "PCG", ""};
        if (InRange(panelType, 19, 24))
            return {"PCR", "PCR", ""};
        return {"", "", ""};
    }
}

bool HasLargeUpload(int panelType)
{
    switch (panelType) {
    case 5: case 6: case 8: case 10: case 12: case 13: case 14: case 15: case 16: case 17: case 18: case 26:
        return true;
    default:
        return false;
    }
}

bool HasSmallFrames(int panelType)
{
    return InRange(panelType, 15, 18);
}

bool AnswersEndFrame(int panelType)
{
    return InRange(panelType, 19, 24);
}
