#include "qstrans/qstrans_strings.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kEntries[] = {
#define QS_STRING(name, id, text) {id, text},
#include "qstrans/qstrans_strings.inc"
#undef QS_STRING
};

}  // namespace

const char* QsString(int id)
{
    for (const Entry& e : kEntries) {
        if (e.id == id)
            return e.text;
    }
    return "";
}

std::string QsFormat(int id, ...)
{
    va_list args;
    va_start(args, id);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, QsString(id), copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), QsString(id), args);
        out.assign(buffer.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}
