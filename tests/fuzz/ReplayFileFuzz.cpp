// Fuzzes the push replay reader: any bytes give records of sane sizes and types in file order,
// and replaying them for a long while, in steps of varied length, never stalls or crashes.
#include "FuzzSinks.h"
#include "board/PlayRecorder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<ReplayRecord> records = ParseReplay(data, size);
    size_t bytes = 0;
    for (const ReplayRecord& r : records) {
        if (r.payload.size() > static_cast<size_t>(kMaxRecordData) - 4 || r.time != r.time)
            std::abort();
        bytes += 12 + r.payload.size();
    }
    if (bytes > size)
        std::abort();
    fuzzsupport::NullMessages messages;
    ReplayReader reader(messages);
    if (!reader.OpenBytes(data, size))
        return 0;
    for (int step = 0; step < 200; ++step)
        reader.Advance(step % 7 == 0 ? 3.5f : 0.05f);
    reader.Rewind();
    reader.Advance(1000.0f);
    return 0;
}
