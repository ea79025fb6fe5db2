// Records queued sprites like the recording fake and draws them on the test device through a
// sprite, the way the frame renderer flushes its queue, so tests can read the pixels back.
#pragma once

#include "engine/RecordingGraphics.h"

#include <d3d9/D3DX9.h>
#include <gtest/gtest.h>

namespace mediatest {

class DrawingGraphics : public RecordingGraphics {
public:
    // Clears the back buffer to the colour, draws every queued sprite in order and empties the
    // queue; the picture stays in the back buffer for read-back.
    void DrawFrame(IDirect3DDevice9* device, D3DCOLOR clear = 0xFF000000)
    {
        ID3DXSprite* sprite = nullptr;
        ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        sprite->Begin(D3DXSPRITE_ALPHABLEND);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (const QueuedSprite& s : sprites) {
            sprite->SetTransform(s.hasTransform ? &s.transform : &identity);
            sprite->Draw(s.texture, s.hasSource ? &s.source : nullptr, s.hasCentre ? &s.centre : nullptr,
                         s.hasPosition ? &s.position : nullptr, s.colour);
        }
        sprite->End();
        device->EndScene();
        sprite->Release();
        sprites.clear();
    }
};

} // namespace mediatest
