#pragma once
// The open project as the tag code reaches it: the records of its tag and
// system tables, its tag registries and the sizes of its panel model.

#include <cstdint>
#include <span>

class tagregistry;

// Record codes of the project database (0 done, 5 absent...); a record past
// 65535 bytes is not written (3).
int PutTagTableRecord(int table, std::uint32_t key, std::span<const std::uint8_t> data);
// Reads into the buffer; length receives the record's length.
int GetTagTableRecord(int table, std::uint32_t key, std::span<std::uint8_t> buffer, std::uint16_t& length);
int DeleteTagTableRecord(int table, std::uint32_t key);
bool OpenProjectHasSystemRecord(std::uint32_t key);

// The open project's analog or digital tag registry; null when there is none.
tagregistry* OpenTagRegistry(bool digital);
// The protocol of a port (channel) of the open project, -1 when none.
int OpenPortProtocol(int port);
// The open project's panel type, internal register count and analog tag limit.
int OpenPanelType();
int OpenRegisterCount();
int OpenAnalogTagLimit();
