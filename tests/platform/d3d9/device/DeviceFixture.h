// A hidden SDL window with a Direct3D device on it, and pixel read-back of the back buffer.
#pragma once

#include <d3d9/D3D9.h>
#include <win32/SdlBridge.h>

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace d3d9test {

struct Rgba {
    int r, g, b, a;
};

inline Rgba Channels(uint32_t argb)
{
    return {int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF), int(argb >> 24)};
}

// True when every channel is within `tolerance` of the expected ARGB colour; alpha is compared
// only when `withAlpha`.
inline ::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 2, bool withAlpha = false)
{
    Rgba a = Channels(actual), e = Channels(expected);
    bool ok = std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
              std::abs(a.b - e.b) <= tolerance && (!withAlpha || std::abs(a.a - e.a) <= tolerance);
    if (ok)
        return ::testing::AssertionSuccess();
    char text[96];
    std::snprintf(text, sizeof text, "pixel 0x%08X, expected 0x%08X (+-%d)", actual, expected, tolerance);
    return ::testing::AssertionFailure() << text;
}

struct ColorVertex {
    float x, y, z;
    DWORD color;
};

// The pixel-space drawers' mapping: x' = x / W * 2 - 1, y' = 1 - y / H * 2.
inline ColorVertex At(float x, float y, DWORD color, UINT w, UINT h, float z = 0.0f)
{
    return {x / w * 2.0f - 1.0f, 1.0f - y / h * 2.0f, z, color};
}

struct TexVertex {
    float x, y, z;
    DWORD color;
    float u, v;
};

// A white vertex at pixel (x, y) with texture coordinates (u, v), mapped as At maps.
inline TexVertex TexAt(float x, float y, float u, float v, UINT w, UINT h, float z = 0.0f)
{
    return {x / w * 2.0f - 1.0f, 1.0f - y / h * 2.0f, z, 0xFFFFFFFF, u, v};
}

// The window's size as a multiple of the back buffer's: QUIBLY_TEST_WINDOW_SCALE, 1 unless set.
// At 1 the back buffer is drawn in the window itself; at 2 it is a texture scaled at Present, so
// running the tests at both covers both homes of the back buffer.
inline int WindowScale()
{
    const char* scale = std::getenv("QUIBLY_TEST_WINDOW_SCALE");
    int value = scale ? std::atoi(scale) : 1;
    return value >= 1 && value <= 4 ? value : 1;
}

class DeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 256;
    static constexpr UINT kHeight = 192;

    virtual SDL_Point WindowSize() const { return {int(kWidth) * WindowScale(), int(kHeight) * WindowScale()}; }

    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_Point size = WindowSize();
        m_window = SDL_CreateWindow("d3d9 test", 0, 0, size.x, size.y, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        hwnd = platform::RegisterSdlWindow(m_window);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = {};
        params.BackBufferWidth = kWidth;
        params.BackBufferHeight = kHeight;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_COPY;
        params.hDeviceWindow = hwnd;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D16;
        params.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, 0x44, &params, &device), D3D_OK);
    }

    void TearDown() override
    {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        platform::UnregisterSdlWindow(hwnd);
        if (m_window)
            SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // ARGB of one pixel of the current render target (the back buffer unless changed).
    uint32_t Pixel(int x, int y)
    {
        IDirect3DSurface9* target = nullptr;
        EXPECT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
        D3DLOCKED_RECT locked{};
        RECT one{x, y, x + 1, y + 1};
        uint32_t argb = 0;
        if (target->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK) {
            std::memcpy(&argb, locked.pBits, 4);
            target->UnlockRect();
        }
        target->Release();
        return argb;
    }

    // A managed texture filled from `pixels` (row by row, ARGB), with `levels` mip levels (0 for
    // a full chain, built from the top level).
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const uint32_t* pixels, UINT levels = 1,
                                   D3DFORMAT format = D3DFMT_A8R8G8B8)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < height; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, pixels + y * width, width * 4);
        texture->UnlockRect(0);
        return texture;
    }

    SDL_Window* m_window = nullptr;
    HWND hwnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params{};
};

} // namespace d3d9test
