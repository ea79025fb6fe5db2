// The graphics calls in use, and the backend that answers while no device is installed: it
// closes the game window and posts the quit message, and draws nothing.
#include "engine/RenderBackend.h"

#include <win32/Messages.h>
#include <win32/Window.h>

#include <atomic>

namespace {

class NoDeviceBackend final : public RenderBackend {
public:
    bool IsWindowClosing() override { return m_closing; }
    void SetWindowClosing() override { m_closing = true; }
    void DestroyGameWindow() override
    {
        if (HWND window = m_window.exchange(nullptr))
            DestroyWindow(window);
    }
    void PostQuit(int exitCode) override { PostQuitMessage(exitCode); }
    void ToggleFullScreen() override {}
    void UpdateCameras(float) override {}
    void Begin() override {}
    bool BeginScene(D3DCOLOR) override { return false; }
    void RenderFramerate(int) override {}
    void FlushSprite() override {}
    void FlushDebugText() override {}
    void EndScene() override {}
    void End() override {}
    int GetTextureHandle(const char*, bool) override { return -1; }
    bool GetTextureSize(int, int*, int*) override { return false; }
    void DrawSprite(int, D3DCOLOR, const D3DXMATRIX*) override {}
    void DrawSortSprite(int, D3DCOLOR, const D3DXMATRIX*) override {}

    std::atomic<HWND> m_window{nullptr};

private:
    std::atomic<bool> m_closing{false};
};

NoDeviceBackend g_noDevice;
std::atomic<RenderBackend*> g_backend{&g_noDevice};

} // namespace

RenderBackend& GetRenderBackend()
{
    return *g_backend.load();
}

void SetDeviceWindow(HWND window)
{
    g_noDevice.m_window = window;
}

void SetRenderBackend(RenderBackend* backend)
{
    g_backend.store(backend ? backend : &g_noDevice);
}
