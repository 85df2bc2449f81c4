// What the window shows of the mouse at a glance: the summary of the current profile beside the
// mouse picture, and while the window waits in the tray the DPI overlay that follows the
// mouse's DPI button, the tray icon's tooltip and the one warning of a low battery. The
// windows ask these functions; the tests pin them natively.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "profile/catalogue_state.h"
#include "base/geometry.h"

struct ProfileFile;
struct SensorCfg;

// ---- DPI overlay ------------------------------------------------------------------------

constexpr uint32_t kDpiOverlayMs = 1500;
// The overlay's size on a normal screen, and its distance from the work area's corner.
constexpr int kDpiOverlayW = 220, kDpiOverlayH = 76, kDpiOverlayMargin = 24;

struct DpiOverlayView {
    std::string value;  // "1600 DPI", or "800 x 1600 DPI" when the axes differ
    std::string level;  // "<tc_dpi_level> 2 / 5"
};
// Nothing when the level is not one of the profile's levels in use.
std::optional<DpiOverlayView> DpiOverlayTexts(const ProfileFile& p, int level);
// The overlay's place: the lower right corner of the work area (doubled on large screens).
ZvRect DpiOverlayRect(const ZvRect& workArea, bool large);
// Whether the overlay is shown: the user's own choice (lang.ini, DpiOverlay) where there is
// one, else cfg.ini's DpiOverlay; on unless 0.
bool DpiOverlayOn(std::optional<int> userChoice, int cfgValue);

// ---- tray -------------------------------------------------------------------------------

// The tray icon's tooltip: the title, then the mouse's name, its battery level and whether
// it charges, each where known; at most 127 characters (the system's limit).
std::string TrayTipText(const std::string& title, const std::string& mouseName,
                        std::optional<int> level, bool charging);
// The catalogue's name of a mouse ("Name" of its DEV_n section in cfg.ini), "" without one.
std::string CatalogueMouseName(const std::string& cfgIniPath, const CatalogueState& catalogue,
                               const SensorCfg* cfg);

// One warning per discharge when the battery first reaches the lowest PowerCritical level:
// a reading at or under it warns once; charging arms the warning again.
class LowBatteryWarning {
  public:
    // true when this reading is the one to warn about.
    bool OnReading(int level, bool charging, const std::array<uint8_t, 4>& critical);
    // Another mouse: its battery is its own.
    void Reset() { m_warned = false; }

  private:
    bool m_warned = false;
};
// The warning's text: "<tc_battery_low> 8 %".
std::string LowBatteryText(int level);

// ---- profile summary --------------------------------------------------------------------

// One line of the profile summary: what a setting is called where it is changed, and its value.
// A lighting line carries the colour its mode shows (swatch set), for a small swatch beside it.
struct SummaryLine {
    std::string label, value;
    bool swatch = false;
    uint32_t colour = 0;  // 0x00BBGGRR
    bool operator==(const SummaryLine&) const = default;
};
// The settings of the current profile the user tunes on the other pages, as the buttons page
// shows them beside the mouse: the current DPI and its level, the polling rate, the lift-off
// distance and the lighting, each only where the mouse has it. `curLevel` is the level in use
// (0 based).
std::vector<SummaryLine> ProfileSummary(const ProfileFile& p, const SensorCfg& cfg,
                                        const std::array<LedOption, 7>& ledOpt, int curLevel);
