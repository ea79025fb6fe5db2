// Fuzzes the UI animation reader: any bytes as a "kvanimation" file are read by a director, and
// every scene it keeps is played, stepped past its end and drawn over a window; nothing may
// crash, hang or touch memory outside the file's bytes.
#include "FuzzRenderer.h"
#include "FuzzSupport.h"

#include "kv/KVDirector.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVInterface.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <cstdio>
#include <string>

namespace {

fuzzsupport::NullInterface g_interface;
fuzzsupport::NullRenderer g_renderer;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_fuzz_uianim");
    kv::KVSystem& system = kv::GetKVSystem();
    system.SetInterface(&g_interface);
    system.SetRenderer(&g_renderer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen("fuzz_Animation.xml", "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    kv::KVWnd* window = kv::GetKVSystem().GetRootLayer();
    kv::KVDirector director;
    director.iface = &g_interface;
    director.renderer = &g_renderer;
    director.width = 1024;
    director.height = 768;
    if (director.LoadFile(L"", L"fuzz_Animation.xml") != kv::KVDirector::kLoaded)
        return 0;
    for (int32_t i = 0; i < static_cast<int32_t>(director.scenes.size()); ++i) {
        director.PlaySceneIndex(i);
        director.SetTransform({10, 20}, {1.5f, 0.5f});
        for (float dt : {0.0f, 0.016f, 0.5f, 3.0f, 100.0f}) {
            director.Update(window, dt);
            if (director.currentScene)
                director.currentScene->Draw(1.0f);
        }
    }
    if (window)
        director.DetachModifiersFrom(window);
    return 0;
}
