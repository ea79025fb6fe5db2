// A screen of text per frame: 2,000 glyphs of mixed Hangul and Latin text (40 lines of 50
// characters) drawn with the default FreeType font through the glyph atlas, queued as sprites,
// drawn through one sprite pass on an offscreen 1024 x 768 device and presented. A second
// benchmark measures only the font's work: looking the glyphs up and queueing them.
#include "engine/FontManager.h"
#include "engine/FrameGraphics.h"

#include "HeadlessDevice.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kLines = 40;
constexpr int kLineChars = 50;
const char* kFontFile = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";

// The frame renderer's part that matters here: a queue of sprites drawn in one pass.
class SpriteQueue : public FrameGraphics {
public:
    struct Queued {
        IDirect3DTexture9* texture;
        RECT source;
        D3DXVECTOR3 position;
        D3DCOLOR colour;
    };

    void DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3*, const D3DXVECTOR3* position,
                    D3DCOLOR colour, const D3DXMATRIX*) override
    {
        queue.push_back({texture, *source, *position, colour});
    }
    int GetTextureHandle(const std::wstring&, bool) override { return -1; }
    IDirect3DTexture9* GetTexture(int) override { return nullptr; }

    void Flush(ID3DXSprite* sprite)
    {
        sprite->Begin(D3DXSPRITE_ALPHABLEND);
        for (const Queued& q : queue)
            sprite->Draw(q.texture, &q.source, nullptr, &q.position, q.colour);
        sprite->End();
        queue.clear();
    }

    std::vector<Queued> queue;
};

// One line of 50 characters mixing Hangul syllables, Latin letters, digits and spaces.
std::vector<std::wstring> ScreenText()
{
    const std::wstring words[] = {L"퀴블리 ", L"Quibly ", L"점수 ", L"12345 ", L"콤보 ", L"Combo x3 ", L"블록을 ",
                                  L"clear! ", L"스테이지 ", L"Stage 7 "};
    std::vector<std::wstring> lines;
    for (int line = 0; line < kLines; ++line) {
        std::wstring text;
        for (int w = line; text.size() < static_cast<size_t>(kLineChars); ++w)
            text += words[w % 10];
        text.resize(kLineChars);
        lines.push_back(text);
    }
    return lines;
}

class GlyphScreen {
    HeadlessDevice m_screen;  // first made and last gone: the members below draw with it

public:
    GlyphScreen() : m_screen("glyph bench", false)
    {
        if (!m_screen.device)
            return;
        SetFrameGraphics(&queue);
        fonts.InitDevice(m_screen.device);
        fonts.RegisterFont(L"Default", kFontFile);
        fonts.GetFont(L"Default", 14);
        lines = ScreenText();
    }

    ~GlyphScreen()
    {
        fonts.ReleaseAll();
        SetFrameGraphics(nullptr);
    }

    bool Ready() const { return m_screen.device && fonts.GetDefaultFont(); }

    void QueueText()
    {
        for (int line = 0; line < kLines; ++line)
            fonts.DrawDefault(4, 4 + line * 19, 0xFFFFFFFF, lines[line].c_str());
    }

    void DrawFrame()
    {
        m_screen.device->BeginScene();
        m_screen.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        QueueText();
        queue.Flush(m_screen.sprite);
        m_screen.device->EndScene();
        m_screen.device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    SpriteQueue queue;
    FTFont fonts;
    std::vector<std::wstring> lines;

};

void BM_DrawGlyphScreen(benchmark::State& state)
{
    GlyphScreen screen;
    if (!screen.Ready()) {
        state.SkipWithError("no device or no font");
        return;
    }
    screen.DrawFrame(); // fills the atlas
    for (auto _ : state)
        screen.DrawFrame();
    state.counters["glyphs/frame"] = kLines * kLineChars;
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawGlyphScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QueueGlyphScreen(benchmark::State& state)
{
    GlyphScreen screen;
    if (!screen.Ready()) {
        state.SkipWithError("no device or no font");
        return;
    }
    screen.QueueText();
    screen.queue.queue.clear();
    for (auto _ : state) {
        screen.QueueText();
        benchmark::DoNotOptimize(screen.queue.queue.data());
        screen.queue.queue.clear();
    }
}
BENCHMARK(BM_QueueGlyphScreen)->Unit(benchmark::kMicrosecond);

} // namespace
