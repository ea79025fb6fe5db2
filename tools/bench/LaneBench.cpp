// Frames of the battle's attack lane with 200 units a side walking into each other: the front
// pairs clash every frame and each side is topped up at its tower to 200 units again. The lane
// draws the game's own animations (the skin's unit, badge and digit files from the run folder's
// data) through the game's renderer on a hidden 1024 x 768 window. Reports milliseconds per
// frame: "update_ms" for AttackLine::Update, "draw_ms" for its three draw handlers and the
// sprite flush, "drawn_ms" until the last frame was drawn.
//
// Run it from anywhere: it finds the run folder beside its own folder (build-bench/run), or in
// QUIBLY_RUN_DIR.
#include "lane/AttackLine.h"
#include "engine/LumenkitRenderBackend.h"
#include "engine/PlayerSettings.h"
#include "engine/RenderBackend.h"
#include "engine/SkinTable.h"

#include <helvane/ResourceFileManager.h>
#include <d3d9/BackBufferShot.h>
#include <lumenkit/Direct3DDevice.h>
#include <win32/User.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

constexpr int kUnitsPerSide = 200;
// The picture of LANE_BENCH_SHOT shows this many units a side, so each can be seen.
constexpr int kShotUnitsPerSide = 8;

class NoMessages : public IMessageSink {
public:
    void Post(int32_t, const uint8_t*, size_t) override {}
};

class NoSounds : public ISoundSink {
public:
    void Play(int, bool, float) override {}
    void Stop(int) override {}
    bool IsPlaying(int) override { return false; }
};

class NoLengths : public IAnimationLengths {
public:
    float SceneLength(const std::string&, const std::string&) override { return 0.5f; }
};

std::filesystem::path RunFolder()
{
    if (const char* dir = std::getenv("QUIBLY_RUN_DIR"))
        return dir;
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "run";
}

class LaneScreen {
public:
    LaneScreen()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        std::filesystem::current_path(RunFolder());
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        SkinTable.LoadSkin(0);
        AttachPlayerSettings({[](int index) {
                                  const char* name = SkinTable.GetSkinString(index);
                                  return std::string(name ? name : "");
                              },
                              {}});
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"LaneBench";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, L"LaneBench", L"Quibly", 0x80CA0000, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                                   nullptr);
        if (!m_window || CDirect3DDevice::GetSingleton().Create(m_window, 1, -1, -1) != 1)
            std::abort();
        InstallLumenkitRenderBackend();
        m_lane = std::make_unique<AttackLine>(LaneContext(m_messages, m_sounds, m_lengths));
    }

    // Both sides full, spread from their towers to the middle, where they meet.
    void Fill(int perSide = kUnitsPerSide)
    {
        m_perSide = static_cast<size_t>(perSide);
        m_lane->Reset();
        const float spacing = 380.0f / static_cast<float>(perSide);
        for (int i = 0; i < perSide; ++i) {
            Launch(true)->m_fPosition = 392.0f - static_cast<float>(i) * spacing;
            Launch(false)->m_fPosition = 392.0f - static_cast<float>(i) * spacing;
        }
    }

    void Update()
    {
        m_lane->Update(1.0f / 60.0f);
        while (m_lane->m_PlayerUnits.size() < m_perSide)
            Launch(true);
        while (m_lane->m_EnemyUnits.size() < m_perSide)
            Launch(false);
    }

    // With a file name, the frame is also saved as a PNG picture before it ends.
    void Draw(const char* shot = nullptr)
    {
        RenderBackend& backend = GetRenderBackend();
        backend.Begin();
        if (backend.BeginScene(0xFF202840)) {
            m_lane->DrawLane();
            m_lane->DrawEffectLine();
            m_lane->DrawOverlays();
            backend.FlushSprite();
            if (shot)
                platform::d3d9::SaveRenderTargetPng(CDirect3DDevice::GetSingleton().m_pd3dDevice, shot);
            backend.EndScene();
        }
        backend.End();
    }

    // Returns once every frame handed over has been drawn: reading a pixel waits for them.
    void WaitForDrawing()
    {
        IDirect3DDevice9* device = CDirect3DDevice::GetSingleton().m_pd3dDevice;
        IDirect3DSurface9* target = nullptr;
        if (device->GetRenderTarget(0, &target) != D3D_OK)
            return;
        D3DLOCKED_RECT locked{};
        RECT one{0, 0, 1, 1};
        if (target->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK)
            target->UnlockRect();
        target->Release();
    }

    size_t Units() const { return m_lane->m_PlayerUnits.size() + m_lane->m_EnemyUnits.size(); }

private:
    AttackLineBlock* Launch(bool player)
    {
        const int power = m_power(m_random);
        const int kind = m_kind(m_random);
        return player ? m_lane->LaunchPlayer(power, kind) : m_lane->LaunchEnemy(power, kind, 0);
    }

    HWND m_window = nullptr;
    NoMessages m_messages;
    NoSounds m_sounds;
    NoLengths m_lengths;
    std::unique_ptr<AttackLine> m_lane;
    size_t m_perSide = kUnitsPerSide;
    std::mt19937 m_random{7};
    std::uniform_int_distribution<int> m_power{10, 150};
    std::uniform_int_distribution<int> m_kind{0, 2};
};

void BM_LaneFrame(benchmark::State& state)
{
    static LaneScreen screen;
    // LANE_BENCH_SHOT=<file.png> saves a picture of a sparser lane after a second of play.
    if (const char* shot = std::getenv("LANE_BENCH_SHOT")) {
        screen.Fill(kShotUnitsPerSide);
        for (int i = 0; i < 60; ++i)
            screen.Update();
        screen.Draw(shot);
    }
    screen.Fill();
    screen.Draw();
    screen.WaitForDrawing();
    double updateMs = 0.0, drawMs = 0.0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        screen.Update();
        auto t1 = std::chrono::steady_clock::now();
        screen.Draw();
        auto t2 = std::chrono::steady_clock::now();
        updateMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        drawMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    screen.WaitForDrawing();
    std::chrono::duration<double, std::milli> drawn = std::chrono::steady_clock::now() - start;
    const double frames = static_cast<double>(state.iterations());
    state.counters["units"] = static_cast<double>(screen.Units());
    state.counters["update_ms"] = updateMs / frames;
    state.counters["draw_ms"] = drawMs / frames;
    state.counters["drawn_ms"] = drawn.count() / frames;
}

} // namespace

BENCHMARK(BM_LaneFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(3.0);
