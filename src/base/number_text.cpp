#include "base/number_text.h"

#include <cctype>
#include <limits>

DigitRun ReadDigits(std::string_view s, size_t pos, int base) {
    DigitRun run;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    for (size_t i = pos; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        ++run.digits;
        const uint64_t b = static_cast<uint64_t>(base), dv = static_cast<uint64_t>(d);
        if (run.overflow || run.value > (kMax - dv) / b) {
            run.overflow = true;
            run.value = kMax;
        } else {
            run.value = run.value * b + dv;
        }
    }
    return run;
}

namespace {

// strtoul's reading of one token: leading blanks, an optional sign, an optional 0x in base 16.
bool ReadNumber(std::string_view s, size_t& pos, int base, uint32_t& value) {
    size_t i = pos;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
    if (base == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
        i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 2])))
        i += 2;
    const DigitRun run = ReadDigits(s, i, base);
    if (run.digits == 0) return false;
    // strtoul saturates a value too large for it.
    const uint32_t r = run.value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(run.value);
    value = minus ? 0u - r : r;
    pos = i + run.digits;
    return true;
}

}  // namespace

std::vector<uint32_t> ParseNumberList(std::string_view text, int base, size_t maxCount) {
    std::vector<uint32_t> out;
    size_t pos = 0;
    while (out.size() < maxCount) {
        uint32_t v = 0;
        if (!ReadNumber(text, pos, base, v)) break;
        out.push_back(v);
        if (pos >= text.size() || text[pos] != ',') break;
        ++pos;
    }
    return out;
}
