#pragma once
// Compiling a project into the panel database file, and turning such a file
// back into a project's tables.
//
// On the way in most records lose the two bytes at their front that repeat
// the key; communications blocks are packed on most panel types, the port
// settings (system record 100) are packed into five bytes and the passwords
// (system record 103) go into the file's header. On the way out each
// transform is undone as far as the file allows: the five option bytes of a
// packed communications block come back as their defaults, and record 103 is
// rebuilt from the six-byte password slots.
//
// The builder gives a complete file or none: any table it cannot read to its
// end, and any record it cannot write, fails the build and removes the file.
// The extractor checks the whole file before it changes anything in the
// project folder, so a damaged file leaves the folder as it was.

#include "plintvlr/db/image_file.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Results of the builder and the extractor, besides 0 and the keyed record
// file's codes (4 a table that exists could not be opened or read, 6 a record
// failed its check, 7 a record too large for the file...).
constexpr int kImageFileError = 12;    // the file, or a table file, could not be created or written
constexpr int kImageSourceError = 13;  // the file to extract could not be opened, or has no header
constexpr int kImageTooOld = 14;       // the file was written by a program version below 3.0.0
constexpr int kImageDamaged = 15;      // a record too short or long for its table, or a chain that loops or leaves the file

// Files older than this program version number are not extracted.
constexpr int kOldestImageVersion = 300;
// The most data bytes of one record, either way.
constexpr std::uint16_t kImageRecordLimit = 40000;

constexpr std::size_t kCommsBlockHead = 14;       // the fixed part of a project comms block
constexpr std::size_t kCommsBlockMaxLength = 50;  // with a 36-byte remote address
constexpr std::size_t kPackedCommsBlockHead = 7;
constexpr std::size_t kPackedCommsBlockMaxLength = kCommsBlockMaxLength - 7;
constexpr std::size_t kPortRecordLength = 12;
constexpr std::size_t kPackedPortRecordLength = 5;
constexpr std::size_t kPasswordRecordLength = 42;

using CommsBlockBytes = std::array<std::uint8_t, kCommsBlockMaxLength>;
using PackedCommsBlockBytes = std::array<std::uint8_t, kPackedCommsBlockMaxLength>;
using PortRecordBytes = std::array<std::uint8_t, kPortRecordLength>;
using PackedPortRecordBytes = std::array<std::uint8_t, kPackedPortRecordLength>;

// True for the panel types that keep communications blocks whole (5, 8, 10, 13).
bool KeepsWholeCommsBlocks(int panelType);

// Builder. limits: entry t - 1 is the highest key of table t that is
// compiled; 0, or no entry, means no limit. 0 when the whole file was written;
// kImageFileError; the keyed record file's code of a project table that
// exists but could not be opened or read to its end; kImageDamaged for a
// record too short or too long for its table.
int BuildDownloadImage(std::string_view fileName, std::string_view projectFolder, int panelType,
                       std::span<const std::uint32_t> limits);
// Appends one project record in its table's form to the file being written;
// tables without a form add nothing. 0, 3 (a write failed) or kImageDamaged.
int AddImageRecord(int table, const std::uint8_t* data, std::uint32_t key, std::uint16_t length, int panelType);

// Extractor: writes the tables of the project folder from the file; with
// remove, table files that the file has no records for are deleted. 0 when
// every table came back; kImageSourceError, kImageTooOld or kImageDamaged
// with the folder untouched; else the first code that a table ended with
// (kImageFileError when a table file could not be opened after creating it).
int ExtractDownloadImage(std::string_view projectFolder, std::string_view fileName, bool remove);
// Writes one record of the file into its project table (a keyed record file
// handle): the keyed record file's code, kImageDamaged for a record too short
// or long for its table, or 0 when the table keeps no such record.
int RestoreImageRecord(int handle, int table, const std::uint8_t* data, std::uint16_t key, std::uint16_t length,
                       int panelType);
// Rebuilds system records 100 (from the file's packed form, when it has one)
// and 103 (from the header's password slots): 0 or the first failing code.
int RestorePortAndPasswordRecords(int handle);

// The record transforms. Each gives the new length, or 0 when the input is
// too short or too long for its form.
// A project comms block (14 to 50 bytes) without its number and option bytes.
std::size_t PackCommsBlock(std::span<const std::uint8_t> record, PackedCommsBlockBytes& out);
// The project comms block of a packed one (7 to 43 bytes), the option bytes
// at their defaults.
std::size_t RestoreCommsBlock(std::uint16_t key, CommsBlockBytes& out, std::span<const std::uint8_t> packed);
// Sets the option bytes of a whole comms block (at least 14 bytes) to their
// defaults, in place.
std::size_t RestoreExpandedCommsBlock(std::span<std::uint8_t> record);
// System record 100 (12 bytes) as five bytes: the two ports' baud codes and
// their other three codes packed into a byte each, and the protocol's low byte.
std::size_t PackPortRecord(std::span<const std::uint8_t> record, PackedPortRecordBytes& out);
std::size_t UnpackPortRecord(std::uint16_t key, PortRecordBytes& out, std::span<const std::uint8_t> packed);
// Puts the first six bytes of each password of record 103 (42 bytes) into
// the header's slots; false when the record is too short.
bool StorePasswordSlots(std::span<const std::uint8_t> record);
