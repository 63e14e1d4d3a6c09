#include "platform/base/profile.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/profile_text.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace {

// The file a profile name stands for and, for a bare name, the program
// folder's copy that reads fall back on.
struct Location {
    std::string path;
    std::string fallback;
};

Location Locate(const char* file)
{
    if (IsBareName(file))
        return {JoinPath(ProfileFolder(), file), JoinPath(ProgramFolder(), file)};
    return {ToPosixPath(file), std::string()};
}

// The contents that reads and writes start from: the file, else its fallback,
// else nothing. False when a file is there but cannot be read.
bool LoadContents(const Location& where, std::string& contents)
{
    contents.clear();
    if (FileExists(where.path))
        return ReadWholeFile(where.path, contents);
    if (!where.fallback.empty() && FileExists(where.fallback))
        return ReadWholeFile(where.fallback, contents);
    return true;
}

std::optional<int> ParseInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return std::nullopt;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

ProfileSnapshot::ProfileSnapshot(const char* file)
{
    if (file && *file)
        read_ = LoadContents(Locate(file), contents_);
}

std::optional<std::string> ProfileSnapshot::Value(const char* section, const char* key) const
{
    if (!read_ || !section || !key)
        return std::nullopt;
    return ProfileText::Find(contents_, section, key);
}

int ProfileSnapshot::GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                               int size) const
{
    if (!buffer || size < 1)
        return 0;
    std::optional<std::string> value = Value(section, key);
    std::string_view text = value ? std::string_view(*value) : std::string_view(defaultText ? defaultText : "");
    std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int ProfileSnapshot::GetInt(const char* section, const char* key, int defaultValue) const
{
    std::optional<std::string> value = Value(section, key);
    if (!value)
        return defaultValue;
    return ParseInt(*value).value_or(defaultValue);
}

int GetPrivateProfileString(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                            const char* file)
{
    if (!buffer || size < 1)
        return 0;
    return ProfileSnapshot(file).GetString(section, key, defaultText, buffer, size);
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file)
{
    return ProfileSnapshot(file).GetInt(section, key, defaultValue);
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file)
{
    if (!file || !*file)
        return false;
    if (!section)
        return !key && !value;  // nothing is held back, so there is nothing to flush
    Location where = Locate(file);
    std::string contents;
    if (!LoadContents(where, contents))
        return false;
    ProfileText text(contents);
    bool changed;
    if (!key)
        changed = text.DeleteSection(section);
    else if (!value)
        changed = text.DeleteKey(section, key);
    else if (!(changed = text.Set(section, key, value)))
        return false;
    if (!changed)
        return true;
    return ReplaceWholeFile(where.path, text.Text());
}

TProfile::TProfile(const char* section, const char* file)
    : section_(section ? section : ""), file_(file ? file : "")
{
}

bool TProfile::GetString(const char* key, char* buffer, unsigned size, const char* defaultText) const
{
    int limit = size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    return GetPrivateProfileString(section_.c_str(), key, defaultText, buffer, limit, file_.c_str()) > 0;
}

int TProfile::GetInt(const char* key, int defaultValue) const
{
    return GetPrivateProfileInt(section_.c_str(), key, defaultValue, file_.c_str());
}

bool TProfile::WriteString(const char* key, const char* value)
{
    return WritePrivateProfileString(section_.c_str(), key, value, file_.c_str());
}

bool TProfile::WriteInt(const char* key, int value)
{
    return WriteString(key, std::to_string(value).c_str());
}
