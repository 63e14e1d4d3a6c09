#pragma once
// Message tables: for each trigger value of a PLC value, one message text.
// `menv` is one table, `entry` one message of it. A table is stored in
// project table 5 under its number as one compact field record whose record
// type is the table's data type (written without option flags):
//
//   byte field 1  u16 count x value size, u16 count, u16 count, u16 0, u16 0,
//                 u8 decimals, the name's characters (no NUL)
//   byte field 2  the values, value-size bytes each (the low bytes of the
//                 32-bit value, little-endian)
//   word field 3  per entry the offset of its text in the packed text pool
//                 (with no pool attached, the text number itself)
//   byte field 4  per entry its flag; a panel model without the large-memory
//                 flag stores 1 - flag
//   fields 5, 6   empty texts, which the encoding leaves out
//
// Copy and paste carry a whole table with its texts in clipboard format 520:
//
//   0                 u32  total size of the block, this word included
//   4                 the table record, in a region as long as the size
//                     estimate (93 + 7 x entries)
//   4 + estimate      the entries' texts in entry order, each NUL-ended
//   4 + estimate + n  2 bytes, not set
//
// The texts themselves are pooled (system record 118, `pile`); entries refer
// to them by number.

#include "platform/base/win_types.h"
#include "plintvlr/db/browseable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class pile;

// Data types of a message table's values (also its record type).
enum : std::int32_t {
    kMsgTypeNone = -1,
    kMsgTypeUnsignedWord = 1,
    kMsgTypeSignedWord = 2,
    kMsgTypeUnsignedDword = 3,
    kMsgTypeSignedDword = 4,
    kMsgTypeFloat = 5,
    kMsgTypeDigital = 127,
};

inline constexpr UINT kMessageTableClipboardFormat = 520;

// One message: a trigger value (a 32-bit integer, the bits of a 32-bit float
// or a byte), the number of its text in the pool (0 none) and a flag.
class entry {
public:
    entry() = default;
    explicit entry(std::int32_t flag) : flag_(flag) {}
    virtual ~entry() = default;
    entry(const entry&) = default;
    entry& operator=(const entry&) = default;

    virtual void SetByte(std::uint8_t value) { value_ = value; }
    virtual std::uint8_t GetByte() const { return static_cast<std::uint8_t>(value_); }
    virtual void SetSignedWord(std::int16_t value) { value_ = static_cast<std::uint32_t>(std::int32_t{value}); }
    virtual std::int16_t GetSignedWord() const { return static_cast<std::int16_t>(value_); }
    virtual void SetUnsignedWord(std::uint16_t value) { value_ = value; }
    virtual std::uint16_t GetUnsignedWord() const { return static_cast<std::uint16_t>(value_); }
    virtual void SetSignedDword(std::int32_t value) { value_ = static_cast<std::uint32_t>(value); }
    virtual std::int32_t GetSignedDword() const { return static_cast<std::int32_t>(value_); }
    virtual void SetUnsignedDword(std::uint32_t value) { value_ = value; }
    virtual std::uint32_t GetUnsignedDword() const { return value_; }
    virtual void SetFloat(float value);
    virtual float GetFloat() const;

    // The 32 bits as held.
    std::uint32_t GetBits() const { return value_; }
    void SetBits(std::uint32_t bits) { value_ = bits; }
    std::int32_t GetTextNumber() const { return textNumber_; }
    void SetTextNumber(std::int32_t number) { textNumber_ = number; }
    std::int32_t GetFlag() const { return flag_; }
    void SetFlag(std::int32_t flag) { flag_ = flag; }

    // Entries compare by their values.
    friend bool operator==(const entry& a, const entry& b) { return a.value_ == b.value_; }
    friend bool operator<(const entry& a, const entry& b) { return a.value_ < b.value_; }

private:
    std::uint32_t value_ = 0;
    std::int32_t textNumber_ = 0;
    std::int32_t flag_ = 0;
};

// Whether the open graphic page editor shows a colour panel: a new entry's
// flag. The page editor installs the answer; without it the answer is false.
using ColorPanelQuery = bool (*)();
void SetColorPanelQuery(ColorPanelQuery query);

class menv : public browseable {
public:
    static constexpr std::size_t kMaxName = 32;
    static constexpr int kColumnCount = 7;

    explicit menv(std::int32_t number = 0);
    // A table whose entries name their texts in the pool (not owned; may be
    // none, and then entries store their text numbers as they are).
    menv(pile* pool, std::int32_t number);
    ~menv() override = default;
    menv(const menv&) = default;
    menv& operator=(const menv&) = default;
    menv(menv&&) = default;
    menv& operator=(menv&&) = default;

    std::int32_t GetNumber() const { return number_; }
    void SetNumber(std::int32_t number) { number_ = number; }
    std::int32_t GetDataType() const { return dataType_; }
    void SetDataType(std::int32_t type) { dataType_ = type; }
    // At most 32 characters are kept.
    void SetName(std::string_view name);
    const std::string& GetName() const { return name_; }
    std::uint8_t GetDecimals() const { return decimals_; }
    void SetDecimals(std::uint8_t decimals) { decimals_ = decimals; }
    // Replaces the pool and returns the one before.
    pile* SetPile(pile* pool);
    pile* GetPile() const { return pool_; }

    // Bytes per value: 0 for no type, 2 for words, 4 for double words and
    // floats, 1 for any other type (digital).
    static int ValueSize(std::int32_t dataType);
    int GetValueSize() const { return ValueSize(dataType_); }
    // The size estimate of the record: 93 + 7 per entry.
    int GetRecordSize() const { return RecordSizeEstimate(GetEntryCount()); }
    static int RecordSizeEstimate(int entries) { return 93 + 7 * entries; }

    int GetEntryCount() const { return static_cast<int>(entries_.size() + blankCount_); }
    void ClearEntries()
    {
        entries_.clear();
        blankCount_ = 0;
    }
    // Appends an entry with value 0, text 0 and the default flag.
    void AddEntry();
    const entry* GetEntry(int i) const;

    // Values by the data type: set truncates towards zero (a float for type
    // 5); get gives the signed value for types 2 and 4, the unsigned one for
    // 1 and 3, the float for 5 and the signed byte for a digital table.
    // Nothing is done for no type or an entry that does not exist.
    void SetEntryValue(int i, long double value);
    long double GetEntryValue(int i) const;
    void SetEntryTextNumber(int i, std::int32_t number);
    std::int32_t GetEntryTextNumber(int i) const;
    void SetEntryFlag(int i, std::int32_t flag);
    std::int32_t GetEntryFlag(int i) const;

    // The table record; nothing when it cannot be encoded (no data type, or
    // more entries than a record holds). `largeMemory` is the panel model's
    // flag, which decides how flags are stored. With a pool the text
    // references are the texts' offsets in it.
    std::optional<std::vector<std::uint8_t>> EncodeRecord(bool largeMemory) const;
    // Reads a table record, replacing the entries, the type, decimals and
    // name; false (the table unchanged) for a record that is not a table.
    bool DecodeRecord(std::span<const std::uint8_t> record, bool largeMemory);
    // The name a table record holds, without reading its entries; nothing
    // for a record that is no table.
    static std::optional<std::string> RecordName(std::span<const std::uint8_t> record);

    // Format 520: the block for these texts (one per entry, in entry order)
    // without its two closing bytes, which the clipboard copy appends; its
    // size word counts them. Nothing when the record cannot be encoded.
    std::optional<std::vector<std::uint8_t>> MakeClipboardBlock(const std::vector<std::string>& texts,
                                                                bool largeMemory) const;
    // Reads a format-520 block from any program: the table goes into this
    // object and the texts, one per entry, into `texts`. False, with the
    // table unchanged, for a block whose sizes, record or texts do not hold
    // together.
    bool ReadClipboardBlock(std::span<const std::uint8_t> block, bool largeMemory, std::vector<std::string>& texts);

    // The table in the open project (table 5, keyed by the table number).
    // Read: false for -1, for a missing record and for a record that is no
    // table; otherwise the number becomes the table's.
    bool Read(std::int32_t number) override;
    // True when the record was written.
    bool Save();
    bool SaveAs(std::int32_t number);
    // Stores the record into an open keyed record file, replacing an older
    // record of the table number; true on success.
    bool WriteToFile(int handle) const;
    // Deletes the table's record.
    bool Delete() override;
    // Sets the name and saves.
    void Rename(std::string_view name) override;
    // Puts the table with its texts (from the project's record 118; "No
    // Message" for a text it lacks) on the clipboard in format 520, emptying
    // the clipboard first. Nothing when the project has no record 118.
    void Copy() override;
    void Cut() override;
    // Takes a format-520 table from the clipboard under the number (-1: the
    // table's own), adds its texts to the pool, stores the pool when a text
    // was new and saves the table. False when there is no such data, it does
    // not read, there is no pool or the pool is full.
    bool Paste(std::int32_t number) override;

    // Browse rows.
    int GetColumnCount() const override { return kColumnCount; }
    // The title and its length; 0 outside the columns.
    int GetColumnTitle(std::string& title, int column) const override;
    // A table spans one browse row per entry. Columns 0-2 and 5 (name,
    // decimals, data type, number of entries) set the row to 0; columns 3,
    // 4 and 6 (value, text with its line breaks marked, the text's length)
    // show the entry of that row and set the row to the rows still to come.
    // The text's length.
    int GetColumnText(std::string& text, int column, int& row) const;
    // The same for the first row.
    int GetColumnText(std::string& text, int column) override;
    // The registry knows which tables exist: (0, -1).
    bool GetIdRange(std::int32_t& first, std::int32_t& last) override;
    // The value of an entry as the browser shows it.
    std::string GetValueText(int i) const;
    static std::string DataTypeName(std::int32_t dataType);

private:
    // An entry to change: one of the blank entries becomes an entry of its
    // own, with those before it.
    entry* At(int i);
    const entry* At(int i) const;
    // Gives every blank entry its own entry.
    void SeparateBlankEntries();
    // The text of an entry as the pool holds it; empty without one.
    std::string EntryText(int i) const;

    std::int32_t number_ = 0;
    std::string name_;
    pile* pool_ = nullptr;
    std::int32_t dataType_ = kMsgTypeUnsignedWord;
    std::uint8_t decimals_ = 0;
    // The entries in order: those held on their own, then `blankCount_`
    // alike entries. A record may count tens of thousands of entries while
    // storing far fewer (its trailing zeros are cut, or it was damaged); the
    // entries it does not store read as one blank entry, so reading costs what
    // the record holds, not what it counts.
    std::vector<entry> entries_;
    std::size_t blankCount_ = 0;
    entry blank_;
};

// Every carriage return, with a line feed right after it, becomes "<cr>".
std::string MarkLineBreaks(std::string_view text);
// The same in place in a buffer of `size` bytes holding a NUL-ended text:
// the marked text is cut to size - 1 characters rather than passing the
// buffer. Its length.
std::size_t MarkLineBreaks(char* text, std::size_t size);
