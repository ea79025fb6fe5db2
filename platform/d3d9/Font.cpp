// D3DX font over FreeType: glyphs rendered once into atlas textures (white, coverage as alpha)
// and drawn as sprites, through the caller's sprite or one of the font's own.
// Implemented: DrawTextW (single and multiple lines, left/centre/right, top/vcentre/bottom,
//              DT_CALCRECT, clipping to the rectangle unless DT_NOCLIP), GetDescW, GetDC with
//              GetTextExtentPoint32W, OnLostDevice/OnResetDevice (the atlas is managed memory
//              and survives).
// Left out:    the width argument (glyphs keep their proportions), italics, kerning, word
//              breaking, tabs and prefix characters.
// Faces: the Korean system faces and unknown names use NanumGothic (Hangul and Latin); names
//        starting "DejaVu" use DejaVu Sans. Weights of 600 and above use the bold file.
#include "Device.h"
#include "Log.h"

#include <d3d9/D3DX9.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::d3d9 {

namespace {

constexpr const char* kNanum = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";
constexpr const char* kNanumBold = "/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf";
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::vector<std::string> FaceFiles(const std::wstring& face, bool bold)
{
    bool dejaVu = face.rfind(L"DejaVu", 0) == 0;
    std::vector<std::string> files;
    if (dejaVu)
        files = {bold ? kDejaVuBold : kDejaVu, kDejaVu};
    files.push_back(bold ? kNanumBold : kNanum);
    files.push_back(kNanum);
    files.push_back(kDejaVu);
    return files;
}

// The device contexts handed out by fonts, so GetTextExtentPoint32W can tell them from others.
std::mutex g_dcLock;
std::set<const void*> g_fontDcs;

class Font;

struct FontDc {
    Font* font;
};

class Font final : public RefCounted<ID3DXFont> {
public:
    static HRESULT Create(Device* device, const D3DXFONT_DESCW& desc, Font** out);

    INT DrawTextW(ID3DXSprite* sprite, const wchar_t* text, INT count, RECT* rect, DWORD format,
                  D3DCOLOR color) override;
    HRESULT GetDescW(D3DXFONT_DESCW* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_desc;
        return D3D_OK;
    }
    HDC GetDC() override { return reinterpret_cast<HDC>(&m_dc); }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

    int TextWidth(const wchar_t* text, size_t count);
    int CellHeight() const { return m_ascent + m_descent; }

private:
    struct Glyph {
        IDirect3DTexture9* page = nullptr;
        RECT source{};
        int left = 0, top = 0, advance = 0;
    };

    Font(Device* device, const D3DXFONT_DESCW& desc) : m_device(device), m_desc(desc), m_dc{this} {}
    ~Font() override;
    bool Open(const std::vector<std::string>& files);
    const Glyph& GlyphOf(wchar_t c);
    bool Place(int w, int h, RECT& out);
    void DrawLine(ID3DXSprite* sprite, const wchar_t* text, size_t count, int x, int y, const RECT* clip,
                  D3DCOLOR color);

    Device* m_device;
    D3DXFONT_DESCW m_desc;
    FontDc m_dc;
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    std::string m_bytes;  // FreeType reads the face from this memory
    int m_ascent = 0, m_descent = 0;
    std::unordered_map<wchar_t, Glyph> m_glyphs;
    std::vector<Ref<IDirect3DTexture9>> m_pages;
    int m_pageSide = 256, m_penX = 0, m_penY = 0, m_rowHeight = 0;
    ID3DXSprite* m_ownSprite = nullptr;
};

HRESULT Font::Create(Device* device, const D3DXFONT_DESCW& desc, Font** out)
{
    auto* font = new Font(device, desc);
    device->AddRef();
    if (!font->Open(FaceFiles(desc.FaceName, desc.Weight >= 600))) {
        font->Release();
        return D3DERR_NOTAVAILABLE;
    }
    {
        std::lock_guard guard(g_dcLock);
        g_fontDcs.insert(&font->m_dc);
    }
    *out = font;
    return D3D_OK;
}

Font::~Font()
{
    {
        std::lock_guard guard(g_dcLock);
        g_fontDcs.erase(&m_dc);
    }
    if (m_ownSprite)
        m_ownSprite->Release();
    m_pages.clear();
    if (m_face)
        FT_Done_Face(m_face);
    if (m_library)
        FT_Done_FreeType(m_library);
    m_device->Release();
}

bool Font::Open(const std::vector<std::string>& files)
{
    if (FT_Init_FreeType(&m_library) != 0)
        return false;
    for (const std::string& file : files) {
        if (!platform::ReadWholeFile(file, m_bytes))
            continue;
        if (FT_New_Memory_Face(m_library, reinterpret_cast<const FT_Byte*>(m_bytes.data()),
                               static_cast<FT_Long>(m_bytes.size()), 0, &m_face) == 0)
            break;
        m_face = nullptr;
    }
    if (!m_face) {
        LogLine("D3DXCreateFont: no font file for '%s'", platform::Narrow(m_desc.FaceName).c_str());
        return false;
    }
    // A positive height is the cell (ascent plus descent), a negative one the em size.
    int height = m_desc.Height == 0 ? 16 : m_desc.Height;
    double em = -height;
    if (height > 0) {
        double cellUnits = double(m_face->ascender) - double(m_face->descender);
        em = cellUnits > 0 ? height * double(m_face->units_per_EM) / cellUnits : height;
    }
    FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(std::max(1.0, std::round(em))));
    m_ascent = static_cast<int>(std::ceil(m_face->size->metrics.ascender / 64.0));
    m_descent = static_cast<int>(std::ceil(-m_face->size->metrics.descender / 64.0));
    if (height > 0)
        m_descent = std::max(0, height - m_ascent);
    m_pageSide = CellHeight() > 100 ? 1024 : 256;
    return true;
}

bool Font::Place(int w, int h, RECT& out)
{
    if (w > m_pageSide || h > m_pageSide)
        return false;
    if (m_pages.empty() || m_penX + w > m_pageSide) {
        m_penY += m_rowHeight + 1;
        m_penX = 0;
        m_rowHeight = 0;
    }
    if (m_pages.empty() || m_penY + h > m_pageSide) {
        IDirect3DTexture9* page = nullptr;
        if (FAILED(m_device->CreateTexture(m_pageSide, m_pageSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &page,
                                           nullptr)))
            return false;
        m_pages.push_back(Ref<IDirect3DTexture9>::Adopt(page));
        m_penX = m_penY = m_rowHeight = 0;
    }
    out = {m_penX, m_penY, m_penX + w, m_penY + h};
    m_penX += w + 1;
    m_rowHeight = std::max(m_rowHeight, h);
    return true;
}

const Font::Glyph& Font::GlyphOf(wchar_t c)
{
    auto found = m_glyphs.find(c);
    if (found != m_glyphs.end())
        return found->second;
    Glyph& glyph = m_glyphs[c];
    if (FT_Load_Char(m_face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0)
        return glyph;
    FT_GlyphSlot slot = m_face->glyph;
    glyph.advance = static_cast<int>(slot->advance.x >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = m_ascent - slot->bitmap_top;
    const FT_Bitmap& bitmap = slot->bitmap;
    int w = static_cast<int>(bitmap.width), h = static_cast<int>(bitmap.rows);
    if (w == 0 || h == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || !Place(w, h, glyph.source))
        return glyph;
    glyph.page = m_pages.back().Get();
    D3DLOCKED_RECT locked{};
    if (FAILED(glyph.page->LockRect(0, &locked, &glyph.source, 0))) {
        glyph.page = nullptr;
        return glyph;
    }
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        const uint8_t* coverage = bitmap.buffer + y * bitmap.pitch;
        for (int x = 0; x < w; ++x)
            row[x] = (uint32_t(coverage[x]) << 24) | 0xFFFFFFu;
    }
    glyph.page->UnlockRect(0);
    return glyph;
}

int Font::TextWidth(const wchar_t* text, size_t count)
{
    int width = 0;
    for (size_t i = 0; i < count; ++i)
        width += GlyphOf(text[i]).advance;
    return width;
}

void Font::DrawLine(ID3DXSprite* sprite, const wchar_t* text, size_t count, int x, int y, const RECT* clip,
                    D3DCOLOR color)
{
    for (size_t i = 0; i < count; ++i) {
        const Glyph& glyph = GlyphOf(text[i]);
        if (glyph.page) {
            RECT source = glyph.source;
            int left = x + glyph.left, top = y + glyph.top;
            if (clip) {
                // Cut the glyph to the rectangle, texel for pixel.
                int cutLeft = std::max(0, int(clip->left) - left), cutTop = std::max(0, int(clip->top) - top);
                source.left += cutLeft;
                source.top += cutTop;
                source.right -= std::max(0, left + int(glyph.source.right - glyph.source.left) - int(clip->right));
                source.bottom -= std::max(0, top + int(glyph.source.bottom - glyph.source.top) - int(clip->bottom));
                left += cutLeft;
                top += cutTop;
            }
            if (source.right > source.left && source.bottom > source.top) {
                D3DVECTOR position{float(left), float(top), 0.0f};
                sprite->Draw(glyph.page, &source, nullptr, reinterpret_cast<const D3DXVECTOR3*>(&position), color);
            }
        }
        x += glyph.advance;
    }
}

INT Font::DrawTextW(ID3DXSprite* sprite, const wchar_t* text, INT count, RECT* rect, DWORD format, D3DCOLOR color)
{
    if (!text || !rect)
        return 0;
    size_t length = count < 0 ? std::wcslen(text) : static_cast<size_t>(count);
    std::vector<std::wstring> lines;
    if (format & DT_SINGLELINE) {
        std::wstring line(text, length);
        std::erase_if(line, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
        lines.push_back(line);
    } else {
        std::wstring current;
        for (size_t i = 0; i < length; ++i) {
            if (text[i] == L'\n') {
                lines.push_back(current);
                current.clear();
            } else if (text[i] != L'\r') {
                current += text[i];
            }
        }
        lines.push_back(current);
    }
    int height = CellHeight() * static_cast<int>(lines.size());
    std::vector<int> widths;
    int widest = 0;
    for (const std::wstring& line : lines) {
        widths.push_back(TextWidth(line.data(), line.size()));
        widest = std::max(widest, widths.back());
    }
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    int top = rect->top;
    if (format & DT_BOTTOM)
        top = rect->bottom - height;
    else if (format & DT_VCENTER)
        top = (rect->top + rect->bottom - height) / 2;

    ID3DXSprite* drawer = sprite;
    if (!drawer) {
        if (!m_ownSprite && FAILED(D3DXCreateSprite(m_device, &m_ownSprite)))
            return 0;
        drawer = m_ownSprite;
        drawer->Begin(D3DXSPRITE_ALPHABLEND);
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
    for (size_t i = 0; i < lines.size(); ++i) {
        int x = rect->left;
        if (format & DT_RIGHT)
            x = rect->right - widths[i];
        else if (format & DT_CENTER)
            x = (rect->left + rect->right - widths[i]) / 2;
        DrawLine(drawer, lines[i].data(), lines[i].size(), x, top + CellHeight() * static_cast<int>(i), clip, color);
    }
    if (!sprite)
        drawer->End();
    return height;
}

} // namespace

} // namespace platform::d3d9

HRESULT D3DXCreateFontW(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels, BOOL italic,
                        DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily,
                        const wchar_t* faceName, ID3DXFont** font)
{
    using namespace platform::d3d9;
    Device* ours = AsDevice(device);
    if (!ours || !font)
        return D3DERR_INVALIDCALL;
    *font = nullptr;
    D3DXFONT_DESCW desc{height, width, weight, mipLevels, italic, static_cast<BYTE>(charSet),
                        static_cast<BYTE>(outputPrecision), static_cast<BYTE>(quality),
                        static_cast<BYTE>(pitchAndFamily), {}};
    if (faceName)
        std::wcsncpy(desc.FaceName, faceName, LF_FACESIZE - 1);
    Font* created = nullptr;
    HRESULT hr = Font::Create(ours, desc, &created);
    *font = created;
    return hr;
}

BOOL GetTextExtentPoint32W(HDC dc, const wchar_t* text, int count, SIZE* size)
{
    using namespace platform::d3d9;
    if (!dc || !text || !size)
        return FALSE;
    {
        std::lock_guard guard(g_dcLock);
        if (!g_fontDcs.count(dc))
            return FALSE;
    }
    Font* font = reinterpret_cast<FontDc*>(dc)->font;
    size_t length = count < 0 ? std::wcslen(text) : static_cast<size_t>(count);
    size->cx = font->TextWidth(text, length);
    size->cy = font->CellHeight();
    return TRUE;
}
