#pragma once
// The recipe operation of a push button, touch region or function key: it
// names a recipe group and asks the panel to load a set of values into the
// group's tags, to transfer the group, or both. With Load it carries one value
// per tag of the group; with Transfer a completion tag and the value sent to
// it afterwards.
//
// An operation names its group by number within the array it was given and
// looks the group up whenever it needs it. The array keeps its groups by
// value, so adding or removing a group moves the others; a group that has
// gone reads as none, and a number that a new group has taken names that
// group, as a stored page read again would.
//
// While it holds a use (the default), an operation counts once on its group's
// use count; the page editor drops the use while the element waits on its
// undo stack.

#include "plintvlr/tables/tag_value.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TIdCounter;
class TRecipeArray;
class TRecipeGroup;

// The name of a tag id, as the element framework's GetTagName gives it:
// false when the tag does not exist.
using TagNameLookup = std::function<bool(std::uint16_t tag, std::string& name)>;

class TRecipeOp {
public:
    // Flag bits.
    static constexpr std::uint32_t kLoad = 1;
    static constexpr std::uint32_t kTransfer = 2;
    // The stored code: the lead byte, then the sub-code that tells a recipe
    // operation from the key operations sharing the lead byte.
    static constexpr std::uint8_t kCodeLead = 28;
    static constexpr std::uint8_t kCodeLoad = 38;
    static constexpr std::uint8_t kCodeTransfer = 39;
    static constexpr std::uint8_t kCodeLoadTransfer = 40;
    // Payload bytes of the values at most: 100 texts of 32 characters and a NUL.
    static constexpr std::size_t kMaxPayloadBytes = 3300;
    static constexpr std::size_t kMaxCodeSize = 12 + kMaxPayloadBytes;

    // No flags, no values, no completion tag; takes a use of the group.
    explicit TRecipeOp(TRecipeArray& recipes, TRecipeGroup* group = nullptr);
    // Takes a use of the group when the copy holds one.
    TRecipeOp(const TRecipeOp& other);
    // Moves to the other's array, group, flags and values; the use this one
    // held is given back and the one the other's flag asks for is taken.
    TRecipeOp& operator=(const TRecipeOp& other);
    // Gives back the use it holds.
    ~TRecipeOp();

    std::uint32_t GetFlags() const { return flags_; }
    bool IsLoad() const { return (flags_ & kLoad) != 0; }
    bool IsTransfer() const { return (flags_ & kTransfer) != 0; }
    void SetLoad(bool on);
    void SetTransfer(bool on);

    // The group, looked up now; null when there is none or it has gone.
    TRecipeGroup* GetGroup() const;
    // 0 without a group.
    std::uint16_t GetGroupNumber() const;
    // Nothing when the group is the current one. Otherwise the use moves to
    // the new group and the values become one empty value per tag of it.
    void SetGroup(TRecipeGroup* group);
    TRecipeArray& GetRecipes() const { return *recipes_; }

    bool HoldsUse() const { return holdsUse_; }
    // Gives back or takes the use on a change of the flag.
    void SetHoldsUse(bool holds);

    // The values to load, in the order of the group's tags.
    std::vector<TTagValue>& Values() { return values_; }
    const std::vector<TTagValue>& Values() const { return values_; }
    bool HasUnsetValue() const;
    // Every value becomes empty; their number stays.
    void ClearValues();

    // 0 = none.
    std::uint16_t GetCompletionTag() const { return completionTag_; }
    void SetCompletionTag(std::uint16_t tag) { completionTag_ = tag; }
    const TTagValue& GetCompletionValue() const { return completionValue_; }
    void SetCompletionValue(const TTagValue& value) { completionValue_ = value; }

    // Appends the stored code: at most kMaxCodeSize bytes.
    void Encode(std::vector<std::uint8_t>& code) const;
    // Reads a code from the front of `code` against the project's groups:
    // the new operation, which takes no use (the stored pages' uses are
    // already counted), and in `used` the bytes it spans. Null when the code
    // is damaged: shorter than its fields, a payload count past the bytes
    // given, or a value whose payload or NUL lies past that count.
    static std::unique_ptr<TRecipeOp> Decode(std::span<const std::uint8_t> code, TRecipeArray& recipes,
                                             std::size_t& used);

    // Appends the description lines of the page report; nothing without a
    // group or without a flag.
    void PrintText(std::vector<std::string>& lines, const TagNameLookup& tagName) const;

    // Adds the group's number to the counter of the page's recipe uses.
    void CountRecipeUse(TIdCounter& counter) const;

    // The value type a tag's values have: a byte for a digital tag; for an
    // analog tag, by its data type in the open project (an unreadable record
    // counts as a new tag, an Unsigned Word); empty for an unknown data type.
    static std::uint32_t ValueTypeOfTag(std::uint16_t tag);

private:
    void TakeUse() const;
    void ReleaseUse() const;

    TRecipeArray* recipes_;
    std::uint16_t groupNumber_ = 0;
    std::uint32_t flags_ = 0;
    bool holdsUse_ = true;
    std::vector<TTagValue> values_;
    std::uint16_t completionTag_ = 0;
    TTagValue completionValue_;
};
