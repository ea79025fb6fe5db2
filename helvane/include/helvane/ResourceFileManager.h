// The data-folder index: bare file names ("Null.tga") to paths under the data folder
// ("data\UI\NULL.TGA"), one table per file category chosen by the extension. The disk is
// walked once, at the first lookup.
#pragma once

#include "helvane/Singleton.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

// The file category of an extension; kResourceAnyCategory searches categories 0 to 9 in order.
using ResourceCategory = int32_t;
constexpr ResourceCategory kResourceTexture = 0; // .TGA .PNG .JPG .BMP .DDS
constexpr ResourceCategory kResourceSound = 3;   // .WAV .OGG
constexpr ResourceCategory kResourceData = 9;    // .XML .GST .SPD .TEX .ANT .STG .MDL .CAM
constexpr ResourceCategory kResourceAnyCategory = 10;
constexpr int kResourceCategoryCount = 10;

class CResourceFileManager : public singleton<CResourceFileManager> {
public:
    // Upper-cased name with extension -> path relative to the current directory.
    using FileTable = std::map<std::wstring, std::wstring>;

    // Longest file name or extension that is indexed; longer ones are skipped and logged.
    static constexpr size_t kMaxNamePartChars = 63;

    CResourceFileManager();
    CResourceFileManager(const CResourceFileManager& other);
    CResourceFileManager& operator=(const CResourceFileManager& other);
    ~CResourceFileManager() = default;

    // The stored path of the name (upper-cased with the ASCII rule, looked up whole), or null.
    // The first call scans the data folder; the pointer stays valid until Close.
    const wchar_t* GetFullPathNameW(const std::wstring& name, int category);

    // Scans "<current directory>\data\".
    void Init();
    // Close, then scans the current directory followed directly by subFolder.
    void CollectFileNameList(const std::wstring& subFolder);
    // Forgets every stored path; the index stays marked as scanned.
    void Close();

    // The table of one category 0 to 9; an empty table for any other value.
    FileTable& GetFileHashMap(int category);

protected:
    void MakeFileList(const std::wstring& folder);

private:
    void ScanOnce();

    FileTable m_fileTables[kResourceCategoryCount];
    std::map<std::wstring, int> m_extensions;
    // Lookups come from the main thread and the scene loader thread; whichever comes first
    // scans, and the other waits for the scan to finish.
    std::atomic<bool> m_initialised{false};
    std::mutex m_scanLock;
};
