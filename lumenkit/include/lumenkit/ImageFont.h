// Text rendered into a 256 x 256 texture, broken into lines, and drawn as sprites, with an
// optional one-pixel shadow. The glyphs come from TrueType faces shared by every instance
// through a cache keyed by face name, height and weight.
#pragma once

#include <d3d9/D3DX9.h>

#include <vector>

struct stFontInfo {
    static constexpr size_t kFaceChars = 16;

    wchar_t strFaceName[kFaceChars];
    int nHeight;
    int nWeight;
};

class CImageFont {
public:
    static constexpr int kTextureSize = 256;
    static constexpr size_t kTextChars = 256;

    CImageFont();
    CImageFont(const CImageFont&) = delete;
    CImageFont& operator=(const CImageFont&) = delete;
    ~CImageFont();

    void Init();
    void Close();
    // Makes the texture and selects the face "돋움", 12 pixels, normal weight.
    void Create(const wchar_t* unused1, int unused2, int unused3);
    void CreateTexture();
    void SetFontInfo(stFontInfo* info);
    stFontInfo* GetFontInfo() { return &m_FontInfo; }
    // Lines are broken where they would pass the rectangle's width (when it has one).
    void SetRecrt(RECT rect) { m_rcLimit = rect; }
    // Renders the text into the texture unless it is already there.
    void DrawNormal(const wchar_t* text);
    // mode 0: plain; mode 2: with a shadow; other modes draw nothing.
    void DrawTextW(const wchar_t* text, D3DXVECTOR3 position, unsigned int color, unsigned int shadowColor,
                   unsigned int mode);
    void DrawTextW(const wchar_t* text, float x, float y, unsigned int color, unsigned int shadowColor);
    void Render(unsigned int color);
    void RenderShadow(unsigned int color, unsigned int shadowColor);
    int GetTextWidth() const;
    int GetTextHeight() const;
    void GetTextSize(const wchar_t* text, SIZE* size);
    void GetTextSize(const wchar_t* text, int* cx, int* cy);
    void Invalidate() {}
    void Restore() {}

    struct Line {
        RECT rect;
        float x, y;
    };
    const std::vector<Line>& GetLines() const { return m_Lines; }
    IDirect3DTexture9* GetTexture() const { return m_pTexture; }

private:
    void ConvertBitmapInto(int rows);

    IDirect3DTexture9* m_pTexture = nullptr;
    wchar_t m_strText[kTextChars] = {};
    int m_bDirty = 1;
    D3DXVECTOR3 m_vPosition{0, 0, 0};
    stFontInfo m_FontInfo{};
    HFONT m_hFont = nullptr;
    std::vector<Line> m_Lines;
    RECT m_rcLimit{};
    bool m_bCounted = false; // this object is one of the shared instance count
};
