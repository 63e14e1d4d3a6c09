#pragma once
// A program's own settings for the user who runs it (window places, the
// port last chosen), kept under a maker's name and the program's name, apart
// from every profile file the programs share, and surviving runs. They live
// in the profile file "<ProfileFolder()>/<maker>/<program>.ini"; a section
// named "" holds the values kept directly under the program's key, stored
// under the section named after the program.
//
// A value a person mistyped by hand (anything but a whole decimal number
// within the range of int, blanks around it allowed) counts as not set.

#include <string>

class TUserSettings {
public:
    TUserSettings(std::string maker, std::string program);

    int GetInt(const char* section, const char* key, int defaultValue) const;
    // False when the settings file cannot be written; the old values stay.
    bool WriteInt(const char* section, const char* key, int value);

    const std::string& GetMaker() const { return maker_; }
    const std::string& GetProgram() const { return program_; }
    std::string GetFilePath() const;

private:
    std::string Section(const char* section) const;

    std::string maker_;
    std::string program_;
};

// The operating system's platform family as the programs ask it; this
// system answers the NT family.
constexpr unsigned long VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr unsigned long VER_PLATFORM_WIN32_NT = 2;
unsigned long GetPlatformId();
