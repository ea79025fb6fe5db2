// An empty scene, registered with the game scenes: it enters, updates and draws nothing.
#pragma once

#include "engine/Scene.h"

class SimpleTestScene : public CScene {
public:
    SimpleTestScene() { SetName("SimpleTestScene"); }

    int Enter(int, int) override { return 1; }
    void Leave() override {}
    int Render() override { return 1; }
    int AfterRender() override { return 1; }
    int Update(float) override { return 1; }
    int MsgProc(UINT, WPARAM, LPARAM) override { return 0; }
};
