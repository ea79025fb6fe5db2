// A result pop-up of the game's own data (layout, UI animation, generated pictures and fonts of
// the run folder) drawn by the game's renderer on a device: the frame, the header, the grade and
// the buttons land where the layout puts them, over the dimmed screen.
#include "app/LumenkitFrameGraphics.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/FontManager.h"
#include "engine/KVSVInterface.h"
#include "engine/KVSVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "menus/PopUpResult.h"

#include "../../lumenkit/device/LumenkitDevice.h"
#include "platform/win32/device/TestWindow.h"
#include "support/GameSeamFakes.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The device fixture's frame and read-back helpers, used on a device made over the run folder.
struct Readback : lumenkittest::LumenkitDeviceTest {
    using LumenkitDeviceTest::CountColor;
    using LumenkitDeviceTest::Frame;
    using LumenkitDeviceTest::Pixel;
};

class ResultPixelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(QUIBLY_RUN_DIR);
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        m_window = std::make_unique<testsupport::TestWindow>();
        ASSERT_EQ(CDirect3DDevice::GetSingleton().Create(m_window->hwnd, 1, -1, -1), 1);
        SetFrameGraphics(&m_graphics);
        m_fonts.InitDevice(CDirect3DDevice::GetSingleton().m_pd3dDevice);
        m_fonts.RegisterFont(L"KelmorSoft", "Daum.ttf");
        m_fonts.RegisterFont(L"MainUI", "quiblyenglish.ttf");
        for (int size : {14, 30})
            m_fonts.CreateFont(L"KelmorSoft", size);
        m_iface.Init(nullptr);
        m_system = std::make_unique<kv::KVSystem>();
        m_system->SetRenderer(&m_renderer);
        m_system->SetInterface(&m_iface);
        m_system->GetRegistry().Unregister(KVVanteoAnimButtonFactory::Instance().GetTypeName());
        m_system->GetRegistry().Register(&KVVanteoAnimButtonFactory::Instance());
        SetPopUpSinks(&m_messages, &m_sounds);
    }
    void TearDown() override
    {
        SetPopUpSinks(nullptr, nullptr);
        m_system.reset();
        m_fonts.ReleaseAll();
        SetFrameGraphics(nullptr);
        CDirect3DDevice::GetSingleton().Close();
        delete CTextureManager::GetSingletonPtr();
        CDirect3DDevice::GetSingleton().SetDestroyWindowFlag(0);
        CRenderer::m_bBeginRenderer = 0;
        m_window.reset();
        m_cwd.reset();
        CResourceFileManager::GetSingleton().Close();
    }

    testsupport::LogCapture m_log;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::unique_ptr<testsupport::TestWindow> m_window;
    LumenkitFrameGraphics m_graphics;
    FTFont m_fonts;
    KVSVRenderer m_renderer;
    KVSVInterface m_iface;
    std::unique_ptr<kv::KVSystem> m_system;
    RecordingMessages m_messages;
    RecordingSounds m_sounds;
};

bool Near(uint32_t actual, uint32_t expected, int tolerance)
{
    return lumenkittest::NearColor(actual, expected, tolerance);
}

TEST_F(ResultPixelTest, ABattleWinIsDrawnWhereItsLayoutPutsIt)
{
    std::strcpy(GameConfig.playerName, "Mina");
    GameConfig.cubes = 130;
    ResetThisGame();
    SetThisGameCounter("BlockClick", 150);
    RankEntry table[6];
    std::strcpy(table[0].name, "##player##");
    table[0].score = 12500;
    table[0].time = 75;
    table[0].isNew = 1;

    VanteoPopUp_Result_Battle_Win popUp;
    popUp.Load();
    ASSERT_NE(popUp.m_pWindow, nullptr);
    ASSERT_EQ(popUp.Open(), 1);
    popUp.SetSelfMode(0);
    popUp.FillRanking("BATTLE.EASY", table, 30);
    for (int frame = 0; frame < 120; ++frame) {
        popUp.Update(1.0f / 30);
        m_system->Update(1.0f / 30);
    }
    ASSERT_EQ(popUp.m_nState, 5);
    ASSERT_FALSE(popUp.m_pWindow->IsUIScenePlaying());

    Readback::Frame([&] { m_system->GetRootLayer()->Draw(); }, 0xFFFFFFFF);

    // Outside the frame the white screen is dimmed.
    uint32_t dimmed = Readback::Pixel(60, 400);
    EXPECT_TRUE(Near(dimmed, 0xFF6E7078, 24)) << std::hex << dimmed;
    // The frame's white border starts at x 112, its dark title band at y 40.
    EXPECT_TRUE(Near(Readback::Pixel(110, 400), dimmed, 8));
    EXPECT_TRUE(Near(Readback::Pixel(114, 400), 0xFFFFFFFF, 12)) << std::hex << Readback::Pixel(114, 400);
    EXPECT_TRUE(Near(Readback::Pixel(140, 110), 0xFF1B2340, 12)) << std::hex << Readback::Pixel(140, 110);
    // "YOU WIN!" in green across the header, the hand-speed grade's blue frame on the left, the
    // blue retry button under the table.
    EXPECT_GT(Readback::CountColor(RECT{212, 58, 812, 158}, 0xFF3CC47C, 40), 2000);
    EXPECT_GT(Readback::CountColor(RECT{150, 190, 154, 430}, 0xFF3D8BFD, 40), 300);
    EXPECT_GT(Readback::CountColor(RECT{412, 606, 612, 662}, 0xFF3D8BFD, 40), 5000);
    EXPECT_EQ(Readback::CountColor(RECT{652, 606, 852, 662}, 0xFF3CC47C, 40), 0)
        << "no next or continue button in a battle result";
    popUp.Unload();
}

} // namespace
