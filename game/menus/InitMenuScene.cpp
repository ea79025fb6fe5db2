#include "menus/InitMenuScene.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/MovieTexture.h"
#include "engine/SceneManager.h"
#include "engine/SoftwareCursor.h"
#include "engine/Sound.h"
#include "engine/SoundServer.h"
#include "kv/KVSystem.h"
#include "menus/MainMenuScene.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"

#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <win32/Cursor.h>
#include <win32/Messages.h>
#include <win32/Window.h>

namespace {

constexpr int kCursorBlock = 2;
constexpr int kLoadingModeLoading = 1;

} // namespace

VanteoInitMenuScene::VanteoInitMenuScene()
{
    SetName(kInitMenuSceneName);
}

VanteoInitMenuScene::~VanteoInitMenuScene()
{
    CloseMovie();
}

int VanteoInitMenuScene::Enter(int, int)
{
    m_pMovie = new MovieTexture();
    m_pMovie->Open(CDirect3DDevice::GetSingleton().m_pd3dDevice, kLogoMovieFile);
    m_pMovie->Update(0.0f);
    AddHandler(kSceneMessageChangeScene, nullptr, &VanteoInitMenuScene::IgnoreMessage);
    g_nLoadingMode = kLoadingModeLoading;
    g_Mouse.m_bVisible = 0;
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});
    m_nLogoSound = DXSoundServer::GetSingleton().LoadSound(kLogoSoundFile, kSoundControlVolume, false);
    DXSoundServer::GetSingleton().Play(m_nLogoSound);
    return 1;
}

void VanteoInitMenuScene::Leave()
{
    CloseMovie();
}

int VanteoInitMenuScene::Update(float seconds)
{
    if (CWindowMouse* mouse = GetInputManager()->GetMouse())
        if (mouse->m_dwFlags & (mouseflag::kLeftReleased | mouseflag::kRightReleased))
            m_bSkipRequest = 1;
    if (m_bSkipRequest) {
        DXSoundServer::GetSingleton().Stop(m_nLogoSound);
        GoToMainMenu();
        return 1;
    }
    if (m_pMovie)
        m_pMovie->Update(seconds);
    if (!m_pMovie || !m_pMovie->m_bPlaying)
        GoToMainMenu();
    return 1;
}

int VanteoInitMenuScene::Render()
{
    if (m_pMovie && m_pMovie->m_bPlaying && g_pRenderer) {
        // Shown at the movie's own size from the top-left corner of the screen.
        g_pRenderer->DrawSprite(m_pMovie->m_pTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF, nullptr);
    } else {
        g_Mouse.Draw();
    }
    return 1;
}

int VanteoInitMenuScene::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Any key skips the logos; the window system still sees it.
    if (msg == WM_KEYDOWN)
        m_bSkipRequest = 1;
    return ForwardToUi(msg, wParam, lParam);
}

void VanteoInitMenuScene::CloseMovie()
{
    if (!m_pMovie)
        return;
    m_pMovie->Close();
    delete m_pMovie;
    m_pMovie = nullptr;
}

void VanteoInitMenuScene::GoToMainMenu()
{
    singleton<CSceneManager>::GetSingleton().ChangeScene(kMainMenuSceneName, -1, 0);
}
