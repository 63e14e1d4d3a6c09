#include "platform/base/profile_text.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The name of a section header line, or nothing.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line[0] != '[')
        return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line)
{
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[')
        return std::nullopt;
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    KeyLine kl{Trim(trimmed.substr(0, eq)), Trim(trimmed.substr(eq + 1))};
    if (kl.key.empty())
        return std::nullopt;
    return kl;
}

std::string Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

ProfileText::ProfileText(std::string_view contents)
{
    if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bom_ = kByteOrderMark;
        contents.remove_prefix(kByteOrderMark.size());
    }
    lines_.reserve(static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n')) + 1);
    while (!contents.empty()) {
        std::size_t lf = contents.find('\n');
        Line line;
        if (lf == std::string_view::npos) {
            line.text = contents;
            contents = {};
        } else {
            std::size_t textEnd = lf;
            if (textEnd > 0 && contents[textEnd - 1] == '\r')
                --textEnd;
            line.text = contents.substr(0, textEnd);
            line.end = contents.substr(textEnd, lf + 1 - textEnd);
            contents.remove_prefix(lf + 1);
        }
        lines_.push_back(std::move(line));
    }
}

std::vector<ProfileText::Range> ProfileText::SectionRanges(std::string_view section) const
{
    std::vector<Range> ranges;
    section = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = HeaderName(lines_[i].text);
        if (!name)
            continue;
        if (!ranges.empty() && ranges.back().end == lines_.size())
            ranges.back().end = i;
        if (EqualNoCase(*name, section))
            ranges.push_back({i, lines_.size()});
    }
    return ranges;
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const
{
    key = Trim(key);
    for (const Range& r : SectionRanges(section)) {
        for (std::size_t i = r.header + 1; i < r.end; ++i) {
            std::optional<KeyLine> kl = ParseKeyLine(lines_[i].text);
            if (kl && EqualNoCase(kl->key, key))
                return Unquote(kl->value);
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileText::Find(std::string_view contents, std::string_view section,
                                             std::string_view key)
{
    // The lines in file order, each only as a view: sections of one name
    // are searched in file order, so the first key of any of them wins.
    // Blanks, a closing CR among them, never count in names or values.
    if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        contents.remove_prefix(kByteOrderMark.size());
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    while (!contents.empty()) {
        const std::size_t lf = contents.find('\n');
        const std::string_view line = contents.substr(0, lf);
        contents.remove_prefix(lf == std::string_view::npos ? contents.size() : lf + 1);
        if (std::optional<std::string_view> name = HeaderName(line)) {
            inSection = EqualNoCase(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        std::optional<KeyLine> kl = ParseKeyLine(line);
        if (kl && EqualNoCase(kl->key, key))
            return Unquote(kl->value);
    }
    return std::nullopt;
}

std::string ProfileText::NewLineEnd() const
{
    for (const Line& line : lines_)
        if (!line.end.empty())
            return line.end;
    return "\n";
}

bool ProfileText::Set(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || section.find(']') != std::string_view::npos ||
        key.find('=') != std::string_view::npos || key[0] == ';' || key[0] == '[' || HasLineBreak(section) ||
        HasLineBreak(key))
        return false;
    std::string text(value);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    std::vector<Range> ranges = SectionRanges(section);
    for (const Range& r : ranges) {
        for (std::size_t i = r.header + 1; i < r.end; ++i) {
            std::optional<KeyLine> kl = ParseKeyLine(lines_[i].text);
            if (kl && EqualNoCase(kl->key, key)) {
                lines_[i].text = std::string(kl->key) + "=" + text;
                return true;
            }
        }
    }

    std::string end = NewLineEnd();
    // A last line without an end gets one before anything follows it.
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = end;
    Line keyLine{std::string(key) + "=" + text, end};
    if (!ranges.empty()) {
        std::size_t at = ranges.front().header + 1;
        for (std::size_t i = at; i < ranges.front().end; ++i)
            if (ParseKeyLine(lines_[i].text))
                at = i + 1;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(keyLine));
        return true;
    }
    if (!lines_.empty() && !Trim(lines_.back().text).empty())
        lines_.push_back({"", end});
    lines_.push_back({"[" + std::string(section) + "]", end});
    lines_.push_back(std::move(keyLine));
    return true;
}

bool ProfileText::DeleteKey(std::string_view section, std::string_view key)
{
    key = Trim(key);
    std::vector<Range> ranges = SectionRanges(section);
    bool removed = false;
    // From the back, so the ranges still in front stay valid.
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
        for (std::size_t i = r->end; i-- > r->header + 1;) {
            std::optional<KeyLine> kl = ParseKeyLine(lines_[i].text);
            if (kl && EqualNoCase(kl->key, key)) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                removed = true;
            }
        }
    }
    return removed;
}

bool ProfileText::DeleteSection(std::string_view section)
{
    std::vector<Range> ranges = SectionRanges(section);
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(r->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(r->end));
    return !ranges.empty();
}

std::string ProfileText::Text() const
{
    std::string text = bom_;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.end;
    }
    return text;
}
