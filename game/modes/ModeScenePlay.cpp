#include "modes/ModeScenePlay.h"

#include "engine/Getters.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationPlayer.h"
#include "board/GameMessages.h"
#include "board/GameSeams.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoundTable.h"
#include "engine/WindowMouse.h"
#include "kv/KVDirector.h"
#include "kv/KVVanteoAnimButton.h"
#include "menus/PopUpPause.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>
#include <win32/VirtualKeys.h>

#include <cstring>

namespace modescene {

kv::KVWnd* Find(kv::KVWnd* root, const wchar_t* name) { return root ? root->FindChild(name) : nullptr; }

void PostChangeScene(const char* name, int a, int b)
{
    ChangeScenePacket packet;
    packet.length = sizeof(int32_t) + sizeof packet.sceneName + 2 * sizeof(int32_t);
    packet.id = MSG_CHANGE_SCENE;
    std::strncpy(packet.sceneName, name, sizeof packet.sceneName - 1);
    packet.a = a;
    packet.b = b;
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->PostMessage(&packet);
}

bool KeyPressed(int vk)
{
    InputSystem* input = GetInputManager();
    return input && input->IsKeyPressed(vk);
}

bool KeyDown(int vk)
{
    InputSystem* input = GetInputManager();
    return input && input->IsKeyDown(vk);
}

void SetButtonState(kv::KVWnd* root, const wchar_t* name, int state)
{
    if (auto* button = dynamic_cast<KVVanteoAnimButton*>(Find(root, name)))
        button->SetState(state);
}

void RestartMusic(int key)
{
    SoundTable.StopSoundByKey(key);
    if (SoundTable.m_musicEnabled)
        SoundTable.PlaySoundByKey(key, true, -1.0f);
}

namespace {
ISoundSink* g_effectSink = nullptr;
}

void SetEffectSink(ISoundSink* sink) { g_effectSink = sink; }

void PlayEffect(int key)
{
    if (!SoundTable.m_effectsEnabled)
        return;
    if (g_effectSink) {
        g_effectSink->Stop(key);
        g_effectSink->Play(key, false);
        return;
    }
    SoundTable.StopSoundByKey(key);
    SoundTable.PlaySoundByKey(key, false, -1.0f); // a failure is logged by the table, once per key
}

void MousePosition(float* x, float* y)
{
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    *x = mouse ? static_cast<float>(mouse->m_x) : 0.0f;
    *y = mouse ? static_cast<float>(mouse->m_y) : 0.0f;
}

void PlayBoardInput(VanteoBlockMap& board, kv::KVWnd* boardWindow)
{
    HoverBoard(board);
    BoardClicksAndTurns(board, boardWindow);
}

void HoverBoard(VanteoBlockMap& board)
{
    float x = 0.0f, y = 0.0f;
    MousePosition(&x, &y);
    board.Hover(x, y);
}

void BoardClicksAndTurns(VanteoBlockMap& board, kv::KVWnd* boardWindow)
{
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    float x = 0.0f, y = 0.0f;
    MousePosition(&x, &y);
    if (mouse) {
        if (mouse->m_dwFlags & mouseflag::kLeftPressed)
            board.Click(x, y);
        else if (mouse->m_dwFlags & mouseflag::kRightPressed)
            board.RightClick(x, y);
        if (mouse->m_nWheel > 0) {
            if (board.StartRotate(-1))
                SetButtonState(boardWindow, L"Anibtn_rotate_L", 1);
        } else if (mouse->m_nWheel < 0) {
            if (board.StartRotate(+1))
                SetButtonState(boardWindow, L"Anibtn_rotate_R", 1);
        }
    }
    if (KeyPressed('W') || KeyPressed('U')) {
        if (board.RequestRotate(-1))
            SetButtonState(boardWindow, L"Anibtn_rotate_L", 1);
    } else if (KeyPressed('E') || KeyPressed('I')) {
        if (board.RequestRotate(+1))
            SetButtonState(boardWindow, L"Anibtn_rotate_R", 1);
    }
}

void FillBulletsWhileEnterHeld(VanteoBlockMap* board)
{
    if (!board || !KeyDown(VK_RETURN))
        return;
    for (int colour = 0; colour < 3; ++colour) {
        board->bulletTotals[colour] += VanteoBlockMap::kMaxBullets - board->bullets[colour];
        board->bullets[colour] = VanteoBlockMap::kMaxBullets;
    }
}

bool PauseKeys(VanteoPopUp_Pause& pause)
{
    if (KeyPressed('R')) {
        pause.OnRetry();
        return false;
    }
    if (KeyPressed('Q'))
        pause.OnQuit();
    else if (KeyPressed('X'))
        pause.OnExit();
    else if (KeyPressed('K'))
        pause.OnKeyHelp();
    else
        return false;
    return true;
}

void ShowComboHighlight(kv::KVWnd* root, int combo)
{
    if (combo <= 0)
        return;
    const wchar_t* name = combo % 100 == 0 ? L"Pic_effect_highlight_Large"
                          : combo % 10 == 0 ? L"Pic_effect_highlight_small"
                                            : nullptr;
    if (kv::KVWnd* w = name ? Find(root, name) : nullptr) {
        w->SetVisible(true);
        if (kv::KVDirector* director = w->GetDirector())
            director->PlaySceneIndex(0);
    }
}

void LoadReadyGo(AnimationPlayer& player, kv::KVWnd* root)
{
    constexpr int kSkinReadyGo = 96;
    const char* file = SkinTable.GetSkinString(kSkinReadyGo);
    player.Load(file ? file : "");
    PlaceOverComboArea(player, root);
}

void PlaceOverComboArea(AnimationPlayer& player, kv::KVWnd* root)
{
    if (kv::KVWnd* area = Find(root, L"Wnd_ComboArea")) {
        const kv::KVRect r = area->GetAbsoluteRect();
        D3DXMatrixTranslation(&player.m_matWorld, (r.left + r.right) * 0.5f, (r.top + r.bottom) * 0.5f, 0.0f);
    }
}

} // namespace modescene
