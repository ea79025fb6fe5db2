#include "menus/MainMenuScene.h"

#include "engine/SceneManager.h"
#include "engine/SoftwareCursor.h"

#include <win32/Messages.h>
#include <win32/VirtualKeys.h>

// Until the full menu is built, F starts free play on its 8 x 8 board.
#if __has_include("board/VanteoBlockMap.h")
#include "modes/VanteoScene_Puzzle.h"
#define QUIBLY_HAS_FREE_PLAY 1
#else
#define QUIBLY_HAS_FREE_PLAY 0
#endif

namespace {

constexpr int kCursorNormal = 0;

} // namespace

VanteoMainMenuScene::VanteoMainMenuScene()
{
    SetName(kMainMenuSceneName);
}

int VanteoMainMenuScene::Enter(int, int)
{
#if QUIBLY_HAS_FREE_PLAY
    CSceneManager& manager = singleton<CSceneManager>::GetSingleton();
    if (!manager.FindScene(kFreePlaySceneName))
        manager.RegisterScene(new VanteoScene_Puzzle());
#endif
    g_Mouse.LoadCursors();
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorNormal, RECT{0, 0, 1024, 768});
    return 1;
}

int VanteoMainMenuScene::Update(float seconds)
{
    g_Mouse.Update(seconds);
    return 1;
}

int VanteoMainMenuScene::Render()
{
    g_Mouse.Draw();
    return 1;
}

int VanteoMainMenuScene::MsgProc(UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        singleton<CSceneManager>::GetSingleton().Quit();
        return 1;
    }
#if QUIBLY_HAS_FREE_PLAY
    if (msg == WM_KEYDOWN && wParam == 'F') {
        singleton<CSceneManager>::GetSingleton().ChangeScene(kFreePlaySceneName, kFreePlayMenuStage, 0);
        return 1;
    }
#endif
    return 0;
}
