#include "plintvlr/shell/base/str.h"

#include "plintvlr/shell/base/string_table.h"

#include <cstring>

namespace {

constexpr int kBufferCount = 8;
constexpr std::size_t kBufferSize = 255;

char g_buffers[kBufferCount][kBufferSize];
unsigned char g_next = 0;

}  // namespace

char* Str(int id)
{
    if (g_next >= kBufferCount)
        g_next = 0;
    char* buffer = g_buffers[g_next++];
    const char* text = FindStringText(id);
    std::size_t length = text ? ::strnlen(text, kBufferSize - 1) : 0;
    std::memcpy(buffer, text ? text : "", length);
    buffer[length] = '\0';
    return buffer;
}

void ResetStrBuffers()
{
    g_next = 0;
}
