#include "platform/base/embedded_file.h"

const EmbeddedFile* FindEmbeddedFile(std::span<const EmbeddedFile> files, std::string_view name)
{
    for (const EmbeddedFile& file : files) {
        if (name == file.name)
            return &file;
    }
    return nullptr;
}
