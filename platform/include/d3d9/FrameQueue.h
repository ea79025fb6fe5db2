// A tool of the stand-in, not part of Direct3D: how far the picture is behind the game. Present
// fences every frame and waits while more than two presented frames are still being drawn, as a
// Direct3D 9 driver bounds its queue.
#pragma once

#include <d3d9/D3D9.h>

namespace platform::d3d9 {

// Render thread only. The presented frames that OpenGL has not finished drawing; -1 for a device
// that is not the stand-in's.
int FramesInFlight(IDirect3DDevice9* device);

} // namespace platform::d3d9
