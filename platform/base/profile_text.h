#pragma once
// The text of one profile file, as a person's editor leaves it, with lookups
// and edits that keep everything they do not touch byte for byte.
//
// Syntax. A line "[Name]" starts a section (blanks around the name do not
// count; a line with '[' but no ']' is no section header). A line
// "key=value" inside a section is a key; blanks around the key and the value
// do not count, and a value enclosed in a pair of matching quotes ('"' or
// '\'') is read without them. Lines starting with ';', blank lines, lines
// without '=' and keys before the first section are kept but never match.
// Lines end with LF or CR LF; the last line may have no end; a UTF-8 byte-order
// mark at the start is kept and skipped. Any other byte is ordinary text, so
// binary junk only makes lines that never match.
//
// Matching. Section and key names match without regard to ASCII letter case.
// When a name occurs twice, the first occurrence is the one that is read and
// changed; deleting removes every occurrence, so a later read gives the
// default.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::string_view contents);

    // The value of a key, or nothing when the section or key is absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The same answer straight from a file's contents, for a read that
    // neither edits nor keeps the text.
    static std::optional<std::string> Find(std::string_view contents, std::string_view section, std::string_view key);

    // Sets a key's value, adding the section at the end of the text and the key
    // after the section's last key when they are absent. False (nothing
    // changed) for names that the syntax cannot hold: an empty section or key,
    // a section with ']', a key with '=' or starting with ';' or '[', and any
    // name with a line break. Line breaks in the value become blanks, so a
    // value can never make a line of its own.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // Remove every occurrence of a key of a section / of a whole section with
    // its lines. True when something was removed.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    // The whole text, ready to be written back.
    std::string Text() const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\n", "\r\n" or "" for a last line without one
    };
    // Where the lines of sections of one name are: [first, last) ranges of
    // lines after each header, in file order.
    struct Range {
        std::size_t header;
        std::size_t end;
    };

    std::vector<Range> SectionRanges(std::string_view section) const;
    std::string NewLineEnd() const;

    std::string bom_;
    std::vector<Line> lines_;
};
