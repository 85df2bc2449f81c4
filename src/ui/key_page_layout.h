// Where the buttons page puts things and which of them count, without a window: the rows of a
// device, the number beside each row, the mouse picture's hotspots, where the function menu
// opens and which row the cursor is over.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "app/device_catalogue.h"
#include "app/options.h"

constexpr int kRowWidth = 222, kRowHeight = 19;
constexpr int kMenuItemHeight = 20;

struct KeyRowPlace {
    bool shown = false;
    ZvRect row{};     // the row button, page coordinates
    ZvRect number{};  // the 18 x 18 square of its number image
};

// The 16 rows from `ptKey` down, one pitch (19 + KEYH) apart; only the device's buttons shown.
// `large`: the large-screen layout (rows twice the size, KEYH as it stands).
std::array<KeyRowPlace, kKeysPerSet> LayoutKeyRows(const SensorCfg& cfg, ZvPoint ptKey, bool large);

// The row under `pt` (page coordinates) among the shown rows; none elsewhere.
std::optional<int> RowAt(const std::array<KeyRowPlace, kKeysPerSet>& rows, ZvPoint pt);

// The hotspots of the mouse picture (picture coordinates): hotspot i is shown when the
// catalogue's mark i is not empty and the device has button i.
std::array<bool, kKeysPerSet> ShownHotspots(const SensorCfg& cfg);

// Where a row's function menu opens (screen coordinates): under the row, or above it when
// `items` rows of 20 pixels would pass the screen's height; as wide as the row minus 4, or,
// with `menuW` wider than the row, widened on both sides to `menuW` first.
struct MenuPlace {
    int x = 0, y = 0, width = 0;
    bool operator==(const MenuPlace&) const = default;
};
MenuPlace FunctionMenuPlace(const ZvRect& rowOnScreen, int items, int screenHeight, int menuW);

// The profile selector's place: 111 pixels wide, ending at the rows' right edge, 20 to 50.
ZvRect ProfileSelectorRect(const ZvRect& firstRow);
// The linked-programs button: 150 pixels wide, 8 left of the profile selector, as high.
ZvRect LinksButtonRect(const ZvRect& selector);
// Restore, export and import: restore at (707, 473)-(818, 500), the two others 80 wide, each
// 7 pixels right of the one before.
std::array<ZvRect, 3> ProfileButtonRects();
// The debounce control and the auto-sleep control directly above it with a 5-pixel gap.
ZvRect DebounceRect();
ZvRect AutoSleepRect();
// Where the debounce hint is drawn for TipForDebounce `tip` (drawn only above 255): from
// (debounce left, tip) to (left + 250, debounce top), doubled in the large layout.
std::optional<ZvRect> DebounceTipRect(int32_t tip, bool large);

// Whether `rc` covers any shown row: a mouse with many buttons has rows where the value
// controls would sit, and the rows must stay usable.
bool CoversShownRows(const ZvRect& rc, const std::array<KeyRowPlace, kKeysPerSet>& rows);

// Where the debounce and auto-sleep controls go for these rows (normal layout): their usual
// places, or, when the rows reach down to them, the same pair on the right above the restore,
// export and import buttons, so a mouse with many buttons keeps both controls.
struct ValueControlRects {
    ZvRect debounce, autoSleep;
    bool moved = false;
};
ValueControlRects PlaceValueControls(const std::array<KeyRowPlace, kKeysPerSet>& rows, bool large);
