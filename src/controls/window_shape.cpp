#include "controls/window_shape.h"

#include <cstdlib>

bool PixelIsKept(uint32_t rgb, uint32_t key, int tolerance) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((rgb >> shift) & 0xFF);
        const int b = static_cast<int>((key >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return true;
    }
    return false;
}

std::vector<ZvRect> KeptPixelRuns(int width, int height,
                                  const std::function<uint32_t(int, int)>& pixelAt, uint32_t key,
                                  int tolerance) {
    std::vector<ZvRect> runs;
    for (int y = 0; y < height; ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool kept = x < width && PixelIsKept(pixelAt(x, y), key, tolerance);
            if (kept && start < 0) start = x;
            if (!kept && start >= 0) {
                runs.push_back({start, y, x, y + 1});
                start = -1;
            }
        }
    }
    return runs;
}
