// The platform client: per-profile identity, remote storage files and the callback queue.
#include "SteamFixture.h"

#include "steam/SteamProfile.h"

#include <ctime>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

using steamtest::SteamClientTest;

TEST_F(SteamClientTest, IdentityPersistsPerProfileAndDiffersBetweenProfiles)
{
    uint64_t first = SteamUser()->GetSteamID().ConvertToUint64();
    EXPECT_NE(first, 0u);
    StartIn(m_profile.Str());
    EXPECT_EQ(SteamUser()->GetSteamID().ConvertToUint64(), first);

    testsupport::TempDir other;
    StartIn(other.Str());
    EXPECT_NE(SteamUser()->GetSteamID().ConvertToUint64(), first);
}

TEST_F(SteamClientTest, PersonaNameComesFromTheProfileElseTheLoginName)
{
    std::string login = SteamFriends()->GetPersonaName();
    EXPECT_FALSE(login.empty());

    m_profile.Write("persona.txt", "플레이어 Two\n");
    StartIn(m_profile.Str());
    EXPECT_STREQ(SteamFriends()->GetPersonaName(), "플레이어 Two");
    EXPECT_STREQ(SteamFriends()->GetFriendPersonaName(SteamUser()->GetSteamID()), "플레이어 Two");
    EXPECT_STREQ(SteamFriends()->GetFriendPersonaName(CSteamID(12345)), "");
}

TEST_F(SteamClientTest, TheNameThePlayerSetsBecomesThePersonaAndStaysWithTheProfile)
{
    ASSERT_TRUE(platform::steam::SetPersonaName("Zoë\nsecond line"));
    EXPECT_STREQ(SteamFriends()->GetPersonaName(), "Zoë");
    EXPECT_STREQ(SteamFriends()->GetFriendPersonaName(SteamUser()->GetSteamID()), "Zoë");
    EXPECT_EQ(m_profile.Read("persona.txt"), "Zoë\n");
    StartIn(m_profile.Str());
    EXPECT_STREQ(SteamFriends()->GetPersonaName(), "Zoë");
    // A name longer than the platform keeps is cut at a character's edge.
    std::string hangul;
    for (int i = 0; i < 50; ++i)
        hangul += "가";
    ASSERT_TRUE(platform::steam::SetPersonaName(hangul.c_str()));
    EXPECT_EQ(std::string(SteamFriends()->GetPersonaName()), hangul.substr(0, 126));
    // Nothing to name, or no platform: the name stays.
    EXPECT_FALSE(platform::steam::SetPersonaName(""));
    EXPECT_FALSE(platform::steam::SetPersonaName(nullptr));
    SteamAPI_Shutdown();
    EXPECT_FALSE(platform::steam::SetPersonaName("Nobody"));
    StartIn(m_profile.Str());
    EXPECT_EQ(std::string(SteamFriends()->GetPersonaName()), hangul.substr(0, 126));
}

TEST_F(SteamClientTest, RemoteStorageKeepsFilesInTheProfile)
{
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    ASSERT_NE(storage, nullptr);
    EXPECT_FALSE(storage->FileExists("cloud.pak"));
    EXPECT_EQ(storage->GetFileSize("cloud.pak"), 0);

    const std::string bytes("abc\0def", 7);
    ASSERT_TRUE(storage->FileWrite("cloud.pak", bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_TRUE(storage->FileExists("cloud.pak"));
    EXPECT_EQ(storage->GetFileSize("cloud.pak"), 7);
    EXPECT_EQ(m_profile.Read("remote/cloud.pak"), bytes);

    char buffer[16] = {};
    EXPECT_EQ(storage->FileRead("cloud.pak", buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), std::string("abc\0", 4));
    EXPECT_EQ(storage->FileRead("cloud.pak", buffer, sizeof(buffer)), 7);
}

// The cloud copy's time stamp is its file's; a save that a killed run left half-done in the
// profile is removed at the next start, one of a running process is not.
TEST_F(SteamClientTest, RemoteStorageTimesFilesAndStartRemovesLeftoverSaves)
{
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    EXPECT_EQ(storage->GetFileTimestamp("cloud.pak"), 0);
    ASSERT_TRUE(storage->FileWrite("cloud.pak", "abc", 3));
    int64_t now = static_cast<int64_t>(std::time(nullptr));
    EXPECT_NEAR(static_cast<double>(storage->GetFileTimestamp("cloud.pak")), static_cast<double>(now), 5.0);

    pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string gone = "remote/cloud.pak.tmp" + std::to_string(dead) + "_0";
    const std::string running = "remote/cloud.pak.tmp" + std::to_string(getpid()) + "_0";
    m_profile.Write(gone, "half");
    m_profile.Write(running, "half");
    StartIn(m_profile.Str());
    EXPECT_FALSE(std::filesystem::exists(m_profile.Path() / gone));
    EXPECT_TRUE(std::filesystem::exists(m_profile.Path() / running));
}

// Writes go through the case-insensitive resolver, so reads, sizes and the existence check must
// find the same file whatever case the name is asked in.
TEST_F(SteamClientTest, RemoteStorageFindsAFileWrittenUnderAnotherCase)
{
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    ASSERT_TRUE(storage->FileWrite("cloud.pak", "old", 3));
    ASSERT_TRUE(storage->FileWrite("Cloud.PAK", "newer", 5));
    EXPECT_EQ(m_profile.Read("remote/cloud.pak"), "newer");
    for (const char* name : {"cloud.pak", "Cloud.PAK"}) {
        EXPECT_TRUE(storage->FileExists(name)) << name;
        EXPECT_EQ(storage->GetFileSize(name), 5) << name;
        char buffer[8] = {};
        EXPECT_EQ(storage->FileRead(name, buffer, sizeof(buffer)), 5) << name;
        EXPECT_EQ(std::string(buffer, 5), "newer") << name;
    }
}

TEST_F(SteamClientTest, RemoteStorageRefusesNamesThatAreNotPlainFileNames)
{
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    for (const char* name : {"../escape.pak", "a/b.pak", "..", "", "a\\b"}) {
        EXPECT_FALSE(storage->FileWrite(name, "x", 1)) << name;
        EXPECT_FALSE(storage->FileExists(name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(m_profile.Path() / "escape.pak"));
}

TEST_F(SteamClientTest, InterfacesAreNullWithoutInitAndInitCanBeMadeToFail)
{
    SteamAPI_Shutdown();
    EXPECT_EQ(SteamRemoteStorage(), nullptr);
    EXPECT_EQ(SteamUser(), nullptr);
    EXPECT_EQ(SteamFriends(), nullptr);
    platform::steam::SetInitResult(false);
    EXPECT_FALSE(SteamAPI_Init());
    platform::steam::SetInitResult(true);
    EXPECT_TRUE(SteamAPI_Init());
    platform::steam::SetRemoteStorage(nullptr);
    EXPECT_EQ(SteamRemoteStorage(), nullptr);
}

TEST_F(SteamClientTest, ProfileNamesTheFolderSoTwoProfilesAreTwoPlayers)
{
    StartProfile("alice");
    ASSERT_TRUE(SteamAPI_Init());
    uint64_t alice = SteamUser()->GetSteamID().ConvertToUint64();
    EXPECT_EQ(platform::steam::ProfileFolder(), m_dataHome.Str() + "/quibly/alice");
    EXPECT_TRUE(std::filesystem::exists(m_dataHome.Path() / "quibly/alice/steamid.txt"));
    // Two profiles of one login are two names as well.
    EXPECT_STREQ(SteamFriends()->GetPersonaName(), "alice");

    StartProfile("bob");
    ASSERT_TRUE(SteamAPI_Init());
    EXPECT_NE(SteamUser()->GetSteamID().ConvertToUint64(), alice);
    EXPECT_STREQ(SteamFriends()->GetPersonaName(), "bob");

    StartProfile("alice");
    ASSERT_TRUE(SteamAPI_Init());
    EXPECT_EQ(SteamUser()->GetSteamID().ConvertToUint64(), alice);
}

TEST_F(SteamClientTest, OfflineProfileAndUnsafeProfileNamesMakeInitFail)
{
    for (const char* profile : {"offline", "../escape", "a/b", ".."}) {
        StartProfile(profile);
        EXPECT_FALSE(SteamAPI_Init()) << profile;
        EXPECT_EQ(SteamUser(), nullptr) << profile;
        EXPECT_EQ(SteamRemoteStorage(), nullptr) << profile;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dataHome.Path() / "escape"));
    // "offline" wins over an explicit profile folder too.
    setenv("QUIBLY_PROFILE_DIR", m_profile.Str().c_str(), 1);
    setenv("QUIBLY_PROFILE", "offline", 1);
    EXPECT_FALSE(SteamAPI_Init());
}

TEST_F(SteamClientTest, UtilitiesReportTheAppIdAndKeepTheOverlayPosition)
{
    ASSERT_NE(SteamUtils(), nullptr);
    EXPECT_NE(SteamUtils()->GetAppID(), 0u);
    SteamUtils()->SetOverlayNotificationPosition(k_EPositionTopRight);
    EXPECT_EQ(platform::steam::OverlayNotificationPosition(), 1);
}

struct RecordingCallback : CCallbackBase {
    void Run(void* param) override { seen.push_back(*static_cast<int*>(param)); }
    std::vector<int> seen;
};

TEST_F(SteamClientTest, CallbacksArriveOnlyInsideRunCallbacksInQueueOrder)
{
    RecordingCallback wanted, other;
    SteamAPI_RegisterCallback(&wanted, 301);
    SteamAPI_RegisterCallback(&other, 302);
    for (int value : {7, 8}) {
        platform::steam::QueueCallback(301, &value, sizeof value);
    }
    EXPECT_TRUE(wanted.seen.empty());
    SteamAPI_RunCallbacks();
    EXPECT_EQ(wanted.seen, (std::vector<int>{7, 8}));
    EXPECT_TRUE(other.seen.empty());

    SteamAPI_UnregisterCallback(&wanted);
    int value = 9;
    platform::steam::QueueCallback(301, &value, sizeof value);
    SteamAPI_RunCallbacks();
    EXPECT_EQ(wanted.seen.size(), 2u);
    SteamAPI_UnregisterCallback(&other);
}

} // namespace
