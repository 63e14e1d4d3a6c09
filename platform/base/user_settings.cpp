#include "platform/base/user_settings.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"

#include <charconv>
#include <string_view>

TUserSettings::TUserSettings(std::string maker, std::string program)
    : maker_(std::move(maker)), program_(std::move(program))
{
}

std::string TUserSettings::GetFilePath() const
{
    return ProfileFolder() + "/" + maker_ + "/" + program_ + ".ini";
}

std::string TUserSettings::Section(const char* section) const
{
    return section && *section ? section : program_;
}

int TUserSettings::GetInt(const char* section, const char* key, int defaultValue) const
{
    char buffer[64] = {};
    const std::string file = GetFilePath();
    if (GetPrivateProfileString(Section(section).c_str(), key, "", buffer, sizeof buffer, file.c_str()) <= 0)
        return defaultValue;
    std::string_view text(buffer);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return defaultValue;
    return value;
}

bool TUserSettings::WriteInt(const char* section, const char* key, int value)
{
    MakeDir(ProfileFolder() + "/" + maker_);
    const std::string file = GetFilePath();
    return WritePrivateProfileString(Section(section).c_str(), key, std::to_string(value).c_str(), file.c_str());
}

unsigned long GetPlatformId()
{
    return VER_PLATFORM_WIN32_NT;
}
