// The Direct3D object: one adapter per SDL display, its modes and the device checks.
// Only the hardware device type exists: the reference rasteriser is reported unavailable.
#include "Device.h"

#include "Log.h"
#include "PixelFormats.h"

#include <win32/SdlBridge.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace platform::d3d9 {

namespace {

std::atomic<bool> g_refuseDevices{false};

D3DFORMAT DisplayFormat(Uint32 sdlFormat)
{
    return SDL_BITSPERPIXEL(sdlFormat) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
}

bool IsDisplayFormat(D3DFORMAT format)
{
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5;
}

class Direct3D final : public RefCounted<IDirect3D9> {
public:
    Direct3D() : m_ownsVideo(SDL_WasInit(SDL_INIT_VIDEO) == 0)
    {
        if (m_ownsVideo && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            LogLine("Direct3DCreate9: SDL video cannot start: %s", SDL_GetError());
            m_ownsVideo = false;
        }
    }

    UINT GetAdapterCount() override { return static_cast<UINT>(std::max(1, SDL_GetNumVideoDisplays())); }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD /*flags*/, D3DADAPTER_IDENTIFIER9* id) override
    {
        if (!id || adapter >= GetAdapterCount())
            return D3DERR_INVALIDCALL;
        *id = D3DADAPTER_IDENTIFIER9{};
        std::snprintf(id->Driver, sizeof id->Driver, "OpenGL");
        const char* name = SDL_GetDisplayName(static_cast<int>(adapter));
        std::snprintf(id->Description, sizeof id->Description, "OpenGL 2.1 on %s", name ? name : "display");
        std::snprintf(id->DeviceName, sizeof id->DeviceName, "DISPLAY%u", adapter + 1);
        id->WHQLLevel = 1;
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override
    {
        UINT count = 0;
        D3DDISPLAYMODE mode;
        while (SUCCEEDED(EnumAdapterModes(adapter, format, count, &mode)))
            ++count;
        return count;
    }

    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT index, D3DDISPLAYMODE* out) override
    {
        if (!out || adapter >= GetAdapterCount())
            return D3DERR_INVALIDCALL;
        // The modes SDL lists in the asked format, in SDL's order.
        int listed = SDL_GetNumDisplayModes(static_cast<int>(adapter));
        UINT seen = 0;
        for (int i = 0; i < listed; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(static_cast<int>(adapter), i, &mode) != 0 || DisplayFormat(mode.format) != format)
                continue;
            if (seen++ == index) {
                *out = {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), static_cast<UINT>(mode.refresh_rate),
                        format};
                return D3D_OK;
            }
        }
        return D3DERR_INVALIDCALL;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override
    {
        if (!out || adapter >= GetAdapterCount())
            return D3DERR_INVALIDCALL;
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(static_cast<int>(adapter), &mode) != 0) {
            // No display to ask: the game's own screen size.
            *out = {1024, 768, 60, D3DFMT_X8R8G8B8};
            return D3D_OK;
        }
        *out = {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), static_cast<UINT>(mode.refresh_rate),
                DisplayFormat(mode.format)};
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL /*windowed*/) override
    {
        if (type != D3DDEVTYPE_HAL || adapter >= GetAdapterCount())
            return D3DERR_NOTAVAILABLE;
        return IsDisplayFormat(adapterFormat) && (IsDisplayFormat(backBufferFormat) || backBufferFormat == D3DFMT_UNKNOWN)
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT /*adapterFormat*/, DWORD usage,
                              D3DRESOURCETYPE /*resourceType*/, D3DFORMAT format) override
    {
        if (type != D3DDEVTYPE_HAL || adapter >= GetAdapterCount())
            return D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_DEPTHSTENCIL)
            return IsDepthFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_RENDERTARGET)
            return IsRenderTargetFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        return IsTextureFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT /*adapterFormat*/,
                                   D3DFORMAT /*targetFormat*/, D3DFORMAT depthFormat) override
    {
        if (type != D3DDEVTYPE_HAL || adapter >= GetAdapterCount())
            return D3DERR_NOTAVAILABLE;
        return IsDepthFormat(depthFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override
    {
        if (!caps || adapter >= GetAdapterCount())
            return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        *caps = D3DCAPS9{D3DDEVTYPE_HAL, adapter, D3DDEVCAPS_HWTRANSFORMANDLIGHT, 8192, 8192, kStageCount, 2,
                         6, 0xFFFFF, 0xFFFFFF, 1, 0, 0};
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD /*behaviorFlags*/,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override
    {
        if (!device || !parameters)
            return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (type != D3DDEVTYPE_HAL || adapter >= GetAdapterCount())
            return D3DERR_NOTAVAILABLE;
        if (g_refuseDevices.load()) {
            LogLine("CreateDevice: refused for the test");
            return D3DERR_NOTAVAILABLE;
        }
        HWND hwnd = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
        SDL_Window* window = platform::SdlWindowOf(hwnd);
        if (!window) {
            LogLine("CreateDevice: the window handle has no SDL window");
            return D3DERR_INVALIDCALL;
        }
        Device* created = nullptr;
        HRESULT hr = Device::Create(window, parameters, &created);
        *device = created;
        return hr;
    }

private:
    ~Direct3D() override
    {
        if (m_ownsVideo)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool m_ownsVideo;
};

} // namespace

void RefuseDeviceCreationForTesting(bool refuse)
{
    g_refuseDevices = refuse;
}

} // namespace platform::d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION) {
        platform::d3d9::LogLine("Direct3DCreate9: SDK version %u is not %u", sdkVersion, D3D_SDK_VERSION);
        return nullptr;
    }
    return new platform::d3d9::Direct3D();
}
