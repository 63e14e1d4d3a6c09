#pragma once
// The protocol library of an open project: everything the protocol
// information file says about protocols 0-199, read afresh when a project is
// opened, and the field codec through which the editors show one input box
// per address field. The project database owns one and replaces it at each
// opening.

#include "plintvlr/db/plc_address.h"
#include "plintvlr/db/protocol_info_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ProtLib {
public:
    // Rule and family flags of a protocol.
    static constexpr std::uint32_t kRuleCom1Mask = 1;  // answered with PC104
    static constexpr std::uint32_t kRuleNoCom2 = 2;
    static constexpr std::uint32_t kRulePc104 = 4;
    static constexpr std::uint32_t kFamilyQse = 8;
    static constexpr std::uint32_t kFamilyQsd = 16;
    static constexpr std::uint32_t kFamilyQsg = 32;
    static constexpr std::uint32_t kFamilyQsr = 64;
    static constexpr std::uint32_t kFamilyQsrp = 128;
    // Protocol 68 keeps a second text this far into a text area.
    static constexpr std::size_t kSecondTextOffset = 20;

    // Holds no protocols.
    ProtLib();
    // Reads the file at `path` (normally "QS_PLC.TEX" in the program folder).
    // A file that cannot be read leaves the library without protocols.
    explicit ProtLib(std::string_view path);
    virtual ~ProtLib();
    ProtLib(const ProtLib&) = delete;
    ProtLib& operator=(const ProtLib&) = delete;

    // Adds what a file says to the entries; false when it cannot be read or
    // is larger than the start-up reader accepts.
    bool ReadFile(std::string_view path);
    void ReadText(std::string_view contents);

    // Where GetProtocolName learns the family bit of the open project's panel
    // type (Quellstor::GetProtocolFamilyBit); without one the bit is 0.
    void SetFamilyBitSource(std::function<std::uint32_t()> source);

    // True and the name ("00: Simulation(default init)") when the protocol
    // exists and may be used by the open project's panel family.
    bool GetProtocolName(int protocol, std::string& name) const;
    bool GetCommSettings(int protocol, std::int32_t& baud, std::uint8_t& dataBits, std::uint8_t& stopBits,
                         char& parity) const;
    // The flags word; with PC104 the two low bits are set as well. 0 outside 0-199.
    std::uint32_t GetRules(int protocol) const;

    // Item `field` (from 0) of the label list; the last item needs no comma.
    std::string GetLabel(int protocol, int field) const;
    // Item `field` of the high-limit list, where every item ends with a comma;
    // false when it is missing or begins with "-".
    bool GetHighLimit(int protocol, int field, long& value) const;
    // Item `field` of the default list; 0 when missing or beginning with "-".
    long GetDefault(int protocol, int field) const;

    // The kind of address field `field` (PlcFieldKind), and in n: a choice
    // list's width, the largest number of the field's digits, or a free
    // text's most characters. kNoField with n = 0 when there is no such field.
    int GetFieldMaximum(int protocol, int field, long& n) const;
    // A choice-list field's choices joined without separator; else empty.
    std::string GetFieldText(int protocol, int field) const;
    // The value of field `field` read from the address bytes, or, for a free
    // text, 0 with its characters copied into the text area (NUL-ended, cut to
    // fit); -1 when the field lies beyond the bytes or does not exist.
    // Protocol 68 reads its address text; its extension goes into the text
    // area at kSecondTextOffset.
    int GetAddressField(int protocol, int field, std::span<const std::uint8_t> address,
                        std::span<char> textArea) const;
    // Builds address bytes from one value per field (missing values count 0)
    // and the text area (its first text for the free-text field; protocol 68
    // reads its name there and its extension at kSecondTextOffset). False,
    // with an empty address, when the protocol has no descriptor or the
    // address would exceed kMaxPlcAddressBytes.
    bool BuildAddress(int protocol, std::span<const std::uint16_t> values, std::string_view textArea,
                      std::vector<std::uint8_t>& address) const;

    // The names under which the editors call the two field-codec operations.
    bool FormatAddress(int protocol, std::span<const std::uint16_t> values, std::vector<std::uint8_t>& address,
                       std::string_view textArea) const
    {
        return BuildAddress(protocol, values, textArea, address);
    }
    int ParseAddress(int protocol, int field, std::span<const std::uint8_t> address, std::span<char> textArea) const
    {
        return GetAddressField(protocol, field, address, textArea);
    }

private:
    struct Entry {
        std::optional<std::string> name;
        bool caseSensitive = false;
        std::optional<PlcPortSettings> comm;
        std::uint32_t flags = 0;
        std::optional<std::string> descriptor;
        std::optional<std::string> labels;
        std::optional<std::string> highLimits;
        std::optional<std::string> defaults;
    };

    const Entry* Find(int protocol) const;
    const std::string* Descriptor(int protocol) const;
    // The element of field `field`, and the address bytes of the fields before it.
    bool FindField(int protocol, int field, PlcElement& element, std::size_t* offset) const;

    std::array<Entry, kProtocolCount> entries_;
    std::function<std::uint32_t()> familyBit_;
};
