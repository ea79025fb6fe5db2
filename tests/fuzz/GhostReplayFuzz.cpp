// Fuzzes the battle ghost's replay files: any bytes as a ".gst" either refuse to load or replay
// for a long while, looping or ending, without crashing or stalling, with at most six previews.
#include "FuzzSinks.h"
#include "lane/PlayerGhost.h"
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "quibly_fuzz_ghost");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::FILE* out = std::fopen("ghost.gst", "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    fuzzsupport::NullMessages messages;
    Player_Ghost ghost(messages);
    if (!ghost.Load("ghost.gst"))
        return 0;
    ghost.Rewind();
    for (int step = 0; step < 300; ++step)
        ghost.Update(step % 13 == 0 ? 7.5f : 0.25f);
    ghost.ShowNextAttacks();
    for (int n = 0; n < kGhostPreviewSlots; ++n)
        if (ghost.PreviewSlot(n).shown && (ghost.PreviewSlot(n).kind < 0 || ghost.PreviewSlot(n).kind > 4))
            std::abort();
    return 0;
}
