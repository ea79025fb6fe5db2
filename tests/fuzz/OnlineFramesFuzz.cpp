// Fuzzes the platform client's frame reader and field reader: bytes arrive in pieces of sizes
// the input chooses; every frame that comes out must be whole, within the cap and equal to what
// a re-framing gives; an oversize length stops the stream for good.
#include "../../platform/steam/Wire.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace platform::steam;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the piece size, so frames straddle Feed calls in every way.
    size_t piece = static_cast<size_t>(data[0] % 17) + 1;
    FrameReader reader;
    Bytes stream;
    Bytes payload;
    bool stopped = false;
    for (size_t at = 1; at < size && !stopped; at += piece) {
        size_t bytes = std::min(piece, size - at);
        reader.Feed(data + at, bytes);
        for (;;) {
            FrameReader::Status status = reader.Next(payload);
            if (status == FrameReader::Status::NeedMore)
                break;
            if (status == FrameReader::Status::Oversize) {
                stopped = true;
                break;
            }
            if (payload.size() > kMaxFramePayload)
                std::abort();
            AppendFrame(stream, payload.data(), payload.size());
        }
    }
    // What came out is a prefix of the input, frame for frame.
    if (stream.size() > size - 1 || (!stream.empty() && std::memcmp(stream.data(), data + 1, stream.size()) != 0))
        std::abort();

    // The same bytes through the field reader: every read stays inside the input.
    WireReader in(data, size);
    std::string text;
    uint64_t wide = 0;
    uint32_t word = 0;
    while (in.Ok()) {
        uint8_t op = 0;
        if (!in.U8(op))
            break;
        switch (op % 4) {
        case 0:
            if (in.Text(text, kMaxFramePayload) && !IsValidUtf8(text))
                std::abort();
            break;
        case 1:
            in.U64(wide);
            break;
        case 2:
            in.U32(word);
            break;
        default: {
            std::string clean = CleanUtf8(std::string_view(reinterpret_cast<const char*>(data), size), op);
            if (clean.size() > op || !IsValidUtf8(clean))
                std::abort();
        }
        }
    }
    return 0;
}
