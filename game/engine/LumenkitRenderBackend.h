// The engine's graphics calls answered by the graphics library: the device's closing flag and
// window, the frame renderer, the camera manager, the debug text overlay and the texture table.
#pragma once

#include "engine/RenderBackend.h"

class LumenkitRenderBackend final : public RenderBackend {
public:
    bool IsWindowClosing() override;
    void SetWindowClosing() override;
    void DestroyGameWindow() override;
    void PostQuit(int exitCode) override;
    void ToggleFullScreen() override;
    void UpdateCameras(float seconds) override;
    void Begin() override;
    bool BeginScene(D3DCOLOR clear) override;
    void RenderFramerate(int framesPerSecond) override;
    void FlushSprite() override;
    void FlushDebugText() override;
    void EndScene() override;
    void End() override;
    int GetTextureHandle(const char* fileName, bool loadNow) override;
    bool GetTextureSize(int handle, int* width, int* height) override;
    void DrawSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) override;
    void DrawSortSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) override;
};

// Makes the graphics library the engine's backend; call once the device exists.
void InstallLumenkitRenderBackend();
