#pragma once
// Compact field record: a record type and a sparse set of numbered fields.
//
// Typed form: the marker 0x1F, then the type in 6-bit groups (bit 6 on every
// byte but the last; bit 7 of the first type byte set when fields follow),
// then the field area. Raw form: the field area alone, at least one byte.
// Field area: slots numbered from 1 in groups of seven, each group a presence
// byte (bit (s - 1) mod 7 per present slot, bit 7 when another group follows)
// and the data of its present slots: a length in 7-bit groups (bit 7 on every
// byte but the last) and that many bytes; length 0 is a NUL-terminated string.
// Byte field k is slot 2k - 1, word field k (16-bit little-endian values) slot 2k.
//
// Writers give a buffer of at least 65535 bytes (records never pass that
// size). Readers should give the record's buffer length too: the reading
// cursor then never looks past it, whatever the bytes say.

#include <cstddef>
#include <cstdint>

// Result codes; FieldRecordErrorText gives their texts.
constexpr int FR_OK = 0;
constexpr int FR_BAD_CONTEXT = 1;      // writing on a dead cursor
constexpr int FR_BUFFER_FULL = 2;      // the record would pass 65535 bytes
constexpr int FR_BAD_SLOT = 3;         // slot 0, or not above the last one written or read
constexpr int FR_BAD_ADDITION = 4;     // a slot written twice (other than string to string)
constexpr int FR_UNSUPPORTED = 5;      // an unsupported begin flag
constexpr int FR_BAD_PARAMETER = 6;    // record type 0
constexpr int FR_NO_MORE_DATA = 7;     // no presence byte left, or the record runs past its buffer
constexpr int FR_ABSENT = 8;           // the field is absent
constexpr int FR_POINT_OVERFLOW = 9;
constexpr int FR_READ_ONLY = 10;       // writing on a reading cursor

// Cursor mode flags.
constexpr std::uint16_t FR_READING = 0x8000;
constexpr std::uint16_t FR_COPY = 0x4000;        // a copy made for skipping
constexpr std::uint16_t FR_KEEP_ZEROS = 16;      // write fields whole, zeros and all
constexpr std::uint16_t FR_COUNT_ONLY = 8;       // count the bytes, store nothing

// One record being read or written; owned by the caller. Positions are
// offsets from `start`; a cursor whose position is FR_NO_POSITION is dead.
constexpr std::size_t FR_NO_POSITION = static_cast<std::size_t>(-1);

struct FieldRecordCursor {
    std::uint16_t flags = 0;
    std::uint8_t* start = nullptr;
    std::size_t typeAt = FR_NO_POSITION;      // first type byte
    std::size_t at = FR_NO_POSITION;          // current position
    std::size_t end = 0;                      // end of the usable buffer
    std::uint16_t sum = 0;                    // of the bytes written
    std::size_t presenceAt = FR_NO_POSITION;  // current presence byte
    std::uint32_t slot = 0;                   // current slot
    // Writing: a string may be continued in its own slot only when it is also
    // the first field of its group (the stored form can tell nothing else).
    bool groupOpensWithString = false;
    bool slotIsString = false;
};

void FieldRecordInit(FieldRecordCursor& cursor, void* buffer, std::uint16_t flags);
// flags: 0, FR_KEEP_ZEROS, FR_COUNT_ONLY. A dead cursor and a code on failure.
int FieldRecordBeginWrite(FieldRecordCursor& cursor, void* buffer, std::uint16_t type, std::uint16_t flags);
int FieldRecordBeginRaw(FieldRecordCursor& cursor, void* buffer);
// length 0: data is a NUL-terminated string. Without FR_KEEP_ZEROS trailing
// zero bytes (words) are cut and an empty field is left out with code 0.
int FieldRecordPutBytes(FieldRecordCursor& cursor, int field, const void* data, std::uint16_t length);
int FieldRecordPutWords(FieldRecordCursor& cursor, int field, const std::uint16_t* words, std::uint16_t count);
// Writing: closes the record. Reading: steps over the remaining fields. Either
// way the position after the record, or null for a dead cursor; the cursor is
// cleared.
std::uint8_t* FieldRecordEnd(FieldRecordCursor& cursor);
std::uint8_t* FieldRecordFinish(FieldRecordCursor& cursor);

// The record's type; 0 when the first byte is not the marker (every field then
// reads as absent) or flags are nonzero (dead cursor). Without a length the
// reader trusts the buffer to hold 65535 bytes.
std::uint16_t FieldRecordBeginRead(FieldRecordCursor& cursor, const void* buffer, std::uint16_t flags);
std::uint16_t FieldRecordBeginRead(FieldRecordCursor& cursor, const void* buffer, std::size_t length,
                                   std::uint16_t flags);
void FieldRecordBeginReadRaw(FieldRecordCursor& cursor, const void* buffer);
void FieldRecordBeginReadRaw(FieldRecordCursor& cursor, const void* buffer, std::size_t length);
// Copies field k into the output, at most `size` bytes, and fills the rest of
// the output with zeros, so an absent field reads as zeros: 0, 3, 7 or 8.
// size 0 takes a string whole with its NUL (the caller vouches for the room).
int FieldRecordGetBytes(FieldRecordCursor& cursor, int field, void* output, std::uint16_t size);
int FieldRecordGetWords(FieldRecordCursor& cursor, int field, std::uint16_t* output, std::uint16_t count);

// The position after a typed or raw record; null when it runs past its buffer.
const std::uint8_t* FieldRecordSize(const void* buffer);
const std::uint8_t* FieldRecordSize(const void* buffer, std::size_t length);
const std::uint8_t* FieldRecordSizeRaw(const void* buffer);
const std::uint8_t* FieldRecordSizeRaw(const void* buffer, std::size_t length);

// Copies a live reading cursor for looking ahead: 0, or 1 with a cleared
// target when the source is not a live reading cursor or is the target.
int FieldRecordCopyCursor(FieldRecordCursor& target, const FieldRecordCursor& source);
// Steps a copied cursor over word field k; 1 and a cleared cursor unless the
// cursor is a live copy.
int FieldRecordSkipWords(FieldRecordCursor& cursor, int field, std::uint16_t count);

const char* FieldRecordErrorText(int code);

// Small byte routines of record writers.
// Copies n bytes; the destination's end.
std::uint8_t* CopyBytes(std::uint8_t* destination, const void* source, std::size_t n);
char* CopyBytes(char* destination, const void* source, std::size_t n);
// Copies the source up to its NUL but at most n + 1 characters, then a NUL, so
// the destination must hold n + 2 bytes; the position after that NUL. n = 0
// copies nothing and returns the destination.
char* CopyString(char* destination, const char* source, std::size_t n);
// Appends n bytes at the string's NUL without terminating it; the end of them.
char* AppendBytes(char* string, const void* bytes, std::size_t n);
// Pads with blanks to the width and sets the NUL at the width (a longer string
// is cut); the string must hold width + 1 bytes.
void PadToWidth(char* string, std::size_t width);
// Completes "12." to "12.00" and "12.5" to "12.50" when that fits in the size
// bytes, then fills the rest of them with NULs; never writes past the size.
void PadDecimals(char* text, std::size_t size);
