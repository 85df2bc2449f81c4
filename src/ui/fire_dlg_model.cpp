#include "ui/fire_dlg_model.h"

#include <algorithm>

#include "profile/profile_file.h"

namespace {

// A box's number: at most its first 40 characters, decimal digits only, not empty. Long
// numbers saturate rather than wrap round to a small, acceptable value.
std::optional<int64_t> BoxNumber(const std::string& text) {
    const std::string t = text.substr(0, 40);
    if (t.empty()) return std::nullopt;
    int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = std::min<int64_t>(v * 10 + (c - '0'), 1'000'000'000);
    }
    return v;
}

}  // namespace

FireDlgModel::FireDlgModel(const KeyInfo& current, int32_t countLimit) : m_countLimit(countLimit) {
    uint32_t count = 3, interval = 10;
    if (current.dwFunID == kFireFunction) {
        count = current.dwParameter & 0xFF;
        interval = (current.dwParameter >> 8) & 0xFF;
    }
    m_countText = std::to_string(count == 0 ? 1 : count);
    m_intervalText = std::to_string(interval);
}

std::optional<std::string> FireDlgModel::OnCountEdited(const std::string& text) const {
    const std::optional<int64_t> v = BoxNumber(text);
    if (v && *v > m_countLimit) return std::to_string(m_countLimit);
    return std::nullopt;
}

std::optional<std::string> FireDlgModel::OnIntervalEdited(const std::string& text) {
    const std::optional<int64_t> v = BoxNumber(text);
    if (v && *v > kFireMaxInterval) return std::to_string(kFireMaxInterval);
    return std::nullopt;
}

std::optional<uint16_t> FireDlgModel::OnOk(const std::string& countText,
                                           const std::string& intervalText) const {
    const std::optional<int64_t> count = BoxNumber(countText);
    if (!count || *count > m_countLimit) return std::nullopt;
    // The interval has one byte: a value past it (text that never went through the typing
    // check) is held at the top rather than cut to its low byte.
    const int64_t interval = std::clamp<int64_t>(BoxNumber(intervalText).value_or(0),
                                                 kFireMinInterval, kFireMaxInterval);
    return static_cast<uint16_t>(*count | (interval << 8));
}
