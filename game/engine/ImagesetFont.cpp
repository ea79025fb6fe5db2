// Imageset fonts: glyph rectangles of one image, read from ".imageset" files.
#include "engine/ImagesetFont.h"
#include <helvane/XmlText.h>

#include "engine/FrameGraphics.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace {

int32_t IntAttribute(const TiXmlElement& element, const char* name)
{
    int value = 0;
    return element.QueryIntAttribute(name, &value) == TIXML_SUCCESS ? value : 0;
}

} // namespace

KVXImagesetFont::KVXImagesetFont(KVXResourceProvider* provider)
    : m_pProvider(provider)
{
}

bool KVXImagesetFont::Load(const std::string& file, int, int)
{
    KVXFileBuffer buffer;
    if (!m_pProvider || !m_pProvider->LoadFile(platform::Widen(file), &buffer)) {
        DFLog(LOG_WARN, L"imageset %s cannot be read", platform::Widen(file).c_str());
        return false;
    }
    bool loaded = LoadFromMemory(reinterpret_cast<const char*>(buffer.data), buffer.size);
    delete[] buffer.data;
    if (!loaded)
        DFLog(LOG_WARN, L"imageset %s is not an imageset", platform::Widen(file).c_str());
    return loaded;
}

bool KVXImagesetFont::LoadFromMemory(const char* bytes, size_t length)
{
    TiXmlDocument document;
    if (!ParseXmlText(document, std::string_view(bytes, length), TIXML_ENCODING_UTF8))
        return false;
    const TiXmlElement* root = document.FirstChildElement("Imageset");
    if (!root)
        return false;

    const char* name = root->Attribute("Name");
    m_strName = name ? name : "";
    const char* imageFile = root->Attribute("Imagefile");
    FrameGraphics& graphics = GetFrameGraphics();
    m_nTexture = imageFile ? graphics.GetTextureHandle(platform::Widen(imageFile), true) : -1;
    m_pTexture = graphics.GetTexture(m_nTexture);

    // The glyph list ends at the first node that is not an element.
    for (const TiXmlNode* node = root->FirstChild(); node; node = node->NextSibling()) {
        const TiXmlElement* element = node->ToElement();
        if (!element)
            break;
        const char* character = element->Attribute("Name");
        if (!character || std::strlen(character) > 1)
            continue;
        auto glyph = std::make_unique<Glyph>();
        glyph->x = IntAttribute(*element, "XPos");
        glyph->y = IntAttribute(*element, "YPos");
        glyph->width = IntAttribute(*element, "Width");
        glyph->height = IntAttribute(*element, "Height");
        if (glyph->x < 0 || glyph->y < 0 || glyph->width < 0 || glyph->height < 0 || glyph->x > kMaxSide ||
            glyph->y > kMaxSide || glyph->width > kMaxSide || glyph->height > kMaxSide) {
            DFLog(LOG_WARN, L"imageset %s: glyph \"%s\" has a rectangle outside any image, skipped",
                  platform::Widen(m_strName).c_str(), platform::Widen(character).c_str());
            continue;
        }
        glyph->yOffsetPlusHeight = IntAttribute(*element, "YOffset") + glyph->height;
        CopyPixels(*glyph);
        // The key is the character's byte as a signed 8-bit value.
        auto key = static_cast<int32_t>(static_cast<int8_t>(character[0]));
        m_Glyphs[key] = std::move(glyph);
    }
    return true;
}

void KVXImagesetFont::CopyPixels(Glyph& glyph) const
{
    // Only a rectangle that lies inside the image is read; the copy is not used for drawing.
    D3DSURFACE_DESC desc{};
    if (!m_pTexture || glyph.width == 0 || glyph.height == 0 || FAILED(m_pTexture->GetLevelDesc(0, &desc)) ||
        (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) ||
        static_cast<UINT>(glyph.x + glyph.width) > desc.Width || static_cast<UINT>(glyph.y + glyph.height) > desc.Height)
        return;
    RECT rect{glyph.x, glyph.y, glyph.x + glyph.width, glyph.y + glyph.height};
    D3DLOCKED_RECT locked;
    if (FAILED(m_pTexture->LockRect(0, &locked, &rect, D3DLOCK_READONLY)))
        return;
    glyph.pixels.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int32_t y = 0; y < glyph.height; ++y)
        std::memcpy(&glyph.pixels[static_cast<size_t>(y) * glyph.width],
                    static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch,
                    static_cast<size_t>(glyph.width) * 4);
    m_pTexture->UnlockRect(0);
}

bool KVXImagesetFont::GetGlyph(uint32_t character, GlyphInfo* info, bool)
{
    auto found = m_Glyphs.find(static_cast<int32_t>(character));
    if (found == m_Glyphs.end())
        return false;
    const Glyph& g = *found->second;
    info->x = g.x;
    info->y = g.y;
    info->width = g.width;
    info->height = g.height;
    info->advance = g.width;
    info->texture = m_pTexture;
    info->srcLeft = static_cast<float>(g.x);
    info->srcTop = static_cast<float>(g.y);
    info->srcRight = static_cast<float>(g.x + g.width);
    info->srcBottom = static_cast<float>(g.y + g.height);
    info->pixels = g.pixels.empty() ? nullptr : g.pixels.data();
    info->imageset = 1;
    return true;
}

void KVXImagesetFont::Measure(const wchar_t* text, int* width, int* height)
{
    int total = 0, tallest = 0;
    GlyphInfo info;
    for (const wchar_t* c = text; c && *c; ++c) {
        if (!GetGlyph(static_cast<uint32_t>(*c), &info, false))
            continue;
        total += info.advance;
        tallest = std::max(tallest, info.height);
    }
    if (width)
        *width = total;
    if (height)
        *height = tallest;
}

int KVXImagesetFont::Draw(int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    // Image sources are in pixels; each glyph starts at the pen on the line's top.
    return DrawGlyphs(x, y, colour, text, 1.0f, false);
}
