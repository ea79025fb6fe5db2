#include "modes/ModeSceneKit.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/BoardWindows.h"
#include "engine/DigitDisplay.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVWnd.h"
#include "net/LeaderBoard.h"

#include <helvane/Log.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace modekit {

namespace {

constexpr int kMaxCubes = 9999;
constexpr int kPlaceCubes[5] = {500, 300, 200, 100, 50};

} // namespace

int32_t Word(const void* data, int index)
{
    const uint8_t* p = static_cast<const uint8_t*>(data) + 4 * index;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
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

void HideAtOnce(kv::KVWnd* window) { BoardWindows::HideWindowAtOnce(window); }

D3DCOLOR WindowColour(kv::KVWnd* window)
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(window))
        return label->colour;
    return 0xFFFFFFFF;
}

bool IsShown(kv::KVWnd* window) { return window && window->IsShownRecursive(); }

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

void PlayEffect(int key)
{
    if (SoundTable.m_effectsEnabled)
        SoundTable.PlaySoundByKey(key, false, -1.0f);
}

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
