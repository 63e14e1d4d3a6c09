#include "plintvlr/elements/tag_mask.h"

#include "platform/base/little_endian.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/shell/base/str.h"

namespace {

// Show/hide-order bit of state i.
constexpr std::uint8_t StateBit(int state)
{
    return static_cast<std::uint8_t>(0x08 >> state);
}

// The byte that carries two states: the first in the low nibble, the second
// in the high one.
std::uint8_t StatePairByte(std::uint8_t mask, int firstState)
{
    return static_cast<std::uint8_t>(((mask & StateBit(firstState)) ? 0x01 : 0) |
                                     ((mask & StateBit(firstState + 1)) ? 0x10 : 0));
}

std::uint8_t StatesOfPairByte(std::uint8_t byte, int firstState)
{
    return static_cast<std::uint8_t>(((byte & 0x0F) ? StateBit(firstState) : 0) |
                                     ((byte & 0xF0) ? StateBit(firstState + 1) : 0));
}

}  // namespace

std::uint8_t ReverseStateBits(std::uint8_t mask)
{
    return static_cast<std::uint8_t>(((mask & 0x01) << 3) | ((mask & 0x02) << 1) | ((mask & 0x04) >> 1) |
                                     ((mask & 0x08) >> 3));
}

std::string StatesText(std::uint8_t mask)
{
    std::string text;
    for (int state = 0; state < 4; ++state) {
        if (mask & (1 << state)) {
            if (!text.empty())
                text += ", ";
            text += std::to_string(state);
        }
    }
    return text;
}

void TTagMask::SetTag(std::uint16_t tag, int dataType)
{
    JoinTagRefBit(tag, dataType);
    tag_ = tag;
}

void TTagMask::GetTag(std::uint16_t& tag, int& dataType) const
{
    tag = tag_;
    SplitTagRefBit(tag, dataType);
}

void DynamicData::SetTag(std::uint16_t tag, int dataType)
{
    active_ = (tag & kTagRefNumberMask) != 0;
    TTagMask::SetTag(tag, dataType);
}

void DynamicData::GetTag(std::uint16_t& tag, int& dataType) const
{
    if (!active_) {
        tag = 0;
        dataType = 0;
        return;
    }
    TTagMask::GetTag(tag, dataType);
}

void DynamicData::SetMask(std::uint8_t mask)
{
    mask_ = ReverseStateBits(mask);
}

std::uint8_t DynamicData::GetMask() const
{
    return ReverseStateBits(mask_);
}

std::uint8_t* DynamicData::PackShowHide(std::uint8_t* at) const
{
    if (!active_) {
        *at++ = 0x10;
        *at++ = 0x01;
        return at;
    }
    const bool statusBit = (tag_ & kTagRefBit) == kTagRefBit;
    *at++ = statusBit ? 0x20 : 0x40;
    *at++ = StatePairByte(mask_, 0);
    if (!statusBit)
        *at++ = StatePairByte(mask_, 2);
    PutLe16(at, tag_);
    return at + 2;
}

bool DynamicData::UnpackShowHide(RecordReader& in)
{
    // The form is told by the same bits as a colour spec's: 0x20 one byte of
    // states and a reference, 0x40 two bytes and a reference, anything else
    // the inactive form, whose second byte must be read too.
    std::uint8_t form = 0;
    std::uint8_t states = 0;
    if (!in.ReadByte(form) || !in.ReadByte(states))
        return false;
    std::uint8_t mask = 0;
    std::uint16_t tag = 0;
    const bool active = (form & 0x60) != 0;
    if (active) {
        mask = StatesOfPairByte(states, 0);
        if (!(form & 0x20)) {
            if (!in.ReadByte(states))
                return false;
            mask |= StatesOfPairByte(states, 2);
        }
        if (!in.ReadWord(tag))
            return false;
    }
    active_ = active;
    mask_ = mask;
    tag_ = tag;
    return true;
}

std::uint8_t* DynamicData::PackCompact(std::uint8_t* at) const
{
    if (!active_) {
        *at++ = 0x10;
        *at++ = 0x01;
        return at;
    }
    const bool digital = (tag_ & kTagRefBit) == kTagRefDigital;
    *at++ = digital ? 0x40 : 0x20;
    *at++ = StatePairByte(mask_, 0);
    if (digital)
        *at++ = StatePairByte(mask_, 2);
    return at;
}

bool DynamicData::UnpackCompact(RecordReader& in)
{
    std::uint8_t form = 0;
    std::uint8_t states = 0;
    if (!in.ReadByte(form) || !in.ReadByte(states))
        return false;
    const int n = form >> 4;
    std::uint8_t mask = StatesOfPairByte(states, 0);
    if (n > 2) {
        if (!in.ReadByte(states))
            return false;
        mask |= StatesOfPairByte(states, 2);
    }
    active_ = n > 1;
    mask_ = active_ ? mask : 0;
    return true;
}

void DynamicData::Describe(ReportLines& lines) const
{
    if (!active_ || (mask_ & 0x0F) == 0)
        return;
    std::uint16_t tag = 0;
    int dataType = 0;
    GetTag(tag, dataType);
    lines.push_back(FormatText(Str(kStrShowHideLine), GetTagName(tag).c_str(), GetDataTypeText(dataType).c_str(),
                               StatesText(GetMask()).c_str()));
}
