// The font manager: face registry, fonts by face and size, default fonts, device resets.
#include "engine/FontManager.h"

#include "engine/FreeTypeFont.h"
#include "engine/ImagesetFont.h"

#include <helvane/DXUtil.h>

FTFont::FTFont() = default;

FTFont::~FTFont()
{
    ReleaseAll();
}

void FTFont::InitDevice(IDirect3DDevice9* device)
{
    m_pDevice = device;
    m_pProvider = std::make_unique<KVXDefaultResourceProvider>();
    ReleaseAndClear(m_pSprite);
    if (device && FAILED(D3DXCreateSprite(device, &m_pSprite)))
        m_pSprite = nullptr;
}

void FTFont::RegisterFont(const std::wstring& faceName, const std::string& file)
{
    m_Registry[faceName] = file;
}

KVXFont* FTFont::CreateFont(const std::wstring& faceName, int size)
{
    auto registered = m_Registry.find(faceName);
    if (registered == m_Registry.end())
        return nullptr;
    const std::string& file = registered->second;
    std::unique_ptr<KVXFont> font;
    bool imageset = file.find(".imageset") != std::string::npos;
    if (imageset)
        font = std::make_unique<KVXImagesetFont>(m_pDevice, m_pProvider.get());
    else
        font = std::make_unique<KVXFreeTypeFont>(m_pDevice, m_pSprite, m_pProvider.get());
    font->Load(file, size, m_nDpi);
    KVXFont* made = font.get();
    m_Fonts.push_back(FontEntry{faceName, std::move(font), size});
    if (imageset && !m_pDefaultImagesetFont)
        m_pDefaultImagesetFont = made;
    if (!imageset && !m_pDefaultFont)
        m_pDefaultFont = made;
    return made;
}

KVXFont* FTFont::GetFont(const std::wstring& faceName, int size)
{
    for (const FontEntry& entry : m_Fonts)
        if (entry.faceName == faceName && (entry.font->GetSize() == size || entry.requestedSize == size))
            return entry.font.get();
    return CreateFont(faceName, size);
}

int FTFont::DrawText(const std::wstring& faceName, int size, int x, int y, D3DCOLOR colour, int, int,
                     const wchar_t* text)
{
    KVXFont* font = GetFont(faceName, size);
    return font ? font->Draw(x, y, colour, text) : 0;
}

int FTFont::DrawWithSprite(KVXFont* font, int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    if (!font)
        return 0;
    bool begun = m_pSprite && SUCCEEDED(m_pSprite->Begin(D3DXSPRITE_ALPHABLEND));
    int total = font->Draw(x, y, colour, text);
    if (begun)
        m_pSprite->End();
    return total;
}

int FTFont::DrawDefault(int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    return DrawWithSprite(m_pDefaultFont, x, y, colour, text);
}

int FTFont::DrawDefaultImageset(int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    return DrawWithSprite(m_pDefaultImagesetFont, x, y, colour, text);
}

SIZE FTFont::MeasureWith(KVXFont* font, const wchar_t* text)
{
    int width = 0, height = 0;
    if (font)
        font->Measure(text, &width, &height);
    return SIZE{width, height};
}

SIZE FTFont::MeasureDefault(const wchar_t* text)
{
    return MeasureWith(m_pDefaultFont, text);
}

SIZE FTFont::MeasureDefaultImageset(const wchar_t* text)
{
    return MeasureWith(m_pDefaultImagesetFont, text);
}

SIZE FTFont::MeasureText(const std::wstring& faceName, int size, const wchar_t* text)
{
    return MeasureWith(GetFont(faceName, size), text);
}

void FTFont::Invalidate()
{
    for (FontEntry& entry : m_Fonts)
        entry.font->OnLostDevice();
    if (m_pSprite)
        m_pSprite->OnLostDevice();
}

void FTFont::Restore()
{
    for (FontEntry& entry : m_Fonts)
        entry.font->OnResetDevice();
    if (m_pSprite)
        m_pSprite->OnResetDevice();
}

void FTFont::ReleaseAll()
{
    ReleaseAndClear(m_pSprite);
    m_pDefaultFont = nullptr;
    m_pDefaultImagesetFont = nullptr;
    m_Fonts.clear();
    m_Registry.clear();
    m_pProvider.reset();
}
