// Profile files come from people's editors. Whatever the bytes, the text must
// come back unchanged when nothing is edited, and every edit must read back
// as made.
#include "platform/base/profile_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A name taken from the input, so edits hit sections and keys that exist.
std::string_view NameAt(std::string_view text, std::size_t seed)
{
    if (text.empty())
        return "APP";
    std::size_t start = seed % text.size();
    std::size_t end = text.find_first_of("=]\n", start);
    return text.substr(start, std::min<std::size_t>(end == std::string_view::npos ? text.size() - start : end - start, 40));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    ProfileText profile(input);
    Check(profile.Text() == input);

    for (std::size_t seed : {std::size_t{1}, size / 3, size / 2 + 7}) {
        std::string section(NameAt(input, seed));
        std::string key(NameAt(input, seed * 31 + 5));
        // A read straight from the text answers as the parsed text does (the
        // text as the edits of the seeds before left it).
        Check(ProfileText::Find(profile.Text(), section, key) == profile.Find(section, key));
        if (profile.Set(section, key, "v=1\r\nx")) {
            std::optional<std::string> value = profile.Find(section, key);
            Check(value && *value == "v=1  x");
            // A second parse of the edited text reads the same.
            Check(ProfileText(profile.Text()).Find(section, key) == value);
            Check(profile.DeleteKey(section, key));
            Check(!profile.Find(section, key));
            profile.Set(section, key, "w");
            Check(profile.DeleteSection(section));
            Check(!profile.Find(section, key));
        }
    }
    return 0;
}
