#pragma once
// A tag reference with a mask of tag states 0-3, and the show/hide
// attribute built on it.
//
// Masks in page order hold state i in bit i (1 << i); the show/hide
// attribute keeps its mask in show/hide order, state i in bit 3 - i.
// A reference of a tag's status bit (top bits 11) reaches users split into
// the tag's plain reference and a data type 1-4 (0 is the tag's value).

#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/record_reader.h"

#include <cstdint>
#include <string>

// Reverses the four low bits (state i <-> state 3 - i); higher bits are dropped.
std::uint8_t ReverseStateBits(std::uint8_t mask);
// The states of a page-order mask in ascending order: "0, 2, 3".
std::string StatesText(std::uint8_t mask);

class TTagMask {
public:
    explicit TTagMask(std::uint16_t tag = 0, std::uint8_t mask = 0) : tag_(tag), mask_(mask) {}
    virtual ~TTagMask() = default;
    TTagMask(const TTagMask&) = default;
    TTagMask& operator=(const TTagMask&) = default;

    // The plain reference and data type joined into the stored reference.
    virtual void SetTag(std::uint16_t tag, int dataType);
    virtual void GetTag(std::uint16_t& tag, int& dataType) const;
    virtual void SetMask(std::uint8_t mask) { mask_ = mask; }
    virtual std::uint8_t GetMask() const { return mask_; }

    // The stored reference, as records hold it.
    std::uint16_t GetReference() const { return tag_; }
    void SetReference(std::uint16_t tag) { tag_ = tag; }

    bool operator==(const TTagMask&) const = default;

protected:
    std::uint16_t tag_;
    std::uint8_t mask_;
};

class DynamicData : public TTagMask {
public:
    DynamicData() = default;

    // Active when the reference's number is not 0.
    void SetTag(std::uint16_t tag, int dataType) override;
    // (0, 0) while inactive.
    void GetTag(std::uint16_t& tag, int& dataType) const override;
    // Masks in page order, stored in show/hide order.
    void SetMask(std::uint8_t mask) override;
    std::uint8_t GetMask() const override;

    bool IsActive() const { return active_; }
    // The stored reference when active, else 0.
    std::uint16_t GetActiveTag() const { return active_ ? tag_ : 0; }

    // The show/hide spec of an element record: 2, 4 or 5 bytes.
    std::uint8_t* PackShowHide(std::uint8_t* at) const;
    bool UnpackShowHide(RecordReader& in);
    // The compact form inside field records (the tag stands in a field of its own).
    std::uint8_t* PackCompact(std::uint8_t* at) const;
    bool UnpackCompact(RecordReader& in);

    void Describe(ReportLines& lines) const;

    bool operator==(const DynamicData&) const = default;

private:
    bool active_ = false;
};
