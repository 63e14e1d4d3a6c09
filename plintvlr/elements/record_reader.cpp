#include "plintvlr/elements/record_reader.h"

#include "platform/base/little_endian.h"

#include <cstring>

bool RecordReader::Take(std::size_t count)
{
    if (failed_ || !at_ || count > static_cast<std::size_t>(end_ - at_)) {
        failed_ = true;
        return false;
    }
    return true;
}

bool RecordReader::ReadByte(std::uint8_t& value)
{
    if (!Take(1))
        return false;
    value = *at_++;
    return true;
}

bool RecordReader::ReadWord(std::uint16_t& value)
{
    if (!Take(2))
        return false;
    value = GetLe16(at_);
    at_ += 2;
    return true;
}

bool RecordReader::ReadBytes(void* output, std::size_t count)
{
    if (!Take(count))
        return false;
    if (count)
        std::memcpy(output, at_, count);
    at_ += count;
    return true;
}

bool RecordReader::Skip(std::size_t count)
{
    if (!Take(count))
        return false;
    at_ += count;
    return true;
}

bool RecordReader::MoveTo(const std::uint8_t* position)
{
    if (failed_ || !position || position < at_ || position > end_) {
        failed_ = true;
        return false;
    }
    at_ = position;
    return true;
}
