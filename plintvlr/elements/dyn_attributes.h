#pragma once
// The four dynamic attributes of every element: movement by X and Y tags,
// turning round a centre by a tag, a fill level by a tag, and blinking
// (always, or while a tag is in chosen states). Each writes its part of the
// common record body (PackDynamics in size_rect.h calls them in the order
// position, blink, rotation, fill, setting their bits in the flags byte),
// previews itself in the editor's animation and writes its report lines.
//
// Points are in panel pixels, y up from the bottom of the screen;
// rectangles in page units.

#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/record_reader.h"
#include "plintvlr/elements/tag_mask.h"

#include "platform/base/geometry.h"

#include <cstdint>

class ColorPoint;

// Flag bits of the dynamics in an element record's flags byte.
inline constexpr std::uint8_t kDynPositionY = 0x01;
inline constexpr std::uint8_t kDynPositionX = 0x02;
inline constexpr std::uint8_t kDynBlinkAlways = 0x04;
inline constexpr std::uint8_t kDynBlinkByTag = 0x08;
inline constexpr std::uint8_t kDynRotation = 0x40;
inline constexpr std::uint8_t kDynFill = 0x80;

// Steps of one animation cycle: the canvas ticks wrap at 21.
inline constexpr int kAnimationCycle = 21;

// Tags and a point, as the position and rotation pages edit them.
class TTagsPoint {
public:
    virtual ~TTagsPoint() = default;
    virtual std::uint16_t GetFirstTag() const = 0;
    virtual void SetFirstTag(std::uint16_t tag) = 0;
    virtual std::uint16_t GetSecondTag() const = 0;
    virtual void SetSecondTag(std::uint16_t tag) = 0;
    virtual TPoint GetPoint() const = 0;
    virtual void SetPoint(const TPoint& point) = 0;
};

class TDynPosition : public TTagsPoint {
public:
    TDynPosition(std::uint16_t xTag = 0, std::uint16_t yTag = 0, const TPoint& offset = {})
        : xTag_(xTag), yTag_(yTag), xOffset_(offset.x), yOffset_(offset.y)
    {
    }

    std::uint16_t GetFirstTag() const override { return xTag_; }
    void SetFirstTag(std::uint16_t tag) override { xTag_ = tag; }
    std::uint16_t GetSecondTag() const override { return yTag_; }
    void SetSecondTag(std::uint16_t tag) override { yTag_ = tag; }
    TPoint GetPoint() const override { return {xOffset_, yOffset_}; }
    void SetPoint(const TPoint& point) override { SetOffset(point); }

    bool IsXActive() const { return xTag_ != 0 && xOffset_ != 0; }
    bool IsYActive() const { return yTag_ != 0 && yOffset_ != 0; }
    bool IsActive() const { return IsXActive() || IsYActive(); }
    // Each offset counts only while its tag is set.
    TPoint GetOffset() const;
    // A changed offset restarts the animation's step.
    void SetOffset(const TPoint& offset);
    // The offsets in page units: x to the right, y down.
    TSize GetOffsetUnits() const { return {xOffset_ * kUnitsPerPixel, -yOffset_ * kUnitsPerPixel}; }

    // Animation: the rectangle at its start, saved once.
    void SaveRect(const TRect& rect);
    void ResetAnimation();
    // Moves the rectangle one step (one twentieth of the offsets); back to the
    // saved one on the 21st tick.
    void AnimateStep(TRect& rect);
    bool HasSavedRect() const { return saved_; }
    const TRect& GetSavedRect() const { return savedRect_; }
    int GetAnimationStep() const { return step_; }

    std::uint8_t* Pack(std::uint8_t* at, std::uint8_t& flags) const;
    bool Unpack(RecordReader& in, std::uint8_t flags);
    void Describe(ReportLines& lines) const;

    // Tags and offsets (the animation state is no part of the attribute's value).
    bool operator==(const TDynPosition& other) const;

private:
    std::uint16_t xTag_;
    std::uint16_t yTag_;
    std::int32_t xOffset_;
    std::int32_t yOffset_;
    TRect savedRect_;
    bool saved_ = false;
    std::int32_t step_ = 0;
};

class TDynRotation : public TTagsPoint {
public:
    TDynRotation(std::uint16_t tag = 0, const TPoint& centre = {}) : tag_(tag), centreX_(centre.x), centreY_(centre.y)
    {
    }

    std::uint16_t GetFirstTag() const override { return tag_; }
    void SetFirstTag(std::uint16_t tag) override { tag_ = tag; }
    std::uint16_t GetSecondTag() const override { return 0; }
    void SetSecondTag(std::uint16_t) override {}
    TPoint GetPoint() const override { return {centreX_, centreY_}; }
    void SetPoint(const TPoint& point) override
    {
        centreX_ = point.x;
        centreY_ = point.y;
    }

    bool IsActive() const { return tag_ != 0; }
    // The centre in page units of the open project's screen.
    TPoint GetCentre() const;

    std::uint8_t* Pack(std::uint8_t* at, std::uint8_t& flags) const;
    bool Unpack(RecordReader& in, std::uint8_t flags);
    void Describe(ReportLines& lines) const;

    bool operator==(const TDynRotation& other) const
    {
        return tag_ == other.tag_ && centreX_ == other.centreX_ && centreY_ == other.centreY_;
    }

private:
    std::uint16_t tag_;
    std::int32_t centreX_;
    std::int32_t centreY_;
};

class TDynFill {
public:
    // 0 vertical graph, 1 horizontal graph, 2 vertical chart, 3 horizontal
    // chart, 4 vertical band, 5 and above horizontal band.
    TDynFill(std::uint16_t tag = 0, int mode = 0) : tag_(tag), mode_(mode) {}

    std::uint16_t GetTag() const { return tag_; }
    void SetTag(std::uint16_t tag) { tag_ = tag; }
    int GetMode() const { return mode_; }
    void SetMode(int mode) { mode_ = mode; }
    bool IsActive() const { return tag_ != 0; }

    // The filled part at an animation step (the whole rectangle at steps
    // 0, 21, 42...); the rectangle itself without a fill tag.
    TRect GetFillRect(const TRect& rect, int step) const;
    // The filled part of a mode at a fraction 0-1 of the tag's range.
    static TRect FillPart(const TRect& rect, int mode, double fraction);

    std::uint8_t* Pack(std::uint8_t* at, std::uint8_t& flags) const;
    bool Unpack(RecordReader& in, std::uint8_t flags);
    void Describe(ReportLines& lines) const;
    // "vert. graph" ... "horiz. band".
    static std::string ModeText(int mode);

    bool operator==(const TDynFill&) const = default;

private:
    std::uint16_t tag_;
    std::int32_t mode_;
};

class TDynBlink : public TTagMask {
public:
    // A mask whose four low bits are all set blinks always, whatever the tag.
    static constexpr std::uint8_t kAlways = 0x0F;

    TDynBlink(std::uint16_t tag = 0, std::uint8_t mask = 0) : TTagMask(tag, mask) {}
    // The blink a record holds, in the form it is written again: blinking by
    // a tag in every state, or in none, needs no tag and is written without.
    static TDynBlink FromStored(std::uint16_t tag, std::uint8_t mask);

    bool IsActive() const { return tag_ != 0 && mask_ != 0; }
    bool IsUnconditional() const { return (mask_ & kAlways) == kAlways; }
    // Sets or clears mask bits (page order).
    void SetState(std::uint8_t bits, bool on);
    bool IsBlinkPhase(int step) const;
    // The palette index an element shows at an animation step.
    int GetColorIndex(const ColorPoint& colors, int step) const;

    std::uint8_t* Pack(std::uint8_t* at, std::uint8_t& flags) const;
    bool Unpack(RecordReader& in, std::uint8_t flags);
    void Describe(ReportLines& lines) const;
};
