// The texts of the two performance pages and where they go, in the normal layout (the page
// doubles it on large screens, as it does its controls): each control's name at a fixed
// distance beside it, the group titles at their places in the background's panels. The page
// tells where its shown controls are; a hidden control has no place, and its texts are not laid
// out.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "ui/performance_model.h"

// The rank of a text in the type scale (the newer page draws each rank in its own size).
enum class LabelRank { kLabel, kGroupTitle, kValue, kNote };
enum class LabelAlign { kLeft, kRight, kCentre };

struct PageLabel {
    std::string text;
    ZvRect place;
    LabelAlign align = LabelAlign::kLeft;
    LabelRank rank = LabelRank::kLabel;
    // Wrapped over as many lines as the place holds, else one line cut with an ellipsis.
    bool wraps = false;
    // Drawn past its place: a final letter whose stroke overhangs its advance keeps it.
    bool unclipped = false;
    // Wrapped and centred on the place's middle line by its measured height.
    bool middled = false;
    bool operator==(const PageLabel&) const = default;
};

// Where the page's shown controls are (normal layout); none for a control that is hidden.
struct PerfControlPlaces {
    bool dpiTitle = false;  // the device shows DPI levels
    std::optional<ZvRect> xy, levels;
    std::optional<ZvRect> lastBar;  // the bar of the last level in use
    std::array<std::optional<ZvRect>, kRateButtons> rate;
    std::array<std::optional<ZvRect>, 2> liftOff;
    std::array<std::optional<ZvRect>, 3> switches;  // ripple, angle snapping, motion sync
    std::optional<ZvRect> hp, lp;
    std::optional<ZvRect> effect;
    std::array<std::optional<ZvRect>, 2> effectSliders;  // brightness, speed
    std::array<int32_t, 2> effectValues{};
    bool sysLink = false;  // the newer page's gear to the system's pointer settings
    // The older page's pointer settings, when it shows them.
    std::optional<ZvRect> moveSpeed, scroll, doubleClick, precision, oneScreen;
};

std::vector<PageLabel> LayoutNewerPerfLabels(const PerfControlPlaces& c);
std::vector<PageLabel> LayoutOlderPerfLabels(const PerfControlPlaces& c);
