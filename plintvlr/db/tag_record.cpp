#include "plintvlr/db/tag_record.h"

#include "platform/base/little_endian.h"

#include <algorithm>
#include <cstring>

bool TagRecordWriter::Room(std::size_t n)
{
    if (overflow_ || buffer_.size() - pos_ < n) {
        overflow_ = true;
        return false;
    }
    return true;
}

void TagRecordWriter::Byte(std::uint8_t value)
{
    if (Room(1))
        buffer_[pos_++] = value;
}

void TagRecordWriter::Word(std::uint16_t value)
{
    if (Room(2)) {
        PutLe16(buffer_.data() + pos_, value);
        pos_ += 2;
    }
}

void TagRecordWriter::Long(std::uint32_t value)
{
    if (Room(4)) {
        PutLe32(buffer_.data() + pos_, value);
        pos_ += 4;
    }
}

void TagRecordWriter::Text(std::string_view text, std::size_t most)
{
    text = text.substr(0, std::min({most, text.size(), std::size_t{255}}));
    if (Room(1 + text.size())) {
        buffer_[pos_++] = static_cast<std::uint8_t>(text.size());
        std::memcpy(buffer_.data() + pos_, text.data(), text.size());
        pos_ += text.size();
    }
}

bool TagRecordWriter::Address(const tagbase& tag, int i)
{
    TagAddressBuffer bytes{};
    int length = 0;
    const int kind = tag.GetAddress(i, bytes, length);
    if (kind == kAddressInvalid || kind == kAddressNone)
        return false;
    if (Room(2 + static_cast<std::size_t>(length))) {
        buffer_[pos_++] = static_cast<std::uint8_t>(kind);
        buffer_[pos_++] = static_cast<std::uint8_t>(length);
        std::memcpy(buffer_.data() + pos_, bytes.data(), static_cast<std::size_t>(length));
        pos_ += static_cast<std::size_t>(length);
    }
    return true;
}

void TagRecordWriter::Output(const tagbase& tag)
{
    if ((tag.GetFlags() & kTagFlagOutput) == 0)
        return;
    Byte(tag.GetReadAfterWrite());
    if (!Address(tag, kOutputAddress)) {
        Byte(0);
        Byte(0);
    }
}

void TagRecordWriter::Channels(const tagbase& tag, std::span<const int> addresses)
{
    if ((tag.GetFlags() & kTagFlagChannels) == 0)
        return;
    int byte = 0;
    int shift = 0;
    for (const int i : addresses) {
        byte |= ((tag.GetAddressChannel(i) - 1) & 3) << shift;
        shift += 2;
    }
    Byte(static_cast<std::uint8_t>(byte));
}

bool TagRecordReader::Need(std::size_t n)
{
    if (Failed())
        return false;
    if (record_.size() - pos_ < n) {
        result_ = TagUnpack::kCutOff;
        return false;
    }
    return true;
}

bool TagRecordReader::Byte(std::uint8_t& value)
{
    if (!Need(1))
        return false;
    value = record_[pos_++];
    return true;
}

bool TagRecordReader::Word(std::uint16_t& value)
{
    if (!Need(2))
        return false;
    value = GetLe16(record_.data() + pos_);
    pos_ += 2;
    return true;
}

bool TagRecordReader::Long(std::uint32_t& value)
{
    if (!Need(4))
        return false;
    value = GetLe32(record_.data() + pos_);
    pos_ += 4;
    return true;
}

bool TagRecordReader::Text(std::string& text, std::size_t most, std::size_t keep)
{
    if (!Need(1))
        return false;
    const std::size_t length = record_[pos_];
    if (length > most) {
        result_ = TagUnpack::kTextTooLong;
        return false;
    }
    if (!Need(1 + length))
        return false;
    const char* chars = reinterpret_cast<const char*>(record_.data() + pos_ + 1);
    // A NUL inside the stored characters ends the text, as it would in the panel.
    text.assign(TagText(std::string_view(chars, length), keep));
    pos_ += 1 + length;
    return true;
}

bool TagRecordReader::Address(tagbase& tag, int i)
{
    if (!Need(2))
        return false;
    const std::uint8_t kind = record_[pos_];
    const std::size_t length = record_[pos_ + 1];
    if (!Need(2 + length))
        return false;
    tag.SetAddress(i, record_.data() + pos_ + 2, length, static_cast<std::int8_t>(kind));
    pos_ += 2 + length;
    return true;
}

void TagRecordReader::Output(tagbase& tag)
{
    if ((tag.GetFlags() & kTagFlagOutput) == 0) {
        const std::uint8_t zero = 0;
        tag.SetAddress(kOutputAddress, &zero, 1, kAddressNone);
        return;
    }
    std::uint8_t readAfterWrite = 0;
    if (Byte(readAfterWrite))
        tag.SetReadAfterWrite(readAfterWrite);
    Address(tag, kOutputAddress);
}

void TagRecordReader::Channels(tagbase& tag, std::span<const int> addresses)
{
    std::uint8_t byte = 0;
    if ((tag.GetFlags() & kTagFlagChannels) == 0 || !Byte(byte))
        return;
    int shift = 0;
    for (const int i : addresses) {
        tag.SetAddressChannel(i, static_cast<std::uint8_t>(((byte >> shift) & 3) + 1));
        shift += 2;
    }
}
