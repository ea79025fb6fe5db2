// The file finder over the platform's sorted file search.
#include "helvane/FindFile.h"

#include "helvane/Log.h"
#include "helvane/TextUtil.h"

#include <win32/Files.h>

#include <filesystem>
#include <system_error>

namespace {

constexpr const wchar_t* kAllFiles = L"*.*";

// The folder part of a pattern, up to and including its last separator.
std::wstring FolderOf(const std::wstring& pattern)
{
    size_t separator = pattern.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : pattern.substr(0, separator + 1);
}

bool IsFolder(const WIN32_FIND_DATAW& data) { return data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }
bool IsHidden(const WIN32_FIND_DATAW& data) { return data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN; }

// Calls visit for every entry the pattern finds. A folder that exists but cannot be read is
// logged; an empty or missing one is simply empty.
template <typename Visit>
void ForEachEntry(const std::wstring& pattern, Visit visit)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        std::error_code ec;
        std::string folder = platform::ResolvePath(FolderOf(pattern));
        std::filesystem::directory_iterator probe(folder.empty() ? "." : folder, ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            DFLog(LOG_WARN, L"CFindFile: cannot read the folder %s", FolderOf(pattern).c_str());
        return;
    }
    do {
        visit(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

CFindFile& CFindFile::GetInstance()
{
    static CFindFile instance;
    return instance;
}

const std::vector<std::wstring>& CFindFile::FindFile(const std::wstring& folder)
{
    m_results.clear();
    FindFileGo(folder + kAllFiles);
    return m_results;
}

const std::vector<std::wstring>& CFindFile::FindFileCurFolder(const wchar_t* folder)
{
    m_results.clear();
    if (folder)
        FindFileCurFolderGo(std::wstring(folder) + kAllFiles);
    return m_results;
}

const std::vector<std::wstring>& CFindFile::FindFolder(const wchar_t* folder)
{
    m_results.clear();
    if (!folder)
        return m_results;
    ForEachEntry(std::wstring(folder) + kAllFiles, [this](const WIN32_FIND_DATAW& data) {
        if (IsFolder(data) && data.cFileName[0] != L'.')
            m_results.emplace_back(data.cFileName);
    });
    return m_results;
}

void CFindFile::FindFileGo(const std::wstring& pattern)
{
    std::wstring folder = FolderOf(pattern);
    ForEachEntry(pattern, [&](const WIN32_FIND_DATAW& data) {
        if (!IsFolder(data) || IsHidden(data))
            m_results.push_back(folder + helvane::ToUpperAscii(data.cFileName));
        else if (data.cFileName[0] != L'.')
            FindFileGo(folder + data.cFileName + L"\\" + kAllFiles);
    });
}

void CFindFile::FindFileCurFolderGo(const std::wstring& pattern)
{
    std::wstring folder = FolderOf(pattern);
    ForEachEntry(pattern, [&](const WIN32_FIND_DATAW& data) {
        if (!IsFolder(data))
            m_results.push_back(folder + helvane::ToUpperAscii(data.cFileName));
    });
}
