// A fresh platform profile and a fresh current directory for the online objects, and the
// achievement table put back to its built-in state afterwards.
#pragma once

#include "net/Achievements.h"
#include "support/TempDir.h"

#include <steam/SteamApi.h>
#include <steam/SteamTesting.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace onlinetest {

class OnlineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved.assign(std::begin(g_AchievementRecords), std::end(g_AchievementRecords));
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(m_work.Path());
        SteamAPI_Shutdown();
        setenv("QUIBLY_PROFILE_DIR", m_profile.Str().c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
    }
    void TearDown() override
    {
        SteamAPI_RunCallbacks();
        SteamAPI_Shutdown();
        platform::steam::SetInitResult(true);
        unsetenv("QUIBLY_PROFILE_DIR");
        std::copy(m_saved.begin(), m_saved.end(), g_AchievementRecords);
        for (int i = 0; i < kAchievementCount; ++i)
            g_nAchievementOrder[i] = i;
        m_cwd.reset();
    }

    testsupport::TempDir m_work;
    testsupport::TempDir m_profile;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::vector<AchievementRecord> m_saved;
};

} // namespace onlinetest
