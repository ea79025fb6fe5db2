#include "menus/MainMenuScene.h"

#include "engine/SceneManager.h"
#include "engine/SoftwareCursor.h"
#include "modes/VanteoScene_Puzzle.h"

#include <win32/Messages.h>
#include <win32/VirtualKeys.h>

namespace {

constexpr int kCursorNormal = 0;

} // namespace

VanteoMainMenuScene::VanteoMainMenuScene()
{
    SetName(kMainMenuSceneName);
}

int VanteoMainMenuScene::Enter(int, int)
{
    CSceneManager& manager = singleton<CSceneManager>::GetSingleton();
    if (!manager.FindScene(kFreePlaySceneName))
        manager.RegisterScene(new VanteoScene_Puzzle());
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
    // Until the full menu is built, F starts free play on its 8 x 8 board.
    if (msg == WM_KEYDOWN && wParam == 'F') {
        singleton<CSceneManager>::GetSingleton().ChangeScene(kFreePlaySceneName, kFreePlayMenuStage, 0);
        return 1;
    }
    return 0;
}
