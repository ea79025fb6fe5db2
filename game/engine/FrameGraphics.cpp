// The graphics in use by the fonts, movies and UI back end: by default the graphics library's
// frame renderer and texture table, whenever they exist.
#include "engine/FrameGraphics.h"

#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <atomic>

namespace {

class LumenkitGraphics final : public FrameGraphics {
public:
    void DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* centre,
                    const D3DXVECTOR3* position, D3DCOLOR colour, const D3DXMATRIX* transform) override
    {
        // The renderer copies every argument into its queue; it never writes through them.
        if (g_pRenderer)
            g_pRenderer->DrawSprite(texture, const_cast<RECT*>(source), const_cast<D3DXVECTOR3*>(centre),
                                    const_cast<D3DXVECTOR3*>(position), colour, const_cast<D3DXMATRIX*>(transform));
    }

    int GetTextureHandle(const std::wstring& name, bool loadNow) override
    {
        // Without a texture table (no device yet) no image can be found.
        if (!CTextureManager::GetSingletonPtr())
            return -1;
        return CTextureManager::GetTextureHandleByTCHAR(name.c_str(), loadNow ? 1 : 0);
    }

    IDirect3DTexture9* GetTexture(int handle) override
    {
        CTextureManager* textures = CTextureManager::GetSingletonPtr();
        CTexture* texture = textures ? textures->GetResource(handle) : nullptr;
        return texture ? texture->GetTexture() : nullptr;
    }
};

LumenkitGraphics g_lumenkit;
std::atomic<FrameGraphics*> g_graphics{&g_lumenkit};

} // namespace

FrameGraphics& GetFrameGraphics()
{
    return *g_graphics.load();
}

void SetFrameGraphics(FrameGraphics* graphics)
{
    g_graphics.store(graphics ? graphics : &g_lumenkit);
}
