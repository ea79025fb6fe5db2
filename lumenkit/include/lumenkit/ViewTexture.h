// A render target: either a wrapper of the back buffer and its depth surface (the renderer's
// scene target) or a render-target texture of its own that scenes can be drawn into.
#pragma once

#include <lumenkit/Renderer.h>

class CViewTexture : public DeviceObject {
public:
    // Wrapper form: takes over the references of both surfaces and registers with g_pRenderer.
    CViewTexture(IDirect3DSurface9* target, IDirect3DSurface9* depth);
    // Texture form: a width x height render-target texture, with a depth surface when asked;
    // registers with g_pRenderer.
    CViewTexture(int width, int height, int withDepth);
    CViewTexture(const CViewTexture&) = delete;
    CViewTexture& operator=(const CViewTexture&) = delete;
    // Unregisters and releases.
    virtual ~CViewTexture();

    void Init();
    // Wrapper form without registering.
    void Create(IDirect3DSurface9* target, IDirect3DSurface9* depth);
    // Texture form without registering.
    void Create(int width, int height, int withDepth);
    void CreateRenderToSurface();
    void CreateTextureSurface();
    void Close();

    // Makes the target current and clears it with the flags (none: no clear). 0 while the game
    // is closing or when the target cannot begin a scene.
    int BeginScene(D3DCOLOR color, DWORD clearFlags);
    void EndScene();
    void Clear(D3DCOLOR color);
    // Uses a depth surface owned elsewhere.
    void SetStencilSurface(IDirect3DSurface9* surface);

    void Invalidate() override;
    void Restore() override;

    IDirect3DTexture9* GetTexture() const { return m_pTexture; }
    IDirect3DSurface9* GetTextureSurface() const { return m_pSurface; }
    IDirect3DSurface9* GetStencilSurface() const { return m_pDepth; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBeginScene() const { return m_bBeginScene; }

    // 1 from any view texture's BeginScene to its EndScene.
    static int m_bStaticBeginScene;

private:
    bool FetchTargetSurface();

    IDirect3DTexture9* m_pTexture = nullptr;
    ID3DXRenderToSurface* m_pRenderToSurface = nullptr;
    IDirect3DSurface9* m_pSurface = nullptr;
    IDirect3DSurface9* m_pDepth = nullptr;
    int m_bBeginScene = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_bExternalDepth = 0;
    int m_bOwnDepth = 0;
    int m_bOwnTexture = 0;
};
