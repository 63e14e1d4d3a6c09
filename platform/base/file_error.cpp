#include "platform/base/file_error.h"

#include <cstring>

std::string FileErrorText(std::string_view name, int error)
{
    std::string text(name);
    text += ": ";
    text += error ? std::strerror(error) : "Unknown error";
    return text;
}
