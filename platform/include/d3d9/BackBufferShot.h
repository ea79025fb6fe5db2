// A tool of the stand-in, not part of Direct3D: the device's current render target saved as a
// PNG file, for automated runs and tests. Between frames the render target is the back buffer,
// which then holds the last presented picture.
#pragma once

#include <d3d9/D3D9.h>

namespace platform::d3d9 {

// Render thread only. D3D_OK, or D3DERR_INVALIDCALL when the target cannot be read or the file
// cannot be written.
HRESULT SaveRenderTargetPng(IDirect3DDevice9* device, const char* file);

} // namespace platform::d3d9
