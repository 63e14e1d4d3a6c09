#pragma once
// The bitmap element: a picture of the project's bitmap library on a page,
// shown always the same (Static) or chosen at run time on the panel by the
// value of a tag (Discrete by the tag's states, Limit and High-low Limit by
// limits, List by a table of values). The picture may be enlarged by whole
// multiples, 1 to 6 in each direction; the element's size follows it. While
// the page animation runs it shows its pictures one after the other.
//
// Bitmap numbers are library slots + 1; kNoBitmap stands for none wherever a
// number is stored. Numbers whose slot is empty (or outside 1-300) draw and
// measure as the program's "nobmp" picture.

#include "plintvlr/elements/size_rect.h"

#include <cstdint>
#include <vector>

class BitmapPaster;

inline constexpr std::uint8_t kBitmapCode = 0x39;
inline constexpr std::uint16_t kNoBitmap = 32760;

// One value-to-bitmap entry. Values are raw tag units: the shown value
// x 10^decimals as a 32-bit integer, or the bits of a single for a
// floating-point tag.
struct BmpRecord {
    std::int32_t value = 0;
    std::uint16_t bitmap = kNoBitmap;
    bool operator==(const BmpRecord&) const = default;
};

using BmpRecordArray = std::vector<BmpRecord>;

class BitmapElem : public SizeRect {
public:
    enum Mode : std::uint16_t { kStatic = 1, kDiscrete = 2, kList = 3, kHighLowLimit = 4, kLimit = 5 };
    // The kind byte of the record.
    enum Kind : std::uint8_t {
        kKindStatic = 0,
        kKindList = 1,
        kKindLowLimit = 2,
        kKindHighLimit = 3,
        kKindHighLow = 4,
        kKindDiscrete = 0xFF,
    };
    // The sheet's type list.
    enum TypeIndex : int { kTypeStatic = 0, kTypeDiscrete = 1, kTypeLimit = 2, kTypeList = 3 };
    static constexpr int kMaxScale = 6;

    // The factory makes the element on a point and then reads its record.
    explicit BitmapElem(const TPoint& p = {});
    // Placed with the tool: a click (both points alike) puts the picture's
    // bottom-left corner there; a drag takes as many whole pictures as fit.
    BitmapElem(const TPoint& p1, const TPoint& p2);
    BitmapElem(const BitmapElem& other);

    TRect SnapToGrid(int handle, const TSize& offset) override;
    TSize GetMinSize() const override;
    TSize GetMaxSize() const override;
    TSize GetSizeStep(bool dragged) const override;
    bool CanToggleOrientation() const override;
    void Draw(TDC& dc) override;
    TRect AnimateStep() override;
    TRect StopAnimation() override;
    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    bool IsAllowedOnPanel() const override;
    std::uint16_t GetTag() const override;
    void SetTag(std::uint16_t tag) override;
    std::string GetTypeName() const override;
    bool HasDynamics() const override;

    // --- What the sheet and the editing model use ------------------------
    std::uint16_t GetMode() const { return mode_; }
    void SetMode(std::uint16_t mode) { mode_ = mode; }
    std::uint8_t GetKind() const { return kind_; }
    const BmpRecordArray& GetEntries() const { return entries_; }
    int GetScaleX() const { return scaleX_; }
    int GetScaleY() const { return scaleY_; }
    std::uint16_t GetShownBitmap() const { return shownBitmap_; }

    std::uint16_t GetInitialBitmap() const;
    void SetInitialBitmap(std::uint16_t number);
    int GetImageCount() const;
    int GetTypeIndex() const;
    void SetTypeFromIndex(int index);
    // The entries' bitmaps; b2 and b3 are kNoBitmap when there are fewer
    // than 3 and 4 entries. The entry count.
    int GetDiscreteBitmaps(std::uint16_t& b0, std::uint16_t& b1, std::uint16_t& b2, std::uint16_t& b3) const;
    void SetDiscrete(std::uint16_t b0, std::uint16_t b1, std::uint16_t b2, std::uint16_t b3, bool four);
    // Fills what the kind holds (low for kind 2, high for kind 3, both for
    // the others when there are two entries); the kind byte and entry count.
    int GetLimits(BmpRecord& low, BmpRecord& high, std::uint8_t& kind) const;
    void SetLimits(const BmpRecord& low, const BmpRecord& high, std::uint8_t kind);
    void GetListEntries(BmpRecordArray& entries) const { entries = entries_; }
    void SetList(const BmpRecordArray& entries);

    // Shows the picture of an animation step; the rectangle to repaint.
    TRect UpdateImage(int step);
    // Scale factors from the rectangle, whole pictures, 1 to 6.
    void RecalcScale();
    // The rectangle from the picture and the scale, the bottom-left corner
    // kept, then held on the screen; the rectangle to repaint.
    TRect RecalcSize();

    // Copy and paste of elements with their pictures, between projects too.
    void CopyBitmapsTo(BitmapPaster& paster) const;
    void PasteBitmapsFrom(const BitmapPaster& paster);

    // The unscaled picture of the shown bitmap in page units.
    TSize GetPictureSize() const;

private:
    // The numbers that name pictures: the default bitmap unless Discrete,
    // then every entry's.
    std::vector<std::uint16_t*> BitmapNumbers();
    // The width of a stored value: 4 bytes on a 32-bit tag, else 2.
    int ValueWidth() const;
    bool ReadBody(RecordReader& in, std::uint16_t length);
    // Opens the element's sheet (the sheet's file defines it).
    void OpenSheet(TWindow* parent);

    std::uint16_t mode_ = kStatic;
    std::uint16_t tag_ = 1;
    std::uint8_t kind_ = kKindStatic;
    std::uint16_t defaultBitmap_ = 1;
    BmpRecordArray entries_;
    std::uint8_t scaleX_ = 1;
    std::uint8_t scaleY_ = 1;
    std::uint16_t shownBitmap_ = 1;
};

// Reads the picture size of bitmap `number` (1-based) in pixels: the
// library's picture, or "nobmp" for an empty slot.
TSize GetBitmapPictureSize(int number);

// Raw entry values and the values the engineer sees, by the tag's data type
// and decimals: integer types read the raw value as unsigned or signed
// 32-bit, other types as the bits of a single; shown = raw / 10^decimals.
long double RawToShown(std::int32_t raw, int dataType, int decimals);
std::int32_t ShownToRaw(long double shown, int dataType, int decimals);
