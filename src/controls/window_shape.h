// Which pixels of a window's picture belong to the window: a key colour marks the pixels cut
// away, with a tolerance per colour channel.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "base/geometry.h"

// A pixel stays when it differs from the key by more than `tolerance` in at least one of red,
// green and blue. Colours are R + G*256 + B*65536.
bool PixelIsKept(uint32_t rgb, uint32_t key, int tolerance);

// The kept pixels as horizontal runs, one rectangle per run of kept pixels in a row.
// `pixelAt(x, y)` gives a pixel's colour.
std::vector<ZvRect> KeptPixelRuns(int width, int height,
                                  const std::function<uint32_t(int, int)>& pixelAt, uint32_t key,
                                  int tolerance);
