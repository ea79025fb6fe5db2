// Points the platform client at a fresh profile folder for one test and puts every testing
// switch back afterwards.
#pragma once

#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace steamtest {

class SteamClientTest : public ::testing::Test {
protected:
    void SetUp() override { StartIn(m_profile.Str()); }
    void TearDown() override
    {
        SteamAPI_Shutdown();
        platform::steam::SetInitResult(true);
        platform::steam::UseProfileStorage();
        for (const char* name : {"QUIBLY_PROFILE_DIR", "QUIBLY_PROFILE", "XDG_DATA_HOME"})
            unsetenv(name);
    }
    static void StartIn(const std::string& folder)
    {
        SteamAPI_Shutdown();
        setenv("QUIBLY_PROFILE_DIR", folder.c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
    }
    // Starts again with the profile named `profile` under a data home of the test's own.
    void StartProfile(const char* profile)
    {
        SteamAPI_Shutdown();
        unsetenv("QUIBLY_PROFILE_DIR");
        setenv("XDG_DATA_HOME", m_dataHome.Str().c_str(), 1);
        setenv("QUIBLY_PROFILE", profile, 1);
    }
    testsupport::TempDir m_profile;
    testsupport::TempDir m_dataHome;
};

} // namespace steamtest
