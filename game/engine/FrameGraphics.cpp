// The graphics in use by the fonts, movies and UI back end, and the answer without a device.
#include "engine/FrameGraphics.h"

#include <atomic>

namespace {

class NoDeviceGraphics final : public FrameGraphics {
public:
    void DrawSprite(IDirect3DTexture9*, const RECT*, const D3DXVECTOR3*, const D3DXVECTOR3*, D3DCOLOR,
                    const D3DXMATRIX*) override
    {
    }
    int GetTextureHandle(const std::wstring&, bool) override { return -1; }
    IDirect3DTexture9* GetTexture(int) override { return nullptr; }
};

NoDeviceGraphics g_noDevice;
std::atomic<FrameGraphics*> g_graphics{&g_noDevice};

} // namespace

FrameGraphics& GetFrameGraphics()
{
    return *g_graphics.load();
}

void SetFrameGraphics(FrameGraphics* graphics)
{
    g_graphics.store(graphics ? graphics : &g_noDevice);
}
