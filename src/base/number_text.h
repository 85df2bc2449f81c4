// Reading numbers out of text: the one digit reader behind the options file and the command
// line, which differ only in what they allow around the digits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

struct DigitRun {
    uint64_t value = 0;     // UINT64_MAX when the digits overflow
    size_t digits = 0;      // 0: no digit at the position
    bool overflow = false;  // the digits do not fit 64 bits
};

// The digits of `base` (10 or 16) that start at s[pos], up to the first other character.
DigitRun ReadDigits(std::string_view s, size_t pos, int base);
