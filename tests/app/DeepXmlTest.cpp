// Every XML the game reads goes through one parser guard: a file nested tens of thousands of
// levels deep (a damaged or hostile play-data file, skin table, animation or layout) is refused
// with a log line instead of exhausting the stack.
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "engine/AnimationSet.h"
#include "engine/SkinTable.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/kv/KVTestKit.h"

#include <helvane/ResourceFileManager.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string DeepXml(const char* root)
{
    std::string text = std::string("<") + root + ">";
    for (int i = 0; i < 60000; ++i)
        text += "<x>";
    return text;
}

struct Reader {
    const char* file;
    const char* root;
    std::function<bool()> load; // true when the reader accepted the file
};

TEST(DeepXmlTest, EveryReaderRefusesDeepNesting)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    const Reader readers[] = {
        {kGameConfigFile, "VanteoConfig", [] { return LoadGameConfig() != 0; }},
        {kBattleConfigFile, "VanteoConfig", [] { return LoadModeConfig(kBattleConfigFile) != 0; }},
        {kUnlockMenuFile, "UnlockMenu", [] { return LoadUnlockMenu() != 0; }},
        {kRankingFile, "Ranking", [] { return LoadRanking() != 0; }},
        {kRecordFile, "Record", [] {
             LoadPlayRecord();
             return false;
         }},
        {"data/KVSkin_Default.xml", "VanteoSkin", [] {
             CSkinTable skins;
             return skins.LoadSkin(0) != 0;
         }},
        {"data/deep_Animation.xml", "kvanimation", [] {
             AnimationSet set;
             return set.Load("deep_Animation.xml");
         }},
    };
    for (const Reader& reader : readers) {
        testsupport::LogCapture log;
        dir.Write(reader.file, DeepXml(reader.root));
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        EXPECT_FALSE(reader.load()) << reader.file;
        EXPECT_TRUE(log.Contains(L"nested deeper")) << reader.file;
    }
}

TEST(DeepXmlTest, LayoutsRefuseDeepNesting)
{
    testsupport::LogCapture log;
    testsupport::KVEnvironment env;
    EXPECT_EQ(env.LoadText("<kevrin version=\"1\">" + DeepXml("window")), nullptr);
    EXPECT_TRUE(log.Contains(L"nested deeper"));
}

} // namespace
