#pragma once
// Byte vectors written out by hand in hex; anything but hex digits (spaces,
// '|' between fields) only helps the eye.

#include <cctype>
#include <string>
#include <string_view>

inline std::string HexBytes(std::string_view text)
{
    std::string bytes;
    int high = -1;
    for (char ch : text) {
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            continue;
        int value = std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : std::tolower(ch) - 'a' + 10;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<char>(high * 16 + value));
            high = -1;
        }
    }
    return bytes;
}

#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> HexVector(std::string_view text)
{
    const std::string bytes = HexBytes(text);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}
