#include "base/number_text.h"

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
