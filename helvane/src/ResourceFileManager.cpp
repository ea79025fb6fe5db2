// The data-folder index.
#include "helvane/ResourceFileManager.h"

#include "helvane/FindFile.h"
#include "helvane/Log.h"
#include "helvane/TextUtil.h"

#include <win32/Files.h>

#include <vector>

namespace {

struct CategoryExtensions {
    int category;
    std::vector<const wchar_t*> extensions;
};

const std::vector<CategoryExtensions> kCategoryExtensions = {
    {0, {L".TGA", L".PNG", L".JPG", L".BMP", L".DDS"}},
    {1, {L".MAT"}},
    {2, {L".FXA"}},
    {3, {L".WAV", L".OGG"}},
    {4, {L".FXM"}},
    {5, {L".EX"}},
    {6, {L".EFX"}},
    {7, {L".EFM"}},
    {8, {L".AVI"}},
    {9, {L".XML", L".GST", L".SPD", L".TEX", L".ANT", L".STG", L".MDL", L".CAM"}},
};

std::wstring CurrentDirectory()
{
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return {};
    std::wstring folder(needed, L'\0');
    DWORD length = GetCurrentDirectoryW(needed, folder.data());
    folder.resize(length < needed ? length : 0);
    return folder;
}

// Splits the last component of a path into name and extension (from its last '.').
void SplitFileName(const std::wstring& path, std::wstring& name, std::wstring& extension)
{
    size_t separator = path.find_last_of(L"\\/");
    std::wstring fileName = separator == std::wstring::npos ? path : path.substr(separator + 1);
    size_t dot = fileName.rfind(L'.');
    name = dot == std::wstring::npos ? fileName : fileName.substr(0, dot);
    extension = dot == std::wstring::npos ? std::wstring() : fileName.substr(dot);
}

} // namespace

CResourceFileManager::CResourceFileManager()
{
    for (const CategoryExtensions& row : kCategoryExtensions)
        for (const wchar_t* extension : row.extensions)
            m_extensions[extension] = row.category;
}

CResourceFileManager::CResourceFileManager(const CResourceFileManager& other) : singleton<CResourceFileManager>(other)
{
    *this = other;
}

CResourceFileManager& CResourceFileManager::operator=(const CResourceFileManager& other)
{
    if (this != &other) {
        for (int i = 0; i < kResourceCategoryCount; ++i)
            m_fileTables[i] = other.m_fileTables[i];
        m_extensions = other.m_extensions;
        m_initialised = other.m_initialised.load();
    }
    return *this;
}

const wchar_t* CResourceFileManager::GetFullPathNameW(const std::wstring& name, int category)
{
    ScanOnce();
    if (category < 0 || category > kResourceAnyCategory)
        return nullptr;
    std::wstring key = helvane::ToUpperAscii(name);
    int first = category == kResourceAnyCategory ? 0 : category;
    int last = category == kResourceAnyCategory ? kResourceCategoryCount - 1 : category;
    for (int i = first; i <= last; ++i) {
        auto found = m_fileTables[i].find(key);
        if (found != m_fileTables[i].end())
            return found->second.c_str();
    }
    return nullptr;
}

void CResourceFileManager::ScanOnce()
{
    if (m_initialised.load(std::memory_order_acquire))
        return;
    std::lock_guard guard(m_scanLock);
    if (!m_initialised.load(std::memory_order_relaxed))
        Init();
}

void CResourceFileManager::Init()
{
    std::wstring folder = CurrentDirectory() + L"\\data\\";
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        DFLog(LOG_WARN, L"CResourceFileManager: there is no data folder %s; no file will be found", folder.c_str());
    MakeFileList(folder);
    m_initialised.store(true, std::memory_order_release);
}

void CResourceFileManager::CollectFileNameList(const std::wstring& subFolder)
{
    std::lock_guard guard(m_scanLock);
    Close();
    MakeFileList(CurrentDirectory() + subFolder);
    m_initialised.store(true, std::memory_order_release);
}

void CResourceFileManager::Close()
{
    for (FileTable& table : m_fileTables)
        table.clear();
}

CResourceFileManager::FileTable& CResourceFileManager::GetFileHashMap(int category)
{
    if (category >= 0 && category < kResourceCategoryCount)
        return m_fileTables[category];
    static FileTable empty;
    empty.clear();
    return empty;
}

void CResourceFileManager::MakeFileList(const std::wstring& folder)
{
    std::vector<std::wstring> paths = CFindFile::GetInstance().FindFile(folder);
    size_t prefixChars = CurrentDirectory().size() + 1;
    for (const std::wstring& path : paths) {
        std::wstring name, extension;
        SplitFileName(path, name, extension);
        if (name.size() > kMaxNamePartChars || extension.size() > kMaxNamePartChars) {
            DFLog(LOG_WARN, L"CResourceFileManager: the name of %s is too long to index", path.c_str());
            continue;
        }
        if (path.size() <= prefixChars)
            continue;
        auto category = m_extensions.find(helvane::ToUpperAscii(extension));
        if (category == m_extensions.end())
            continue;
        // The first file found keeps its key: later files of the same name are not seen.
        m_fileTables[category->second].try_emplace(helvane::ToUpperAscii(name + extension), path.substr(prefixChars));
    }
}
