#include "plintvlr/comms/option_flags.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/qs_globals.h"

#include <cstring>

void InitOptionFlagsRecord(OptionFlagsRecord& record)
{
    std::memset(record, 0, sizeof record);
    PutLe16(record, kRecOptionFlags);
    record[2] = 0x83;
}

void SetOptionFlag(OptionFlagsRecord& record, std::uint8_t bits, bool on)
{
    record[2] = static_cast<std::uint8_t>(on ? record[2] | bits : record[2] & ~bits);
}

bool TestOptionFlag(const OptionFlagsRecord& record, std::uint8_t bits)
{
    return (record[2] & bits) != 0;
}

void SetOptionFlagDefaults(OptionFlagsRecord& record)
{
    const int type = _QSglobals.GetDatabase().GetPanelType();
    if (type == 9 || type == 11 || type == 14)
        record[2] = 0xFC;
    if (type == 14)
        record[2] |= kOptionIgnoreFunctionKeys;
}

int WriteOptionFlagsRecord(const OptionFlagsRecord& record)
{
    return _QSglobals.GetDatabase().PutSystemRecord(GetLe16(record), record, kOptionFlagsLength);
}

int ReadOptionFlagsRecord(OptionFlagsRecord& record)
{
    std::uint16_t length = kOptionFlagsLength;
    return _QSglobals.GetDatabase().GetSystemRecord(GetLe16(record), record, length);
}

void RegisterCommsCoreServices()
{
    GetProjectHooks().writeDefaultOptionFlags = [] {
        OptionFlagsRecord record;
        InitOptionFlagsRecord(record);
        WriteOptionFlagsRecord(record);
    };
}
