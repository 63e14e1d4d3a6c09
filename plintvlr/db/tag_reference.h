#pragma once
// Tag references and address texts. Elements, attributes, operations and
// tables store a tag as one 16-bit reference: top bits 00 an analog tag by
// number (0 no tag), 10 a digital tag by number, 11 bit 1-4 of a tag's
// register, counted as a place in the panel's bit area; the low 14 bits are
// the number or the place. The bit area begins behind the panel's B general
// internal registers; each tag owns four places, the L analog tags first and
// the digital tags behind them.
//
// The functions without "For" take the open project's registries and its
// panel model's B (internal register count) and L (analog tag limit).

#include "plintvlr/db/tag_base.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::uint16_t kTagRefDigital = 0x8000;
inline constexpr std::uint16_t kTagRefBit = 0xC000;
inline constexpr std::uint16_t kTagRefNumberMask = 0x3FFF;

// Register-name formats of ParseRegisterName: the letter, then the pattern.
inline constexpr std::string_view kAnalogRegisterFormat = "R%4d%n";
inline constexpr std::string_view kDigitalRegisterFormat = "B%4d%n";

// Ids in the open project's registries; 0 when absent.
std::uint32_t FindAnalogTagId(std::string_view name);
std::uint32_t FindDigitalTagId(std::string_view name);
// 0 for an empty or unknown name; analog names win over digital ones.
std::uint16_t TagNameToRef(std::string_view name);

// Bit 0 gives the plain reference; bits 1-4 the reference of that bit of
// the tag's register. 0 for a bit outside 0-4.
std::uint16_t EncodeTagRefFor(int index, int bit, bool digital, int registerCount, int analogLimit);
std::uint16_t EncodeTagRef(int index, int bit, bool digital);
// The tag index of a reference with its bit (0 for a plain reference) and kind.
int DecodeTagRefFor(std::uint16_t reference, int registerCount, int analogLimit, int& bit, bool& digital);
int DecodeTagRef(std::uint16_t reference, int& bit, bool& digital);

// A bit reference becomes its tag's plain reference and the bit; any other
// reference stays and gets bit 0.
void SplitTagRefBitFor(std::uint16_t& reference, int& bit, int registerCount, int analogLimit);
void SplitTagRefBit(std::uint16_t& reference, int& bit);
// For a bit above 0 a plain reference becomes the reference of that bit of
// the same tag; bit 0, no tag and bit references stay as they are.
void JoinTagRefBitFor(std::uint16_t& reference, int bit, int registerCount, int analogLimit);
void JoinTagRefBit(std::uint16_t& reference, int bit);

// False for a digital reference whose tag has no second input (or does not
// exist): the tag then has two states, not four.
bool TagRefHasSecondInput(std::uint16_t reference);
// True when the open project holds system record 122, the channel protocol
// table: tags then carry a channel per address.
bool HasPortTable();

// Address kinds of the texts typed or imported for a tag's address.
// "R0012" (format "R%4d%n", either case of the letter): exactly five
// characters, the four behind the letter a number; the bytes are its low 16
// bits, little endian, and two zero bytes.
bool ParseRegisterName(std::string_view text, std::span<std::uint8_t, 4> bytes, std::string_view format);
// "CBLOCK0005": exactly ten characters, the word in upper case.
bool ParseCommsBlockName(std::string_view text, std::span<std::uint8_t, 4> bytes);
// Classifies and converts one address text: a register name or a
// communications block name (both only on graphic panels), else a PLC address
// of the protocol (none when it is -1). True unless the kind is
// kAddressInvalid, which empties the first byte and sets length 0. The bytes
// need room for kMaxPlcAddressBytes.
bool ParseTagAddressFor(std::string_view text, std::span<std::uint8_t> bytes, int& length, int& kind,
                        std::string_view format, int protocol, bool textPanel);
bool ParseTagAddress(std::string_view text, std::span<std::uint8_t> bytes, int& length, int& kind,
                     std::string_view format, int protocol);

// The browser text of address i of a tag: a protocol address as the
// protocol's text, a register as the letter and four digits ("R0012"), a
// communications block as "CBLOCK0005"; empty when there is no address.
std::string FormatTagAddressFor(const tagbase& tag, int i, char registerLetter, int protocol);
// The same with the protocol of the address's channel in the open project.
std::string FormatTagAddress(const tagbase& tag, int i, char registerLetter);
