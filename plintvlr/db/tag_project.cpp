#include "plintvlr/db/tag_project.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"

#include <algorithm>

namespace {

adatabase& Db()
{
    return _QSglobals.GetDatabase();
}

std::uint16_t Capacity(std::span<std::uint8_t> buffer)
{
    return static_cast<std::uint16_t>(std::min<std::size_t>(buffer.size(), 65535));
}

}  // namespace

int PutTagTableRecord(int table, std::uint32_t key, std::span<const std::uint8_t> data)
{
    // A record's length is 16 bits: a longer one would be stored cut short.
    if (data.size() > 65535)
        return DF_WRITE_ERROR;
    return Db().PutRecord(table, key, data.data(), static_cast<std::uint16_t>(data.size()));
}

int GetTagTableRecord(int table, std::uint32_t key, std::span<std::uint8_t> buffer, std::uint16_t& length)
{
    length = Capacity(buffer);
    return Db().GetRecord(table, key, buffer.data(), length);
}

int DeleteTagTableRecord(int table, std::uint32_t key)
{
    return Db().DeleteRecord(table, key);
}

bool OpenProjectHasSystemRecord(std::uint32_t key)
{
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    return Db().GetSystemRecordInfo(key, position, length) == DF_OK;
}

tagregistry* OpenTagRegistry(bool digital)
{
    if (digital)
        return Db().GetDigitalRegistry();
    return Db().GetAnalogRegistry();
}

int OpenPortProtocol(int port)
{
    int portCode = 0;
    return Db().GetPortProtocol(port, portCode);
}

int OpenPanelType()
{
    return Db().GetPanelType();
}

int OpenRegisterCount()
{
    return Quellstor(Db().GetPanelType()).GetInternalRegisterCount();
}

int OpenAnalogTagLimit()
{
    return Quellstor(Db().GetPanelType()).GetMaxAnalogTags();
}
