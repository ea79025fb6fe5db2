// Feeds arbitrary bytes to the imageset reader as an ".imageset" file: reading, looking up every
// character, measuring and drawing must never touch memory outside the file's bytes.
#include "engine/ImagesetFont.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KVXImagesetFont font(nullptr);
    if (!font.LoadFromMemory(reinterpret_cast<const char*>(data), size))
        return 0;
    std::wstring text;
    for (wchar_t c = 1; c < 300; ++c)
        text.push_back(c);
    int width = 0, height = 0;
    font.Measure(text.c_str(), &width, &height);
    font.Draw(0, 0, 0xFFFFFFFF, text.c_str());
    GlyphInfo info;
    for (const auto& [key, glyph] : font.Glyphs())
        if (!font.GetGlyph(static_cast<uint32_t>(key), &info, true) || glyph->width < 0 || glyph->height < 0)
            __builtin_trap();
    return 0;
}
