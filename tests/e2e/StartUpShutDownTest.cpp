// The whole program: start-up logs its steps in order, the logo and the loading screen show, a
// key press skips the logo, the main menu's title shows, closing the window shuts down normally, and the
// pack written at exit holds the play data; "-c" brings the initial pack back.
#include "data/PlayDataPack.h"
#include "net/LeaderBoard.h"
#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <win32/Files.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Rgb {
    int r, g, b;
};

class StartUpShutDownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(QUIBLY_RUN_FOLDER)) {
            std::string name = entry.path().filename().string();
            if (name == "QuiblyConfig.pak" || name == "Log_VODozivo.txt" || name == "testFile.bin")
                continue;
            fs::copy(entry.path(), m_run.Path() / name, fs::copy_options::recursive);
        }
    }

    // Runs the game in the copy with the script; its exit code.
    int Run(const std::string& script, const std::string& arguments = "", const std::string& environment = "")
    {
        m_run.Write("script.txt", script);
        std::string command = "cd '" + m_run.Str() + "' && " + environment + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                              "ASAN_OPTIONS=detect_leaks=0 QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 QUIBLY_PROFILE_DIR='" + m_profile.Str() +
                              "' QUIBLY_AUTOMATION=script.txt timeout 120 ./Quibly " + arguments + " 2>stderr.txt";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Log() const { return m_run.Read("Log_VODozivo.txt"); }

    // The "Excute" counter of the record file inside the local pack.
    int PackedStartCount() const
    {
        ConfigPak::DecodedPack pack;
        EXPECT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kPackFile), pack)) << pack.error;
        for (const auto& record : pack.records) {
            if (std::string(ConfigPak::kPlayDataFiles[record.fileIndex]) != "Data/PlayData/QuiblyRecord.xml")
                continue;
            std::string text(pack.Bytes(record));
            size_t at = text.find("Excute=\"");
            return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 8);
        }
        return -1;
    }

    Rgb Pixel(const std::string& file, int x, int y) const
    {
        int w = 0, h = 0, n = 0;
        unsigned char* data = stbi_load((m_run.Path() / file).c_str(), &w, &h, &n, 3);
        EXPECT_NE(data, nullptr) << file;
        if (!data)
            return {-1, -1, -1};
        EXPECT_EQ(w, 1024);
        EXPECT_EQ(h, 768);
        const unsigned char* p = data + (y * w + x) * 3;
        Rgb rgb{p[0], p[1], p[2]};
        stbi_image_free(data);
        return rgb;
    }

    testsupport::TempDir m_run;
    testsupport::TempDir m_profile;
};

::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.r << "," << actual.g << "," << actual.b << ") is not near ("
                                         << expected.r << "," << expected.g << "," << expected.b << ")";
}

bool InOrder(const std::string& log, std::initializer_list<const char*> lines)
{
    size_t at = 0;
    for (const char* line : lines) {
        at = log.find(line, at);
        if (at == std::string::npos)
            return false;
        ++at;
    }
    return true;
}

// The logo is skipped at frame 40; the frame after the skip draws the loading screen; the main
// menu's title follows; the window is closed at frame 800. The loading screen's frames count
// here (the shot at 42 needs them), so the title's shot leaves the load many frames: a loaded
// machine draws several hundred loading frames before the menu is in.
constexpr const char* kScript = "# logo, skip, loading, title, quit\n"
                                "20 shot logo.png\n"
                                "40 key 20\n"
                                "42 shot loading.png\n"
                                "700 shot menu.png\n"
                                "800 quit\n";

TEST_F(StartUpShutDownTest, RunsFromTheLogoToTheMenuAndPacksThePlayDataAtExit)
{
    ASSERT_EQ(Run(kScript), 0) << m_run.Read("stderr.txt");
    std::string log = Log();
    EXPECT_TRUE(InOrder(log, {"Start window", "Vanteo Start Version = 0.0.354.43", "Loading Complet",
                              "Client : DisconnectFromServer() ) Called"}))
        << log;

    // The movie shows at its own size from the top-left corner: the logo fills the screen.
    Rgb logo = Pixel("logo.png", 100, 100);
    EXPECT_GT(logo.r + logo.g + logo.b, 30);
    Rgb corner = Pixel("logo.png", 1000, 740);
    EXPECT_GT(corner.r + corner.g + corner.b, 30);
    // The loading picture: its title disc and background.
    EXPECT_TRUE(Near(Pixel("loading.png", 512, 384), {129, 180, 254}, 24));
    EXPECT_TRUE(Near(Pixel("loading.png", 100, 100), {35, 47, 98}, 24));
    // The main menu's title: a dark blue backdrop where the loading picture had its light disc.
    Rgb title = Pixel("menu.png", 512, 384);
    EXPECT_FALSE(Near(title, {129, 180, 254}, 40));
    EXPECT_GT(title.r + title.g + title.b, 30);
    EXPECT_GT(title.b, title.r);

    EXPECT_TRUE(fs::exists(m_run.Path() / ConfigPak::kPackFile));
    // Packed, loose file gone (the game puts "Data/PlayData" into the run folder's "data").
    EXPECT_FALSE(fs::exists(m_run.Path() / "data/PlayData/QuiblyRecord.xml"));
    EXPECT_FALSE(fs::exists(m_run.Path() / "Data/PlayData/QuiblyRecord.xml"));
    ConfigPak::DecodedPack pack;
    ASSERT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kPackFile), pack)) << pack.error;
    std::vector<std::string> packed;
    for (const auto& record : pack.records)
        packed.push_back(ConfigPak::kPlayDataFiles[record.fileIndex]);
    // Start-up writes the record (its start count) and the leaderboard bests, and the pack at
    // exit holds them.
    for (const char* file : {"Data/PlayData/UserLeaderBoard.bin", "Data/PlayData/QuiblyRecord.xml"})
        EXPECT_NE(std::find(packed.begin(), packed.end(), file), packed.end()) << file;
    EXPECT_EQ(PackedStartCount(), 1);
}

// FIFOs where the logo movie and the shared online folder's records belong (anyone on the machine
// can make them): start-up passes over them without waiting and runs from the logo to the menu
// in the usual frames; the log names the refused movie.
TEST_F(StartUpShutDownTest, FifosWhereFilesBelongNeitherHangNorStopTheStart)
{
    const fs::path logo = platform::ResolvePath((m_run.Path() / "Data/Movie/KelmorCI.avi").string());
    ASSERT_TRUE(fs::is_regular_file(logo)) << logo;
    fs::remove(logo);
    ASSERT_TRUE(testsupport::MakeFifo(logo));
    testsupport::TempDir online;
    for (const char* board : kLeaderBoardNames) {
        std::string hex;
        for (unsigned char c : std::string(board)) {
            const char* digits = "0123456789abcdef";
            hex += digits[c >> 4];
            hex += digits[c & 15];
        }
        ASSERT_TRUE(testsupport::MakeFifo(online.Path() / "boards" / hex));
    }
    ASSERT_TRUE(testsupport::MakeFifo(online.Path() / "boards" / ".lock"));
    ASSERT_TRUE(testsupport::MakeFifo(online.Path() / "lobbies" / "00000000000000ff"));
    ASSERT_TRUE(testsupport::MakeFifo(online.Path() / "personas" / "00000000000000ff"));

    ASSERT_EQ(Run(kScript, "", "QUIBLY_ONLINE_DIR='" + online.Str() + "'"), 0) << m_run.Read("stderr.txt");
    const std::string log = Log();
    EXPECT_TRUE(InOrder(log, {"Start window", "Loading Complet", "Client : DisconnectFromServer() ) Called"})) << log;
    EXPECT_NE(log.find("KelmorCI.avi is not a regular file"), std::string::npos) << log;
    Rgb title = Pixel("menu.png", 512, 384);
    EXPECT_GT(title.r + title.g + title.b, 30);
    EXPECT_GT(title.b, title.r);
    EXPECT_EQ(PackedStartCount(), 1);
}

// A fresh run folder and a fresh profile: there is neither a cloud copy nor a local pack, so the
// game starts from the default play data shipped loose in the run folder. Every default file
// comes back in the pack at exit.
TEST_F(StartUpShutDownTest, FirstRunStartsFromTheShippedDefaultsAndPacksThemAll)
{
    ConfigPak::DecodedPack initial;
    ASSERT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kInitPackFile), initial)) << initial.error;
    ASSERT_FALSE(initial.records.empty());
    for (const auto& record : initial.records) {
        const char* file = ConfigPak::kPlayDataFiles[record.fileIndex];
        testsupport::ScopedCurrentDir inRun(m_run.Path());
        EXPECT_EQ(testsupport::ReadFile(platform::ResolvePath(file)), std::string(initial.Bytes(record)))
            << file << " is not shipped loose";
    }
    ASSERT_EQ(Run("5 quit\n"), 0) << m_run.Read("stderr.txt");
    ConfigPak::DecodedPack pack;
    ASSERT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kPackFile), pack)) << pack.error;
    std::vector<size_t> packed;
    for (const auto& record : pack.records)
        packed.push_back(record.fileIndex);
    for (const auto& record : initial.records)
        EXPECT_NE(std::find(packed.begin(), packed.end(), record.fileIndex), packed.end())
            << ConfigPak::kPlayDataFiles[record.fileIndex] << " is missing from the pack at exit";
}

TEST_F(StartUpShutDownTest, ResetSwitchRestoresTheInitialPackOnlyAsAWholeArgument)
{
    const char* quickQuit = "5 quit\n";
    ASSERT_EQ(Run(quickQuit), 0) << m_run.Read("stderr.txt");
    ASSERT_EQ(Run(quickQuit, "--name=x-cy"), 0);
    EXPECT_EQ(PackedStartCount(), 2);  // the play data was kept
    ASSERT_EQ(Run(quickQuit, "-c"), 0);
    EXPECT_EQ(PackedStartCount(), 1);  // the initial pack's count, plus this start
}

TEST_F(StartUpShutDownTest, OfflinePlatformEndsTheProgramBeforeAnythingStarts)
{
    m_run.Write("script.txt", "5 quit\n");
    std::string command = "cd '" + m_run.Str() + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                          "ASAN_OPTIONS=detect_leaks=0 QUIBLY_PROFILE=offline timeout 60 ./Quibly 2>stderr.txt";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(m_run.Read("stderr.txt").find("Cannot Init Steam API"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_run.Path() / "Data/PlayData"));
    EXPECT_FALSE(fs::exists(m_run.Path() / ConfigPak::kPackFile));
}

} // namespace
