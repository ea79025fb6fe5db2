// Frames of the battle screen's two static backdrops drawn as the game's sprite flush draws
// them: a 1024 x 768 and a 1024 x 200 picture at their own size, clear, Begin, point filtering
// and wrapping addresses, two Draws, End, Present. Reports milliseconds per frame: "Time" as the
// frames were handed over, "drawn_ms" until the last of them was drawn.
// Args: the textures' mip levels (0: a full chain, as the game's picture loader makes them) and
// whether every texel is opaque (1, as the battle's backdrops are) or a few are translucent (0).
#include "HeadlessDevice.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

IDirect3DTexture9* MakePicture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, bool opaque)
{
    IDirect3DTexture9* texture = nullptr;
    if (device->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK)
        std::abort();
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (UINT x = 0; x < width; ++x)
            row[x] = 0xFF000000u | ((x * 7 + y * 3) & 0xFF) * 0x010203u;
    }
    if (!opaque)
        static_cast<uint32_t*>(locked.pBits)[0] = 0x80FFFFFF;
    texture->UnlockRect(0);
    return texture;
}

void WaitForDrawing(IDirect3DDevice9* device)
{
    IDirect3DSurface9* target = nullptr;
    device->GetRenderTarget(0, &target);
    D3DLOCKED_RECT locked{};
    RECT one{0, 0, 1, 1};
    if (target->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK)
        target->UnlockRect();
    target->Release();
}

void BM_Backdrops(benchmark::State& state)
{
    static HeadlessDevice screen("BackdropBench", true);
    IDirect3DDevice9* device = screen.device;
    if (!device)
        std::abort();
    UINT levels = static_cast<UINT>(state.range(0));
    bool opaque = state.range(1) != 0;
    IDirect3DTexture9* back = MakePicture(device, 1024, 768, levels, opaque);
    IDirect3DTexture9* lane = MakePicture(device, 1024, 200, levels, opaque);
    auto frame = [&] {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        screen.sprite->Begin(D3DXSPRITE_ALPHABLEND);
        // As the game's sprite flush sets them after Begin.
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
        D3DXVECTOR3 top{0, 0, 0.1f}, low{0, 498, 0.1f};
        screen.sprite->Draw(back, nullptr, nullptr, &top, 0xFFFFFFFF);
        screen.sprite->Draw(lane, nullptr, nullptr, &low, 0xFFFFFFFF);
        screen.sprite->End();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    };
    frame();
    WaitForDrawing(device);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        frame();
    WaitForDrawing(device);
    std::chrono::duration<double, std::milli> drawn = std::chrono::steady_clock::now() - start;
    state.counters["drawn_ms"] = drawn.count() / static_cast<double>(state.iterations());
    back->Release();
    lane->Release();
}

} // namespace

BENCHMARK(BM_Backdrops)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
