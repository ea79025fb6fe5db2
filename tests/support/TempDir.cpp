#include "support/TempDir.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             ("quibly_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void TempDir::Write(std::string_view relative, std::string_view bytes) const
{
    fs::path target = m_path / relative;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::Read(std::string_view relative) const
{
    return ReadFile(m_path / relative);
}

ScopedCurrentDir::ScopedCurrentDir(const fs::path& dir) : m_previous(fs::current_path())
{
    fs::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    std::error_code ec;
    fs::current_path(m_previous, ec);
}

} // namespace testsupport
