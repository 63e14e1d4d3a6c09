#pragma once
// Files a program carries inside itself (its pictures), made by the build's
// plv_embed_files(<target> <symbol> <files...>), which defines
//
//     std::span<const EmbeddedFile> <symbol>();
//
// listing the files in the order given, each under its bare file name.

#include <cstddef>
#include <span>
#include <string_view>

struct EmbeddedFile {
    const char* name = nullptr;  // bare file name, e.g. "zobrel.png"
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The file of that name (case as given), or null.
const EmbeddedFile* FindEmbeddedFile(std::span<const EmbeddedFile> files, std::string_view name);
