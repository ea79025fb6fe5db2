// Shared pieces of the leaderboard tests: pumping the platform until a condition holds, another
// player's score uploaded through a simulated peer, and the bytes of a bests file.
#pragma once

#include "net/LeaderBoard.h"

#include <steam/SteamApi.h>
#include <steam/SteamTesting.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace leaderboardtest {

// Runs the platform's callbacks until `done`, for at most two seconds.
inline bool PumpUntil(const std::function<bool()>& done)
{
    for (int round = 0; round < 400; ++round) {
        SteamAPI_RunCallbacks();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// The payload of the peer's result for `call`, empty when none came.
inline std::vector<uint8_t> Await(platform::steam::OnlinePeer& peer, SteamAPICall_t call)
{
    for (int round = 0; round < 400; ++round) {
        for (const platform::steam::OnlinePeer::Event& e : peer.Pump())
            if (e.call == call)
                return e.payload;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ADD_FAILURE() << "no result for the peer's call";
    return {};
}

// Another player's score on one of the game's boards, uploaded with "keep best"; a board the
// game has not made yet is made descending.
inline void OtherPlayerScores(platform::steam::OnlinePeer& peer, int board, int32_t score)
{
    auto found = Await(peer, peer.FindOrCreateLeaderboard(kLeaderBoardNames[board], k_ELeaderboardSortMethodDescending,
                                                          k_ELeaderboardDisplayTypeNumeric));
    ASSERT_EQ(found.size(), sizeof(LeaderboardFindResult_t));
    SteamLeaderboard_t handle = reinterpret_cast<const LeaderboardFindResult_t*>(found.data())->m_hSteamLeaderboard;
    Await(peer, peer.UploadLeaderboardScore(handle, k_ELeaderboardUploadScoreMethodKeepBest, score));
}

// Little-endian int32 values, as the bests file holds them.
inline std::string Bytes(std::initializer_list<int32_t> values)
{
    std::string out;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
    return out;
}

} // namespace leaderboardtest
