#include "plintvlr/elements/color_point.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/shell/base/str.h"

namespace {

std::uint8_t Nibbles(int low, int high)
{
    return static_cast<std::uint8_t>((low & 0x0F) | (high & 0x0F) << 4);
}

void SetPair(std::array<std::uint8_t, 4>& colors, int first, std::uint8_t byte)
{
    colors[first] = byte & 0x0F;
    colors[first + 1] = byte >> 4;
}

}  // namespace

void ColorPoint::SetTag(std::uint16_t tag)
{
    if (count_ < 2)
        return;
    switch (tag & kTagRefBit) {
    case 0:
        kind_ = 0;
        number_ = tag;
        break;
    case kTagRefDigital:
        kind_ = 2;
        number_ = tag & kTagRefNumberMask;
        break;
    default:
        break;
    }
}

std::uint16_t ColorPoint::GetTag() const
{
    return HasTag() ? Reference() : 0;
}

void ColorPoint::SetTagReference(std::uint16_t tag)
{
    kind_ = static_cast<std::uint8_t>(tag >> 14);
    number_ = tag & kTagRefNumberMask;
}

void ColorPoint::SetBackground(int index)
{
    background_ = static_cast<std::uint8_t>(PaletteIndex(index));
}

void ColorPoint::SetCount(int count)
{
    // A count of 0 would divide by zero in the animation, one above 4 read
    // past the colours.
    count_ = static_cast<std::uint8_t>(count == 2 || count == 4 ? count : 1);
}

void ColorPoint::SetColorIndex(int state, int index)
{
    colors_[state & 3] = static_cast<std::uint8_t>(PaletteIndex(index));
}

TColor ColorPoint::GetColor(int state) const
{
    if (state >= 0 && state < count_)
        return PaletteColor(colors_[state]);
    return PaletteColor(IsColorPanel() ? kWhite : kBlack);
}

int ColorPoint::GetAnimatedIndex(bool blinkPhase, int step) const
{
    if (step < 0)
        step = 0;
    if (!IsColorPanel())
        return blinkPhase && step % 2 ? kWhite : kBlack;
    if (!blinkPhase)
        return colors_[step % count_];
    return step % 2 ? background_ : colors_[(step / 2) % count_];
}

std::uint8_t* ColorPoint::Pack(std::uint8_t* at) const
{
    switch (count_) {
    case 2:
        *at++ = static_cast<std::uint8_t>(background_ | 0x20);
        *at++ = Nibbles(colors_[0], colors_[1]);
        if (kind_ < kNoTagKind) {
            PutLe16(at, Reference());
            at += 2;
        }
        return at;
    case 4:
        *at++ = static_cast<std::uint8_t>(background_ | 0x40);
        *at++ = Nibbles(colors_[0], colors_[1]);
        *at++ = Nibbles(colors_[2], colors_[3]);
        PutLe16(at, Reference());
        return at + 2;
    default:
        *at++ = static_cast<std::uint8_t>(background_ | 0x10);
        *at++ = colors_[0];
        return at;
    }
}

bool ColorPoint::Unpack(RecordReader& in)
{
    ColorPoint read = *this;
    std::uint8_t form = 0;
    std::uint8_t pair = 0;
    if (!in.ReadByte(form) || !in.ReadByte(pair))
        return false;
    read.background_ = form & 0x0F;
    std::uint16_t tag = 0;
    if (form & 0x20) {
        read.count_ = 2;
        SetPair(read.colors_, 0, pair);
        // Attributes without a tag (touch regions) store no reference.
        if (kind_ < kNoTagKind) {
            if (!in.ReadWord(tag))
                return false;
            read.SetTagReference(tag);
        }
    } else if (form & 0x40) {
        std::uint8_t pair2 = 0;
        if (!in.ReadByte(pair2) || !in.ReadWord(tag))
            return false;
        read.count_ = 4;
        SetPair(read.colors_, 0, pair);
        SetPair(read.colors_, 2, pair2);
        read.SetTagReference(tag);
    } else {
        read.count_ = 1;
        read.colors_[0] = pair & 0x0F;
    }
    *this = read;
    return true;
}

std::uint8_t* ColorPoint::PackCompact(std::uint8_t* at) const
{
    *at++ = static_cast<std::uint8_t>(count_ << 4 | background_);
    if (count_ == 1) {
        *at++ = colors_[0];
        return at;
    }
    *at++ = Nibbles(colors_[0], colors_[1]);
    if (count_ == 4)
        *at++ = Nibbles(colors_[2], colors_[3]);
    return at;
}

bool ColorPoint::UnpackCompact(RecordReader& in)
{
    ColorPoint read = *this;
    std::uint8_t form = 0;
    std::uint8_t pair = 0;
    if (!in.ReadByte(form) || !in.ReadByte(pair))
        return false;
    read.background_ = form & 0x0F;
    read.SetCount(form >> 4);
    if (read.count_ == 1) {
        read.colors_[0] = static_cast<std::uint8_t>(PaletteIndex(pair));
    } else {
        SetPair(read.colors_, 0, pair);
        if (read.count_ == 4) {
            if (!in.ReadByte(pair))
                return false;
            SetPair(read.colors_, 2, pair);
        }
    }
    *this = read;
    return true;
}

void ColorPoint::Describe(bool isElement, ReportLines& lines) const
{
    const std::string label = Str(isElement ? kStrColorLabelElement : kStrColorLabelBorder);
    std::string line = HasTag() ? FormatText(Str(kStrColorsWithTag), label.c_str(), GetTagName(Reference()).c_str())
                                : FormatText(Str(kStrColors), label.c_str());
    const std::string background = PaletteColorName(background_);
    std::string names[4];
    for (int i = 0; i < 4; ++i)
        names[i] = PaletteColorName(colors_[i]);
    switch (count_) {
    case 2:
        line += FormatText(Str(kStrColorsTwo), names[0].c_str(), names[1].c_str(), background.c_str());
        break;
    case 4:
        line += FormatText(Str(kStrColorsFour), names[0].c_str(), names[1].c_str(), names[2].c_str(),
                           names[3].c_str(), background.c_str());
        break;
    default:
        line += FormatText(Str(kStrColorsOne), names[0].c_str(), background.c_str());
        break;
    }
    lines.push_back(line);
}

bool ColorPoint::operator==(const ColorPoint& other) const
{
    return kind_ == other.kind_ && number_ == other.number_ && background_ == other.background_ &&
           count_ == other.count_ && colors_ == other.colors_;
}
