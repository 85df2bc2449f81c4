// The fire key dialog without a window: the burst's repeat count and interval, how the two
// boxes correct what is typed, and the 16-bit parameter OK stores (count in the low byte,
// interval in the next).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct KeyInfo;

constexpr uint32_t kFireFunction = 0x080000A4;
constexpr int32_t kFireCountLimit = 3;
constexpr int32_t kFireMinInterval = 10;
constexpr int32_t kFireMaxInterval = 255;

class FireDlgModel {
  public:
    // Opens with the button's fire parameter, or count 3 and interval 10 for another function.
    explicit FireDlgModel(const KeyInfo& current, int32_t countLimit = kFireCountLimit);

    // What the boxes show when the dialog opens (a count of 0 shows as 1).
    const std::string& CountText() const { return m_countText; }
    const std::string& IntervalText() const { return m_intervalText; }

    // After each change of a box: the text to put back (caret at the end), if any.
    std::optional<std::string> OnCountEdited(const std::string& text) const;
    static std::optional<std::string> OnIntervalEdited(const std::string& text);

    // OK: the parameter, or none (the dialog stays open) when the count is not a number up to
    // the limit. An interval below 10, or not a number, is stored as 10.
    std::optional<uint16_t> OnOk(const std::string& countText,
                                 const std::string& intervalText) const;

  private:
    int32_t m_countLimit;
    std::string m_countText, m_intervalText;
};
