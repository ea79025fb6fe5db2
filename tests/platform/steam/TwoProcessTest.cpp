// Two real processes, each with its own profile, meet through each backend: the guest finds the
// host's lobby, joins, both chat, and the guest exchanges messages with the host's game server.
#include "OnlineFixture.h"

#include <fcntl.h>

namespace steamtest {
namespace {

class TwoProcesses : public ::testing::TestWithParam<std::string> {
protected:
    // Starts the peer program in `role` with its own profile folder; stdout and stderr go to
    // files in the work folder.
    pid_t Start(const std::string& role, const std::vector<std::string>& extraEnv)
    {
        std::string profile = (m_work.Path() / role).string();
        m_work.Write(role + "/persona.txt", role == "host" ? "Host\n" : "Guest\n");
        std::vector<std::string> env = {"QUIBLY_PROFILE_DIR=" + profile, "QUIBLY_ONLINE_DIR=" + m_shared.Str(),
                                        "PATH=/usr/bin:/bin"};
        if (const char* asan = std::getenv("ASAN_OPTIONS"))
            env.push_back(std::string("ASAN_OPTIONS=") + asan);
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string out = (m_work.Path() / (role + ".out")).string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string program = STEAM_ONLINE_PEER;
        char* argv[] = {program.data(), const_cast<char*>(role.c_str()), nullptr};
        pid_t pid = -1;
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // The exit status, or -1 when it did not end within about 40 s (it is then killed).
    static int Finish(pid_t pid)
    {
        for (int round = 0; round < 4000; ++round) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }

    std::string Output(const std::string& role) const { return m_work.Read(role + ".out"); }

    testsupport::TempDir m_work;
    testsupport::TempDir m_shared;
};

TEST_P(TwoProcesses, MeetInALobbyChatAndExchangeGameServerMessages)
{
    std::unique_ptr<RedisServer> redis;
    std::vector<std::string> env;
    if (GetParam() == "redis") {
        redis = std::make_unique<RedisServer>();
        if (!redis->Running())
            GTEST_SKIP() << "redis-server is not installed (tools/setup.sh installs it)";
        env.push_back("QUIBLY_ONLINE=" + redis->Url());
    }
    pid_t host = Start("host", env);
    pid_t guest = Start("guest", env);
    ASSERT_GT(host, 0);
    ASSERT_GT(guest, 0);
    int guestStatus = Finish(guest);
    int hostStatus = Finish(host);
    std::string hostOut = Output("host"), guestOut = Output("guest");
    EXPECT_EQ(guestStatus, 0) << guestOut;
    EXPECT_EQ(hostStatus, 0) << hostOut;
    EXPECT_NE(hostOut.find("member entered: Guest"), std::string::npos) << hostOut;
    EXPECT_NE(hostOut.find("chat: hello host"), std::string::npos) << hostOut;
    EXPECT_NE(hostOut.find("approved: 1 denied: 0 echoed: 5"), std::string::npos) << hostOut;
    EXPECT_NE(guestOut.find("found: Host's lobby"), std::string::npos) << guestOut;
    EXPECT_NE(guestOut.find("echoes in order: 5"), std::string::npos) << guestOut;
}

INSTANTIATE_TEST_SUITE_P(Backends, TwoProcesses, ::testing::Values("embedded", "redis"), BackendName);

} // namespace
} // namespace steamtest
