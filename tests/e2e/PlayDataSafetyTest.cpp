// The whole program on an unlucky machine: a disk that fills up (injected in the file layer) and
// a process killed in the middle of play. The player's progress, counted here by the record's
// start count "Excute", survives both.
#include "data/PlayDataPack.h"
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PlayDataSafetyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(QUIBLY_RUN_FOLDER)) {
            std::string name = entry.path().filename().string();
            if (name == "QuiblyConfig.pak" || name == "Log_VODozivo.txt" || name == "testFile.bin" || name == "Data")
                continue;
            fs::copy(entry.path(), m_run.Path() / name, fs::copy_options::recursive);
        }
    }

    std::string Environment(const std::string& extra) const
    {
        return "cd '" + m_run.Str() + "' && export " + extra + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
               "ASAN_OPTIONS=detect_leaks=0 QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 QUIBLY_PROFILE_DIR='" +
               m_profile.Str() + "' QUIBLY_AUTOMATION=script.txt && ";
    }

    // Starts the game and quits it at once through the normal shut-down; its exit code.
    int RunAndQuit(const std::string& extra = "")
    {
        m_run.Write("script.txt", "5 quit\n");
        int status = std::system((Environment(extra) + "timeout 120 ./Quibly 2>stderr.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Starts the game, waits until it shows a frame, and kills it without any shut-down.
    void RunAndKill()
    {
        m_run.Write("script.txt", "10 shot started.png\n100000 quit\n");
        std::string command = Environment("") + "(./Quibly 2>stderr.txt & pid=$!; " +
                              "for i in $(seq 1 600); do [ -f started.png ] && break; sleep 0.1; done; " +
                              "sleep 0.2; kill -9 $pid; wait $pid; true)";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_TRUE(fs::exists(m_run.Path() / "started.png")) << m_run.Read("stderr.txt");
    }

    // The record's start count in the given text, -1 without one.
    static int StartCountIn(const std::string& text)
    {
        size_t at = text.find("Excute=\"");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 8);
    }

    // The record's start count inside the local pack.
    int PackedStartCount() const
    {
        ConfigPak::DecodedPack pack;
        EXPECT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kPackFile), pack)) << pack.error;
        for (const auto& record : pack.records)
            if (std::string(ConfigPak::kPlayDataFiles[record.fileIndex]) == "Data/PlayData/QuiblyRecord.xml")
                return StartCountIn(std::string(pack.Bytes(record)));
        return -1;
    }

    // The run folder's data folder is spelled "data"; the game puts "Data/PlayData" into it.
    int LooseStartCount() const { return StartCountIn(m_run.Read("data/PlayData/QuiblyRecord.xml")); }

    testsupport::TempDir m_run;
    testsupport::TempDir m_profile;
};

TEST_F(PlayDataSafetyTest, AFullDiskAtExitLosesNothing)
{
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    ASSERT_EQ(PackedStartCount(), 1);

    // The pack cannot be written at exit: the log says so and the loose files stay.
    ASSERT_EQ(RunAndQuit("QUIBLY_FAULT_NO_SPACE=QuiblyConfig.pak"), 0) << m_run.Read("stderr.txt");
    EXPECT_NE(m_run.Read("Log_VODozivo.txt").find("QuiblyConfig.pak could not be written"), std::string::npos);
    EXPECT_EQ(PackedStartCount(), 1);
    EXPECT_EQ(LooseStartCount(), 2);

    // The next start keeps the newer loose files instead of unpacking the older pack over them.
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    EXPECT_EQ(PackedStartCount(), 3);
    EXPECT_FALSE(fs::exists(m_run.Path() / "data/PlayData/QuiblyRecord.xml"));
}

TEST_F(PlayDataSafetyTest, AFileThatCannotBeWrittenAtStartIsStillPacked)
{
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    ASSERT_EQ(PackedStartCount(), 1);
    // The disk is full for the record file during a whole run: it is neither restored nor
    // counted, but the pack at exit still holds the player's record.
    ASSERT_EQ(RunAndQuit("QUIBLY_FAULT_NO_SPACE=QuiblyRecord.xml"), 0) << m_run.Read("stderr.txt");
    EXPECT_EQ(PackedStartCount(), 1);
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    EXPECT_EQ(PackedStartCount(), 2);
}

TEST_F(PlayDataSafetyTest, AKilledRunKeepsItsProgressAndLeavesNoTemporaryFiles)
{
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    ASSERT_EQ(PackedStartCount(), 1);

    RunAndKill();
    EXPECT_EQ(LooseStartCount(), 2);
    // What a save interrupted by the kill leaves behind.
    pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string leftover = "data/PlayData/QuiblyConfig.xml.tmp" + std::to_string(dead) + "_4";
    m_run.Write(leftover, "<VanteoConf");

    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    EXPECT_EQ(PackedStartCount(), 3) << m_run.Read("Log_VODozivo.txt");
    EXPECT_FALSE(fs::exists(m_run.Path() / leftover));
}

// A record file that exists but cannot be read (a folder in its place: root reads every file
// whatever its permissions) is neither missing nor damaged: the packed record stands in, the
// unreadable one is kept aside as ".bad", and the starts are counted on from the packed count.
TEST_F(PlayDataSafetyTest, AnUnreadableRecordContinuesFromItsPackedCopy)
{
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    ASSERT_EQ(PackedStartCount(), 1);
    fs::create_directories(m_run.Path() / "data/PlayData/QuiblyRecord.xml");
    ASSERT_EQ(RunAndQuit(), 0) << m_run.Read("stderr.txt");
    const std::string log = m_run.Read("Log_VODozivo.txt");
    EXPECT_EQ(PackedStartCount(), 2) << log;
    EXPECT_TRUE(fs::is_directory(m_run.Path() / "data/PlayData/QuiblyRecord.xml.bad"));
    EXPECT_NE(log.find("QuiblyRecord.xml exists but cannot be read"), std::string::npos) << log;
    EXPECT_EQ(log.find("is damaged"), std::string::npos) << log;
}

// A run folder that cannot be written: the console says once that nothing can be saved, and the
// game starts, runs and ends normally. A privileged user writes anywhere, so the game then runs
// as an unprivileged one.
TEST_F(PlayDataSafetyTest, AReadOnlyRunFolderIsReportedOnceAndTheGameRuns)
{
    m_run.Write("script.txt", "5 quit\n");
    fs::permissions(m_profile.Path(), fs::perms::all);
    std::string dropPrivileges = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    ASSERT_EQ(std::system(("chmod -R a-w '" + m_run.Str() + "'").c_str()), 0);
    int status = std::system((Environment("") + "timeout 120 " + dropPrivileges + "./Quibly 2>../" +
                              m_run.Path().filename().string() + "_stderr.txt")
                                 .c_str());
    std::system(("chmod -R u+w '" + m_run.Str() + "'").c_str());
    std::string console = testsupport::ReadFile(m_run.Path().parent_path() / (m_run.Path().filename().string() + "_stderr.txt"));
    fs::remove(m_run.Path().parent_path() / (m_run.Path().filename().string() + "_stderr.txt"));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << console;
    const std::string message = "nothing can be saved";
    size_t first = console.find(message);
    ASSERT_NE(first, std::string::npos) << console;
    EXPECT_EQ(console.find(message, first + 1), std::string::npos) << console;
    EXPECT_FALSE(fs::exists(m_run.Path() / "Log_VODozivo.txt"));
    EXPECT_FALSE(fs::exists(m_run.Path() / ConfigPak::kPackFile));
}

// A profile whose cloud copy holds a record nested far past what the parser can take, hidden
// behind an unknown "<?" node, started on a new machine (no local pack): the game refuses the
// record with a log line, starts from a fresh one, goes from the menu into free play, and packs
// and uploads a record that reads again, so the next start on any machine is sound too.
TEST_F(PlayDataSafetyTest, ACloudCopyWithADeeplyNestedRecordIsRefusedAndTheGamePlays)
{
    GameRun first;
    ASSERT_EQ(first.Run("5 quit\n", m_profile.Str()), 0) << first.folder.Read("stderr.txt");
    fs::path cloud;
    for (const auto& entry : fs::recursive_directory_iterator(m_profile.Path()))
        if (entry.path().filename() == ConfigPak::kCloudFile)
            cloud = entry.path();
    ASSERT_FALSE(cloud.empty());

    std::string hostile = "<Record><?x>";
    for (int i = 0; i < 300000; ++i)
        hostile += "<a>";
    bool openingSeen = false;
    ASSERT_TRUE(GameRun::RewritePack(cloud, [&](const std::string& file, std::string& bytes) {
        if (file == "Data/PlayData/QuiblyRecord.xml")
            bytes = hostile;
        // The story of a first start has been seen: the menu opens on its title.
        const std::string unseen = "<Opening IsShow=\"0\"";
        size_t at = bytes.find(unseen);
        if (file == "Data/PlayData/QuiblyConfig.xml" && at != std::string::npos) {
            bytes.replace(at, unseen.size(), "<Opening IsShow=\"1\"");
            openingSeen = true;
        }
    }));
    ASSERT_TRUE(openingSeen);

    // A new machine: the same profile, a fresh run folder. The title is left, the main screen
    // clicked on an empty spot, and F starts free play.
    GameRun game;
    const char* script = "40 key 20\n"
                         "200 key 20\n"
                         "500 move 900 100\n"
                         "520 press 900 100\n"
                         "700 key 46\n"
                         "1020 shot play.png\n"
                         "1030 quit\n";
    ASSERT_EQ(game.Run(script, m_profile.Str()), 0) << game.folder.Read("stderr.txt");
    const std::string log = game.folder.Read("Log_VODozivo.txt");
    EXPECT_NE(log.find("nested deeper than 256"), std::string::npos) << log;
    // Free play: the screen behind the board and the rotate button.
    EXPECT_TRUE(Near(game.Pixel("play.png", 400, 650), {13, 18, 39}, 12));
    EXPECT_TRUE(Near(game.Pixel("play.png", 115, 636), {61, 139, 253}, 24));

    // The record packed and uploaded at exit is a fresh one that reads again.
    const std::string packed = game.PackedFile("Data/PlayData/QuiblyRecord.xml");
    EXPECT_EQ(packed.find("<?x>"), std::string::npos);
    EXPECT_EQ(StartCountIn(packed), 1);
    ConfigPak::DecodedPack uploaded;
    ASSERT_TRUE(ConfigPak::DecodePack(testsupport::ReadFile(cloud), uploaded)) << uploaded.error;
    for (const auto& record : uploaded.records) {
        if (std::string(ConfigPak::kPlayDataFiles[record.fileIndex]) == "Data/PlayData/QuiblyRecord.xml") {
            EXPECT_EQ(std::string(uploaded.Bytes(record)).find("<?x>"), std::string::npos);
        }
    }
}

} // namespace
