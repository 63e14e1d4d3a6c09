#pragma once
// The pictures that travel with copied page elements: copies of library
// bitmaps under their numbers, so that a paste into another project can add
// them to that project's library.

#include "platform/base/dib.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TQSBitmaps;

class BitmapPaster {
public:
    struct NamedDib {
        TDib dib;
        std::string name;
    };
    struct NumberedDib {
        int number = 0;
        NamedDib named;
    };

    // Copies come from this library (the program's when none is given).
    explicit BitmapPaster(const TQSBitmaps* library = nullptr);

    // The copy of that number, or null.
    const NamedDib* FindNumber(int number) const;
    // Adds a copy of bitmap `number` (1-based) with its slot's name, unless
    // the number is 0, is listed already or its slot holds no bitmap.
    void AddNumber(int number);

    const std::vector<NumberedDib>& Entries() const { return entries_; }
    // Forgets every copy (a new copy of elements starts its own list).
    void ClearNumbers() { entries_.clear(); }
    // The project the copies were taken from (empty at first).
    const std::string& GetText() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

private:
    const TQSBitmaps* library_;
    std::vector<NumberedDib> entries_;
    std::string text_;
};
