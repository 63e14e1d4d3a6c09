#pragma once
// Where an upload from a panel goes. The bytes are received into a new file
// beside the engineer's database file; only when the transfer has ended and
// the new file is a whole panel database (panel_image.h), and, where the
// route announced an exact size, exactly that many bytes arrived, does the
// new file take the old one's place. Otherwise the new file is removed and
// the old one stays byte for byte, so a broken or cancelled upload never
// costs the engineer a good database.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CUploadTarget {
public:
    enum class Result {
        Replaced,     // the new file is the database now
        NotWhole,     // not a whole panel database
        WrongSize,    // the route's announced size was not met
        WriteFailed,  // a write failed on the way, or the file could not be put in place
        NotOpen,      // Open was not called or failed
    };

    // `path`: the database file (database folder followed by its name).
    explicit CUploadTarget(std::string path);
    // Removes the new file unless Finish put it in place.
    ~CUploadTarget();
    CUploadTarget(const CUploadTarget&) = delete;
    CUploadTarget& operator=(const CUploadTarget&) = delete;

    // Creates the new file. On failure `error` gets the platform's file error text.
    bool Open(std::string* error = nullptr);
    // Appends bytes. On failure `error` gets the file error text; the upload
    // may go on, but Finish will not put the file in place.
    bool Write(const std::uint8_t* data, std::size_t count, std::string* error = nullptr);
    // Bytes received so far.
    std::uint64_t Position() const { return position_; }
    // The exact size the route announced.
    void ExpectSize(std::uint64_t size) { expected_ = size; }

    // Ends the upload: checks the new file and puts it in place, or removes it.
    Result Finish();
    // Ends the upload without using what arrived.
    void Abandon();

    const std::string& GetPath() const { return path_; }
    const std::string& GetNewPath() const { return newPath_; }

private:
    std::string path_;
    std::string newPath_;
    int handle_ = -1;
    std::uint64_t position_ = 0;
    std::optional<std::uint64_t> expected_;
    bool failed_ = false;
};
