// The scene shown during every scene switch while the target's Enter runs on the loader thread:
// a full-screen picture, the loading animation chosen by the loading mode, its own cursor and a
// stamp where the player clicks. It keeps the online server and client frames running through
// the network pump the program installs, and takes the other player's ready message. It never
// touches the UI window tree, which the target is building meanwhile.
#pragma once

#include "engine/BlockClickEffect.h"
#include "engine/AnimationPlayer.h"
#include "engine/Scene.h"
#include "engine/SoftwareCursor.h"

#include <atomic>

inline constexpr int kSceneMessageNetReadyToPlay = 2121;

// Ready messages still awaited: lowered on the main thread, read by an online scene's Enter on
// the loader thread.
extern std::atomic<int> g_nNetReadyCount;
// The loading animation: 0 "loading_title", 1 "loading", 2 "connecting".
extern std::atomic<int> g_nLoadingMode;

// One frame of the online server and client, run by the loading scene every frame while a
// target scene enters. The program installs it; without one the loading scene runs no network.
using NetworkPump = void (*)(float seconds);
void SetNetworkPump(NetworkPump pump);

class LoadingScene : public CScene {
public:
    LoadingScene();

    int Enter(int a, int b) override;
    // Clears the stamps; the animation, cursor and picture stay for the next switch.
    void Leave() override;
    int Update(float seconds) override;
    int Render() override;
    // A left-button release leaves a stamp at the pointer.
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Message 2121: one fewer ready message to wait for.
    int OnNetReadyToPlay(const void* data, int extra);

    int m_nPicture = -1;
    VanteoMouse m_Cursor;
    AnimationPlayer m_Animation;
    BlockClickEffect m_ClickEffect;
};
