// Fuzzes the layout reader: any bytes as a layout file are read into window descriptions, and a
// window tree is built from them with the game's window factories; nothing may crash, hang or
// touch memory outside the file's bytes, and every description reached is walked.
#include "FuzzRenderer.h"
#include "FuzzSupport.h"

#include "kv/KVInterface.h"
#include "kv/KVLayoutDocument.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

fuzzsupport::NullInterface g_interface;
fuzzsupport::NullRenderer g_renderer;

// Walks every description below the parent, checking the document's child counts.
void Walk(const kv::KVLayoutDocument& document, const kv::WndBaseStruct* parent, int depth)
{
    int32_t count = document.GetChildCount(parent);
    for (int32_t i = 0; i < count; ++i) {
        const kv::WndBaseStruct* child = document.GetChild(parent, i);
        if (!child)
            std::abort();
        if (depth < 512)
            Walk(document, child, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_fuzz_layout");
    kv::KVSystem& system = kv::GetKVSystem();
    system.SetInterface(&g_interface);
    system.SetRenderer(&g_renderer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen("fuzz_layout.xml", "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    {
        kv::KVLayoutDocument document(&g_interface);
        try {
            if (document.Load("fuzz_layout.xml") == 1)
                for (const kv::WndBaseStruct* top : document.TopLevel())
                    Walk(document, top, 0);
        } catch (const std::exception&) {
        } catch (...) {
            // The framework reports unreadable layouts with its own exceptions.
        }
    }
    kv::KVSystem& system = kv::GetKVSystem();
    system.CreateWindowFromLayout("fuzz_layout.xml");
    system.Update(0.016f);
    system.Update(1.0f);
    if (kv::KVWnd* root = system.GetRootLayer())
        root->DeleteChildren();
    system.Update(0.016f);
    return 0;
}
