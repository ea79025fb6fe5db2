// Feeds arbitrary bytes to the animation-set reader as an animation file in a data folder:
// reading every scene and sampling and drawing its tracks must never touch memory outside the
// file's bytes.
#include "engine/AnimationSet.h"

#include <helvane/ResourceFileManager.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A data folder of its own, made the current directory once, holding the one file "fuzz.xml".
bool PrepareDataFolder()
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("quibly_animfuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "data");
    std::filesystem::current_path(dir);
    std::FILE* file = std::fopen("data/fuzz.xml", "wb");
    if (file)
        std::fclose(file);
    singleton<CResourceFileManager>::GetSingleton().CollectFileNameList(L"\\data\\");
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool prepared = PrepareDataFolder();
    (void)prepared;
    std::FILE* file = std::fopen("data/fuzz.xml", "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    AnimationSet set;
    if (!set.Load("fuzz.xml"))
        return 0;
    for (const auto& [name, scene] : set.m_Scenes) {
        float length = scene->GetLength();
        for (float t : {0.0f, length * 0.5f, length, length + 1.0f})
            scene->Draw(t, nullptr, 0xFFFFFFFF, 0.5f, nullptr);
        for (const auto& track : scene->m_Tracks)
            if (scene->FindTrack(track->m_strName) == nullptr)
                __builtin_trap();
    }
    return 0;
}
