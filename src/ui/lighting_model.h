// The lighting page without a window: the mode lists a device offers, which controls a mode has
// and its starting values, the colour boxes, the sleep items, what each action stores in the
// profile record and which lighting request it places, and the lighting guard asked before a
// lighting request. The page window and the command-line tool use the same rules.
//
// Functions that change a record change nothing else; run them through EditCurrentProfile.
#pragma once
#include <array>
#include <functional>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "app/options.h"
#include "profile/profile_file.h"
#include "ui/page_change.h"

class CUSBDriver;

// Lighting zones as the apply request's data names them.
enum : uint32_t { kLightDataLogo = 0x01, kLightDataMain = 0x02, kLightDataDpi = 0x04 };

struct ModeItem {
    uint32_t mode;
    const char* textKey;
    bool operator==(const ModeItem&) const = default;
};
// Main modes 1..6 and 0 (off); item i is left out when bit i of the device's LedMask is set.
std::vector<ModeItem> MainModeItems(int32_t ledMask);
// Logo modes 1, 2, 3 and 0.
std::vector<ModeItem> LogoModeItems();

// Which controls a mode has, and the values a newly chosen mode starts with.
struct LightingControls {
    bool speed = false, brightness = false, colour = false;
    uint32_t startSpeed = 0, startBrightness = 0;
    bool operator==(const LightingControls&) const = default;
};
// From the mode's "LedOpt" entry (mode 0 is the seventh): option 1 the starting speed, option 2
// the starting brightness (0: the mode has none), option 5 non-zero when it takes a colour.
LightingControls MainModeControls(const std::array<LedOption, 7>& ledOpt, uint32_t mode);
// Fixed: 1 brightness and colour, 2 speed, brightness and colour, 3 speed and brightness.
LightingControls LogoModeControls(uint32_t mode);

// Slider ranges: main brightness from the device's LightParam (low byte lowest step, second
// byte highest); the others fixed.
IntRange MainBrightnessRange(const SensorCfg& cfg);
constexpr IntRange kMainSpeedRange{1, 10};
constexpr IntRange kLogoBrightnessRange{1, 10};
constexpr IntRange kLogoSpeedRange{1, 5};

// A main mode chosen: stored with its starting brightness and speed (a mode without a speed or
// brightness keeps the record's, which it does not use) (0x2, main). Nothing for a mode the
// device does not offer.
PageChange ChooseMainMode(ProfileFile& p, const SensorCfg& cfg,
                          const std::array<LedOption, 7>& ledOpt, uint32_t mode);
// A logo mode chosen: stored, its values unchanged (0x2, logo).
PageChange ChooseLogoMode(ProfileFile& p, uint32_t mode);

enum class LightSlider { kMainBrightness, kMainSpeed, kLogoBrightness, kLogoSpeed };
IntRange LightSliderRange(const SensorCfg& cfg, LightSlider which);
// A slider let go at `value` (0x2, main or logo); nothing outside its range.
PageChange CommitLightSlider(ProfileFile& p, const SensorCfg& cfg, LightSlider which,
                             int32_t value);

// The zone whose colour, brightness and speed the page's controls edit. A mouse with both
// zones lets the user choose; a mouse with one always edits that one.
enum class LightZone { kMain, kLogo };
LightZone EditableZone(const SensorCfg& cfg, LightZone wanted);

// A colour picked (wheel, preset, edit boxes) for the zone the controls edit: only that zone's
// colour changes, and the request names that zone. Nothing for a zone the device lacks.
PageChange SetLightColour(ProfileFile& p, const SensorCfg& cfg, LightZone zone, uint32_t colour);

// The fourteen preset swatches, in order (two rows of seven).
extern const std::array<uint32_t, 14> kPresetColours;

// The three edit boxes read after a change: each a number 0..255 (above 255 the box is
// replaced by "255", caret at the end; anything that is not a number counts as 0).
struct ColourEdits {
    uint32_t colour = 0;  // red + 256 * green + 65536 * blue
    std::array<std::optional<std::string>, 3> replaced;
};
ColourEdits ReadColourEdits(const std::array<std::string, 3>& texts);
// The colour as "#rrggbb", red first as everyone writes colours (the value itself keeps red in
// its low byte, as the mouse stores it).
std::string ColourLabel(uint32_t colour);

// The sleep items of a device: its SleepVal values up to the first 0, as "%d %s" in seconds
// (below 60) or minutes.
struct SleepItem {
    int32_t seconds;
    std::string text;
};
std::vector<SleepItem> SleepItems(const SensorCfg& cfg);
// One of the device's sleep items chosen (0x4000); nothing for another value.
PageChange SetSleepTime(ProfileFile& p, const SensorCfg& cfg, int32_t seconds);
// The light-off-on-moving box (0x10000).
PageChange SetLightOffOnMoving(ProfileFile& p, bool on);

// Whether the sleep control and the light-off box get the disabled look: the first connected
// receiver's product id is one of the option list "PID".
bool SleepControlsDisabled(const AppOptions& opt, uint32_t receiverPid);

// Where the colour controls stand (from the options' points): the colour wheel (173 x 173 at
// ptGradit, only the inscribed ellipse counts), the result swatch, the fourteen presets (two
// rows of seven 22 x 22 swatches from ptGrid, 18 apart, the second row 10 lower) and the
// red/green/blue edit boxes (45 x 20 from ptRGBEdit, 75 apart).
struct LightingLayout {
    ZvRect wheel, result;
    std::array<ZvRect, 14> presets;
    std::array<ZvRect, 3> edits;
};
LightingLayout LayoutLighting(const AppOptions& o);
bool InColourWheel(const ZvRect& wheel, ZvPoint pt);
// The preset swatch under `pt`, -1 for none.
int PresetAt(const LightingLayout& l, ZvPoint pt);

// What the page shows.
struct LightingView {
    bool showMain = false, showLogo = false, showSleep = false;
    // Both zones: the user chooses the zone the controls edit.
    bool chooseZone = false;
    LightZone zone = LightZone::kMain;  // the zone the controls below edit
    std::vector<ModeItem> mainItems, logoItems;
    uint32_t mainMode = 0, logoMode = 0;
    // The controls of that zone's mode.
    LightingControls controls;
    int32_t brightness = 0, speed = 0;  // that zone's sliders
    uint32_t colour = 0;
    std::string colourLabel;
    std::vector<SleepItem> sleepItems;
    int sleepItem = -1;  // the item of the record's sleep time, -1 none
    bool lightOffOnMoving = false;
};
LightingView ViewLighting(const ProfileFile& p, const SensorCfg& cfg,
                          const std::array<LedOption, 7>& ledOpt,
                          LightZone zone = LightZone::kMain);

// What the mouse picture shows on a zone's light: nothing for a zone that is off or that the
// mouse does not light, the zone's colour for a mode that takes one, and a colour cycle for a
// mode that picks its own colours. A mode with a brightness shows it: the lowest step faintly,
// the highest at full strength.
struct ZonePreview {
    enum class Kind { kOff, kColour, kCycle };
    Kind kind = Kind::kOff;
    uint32_t colour = 0;     // 0x00BBGGRR, for kColour
    uint8_t strength = 255;  // how strongly the light shows: kFaintestZone..255
    bool operator==(const ZonePreview&) const = default;
};
constexpr uint8_t kFaintestZone = 96;
ZonePreview PreviewZone(const ProfileFile& p, const SensorCfg& cfg,
                        const std::array<LedOption, 7>& ledOpt, LightZone zone);

// Whether the device has the lighting a request's data bit names (0x01, 0x02 or 0x04).
bool DeviceHasLighting(const SensorCfg& cfg, uint32_t zoneData);

// The lighting guard, asked before every lighting request: waits 10 ms and asks the mouse
// whether it holds its lighting. True only when it answered that it does; then no request is
// placed and the text tc_adv_str29 is shown. Runs on the caller's thread (the one command a
// page sends itself besides the profile switch).
bool LightingBlocked(CUSBDriver& usb);
// The one way a lighting request is placed: the guard (`held`, normally LightingBlocked on the
// mouse's link), then RequestApply(kApplyLighting, data). False, with nothing placed, when the
// mouse holds its lighting; the caller says tc_adv_str29.
bool PlaceLightingRequest(uint32_t data, const std::function<bool()>& held);
bool PlaceLightingRequest(CUSBDriver& usb, uint32_t data);
