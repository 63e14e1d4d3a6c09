#pragma once
// The hand-off file: the configuration program's Transfer command writes,
// under section "File Locations" of the profile file "QSTRANS.INI", where the
// compiled database, the protocol drivers and the system software lie; the
// transfer program reads it once, at start.

#include <cstddef>
#include <string>
#include <vector>

struct CFileLocations {
    // A key that is missing leaves one blank, which the fields then show.
    static constexpr const char* kMissing = " ";
    // The longest value used: a longer one is refused whole, never used cut.
    static constexpr std::size_t kLongestValue = 4095;

    std::string databasePath = kMissing;
    std::string databaseName = kMissing;
    std::string protocolPath = kMissing;
    std::string systemPath = kMissing;
};

// Reads the hand-off file. Each value refused for its length is left at
// kMissing and its message (the text to show) added to `refused`.
CFileLocations ReadHandOffFile(std::vector<std::string>* refused = nullptr);

