// The graphics calls the engine makes: the game window's closing flag and destruction, the
// quit message, the camera update, the frame's begin and end with the device scene, sprites,
// the debug text overlay, the frame-rate line and textures by handle. The game installs the
// graphics library's renderer and device behind it; tests install a recording fake.
#pragma once

#include <d3d9/D3D9Types.h>
#include <d3d9/D3DXMath.h>
#include <win32/Types.h>

class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    // The device's destroy-window flag: set while the window is being closed.
    virtual bool IsWindowClosing() = 0;
    virtual void SetWindowClosing() = 0;
    // Destroys the device's window and posts the quit message with the exit code.
    virtual void DestroyGameWindow() = 0;
    virtual void PostQuit(int exitCode) = 0;

    // Switches the device between windowed and full screen.
    virtual void ToggleFullScreen() = 0;
    virtual void UpdateCameras(float seconds) = 0;

    virtual void Begin() = 0;
    // False when the device cannot draw (lost or being reset).
    virtual bool BeginScene(D3DCOLOR clear) = 0;
    virtual void RenderFramerate(int framesPerSecond) = 0;
    virtual void FlushSprite() = 0;
    virtual void FlushDebugText() = 0;
    // Ends the device scene and presents it.
    virtual void EndScene() = 0;
    virtual void End() = 0;

    // The handle of an image found by file name, loaded now or in the background; -1 when
    // there is none.
    virtual int GetTextureHandle(const char* fileName, bool loadNow) = 0;
    // The source image size of a texture; false for an unknown handle.
    virtual bool GetTextureSize(int handle, int* width, int* height) = 0;
    // Draws a whole texture, top-left at the origin, through the matrix (null: identity).
    virtual void DrawSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) = 0;
    // The same, queued with the sorted sprites.
    virtual void DrawSortSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) = 0;
};

// The backend in use. Until one is installed, a backend without a device answers: nothing is
// drawn, no texture exists; quitting destroys the window given to SetDeviceWindow and posts the
// quit message.
RenderBackend& GetRenderBackend();
// The game window that the backend without a device destroys when the game quits.
void SetDeviceWindow(HWND window);
// Installs a backend (null restores the one without a device); the caller keeps ownership.
void SetRenderBackend(RenderBackend* backend);
