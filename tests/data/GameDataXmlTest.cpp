// Play-data files that exist but cannot be read: their last packed content stands in, and
// defaults are never saved over them.
#include "data/GameDataXml.h"
#include "data/Options.h"
#include "data/PlayDataPack.h"
#include "data/Records.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

size_t PackIndexOf(const char* path)
{
    for (size_t i = 0; i < ConfigPak::kPlayDataFiles.size(); ++i)
        if (std::string_view(ConfigPak::kPlayDataFiles[i]) == path)
            return i;
    ADD_FAILURE() << path << " is not a play-data file";
    return 0;
}

// One play-data file and how the game loads, saves and shows it.
struct PlayDataKind {
    const char* name;
    const char* file;
    std::string packed;  // the content a pack of this run holds; its value is 50
    std::function<void()> load;
    std::function<void()> save;
    std::function<int()> value;
    int defaultValue;
};

std::vector<PlayDataKind> Kinds()
{
    return {
        {"record", kRecordFile, "<Record><Player name=\"##player##\" Excute=\"50\"/></Record>", [] { LoadPlayRecord(); },
         [] { SavePlayRecord(); },
         [] {
             int value = -1;
             PlayRecord.player->QueryIntAttribute("Excute", &value);
             return value;
         },
         0},
        {"config", kGameConfigFile, "<VanteoConfig><Cube Count=\"50\"/></VanteoConfig>",
         [] {
             GameConfig = GameConfigRecord{};
             LoadGameConfig();
         },
         [] { SaveGameConfig(); }, [] { return GameConfig.cubes; }, 0},
    };
}

class UnreadablePlayDataTest : public ::testing::Test {
protected:
    void SetUp() override { ConfigPak::ResetForNewRun(); }
    void TearDown() override
    {
        ::unsetenv("QUIBLY_FAULT_UNREADABLE");
        ConfigPak::ResetForNewRun();
    }
    // A pack holding the kind's packed content, restored as this run's start-up does.
    void RestorePack(const PlayDataKind& kind)
    {
        m_dir.Write(ConfigPak::kPackFile,
                    ConfigPak::EncodePack(ConfigPak::EncodeRecords({{PackIndexOf(kind.file), kind.packed}})));
        ASSERT_EQ(ConfigPak::UnpackPack(), 1);
    }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
};

TEST_F(UnreadablePlayDataTest, TheLastPackedContentStandsInAndTheFileIsKeptAside)
{
    for (const PlayDataKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        ConfigPak::ResetForNewRun();
        RestorePack(kind);
        m_dir.Write(kind.file, "unreadable bytes");
        ::setenv("QUIBLY_FAULT_UNREADABLE", std::filesystem::path(kind.file).filename().c_str(), 1);
        testsupport::LogCapture log;
        kind.load();
        EXPECT_EQ(kind.value(), 50);
        const std::string aside = std::string(kind.file) + ".bad";
        EXPECT_EQ(m_dir.Read(aside), "unreadable bytes");
        EXPECT_TRUE(log.Contains(platform::Widen(aside)));
        // The saves of the run write a readable file of the player's data.
        kind.save();
        ::unsetenv("QUIBLY_FAULT_UNREADABLE");
        kind.load();
        EXPECT_EQ(kind.value(), 50);
    }
}

TEST_F(UnreadablePlayDataTest, WithoutAPackedCopyTheFileIsNeverSavedOver)
{
    for (const PlayDataKind& kind : Kinds()) {
        for (bool folder : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (folder ? " (a folder in its place)" : " (an I/O error)"));
            std::filesystem::remove_all(kind.file);
            if (folder)
                std::filesystem::create_directories(kind.file);
            else
                m_dir.Write(kind.file, kind.packed);
            if (!folder)
                ::setenv("QUIBLY_FAULT_UNREADABLE", std::filesystem::path(kind.file).filename().c_str(), 1);
            testsupport::LogCapture log;
            kind.load();
            kind.load();
            EXPECT_EQ(kind.value(), kind.defaultValue);
            kind.save();
            ::unsetenv("QUIBLY_FAULT_UNREADABLE");
            if (folder) {
                EXPECT_TRUE(std::filesystem::is_directory(kind.file));
            } else {
                EXPECT_EQ(m_dir.Read(kind.file), kind.packed);
            }
            EXPECT_FALSE(std::filesystem::exists(std::string(kind.file) + ".bad"));
            // Said once, however often it is loaded.
            const std::string text = log.Text();
            const size_t first = text.find("exists but cannot be read");
            EXPECT_NE(first, std::string::npos) << text;
            EXPECT_EQ(text.find("exists but cannot be read", first + 1), std::string::npos) << text;
            // Once readable again, the file is saved as before.
            std::filesystem::remove_all(kind.file);
            kind.load();
            kind.save();
            EXPECT_TRUE(std::filesystem::is_regular_file(kind.file));
        }
    }
}

// The log claims a copy aside only when the copy was made.
TEST_F(UnreadablePlayDataTest, ADamagedRecordIsSaidToBeKeptOnlyWhenItIs)
{
    for (bool asideBlocked : {false, true}) {
        SCOPED_TRACE(asideBlocked ? "the copy cannot be made" : "the copy is made");
        std::filesystem::remove_all(std::string(kRecordFile) + ".bad");
        if (asideBlocked)
            std::filesystem::create_directories(std::string(kRecordFile) + ".bad");
        m_dir.Write(kRecordFile, "<Record><Player");
        testsupport::LogCapture log;
        LoadPlayRecord();
        EXPECT_EQ(log.Contains(L"a copy is kept as"), !asideBlocked);
        if (!asideBlocked) {
            EXPECT_EQ(m_dir.Read(std::string(kRecordFile) + ".bad"), "<Record><Player");
        }
    }
}

} // namespace
