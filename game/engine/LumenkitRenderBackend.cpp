// The engine's graphics seam over the graphics library's device, renderer and textures.
#include "engine/LumenkitRenderBackend.h"

#include <lumenkit/CameraManager.h>
#include <lumenkit/D3DFont.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <win32/Messages.h>
#include <win32/Window.h>

namespace {

CDirect3DDevice* Device() { return CDirect3DDevice::GetSingletonPtr(); }

// The device texture of a handle; a bad handle gives the null texture's.
IDirect3DTexture9* TextureOf(int handle)
{
    CTextureManager* textures = CTextureManager::GetSingletonPtr();
    CTexture* texture = textures ? textures->GetResource(handle) : nullptr;
    return texture ? texture->GetTexture() : nullptr;
}

} // namespace

bool LumenkitRenderBackend::IsWindowClosing()
{
    CDirect3DDevice* device = Device();
    return device && device->GetDestroyWindowFlag() != 0;
}

void LumenkitRenderBackend::SetWindowClosing()
{
    if (CDirect3DDevice* device = Device())
        device->SetDestroyWindowFlag(1);
}

void LumenkitRenderBackend::DestroyGameWindow()
{
    if (CDirect3DDevice* device = Device(); device && device->m_hWnd)
        DestroyWindow(device->m_hWnd);
}

void LumenkitRenderBackend::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void LumenkitRenderBackend::ToggleFullScreen()
{
    if (CDirect3DDevice* device = Device())
        device->ToggleFullScreen();
}

void LumenkitRenderBackend::UpdateCameras(float seconds) { CCameraManager::GetSingleton().Update(seconds); }

void LumenkitRenderBackend::Begin() { CRenderer::Begin(); }

bool LumenkitRenderBackend::BeginScene(D3DCOLOR clear) { return g_pRenderer && g_pRenderer->BeginScene(clear) != 0; }

void LumenkitRenderBackend::RenderFramerate(int framesPerSecond) { ::RenderFramerate(framesPerSecond); }

void LumenkitRenderBackend::FlushSprite()
{
    if (g_pRenderer)
        g_pRenderer->FlushSprite();
}

void LumenkitRenderBackend::FlushDebugText() { COutputInfo::GetSingleton().Flush(); }

void LumenkitRenderBackend::EndScene()
{
    if (g_pRenderer)
        g_pRenderer->EndScene();
}

void LumenkitRenderBackend::End() { CRenderer::End(); }

int LumenkitRenderBackend::GetTextureHandle(const char* fileName, bool loadNow)
{
    return fileName ? CTextureManager::GetTextureHandle(fileName, loadNow ? 1 : 0) : -1;
}

bool LumenkitRenderBackend::GetTextureSize(int handle, int* width, int* height)
{
    CTextureManager* textures = CTextureManager::GetSingletonPtr();
    if (handle < 0 || !textures)
        return false;
    CTexture* texture = textures->GetResource(handle);
    if (!texture || texture == textures->GetNullTexture())
        return false;
    const D3DXIMAGE_INFO* info = texture->GetSrcImageInfo();
    if (width)
        *width = static_cast<int>(info->Width);
    if (height)
        *height = static_cast<int>(info->Height);
    return true;
}

void LumenkitRenderBackend::DrawSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix)
{
    // The renderer copies the matrix into its queue; it never writes through the pointer.
    if (g_pRenderer)
        g_pRenderer->DrawSprite(TextureOf(handle), nullptr, nullptr, nullptr, colour, const_cast<D3DXMATRIX*>(matrix));
}

void LumenkitRenderBackend::DrawSortSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix)
{
    // The renderer copies the matrix into its queue; it never writes through the pointer.
    if (g_pRenderer)
        g_pRenderer->DrawSortSprite(TextureOf(handle), nullptr, nullptr, nullptr, colour, const_cast<D3DXMATRIX*>(matrix));
}

void InstallLumenkitRenderBackend()
{
    static LumenkitRenderBackend backend;
    SetRenderBackend(&backend);
}
