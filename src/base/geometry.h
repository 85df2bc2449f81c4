// Points, rectangles and colours as the options file and the windows give them.
#pragma once
#include <cstdint>

struct ZvPoint {
    int32_t x = 0, y = 0;
    bool operator==(const ZvPoint&) const = default;
};
struct ZvRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ZvRect&) const = default;
};
// Colours are R + G*256 + B*65536.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}
