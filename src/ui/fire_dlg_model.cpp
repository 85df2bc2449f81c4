#include "ui/fire_dlg_model.h"

#include <algorithm>

#include "profile/key_function.h"

namespace {
constexpr uint32_t kFireFunction = 0x080000A4;
constexpr size_t kMaxBoxChars = 40;
// Above every limit the boxes know; a longer number is held here instead of overflowing.
constexpr int64_t kNumberCeiling = 1'000'000'000;
}  // namespace

FireValues FireOpening(const KeyInfo& current) {
    FireValues v;
    if (current.dwFunID == kFireFunction) {
        v.count = static_cast<int>(current.dwParameter & 0xFF);
        v.interval = static_cast<int>((current.dwParameter >> 8) & 0xFF);
        return v;
    }
    // A click function whose code is a burst (the double click is 2 clicks at 50): the dialog
    // opens with that burst, which is what the button does.
    const KeyFunction* fire = FindKeyFunction(kFireFunction);
    const KeyFunction* f = FindKeyFunction(current.dwFunID);
    if (fire && f && f->rule == MatrixRule::kFixed && f->matrixCode != kNoMatrixCode &&
        (f->matrixCode & 0xFF) == fire->matrixCode && (f->matrixCode >> 16) <= kFireCountLimit) {
        v.count = static_cast<int>(f->matrixCode >> 16);
        v.interval = static_cast<int>((f->matrixCode >> 8) & 0xFF);
    }
    return v;
}

std::string FireCountShown(const FireValues& v) {
    return std::to_string(v.count == 0 ? 1 : v.count);
}

std::string FireIntervalShown(const FireValues& v) {
    return std::to_string(v.interval);
}

std::optional<int64_t> ReadBoxNumber(const std::string& text) {
    if (text.empty() || text.size() > kMaxBoxChars) return std::nullopt;
    int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = std::min(n * 10 + (c - '0'), kNumberCeiling);
    }
    return n;
}

std::optional<std::string> FireCountTyped(const std::string& text, int limit) {
    const std::optional<int64_t> n = ReadBoxNumber(text);
    if (n && *n > limit) return std::to_string(limit);
    return std::nullopt;
}

std::optional<std::string> FireIntervalTyped(const std::string& text) {
    const std::optional<int64_t> n = ReadBoxNumber(text);
    if (n && *n > kFireIntervalMax) return std::to_string(kFireIntervalMax);
    return std::nullopt;
}

std::optional<uint16_t> FireResult(const std::string& countText, const std::string& intervalText,
                                   int limit) {
    const std::optional<int64_t> count = ReadBoxNumber(countText);
    if (!count || *count > limit) return std::nullopt;
    int64_t interval = ReadBoxNumber(intervalText).value_or(0);
    interval = std::clamp<int64_t>(interval, kFireIntervalMin, kFireIntervalMax);
    return static_cast<uint16_t>(*count | interval << 8);
}
