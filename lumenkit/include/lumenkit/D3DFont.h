// Text through D3DX fonts: CD3DFont keeps fonts by pixel size and prints single lines through
// the device's shared sprite; COutputInfo is the on-screen debug text, a column of magenta
// lines queued during a frame and drawn once at its end.
#pragma once

#include <helvane/Singleton.h>

#include <d3d9/D3DX9.h>

#include <list>
#include <map>
#include <string>

class CD3DFont : public singleton<CD3DFont> {
public:
    // The key of the default font and the size used for -1 and for sizes without a font.
    static constexpr int kDefaultSize = 12;

    CD3DFont() = default;
    CD3DFont(const CD3DFont&) = delete;
    CD3DFont& operator=(const CD3DFont&) = delete;
    virtual ~CD3DFont();

    // Creates the default font (16 pixels high, 8 wide) under the key 12.
    void Init();
    // Creates a font of `size` pixels (width size / 2) unless one exists for that size.
    void CreateFontW(int size, const wchar_t* faceName);
    // Draws one line at (x, y) and returns its width in pixels. Inside an open sprite pass the
    // text joins that pass; otherwise the line is drawn in a pass of its own.
    int Print(int x, int y, const wchar_t* text, int size = -1, int unused1 = -1, float unused2 = 1.0f);
    int GetTextExtentPoint32W(const wchar_t* text, SIZE* out, int size = -1);
    void SetColor(DWORD color) { m_Color = color; }
    DWORD GetColor() const { return m_Color; }
    void SetDepth(float depth) { m_fDepth = depth; }
    float GetDepth() const { return m_fDepth; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    void Invalidate();
    void Restore();
    // Releases every font; the next use creates the default font again.
    void Close();
    void DeleteFont(int) {}
    void SetFont(const char*) {}

    // The font for a size: -1 and sizes without a font give the default font.
    ID3DXFont* SelectFont(int size);
    bool HasFont(int size) const { return m_Fonts.count(size) != 0; }

private:
    std::map<int, ID3DXFont*> m_Fonts;
    int m_bInit = 0;
    D3DCOLOR m_Color = 0xFFFFFFFF;
    int m_nDefaultSize = 0;
    float m_fDepth = 0.0f;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

class COutputInfo : public singleton<COutputInfo> {
public:
    static constexpr size_t kLineChars = 512;
    static constexpr D3DCOLOR kColor = 0xFFFF00FF;

    // Formats printf-style (%s takes a wide string) into at most 511 characters and queues
    // the text as a new line.
    void Print(const wchar_t* format, ...);
    // Draws the queued lines at (10, 8 + 20 i) in magenta, without z-testing, and forgets them.
    void Flush();
    const std::list<std::wstring>& GetLines() const { return m_Lines; }

private:
    std::list<std::wstring> m_Lines;
};

// Queues the frame-rate line "FPS : <fps>"; returns 1.
int RenderFramerate(int fps);
