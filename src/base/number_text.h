// Reading numbers out of text: the one digit reader behind the options file and the command
// line, which differ only in what they allow around the digits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct DigitRun {
    uint64_t value = 0;     // UINT64_MAX when the digits overflow
    size_t digits = 0;      // 0: no digit at the position
    bool overflow = false;  // the digits do not fit 64 bits
};

// The digits of `base` (10 or 16) that start at s[pos], up to the first other character.
DigitRun ReadDigits(std::string_view s, size_t pos, int base);

// A comma-separated list of unsigned numbers, each read as strtoul would (leading blanks, an
// optional sign, an optional 0x in base 16); reading stops at the first token that is not a
// number, and a token with anything after its digits is the last one read.
std::vector<uint32_t> ParseNumberList(std::string_view text, int base, size_t maxCount);
