// The glyph run every font draws, and the font manager's default file reader.
#include "engine/KVXFont.h"

#include "engine/FrameGraphics.h"

#include <win32/Files.h>
#include <win32/Text.h>

#include <cstdio>

int KVXFont::DrawGlyphs(int x, int y, D3DCOLOR colour, const wchar_t* text, float sourceScale, bool bearings)
{
    int penX = x, total = 0;
    GlyphInfo info;
    FrameGraphics& graphics = GetFrameGraphics();
    for (const wchar_t* c = text; c && *c; ++c) {
        if (!GetGlyph(static_cast<uint32_t>(*c), &info, true))
            continue;
        RECT source{static_cast<LONG>(info.srcLeft * sourceScale), static_cast<LONG>(info.srcTop * sourceScale),
                    static_cast<LONG>(info.srcRight * sourceScale), static_cast<LONG>(info.srcBottom * sourceScale)};
        const int left = bearings ? penX + info.x : penX;
        const int top = bearings ? y + info.y : y;
        D3DXVECTOR3 position(static_cast<float>(left), static_cast<float>(top), 0.0f);
        graphics.DrawSprite(info.texture, &source, nullptr, &position, colour, nullptr);
        penX += info.advance;
        total += info.advance;
    }
    return total;
}

bool KVXDefaultResourceProvider::LoadFile(const std::wstring& path, KVXFileBuffer* out)
{
    FILE* file = platform::OpenFile(platform::Narrow(path), "rb");
    if (!file)
        return false;
    bool ok = false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0 && (size = std::ftell(file)) >= 0 && size <= kMaxFileBytes &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        auto* data = new uint8_t[static_cast<size_t>(size) + 1];
        if (std::fread(data, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size)) {
            data[size] = 0;
            out->data = data;
            out->size = static_cast<uint32_t>(size);
            ok = true;
        } else {
            delete[] data;
        }
    }
    std::fclose(file);
    return ok;
}
