#pragma once
// The panel fonts of the open project. Font 0 is the panel model's own font;
// fonts 1-9 are copies of bitmap font files (.FNT) stored in the project as
// system records 180 + number, each the u16 key copy followed by the file.

#include "plintvlr/db/quellstor.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class adatabase;

struct font_entry {
    std::uint8_t number = 0;
    std::uint16_t key = 0;  // 180 + number; 0 for font 0
    std::int32_t cellWidth = 0;
    std::int32_t cellHeight = 0;
    std::string face;  // empty = not loaded
};

class fontmanager {
public:
    static constexpr int kFontCount = 10;
    static constexpr std::uint16_t kFirstFontRecord = 180;

    // Loads the project's fonts for the panel type.
    fontmanager(adatabase* db, int panelType);
    virtual ~fontmanager();
    fontmanager(const fontmanager&) = delete;
    fontmanager& operator=(const fontmanager&) = delete;

    void Load(int panelType);
    void Clear();
    // Frees every entry and loads them again for the panel type.
    void Reload(int panelType);

    std::uint8_t GetDefaultFont() const { return defaultFont_; }
    void SetDefaultFont(std::uint8_t n) { defaultFont_ = n; }
    // The face of font n, or font 0's when n is not loaded (or not 0-9).
    const char* GetFontName(int n) const;
    // The cell of font n, or font 0's when n has none.
    PanelSize GetFontSize(int n) const;
    // The number 0-9 whose face is this name, -1 when none.
    int FindFont(const char* face) const;
    bool IsPanelFont(const char* face) const;
    // The lowest number 1-9 without a face; 255 when all are taken.
    int FindFreeNumber() const;
    const font_entry* GetEntry(int n) const;

    // Stores the face's .fnt file as font n (1-9) and adds n to the font
    // directory. False, storing nothing, when the face has no readable file
    // with a fixed cell or the file is too large for a record.
    bool AddFont(int n, const char* face);
    // Deletes font n's record, frees its entry and takes it off the directory.
    void RemoveFont(int n);

    // The installed panel fonts (the program's font tree).
    static std::size_t GetFontFileSize(const char* face);
    static const char* GetInstalledFace(int i);
    static PanelSize GetInstalledCellSize(const char* face);
    // The face's file opened for reading, -1 when it has none.
    static int OpenFontFile(const char* face);

    static constexpr std::uint16_t kDirectoryRecord = 121;
    static constexpr std::size_t kDirectorySize = 34;

private:
    // The directory record's numbers: adds or removes n.
    void UpdateDirectory(int n, bool add);

    adatabase* db_;
    std::uint8_t defaultFont_ = 0;
    std::array<std::unique_ptr<font_entry>, kFontCount> entries_;
};

// Parses a stored font record (key copy + .FNT file) into the entry's cell
// size and face; false, leaving the entry as it was, for a record that does
// not hold a readable font.
bool ParseFontRecord(const std::uint8_t* record, std::size_t length, font_entry& entry);

// Registers the font manager with the project database (at start-up).
void RegisterElementsCoreServices();
