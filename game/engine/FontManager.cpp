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
    std::lock_guard guard(m_lock);
    m_pDevice = device;
    m_pProvider = std::make_unique<KVXDefaultResourceProvider>();
    m_pFiles = std::make_unique<FontFileShare>(m_pProvider.get());
    ReleaseAndClear(m_pSprite);
    if (device && FAILED(D3DXCreateSprite(device, &m_pSprite)))
        m_pSprite = nullptr;
}

void FTFont::RegisterFont(const std::wstring& faceName, const std::string& file)
{
    std::lock_guard guard(m_lock);
    m_Registry[faceName] = file;
}

KVXFont* FTFont::CreateFont(const std::wstring& faceName, int size)
{
    std::lock_guard guard(m_lock);
    return Enter(faceName, size, true);
}

KVXFont* FTFont::AddFont(const std::wstring& faceName, int size)
{
    std::lock_guard guard(m_lock);
    return Enter(faceName, size, false);
}

KVXFont* FTFont::Enter(const std::wstring& faceName, int size, bool loadNow)
{
    auto registered = m_Registry.find(faceName);
    if (registered == m_Registry.end())
        return nullptr;
    const std::string& file = registered->second;
    std::unique_ptr<KVXFont> font;
    bool imageset = file.find(".imageset") != std::string::npos;
    if (imageset)
        font = std::make_unique<KVXImagesetFont>(m_pProvider.get());
    else
        font = std::make_unique<KVXFreeTypeFont>(m_pDevice, m_pSprite, m_pProvider.get(), m_pFiles.get());
    KVXFont* made = font.get();
    m_Fonts.push_back(FontEntry{faceName, std::move(font), size, file, false});
    if (loadNow)
        Ready(m_Fonts.back());
    if (imageset && !m_pDefaultImagesetFont)
        m_pDefaultImagesetFont = made;
    if (!imageset && !m_pDefaultFont)
        m_pDefaultFont = made;
    return made;
}

KVXFont* FTFont::Ready(FontEntry& entry)
{
    if (!entry.loaded) {
        // A font whose Load fails stays in the list all the same and draws nothing.
        entry.loaded = true;
        entry.font->Load(entry.pendingFile, entry.requestedSize, m_nDpi);
        entry.pendingFile.clear();
    }
    return entry.font.get();
}

KVXFont* FTFont::ReadyDefault(bool imageset)
{
    std::lock_guard guard(m_lock);
    KVXFont* wanted = imageset ? m_pDefaultImagesetFont : m_pDefaultFont;
    for (FontEntry& entry : m_Fonts)
        if (entry.font.get() == wanted)
            return Ready(entry);
    return nullptr;
}

KVXFont* FTFont::GetFont(const std::wstring& faceName, int size)
{
    std::lock_guard guard(m_lock);
    for (FontEntry& entry : m_Fonts)
        if (entry.faceName == faceName &&
            (entry.requestedSize == size || (entry.loaded && entry.font->GetSize() == size)))
            return Ready(entry);
    return Enter(faceName, size, true);
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
    return DrawWithSprite(ReadyDefault(false), x, y, colour, text);
}

int FTFont::DrawDefaultImageset(int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    return DrawWithSprite(ReadyDefault(true), x, y, colour, text);
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
    return MeasureWith(ReadyDefault(false), text);
}

SIZE FTFont::MeasureDefaultImageset(const wchar_t* text)
{
    return MeasureWith(ReadyDefault(true), text);
}

SIZE FTFont::MeasureText(const std::wstring& faceName, int size, const wchar_t* text)
{
    return MeasureWith(GetFont(faceName, size), text);
}

void FTFont::Invalidate()
{
    std::lock_guard guard(m_lock);
    for (FontEntry& entry : m_Fonts)
        if (entry.loaded)
            entry.font->OnLostDevice();
    if (m_pSprite)
        m_pSprite->OnLostDevice();
}

void FTFont::Restore()
{
    std::lock_guard guard(m_lock);
    for (FontEntry& entry : m_Fonts)
        if (entry.loaded)
            entry.font->OnResetDevice();
    if (m_pSprite)
        m_pSprite->OnResetDevice();
}

void FTFont::ReleaseAll()
{
    std::lock_guard guard(m_lock);
    ReleaseAndClear(m_pSprite);
    m_pDefaultFont = nullptr;
    m_pDefaultImagesetFont = nullptr;
    m_Fonts.clear();
    m_Registry.clear();
    m_pFiles.reset();
    m_pProvider.reset();
}
