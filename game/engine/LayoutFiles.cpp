#include "engine/LayoutFiles.h"

#include "kv/KVSystem.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>

#include <string>

namespace {
// The data folder index's category of layout files.
constexpr int kLayoutCategory = 9;
constexpr size_t kLayoutNameChars = 512;
}

kv::KVWnd* LoadLayout(const char* file)
{
    if (!file)
        return nullptr;
    std::wstring name = platform::Widen(file);
    if (name.size() > kLayoutNameChars)
        name.resize(kLayoutNameChars);
    size_t slash = name.find_last_of(L"/\\");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const wchar_t* path = CResourceFileManager::GetSingleton().GetFullPathNameW(name, kLayoutCategory);
    if (!path)
        return nullptr;
    std::string narrow = platform::Narrow(path);
    if (narrow.size() > kLayoutNameChars)
        return nullptr;
    return kv::GetKVSystem().CreateWindowFromLayout(narrow);
}
