// Numeric grid cells read whatever the engineer types or pastes: any bytes,
// any range. After ClampToRange the text must read as a value in the range.

#include "plintvlr/shell/controls/grid_cells.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const auto min = static_cast<std::uint16_t>(data[1] | (data[2] << 8));
    const auto max = static_cast<std::uint16_t>(data[3] | (data[4] << 8));
    const std::string text(reinterpret_cast<const char*>(data + 5), size - 5);
    // Cells without a window keep their text in the object. A cell starts at
    // a value inside its range, as the grid gives it one; an octal or
    // hexadecimal cell emptied keeps that value.
    std::unique_ptr<TGNumericEdit> edit;
    switch (data[0] % 3) {
    case 0:
        edit = std::make_unique<TGUShortEdit>(nullptr, 200, min, 0, 0, 40, 12, 11, min, max);
        break;
    case 1:
        edit = std::make_unique<TGOctalUShortEdit>(nullptr, 200, min, 0, 0, 40, 12, 11, min, max);
        break;
    default:
        edit = std::make_unique<TGHexUShortEdit>(nullptr, 200, min, 0, 0, 40, 12, 11, min, max);
        break;
    }
    // Typing and pasting stop at the cell's text limit, so a cell never
    // holds a longer text.
    const std::string typed = text.substr(0, std::min<std::size_t>(text.size(), edit->GetTextLimit()));
    edit->SetWindowText(typed.c_str());
    auto* validator = static_cast<TGNumberValidator*>(edit->GetValidator());
    const bool valid = validator->IsValid(typed.c_str());
    edit->GetValue();
    edit->ClampToRange();
    const std::string after = edit->GetWindowText();
    const TCellNumber number = ReadCellNumber(after.c_str(), 63, edit->Radix());
    if (!number.readable || number.value < validator->Min || number.value > validator->Max)
        std::abort();
    if (valid && after != typed.c_str())
        std::abort();  // a valid text is left alone
    const std::uint16_t value = edit->GetValue();
    if (value < validator->Min || value > validator->Max)
        std::abort();
    return 0;
}
