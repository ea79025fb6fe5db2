// A hidden 1024 x 768 window with a Direct3D device and a D3DX sprite on it, for the benchmarks
// that draw. Runs headless (SDL's offscreen video driver) unless SDL_VIDEODRIVER says otherwise.
#pragma once

#include <d3d9/D3D9.h>
#include <d3d9/D3DX9.h>
#include <win32/SdlBridge.h>

#include <SDL2/SDL.h>

#include <cstdlib>

class HeadlessDevice {
public:
    static constexpr UINT kWidth = 1024, kHeight = 768;

    // With `depth`, the device gets a 16-bit depth buffer, as the game's has; the window holds
    // colour only either way, as the game's windows do. `device` stays null when no device can
    // be made.
    HeadlessDevice(const char* title, bool depth)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        m_window = SDL_CreateWindow(title, 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        m_hwnd = platform::RegisterSdlWindow(m_window);
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = kWidth;
        params.BackBufferHeight = kHeight;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_COPY;
        params.hDeviceWindow = m_hwnd;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = depth;
        params.AutoDepthStencilFormat = D3DFMT_D16;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (m_d3d && m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_hwnd, 0x44, &params, &device) == D3D_OK)
            D3DXCreateSprite(device, &sprite);
    }

    ~HeadlessDevice()
    {
        if (sprite)
            sprite->Release();
        if (device)
            device->Release();
        if (m_d3d)
            m_d3d->Release();
        platform::UnregisterSdlWindow(m_hwnd);
        SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;

    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;

private:
    SDL_Window* m_window = nullptr;
    HWND m_hwnd = nullptr;
    IDirect3D9* m_d3d = nullptr;
};
