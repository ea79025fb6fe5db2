// What the online benchmarks share: temporary folders, free loopback ports, and a redis-server of
// the benchmark's own on one of them.
#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench {

// A new, empty folder under the system's temporary folder; empty when none can be made.
inline std::string MakeTempFolder(const char* tag)
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string("quibly-bench-") + tag + "-XXXXXX")).string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// A loopback port that was free a moment ago (the system's choice for a port-0 bind).
inline int FreePort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A connected socket to the loopback port, or -1.
inline int ConnectLoopback(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// A redis-server of the benchmark's own on a free port, with nothing saved, for the whole run.
class RedisServer {
public:
    RedisServer()
    {
        m_dir = MakeTempFolder("redis");
        m_port = FreePort();
        std::string port = std::to_string(m_port);
        const char* argv[] = {"redis-server", "--port", port.c_str(), "--bind", "127.0.0.1", "--dir", m_dir.c_str(),
                              "--save", "", "--appendonly", "no", "--logfile", "redis.log", nullptr};
        if (::posix_spawn(&m_pid, "/usr/bin/redis-server", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
            m_pid = -1;
        // Ready once it accepts: at most 5 s.
        for (int i = 0; i < 500 && m_pid > 0; ++i) {
            int fd = ConnectLoopback(m_port);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~RedisServer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    RedisServer(const RedisServer&) = delete;
    RedisServer& operator=(const RedisServer&) = delete;

    std::string Url() const { return "redis://127.0.0.1:" + std::to_string(m_port); }

    // Sends commands in the server's protocol and reads one reply line per command; false when
    // the server cannot be reached or any reply is an error.
    bool Send(const std::vector<std::vector<std::string>>& commands)
    {
        int fd = ConnectLoopback(m_port);
        if (fd < 0)
            return false;
        std::string out;
        for (const auto& words : commands) {
            out += "*" + std::to_string(words.size()) + "\r\n";
            for (const std::string& word : words)
                out += "$" + std::to_string(word.size()) + "\r\n" + word + "\r\n";
        }
        bool ok = true;
        for (size_t sent = 0; ok && sent < out.size();) {
            ssize_t n = ::write(fd, out.data() + sent, out.size() - sent);
            ok = n > 0;
            sent += ok ? static_cast<size_t>(n) : 0;
        }
        size_t lines = 0;
        char buffer[4096];
        while (ok && lines < commands.size()) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            ok = n > 0;
            for (ssize_t i = 0; i < n; ++i) {
                lines += buffer[i] == '\n' ? 1 : 0;
                ok = ok && buffer[i] != '-';
            }
        }
        ::close(fd);
        return ok;
    }

private:
    std::string m_dir;
    int m_port = 0;
    pid_t m_pid = -1;
};

} // namespace bench
