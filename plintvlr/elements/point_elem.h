#pragma once
// The tag display: a formatted text showing one field of an analog or
// digital tag (its value, a limit, units, name or a status text) in a fixed
// number of characters. The editor shows a preview made from the tag's
// configuration; the panel fills in the live value.
//
// The tag reference text: the kind letter ('A' analog, 'D' digital, 'R'
// register and 'B' bit of the older kinds), the tag number (four digits, more
// for larger numbers), '.', the two display type letters, then optionally
// ',' and the display width and ',' and the offset (two digits or more).
// It is read and written by its fields, so every stored value survives.
//
// Record: the code 0x20 + (position of the type in the display-type codes
// - 1), 0x40 at size 1 x 1; the size byte; the flags byte (0x40 width byte,
// 0x80 offset byte, 0x10 tail); the colour or show/hide spec; the point; the
// position and blink bodies; the u16 tag id (kind in bits 14-15); the width
// and offset bytes; the formatted-text tail with the editable flag as its
// extra byte. A code whose type is unknown is written back as read.

#include "plintvlr/elements/format_text.h"

#include <string>

// A tag reference by its fields.
struct TagRefParts {
    char kind = 'A';
    int number = 1;
    std::string type = "PV";
    bool hasWidth = false;
    int width = 0;
    bool hasOffset = false;
    int offset = 0;

    static TagRefParts Parse(const std::string& text);
    std::string Format() const;
};

// The kind's display types ("ID,PV,..."), their long names, and the 1-based
// position of a type in the kind's list (0 when absent).
int DisplayTypeListId(char kind);
int DisplayTypeNamesId(char kind);
int DisplayTypePosition(char kind, const std::string& type);
// The default display width of a position of the kind's list (0 = not in it).
int DefaultDisplayWidth(char kind, int position);
// The width the record stores for a PV display of width 0.
int DefaultRecordWidth(char kind);
// Inserts d decimals into a digit string ("0" with 2 gives "0.00").
std::string InsertDecimals(const std::string& digits, int decimals);

class PointElem : public TFormatText {
public:
    PointElem(const TRect& rect, const char* tagRef, bool horizontal);
    PointElem(const PointElem& other);

    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    std::uint16_t GetTag() const override;
    void SetTag(std::uint16_t tag) override;
    std::string GetTypeName() const override;
    bool SetFont(int fontNumber) override;

    const std::string& GetTagRef() const { return tagRef_; }
    // Copies the reference, rebuilds the preview and lays out.
    TRect SetTagRef(const std::string& tagRef);
    TRect SetTagAndType(std::uint16_t tagId, const std::string& type);
    void GetTagAndType(std::uint16_t& tagId, std::string& type) const;
    int GetWidth() const;
    int GetOffset() const;
    TRect SetWidth(int width);
    TRect SetOffset(int offset);
    bool GetEditable() const { return editable_; }
    void SetEditable(bool editable) { editable_ = editable; }
    // The tag id of the reference with its kind bits.
    std::uint16_t GetTagId() const;
    // The preview text of the reference with the open project's tags.
    std::string MakePreview() const;

private:
    int DefaultJustify() const;
    TRect ApplyParts(const TagRefParts& parts);

    std::string tagRef_;
    bool editable_ = false;
    // The code a record of an unknown display type was read with.
    std::uint8_t keptCode_ = 0x21;
};

// A new tag display of the point tools: "A0001.PV" or "D0001.PV", right
// justified, laid out on the two points.
std::unique_ptr<PointElem> NewPointElem(const TPoint& a, const TPoint& b, bool digital);
