// Feeds arbitrary bytes to the animation-set reader as an animation file in a data folder:
// reading every scene and sampling and drawing its tracks must never touch memory outside the
// file's bytes.
#include "engine/AnimationSet.h"
#include "FuzzSupport.h"

#include <helvane/ResourceFileManager.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// A data folder of its own, made the current directory once, holding the one file "fuzz.xml".
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_animfuzz");
    std::filesystem::create_directories("data");
    std::FILE* file = std::fopen("data/fuzz.xml", "wb");
    if (file)
        std::fclose(file);
    singleton<CResourceFileManager>::GetSingleton().CollectFileNameList(L"\\data\\");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
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
