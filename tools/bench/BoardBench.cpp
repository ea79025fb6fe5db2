// The board alone. BM_BoardLogic: an 8 x 8 or 14 x 14 board played for 10,000 frames of 1/60 s
// by a scripted clicker that clicks every group that scores and turns the board now and then;
// reports frames of board logic per second. BM_BoardDraw: one full 14 x 14 board frame drawn
// through the animation players and the renderer's sprites on the headless device (upright, and
// in the middle of a turn, when every block is drawn twice); "drawn_ms" is milliseconds per
// frame until the frame was drawn, to compare with testsprite2 (README.md).
#include "board/BoardSkin.h"
#include "board/VanteoBlockMap.h"
#include "engine/LumenkitRenderBackend.h"
#include "engine/PlayerSettings.h"

#include <helvane/ResourceFileManager.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <win32/User.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class NullMessages : public IMessageSink {
public:
    void Post(int32_t, const uint8_t*, size_t) override { ++count; }
    long count = 0;
};

class NullSounds : public ISoundSink {
public:
    void Play(int, bool, float) override {}
    void Stop(int) override {}
    bool IsPlaying(int) override { return false; }
};

BoardTuning BenchTuning()
{
    BoardTuning t;
    t.hasStage = 1;
    t.randomSeed = 12345;
    t.weights[1] = t.weights[2] = t.weights[3] = 10;
    t.weights[4] = 1;
    t.weights[5] = 1;
    return t;
}

struct BenchBoard {
    explicit BenchBoard(int size)
    {
        BoardWorld world;
        world.messages = &messages;
        world.sounds = &sounds;
        world.random = &random;
        world.tuning = [] { return BenchTuning(); };
        board = std::make_unique<VanteoBlockMap>(world);
        board->Init(nullptr, size, size);
        board->NewGame();
    }

    // One frame: the update, then a click on the first scoring group; without one, every eighth
    // still frame a turn, and four frames later a click that takes one loose block away so that
    // new squares can fall together.
    void Frame()
    {
        VanteoBlockMap& b = *board;
        b.Update(1.0f / 60.0f);
        if (b.IsBusy())
            return;
        for (int cell : b.groups) {
            if (cell < 0 || !IsColourKind(b.cells[cell]->kind))
                continue;
            b.Click(b.originX + (cell % b.width) * 45 + 20, b.originY + (cell / b.width) * 45 + 20);
            ++clicks;
            return;
        }
        ++idle;
        if (idle % 8 == 0) {
            b.RequestRotate(idle % 16 == 0 ? 1 : -1);
            ++turns;
        } else if (idle % 8 == 4) {
            const int cell = static_cast<int>((idle * 7) % (b.width * b.height));
            b.Click(b.originX + (cell % b.width) * 45 + 20, b.originY + (cell / b.width) * 45 + 20);
            ++singles;
        }
    }

    NullMessages messages;
    NullSounds sounds;
    GameRandom random{1};
    std::unique_ptr<VanteoBlockMap> board;
    long clicks = 0, singles = 0, turns = 0, idle = 0;
};

// ---- Drawing ----------------------------------------------------------------------------------

void WriteTga(const std::filesystem::path& path, int side, uint32_t argb)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(side),
                                static_cast<uint8_t>(side >> 8), static_cast<uint8_t>(side),
                                static_cast<uint8_t>(side >> 8), 32, 8};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int i = 0; i < side * side; ++i) {
        const bool edge = i % side == 0 || i / side == 0;
        const uint32_t c = edge ? (argb & 0xFF7F7F7F) : argb;
        const uint8_t bgra[4] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16),
                                 static_cast<uint8_t>(c >> 24)};
        out.write(reinterpret_cast<const char*>(bgra), 4);
    }
}

void WriteAnimation(const std::filesystem::path& path, const std::string& image)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path);
    out << "<kvanimation version=\"1.2\"><scene name=\"NORMAL\"><asset type=\"IMAGE\" name=\"Image_pic\" path=\"img/"
        << image << "\"/><object name=\"pic\" ani=\"a\"><asset link=\"Image_pic\"/></object><anim name=\"a\">";
    for (int ms : {0, 400})
        out << "<frame cnt=\"" << ms
            << "\"><posx val=\"0\"/><posy val=\"0\"/><centerx val=\"0\"/><centery val=\"0\"/><scalex val=\"1\"/>"
               "<scaley val=\"1\"/><rotate val=\"0\"/><alpha val=\"1\"/><visible val=\"1\"/></frame>";
    out << "</anim></scene></kvanimation>";
}

LRESULT BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A data folder of block sprites: solid squares per kind, small and large, and join marks; every
// other animation of the board's skin entries plays a small square too, so every player of every
// block is bound as in the game.
class BenchData {
public:
    static BenchData& Get()
    {
        static BenchData data;
        return data;
    }

private:
    BenchData()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        char pattern[] = "/tmp/quibly-boardbench-XXXXXX";
        m_dir = mkdtemp(pattern);
        static const uint32_t kColours[8] = {0,          0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD,
                                             0xFFF7C548, 0xFF8E96A3, 0xFF9B6BDF, 0xFF8B5E3C};
        for (int kind = 1; kind <= 7; ++kind)
            for (int large = 0; large < 2; ++large) {
                const std::string stem = "bench" + std::to_string(kind) + (large ? "l" : "s");
                WriteTga(m_dir / "data/img" / (stem + ".tga"), large ? 90 : 45, kColours[kind]);
                WriteAnimation(m_dir / "data/anim" / (stem + ".xml"), stem + ".tga");
            }
        for (int c = 1; c <= 3; ++c)
            for (const char* side : {"r", "b"}) {
                const std::string stem = std::string("benchhand") + side + std::to_string(c);
                WriteTga(m_dir / "data/img" / (stem + ".tga"), 8, 0xC0FFFFFF);
                WriteAnimation(m_dir / "data/anim" / (stem + ".xml"), stem + ".tga");
            }
        WriteTga(m_dir / "data/img/benchmark.tga", 16, 0xC0FFFFFF);
        WriteAnimation(m_dir / "data/anim/benchmark.xml", "benchmark.tga");
        WriteTga(m_dir / "data/ui/Null.tga", 4, 0xFF4020C0);
        std::filesystem::current_path(m_dir);
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        AttachPlayerSettings({[](int index) -> std::string {
                                  if (index >= kSkinBlockSmall && index < kSkinBlockSmall + 7)
                                      return "bench" + std::to_string(index - kSkinBlockSmall + 1) + "s.xml";
                                  if (index >= kSkinBlockLarge && index < kSkinBlockLarge + 7)
                                      return "bench" + std::to_string(index - kSkinBlockLarge + 1) + "l.xml";
                                  if (index >= kSkinBlockHandRight && index < kSkinBlockHandRight + 3)
                                      return "benchhandr" + std::to_string(index - kSkinBlockHandRight + 1) + ".xml";
                                  if (index >= kSkinBlockHandBottom && index < kSkinBlockHandBottom + 3)
                                      return "benchhandb" + std::to_string(index - kSkinBlockHandBottom + 1) + ".xml";
                                  if (index >= kSkinBlockSmall && index <= kSkinBlockHandBottom + 2)
                                      return "benchmark.xml";
                                  return {};
                              },
                              {}});
    }

    std::filesystem::path m_dir;
};

class BoardScreen {
public:
    BoardScreen()
    {
        BenchData::Get();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = BenchProc;
        wc.lpszClassName = L"QuiblyBoardBench";
        RegisterClassExW(&wc);
        RECT rect{0, 0, 1024, 768};
        AdjustWindowRect(&rect, 0x80CA0000, FALSE);
        m_hwnd = CreateWindowExW(0, L"QuiblyBoardBench", L"Quibly", 0x80CA0000, 0, 0, rect.right - rect.left,
                                 rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
        if (CDirect3DDevice::GetSingleton().Create(m_hwnd, 1, -1, -1) != 1)
            std::abort();
        InstallLumenkitRenderBackend();
        board = std::make_unique<BenchBoard>(14);
        board->board->originX = 197;
        board->board->originY = 69;
        // A settled, full board.
        for (int i = 0; i < 3000 && (board->board->IsBusy() || !board->board->settled); ++i)
            board->board->Update(1.0f / 60.0f);
    }

    ~BoardScreen() { board.reset(); }

    void Frame()
    {
        CRenderer::Begin();
        if (g_pRenderer->BeginScene(0xFF000000)) {
            board->board->DrawBlocks();
            g_pRenderer->FlushSprite();
            g_pRenderer->EndScene();
        }
        CRenderer::End();
    }

    void WaitForDrawing()
    {
        IDirect3DDevice9* device = CDirect3DDevice::GetSingleton().m_pd3dDevice;
        IDirect3DSurface9* target = nullptr;
        device->GetRenderTarget(0, &target);
        D3DLOCKED_RECT locked{};
        RECT one{0, 0, 1, 1};
        if (target->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK)
            target->UnlockRect();
        target->Release();
    }

    std::unique_ptr<BenchBoard> board;

private:
    HWND m_hwnd = nullptr;
};

void BM_BoardLogic(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    // With range 1 set, every block's animation players are bound to sprite files, as in the game.
    if (state.range(1))
        BenchData::Get();
    constexpr int kFrames = 10000;
    long clicks = 0, singles = 0, turns = 0, messages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchBoard bench(size);
        state.ResumeTiming();
        for (int frame = 0; frame < kFrames; ++frame)
            bench.Frame();
        clicks += bench.clicks;
        singles += bench.singles;
        turns += bench.turns;
        messages += bench.messages.count;
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
    state.counters["clicks_per_run"] = static_cast<double>(clicks) / static_cast<double>(state.iterations());
    state.counters["singles_per_run"] = static_cast<double>(singles) / static_cast<double>(state.iterations());
    state.counters["turns_per_run"] = static_cast<double>(turns) / static_cast<double>(state.iterations());
    state.counters["messages_per_run"] = static_cast<double>(messages) / static_cast<double>(state.iterations());
}

void BM_BoardDraw14(benchmark::State& state)
{
    static BoardScreen screen;
    VanteoBlockMap& b = *screen.board->board;
    const bool turning = state.range(0) != 0;
    b.turnTarget = turning ? 1.5707964f : 0.0f;
    b.turnAngle = turning ? 0.4f : 0.0f;
    screen.WaitForDrawing();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        screen.Frame();
    screen.WaitForDrawing();
    std::chrono::duration<double, std::milli> drawn = std::chrono::steady_clock::now() - start;
    b.turnTarget = b.turnAngle = 0;
    state.counters["turning"] = turning ? 1 : 0;
    state.counters["drawn_ms"] = drawn.count() / static_cast<double>(state.iterations());
}

} // namespace

// The drawing runs first, so the sprite sets are read with the device's textures.
BENCHMARK(BM_BoardDraw14)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_BoardLogic)->Args({8, 0})->Args({14, 0})->Args({8, 1})->Args({14, 1})->Unit(benchmark::kMillisecond);
