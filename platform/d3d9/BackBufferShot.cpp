// The device's current render target written as a PNG file (stb_image_write), for automated
// runs. Implemented: 32-bit targets (X8R8G8B8 and A8R8G8B8), saved opaque.
// Left out: other target formats, which are refused.
#include "d3d9/BackBufferShot.h"
#include "win32/Files.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::d3d9 {

namespace {

// ARGB words as the device stores them become RGBA bytes, alpha forced opaque.
std::vector<uint8_t> RgbaRows(const D3DLOCKED_RECT& locked, UINT width, UINT height)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (UINT y = 0; y < height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < width; ++x) {
            const uint8_t* bgra = row + x * 4;
            uint8_t* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            out[0] = bgra[2];
            out[1] = bgra[1];
            out[2] = bgra[0];
            out[3] = 0xFF;
        }
    }
    return rgba;
}

} // namespace

HRESULT SaveRenderTargetPng(IDirect3DDevice9* device, const char* file)
{
    if (!device || !file || !*file)
        return D3DERR_INVALIDCALL;
    IDirect3DSurface9* target = nullptr;
    if (device->GetRenderTarget(0, &target) != D3D_OK || !target)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    HRESULT hr = D3DERR_INVALIDCALL;
    bool readable = target->GetDesc(&desc) == D3D_OK &&
                    (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) && desc.Width > 0 &&
                    desc.Height > 0 && target->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK;
    if (readable) {
        std::vector<uint8_t> rgba = RgbaRows(locked, desc.Width, desc.Height);
        target->UnlockRect();
        int w = static_cast<int>(desc.Width), h = static_cast<int>(desc.Height);
        // Encoded in memory and saved through the file layer: never into a FIFO or a device,
        // never half a picture.
        std::string png;
        auto append = [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
        };
        if (stbi_write_png_to_func(append, &png, w, h, 4, rgba.data(), w * 4) &&
            platform::SaveFileAtomically(file, png))
            hr = D3D_OK;
    }
    target->Release();
    return hr;
}

} // namespace platform::d3d9
