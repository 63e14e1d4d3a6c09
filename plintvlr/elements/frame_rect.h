#pragma once
// A framed rectangle (the meter's frame): a bevelled border, raised or
// recessed, one or two pixels deep on colour panels, round a face in a
// palette colour. Not an element; it is drawn and stored by the element
// that holds it, as a field record of type 14.

#include "plintvlr/elements/record_reader.h"

#include "platform/base/geometry.h"

#include <cstdint>

class TDC;

class FrameRect {
public:
    static constexpr std::uint16_t kRecordType = 14;

    FrameRect() = default;
    FrameRect(const TRect& rect, bool raised, bool deep) : rect_(rect), raised_(raised), deep_(deep) {}
    FrameRect(const FrameRect&) = default;
    FrameRect& operator=(const FrameRect&) = default;

    const TRect& GetRect() const { return rect_; }
    void SetRect(const TRect& rect) { rect_ = rect; }
    bool IsRaised() const { return raised_; }
    bool IsDeep() const { return deep_; }
    int GetColor() const { return color_; }
    void SetColor(int index);

    // Border width in page units: 20 for a flat frame on a colour panel, else 40.
    int GetBorderWidth() const;
    TRect GetOuterRect() const;
    TRect GetInnerRect() const;

    void Draw(TDC& dc) const;
    // Field records are written into a buffer of at least 65535 bytes; null
    // when the record cannot be written.
    std::uint8_t* WriteRecord(std::uint8_t* at) const;
    bool ReadRecord(RecordReader& in);

    bool operator==(const FrameRect&) const = default;

private:
    TRect rect_;
    bool raised_ = false;
    bool deep_ = false;
    std::uint8_t color_ = 9;  // gray
};
