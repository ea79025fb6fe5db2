#include "modes/ModeSceneKit.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/BoardWindows.h"
#include "board/GameMessages.h"
#include "board/GameSinks.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"
#include "engine/InputSystem.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "engine/WindowMouse.h"
#include "kv/KVDirector.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "net/LeaderBoard.h"
#include "menus/PopUpPause.h"

#include <helvane/Log.h>
#include <win32/Cursor.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace modekit {

namespace {

constexpr int kMaxCubes = 9999;
constexpr int kPlaceCubes[5] = {500, 300, 200, 100, 50};

ISoundSink* g_effectSink = nullptr;

} // namespace

// --- windows -------------------------------------------------------------------------------------

kv::KVWnd* Find(kv::KVWnd* root, const wchar_t* name)
{
    if (!root)
        return nullptr;
    if (root->GetName() == name)
        return root;
    return root->FindChild(name);
}

void Show(kv::KVWnd* root, const wchar_t* name, bool shown)
{
    if (kv::KVWnd* window = Find(root, name))
        window->SetVisible(shown);
}

void SetText(kv::KVWnd* root, const wchar_t* name, const std::wstring& text)
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(Find(root, name)))
        label->text = text;
}

bool IsShown(kv::KVWnd* window)
{
    return window && window->IsShownRecursive();
}

void SetButtonState(kv::KVWnd* root, const wchar_t* name, int state)
{
    if (auto* button = dynamic_cast<KVVanteoAnimButton*>(Find(root, name)))
        button->SetState(state);
}

void ShowAndStart(kv::KVWnd* window)
{
    if (!window)
        return;
    window->SetVisible(true);
    if (auto* picture = dynamic_cast<kv::KVPicture*>(window); picture && picture->GetPictureDirector())
        picture->PlayScene(L"");
    else
        RestartFirstUIScene(window);
}

void HideAtOnce(kv::KVWnd* window)
{
    BoardWindows::HideWindowAtOnce(window);
}

void DetachWindow(kv::KVWnd*& window)
{
    if (kv::KVSystem* system = kv::KVSystem::GetPtr(); system && window)
        system->DetachWindow(window);
    window = nullptr;
}

void DeleteBoard(VanteoBlockMap*& board)
{
    if (board)
        board->DestroyBlocks();
    delete board;
    board = nullptr;
}

bool PlayLayoutScene(kv::KVWnd* layout, const wchar_t* scene)
{
    if (!layout || !layout->GetDirector() || !layout->GetDirector()->FindScene(scene))
        return false;
    layout->StopUIScene();
    layout->PlayUIScene(scene);
    return true;
}

D3DCOLOR WindowColour(kv::KVWnd* window)
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(window))
        return label->colour;
    return 0xFFFFFFFF;
}

bool PlaceDigits(PlacedDigitDisplay& display, kv::KVWnd* root, const wchar_t* pattern, int count, int style,
                 int colourFrom)
{
    std::vector<PlacedDigitDisplay::Position> places;
    kv::KVWnd* colourWindow = nullptr;
    for (int i = 1; i <= count; ++i) {
        wchar_t name[64];
        std::swprintf(name, 64, pattern, i);
        kv::KVWnd* picture = Find(root, name);
        if (!picture) {
            display.Create(0, style, nullptr);
            return false;
        }
        kv::KVPoint at = picture->GetAbsolutePosition();
        places.push_back({static_cast<int>(at.x), static_cast<int>(at.y)});
        if (i == colourFrom)
            colourWindow = picture;
    }
    display.Create(count, style, places.data());
    display.m_fX = static_cast<float>(places[0].x);
    display.m_fY = static_cast<float>(places[0].y);
    display.m_fZ = 0.0f;
    display.m_dwColour = WindowColour(colourWindow);
    display.m_bVisible = 1;
    return true;
}

void SetCursorAreas(std::initializer_list<CursorArea> areas)
{
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    for (const CursorArea& area : areas) {
        kv::KVWnd* window = Find(area.root, area.name);
        if (!window)
            continue;
        kv::KVRect r = window->GetAbsoluteRect();
        g_Mouse.AddRect(area.cursor, r.left, r.top, r.right, r.bottom);
    }
}

void ShowComboHighlight(kv::KVWnd* root, int combo)
{
    if (combo <= 0)
        return;
    const wchar_t* name = combo % 100 == 0  ? L"Pic_effect_highlight_Large"
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

// --- scenes and input ----------------------------------------------------------------------------

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

void EnterDialogMode()
{
    if (GameConfig.fullScreen) {
        GameConfig.fullScreen = 0;
        SaveGameConfig();
        GetRenderBackend().ToggleFullScreen();
    }
    ShowCursor(TRUE);
}

void LeaveDialogMode()
{
    ShowCursor(FALSE);
}

// --- sounds --------------------------------------------------------------------------------------

void RestartMusic(int key)
{
    SoundTable.StopSoundByKey(key);
    if (SoundTable.m_musicEnabled)
        SoundTable.PlaySoundByKey(key, true, -1.0f); // a failure is logged by the table, once per key
}

void SetEffectSink(ISoundSink* sink)
{
    g_effectSink = sink;
}

void PlayEffect(int key)
{
    PlayEffectSound(g_effectSink ? *g_effectSink : GetSoundTableSink(), key);
}

// --- the end of a ranked game --------------------------------------------------------------------

int CubesForRanking(const RankEntry* table, int lastPlaceDivisor)
{
    if (!table)
        return 0;
    int place = 0;
    while (place < RankingTable::kPlaces && !table[place].isNew)
        ++place;
    if (place == RankingTable::kPlaces)
        return 0;
    if (place == RankingTable::kPlaces - 1)
        return lastPlaceDivisor > 0 ? std::max(table[place].score, 0) / lastPlaceDivisor : 0;
    int cubes = kPlaceCubes[place];
    if (std::strcmp(table[place + 1].name, kLocalPlayerName) == 0)
        cubes /= 2;
    return cubes;
}

void AddCubesAndSave(int cubes)
{
    long long total = static_cast<long long>(GameConfig.cubes) + std::max(cubes, 0);
    GameConfig.cubes = static_cast<int>(std::min<long long>(total, kMaxCubes));
    SaveGameConfig();
}

bool RaiseLeaderBoardBest(int board, int score)
{
    QuiblyLeaderBoard& bests = GetLeaderBoard();
    if (board < 0 || board >= kLeaderBoardCount)
        return false;
    if (score > bests.m_nBest[board])
        bests.m_nBest[board] = score;
    if (bests.SaveLocalBests())
        return true;
    DFLog(LOG_WARN, L"The best of leaderboard %d (%d) could not be saved", board, bests.m_nBest[board]);
    return false;
}

} // namespace modekit
