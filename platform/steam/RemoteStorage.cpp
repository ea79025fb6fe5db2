// Remote storage of the platform: the player's files kept in the profile's "remote" folder.
// Implemented: FileWrite (atomic), FileRead from the start, FileExists, GetFileSize,
//              GetFileTimestamp (the file's modification time); names are plain file names,
//              never paths.
// Left out:    file listing, deletion, quotas and asynchronous reads.
#include "ClientState.h"

#include "win32/Files.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace platform::steam {

namespace {

// A remote file name is one plain name inside the remote folder, never a path.
bool IsPlainFileName(const char* name)
{
    return name && IsPlainName(name);
}

class ProfileRemoteStorage final : public ISteamRemoteStorage {
public:
    explicit ProfileRemoteStorage(std::string folder) : m_folder(std::move(folder)) {}

    bool FileWrite(const char* name, const void* data, int32_t bytes) override
    {
        if (!IsPlainFileName(name) || bytes < 0 || (bytes > 0 && !data))
            return false;
        std::error_code ec;
        fs::create_directories(m_folder, ec);
        return platform::SaveFileAtomically(PathOf(name),
                                            std::string_view(static_cast<const char*>(data), bytes));
    }

    int32_t FileRead(const char* name, void* data, int32_t bytes) override
    {
        if (!IsPlainFileName(name) || bytes <= 0 || !data)
            return 0;
        std::FILE* in = platform::OpenFile(PathOf(name), "rb");
        if (!in)
            return 0;
        size_t got = std::fread(data, 1, static_cast<size_t>(bytes), in);
        std::fclose(in);
        return static_cast<int32_t>(got);
    }

    bool FileExists(const char* name) override
    {
        std::error_code ec;
        return IsPlainFileName(name) && fs::is_regular_file(PathOf(name), ec);
    }

    int32_t GetFileSize(const char* name) override
    {
        std::error_code ec;
        if (!FileExists(name))
            return 0;
        auto size = fs::file_size(PathOf(name), ec);
        if (ec || size > static_cast<uintmax_t>(INT32_MAX))
            return 0;
        return static_cast<int32_t>(size);
    }

    int64_t GetFileTimestamp(const char* name) override
    {
        struct stat info {};
        if (!FileExists(name) || ::stat(PathOf(name).c_str(), &info) != 0)
            return 0;
        return static_cast<int64_t>(info.st_mtime);
    }

private:
    // The file as it exists on disk: names are matched without regard to case, as every file
    // open of the game is, so a read finds what a write under another case replaced.
    std::string PathOf(const char* name) const { return platform::ResolvePath(m_folder + "/" + name); }
    std::string m_folder;
};

} // namespace

std::unique_ptr<ISteamRemoteStorage> MakeRemoteStorage(const std::string& folder)
{
    return std::make_unique<ProfileRemoteStorage>(folder);
}

} // namespace platform::steam
