// The main menu's plain screen: Escape ends the game through the orderly quit; other keys do not.
#include "../engine/EngineFakes.h"

#include "engine/SceneManager.h"
#include "menus/MainMenuScene.h"

#include <win32/Messages.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(MainMenuSceneTest, EscapeQuitsAndOtherKeysPassOn)
{
    enginetest::RecordingRenderBackend renderer;
    CSceneManager manager;
    auto* menu = new VanteoMainMenuScene();
    EXPECT_STREQ(menu->GetName(), "VanteoMainMenuScene");
    manager.RegisterScene(menu);
    manager.SetFirstScene("VanteoMainMenuScene", -1, 0);

    EXPECT_EQ(menu->MsgProc(WM_KEYDOWN, VK_RETURN, 0), 0);
    EXPECT_EQ(menu->MsgProc(WM_KEYUP, VK_ESCAPE, 0), 0);
    EXPECT_TRUE(std::find(renderer.calls.begin(), renderer.calls.end(), "PostQuit 0") == renderer.calls.end());
    EXPECT_EQ(menu->MsgProc(WM_KEYDOWN, VK_ESCAPE, 0), 1);
    EXPECT_TRUE(manager.IsQuitting());
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "PostQuit 0"), 1);
    manager.Shutdown();
}

} // namespace
