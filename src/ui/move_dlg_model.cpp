#include "ui/move_dlg_model.h"

#include <algorithm>
#include <cstdint>

namespace {

struct Leading {
    bool any = false;       // at least one digit after the optional sign
    bool complete = false;  // nothing follows the digits
    int64_t value = 0;
};

// The decimal number at the start of a box's text (its first 40 characters), a sign allowed.
Leading ReadLeading(const std::string& text) {
    const std::string t = text.substr(0, 40);
    Leading r;
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        r.any = true;
        r.value = std::min<int64_t>(r.value * 10 + (t[i] - '0'), 1'000'000'000);
    }
    r.complete = r.any && i == t.size();
    if (negative) r.value = -r.value;
    return r;
}

}  // namespace

std::string MoveBoxText(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

std::optional<std::string> OnMoveBoxEdited(const std::string& text) {
    std::string t = text.substr(0, 40);
    const size_t bad = t.find_first_not_of("1234567890-+");
    if (bad != std::string::npos) t.resize(bad);
    const Leading n = ReadLeading(t);
    if (n.complete && n.value > kMoveLimit) t = "127";
    if (n.complete && n.value < -kMoveLimit) t = "-127";
    if (t == text) return std::nullopt;
    return t;
}

int MoveBoxValue(const std::string& text, int opened) {
    const Leading n = ReadLeading(text);
    if (!n.any) return opened;
    // "999-" never reads completely, so typing left it alone; a byte cannot hold it.
    return static_cast<int>(std::clamp<int64_t>(n.value, -kMoveLimit, kMoveLimit));
}
