// Questions the main menu asks of the local ranking tables: hard-stage progress, push and combo
// records, the weighted ranking scores that feed the leaderboards, and the logic-puzzle
// percentages. A place counts as the player's when its name is "##player##"; an empty place is
// named so too but holds the score -1, so the player's places are those with a score of 0 or more.
#include "menus/MainMenuScene.h"

#include "data/ModeConfig.h"
#include "data/Records.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kHardStages = 50;
constexpr int kCountedPlaces = 5;
constexpr const char* kPuzzleFolders[3] = {"Data/Puzzle/Easy/", "Data/Puzzle/Normal/", "Data/Puzzle/Hard/"};

bool IsPlayerName(const RankEntry& place)
{
    return std::strcmp(place.name, kLocalPlayerName) == 0;
}

// A place the player has really played.
bool IsPlayedByPlayer(const RankEntry& place)
{
    return IsPlayerName(place) && place.score >= 0;
}

RankEntry* Table(int board, int key)
{
    return FindRankingTable(board, std::to_string(key).c_str());
}

struct KeyWeight {
    int key;
    long long weight;
};

// Every played place of the player among the first five adds key weight x place weight x the
// time factor, so faster results count more.
long long WeightedScore(int board, const KeyWeight* keys, size_t count)
{
    long long sum = 0;
    for (size_t i = 0; i < count; ++i) {
        RankEntry* places = Table(board, keys[i].key);
        if (!places)
            continue;
        for (int p = 0; p < kCountedPlaces; ++p)
            if (IsPlayedByPlayer(places[p]))
                sum += keys[i].weight * (kCountedPlaces - p) * std::max(300 - places[p].time, 1);
    }
    return sum;
}

// Loads the folder's puzzle list and counts the puzzles the player has cleared (first player
// place above 0), or only those where that place is the first one.
int PuzzlePercent(int difficulty, bool firstOnly)
{
    if (difficulty < 0 || difficulty > 2)
        return 0;
    // A list that cannot be loaded is not there; the list of an earlier folder does not count.
    if (!LoadPuzzleConfig(kPuzzleFolders[difficulty]))
        return 0;
    const int total = GetPuzzleCount();
    if (total <= 0)
        return 0;
    int count = 0;
    for (const auto& puzzle : ModeConfig.puzzles) {
        RankEntry* places = FindRankingTable(RANK_PUZZLE, puzzle->path);
        if (!places)
            continue;
        if (firstOnly) {
            count += IsPlayerName(places[0]) && places[0].score > 0;
            continue;
        }
        for (int p = 0; p < RankingTable::kPlaces; ++p) {
            if (IsPlayerName(places[p])) {
                count += places[p].score > 0;
                break;
            }
        }
    }
    return count * 100 / total;
}

} // namespace

bool VanteoMainMenuScene::IsFirstInAllHardStages()
{
    for (int key = 0; key < kHardStages; ++key) {
        RankEntry* places = Table(RANK_STAGE_HARD, key);
        if (!places)
            return false;
        if (places[0].score < 0)
            return true;
        if (!IsPlayerName(places[0]))
            return false;
    }
    return true;
}

bool VanteoMainMenuScene::HasPushRecord()
{
    for (int key = 1; key <= 6; ++key) {
        RankEntry* places = Table(RANK_PUSH, key);
        if (!places)
            continue;
        for (int p = 0; p < RankingTable::kPlaces; ++p)
            if (IsPlayedByPlayer(places[p]))
                return true;
    }
    return false;
}

bool VanteoMainMenuScene::HasComboScore50()
{
    RankEntry* places = Table(RANK_COMBO, 7);
    if (!places)
        return false;
    for (int p = 0; p < RankingTable::kPlaces; ++p)
        if (IsPlayedByPlayer(places[p]) && places[p].score >= 50)
            return true;
    return false;
}

int VanteoMainMenuScene::GetHardStageTotalTime()
{
    int sum = 0;
    for (int key = 0; key < kHardStages; ++key) {
        RankEntry* places = Table(RANK_STAGE_HARD, key);
        if (!places)
            return -1;
        const RankEntry* found = nullptr;
        for (int p = 0; p < RankingTable::kPlaces && !found; ++p)
            if (places[p].score > 0 && IsPlayerName(places[p]))
                found = &places[p];
        if (!found)
            return -1;
        sum += found->time;
    }
    return sum;
}

int VanteoMainMenuScene::GetHardStageReached()
{
    for (int key = 0; key < kHardStages; ++key) {
        RankEntry* places = Table(RANK_STAGE_HARD, key);
        if (!places)
            return key;
        bool player = false;
        for (int p = 0; p < RankingTable::kPlaces && !player; ++p) {
            if (places[p].score < 0)
                return key;
            player = IsPlayerName(places[p]);
        }
        if (!player)
            return key;
    }
    return kHardStages;
}

long long VanteoMainMenuScene::GetBattleRankingScore()
{
    static const KeyWeight kKeys[] = {{1, 20},  {2, 50},  {3, 100}, {4, 200},  {7, 50},
                                      {8, 75},  {9, 100}, {10, 200}, {11, 300}, {12, 500}};
    return WeightedScore(RANK_BATTLE, kKeys, std::size(kKeys));
}

long long VanteoMainMenuScene::GetPushRankingScore()
{
    static const KeyWeight kKeys[] = {{1, 30}, {2, 50}, {3, 75}, {4, 200}, {5, 300}, {6, 500}};
    return WeightedScore(RANK_PUSH, kKeys, std::size(kKeys));
}

long long VanteoMainMenuScene::GetPuzzleRankingScore()
{
    long long sum = 0;
    for (int d = 0; d < 3; ++d) {
        if (!LoadPuzzleConfig(kPuzzleFolders[d]))
            continue;
        for (const auto& puzzle : ModeConfig.puzzles) {
            RankEntry* places = FindRankingTable(RANK_PUZZLE, puzzle->path);
            if (!places)
                continue;
            for (int p = 0; p < kCountedPlaces; ++p)
                if (IsPlayedByPlayer(places[p]))
                    sum += static_cast<long long>(d + 1) * (kCountedPlaces - p) *
                           std::max(30000 - places[p].time, 1) * 5 / 100;
        }
    }
    return sum;
}

int VanteoMainMenuScene::GetPuzzleSolvedPercent(int difficulty)
{
    return PuzzlePercent(difficulty, false);
}

int VanteoMainMenuScene::GetPuzzleFirstPercent(int difficulty)
{
    return PuzzlePercent(difficulty, true);
}
