#include "plintvlr/db/tag_project.h"

// Until the project database is here, the tags see no open project.
int PutTagTableRecord(int, std::uint32_t, std::span<const std::uint8_t>) { return 3; }
int GetTagTableRecord(int, std::uint32_t, std::span<std::uint8_t>, std::uint16_t& length)
{
    length = 0;
    return 5;
}
int DeleteTagTableRecord(int, std::uint32_t) { return 5; }
int NextTagTableRecord(int, bool, std::span<std::uint8_t>, std::uint16_t& length, std::uint32_t&, std::uint32_t&)
{
    length = 0;
    return 5;
}
bool OpenProjectHasSystemRecord(std::uint32_t) { return false; }
tagregistry* OpenTagRegistry(bool) { return nullptr; }
int OpenPortProtocol(int) { return -1; }
int OpenPanelType() { return 14; }
int OpenRegisterCount() { return 1000; }
int OpenAnalogTagLimit() { return 500; }
