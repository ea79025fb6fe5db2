// The main menu scene: a plain screen with the software cursor, which the player leaves with
// Escape to end the game through the orderly quit, or with F to play free play.
#pragma once

#include "engine/Scene.h"

inline constexpr const char* kMainMenuSceneName = "VanteoMainMenuScene";

class VanteoMainMenuScene : public CScene {
public:
    VanteoMainMenuScene();

    // Runs on the scene loader thread: the cursor covers the whole screen.
    int Enter(int a, int b) override;
    void Leave() override {}
    int Update(float seconds) override;
    int Render() override;
    // Escape quits the game.
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
