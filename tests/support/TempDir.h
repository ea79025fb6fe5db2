// A fresh folder for one test, removed afterwards; the test's current directory can be moved
// into it for code that works relative to the current directory.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// The whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string Str() const { return m_path.string(); }

    // Writes a file below the folder, creating its parent folders.
    void Write(std::string_view relative, std::string_view bytes) const;
    std::string Read(std::string_view relative) const;

private:
    std::filesystem::path m_path;
};

// Makes the folder the current directory for the scope, and restores the old one.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::filesystem::path m_previous;
};

} // namespace testsupport
