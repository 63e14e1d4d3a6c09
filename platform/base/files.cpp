#include "platform/base/files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FaultPlan {
    int writeCalls = 0;
    int failWriteAt = 0;
    int shortWriteAt = 0;
    std::size_t shortKeep = 0;
    int failAllWritesFrom = 0;
    int readCalls = 0;
    int failReadAt = 0;
    bool armed = false;
};
FaultPlan g_faults;

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Finds the entry of `dir` whose name equals `name` without regard to case;
// an exact match wins over others.
bool FindEntryNoCase(const std::string& dir, const std::string& name, std::string& found)
{
    struct stat st;
    std::string exact = (dir.empty() ? std::string() : dir + "/") + name;
    if (::lstat((dir.empty() ? name : exact).c_str(), &st) == 0) {
        found = name;
        return true;
    }
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return false;
    bool ok = false;
    while (dirent* e = ::readdir(d)) {
        if (EqualNoCase(e->d_name, name)) {
            found = e->d_name;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

// Whether the walk in ResolvePath would give `path` back unchanged when all
// of it exists: no empty, "." or ".." components and no closing '/'.
bool IsPlainPath(const std::string& path)
{
    std::size_t pos = path[0] == '/' ? 1 : 0;
    while (true) {
        const std::size_t slash = path.find('/', pos);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        const std::string_view part(path.data() + pos, end - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string::npos)
            return true;
        pos = slash + 1;
    }
}

// lstat() of a path in its plain form that exists exactly as written: the
// answer of ResolvePath for it is the path itself.
bool ExistsAsWritten(const std::string& path, struct stat& st)
{
    return IsPlainPath(path) && ::lstat(path.c_str(), &st) == 0;
}

// Decides whether this write call is to be spoiled, and how.
// Returns -1 to fail, or the number of bytes to let through.
long PlanWrite(std::size_t count)
{
    if (!g_faults.armed)
        return static_cast<long>(count);
    int n = ++g_faults.writeCalls;
    if (g_faults.failWriteAt == n || (g_faults.failAllWritesFrom && n >= g_faults.failAllWritesFrom)) {
        errno = ENOSPC;
        return -1;
    }
    if (g_faults.shortWriteAt == n)
        return static_cast<long>(std::min(count, g_faults.shortKeep));
    return static_cast<long>(count);
}

bool PlanReadFails()
{
    if (!g_faults.armed)
        return false;
    int n = ++g_faults.readCalls;
    if (g_faults.failReadAt == n) {
        errno = EIO;
        return true;
    }
    return false;
}

}  // namespace

std::string ResolvePath(std::string_view name)
{
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty())
        return path;

    // A name that exists as written is its own answer (an exact match wins
    // over others in every component), which spares a look-up per component
    // on the common path; so is its folder, when only the last component is
    // to be matched. Only names already in their plain form take this way,
    // so the answer is the same string the walk below would give.
    struct stat st;
    if (ExistsAsWritten(path, st))
        return path;
    const std::size_t lastSlash = path.rfind('/');
    if (lastSlash != std::string::npos && lastSlash > 0 && IsPlainPath(path)) {
        std::string folder = path.substr(0, lastSlash);
        if (::lstat(folder.c_str(), &st) == 0) {
            const std::string last = path.substr(lastSlash + 1);
            std::string found;
            if (!FindEntryNoCase(folder, last, found))
                found = last;
            return folder + "/" + found;
        }
    }

    std::string result;
    std::size_t pos = 0;
    if (path[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool missing = false;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty())
            continue;
        std::string dir = result;
        if (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        std::string found = part;
        if (!missing && part != "." && part != "..") {
            if (!FindEntryNoCase(dir, part, found)) {
                missing = true;
                found = part;
            }
        }
        if (!result.empty() && result.back() != '/')
            result += '/';
        result += found;
        if (slash == path.size())
            break;
    }
    return result;
}

int FileOpen(std::string_view name, FileMode mode)
{
    std::string path = ResolvePath(name);
    int flags = (mode == FileMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    return ::open(path.c_str(), flags);
}

int FileCreate(std::string_view name)
{
    std::string path = ResolvePath(name);
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

void FileClose(int handle)
{
    if (handle >= 0)
        ::close(handle);
}

long FileReadAt(int handle, void* buffer, std::size_t count, std::int64_t offset)
{
    if (PlanReadFails())
        return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(handle, out + done, count - done, offset + static_cast<std::int64_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<long>(done) : -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

long FileWriteAt(int handle, const void* buffer, std::size_t count, std::int64_t offset)
{
    long allowed = PlanWrite(count);
    if (allowed < 0)
        return -1;
    std::size_t done = 0;
    auto* in = static_cast<const char*>(buffer);
    while (done < static_cast<std::size_t>(allowed)) {
        ssize_t n = ::pwrite(handle, in + done, static_cast<std::size_t>(allowed) - done,
                             offset + static_cast<std::int64_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<long>(done) : -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

long FileRead(int handle, void* buffer, std::size_t count)
{
    if (PlanReadFails())
        return -1;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(handle, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<long>(done) : -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

long FileWrite(int handle, const void* buffer, std::size_t count)
{
    long allowed = PlanWrite(count);
    if (allowed < 0)
        return -1;
    std::size_t done = 0;
    auto* in = static_cast<const char*>(buffer);
    while (done < static_cast<std::size_t>(allowed)) {
        ssize_t n = ::write(handle, in + done, static_cast<std::size_t>(allowed) - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<long>(done) : -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

std::int64_t FileSeek(int handle, std::int64_t offset, int whence)
{
    return ::lseek(handle, offset, whence);
}

std::int64_t FileLength(int handle)
{
    struct stat st;
    if (::fstat(handle, &st) != 0)
        return -1;
    return st.st_size;
}

bool FileTruncate(int handle, std::int64_t length)
{
    return ::ftruncate(handle, length) == 0;
}

namespace {

// stat() of the resolved name. A name that exists as written needs no walk,
// and unless it is a link its lstat() already says what stat() would.
bool StatResolved(std::string_view name, struct stat& st)
{
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && ExistsAsWritten(path, st))
        return !S_ISLNK(st.st_mode) || ::stat(path.c_str(), &st) == 0;
    return ::stat(ResolvePath(name).c_str(), &st) == 0;
}

}  // namespace

bool FileExists(std::string_view name)
{
    struct stat st;
    return StatResolved(name, st) && S_ISREG(st.st_mode);
}

bool DirExists(std::string_view name)
{
    struct stat st;
    return StatResolved(name, st) && S_ISDIR(st.st_mode);
}

std::int64_t FileSizeOf(std::string_view name)
{
    struct stat st;
    if (::stat(ResolvePath(name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

bool FileDelete(std::string_view name)
{
    return ::unlink(ResolvePath(name).c_str()) == 0;
}

bool FileRename(std::string_view from, std::string_view to)
{
    return ::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool FileCopy(std::string_view from, std::string_view to)
{
    std::string contents;
    return ReadWholeFile(from, contents) && WriteWholeFile(to, contents);
}

bool MakeDir(std::string_view name)
{
    std::string path = ResolvePath(name);
    if (path.empty())
        return false;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    return DirExists(path);
}

bool RemoveDirTree(std::string_view name)
{
    std::string path = ResolvePath(name);
    DIR* d = ::opendir(path.c_str());
    if (!d)
        return false;
    bool ok = true;
    while (dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        std::string full = path + "/" + entry;
        struct stat st;
        if (::lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            ok = RemoveDirTree(full) && ok;
        else
            ok = (::unlink(full.c_str()) == 0) && ok;
    }
    ::closedir(d);
    return ::rmdir(path.c_str()) == 0 && ok;
}

std::vector<std::string> ListDir(std::string_view folder, std::string_view pattern)
{
    std::vector<std::string> names;
    std::string path = ResolvePath(folder);
    DIR* d = ::opendir(path.empty() ? "." : path.c_str());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        if (WildcardMatch(pattern, entry))
            names.push_back(entry);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

FolderNames::FolderNames(std::string_view folder) : folder_(ResolvePath(folder))
{
    DIR* d = ::opendir(folder_.empty() ? "." : folder_.c_str());
    if (!d)
        return;
    while (dirent* e = ::readdir(d)) {
        const std::string_view entry = e->d_name;
        if (entry != "." && entry != "..")
            names_.emplace_back(entry);
    }
    ::closedir(d);
}

std::string FolderNames::Find(std::string_view name) const
{
    const auto exact = std::find(names_.begin(), names_.end(), name);
    const auto found = exact != names_.end() ? exact
                                             : std::find_if(names_.begin(), names_.end(), [name](const std::string& entry) {
                                                   return EqualNoCase(entry, name);
                                               });
    if (found == names_.end())
        return {};
    return folder_.empty() ? *found : (folder_.back() == '/' ? folder_ : folder_ + "/") + *found;
}

bool ReadWholeFile(std::string_view name, std::string& contents)
{
    int h = FileOpen(name, FileMode::ReadOnly);
    if (h < 0)
        return false;
    std::int64_t size = FileLength(h);
    if (size < 0) {
        FileClose(h);
        return false;
    }
    contents.resize(static_cast<std::size_t>(size));
    long n = size ? FileReadAt(h, contents.data(), contents.size(), 0) : 0;
    FileClose(h);
    if (n < 0)
        return false;
    contents.resize(static_cast<std::size_t>(n));
    return true;
}

bool WriteWholeFile(std::string_view name, std::string_view contents)
{
    int h = FileCreate(name);
    if (h < 0)
        return false;
    long n = contents.empty() ? 0 : FileWriteAt(h, contents.data(), contents.size(), 0);
    FileClose(h);
    return n == static_cast<long>(contents.size());
}

bool ReplaceWholeFile(std::string_view name, std::string_view contents)
{
    // Resolved first, so the file keeps the spelling it has on disk.
    const std::string target = ResolvePath(name);
    const std::string temporary = target + ".new";
    if (!WriteWholeFile(temporary, contents) || !FileRename(temporary, target)) {
        FileDelete(temporary);
        return false;
    }
    return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0, t = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' ||
            std::tolower(static_cast<unsigned char>(pattern[p])) == std::tolower(static_cast<unsigned char>(text[t])))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

namespace FileFaults {
void FailWrite(int nth)
{
    g_faults.armed = true;
    g_faults.writeCalls = 0;
    g_faults.failWriteAt = nth;
}
void ShortWrite(int nth, std::size_t keep)
{
    g_faults.armed = true;
    g_faults.writeCalls = 0;
    g_faults.shortWriteAt = nth;
    g_faults.shortKeep = keep;
}
void FailRead(int nth)
{
    g_faults.armed = true;
    g_faults.readCalls = 0;
    g_faults.failReadAt = nth;
}
void FailAllWritesFrom(int nth)
{
    g_faults.armed = true;
    g_faults.writeCalls = 0;
    g_faults.failAllWritesFrom = nth;
}
void Reset()
{
    g_faults = FaultPlan{};
}
}  // namespace FileFaults
