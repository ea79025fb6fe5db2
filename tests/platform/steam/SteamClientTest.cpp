// The platform client: per-profile identity, remote storage files and the callback queue.
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Points the client at a fresh profile folder for one test.
class SteamClientTest : public ::testing::Test {
protected:
    void SetUp() override { StartIn(m_profile.Str()); }
    void TearDown() override
    {
        SteamAPI_Shutdown();
        platform::steam::SetInitResult(true);
        platform::steam::UseProfileStorage();
        unsetenv("QUIBLY_PROFILE_DIR");
    }
    static void StartIn(const std::string& folder)
    {
        SteamAPI_Shutdown();
        setenv("QUIBLY_PROFILE_DIR", folder.c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
    }
    testsupport::TempDir m_profile;
};

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
