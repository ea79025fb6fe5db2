// D3DX fonts by size, and the per-frame debug text overlay.
#include <lumenkit/D3DFont.h>

#include <lumenkit/Direct3DDevice.h>

#include <win32/Text.h>

#include <cstdarg>

namespace {

constexpr const wchar_t* kDefaultFace = L"굴림";
constexpr int kDefaultFontHeight = 16;
constexpr int kDefaultFontWidth = 8;
constexpr UINT kFontWeight = 2000;
constexpr DWORD kCharSet = 1;
constexpr DWORD kOutputPrecision = 7;
constexpr UINT kSingleLineNoClip = DT_SINGLELINE | DT_NOCLIP;

ID3DXFont* MakeFont(int height, int width, const wchar_t* face)
{
    IDirect3DDevice9* device = singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
    ID3DXFont* font = nullptr;
    if (!device || FAILED(D3DXCreateFontW(device, height, static_cast<UINT>(width), kFontWeight, 0, FALSE, kCharSet,
                                          kOutputPrecision, 0, 0, face, &font)))
        return nullptr;
    return font;
}

// Rows (1, 0, 0, 0), (0, 1, 0, 0), (0, 0, 0, 0), (0, 0, depth, 1): every glyph lies at z = depth.
D3DXMATRIX DepthTransform(float depth)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._33 = 0.0f;
    m._43 = depth;
    return m;
}

} // namespace

CD3DFont::~CD3DFont()
{
    Close();
}

void CD3DFont::Init()
{
    if (ID3DXFont* font = MakeFont(kDefaultFontHeight, kDefaultFontWidth, kDefaultFace)) {
        m_Fonts[kDefaultSize] = font;
        D3DXFONT_DESCW desc{};
        font->GetDesc(&desc);
        m_nWidth = static_cast<int>(desc.Width);
        m_nHeight = desc.Height;
    }
    m_nDefaultSize = kDefaultSize;
    m_bInit = 1;
}

void CD3DFont::CreateFontW(int size, const wchar_t* faceName)
{
    if (m_Fonts.count(size))
        return;
    if (ID3DXFont* font = MakeFont(size, size / 2, faceName))
        m_Fonts[size] = font;
}

ID3DXFont* CD3DFont::SelectFont(int size)
{
    auto it = size == -1 ? m_Fonts.end() : m_Fonts.find(size);
    if (it == m_Fonts.end())
        it = m_Fonts.find(m_nDefaultSize);
    return it == m_Fonts.end() ? nullptr : it->second;
}

int CD3DFont::GetTextExtentPoint32W(const wchar_t* text, SIZE* out, int size)
{
    if (!m_bInit)
        Init();
    *out = {0, 0};
    ID3DXFont* font = SelectFont(size);
    if (font && text)
        ::GetTextExtentPoint32W(font->GetDC(), text, static_cast<int>(wcslen(text)), out);
    return 1;
}

int CD3DFont::Print(int x, int y, const wchar_t* text, int size, int, float)
{
    if (!m_bInit)
        Init();
    ID3DXFont* font = SelectFont(size);
    ID3DXSprite* sprite = singleton<CDirect3DDevice>::GetSingleton().m_pSprite;
    if (!font || !sprite || !text)
        return 0;
    D3DXMATRIX saved;
    sprite->GetTransform(&saved);
    // Inside a pass that is already open (the debug overlay's), the text joins it: a nested
    // Begin would fail, and the inner End would close the outer pass early.
    const bool ownPass = SUCCEEDED(sprite->Begin(D3DXSPRITE_ALPHABLEND));
    const D3DXMATRIX atDepth = DepthTransform(m_fDepth);
    sprite->SetTransform(&atDepth);
    SIZE extent{};
    GetTextExtentPoint32W(text, &extent, size);
    RECT rect{x, y, extent.cx, extent.cy};
    font->DrawTextW(sprite, text, -1, &rect, kSingleLineNoClip, m_Color);
    if (ownPass)
        sprite->End();
    sprite->SetTransform(&saved);
    return extent.cx;
}

void CD3DFont::Invalidate()
{
    for (auto& [size, font] : m_Fonts)
        font->OnLostDevice();
}

void CD3DFont::Restore()
{
    for (auto& [size, font] : m_Fonts)
        font->OnResetDevice();
}

void CD3DFont::Close()
{
    for (auto& [size, font] : m_Fonts)
        font->Release();
    m_Fonts.clear();
    m_bInit = 0;
}

// ---- COutputInfo ----------------------------------------------------------------------------

void COutputInfo::Print(const wchar_t* format, ...)
{
    if (!format)
        return;
    wchar_t line[kLineChars];
    va_list args;
    va_start(args, format);
    platform::FormatWideInto(line, kLineChars, format, args);
    va_end(args);
    m_Lines.emplace_back(line);
}

void COutputInfo::Flush()
{
    IDirect3DDevice9* device = singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
    ID3DXSprite* sprite = singleton<CDirect3DDevice>::GetSingleton().m_pSprite;
    if (!device || !sprite) {
        m_Lines.clear();
        return;
    }
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    device->SetRenderState(D3DRS_ZENABLE, 0);
    CD3DFont& font = singleton<CD3DFont>::GetSingleton();
    const D3DCOLOR savedColor = font.GetColor();
    font.SetColor(kColor);
    int row = 0;
    for (const std::wstring& line : m_Lines)
        font.Print(10, 8 + 20 * row++, line.c_str(), -1, -1, 1.0f);
    m_Lines.clear();
    // The sprite's End puts back the states of its Begin; z-testing is switched on after it,
    // so the scene that follows always has it.
    sprite->End();
    device->SetRenderState(D3DRS_ZENABLE, 1);
    font.SetColor(savedColor);
}

int RenderFramerate(int fps)
{
    singleton<COutputInfo>::GetSingleton().Print(L"FPS : %d", fps);
    return 1;
}
