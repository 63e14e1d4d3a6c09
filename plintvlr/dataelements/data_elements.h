#pragma once
// The data and operator elements as the page editor holds them: touch
// regions, push buttons, function keys, drive-outs, trends, message
// displays, meters and trend recorders. Each reads its record by its
// layout, keeps its bytes and writes them back (KeptRecordElem); what the
// editor's rules need of it (touch regions for overlaps, key numbers and
// legends, drive-out numbers and tags, trends for their limit) is answered
// from the record.

#include "plintvlr/dataelements/kept_record_elem.h"

#include <string>

class TouchElem : public KeptRecordElem {
public:
    static constexpr std::uint8_t kCode = 0x09;

    TouchElem();
    explicit TouchElem(const TRect& rect);

    bool IsTouchRegion() const override { return true; }
    TSize GetMinSize() const override;
    std::unique_ptr<SizeRect> Clone() const override;
    std::string GetTypeName() const override;

protected:
    std::size_t MeasureRecord(RecordReader in) const override;
    void TakeFromRecord() override;

    // Steps over a touch-region record; the offset of its stored operation.
    static bool MeasureTouch(RecordReader& in, std::size_t& operationOffset);
    // Takes the region's rectangle and recipe group from a touch-region record.
    void TakeTouchRecord(const std::uint8_t* record, std::size_t length);
};

// A push button: a field record of sub-type 13 that wraps a touch-region record.
class ButtonElem : public TouchElem {
public:
    static constexpr std::uint16_t kRecordType = 13;

    ButtonElem() = default;
    explicit ButtonElem(const TRect& rect) : TouchElem(rect) {}

    std::unique_ptr<SizeRect> Clone() const override;
    std::string GetTypeName() const override;

protected:
    std::size_t MeasureRecord(RecordReader in) const override;
    void TakeFromRecord() override;
};

// A function key. It lies off the page: all four sides are -(key + 1) x 100.
class EFKeyElem : public KeptRecordElem {
public:
    static constexpr std::uint8_t kCode = 0x0D;

    EFKeyElem(int keyNumber, bool keySet);

    TRect Select(bool select) override;
    std::unique_ptr<SizeRect> Clone() const override;

    int GetKeyNumber() const { return keyNumber_; }
    void SetKeyNumber(int keyNumber);
    bool IsKeySet() const { return keySet_; }
    // The legend the key bar shows.
    const std::string& GetLegend() const { return legend_; }

protected:
    std::size_t MeasureRecord(RecordReader in) const override;
    void TakeFromRecord() override;

private:
    static constexpr int kOperationOffset = 12;
    static constexpr int kLegendLength = 9;

    std::int32_t keyNumber_ = 0;
    std::string legend_;
    bool keySet_ = false;
};

// An operator write. Its record holds no number: the page reader numbers
// drive-outs in reading order and the writer puts them in number order.
class DriveOutElem : public KeptRecordElem {
public:
    static constexpr std::uint8_t kCode = 0x10;
    static constexpr int kMaxNumber = 99;

    DriveOutElem();
    DriveOutElem(int number, const TPoint& a, const TPoint& b);

    std::unique_ptr<SizeRect> Clone() const override;
    std::string GetTypeName() const override;
    // The record's point word.
    std::uint16_t GetTag() const override;
    // Rewrites the record's point word: an analog or digital tag takes its
    // kind, other references keep the stored kind.
    void SetTag(std::uint16_t tag) override;

    int GetNumber() const { return number_; }
    void SetNumber(int number);
    // The number as the page shows it: "%.2i".
    const std::string& GetText() const { return text_; }

protected:
    std::size_t MeasureRecord(RecordReader in) const override;
    void TakeFromRecord() override;

private:
    std::uint16_t number_ = 0;
    std::uint16_t point_ = 1;
    std::string text_;
};

class TrendElem : public KeptRecordElem {
public:
    static constexpr std::uint8_t kCode = 0x14;
    // Most trends one page holds.
    static constexpr int kMaxPerPage = 4;

    TrendElem();
    TrendElem(const TPoint& a, const TPoint& b) : KeptRecordElem(a, b) {}

    // Trends need a panel that shows bitmaps.
    bool IsAllowedOnPanel() const override;
    std::unique_ptr<SizeRect> Clone() const override;
    std::string GetTypeName() const override;

protected:
    std::size_t MeasureRecord(RecordReader in) const override;
    void TakeFromRecord() override;
};

// The elements stored as field records of their own sub-type, whose length
// the field record gives: message displays, meters, trend recorders, and a
// sub-type this program does not know.
class FieldRecordElem : public KeptRecordElem {
public:
    std::uint16_t GetRecordType() const;

protected:
    FieldRecordElem() = default;
    FieldRecordElem(const TPoint& a, const TPoint& b) : KeptRecordElem(a, b) {}
    std::size_t MeasureRecord(RecordReader in) const override;
};

class MessageElem : public FieldRecordElem {
public:
    static constexpr std::uint16_t kRecordType = 9;
    MessageElem() = default;
    MessageElem(const TPoint& a, const TPoint& b) : FieldRecordElem(a, b) {}
    std::unique_ptr<SizeRect> Clone() const override;
};

class MeterElem : public FieldRecordElem {
public:
    static constexpr std::uint16_t kRecordType = 17;
    MeterElem() = default;
    MeterElem(const TPoint& a, const TPoint& b) : FieldRecordElem(a, b) {}
    std::unique_ptr<SizeRect> Clone() const override;
};

class TTrendRecord : public FieldRecordElem {
public:
    static constexpr std::uint16_t kRecordType = 19;
    TTrendRecord() = default;
    TTrendRecord(const TPoint& a, const TPoint& b) : FieldRecordElem(a, b) {}
    bool CanToggleOrientation() const override { return false; }
    bool IsAllowedOnPanel() const override;
    std::unique_ptr<SizeRect> Clone() const override;
    std::string GetTypeName() const override;
};

// A field record whose sub-type the page reader does not know: kept whole.
class UnknownFieldRecord : public FieldRecordElem {
public:
    UnknownFieldRecord() = default;
    std::unique_ptr<SizeRect> Clone() const override;
};
