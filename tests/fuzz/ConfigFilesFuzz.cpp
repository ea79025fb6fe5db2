// Fuzzes the game-data loaders: the same bytes are written as every configuration file (options,
// mode configuration, logic-puzzle settings, unlocks, record, ranking, skin, the achievements'
// state and descriptions, the leaderboard bests) and each loader reads them; nothing may crash,
// every text read stays inside its field, and each save afterwards must load again.
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "engine/SkinTable.h"
#include "net/AchievementsSteam.h"
#include "net/LeaderBoard.h"
#include "FuzzSupport.h"

#include <helvane/ResourceFileManager.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void WriteFile(const char* path, const uint8_t* data, size_t size)
{
    if (std::FILE* out = std::fopen(path, "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Work in a private folder: the loaders use paths relative to the current directory.
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_fuzz_config");
    std::filesystem::create_directories("Data/PlayData");
    std::filesystem::create_directories("data");
    std::filesystem::create_directories("Data/Achievment");
    WriteFile("data/KVSkin_Default.xml", reinterpret_cast<const uint8_t*>("<x/>"), 4);
    CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (const char* path : {kGameConfigFile, kBattleConfigFile, kIQPuzzleConfigFile, kUnlockMenuFile, kRecordFile,
                             kRankingFile, "data/KVSkin_Default.xml", kAchievementStateFile, kAchievementDescFile,
                             kLeaderBoardFile})
        WriteFile(path, data, size);

    if (LoadGameConfig())
        SaveGameConfig();
    LoadModeConfig(kBattleConfigFile);
    for (int stage = -1; stage < 3; ++stage)
        SelectStage(stage);
    GetComboBonus(25);
    GetMultiRateLevel(1000);
    LoadPuzzleConfig(nullptr);
    ClearUnlockMenu();
    if (LoadUnlockMenu()) {
        GetUnlockInfo(UNLOCK_PUSH_GEEK, 0);
        SaveUnlockMenu();
    }
    LoadPlayRecord();
    AddThisGameCounter(17, 1);
    if (LoadRanking()) {
        InsertRankingScore(RANK_BATTLE, "1", 10, 10);
        SaveRanking();
        if (!LoadRanking())
            std::abort();
    }
    {
        Achievements_Steam achievements;
        achievements.LoadFiles();
        for (int k = 0; k < kAchievementCount; ++k) {
            const AchievementRecord& r = g_AchievementRecords[k];
            if (g_nAchievementOrder[k] < 0 || g_nAchievementOrder[k] >= kAchievementCount ||
                strnlen(r.desc1, sizeof r.desc1) == sizeof r.desc1 || strnlen(r.desc2, sizeof r.desc2) == sizeof r.desc2 ||
                strnlen(r.time, sizeof r.time) == sizeof r.time)
                std::abort();
        }
        // The state written reads back as it was.
        achievements.SaveFile();
        bool earned[kAchievementCount];
        for (int k = 0; k < kAchievementCount; ++k) {
            earned[k] = g_AchievementRecords[k].achieved;
            g_AchievementRecords[k].achieved = !earned[k];
        }
        Achievements_Steam again;
        again.LoadFiles();
        for (int k = 0; k < kAchievementCount; ++k)
            if (g_AchievementRecords[k].achieved != earned[k])
                std::abort();
    }
    {
        QuiblyLeaderBoard board;
        board.LoadLocalBests();
        board.SaveLocalBests();
        QuiblyLeaderBoard again;
        again.LoadLocalBests();
        if (again.m_nBest != board.m_nBest)
            std::abort();
    }
    CSkinTable skins;
    skins.LoadSkin(1);
    skins.GetSkinString(82);
    return 0;
}
