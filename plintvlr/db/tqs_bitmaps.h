#pragma once
// The project bitmap library: one object for the whole program, emptied and
// reloaded each time a project opens. It keeps up to 300 monochrome bitmaps
// of the open project, each under a short name, and up to 20 button styles.
//
// Slots are numbered 0-299 here; a bitmap's number is its slot + 1, the key
// of its record in project table 15 (a 16-bit copy of the key, then the
// bytes of a monochrome .bmp file). The names live in "BITMAPS.NAM" in the
// project folder, one line per slot, read back word by word. Styles are made
// at project open from the default style files and "styles.cfg".
//
// Every bitmap that enters the library, from a file, a record or memory, is
// read by the one bitmap reader (TDib), which checks every header field
// against the bytes present, and is stored back in its canonical file form.

#include "platform/base/dib.h"
#include "platform/base/geometry.h"
#include "plintvlr/db/project_services.h"
#include "plintvlr/db/stylebase.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TQSBitmaps : public ProjectBitmapLibrary {
public:
    static constexpr int kSlotCount = 300;
    static constexpr int kStyleCount = 20;
    static constexpr int kStyleStates = 4;
    // A slot name keeps at most this many characters.
    static constexpr std::size_t kMaxName = 14;
    // Record data of table 15: the key copy and at most this many file bytes.
    static constexpr std::size_t kMaxFileBytes = 65533;

    TQSBitmaps();
    ~TQSBitmaps() override;
    TQSBitmaps(const TQSBitmaps&) = delete;
    TQSBitmaps& operator=(const TQSBitmaps&) = delete;

    // Project open and close.
    void ClearAll() override;
    void Load() override;
    void WriteNameFile() override;

    // Slots.
    std::string GetName(int slot) const;
    bool HasBitmap(int slot) const;
    const TDib* GetDib(int slot) const;
    // The first empty slot, -1 when all hold a bitmap.
    int FindFreeSlot() const;
    // Store a copy in an empty slot: 1, or 2 when the slot is outside 0-299
    // or holds a bitmap already.
    int SetSlot(int slot, const TDib& dib, std::string_view name);
    int SetSlotDib(int slot, const TDib& dib);
    // Empties the slot and names it "Bitmap-%d"; always 1.
    int ClearSlot(int slot);

    // Imports a .bmp file into an empty slot and the project. True when the
    // bitmap was added; outSlot is the slot used, the slot of an identical
    // stored bitmap (the answer is then false), or -1.
    bool ImportFile(std::string_view fileName, int slot, int& outSlot, bool allowDuplicate);
    // Adds a bitmap to the first free slot: its 1-based number (that of an
    // identical stored bitmap when there is one), or -1.
    int AddBitmap(const TDib& dib);
    // Empties the slot and deletes its record; always 1.
    int DeleteBitmap(int slot);

    // Styles: the new style's number, -2 when all 20 are used or a picture
    // cannot be read, -1 when it cannot be made.
    int AddStyleFromFiles(const std::string (&files)[kStyleStates]) override;
    int AddStyle(std::span<const TDib, kStyleStates> dibs);
    void SetStylePoints(int style, PanelPoint state0, PanelPoint state1) override;
    PanelPoint GetStylePoint(int style, int state) const;
    const TDib* GetStyleStateDib(int style, int state) const;
    // The size of the style's first picture; 10 x 10 when it has none.
    TSize GetStyleSize(int style) const;
    bool HasStyle(int style) const;
    const stylebase* GetStyle(int style) const;
    // Used style slots before the first empty one.
    int CountStyles() const;
    // The style whose four pictures equal the bitmaps of the four slots; -1
    // when none does or a slot is empty.
    int FindStyle(const int (&slots)[kStyleStates]) const;
    // Puts the style's pictures into the library: each state's slot is one
    // that holds an equal bitmap, else the highest empty slot, into which the
    // picture is imported. False (after telling the engineer) when a picture
    // could not be placed; that state's slot is then -1.
    bool ResolveStyleBitmaps(int style, int (&slots)[kStyleStates]);

    // The name an empty slot has: "Bitmap-%d" with the 1-based number.
    static std::string DefaultName(int slot);

private:
    struct Slot {
        std::string name;
        std::unique_ptr<TDib> dib;
    };
    enum class ImportResult { Added, Duplicate, Refused };

    // Checks a picture and stores it in the slot and table 15, as every
    // import does. `shortName` is the file name the picture came from.
    ImportResult Import(const TDib& dib, std::string_view shortName, int slot, int& outSlot, bool allowDuplicate);
    int FindSameBitmap(const TDib& dib) const;
    int FindFreeStyle() const;
    static bool IsSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

    std::array<Slot, kSlotCount> slots_;
    std::array<std::unique_ptr<stylebase>, kStyleCount> styles_;
};

// The program's one bitmap library. It is never destroyed, so a project that
// closes while the program's statics go away can still save its names.
TQSBitmaps& GetBitmapLibrary();
