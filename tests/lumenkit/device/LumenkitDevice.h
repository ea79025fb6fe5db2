// A game window with the library's device created on it, over a data folder of the test's
// own that holds the null texture; pixel read-back of the back buffer.
#pragma once

#include "../ImageFiles.h"
#include "support/LogCapture.h"
#include "platform/win32/device/TestWindow.h"
#include "support/TempDir.h"

#include <lumenkit/D3DFont.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <helvane/ResourceFileManager.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace lumenkittest {

// The null texture of every test's data folder: opaque magenta-blue, 4 x 4.
constexpr uint32_t kNullColor = 0xFF4020C0;

inline bool NearColor(uint32_t actual, uint32_t expected, int tolerance = 3)
{
    for (int shift : {0, 8, 16}) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance)
            return false;
    }
    return true;
}

class LumenkitDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteSolidTga(m_data, "data/ui/Null.tga", 4, 4, kNullColor);
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(m_data.Path());
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        m_window = std::make_unique<testsupport::TestWindow>();
        ASSERT_EQ(Device().Create(m_window->hwnd, 1, -1, -1), 1);
    }

    void TearDown() override
    {
        Device().Close();
        delete CTextureManager::GetSingletonPtr();
        Device().SetDestroyWindowFlag(0);
        CRenderer::m_bBeginRenderer = 0;
        m_window.reset();
        m_cwd.reset();
        CResourceFileManager::GetSingleton().Close();
    }

    // Adds files to the data folder and indexes it again.
    void Reindex() { CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\"); }

    static CDirect3DDevice& Device() { return CDirect3DDevice::GetSingleton(); }
    static IDirect3DDevice9* D3D() { return Device().m_pd3dDevice; }

    // ARGB of one back-buffer pixel.
    static uint32_t Pixel(int x, int y)
    {
        IDirect3DSurface9* target = nullptr;
        if (FAILED(D3D()->GetRenderTarget(0, &target)))
            return 0;
        D3DLOCKED_RECT locked{};
        RECT one{x, y, x + 1, y + 1};
        uint32_t argb = 0;
        if (SUCCEEDED(target->LockRect(&locked, &one, D3DLOCK_READONLY))) {
            std::memcpy(&argb, locked.pBits, 4);
            target->UnlockRect();
        }
        target->Release();
        return argb;
    }

    // Pixels of the rectangle whose colour is near `argb`.
    static int CountColor(const RECT& r, uint32_t argb, int tolerance = 60)
    {
        IDirect3DSurface9* target = nullptr;
        if (FAILED(D3D()->GetRenderTarget(0, &target)))
            return 0;
        D3DLOCKED_RECT locked{};
        int count = 0;
        if (SUCCEEDED(target->LockRect(&locked, &r, D3DLOCK_READONLY))) {
            for (LONG y = 0; y < r.bottom - r.top; ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) +
                                                                    y * locked.Pitch);
                for (LONG x = 0; x < r.right - r.left; ++x)
                    count += NearColor(row[x], argb, tolerance);
            }
            target->UnlockRect();
        }
        target->Release();
        return count;
    }

    // A managed A8R8G8B8 texture of one colour.
    static IDirect3DTexture9* SolidTexture(UINT size, uint32_t argb)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(D3D()->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < size; ++y)
            for (UINT x = 0; x < size; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = argb;
        texture->UnlockRect(0);
        return texture;
    }

    // Runs one frame as the game's scene manager does, calling `draw` inside the scene.
    template <typename Draw>
    static int Frame(Draw draw, D3DCOLOR clear = 0xFF000000)
    {
        CRenderer::Begin();
        const int open = g_pRenderer->BeginScene(clear);
        if (open) {
            draw();
            g_pRenderer->FlushSprite();
            COutputInfo::GetSingleton().Flush();
            g_pRenderer->EndScene();
        }
        CRenderer::End();
        return open;
    }

    testsupport::LogCapture m_log;
    testsupport::TempDir m_data;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::unique_ptr<testsupport::TestWindow> m_window;
};

} // namespace lumenkittest
