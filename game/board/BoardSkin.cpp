#include "board/BoardSkin.h"

#include "app/StartUp.h"
#include "engine/PlayerSettings.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"

#include <helvane/Log.h>

#include <map>
#include <mutex>
#include <vector>

std::string BoardSkinFile(int index)
{
    if (index < 0 || index >= kSkinEntryCount) {
        DFLog(LOG_WARN, L"참조할수 없는 인덱스 입니다. %d", index);
        return {};
    }
    return GetSkinFileName(index);
}

namespace {
struct ColourCache {
    std::mutex lock;
    // By layout file, then by window name; a missing window is not in the map.
    std::map<std::string, std::map<std::wstring, D3DCOLOR>> files;
};
ColourCache& Cache()
{
    static ColourCache cache;
    return cache;
}

std::map<std::wstring, D3DCOLOR> ReadLayoutColours(const std::string& file)
{
    std::map<std::wstring, D3DCOLOR> colours;
    kv::KVWnd* root = LoadLayout(file.c_str());
    if (!root) {
        DFLog(LOG_WARN, L"Board colours: layout %hs is missing", file.c_str());
        return colours;
    }
    std::vector<kv::KVWnd*> pending{root};
    while (!pending.empty()) {
        kv::KVWnd* window = pending.back();
        pending.pop_back();
        if (auto* label = dynamic_cast<kv::KVLabel*>(window))
            colours[label->GetName()] = label->colour;
        for (int32_t i = 0; i < window->GetChildCount(); ++i)
            pending.push_back(window->GetChild(i));
    }
    kv::GetKVSystem().DetachWindow(root);
    return colours;
}
}

void ReadSkinColours(int skinIndex, const wchar_t* const* names, int count, const D3DCOLOR* fallback,
                     D3DCOLOR* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = fallback[i];
    std::string file = GetSkinFileName(skinIndex);
    if (file.empty())
        return;
    ColourCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    auto found = cache.files.find(file);
    if (found == cache.files.end())
        found = cache.files.emplace(file, ReadLayoutColours(file)).first;
    for (int i = 0; i < count; ++i) {
        auto colour = found->second.find(names[i]);
        if (colour != found->second.end())
            out[i] = colour->second;
    }
}

void ForgetSkinColours()
{
    std::lock_guard<std::mutex> guard(Cache().lock);
    Cache().files.clear();
}
