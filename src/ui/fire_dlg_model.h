// The fire dialog without a window: the burst a button opens with, what the two boxes accept
// while the user types, and the 16-bit parameter (count in the low byte, interval in the
// second) that OK hands back.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "profile/profile_file.h"

constexpr int kFireCountLimit = 3;
constexpr int kFireIntervalMin = 10;
constexpr int kFireIntervalMax = 255;

struct FireValues {
    int count = 3;
    int interval = 10;
    bool operator==(const FireValues&) const = default;
};

// The values the dialog opens with: the row's own burst when it holds the fire function,
// else 3 and 10.
FireValues FireOpening(const KeyInfo& current);
// The texts of the two boxes on opening; a count of 0 is shown as 1.
std::string FireCountShown(const FireValues& v);
std::string FireIntervalShown(const FireValues& v);

// A number as a box holds it: decimal digits only, at most 40 characters, nothing after the
// digits; none for an empty box or anything else. Huge values are held at a ceiling, never
// wrapped.
std::optional<int64_t> ReadBoxNumber(const std::string& text);

// While typing: the text that replaces what the box holds, none when it stays.
std::optional<std::string> FireCountTyped(const std::string& text, int limit = kFireCountLimit);
std::optional<std::string> FireIntervalTyped(const std::string& text);

// OK: the 16-bit parameter, or none when the count box does not hold a count within the limit
// (the dialog stays open). An interval below 10, or none, becomes 10.
std::optional<uint16_t> FireResult(const std::string& countText, const std::string& intervalText,
                                   int limit = kFireCountLimit);
