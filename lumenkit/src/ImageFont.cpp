// Image fonts: text drawn with FreeType into a shared 256 x 256 bitmap, copied into each
// instance's texture as white glyphs on transparent black, and drawn line by line as sprites.
// Every face name is served by the Hangul font file of the run folder.
#include <lumenkit/ImageFont.h>

#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <win32/Files.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = CImageFont::kTextureSize;
// The faces come from the font files the game ships in its run folder, opened through the
// same path look-up as every other game file: the Hangul face first, the English one after it.
constexpr const char* kFaceFiles[] = {"Daum.ttf", "quiblyenglish.ttf"};

struct CachedFont {
    stFontInfo key;
    FT_Face face;
    int refs;
    std::shared_ptr<std::string> bytes; // the font file, alive as long as the face
};

// What every instance shares: the FreeType library, the bitmap text is drawn into, the
// instance count and the font cache.
struct Shared {
    FT_Library library = nullptr;
    std::vector<uint32_t> bitmap;
    int instances = 0;
    std::vector<CachedFont> fonts;
};

Shared& State()
{
    static Shared shared;
    return shared;
}

bool SameKey(const stFontInfo& a, const stFontInfo& b)
{
    return a.nHeight == b.nHeight && a.nWeight == b.nWeight && std::wcscmp(a.strFaceName, b.strFaceName) == 0;
}

FT_Face OpenFace(const stFontInfo& info, std::shared_ptr<std::string>& bytes)
{
    Shared& s = State();
    if (!s.library || info.nHeight <= 0)
        return nullptr;
    for (const char* file : kFaceFiles) {
        auto data = std::make_shared<std::string>();
        if (!platform::ReadWholeFile(file, *data) || data->empty())
            continue;
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(s.library, reinterpret_cast<const FT_Byte*>(data->data()),
                               static_cast<FT_Long>(data->size()), 0, &face) == 0) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(info.nHeight));
            bytes = std::move(data);
            return face;
        }
    }
    return nullptr;
}

HFONT TakeFont(const stFontInfo& info)
{
    Shared& s = State();
    for (CachedFont& entry : s.fonts) {
        if (SameKey(entry.key, info)) {
            ++entry.refs;
            return entry.face;
        }
    }
    std::shared_ptr<std::string> bytes;
    FT_Face face = OpenFace(info, bytes);
    if (!face)
        DFLog(L"%s 생성 실패", info.strFaceName);
    s.fonts.push_back({info, face, 1, std::move(bytes)});
    return face;
}

void ReleaseFont(HFONT font)
{
    Shared& s = State();
    auto it = std::find_if(s.fonts.begin(), s.fonts.end(), [font](const CachedFont& e) { return e.face == font; });
    if (!font || it == s.fonts.end() || --it->refs > 0)
        return;
    FT_Done_Face(it->face);
    s.fonts.erase(it);
}

int Advance(HFONT font, wchar_t c)
{
    auto face = static_cast<FT_Face>(font);
    if (!face || FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_DEFAULT) != 0)
        return 0;
    return static_cast<int>(face->glyph->advance.x >> 6);
}

// Draws one character with its cell's top-left at (x, top), as white coverage in the bitmap.
void DrawChar(HFONT font, wchar_t c, int x, int top)
{
    auto face = static_cast<FT_Face>(font);
    if (!face || FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0)
        return;
    const FT_GlyphSlot glyph = face->glyph;
    const int baseline = top + static_cast<int>(face->size->metrics.ascender >> 6);
    std::vector<uint32_t>& bitmap = State().bitmap;
    for (unsigned row = 0; row < glyph->bitmap.rows; ++row) {
        const int y = baseline - glyph->bitmap_top + static_cast<int>(row);
        for (unsigned col = 0; col < glyph->bitmap.width; ++col) {
            const int px = x + glyph->bitmap_left + static_cast<int>(col);
            const uint8_t coverage = glyph->bitmap.buffer[row * glyph->bitmap.pitch + col];
            if (y >= 0 && y < kSize && px >= 0 && px < kSize && coverage)
                bitmap[static_cast<size_t>(y) * kSize + static_cast<size_t>(px)] =
                    std::max<uint32_t>(bitmap[static_cast<size_t>(y) * kSize + static_cast<size_t>(px)],
                                       0x010101u * coverage);
        }
    }
}

} // namespace

CImageFont::CImageFont()
{
    m_FontInfo = {L"굴림", 16, 400};
    Init();
}

CImageFont::~CImageFont()
{
    Close();
}

void CImageFont::Init()
{
    m_pTexture = nullptr;
    m_strText[0] = 0;
    m_bDirty = 1;
    m_hFont = nullptr;
    m_rcLimit = {};
    Shared& s = State();
    if (!s.library && FT_Init_FreeType(&s.library) != 0)
        s.library = nullptr;
    if (s.bitmap.empty())
        s.bitmap.assign(static_cast<size_t>(kSize) * kSize, 0);
    if (!s.library)
        DFLog(L"Bitmap Not Create");
    // Counted once per object, however often Init and Close are called on it.
    if (!m_bCounted) {
        ++s.instances;
        m_bCounted = true;
    }
}

void CImageFont::Close()
{
    ReleaseFont(m_hFont);
    m_hFont = nullptr;
    Shared& s = State();
    if (m_bCounted && s.instances > 0 && --s.instances == 0) {
        s.bitmap.clear();
        s.bitmap.shrink_to_fit();
    }
    m_bCounted = false;
    ReleaseAndClear(m_pTexture);
    m_Lines.clear();
}

void CImageFont::Create(const wchar_t*, int, int)
{
    CreateTexture();
    stFontInfo info{L"돋움", 12, 400};
    SetFontInfo(&info);
}

void CImageFont::CreateTexture()
{
    CDirect3DDevice& device = singleton<CDirect3DDevice>::GetSingleton();
    if (!device.m_pd3dDevice)
        return;
    const D3DFORMAT format = device.GetFormat() == D3DFMT_R5G6B5 ? D3DFMT_A4R4G4B4 : D3DFMT_A8R8G8B8;
    if (FAILED(device.m_pd3dDevice->CreateTexture(kSize, kSize, 1, 0, format, D3DPOOL_MANAGED, &m_pTexture, nullptr)))
        m_pTexture = nullptr;
}

void CImageFont::SetFontInfo(stFontInfo* info)
{
    ReleaseFont(m_hFont);
    m_hFont = nullptr;
    if (info)
        m_FontInfo = *info;
    m_FontInfo.strFaceName[stFontInfo::kFaceChars - 1] = 0;
    if (!m_FontInfo.strFaceName[0])
        DFLog(L"디폴트 폰트가 생깁니다");
    m_hFont = TakeFont(m_FontInfo);
    m_bDirty = 1;
}

void CImageFont::DrawNormal(const wchar_t* text)
{
    if (!text)
        return;
    if (!m_bDirty && std::wcscmp(text, m_strText) == 0)
        return;
    m_bDirty = 0;
    m_Lines.clear();
    std::wcsncpy(m_strText, text, kTextChars - 1);
    m_strText[kTextChars - 1] = 0;

    Shared& s = State();
    if (s.bitmap.empty())
        return;
    std::fill(s.bitmap.begin(), s.bitmap.end(), 0u);
    const int height = std::max(1, m_FontInfo.nHeight);
    const int limitWidth = m_rcLimit.right - m_rcLimit.left;
    const int limit = limitWidth != 0 ? std::min(limitWidth, kSize) : kSize;
    // Only the lines that fit the texture's rows are kept, so nothing is written past it.
    const int maxLines = kSize / height;

    int lineWidth = 0;
    auto finishLine = [&] {
        const int index = static_cast<int>(m_Lines.size());
        m_Lines.push_back({{0, index * height, lineWidth, (index + 1) * height}, 0.0f,
                           static_cast<float>(index * height)});
        lineWidth = 0;
    };
    for (const wchar_t* c = m_strText; *c && static_cast<int>(m_Lines.size()) < maxLines; ++c) {
        const int advance = Advance(m_hFont, *c);
        if (lineWidth > 0 && lineWidth + advance > limit) {
            finishLine();
            if (static_cast<int>(m_Lines.size()) >= maxLines)
                break;
        }
        DrawChar(m_hFont, *c, lineWidth, static_cast<int>(m_Lines.size()) * height);
        lineWidth += advance;
    }
    if (lineWidth > 0 && static_cast<int>(m_Lines.size()) < maxLines)
        finishLine();
    const int rows = static_cast<int>(m_Lines.size()) * height;
    if (rows >= 1)
        ConvertBitmapInto(rows);
}

void CImageFont::ConvertBitmapInto(int rows)
{
    if (!m_pTexture)
        return;
    D3DSURFACE_DESC desc{};
    m_pTexture->GetLevelDesc(0, &desc);
    RECT area{0, 0, kSize, std::min(rows, kSize)};
    D3DLOCKED_RECT locked{};
    if (FAILED(m_pTexture->LockRect(0, &locked, &area, 0)))
        return;
    const std::vector<uint32_t>& bitmap = State().bitmap;
    for (int y = 0; y < area.bottom; ++y) {
        auto* row = static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
        for (int x = 0; x < kSize; ++x) {
            const uint32_t pixel = bitmap[static_cast<size_t>(y) * kSize + static_cast<size_t>(x)];
            if (desc.Format == D3DFMT_A4R4G4B4)
                reinterpret_cast<uint16_t*>(row)[x] = (pixel & 0xF0F0F0u) ? 0xFFFF : 0;
            else
                reinterpret_cast<uint32_t*>(row)[x] = (pixel & 0xFFu) ? 0xFFFFFFFFu : 0x00FFFFFFu;
        }
    }
    m_pTexture->UnlockRect(0);
}

void CImageFont::DrawTextW(const wchar_t* text, D3DXVECTOR3 position, unsigned int color, unsigned int shadowColor,
                           unsigned int mode)
{
    m_vPosition = position;
    DrawNormal(text);
    if (mode == 0)
        Render(color);
    else if (mode == 2)
        RenderShadow(color, shadowColor);
}

void CImageFont::DrawTextW(const wchar_t* text, float x, float y, unsigned int color, unsigned int shadowColor)
{
    if (!text || !*text)
        return;
    m_vPosition = D3DXVECTOR3(x, y, 0.0f);
    DrawNormal(text);
    RenderShadow(color, shadowColor);
}

void CImageFont::Render(unsigned int color)
{
    if (!g_pRenderer)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (Line& line : m_Lines) {
        D3DXVECTOR3 at(line.x + m_vPosition.x + 1, line.y + m_vPosition.y + 1, m_vPosition.z);
        g_pRenderer->DrawSprite(m_pTexture, &line.rect, nullptr, &at, color, &identity);
    }
}

void CImageFont::RenderShadow(unsigned int color, unsigned int shadowColor)
{
    if (!g_pRenderer)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (Line& line : m_Lines) {
        if (shadowColor > 0xFFFFFF) {
            D3DXVECTOR3 shadow(line.x + m_vPosition.x + 1, line.y + m_vPosition.y + 1, m_vPosition.z);
            g_pRenderer->DrawSprite(m_pTexture, &line.rect, nullptr, &shadow, shadowColor, &identity);
        }
        D3DXVECTOR3 at(line.x + m_vPosition.x, line.y + m_vPosition.y, m_vPosition.z);
        g_pRenderer->DrawSprite(m_pTexture, &line.rect, nullptr, &at, color, &identity);
    }
}

int CImageFont::GetTextWidth() const
{
    int width = 0;
    for (const Line& line : m_Lines)
        width += line.rect.right - line.rect.left;
    return width;
}

int CImageFont::GetTextHeight() const
{
    int height = 0;
    for (const Line& line : m_Lines)
        height = std::max(height, static_cast<int>(line.rect.bottom - line.rect.top));
    return height;
}

void CImageFont::GetTextSize(const wchar_t* text, SIZE* size)
{
    int cx = 0, cy = 0;
    GetTextSize(text, &cx, &cy);
    *size = {cx, cy};
}

void CImageFont::GetTextSize(const wchar_t* text, int* cx, int* cy)
{
    int width = 0;
    for (const wchar_t* c = text; c && *c; ++c)
        width += Advance(m_hFont, *c);
    *cx = width;
    *cy = m_hFont ? m_FontInfo.nHeight : 0;
}
