#pragma once
// The message text pool: the texts of all message table entries, numbered
// from 1, stored together as system record 118 (the key copy 118, then every
// text with its NUL in number order). Message tables refer to a text by its
// offset in the packed texts; equal texts share one number.

#include "plintvlr/db/browseable.h"
#include "plintvlr/db/tag_registry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

inline constexpr std::uint32_t kTextPoolRecord = 118;
inline constexpr std::uint32_t kTextPoolCapacity = 2000;

class pile : public tagregistry {
public:
    explicit pile(std::uint32_t capacity = kTextPoolCapacity);

    // As the base; a new text's offset is recorded behind the previous one's.
    bool Add(std::string_view text, std::uint32_t& id) override;
    std::unique_ptr<browseable> CreateItem() override;
    // Record 118 of the open project; false when it is absent.
    bool Load() override;
    // Adds every NUL-ended text of a record 118 in order (a last text
    // without its NUL ends at the record's end).
    void LoadFromRecord(std::span<const std::uint8_t> record);

    // Where text n begins in the packed texts; for n = 0 the place of the
    // first text's NUL, an empty text.
    std::uint32_t GetOffset(std::uint32_t n) const;
    // The number of the text that begins at the offset; 0 when none does.
    std::uint32_t IndexOfOffset(std::uint32_t offset) const;

    // The bytes of record 118: the key copy and the texts in number order.
    std::vector<std::uint8_t> PackRecord() const;
    // Writes record 118 into the open project, also when the pool is empty;
    // the record code (3, nothing written, when it would pass 65535 bytes).
    int Store() const;

private:
    std::vector<std::uint32_t> offsets_;
};

// The pool's browse row: one column.
class pilestr : public browseable {
public:
    bool Read(std::int32_t) override { return true; }
    int GetColumnCount() const override { return 1; }
    int GetColumnTitle(std::string& title, int column) const override;
    int GetColumnText(std::string& text, int column) override;
    bool GetIdRange(std::int32_t& first, std::int32_t& last) override;
    bool Delete() override { return false; }
    void Cut() override {}
    void Copy() override {}
    bool Paste(std::int32_t) override { return false; }
    void Rename(std::string_view) override {}
};
