#include "plintvlr/elements/dyn_attributes.h"

#include "platform/base/little_endian.h"
#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/elements/packed_point.h"
#include "plintvlr/shell/base/str.h"

namespace {

std::uint8_t* PutTag(std::uint8_t* at, std::uint16_t tag)
{
    PutLe16(at, tag);
    return at + 2;
}

// The animation moves an element in 20 ticks and puts it back on the 21st.
constexpr int kMoveSteps = 20;

}  // namespace

// --- Position ---------------------------------------------------------------

TPoint TDynPosition::GetOffset() const
{
    return {xTag_ ? xOffset_ : 0, yTag_ ? yOffset_ : 0};
}

void TDynPosition::SetOffset(const TPoint& offset)
{
    if (offset.x == xOffset_ && offset.y == yOffset_)
        return;
    xOffset_ = offset.x;
    yOffset_ = offset.y;
    step_ = 0;
}

void TDynPosition::SaveRect(const TRect& rect)
{
    if (saved_)
        return;
    savedRect_ = rect;
    saved_ = true;
    step_ = 0;
}

void TDynPosition::ResetAnimation()
{
    saved_ = false;
    step_ = 0;
}

void TDynPosition::AnimateStep(TRect& rect)
{
    if (step_ >= kMoveSteps) {
        rect = savedRect_;
        step_ = 0;
        return;
    }
    // One twentieth of an offset in pixels is the offset in page units.
    const TPoint offset = GetOffset();
    rect = rect.Offset(offset.x, -offset.y);
    ++step_;
}

std::uint8_t* TDynPosition::Pack(std::uint8_t* at, std::uint8_t& flags) const
{
    if (!IsActive())
        return at;
    at = PackXY(xOffset_, yOffset_, at);
    if (xTag_) {
        flags |= kDynPositionX;
        at = PutTag(at, xTag_);
    }
    if (yTag_) {
        flags |= kDynPositionY;
        at = PutTag(at, yTag_);
    }
    return at;
}

bool TDynPosition::Unpack(RecordReader& in, std::uint8_t flags)
{
    int x = 0;
    int y = 0;
    std::uint16_t xTag = 0;
    std::uint16_t yTag = 0;
    if (flags & (kDynPositionX | kDynPositionY)) {
        if (!UnpackXY(x, y, in))
            return false;
        if ((flags & kDynPositionX) && !in.ReadWord(xTag))
            return false;
        if ((flags & kDynPositionY) && !in.ReadWord(yTag))
            return false;
    }
    // A stored position that moves nothing (a tag without an offset, an
    // offset without a tag) reads as none, as it will be written: otherwise
    // the element would hold tags it drops when saved, and a group listing
    // its members' tags would change each time it is read and saved.
    const bool moves = (xTag != 0 && x != 0) || (yTag != 0 && y != 0);
    xTag_ = moves ? xTag : 0;
    yTag_ = moves ? yTag : 0;
    xOffset_ = moves ? x : 0;
    yOffset_ = moves ? y : 0;
    return true;
}

void TDynPosition::Describe(ReportLines& lines) const
{
    if (IsXActive())
        lines.push_back(FormatText(Str(kStrXPositionLine), GetTagName(xTag_).c_str(), xOffset_));
    if (IsYActive())
        lines.push_back(FormatText(Str(kStrYPositionLine), GetTagName(yTag_).c_str(), yOffset_));
}

bool TDynPosition::operator==(const TDynPosition& other) const
{
    return xTag_ == other.xTag_ && yTag_ == other.yTag_ && xOffset_ == other.xOffset_ &&
           yOffset_ == other.yOffset_;
}

// --- Rotation ---------------------------------------------------------------

TPoint TDynRotation::GetCentre() const
{
    return {centreX_ * kUnitsPerPixel, (GetScreenSize().cy - centreY_) * kUnitsPerPixel};
}

std::uint8_t* TDynRotation::Pack(std::uint8_t* at, std::uint8_t& flags) const
{
    if (!IsActive())
        return at;
    flags |= kDynRotation;
    at = PackPoint(centreX_, centreY_, at);
    return PutTag(at, tag_);
}

bool TDynRotation::Unpack(RecordReader& in, std::uint8_t flags)
{
    int x = 0;
    int y = 0;
    std::uint16_t tag = 0;
    if ((flags & kDynRotation) && (!UnpackPoint(x, y, in) || !in.ReadWord(tag)))
        return false;
    tag_ = tag;
    centreX_ = x;
    centreY_ = y;
    return true;
}

void TDynRotation::Describe(ReportLines& lines) const
{
    if (IsActive())
        lines.push_back(FormatText(Str(kStrRotationLine), GetTagName(tag_).c_str(), centreX_, centreY_));
}

// --- Fill -------------------------------------------------------------------

TRect TDynFill::FillPart(const TRect& rect, int mode, double f)
{
    TRect r = rect;
    const int w = rect.Width();
    const int h = rect.Height();
    // Products are truncated toward zero, as the panel computes them.
    auto part = [](double value) { return static_cast<int>(value); };
    switch (mode) {
    case 0:
        r.top = rect.bottom - part(h * f);
        break;
    case 1:
        r.right = rect.left + part(w * f);
        break;
    case 2:
        if (f < 0.5) {
            r.top = rect.top + h / 2;
            r.bottom = rect.bottom - part(h * f);
        } else {
            r.top = rect.top + part((1 - f) * h);
            r.bottom = rect.bottom - h / 2;
        }
        break;
    case 3:
        if (f < 0.5) {
            r.right = rect.right - w / 2;
            r.left = rect.left + part(w * f);
        } else {
            r.right = rect.right - part((1 - f) * w);
            r.left = rect.left + w / 2;
        }
        break;
    case 4: {
        const int d = part((0.5 - 0.5 * f) * h);
        r.top = rect.top + d;
        r.bottom = rect.bottom - d;
        break;
    }
    default: {
        const int d = part((0.5 - 0.5 * f) * w);
        r.left = rect.left + d;
        r.right = rect.right - d;
        break;
    }
    }
    return r;
}

TRect TDynFill::GetFillRect(const TRect& rect, int step) const
{
    if (!IsActive())
        return rect;
    const int n = ((step % kAnimationCycle) + kAnimationCycle) % kAnimationCycle;
    const double f = n == 0 ? 1.0 : static_cast<double>(n) / kAnimationCycle;
    return FillPart(rect, mode_, f);
}

std::uint8_t* TDynFill::Pack(std::uint8_t* at, std::uint8_t& flags) const
{
    if (!IsActive())
        return at;
    flags |= kDynFill;
    *at++ = static_cast<std::uint8_t>(mode_);
    return PutTag(at, tag_);
}

bool TDynFill::Unpack(RecordReader& in, std::uint8_t flags)
{
    std::uint8_t mode = 0;
    std::uint16_t tag = 0;
    if ((flags & kDynFill) && (!in.ReadByte(mode) || !in.ReadWord(tag)))
        return false;
    mode_ = mode;
    tag_ = tag;
    return true;
}

std::string TDynFill::ModeText(int mode)
{
    const bool vertical = mode == 0 || mode == 2 || mode == 4;
    const int kind = mode <= 1 ? kStrFillGraph : mode <= 3 ? kStrFillChart : kStrFillBand;
    return std::string(Str(vertical ? kStrFillVertical : kStrFillHorizontal)) + Str(kind);
}

void TDynFill::Describe(ReportLines& lines) const
{
    if (IsActive())
        lines.push_back(FormatText(Str(kStrFillLine), GetTagName(tag_).c_str(), ModeText(mode_).c_str()));
}

// --- Blink ------------------------------------------------------------------

void TDynBlink::SetState(std::uint8_t bits, bool on)
{
    mask_ = static_cast<std::uint8_t>(on ? mask_ | bits : mask_ & ~bits);
}

bool TDynBlink::IsBlinkPhase(int step) const
{
    if (IsUnconditional())
        return true;
    if (!IsActive())
        return false;
    return ((step % kAnimationCycle) + kAnimationCycle) % kAnimationCycle < 10;
}

int TDynBlink::GetColorIndex(const ColorPoint& colors, int step) const
{
    const int n = ((step % kAnimationCycle) + kAnimationCycle) % kAnimationCycle;
    return colors.GetAnimatedIndex(IsBlinkPhase(n), n);
}

std::uint8_t* TDynBlink::Pack(std::uint8_t* at, std::uint8_t& flags) const
{
    if (IsUnconditional()) {
        flags |= kDynBlinkAlways;
        return at;
    }
    if (!IsActive())
        return at;
    flags |= kDynBlinkByTag;
    *at++ = mask_;
    return PutTag(at, tag_);
}

bool TDynBlink::Unpack(RecordReader& in, std::uint8_t flags)
{
    std::uint8_t mask = 0;
    std::uint16_t tag = 0;
    if (flags & kDynBlinkAlways)
        mask = kAlways;
    else if ((flags & kDynBlinkByTag) && (!in.ReadByte(mask) || !in.ReadWord(tag)))
        return false;
    // Read as it will be written (see the position above).
    *this = FromStored(tag, mask);
    return true;
}

TDynBlink TDynBlink::FromStored(std::uint16_t tag, std::uint8_t mask)
{
    if ((mask & kAlways) == kAlways)
        mask = kAlways;
    if (mask == 0 || mask == kAlways)
        tag = 0;
    return TDynBlink(tag, mask);
}

void TDynBlink::Describe(ReportLines& lines) const
{
    if (IsUnconditional()) {
        lines.push_back(Str(kStrUnconditionalBlink));
        return;
    }
    if (!IsActive())
        return;
    std::uint16_t tag = 0;
    int dataType = 0;
    GetTag(tag, dataType);
    lines.push_back(FormatText(Str(kStrBlinkLine), GetTagName(tag).c_str(), GetDataTypeText(dataType).c_str(),
                               StatesText(mask_).c_str()));
}
