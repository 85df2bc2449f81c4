// The move dialog without a window: the X and Y steps of a macro's pointer movement, each
// −127 to 127, how the boxes correct what is typed, and what OK returns.
#pragma once
#include <optional>
#include <string>

constexpr int kMoveLimit = 127;

// What a box shows for a value: empty for 0, else the number.
std::string MoveBoxText(int value);

// After each change of a box: the text to put back, if any. The text is cut at the first
// character that is neither a digit nor a sign; a number beyond the range becomes the limit.
std::optional<std::string> OnMoveBoxEdited(const std::string& text);

// OK: the box's leading number ("5-" gives 5), held to the range; `opened` when the box holds
// no number (empty, or a sign alone).
int MoveBoxValue(const std::string& text, int opened);
