// Small image files written by the tests into a data folder of their own.
#pragma once

#include "support/TempDir.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumenkittest {

// A width x height TGA of one ARGB colour, written below the folder.
inline void WriteSolidTga(const testsupport::TempDir& dir, const std::string& relative, int width, int height,
                          uint32_t argb)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i) {
        rgba.push_back(uint8_t(argb >> 16));
        rgba.push_back(uint8_t(argb >> 8));
        rgba.push_back(uint8_t(argb));
        rgba.push_back(uint8_t(argb >> 24));
    }
    std::string bytes;
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    };
    stbi_write_tga_to_func(append, &bytes, width, height, 4, rgba.data());
    dir.Write(relative, bytes);
}

} // namespace lumenkittest
