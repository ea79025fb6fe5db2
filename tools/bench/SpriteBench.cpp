// Frames of N textured, alpha-blended 32 x 32 sprites at 1024 x 768 through ID3DXSprite:
// clear, Begin, N moving Draws, End, Present. Reports milliseconds per frame: "Time" as the
// frames were handed over, "drawn_ms" until the last of them was drawn.
// Two set-ups: BM_SpriteFrame draws as a sprite-only program would, with no depth buffer in the
// window or the device; BM_SpriteFrameWithDepth as the game does, with a 16-bit depth buffer in
// the device and depth testing off for sprites.
#include "HeadlessDevice.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr UINT kWidth = HeadlessDevice::kWidth, kHeight = HeadlessDevice::kHeight, kSide = 32;

struct Mover {
    float x, y, dx, dy;
};

class SpriteScene {
public:
    explicit SpriteScene(bool depth) : m_screen("SpriteBench", depth), m_device(m_screen.device), m_sprite(m_screen.sprite)
    {
        if (!m_device)
            std::abort();
        m_device->CreateTexture(kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture, nullptr);
        D3DLOCKED_RECT locked{};
        m_texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < kSide; ++y)
            for (UINT x = 0; x < kSide; ++x) {
                bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
                static_cast<uint32_t*>(locked.pBits)[y * kSide + x] = edge ? 0x00000000 : 0xC0FFC040;
            }
        m_texture->UnlockRect(0);
    }

    ~SpriteScene() { m_texture->Release(); }

    void Place(int count)
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> px(0, kWidth - kSide), py(0, kHeight - kSide), speed(-1, 1);
        m_movers.clear();
        for (int i = 0; i < count; ++i)
            m_movers.push_back({px(random), py(random), speed(random), speed(random)});
    }

    void Frame()
    {
        m_device->BeginScene();
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFA0A0A0, 1.0f, 0);
        m_sprite->Begin(D3DXSPRITE_ALPHABLEND);
        // As the game's sprite flush does: point filtering after Begin.
        m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        // As the game's renderer does for its sprite batches: no depth test (restored after).
        DWORD depthTest = D3DZB_FALSE;
        m_device->GetRenderState(D3DRS_ZENABLE, &depthTest);
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        for (Mover& m : m_movers) {
            m.x += m.dx;
            m.y += m.dy;
            if (m.x < 0 || m.x > kWidth - kSide)
                m.dx = -m.dx;
            if (m.y < 0 || m.y > kHeight - kSide)
                m.dy = -m.dy;
            D3DVECTOR position{m.x, m.y, 0};
            m_sprite->Draw(m_texture, nullptr, nullptr, reinterpret_cast<const D3DXVECTOR3*>(&position), 0xFFFFFFFF);
        }
        m_sprite->End();
        m_device->SetRenderState(D3DRS_ZENABLE, depthTest);
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    // Returns once every frame handed over has been drawn: reading a pixel waits for them.
    void WaitForDrawing()
    {
        IDirect3DSurface9* target = nullptr;
        m_device->GetRenderTarget(0, &target);
        D3DLOCKED_RECT locked{};
        RECT one{0, 0, 1, 1};
        if (target->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK)
            target->UnlockRect();
        target->Release();
    }

private:
    HeadlessDevice m_screen;
    IDirect3DDevice9* m_device;
    ID3DXSprite* m_sprite;
    IDirect3DTexture9* m_texture = nullptr;
    std::vector<Mover> m_movers;
};

void RunFrames(SpriteScene& scene, benchmark::State& state)
{
    scene.Place(static_cast<int>(state.range(0)));
    scene.WaitForDrawing();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        scene.Frame();
    scene.WaitForDrawing();
    std::chrono::duration<double, std::milli> drawn = std::chrono::steady_clock::now() - start;
    state.counters["sprites"] = static_cast<double>(state.range(0));
    state.counters["drawn_ms"] = drawn.count() / static_cast<double>(state.iterations());
}

void BM_SpriteFrame(benchmark::State& state)
{
    static SpriteScene scene(false);
    RunFrames(scene, state);
}

void BM_SpriteFrameWithDepth(benchmark::State& state)
{
    static SpriteScene scene(true);
    RunFrames(scene, state);
}

} // namespace

BENCHMARK(BM_SpriteFrame)->Arg(0)->Arg(100)->Arg(1000)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SpriteFrameWithDepth)->Arg(0)->Arg(100)->Arg(1000)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
