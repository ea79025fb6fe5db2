#include "app/LumenkitFrameGraphics.h"

#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

void LumenkitFrameGraphics::DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* centre,
                                       const D3DXVECTOR3* position, D3DCOLOR colour, const D3DXMATRIX* transform)
{
    // The renderer copies what it is given into its queue; it never writes through them.
    if (g_pRenderer)
        g_pRenderer->DrawSprite(texture, const_cast<RECT*>(source), const_cast<D3DXVECTOR3*>(centre),
                                const_cast<D3DXVECTOR3*>(position), colour, const_cast<D3DXMATRIX*>(transform));
}

int LumenkitFrameGraphics::GetTextureHandle(const std::wstring& name, bool loadNow)
{
    return CTextureManager::GetTextureHandleByTCHAR(name.c_str(), loadNow ? 1 : 0);
}

IDirect3DTexture9* LumenkitFrameGraphics::GetTexture(int handle)
{
    CTextureManager* manager = CTextureManager::GetSingletonPtr();
    CTexture* texture = manager ? manager->GetResource(handle) : nullptr;
    return texture ? texture->GetTexture() : nullptr;
}
