// The board drawn with the game's own skin from the run folder: a settled board shows each
// colour block in its colour at its cell; a board of squares, join marks, overlays and marked
// blocks draws its squares as large blocks. With QUIBLY_BOARD_SHOT and QUIBLY_BOARD_SHOT2 set,
// the two frames are also written to those PNG files for a look.
#include "../BoardFixture.h"

#include "platform/win32/device/TestWindow.h"
#include "support/TempDir.h"

#include "engine/KVSVInterface.h"
#include "engine/LumenkitRenderBackend.h"
#include "kv/KVSystem.h"
#include "engine/PlayerSettings.h"
#include "engine/SkinTable.h"

#include <d3d9/BackBufferShot.h>
#include <helvane/ResourceFileManager.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

class BoardGameSkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(QUIBLY_RUN_DIR);
        CResourceFileManager::GetSingleton().CollectFileNameList(L"/data/");
        m_window = std::make_unique<testsupport::TestWindow>();
        ASSERT_EQ(CDirect3DDevice::GetSingleton().Create(m_window->hwnd, 1, -1, -1), 1);
        InstallLumenkitRenderBackend();
        // The window system reads the colour layouts through the game's UI interface.
        static KVSVInterface ui;
        ui.Init(m_window->hwnd);
        kv::GetKVSystem().SetInterface(&ui);
        SkinTable.LoadSkin(0); // 0 when skin 0 is loaded already
        ASSERT_NE(SkinTable.GetSkinString(61), nullptr);
        AttachPlayerSettings({[](int index) {
                                  const char* name = SkinTable.GetSkinString(index);
                                  return std::string(name ? name : "");
                              },
                              {}});
    }
    void TearDown() override
    {
        harness.reset();
        AttachPlayerSettings({});
        SetRenderBackend(nullptr);
        CDirect3DDevice::GetSingleton().Close();
        delete CTextureManager::GetSingletonPtr();
        CDirect3DDevice::GetSingleton().SetDestroyWindowFlag(0);
        CRenderer::m_bBeginRenderer = 0;
        m_window.reset();
        m_cwd.reset();
        CResourceFileManager::GetSingleton().Close();
    }

    static uint32_t Pixel(int x, int y)
    {
        IDirect3DSurface9* target = nullptr;
        if (FAILED(CDirect3DDevice::GetSingleton().m_pd3dDevice->GetRenderTarget(0, &target)))
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

    std::unique_ptr<boardtest::Harness> harness;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::unique_ptr<testsupport::TestWindow> m_window;
};

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST_F(BoardGameSkinTest, ASettledBoardShowsItsBlocksInTheSkinsColours)
{
    harness = std::make_unique<boardtest::Harness>(8, 5);
    harness->tuning.weights[4] = 2;
    harness->tuning.weights[5] = 2;
    VanteoBlockMap& board = *harness->board;
    board.NewGame();
    harness->Settle(3000);
    // One clear in flight, so its effects are drawn too.
    for (int cell : board.groups)
        if (cell >= 0 && IsColourKind(board.cells[cell]->kind)) {
            harness->ClickCell(cell % 8, cell / 8);
            break;
        }
    board.Update(0.1f);
    CRenderer::Begin();
    ASSERT_TRUE(g_pRenderer->BeginScene(0xFF202430));
    board.DrawBlocks();
    board.DrawComboArea();
    g_pRenderer->FlushSprite();
    if (const char* shot = std::getenv("QUIBLY_BOARD_SHOT"))
        platform::d3d9::SaveRenderTargetPng(CDirect3DDevice::GetSingleton().m_pd3dDevice, shot);
    int checked = 0;
    const uint32_t colours[4] = {0, 0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD};
    for (int i = 0; i < 64; ++i) {
        const VanteoBlock* b = board.cells[i];
        if (!b->present || !IsColourKind(b->kind) || b->corner || b->inSquare)
            continue;
        const uint32_t at = Pixel(329 + (i % 8) * 45 + 22, 303 + (i / 8) * 45 + 22);
        EXPECT_TRUE(Near(at, colours[b->kind], 40)) << "cell " << i << " kind " << b->kind << " " << std::hex << at;
        ++checked;
    }
    g_pRenderer->EndScene();
    CRenderer::End();
    EXPECT_GT(checked, 20);
    // The point colours come from the skin's "BlockPointColor" layout, read once for every block.
    EXPECT_EQ(board.cells[0]->pointColour[0] & 0xFFFFFF, 0xE8505Bu);
    EXPECT_EQ(board.cells[63]->pointColour[2] & 0xFFFFFF, 0x3D8BFDu);
    // The clear numbers' colours come from "BlockNumColor" (its first colour differs from the
    // colours the effect falls back on without the layout).
    EXPECT_EQ(board.clearEffect2.m_Colours[1] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(board.clearEffect2.m_Colours[4] & 0xFFFFFF, 0x3D8BFDu);

    // Squares, marks and marked blocks, in the same device (the animation library keeps the
    // textures it bound for the life of the device).
    harness->Fill({"RRGBRGBR", "RRGBSSBB", "GBRGSSBB", "BGGRGBRG", "RGGRGBOO", "GBRGBRKO", "RRRGBRGB", "RRRBGGBR"});
    board.CellAt(6, 5)->kind = kBlockWall;
    board.CellAt(2, 3)->fixed = 1;
    board.CellAt(0, 3)->point = 1;
    board.CellAt(0, 3)->SetNumber(12);
    board.CellAt(7, 3)->pin = 1;
    board.FindGroups();
    ASSERT_NE(board.CellAt(0, 7)->corner, 0);
    board.CellAt(0, 7)->clearBonusShown = 1;
    board.CellAt(4, 2)->magicTurnShown = 1;
    board.Update(0.2f);
    CRenderer::Begin();
    ASSERT_TRUE(g_pRenderer->BeginScene(0xFF202430));
    board.DrawBlocks();
    board.DrawComboArea();
    g_pRenderer->FlushSprite();
    if (const char* shot = std::getenv("QUIBLY_BOARD_SHOT2"))
        platform::d3d9::SaveRenderTargetPng(CDirect3DDevice::GetSingleton().m_pd3dDevice, shot);
    // The red square at the bottom left is drawn as one large block: its middle is red.
    EXPECT_TRUE(Near(Pixel(329 + 45, 303 + 7 * 45), 0xFFE8505B, 40)) << std::hex << Pixel(329 + 45, 303 + 7 * 45);
    g_pRenderer->EndScene();
    CRenderer::End();
}

} // namespace
