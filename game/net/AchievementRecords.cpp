// The achievement table: API names and built-in titles in id order, and the display order.
#include "net/Achievements.h"

#include "data/GameDataXml.h"
#include "net/NetGlobals.h"

#include <cstring>

namespace {

struct BuiltIn {
    const char* apiName;
    const char* title;
};

constexpr BuiltIn kBuiltIn[kAchievementCount] = {
    {"ACH_ACCOM_BATTLE_GEEK_ALLCLEAR", "Battle Geek Play All Clear"},
    {"ACH_ACCOM_BATTLE_GEEK_ALLCLEAR_NO1", "Battle Geek Play All No.1 Clear"},
    {"ACH_ACCOM_BATTLE_SELF_WIN_10", "Battle Self Play 10 Wins"},
    {"ACH_ACCOM_BATTLE_SELF_WIN_100", "Battle Self Play 100 Wins"},
    {"ACH_ACCOM_PUSH_LEVEL_ALLCLEAR", "Push Level Play All Clear"},
    {"ACH_ACCOM_PUSH_LEVEL_ALLCLEAR_NO1", "Push Level Play All No.1 Clear"},
    {"ACH_ACCOM_PUSH_GEEK_ALLCLEAR", "Push Geek Play All Clear"},
    {"ACH_ACCOM_PUSH_GEEK_ALLCLEAR_NO1", "Push Geek Play All No.1 Clear"},
    {"ACH_ACCOM_PUSH_SELF_WIN_10", "Push Self Play 10 Wins"},
    {"ACH_ACCOM_PUSH_SELF_WIN_100", "Push Self Play 100 Wins"},
    {"ACH_ACCOM_IQ_EASY_ALLCLEAR", "Logic Puzzle Easy All Clear"},
    {"ACH_ACCOM_IQ_EASY_ALLCLEAR_NO1", "Logic Puzzle Easy All No.1 Clear"},
    {"ACH_ACCOM_IQ_NORMAL_ALLCLEAR", "Logic Puzzle Normal All Clear"},
    {"ACH_ACCOM_IQ_NORMAL_ALLCLEAR_NO1", "Logic Puzzle Normal All No.1 Clear"},
    {"ACH_ACCOM_IQ_HARD_ALLCLEAR", "Logic Puzzle Hard All Clear"},
    {"ACH_ACCOM_IQ_HARD_ALLCLEAR_NO1", "Logic Puzzle Hard All No.1 Clear"},
    {"ACH_LB_SC_CLEAR_30", "StageC. 30min Clear"},
    {"ACH_LB_SC_CLEAR_20", "StageC. 20min Clear"},
    {"ACH_LB_SC_CLEAR_10", "StageC. 10min Clear"},
    {"ACH_LB_CC_100", "ComboC. 100 Combo"},
    {"ACH_LB_CC_300", "ComboC. 300 Combo"},
    {"ACH_LB_CC_500", "ComboC. 500 Combo"},
    {"ACH_LB_PC_1M", "PointC. 1,000,000 Points"},
    {"ACH_LB_PC_2M", "PointC. 2,000,000 Points"},
    {"ACH_LB_PC_5M", "PointC. 5,000,000 Points"},
    {"ACH_LB_BATTLE_100K", "Battle 100,000 Points"},
    {"ACH_LB_BATTLE_1M", "Battle 1,000,000 Points"},
    {"ACH_LB_BATTLE_3M", "Battle 3,000,000 Points"},
    {"ACH_LB_PUSH_100K", "Push 100,000 Points"},
    {"ACH_LB_PUSH_1M", "Push 1,000,000 Points"},
    {"ACH_LB_PUSH_3M", "Push 3,000,000 Points"},
    {"ACH_LB_IQ_100K", "Logic Puzzle 100,000 Points"},
    {"ACH_LB_IQ_1M", "Logic Puzzle 1,000,000 Points"},
    {"ACH_LB_IQ_3M", "Logic Puzzle 3,000,000 Points"},
    {"ACH_LB_MULTIWIN_10", "Multi Play 10 Wins"},
    {"ACH_LB_MULTIWIN_100", "Multi Play 100 Wins"},
    {"ACH_LB_MULTIWIN_1000", "Multi Play 1000 Wins"},
    {"ACH_STAT_EXCUTE_100", "STAT. Execute 100 Times"},
    {"ACH_STAT_EXCUTE_500", "STAT. Execute 500 Times"},
    {"ACH_STAT_PLAYTIME_10H", "STAT. Play Time 10 Hours"},
    {"ACH_STAT_PLAYTIME_50H", "STAT. Play Time 50 Hours"},
    {"ACH_STAT_CLICK_10K", "STAT. 10,000 Block Clicks"},
    {"ACH_STAT_CLICK_500K", "STAT. 500,000 Block Clicks"},
    {"ACH_STAT_ROTATE_2K", "STAT. 2,000 Rotations"},
    {"ACH_STAT_ROTATE_100K", "STAT. 100,000 Rotations"},
    {"ACH_STAT_CLEAR_5K", "STAT. 5,000 Block Clears"},
    {"ACH_STAT_CLEAR_250K", "STAT. 250,000 Block Clears"},
    {"ACH_STAT_STAR_500", "STAT. 500 Big Stars"},
    {"ACH_STAT_STAR_5K", "STAT. 5,000 Big Stars"},
    {"ACH_STAT_STONE_500", "STAT. 500 Big Stones"},
    {"ACH_STAT_STONE_5K", "STAT. 5,000 Big Stones"},
    {"ACH_STAT_CHAIN_1K", "STAT. 1,000 Chains"},
    {"ACH_STAT_CHAIN_50K", "STAT. 50,000 Chains"},
    {"ACH_STAT_MAGICTURN_500", "STAT. 500 Magic Turns"},
    {"ACH_STAT_MAGICTURN_20K", "STAT. 20,000 Magic Turns"},
    {"ACH_STAT_CUBE_2K", "STAT. 2,000 Cubes"},
    {"ACH_STAT_CUBE_9K", "STAT. 9,000 Cubes"},
    {"ACH_STAGEC_FIRSTMAGICTURN", "StageC. First Magic Turn"},
    {"ACH_STAGEC_FIRSTMAGICTURN_STAR", "StageC. First Star Magic Turn"},
    {"ACH_STAGEC_FIRSTMAGICTURN_STONE", "StageC. First Stone Magic Turn"},
    {"ACH_STAGEC_FIRST_COMBO_10", "StageC. First 10 Combo"},
    {"ACH_STAGEC_FIRST_COMBO_20", "StageC. First 20 Combo"},
    {"ACH_UNLOCK_MODE_PUSH", "Unlock Push Mode"},
    {"ACH_UNLOCK_MODE_BATTLE", "Unlock Battle Mode"},
    {"ACH_UNLOCK_MODE_IQ", "Unlock Logic Puzzle Mode"},
    {"ACH_UNLOCK_ALL_MODE_PUZZLE", "Unlock All Puzzle Modes"},
    {"ACH_UNLOCK_ALL_MODE_BATTLE", "Unlock All Battle Modes"},
    {"ACH_UNLOCK_ALL_MODE_PUSH", "Unlock All Push Modes"},
    {"ACH_UNLOCK_ALL_MODE_IQ", "Unlock All Logic Puzzle Modes"},
    {"ACH_UNLOCK_ALL_SKINS", "Unlock All Skins"},
    {"ACH_UNLOCK_ALL_MODE_TUTORIALS", "Unlock All Tutorials"},
    {"ACH_ACCOM_SC_ALLCLEAR", "Stage Challenge All Clear"},
    {"ACH_ACCOM_SC_ALLCLEAR_NO1", "Stage Challenge All No.1 Clear"},
    {"ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR", "Battle Level Play All Clear"},
    {"ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR_NO1", "Battle Level Play All No.1 Clear"},
};

struct TableBuilder {
    TableBuilder()
    {
        for (int id = 0; id < kAchievementCount; ++id) {
            AchievementRecord& record = g_AchievementRecords[id];
            record.id = id;
            record.apiName = kBuiltIn[id].apiName;
            gamedata::CopyText(record.name, sizeof record.name, kBuiltIn[id].title);
            g_nAchievementOrder[id] = id;
        }
    }
};

} // namespace

AchievementRecord g_AchievementRecords[kAchievementCount] = {};
int32_t g_nAchievementOrder[kAchievementCount] = {};

// The table is filled before main, so start-up finds it ready.
static TableBuilder g_tableBuilder;

AchievementRecord* FindAchievement(const char* apiName)
{
    if (!apiName)
        return nullptr;
    for (AchievementRecord& record : g_AchievementRecords)
        if (record.apiName && std::strcmp(record.apiName, apiName) == 0)
            return &record;
    return nullptr;
}

void UnlockAchievementNamed(const char* apiName)
{
    if (!g_pAchievements)
        return;
    if (AchievementRecord* record = FindAchievement(apiName))
        g_pAchievements->Unlock(record);
}
