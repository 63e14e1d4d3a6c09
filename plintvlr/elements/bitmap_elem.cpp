#include "plintvlr/elements/bitmap_elem.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"
#include "platform/ui/window.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem_string_ids.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/control_pictures.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int kPixel = kUnitsPerPixel;
// The code byte as written: the code with the short-form bit.
constexpr std::uint8_t kCodeByte = kBitmapCode | 0x40;
// The element flags byte: always 0x01; 0x02 when the scale field follows.
constexpr std::uint8_t kElementFlags = 0x01;
constexpr std::uint8_t kScaleFollows = 0x02;
// The colour spec: background | 0x10 (0x80 more on colour panels), colour 1.
constexpr std::uint8_t kColourSpec = 0x10;
constexpr std::uint8_t kColourPanelSpec = 0x90;
constexpr std::uint8_t kColourIndex = 0x01;
constexpr int kScaleField = 4;
// The size of the "nobmp" picture, should the resource be missing.
constexpr TSize kNoBitmapPictureSize{24, 22};
// Body lengths of the fixed layouts.
constexpr std::uint16_t kStaticLength = 3;
constexpr std::uint16_t kDiscreteTwoLength = 7;
constexpr std::uint16_t kDiscreteFourLength = 11;

// The analog tag behind a reference; false for other kinds, no tag or a
// tag the project lacks.
bool ReadAnalogTag(std::uint16_t reference, atag& tag)
{
    if ((reference & kTagRefBit) != 0 || (reference & kTagRefNumberMask) == 0)
        return false;
    return tag.Read(reference & kTagRefNumberMask);
}

std::uint8_t* PutWord(std::uint8_t* at, std::uint16_t value)
{
    *at++ = static_cast<std::uint8_t>(value & 0xFF);
    *at++ = static_cast<std::uint8_t>(value >> 8);
    return at;
}

std::uint8_t* PutValue(std::uint8_t* at, std::int32_t value, int width)
{
    const auto bits = static_cast<std::uint32_t>(value);
    at = PutWord(at, static_cast<std::uint16_t>(bits & 0xFFFF));
    if (width == 4)
        at = PutWord(at, static_cast<std::uint16_t>(bits >> 16));
    return at;
}

// A 2-byte value is sign-extended for a Signed Word tag, zero-extended otherwise.
bool ReadValue(RecordReader& in, int width, bool signedWord, std::int32_t& value)
{
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!in.ReadWord(low) || (width == 4 && !in.ReadWord(high)))
        return false;
    if (width == 4)
        value = static_cast<std::int32_t>((static_cast<std::uint32_t>(high) << 16) | low);
    else
        value = signedWord ? static_cast<std::int16_t>(low) : static_cast<std::int32_t>(low);
    return true;
}

bool IsIntegerType(int dataType)
{
    return dataType >= kTypeUnsignedWord && dataType <= kTypeSignedDword;
}

bool IsSignedType(int dataType)
{
    return dataType == kTypeSignedWord || dataType == kTypeSignedDword;
}

long double PowerOfTen(int decimals)
{
    return std::pow(10.0L, static_cast<long double>(decimals));
}

Quellstor PanelOfPage()
{
    if (const ActivePageEditor* editor = GetActivePageEditor())
        return editor->GetPanelModel();
    return Quellstor(_QSglobals.GetDatabase().GetPanelType());
}

HWND MessageOwner()
{
    const ActivePageEditor* editor = GetActivePageEditor();
    TWindow* owner = editor ? editor->GetMessageOwner() : nullptr;
    return owner ? owner->GetHandle() : nullptr;
}

}  // namespace

// --- Values -----------------------------------------------------------------

long double RawToShown(std::int32_t raw, int dataType, int decimals)
{
    long double value = 0;
    if (dataType == kTypeUnsignedWord || dataType == kTypeUnsignedDword)
        value = static_cast<std::uint32_t>(raw);
    else if (IsSignedType(dataType))
        value = raw;
    else
        value = std::bit_cast<float>(raw);
    return value / PowerOfTen(decimals);
}

std::int32_t ShownToRaw(long double shown, int dataType, int decimals)
{
    const long double product = shown * PowerOfTen(decimals);
    if (!IsIntegerType(dataType))
        return std::bit_cast<std::int32_t>(static_cast<float>(product));
    // Truncated toward zero into the 32 bits the type stores.
    if (dataType == kTypeUnsignedWord || dataType == kTypeUnsignedDword) {
        const long double bounded = std::clamp(product, 0.0L, 4294967295.0L);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(bounded));
    }
    return static_cast<std::int32_t>(std::clamp(product, -2147483648.0L, 2147483647.0L));
}

TSize GetBitmapPictureSize(int number)
{
    const TQSBitmaps& library = GetBitmapLibrary();
    if (library.HasBitmap(number - 1)) {
        const TDib* dib = library.GetDib(number - 1);
        return {dib->Width(), dib->Height()};
    }
    const TDib nobmp = LoadDibResource(nullptr, kNoBitmapPicture);
    return nobmp.IsOK() ? TSize(nobmp.Width(), nobmp.Height()) : kNoBitmapPictureSize;
}

// --- Construction -----------------------------------------------------------

BitmapElem::BitmapElem(const TPoint& p) : SizeRect(p, p)
{
    RecalcScale();
    RecalcSize();
}

BitmapElem::BitmapElem(const TPoint& p1, const TPoint& p2) : SizeRect(p1, p2)
{
    RecalcScale();
    RecalcSize();
}

BitmapElem::BitmapElem(const BitmapElem& other)
    : SizeRect(other),
      mode_(other.mode_),
      tag_(other.tag_),
      kind_(other.kind_),
      defaultBitmap_(other.defaultBitmap_),
      entries_(other.entries_),
      scaleX_(other.scaleX_),
      scaleY_(other.scaleY_)
{
    UpdateImage(0);
}

std::unique_ptr<SizeRect> BitmapElem::Clone() const
{
    return std::make_unique<BitmapElem>(*this);
}

// --- Modes and entries ------------------------------------------------------

std::uint16_t BitmapElem::GetInitialBitmap() const
{
    if (mode_ == kDiscrete)
        return entries_.empty() ? kNoBitmap : entries_[0].bitmap;
    return defaultBitmap_;
}

void BitmapElem::SetInitialBitmap(std::uint16_t number)
{
    if (mode_ == kDiscrete) {
        if (!entries_.empty())
            entries_[0].bitmap = number;
    } else {
        defaultBitmap_ = number;
    }
    UpdateImage(0);
}

int BitmapElem::GetImageCount() const
{
    switch (mode_) {
    case kDiscrete:
        return static_cast<int>(entries_.size());
    case kList:
        return static_cast<int>(entries_.size()) + 1;
    case kHighLowLimit:
        return 3;
    case kLimit:
        return 2;
    default:
        return 1;
    }
}

int BitmapElem::GetTypeIndex() const
{
    switch (mode_) {
    case kDiscrete:
        return kTypeDiscrete;
    case kList:
        return kTypeList;
    case kHighLowLimit:
    case kLimit:
        return kTypeLimit;
    default:
        return kTypeStatic;
    }
}

void BitmapElem::SetTypeFromIndex(int index)
{
    switch (index) {
    case kTypeDiscrete:
        mode_ = kDiscrete;
        break;
    case kTypeLimit:
        mode_ = kLimit;
        break;
    case kTypeList:
        mode_ = kList;
        break;
    default:
        mode_ = kStatic;
        break;
    }
}

int BitmapElem::GetDiscreteBitmaps(std::uint16_t& b0, std::uint16_t& b1, std::uint16_t& b2, std::uint16_t& b3) const
{
    std::uint16_t* out[] = {&b0, &b1, &b2, &b3};
    for (std::size_t i = 0; i < 4; ++i)
        *out[i] = i < entries_.size() ? entries_[i].bitmap : kNoBitmap;
    return static_cast<int>(entries_.size());
}

void BitmapElem::SetDiscrete(std::uint16_t b0, std::uint16_t b1, std::uint16_t b2, std::uint16_t b3, bool four)
{
    mode_ = kDiscrete;
    kind_ = kKindDiscrete;
    entries_ = {{0, b0}, {0, b1}};
    if (four) {
        entries_.push_back({0, b2});
        entries_.push_back({0, b3});
    }
    UpdateImage(GetAnimationStep());
}

int BitmapElem::GetLimits(BmpRecord& low, BmpRecord& high, std::uint8_t& kind) const
{
    if (kind_ == kKindLowLimit) {
        if (!entries_.empty())
            low = entries_[0];
    } else if (kind_ == kKindHighLimit) {
        if (entries_.size() >= 2)
            high = entries_[1];
    } else if (entries_.size() >= 2) {
        low = entries_[0];
        high = entries_[1];
    }
    kind = kind_;
    return static_cast<int>(entries_.size());
}

void BitmapElem::SetLimits(const BmpRecord& low, const BmpRecord& high, std::uint8_t kind)
{
    mode_ = kLimit;
    kind_ = kind;
    if (kind == kKindLowLimit) {
        entries_ = {low};
    } else if (kind == kKindHighLimit) {
        entries_ = {BmpRecord{}, high};
    } else {
        entries_ = {low, high};
        mode_ = kHighLowLimit;
        kind_ = kKindHighLow;
    }
}

void BitmapElem::SetList(const BmpRecordArray& entries)
{
    mode_ = kList;
    kind_ = kKindList;
    entries_ = entries;
}

// --- Size -------------------------------------------------------------------

TSize BitmapElem::GetPictureSize() const
{
    const TSize pixels = GetBitmapPictureSize(shownBitmap_);
    return {pixels.cx * kPixel, pixels.cy * kPixel};
}

void BitmapElem::RecalcScale()
{
    const TSize picture = GetPictureSize();
    scaleX_ = static_cast<std::uint8_t>(std::clamp(Width() / picture.cx, 1, kMaxScale));
    scaleY_ = static_cast<std::uint8_t>(std::clamp(Height() / picture.cy, 1, kMaxScale));
}

TRect BitmapElem::RecalcSize()
{
    const TSize picture = GetPictureSize();
    right = left + picture.cx * scaleX_;
    top = bottom - picture.cy * scaleY_;
    return KeepOnScreen();
}

TRect BitmapElem::SnapToGrid(int handle, const TSize& offset)
{
    // A picture cut by the screen's edge is not resized.
    const TSize picture = GetPictureSize();
    if (Width() < picture.cx || Height() < picture.cy)
        return {};
    const TRect repaint = SizeRect::SnapToGrid(handle, offset);
    RecalcScale();
    return repaint;
}

TSize BitmapElem::GetMinSize() const
{
    return GetPictureSize();
}

TSize BitmapElem::GetSizeStep(bool) const
{
    return GetPictureSize();
}

TSize BitmapElem::GetMaxSize() const
{
    const TSize picture = GetPictureSize();
    const TSize screen = GetScreenSize();
    // At least one picture: a picture wider than the screen keeps its size
    // and is cut by KeepOnScreen instead of shrinking to nothing.
    const int nx = std::clamp(screen.cx * kPixel / picture.cx, 1, kMaxScale);
    const int ny = std::clamp(screen.cy * kPixel / picture.cy, 1, kMaxScale);
    return {nx * picture.cx, ny * picture.cy};
}

bool BitmapElem::CanToggleOrientation() const
{
    return false;
}

// --- Drawing and animation --------------------------------------------------

TRect BitmapElem::UpdateImage(int step)
{
    const TRect before = GetRepaintRect();
    if (mode_ == kStatic || step == 0) {
        shownBitmap_ = GetInitialBitmap();
    } else {
        const int n = std::max(GetImageCount(), 1);
        const int i = ((step % n) + n) % n;
        auto entryBitmap = [this](int e) {
            return e >= 0 && e < static_cast<int>(entries_.size()) ? entries_[static_cast<std::size_t>(e)].bitmap
                                                                   : kNoBitmap;
        };
        if (mode_ == kDiscrete)
            shownBitmap_ = entryBitmap(i);
        else if (i == 0)
            shownBitmap_ = defaultBitmap_;
        else if (mode_ == kLimit && kind_ == kKindHighLimit)
            shownBitmap_ = entryBitmap(1);
        else
            shownBitmap_ = entryBitmap(i - 1);
    }
    RecalcSize();
    return before | GetRepaintRect();
}

bool BitmapElem::HasDynamics() const
{
    return SizeRect::HasDynamics() || GetImageCount() >= 2;
}

TRect BitmapElem::AnimateStep()
{
    if (!HasDynamics())
        return {};
    const TRect moved = SizeRect::AnimateStep();
    int step = GetAnimationStep();
    // Each picture stays for one on/off pair of the blink.
    if (GetDynBlink().IsBlinkPhase(step))
        step /= 2;
    return moved | UpdateImage(step);
}

TRect BitmapElem::StopAnimation()
{
    const TRect shown = UpdateImage(0);
    return shown | SizeRect::StopAnimation();
}

void BitmapElem::Draw(TDC& dc)
{
    const int step = GetAnimationStep();
    if (GetDynBlink().IsBlinkPhase(step) && step % 2 == 1) {
        const TColor color = IsColorPanel() ? PaletteColor(GetColors().GetBackground()) : TColor::White;
        dc.SaveDC();
        dc.SelectObject(TBrush(color));
        dc.PatBlt(*this, PATCOPY);
        dc.RestoreDC();
        return;
    }
    DrawLibraryBitmap(*this, dc, shownBitmap_ - 1);
}

// --- Record -----------------------------------------------------------------

int BitmapElem::ValueWidth() const
{
    atag tag;
    return ReadAnalogTag(tag_, tag) && tag.IsDword() ? 4 : 2;
}

std::uint8_t* BitmapElem::WriteRecord(std::uint8_t* at) const
{
    const TSize picture = GetMinSize();
    if (Width() < picture.cx || Height() < picture.cy)
        TApp::MessageBox(nullptr, MessageOwner(), Str(kStrBitmapTooLargeForPanel), Str(kStrApplicationMessage), MB_OK);

    const bool scaled = scaleX_ * scaleY_ > 1;
    const bool colour = IsColorPanel();
    *at++ = kCodeByte;
    *at++ = kElementFlags | (scaled ? kScaleFollows : 0);
    std::uint8_t* flags = at++;
    *flags = 0;
    *at++ = colour ? static_cast<std::uint8_t>(kColourPanelSpec | (GetColors().GetBackground() & 0x0F)) : kColourSpec;
    *at++ = kColourIndex;
    if (colour)
        at = PackPoint(left / kPixel, GetScreenSize().cy - bottom / kPixel, at);
    else
        at = PackXY(left / kPixel, GetScreenYOrigin() + top / kPixel, at);
    at = GetDynPosition().Pack(at, *flags);
    at = GetDynBlink().Pack(at, *flags);

    std::uint8_t* lengthAt = at;
    at += 2;
    std::uint8_t* const body = at;
    auto entry = [this](std::size_t i) { return i < entries_.size() ? entries_[i] : BmpRecord{}; };
    switch (mode_) {
    case kDiscrete:
        *at++ = kKindDiscrete;
        at = PutWord(at, tag_);
        at = PutWord(at, entry(0).bitmap);
        at = PutWord(at, entry(1).bitmap);
        if (entries_.size() >= 4) {
            at = PutWord(at, entry(2).bitmap);
            at = PutWord(at, entry(3).bitmap);
        }
        break;
    case kList: {
        const int width = ValueWidth();
        *at++ = kKindList;
        at = PutWord(at, tag_);
        at = PutWord(at, static_cast<std::uint16_t>(entries_.size()));
        at = PutWord(at, defaultBitmap_);
        for (const BmpRecord& e : entries_) {
            at = PutValue(at, e.value, width);
            at = PutWord(at, e.bitmap);
        }
        break;
    }
    case kLimit: {
        const BmpRecord limit = entry(kind_ == kKindHighLimit ? 1 : 0);
        *at++ = kind_;
        at = PutWord(at, tag_);
        at = PutValue(at, limit.value, ValueWidth());
        at = PutWord(at, defaultBitmap_);
        at = PutWord(at, limit.bitmap);
        break;
    }
    case kHighLowLimit: {
        const int width = ValueWidth();
        *at++ = kKindHighLow;
        at = PutWord(at, tag_);
        at = PutValue(at, entry(0).value, width);
        at = PutValue(at, entry(1).value, width);
        at = PutWord(at, defaultBitmap_);
        at = PutWord(at, entry(0).bitmap);
        at = PutWord(at, entry(1).bitmap);
        break;
    }
    default:
        *at++ = kKindStatic;
        at = PutWord(at, defaultBitmap_);
        break;
    }
    PutWord(lengthAt, static_cast<std::uint16_t>(at - body));

    if (scaled) {
        FieldRecordCursor cursor;
        const std::uint8_t scale[2] = {scaleX_, scaleY_};
        if (FieldRecordBeginRaw(cursor, at) != FR_OK || FieldRecordPutBytes(cursor, kScaleField, scale, 2) != FR_OK)
            return nullptr;
        at = FieldRecordEnd(cursor);
    }
    return at;
}

bool BitmapElem::ReadBody(RecordReader& in, std::uint16_t length)
{
    std::uint8_t kind = 0;
    if (!in.ReadByte(kind))
        return false;
    if (kind == kKindStatic) {
        std::uint16_t bitmap = 0;
        if (length != kStaticLength || !in.ReadWord(bitmap))
            return false;
        mode_ = kStatic;
        kind_ = kKindStatic;
        tag_ = 0;
        defaultBitmap_ = bitmap;
        entries_.clear();
        return true;
    }
    std::uint16_t tag = 0;
    if (!in.ReadWord(tag))
        return false;
    if (kind == kKindDiscrete || (tag & kTagRefDigital) != 0) {
        if (length != kDiscreteTwoLength && length != kDiscreteFourLength)
            return false;
        BmpRecordArray entries(length == kDiscreteFourLength ? 4 : 2);
        for (BmpRecord& e : entries)
            if (!in.ReadWord(e.bitmap))
                return false;
        mode_ = kDiscrete;
        kind_ = kKindDiscrete;
        tag_ = tag;
        entries_ = std::move(entries);
        return true;
    }
    atag analog;
    const bool signedWord = ReadAnalogTag(tag, analog) && analog.GetDataType() == kTypeSignedWord;
    BmpRecordArray entries;
    std::uint16_t defaultBitmap = kNoBitmap;
    switch (kind) {
    case kKindList: {
        std::uint16_t n = 0;
        if (!in.ReadWord(n) || !in.ReadWord(defaultBitmap))
            return false;
        const int width = 4 * n + 7 < length ? 4 : 2;
        if (length != (width + 2) * n + 7)
            return false;
        entries.resize(n);
        for (BmpRecord& e : entries)
            if (!ReadValue(in, width, signedWord, e.value) || !in.ReadWord(e.bitmap))
                return false;
        mode_ = kList;
        break;
    }
    case kKindLowLimit:
    case kKindHighLimit: {
        const int width = length > 9 ? 4 : 2;
        BmpRecord limit;
        if (length != 7 + width || !ReadValue(in, width, signedWord, limit.value) || !in.ReadWord(defaultBitmap) ||
            !in.ReadWord(limit.bitmap))
            return false;
        entries = {limit, limit};
        mode_ = kLimit;
        break;
    }
    case kKindHighLow: {
        const int width = length > 13 ? 4 : 2;
        BmpRecord low;
        BmpRecord high;
        if (length != 9 + 2 * width || !ReadValue(in, width, signedWord, low.value) ||
            !ReadValue(in, width, signedWord, high.value) || !in.ReadWord(defaultBitmap) ||
            !in.ReadWord(low.bitmap) || !in.ReadWord(high.bitmap))
            return false;
        entries = {low, high};
        mode_ = kHighLowLimit;
        break;
    }
    default:
        return false;
    }
    kind_ = kind;
    tag_ = tag;
    defaultBitmap_ = defaultBitmap;
    entries_ = std::move(entries);
    return true;
}

bool BitmapElem::ReadRecord(RecordReader& in)
{
    std::uint8_t code = 0;
    std::uint8_t elementFlags = 0;
    std::uint8_t dynFlags = 0;
    std::uint8_t colourSpec = 0;
    if (!in.ReadByte(code))
        return false;
    if (code != kCodeByte) {
        in.Fail();
        return false;
    }
    if (!in.ReadByte(elementFlags) || !in.ReadByte(dynFlags) || !in.ReadByte(colourSpec) || !in.Skip(1))
        return false;
    if ((colourSpec >> 4) == (kColourPanelSpec >> 4))
        GetColors().SetBackground(colourSpec & 0x0F);
    const bool colour = IsColorPanel();
    int x = 0;
    int y = 0;
    if (!(colour ? UnpackPoint(x, y, in) : UnpackXY(x, y, in)) || !GetDynPosition().Unpack(in, dynFlags) ||
        !GetDynBlink().Unpack(in, dynFlags))
        return false;

    std::uint16_t length = 0;
    if (!in.ReadWord(length))
        return false;
    if (length > in.Remaining()) {
        in.Fail();
        return false;
    }
    RecordReader body(in.Position(), length);
    if (!ReadBody(body, length) || body.Remaining() != 0 || !in.Skip(length)) {
        in.Fail();
        return false;
    }

    scaleX_ = 1;
    scaleY_ = 1;
    if (elementFlags & kScaleFollows) {
        FieldRecordCursor cursor;
        FieldRecordBeginReadRaw(cursor, in.Position(), in.Remaining());
        std::uint8_t scale[2] = {};
        const int rc = FieldRecordGetBytes(cursor, kScaleField, scale, sizeof scale);
        const std::uint8_t* after = FieldRecordEnd(cursor);
        if ((rc != FR_OK && rc != FR_ABSENT) || !after || !in.MoveTo(after)) {
            in.Fail();
            return false;
        }
        auto factor = [](std::uint8_t f) { return static_cast<std::uint8_t>(f == 0 || f > kMaxScale ? 1 : f); };
        scaleX_ = factor(scale[0]);
        scaleY_ = factor(scale[1]);
    }

    shownBitmap_ = GetInitialBitmap();
    const TSize picture = GetPictureSize();
    left = x * kPixel;
    if (colour)
        bottom = (GetScreenSize().cy - y) * kPixel;
    else
        bottom = (y - GetScreenYOrigin()) * kPixel + picture.cy * scaleY_;
    RecalcSize();
    return true;
}

// --- Report, editor and the other slots -------------------------------------

void BitmapElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    int typeText = kStrBmpTypeStatic;
    switch (mode_) {
    case kDiscrete:
        typeText = kStrBmpTypeDiscrete;
        break;
    case kList:
        typeText = kStrBmpTypeList;
        break;
    case kHighLowLimit:
        typeText = kStrBmpTypeHighLow;
        break;
    case kLimit:
        typeText = kStrBmpTypeLimit;
        break;
    default:
        break;
    }
    AddDescriptionLine(*this, number, lines, subnumber, std::string(Str(typeText)) + Str(kStrBmpTypeBitmap));

    const TQSBitmaps& library = GetBitmapLibrary();
    auto name = [&library](std::uint16_t bitmap) { return library.GetName(bitmap - 1); };
    if (mode_ == kStatic) {
        lines.push_back(FormatText(Str(kStrBmpNameLine), name(defaultBitmap_).c_str()));
    } else {
        lines.push_back(FormatText(Str(kStrBmpPointTagLine), GetTagName(tag_).c_str()));
        // A tag the project lacks reads as a blank one: Unsigned Word, no decimals.
        atag tag;
        if (!ReadAnalogTag(tag_, tag))
            tag = atag();
        auto valueText = [&tag](std::int32_t raw) -> std::string {
            if (tag.GetDataType() == kTypeText)
                return {};
            return FormatText(FormatText("%%.%df", tag.GetDecimals()).c_str(),
                              static_cast<double>(RawToShown(raw, tag.GetDataType(), tag.GetDecimals())));
        };
        auto withValue = [&](const BmpRecord& e) {
            lines.push_back(FormatText(Str(kStrBmpNameValueLine), name(e.bitmap).c_str(), valueText(e.value).c_str()));
        };
        if (mode_ == kDiscrete) {
            for (const BmpRecord& e : entries_)
                lines.push_back(FormatText(Str(kStrBmpNameLine), name(e.bitmap).c_str()));
        } else if (mode_ == kLimit) {
            const std::size_t limit = kind_ == kKindHighLimit ? 1 : 0;
            if (limit < entries_.size())
                withValue(entries_[limit]);
        } else {
            const std::size_t count = mode_ == kHighLowLimit ? std::min<std::size_t>(2, entries_.size()) : entries_.size();
            for (std::size_t i = 0; i < count; ++i)
                withValue(entries_[i]);
        }
    }
    GetDynBlink().Describe(lines);
    GetDynPosition().Describe(lines);
    lines.emplace_back();
}

void BitmapElem::Edit(TWindow* parent)
{
    // Elements of the oldest projects name a register or a bit of one;
    // offered once to become a tag element.
    const std::uint16_t kindBits = tag_ & kTagRefBit;
    const int registers = Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetInternalRegisterCount();
    if (mode_ != kStatic && (kindBits == 0x4000 || kindBits == kTagRefBit) &&
        (tag_ & kTagRefNumberMask) < registers) {
        if (TApp::MessageBox(nullptr, parent ? parent->GetHandle() : nullptr, Str(kStrOldTagKindQuestion),
                             Str(kStrOldTagKindCaption), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        tag_ = kindBits == kTagRefBit ? static_cast<std::uint16_t>(kTagRefDigital | 1) : 1;
    }
    OpenSheet(parent);
}

bool BitmapElem::IsAllowedOnPanel() const
{
    return PanelOfPage().bitmapSupport != 0;
}

std::uint16_t BitmapElem::GetTag() const
{
    return tag_;
}

void BitmapElem::SetTag(std::uint16_t tag)
{
    tag_ = tag;
}

std::string BitmapElem::GetTypeName() const
{
    return "obj_bmp";
}

// --- Copy and paste with pictures -------------------------------------------

std::vector<std::uint16_t*> BitmapElem::BitmapNumbers()
{
    std::vector<std::uint16_t*> numbers;
    if (mode_ != kDiscrete)
        numbers.push_back(&defaultBitmap_);
    for (BmpRecord& e : entries_)
        numbers.push_back(&e.bitmap);
    return numbers;
}

void BitmapElem::CopyBitmapsTo(BitmapPaster& paster) const
{
    for (std::uint16_t* number : const_cast<BitmapElem*>(this)->BitmapNumbers())
        paster.AddNumber(*number);
}

void BitmapElem::PasteBitmapsFrom(const BitmapPaster& paster)
{
    TQSBitmaps& library = GetBitmapLibrary();
    // Once the library is full every further picture would repeat its
    // message; the rest become "no bitmap" quietly.
    bool full = false;
    for (std::uint16_t* number : BitmapNumbers()) {
        const BitmapPaster::NamedDib* carried = paster.FindNumber(*number);
        int added = -1;
        if (carried && !full) {
            added = library.AddBitmap(carried->dib);
            full = added < 0 && library.FindFreeSlot() < 0;
        }
        *number = added > 0 ? static_cast<std::uint16_t>(added) : kNoBitmap;
    }
}
