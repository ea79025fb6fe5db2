// Feeds arbitrary bytes to the game's XML reading on a thread with a small stack, so any text that
// gets past the nesting bound into TinyXML's recursive parser overflows the stack and crashes the
// run. The bytes go through the shared parser guard and, as a file, through the play-data reader
// and the battle ghost's reader; every tree that is accepted must be within the bound, walked
// here without recursion.
#include "FuzzSinks.h"
#include "FuzzSupport.h"
#include "../support/XmlTreeDepth.h"
#include "data/GameDataXml.h"
#include "lane/PlayerGhost.h"

#include <helvane/XmlText.h>

#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Enough for TinyXML's parser and the readers at the bound under the sanitizers, far too little
// for thousands of levels.
constexpr size_t kSmallStack = 256 * 1024;

struct Input {
    const uint8_t* data;
    size_t size;
};

void* ReadAll(void* argument)
{
    const Input& input = *static_cast<const Input*>(argument);
    const std::string_view text(reinterpret_cast<const char*>(input.data), input.size);
    {
        TiXmlDocument doc;
        ParseXmlText(doc, text);
        // Elements without content may sit one level below the deepest open element.
        if (XmlTreeDepth(doc) > kMaxXmlDepth + 1)
            std::abort();
    }
    if (std::FILE* out = std::fopen("fuzz.xml", "wb")) {
        std::fwrite(input.data, 1, input.size, out);
        std::fclose(out);
    }
    {
        TiXmlDocument doc;
        if (gamedata::LoadXmlFile("fuzz.xml", doc) && XmlTreeDepth(doc) > kMaxXmlDepth + 1)
            std::abort();
    }
    {
        fuzzsupport::NullMessages messages;
        Player_Ghost ghost(messages);
        ghost.Load("fuzz.xml");
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_fuzz_xmlnesting");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input{data, size};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kSmallStack);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, ReadAll, &input) != 0)
        std::abort();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return 0;
}
