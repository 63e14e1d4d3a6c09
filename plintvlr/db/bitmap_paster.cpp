#include "plintvlr/db/bitmap_paster.h"

#include "plintvlr/db/tqs_bitmaps.h"

BitmapPaster::BitmapPaster(const TQSBitmaps* library) : library_(library ? library : &GetBitmapLibrary()) {}

const BitmapPaster::NamedDib* BitmapPaster::FindNumber(int number) const
{
    for (const NumberedDib& entry : entries_)
        if (entry.number == number)
            return &entry.named;
    return nullptr;
}

void BitmapPaster::AddNumber(int number)
{
    if (number == 0 || FindNumber(number))
        return;
    const TDib* dib = library_->GetDib(number - 1);
    if (!dib)
        return;
    entries_.push_back({number, {*dib, library_->GetName(number - 1)}});
}
