// The fonts', the movie owners' and the UI back end's sprite and texture calls answered by the
// graphics library: the frame renderer's sprite queue and the texture table. The start-up
// installs it once the device exists and removes it before the device is closed.
#pragma once

#include "engine/FrameGraphics.h"

class LumenkitFrameGraphics final : public FrameGraphics {
public:
    void DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* centre,
                    const D3DXVECTOR3* position, D3DCOLOR colour, const D3DXMATRIX* transform) override;
    int GetTextureHandle(const std::wstring& name, bool loadNow) override;
    IDirect3DTexture9* GetTexture(int handle) override;
};
