#pragma once
// Files and folders as the programs see them: names match without regard to
// case ("dtb-0A.db3" and "dtb-0a.db3" are one file) and may use '\' as the
// separator, as stored paths do. Handles are small integers of a low-level,
// unbuffered file interface; every call reports failure by its result.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FileMode { ReadOnly, ReadWrite };

// The path to use with the operating system for a name as the programs write
// it: '\' becomes '/', and each existing component is matched without regard
// to case. Components that do not exist yet are kept as written.
std::string ResolvePath(std::string_view name);

// Low-level handles. -1 is the failed handle.
int FileOpen(std::string_view name, FileMode mode);
// Creates or truncates; new files get read and write permission for the owner only.
int FileCreate(std::string_view name);
void FileClose(int handle);
// Positioned transfers: the count of bytes moved, or -1. A short count at the
// end of the file is not an error.
long FileReadAt(int handle, void* buffer, std::size_t count, std::int64_t offset);
long FileWriteAt(int handle, const void* buffer, std::size_t count, std::int64_t offset);
// Sequential transfers from the handle's current position.
long FileRead(int handle, void* buffer, std::size_t count);
long FileWrite(int handle, const void* buffer, std::size_t count);
// SEEK_SET / SEEK_CUR / SEEK_END semantics; the new position or -1.
std::int64_t FileSeek(int handle, std::int64_t offset, int whence);
// The current size of an open file, or -1.
std::int64_t FileLength(int handle);
bool FileTruncate(int handle, std::int64_t length);

// Whole files and folders, by name.
bool FileExists(std::string_view name);
bool DirExists(std::string_view name);
std::int64_t FileSizeOf(std::string_view name);  // -1 when missing
bool FileDelete(std::string_view name);
bool FileRename(std::string_view from, std::string_view to);
bool FileCopy(std::string_view from, std::string_view to);
bool MakeDir(std::string_view name);  // also makes missing parents
bool RemoveDirTree(std::string_view name);
// Names (not paths) of the entries of a folder that match a pattern with '*'
// and '?' wildcards, compared without regard to case; sorted.
std::vector<std::string> ListDir(std::string_view folder, std::string_view pattern = "*");
// The entries of one folder, read once, for a caller that looks up many names
// in it (most of them missing) within one operation: each look-up answers as
// ResolvePath would for the folder and that name while the folder stays as it
// was read, without reading the folder again. Keep one no longer than the
// operation that made it.
class FolderNames {
public:
    explicit FolderNames(std::string_view folder);
    // The path of the entry: its name as stored (an exact match first, else
    // the first entry equal to it without regard to case) in the folder;
    // empty when the folder holds none.
    std::string Find(std::string_view name) const;

private:
    std::string folder_;
    std::vector<std::string> names_;  // in the folder's own order
};

bool ReadWholeFile(std::string_view name, std::string& contents);
bool WriteWholeFile(std::string_view name, std::string_view contents);
// Writes the contents to a new file next to `name` and renames it over
// `name`, so a write that fails (a full disk) leaves the old file whole and
// no stray new file behind.
bool ReplaceWholeFile(std::string_view name, std::string_view contents);

// Case-insensitive wildcard match ('*' any run, '?' one character).
bool WildcardMatch(std::string_view pattern, std::string_view text);

// A test-only fault injector for the low-level writes and reads, so callers'
// failure paths can be exercised. Counts are of FileWrite/FileWriteAt calls
// (or reads) from the moment the fault is armed; 1 = the next call.
namespace FileFaults {
// The Nth write fails outright (-1, nothing written).
void FailWrite(int nth);
// The Nth write stores only `keep` bytes and reports that count.
void ShortWrite(int nth, std::size_t keep);
// The Nth read fails outright.
void FailRead(int nth);
// Every later write fails (a full disk).
void FailAllWritesFrom(int nth);
void Reset();
}  // namespace FileFaults
