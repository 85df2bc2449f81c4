// The system's pointer settings that a profile carries: wheel lines, double-click time, pointer
// speed, enhanced precision and trails. On Windows they are the user's settings; elsewhere
// nothing is changed and the requests are only recorded.
#pragma once
#include <cstdint>
#include <vector>

namespace platform {

struct PointerSettings {
    int32_t wheelLines = 3;
    int32_t dbClickTime = 500;  // milliseconds
    int32_t speed = 10;         // 1 to 20
    int32_t precision = 0;      // non-zero: enhanced pointer precision
    int32_t trails = 0;
    bool operator==(const PointerSettings&) const = default;
};

// Changes each setting that differs from the system's current value, saves it to the user's
// profile and tells every window. Returns how many settings were changed.
int ApplyPointerSettings(const PointerSettings& wanted);

// Elsewhere than Windows: the settings asked for so far, oldest first (tests).
std::vector<PointerSettings> TakeRecordedPointerSettings();

}  // namespace platform
