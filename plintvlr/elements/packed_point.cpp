#include "plintvlr/elements/packed_point.h"

#include "plintvlr/elements/panel_queries.h"

std::uint8_t* PackXY(int x, int y, std::uint8_t* at)
{
    at[0] = static_cast<std::uint8_t>(((x >> 8) & 0x0F) << 4 | ((y >> 8) & 0x0F));
    at[1] = static_cast<std::uint8_t>(x & 0xFF);
    at[2] = static_cast<std::uint8_t>(y & 0xFF);
    return at + 3;
}

bool UnpackXY(int& x, int& y, RecordReader& in)
{
    std::uint8_t bytes[3];
    if (!in.ReadBytes(bytes, 3))
        return false;
    x = (bytes[0] >> 4) << 8 | bytes[1];
    y = (bytes[0] & 0x0F) << 8 | bytes[2];
    return true;
}

std::uint8_t* PackPoint(int x, int y, std::uint8_t* at)
{
    return PackXY(x, y + GetScreenYOrigin(), at);
}

bool UnpackPoint(int& x, int& y, RecordReader& in)
{
    if (!UnpackXY(x, y, in))
        return false;
    y -= GetScreenYOrigin();
    return true;
}
