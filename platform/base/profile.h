#pragma once
// Profile files: small text files of sections and keys ("[APP]",
// "FrameX=120") that keep the programs' settings and pass the hand-off from
// the configuration to the transfer program. They are ordinary text a person
// may edit; the syntax is described in profile_text.h.
//
// File names. A bare name ("PLINTVLR.INI") means the file of that name in
// ProfileFolder(); any other name is a path as the programs write it
// (ToPosixPath). Names match files without regard to case. When a bare-named
// file is not in ProfileFolder() but the program folder has one (the program
// ships defaults such as "styles.cfg" there), reads come from the program
// folder's copy; the first write copies it into ProfileFolder() and changes
// the copy, so the other shipped values stay readable.
//
// Writes replace the file in one step (a new file renamed over the old one),
// so a failed write leaves the old file as it was.

#include "platform/base/win_types.h"

#include <optional>
#include <string>

// Copies the value of `key` in `section` into `buffer`, or the default (null
// counts as "") when the file, section or key is absent. At most size - 1
// characters are copied and the text is always ended with a nul, so a small
// buffer cuts the value: a size of 3 gives at most two characters. Returns the
// count of characters copied. A null section or key gives the default; no
// buffer or a size below 1 gives 0 and writes nothing.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                            const char* file);

// The value of `key` read as a decimal integer: leading blanks, an optional
// sign and the digits that follow count ("12abc" is 12, "-1" is -1, "0x1F" is
// 0); a number beyond the range of int gives the nearest bound. An absent key,
// an empty value and a value that does not start with a number ("abc", "-")
// give `defaultValue`: a value a person mistyped counts as not set.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// Sets `key` of `section` to `value`, creating the file, the section and the
// key when absent and keeping every other line as it was. A null value removes
// the key; a null key removes the section with all its keys. Returns false
// when the file cannot be read or written, or when a name cannot be held by
// the syntax (see ProfileText::Set); the file is then unchanged.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);

// One profile file read once, for a reader that asks many keys of it at one
// time (the start-up settings, the button styles): one file read instead of
// one a key. Its answers are those GetPrivateProfileString and
// GetPrivateProfileInt gave when it was made.
class ProfileSnapshot {
public:
    explicit ProfileSnapshot(const char* file);

    int GetString(const char* section, const char* key, const char* defaultText, char* buffer, int size) const;
    int GetInt(const char* section, const char* key, int defaultValue) const;

private:
    std::optional<std::string> Value(const char* section, const char* key) const;

    bool read_ = false;  // else every answer is the default
    std::string contents_;
};

// One section of one profile file, as the class library offers it.
class TProfile {
public:
    TProfile(const char* section, const char* file);

    // True when a value (or a non-empty default) was copied.
    bool GetString(const char* key, char* buffer, unsigned size, const char* defaultText = nullptr) const;
    int GetInt(const char* key, int defaultValue = 0) const;
    bool WriteString(const char* key, const char* value);
    bool WriteInt(const char* key, int value);

private:
    std::string section_;
    std::string file_;
};
