// Small value types shared by the framework's windows, renderer and animation.
#pragma once

#include <cstdint>

namespace kv {

struct KVPoint {
    float x = 0;
    float y = 0;
};

// A UI rectangle: {left, right, top, bottom}. A point lies in it only when strictly inside.
struct KVRect {
    float left = 0;
    float right = 0;
    float top = 0;
    float bottom = 0;
};

struct KVSize {
    int32_t width = 0;
    int32_t height = 0;
};

// A row-major 4 x 4 transform in the row-vector convention: a point is multiplied on the left,
// the translation is in the fourth row.
struct KVMatrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

} // namespace kv
