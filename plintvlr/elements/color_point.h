#pragma once
// The colour-by-tag attribute of every element: a background and one, two or
// four state colours (palette indexes), and the tag whose state picks the
// colour. Tag kinds: 0 analog, 2 digital, 3 a tag's status bit; 4 and above
// mean no tag (touch regions use 10, whose two-colour spec carries no
// reference).

#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/record_reader.h"

#include "platform/base/color.h"

#include <array>
#include <cstdint>

class ColorPoint {
public:
    static constexpr std::uint8_t kNoTagKind = 4;
    static constexpr std::uint8_t kTouchRegionKind = 10;

    ColorPoint() = default;
    explicit ColorPoint(std::uint8_t kind) : kind_(kind) {}
    virtual ~ColorPoint() = default;
    ColorPoint(const ColorPoint&) = default;
    ColorPoint& operator=(const ColorPoint&) = default;

    // Takes an analog or digital reference, only while there are two or more colours.
    virtual void SetTag(std::uint16_t tag);
    // The reference kind << 14 | number; 0 without a usable tag.
    std::uint16_t GetTag() const;
    // Kind and number from any reference, whatever the count.
    void SetTagReference(std::uint16_t tag);

    std::uint8_t GetKind() const { return kind_; }
    std::uint16_t GetNumber() const { return number_; }
    int GetBackground() const { return background_; }
    void SetBackground(int index);
    // 1, 2 or 4; any other count is taken as 1.
    int GetCount() const { return count_; }
    void SetCount(int count);
    int GetColorIndex(int state) const { return colors_[state & 3]; }
    void SetColorIndex(int state, int index);

    // The RGB colour of a state; outside the count white on colour panels
    // and black on monochrome ones.
    TColor GetColor(int state) const;
    // The palette index shown at an animation step (already modulo 21).
    int GetAnimatedIndex(bool blinkPhase, int step) const;

    // The colour spec of an element record: 2, 4 or 5 bytes (2 for two
    // colours without a tag).
    std::uint8_t* Pack(std::uint8_t* at) const;
    bool Unpack(RecordReader& in);
    // The compact form inside field records.
    std::uint8_t* PackCompact(std::uint8_t* at) const;
    bool UnpackCompact(RecordReader& in);

    // "Element colors: ..." or "Border colors: ...".
    void Describe(bool isElement, ReportLines& lines) const;

    bool operator==(const ColorPoint& other) const;

private:
    bool HasTag() const { return number_ != 0 && count_ >= 2 && kind_ < kNoTagKind; }
    std::uint16_t Reference() const { return static_cast<std::uint16_t>(kind_ << 14 | number_); }

    std::uint8_t kind_ = 0;
    std::uint16_t number_ = 1;
    std::uint8_t background_ = 0;
    std::uint8_t count_ = 1;
    std::array<std::uint8_t, 4> colors_{1, 1, 1, 1};
};
