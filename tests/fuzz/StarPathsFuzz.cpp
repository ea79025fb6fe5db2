// Feeds arbitrary bytes to the star-path reader as the text of "data/stage_bezier.txt": reading
// must stay within the text and its bounds, and every path it keeps must evaluate to finite
// points over the whole flight.
#include "modes/ClearEffect_StageChallenge.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::array<StarPath, 8> paths;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int read = ParseStarPaths(text, paths);
    if (read < 0 || read > 8)
        std::abort();
    for (int p = 0; p < read; ++p) {
        if (paths[static_cast<size_t>(p)].m_Keys.empty() ||
            paths[static_cast<size_t>(p)].m_Keys.size() > ClearEffect_StageChallenge::kMaxPathPoints + 1)
            std::abort();
        for (int step = -2; step <= 12; ++step) {
            D3DXVECTOR3 value(0, 0, 0);
            paths[static_cast<size_t>(p)].Evaluate(static_cast<float>(step) / 10.0f, value);
            if (!std::isfinite(value.x) || !std::isfinite(value.y))
                std::abort();
        }
    }
    for (int p = read; p < 8; ++p)
        if (!paths[static_cast<size_t>(p)].m_Keys.empty())
            std::abort();
    return 0;
}
