// Fuzzes the game-data loaders: the same bytes are written as every configuration file (options,
// mode configuration, logic-puzzle settings, unlocks, record, ranking, skin) and each loader
// reads them; nothing may crash, and each save afterwards must load again.
#include "app/ModeConfig.h"
#include "app/Options.h"
#include "app/Records.h"
#include "app/UnlockInfo.h"
#include "engine/SkinTable.h"
#include "FuzzSupport.h"

#include <helvane/ResourceFileManager.h>

#include <cstdio>
#include <cstdlib>
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
    WriteFile("data/KVSkin_Default.xml", reinterpret_cast<const uint8_t*>("<x/>"), 4);
    CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (const char* path : {kGameConfigFile, kBattleConfigFile, kIQPuzzleConfigFile, kUnlockMenuFile, kRecordFile,
                             kRankingFile, "data/KVSkin_Default.xml"})
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
    CSkinTable skins;
    skins.LoadSkin(1);
    skins.GetSkinString(82);
    return 0;
}
