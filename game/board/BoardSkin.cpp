#include "board/BoardSkin.h"

#include "engine/LayoutFiles.h"
#include "engine/PlayerSettings.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"

#include <helvane/Log.h>

#include <map>
#include <mutex>
#include <set>
#include <vector>

std::string BoardSkinFile(int index)
{
    if (index < 0 || index >= kSkinEntryCount) {
        DFLog(LOG_WARN, L"참조할수 없는 인덱스 입니다. %d", index);
        return {};
    }
    return GetSkinFileName(index);
}

bool LoadSkinPlayer(AnimationPlayer& player, int index)
{
    const std::string file = BoardSkinFile(index);
    if (file.empty())
        return false;
    if (player.Load(file))
        return true;
    static std::mutex lock;
    static std::set<std::string> logged;
    std::lock_guard<std::mutex> guard(lock);
    if (logged.insert(file).second)
        DFLog(LOG_WARN, L"Board sprites: animation %hs of skin entry %d cannot be loaded", file.c_str(), index);
    return false;
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

// The label colours of the layout, or false when it cannot be built now (a missing file, or a
// window system that cannot load layouts yet), so that a later block asks again.
bool ReadLayoutColours(const std::string& file, std::map<std::wstring, D3DCOLOR>& colours)
{
    kv::KVWnd* root = LoadLayout(file.c_str());
    if (!root) {
        static std::set<std::string> logged;
        if (logged.insert(file).second)
            DFLog(LOG_WARN, L"Board colours: layout %hs cannot be loaded; the board's own colours are used",
                  file.c_str());
        return false;
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
    return true;
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
    if (found == cache.files.end()) {
        std::map<std::wstring, D3DCOLOR> colours;
        if (!ReadLayoutColours(file, colours))
            return;
        found = cache.files.emplace(file, std::move(colours)).first;
    }
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
