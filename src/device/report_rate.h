// The report rate in its three spellings: the interval the mouse stores and notifies (1, 2, 4
// or 8 ms), the rate code of the profile record (0x1000, 0x500, 0x250, 0x125) and Hz.
#pragma once
#include <cstdint>

struct ReportRate {
    uint8_t intervalMs;
    int32_t code;
    int32_t hz;
};

// nullptr when the value is none of the four rates.
const ReportRate* RateOfInterval(uint32_t intervalMs);
const ReportRate* RateOfCode(int32_t code);
const ReportRate* RateOfHz(int64_t hz);
