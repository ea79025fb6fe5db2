// The play data written at exit when every descriptor the process may open is taken.
#include "data/PlayDataPack.h"
#include "app/StartUp.h"
#include "support/TempDir.h"

#include <steam/SteamApi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <string>
#include <optional>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The exit's save in a run folder of its own with a few play-data files, under a limit of open
// descriptors a little above what the process holds: what fills the rest is up to each test.
class ExitSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUIBLY_PROFILE_DIR", (m_dir.Path() / "profile").c_str(), 1);
        setenv("QUIBLY_ONLINE_DIR", (m_dir.Path() / "online").c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
        // The platform client publishes the player's name from a thread of its own; wait until it
        // has, so that no file of that thread is open or closed while the test takes every
        // descriptor.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!NamePublished() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(NamePublished());
        ConfigPak::ResetForNewRun();
        m_dir.Write("Data/PlayData/QuiblyRecord.xml", "<Record><Player Excute=\"7\" /></Record>\n");
        m_dir.Write("Data/PlayData/UserLeaderBoard.bin", std::string(28, '\x01'));
        ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &m_limit), 0);
    }
    void TearDown() override
    {
        std::for_each(m_held.begin(), m_held.end(), ::close);
        setrlimit(RLIMIT_NOFILE, &m_limit);
        if (m_stranger > 0) {
            ::kill(m_stranger, SIGKILL);
            ::waitpid(m_stranger, nullptr, 0);
        }
        SteamAPI_Shutdown();
        unsetenv("QUIBLY_PROFILE_DIR");
        if (m_onlineDir)
            setenv("QUIBLY_ONLINE_DIR", m_onlineDir->c_str(), 1);
        else
            unsetenv("QUIBLY_ONLINE_DIR");
        ConfigPak::ResetForNewRun();
    }

    // The player's name stands in the online folder under its final name.
    bool NamePublished() const
    {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path() / "online" / "personas", error))
            if (entry.path().filename().string().find(".tmp") == std::string::npos)
                return true;
        return false;
    }
    // Lets the process open only `spare` descriptors more than it holds now.
    void LimitDescriptors(int spare)
    {
        int open = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
            ++open;
        rlimit low = m_limit;
        low.rlim_cur = static_cast<rlim_t>(open + spare);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    }
    // How many of the process's descriptors are sockets.
    static int Sockets()
    {
        int sockets = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error))
            if (std::filesystem::read_symlink(entry.path(), error).string().starts_with("socket:"))
                ++sockets;
        return sockets;
    }
    static bool Exhausted()
    {
        int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        return fd < 0 && errno == EMFILE;
    }
    // The pack written at exit decodes and holds the record; the cloud copy holds the same bytes.
    void ExpectPackAndCloudCopy() const
    {
        const std::string pack = m_dir.Read(ConfigPak::kPackFile);
        ConfigPak::DecodedPack decoded;
        ASSERT_TRUE(ConfigPak::DecodePack(pack, decoded)) << decoded.error;
        bool record = false;
        for (const auto& entry : decoded.records)
            record = record ||
                     std::string(ConfigPak::kPlayDataFiles[entry.fileIndex]) == "Data/PlayData/QuiblyRecord.xml";
        EXPECT_TRUE(record);
        EXPECT_EQ(m_dir.Read(std::string("profile/remote/") + ConfigPak::kCloudFile), pack);
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Data/PlayData/QuiblyRecord.xml")) << "the loose files go";
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    std::optional<std::string> m_onlineDir = [] {
        const char* dir = std::getenv("QUIBLY_ONLINE_DIR");
        return dir ? std::optional<std::string>(dir) : std::nullopt;
    }();
    rlimit m_limit{};
    std::vector<int> m_held;
    pid_t m_stranger = 0;
};

// A stranger in another process opens connection after connection to the game server, each
// with its hello, and the server's process can open no more descriptors; then the player quits.
TEST_F(ExitSaveTest, ThePlayDataIsWrittenThoughStrangersConnectionsTookEveryDescriptor)
{
    ASSERT_TRUE(SteamGameServer_Init(0, 0, 0, 0, 0, 3, "vanteo", "1.0.0.0"));
    ISteamGameServerNetworking* network = SteamGameServerNetworking();
    ASSERT_NE(network, nullptr);
    SNetListenSocket_t listen = network->CreateListenSocket(0, 0, 0, true);
    uint32_t ip = 0;
    uint16_t port = 0;
    ASSERT_TRUE(listen != 0 && network->GetListenSocketInfo(listen, &ip, &port));
    const uint64_t server = SteamGameServer()->GetSteamID().ConvertToUint64();
    ::testing::internal::CaptureStderr(); // its file is made now, while descriptors are left
    LimitDescriptors(12);

    m_stranger = fork();
    ASSERT_GE(m_stranger, 0);
    if (m_stranger == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        setrlimit(RLIMIT_NOFILE, &m_limit);
        for (int i = 0; i < 200; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            // A server that accepts no more leaves a connect waiting: give up on it soon.
            timeval patience{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(port);
            address.sin_addr.s_addr = htonl(ip);
            if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
                continue;
            // The hello: its length, "QBGS", a made-up user and the server's id.
            uint8_t hello[24] = {20, 0, 0, 0, 'Q', 'B', 'G', 'S', 0x66, 0x06, 0, 0, 0, 0, 0, 0x11};
            std::memcpy(hello + 16, &server, 8);
            [[maybe_unused]] ssize_t sent = ::send(fd, hello, sizeof hello, MSG_NOSIGNAL);
        }
        ::pause();
        _exit(0);
    }
    // The server bounds the strangers' connections, so they alone may not take every descriptor:
    // once it holds some of them, the player's own open files take what is left.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!Exhausted() && Sockets() < 5 && std::chrono::steady_clock::now() < until) {
        SteamGameServer_RunCallbacks();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        m_held.push_back(fd);
    const bool exhausted = Exhausted();
    const int saved = exhausted ? SavePlayDataAtExit() : -1;
    setrlimit(RLIMIT_NOFILE, &m_limit);
    const std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(exhausted) << "the strangers' connections did not take every descriptor";
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(said.find("Quibly: at exit"), std::string::npos) << said;
    ExpectPackAndCloudCopy();
}

// When the descriptors are taken by something else than the network, nothing can be written:
// the failure is said on the standard error, and the loose files stay for the next start.
TEST_F(ExitSaveTest, APackThatCannotBeWrittenAtExitIsSaid)
{
    ::testing::internal::CaptureStderr();
    LimitDescriptors(12);
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        m_held.push_back(fd);
    ASSERT_TRUE(Exhausted());
    EXPECT_EQ(SavePlayDataAtExit(), 0);
    std::for_each(m_held.begin(), m_held.end(), ::close);
    m_held.clear();
    setrlimit(RLIMIT_NOFILE, &m_limit);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                  "Quibly: at exit the play data could not be packed into QuiblyConfig.pak"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Data/PlayData/QuiblyRecord.xml"));
}

} // namespace
