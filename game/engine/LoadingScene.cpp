#include "engine/LoadingScene.h"

#include "engine/RenderBackend.h"

#include <helvane/Log.h>
#include <win32/Messages.h>

std::atomic<int> g_nNetReadyCount{0};
std::atomic<int> g_nLoadingMode{0};

namespace {

NetworkPump g_networkPump = nullptr;

constexpr const char* kLoadingPicture = "loading.bmp";
constexpr const char* kLoadingAnimation = "loading_Animation.xml";
constexpr int kCursorBlock = 2;

// The animation scene of each loading mode.
const char* LoadingSceneOfMode(int mode)
{
    switch (mode) {
    case 0:
        return "loading_title";
    case 1:
        return "loading";
    case 2:
        return "connecting";
    default:
        return nullptr;
    }
}

} // namespace

void SetNetworkPump(NetworkPump pump)
{
    g_networkPump = pump;
}

LoadingScene::LoadingScene()
{
    SetName("LoadingScene");
}

int LoadingScene::Enter(int, int)
{
    m_nPicture = GetRenderBackend().GetTextureHandle(kLoadingPicture, true);
    m_Cursor.LoadCursors();
    m_Cursor.m_bVisible = 1;
    m_Cursor.ClearRects();
    AddHandler(kSceneMessageNetReadyToPlay, nullptr, &LoadingScene::OnNetReadyToPlay);
    m_Cursor.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});
    m_ClickEffect.LoadAnimations();
    if (!m_Animation.m_pSet) {
        m_Animation.Load(kLoadingAnimation);
        m_Animation.m_bLoop = true;
    }
    if (const char* scene = LoadingSceneOfMode(g_nLoadingMode.load()))
        m_Animation.Play(scene);
    return 1;
}

void LoadingScene::Leave()
{
    m_ClickEffect.Clear();
}

int LoadingScene::Update(float seconds)
{
    if (g_networkPump)
        g_networkPump(seconds);
    m_ClickEffect.Update(seconds);
    m_Cursor.Update(seconds);
    m_Animation.Update(seconds);
    return 1;
}

int LoadingScene::Render()
{
    RenderBackend& renderer = GetRenderBackend();
    int width = 0;
    int height = 0;
    if (renderer.GetTextureSize(m_nPicture, &width, &height))
        renderer.DrawSprite(m_nPicture, 0xFFFFFFFF, nullptr);
    m_Animation.Draw(nullptr, 0xFFFFFFFF, 0.0f, nullptr);
    m_Cursor.Draw();
    m_ClickEffect.Draw(nullptr);
    return 1;
}

int LoadingScene::MsgProc(UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_LBUTTONUP)
        return 0;
    m_ClickEffect.Add(BlockClickEffect::kStamp, static_cast<float>(LOWORD(lParam)), static_cast<float>(HIWORD(lParam)));
    return 1;
}

int LoadingScene::OnNetReadyToPlay(const void*, int)
{
    // Extra ready messages never take the count below 0.
    int count = g_nNetReadyCount.load();
    while (count > 0 && !g_nNetReadyCount.compare_exchange_weak(count, count - 1)) {
    }
    DFLog(L"OnNetReadyToPlay");
    return 1;
}
