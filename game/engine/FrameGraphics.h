// The frame renderer and texture table calls that the fonts, the movie's owners and the UI back
// end make: queue one sprite on the frame's sprite queue, and find textures by file name. By
// default they go to the graphics library's frame renderer and texture table (nothing is drawn
// and no texture found while those do not exist); tests install a recording fake or one that
// draws the queue on a test device.
#pragma once

#include <d3d9/D3D9.h>
#include <d3d9/D3DXMath.h>

#include <string>

class FrameGraphics {
public:
    virtual ~FrameGraphics() = default;

    // Queues one sprite (the texture form of the frame renderer's DrawSprite): every pointer
    // may be null; the sprites are drawn in call order when the frame's queue is flushed.
    virtual void DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* centre,
                            const D3DXVECTOR3* position, D3DCOLOR colour, const D3DXMATRIX* transform) = 0;
    // The handle of an image found by bare file name through the data-folder index, loaded now
    // or later; -1 when the index does not know the name. Asking again gives the same handle.
    virtual int GetTextureHandle(const std::wstring& name, bool loadNow) = 0;
    // The Direct3D texture behind a handle; the null texture's for a bad handle (maybe null
    // itself when no null texture exists).
    virtual IDirect3DTexture9* GetTexture(int handle) = 0;
};

// The graphics in use.
FrameGraphics& GetFrameGraphics();
// Installs an implementation (null restores the graphics library's); the caller keeps it.
void SetFrameGraphics(FrameGraphics* graphics);
