// The performance pages without a window: what each control shows for a profile and a device,
// and what each user action stores in the profile record and asks the apply thread to write.
// Both page classes (the newer one and the older one with the Windows pointer settings) and the
// command-line tool use these rules.
//
// Every function that changes a record is handed the record (and the current DPI level where
// it matters) and changes nothing else; call it through EditCurrentProfile so that it runs
// under the profile lock. Permission (CheckDeviceReady) is asked by the caller before.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "app/device_catalogue.h"
#include "profile/profile_file.h"
#include "profile/sensor_table.h"
#include "ui/page_change.h"

// ---- DPI values --------------------------------------------------------------------------

// A typed DPI value made one of the sensor's values: an exact match, else the first of the
// nearest values; a value 65535 or more away from every entry matches nothing. 0 when nothing
// matches or there is no table.
uint32_t SnapTypedDpi(const SensorTable* table, int64_t typed);

// The values level `level` (0-based) may take: the sensor's table, narrowed by the entry's
// DpiLimit for that level where it gives one. {0, 0} without a table. A typed value outside it
// is refused rather than snapped to an end the user did not ask for.
IntRange LevelDpiRange(const SensorTable* table, const SensorCfg& cfg, int level);

// The prompt of the number entry: the text tc_dpirange, or tc_dpi with the table's range.
std::string DpiEntryPrompt(const SensorTable* table);

// A DPI value typed into the X label (`yLabel` false) or Y label of level `level`: snapped,
// stored (the Y value follows X while the profile keeps one value per level) and written
// (0x4, level). No change when it snaps to nothing or the level is outside 0..7.
PageChange TypeDpiValue(ProfileFile& p, const SensorTable* table, int level, bool yLabel,
                        int64_t typed);

// What the user is told when a typed value lay outside the sensor's range and the nearest end
// was stored instead (tc_dpi_stored with the typed and the stored value); empty when the typed
// value lay within the range (a value between two steps is simply taken to the nearer one).
std::string TypedDpiNotice(const SensorTable* table, int64_t typed, uint32_t stored);

// A thumb of a DPI bar let go at `value` (thumb 1 X, thumb 2 Y). A Y thumb while the profile
// keeps one value per level changes nothing.
PageChange CommitDpiThumb(ProfileFile& p, int level, int thumb, uint32_t value);

// The X/Y check box: one value per level or X and Y apart (0x4, all levels). Turning it off
// makes every Y equal its X, as the page's single thumb shows.
PageChange SetSeparateXY(ProfileFile& p, bool separate);

// The colour of a level (0x40, level).
PageChange SetDpiColour(ProfileFile& p, int level, uint32_t colour);

// ---- levels ------------------------------------------------------------------------------

// The level-count combo: the count becomes `count` (1..dm); the values of the levels beyond it
// are kept. With `syncCurrentLevel` (the option SyncChangeDpiLevel) level 0 becomes current and
// the request is 0x90, else 0x80. The current level is also moved to 0 (and written) when it
// would lie beyond the new count, since the mouse cannot stand on a level it does not use.
PageChange SetLevelCount(ProfileFile& p, int32_t& curLevel, int count, int dm,
                         bool syncCurrentLevel);

// A click on level i's name (offered only when PerformanceView::levelNamesClickable): it
// becomes the current level (0x10). Only levels in use.
PageChange SetCurrentLevel(const ProfileFile& p, int32_t& curLevel, int level);

// ---- report rate, lift-off, switches, sensor mode ----------------------------------------

constexpr int kRateButtons = 4;
// The rate code of rate button k (125, 250, 500, 1000 Hz), 0 for another k; and back: the
// button of a code, -1 when no button stands for it.
int32_t RateCodeOfButton(int k);
int RateButtonOfCode(int32_t code);
// The rate in Hz of a code, 0 when it is not a rate code.
int RateHzOfCode(int32_t code);
PageChange SetRateButton(ProfileFile& p, int k);  // 0x20

// Lift-off distance button 1 or 2 (0x200).
PageChange SetLiftOff(ProfileFile& p, int button);

enum class PerfSwitch { kRipple, kAngleSnap, kMotionSync };
PageChange SetPerfSwitch(ProfileFile& p, PerfSwitch which, bool on);  // 0x800, 0x400, 0x2000

// Whether the device has the HP / LP pair (its position is set); without it the page offers
// no sensor mode and never stores one.
bool HasSensorModePair(const SensorCfg& cfg);
// HP (1) or LP (0) (0x20000).
PageChange SetSensorMode(ProfileFile& p, bool hp);

// ---- DPI-indicator effect ----------------------------------------------------------------

constexpr IntRange kDpiLightLevelRange{1, 10};  // slider A
constexpr IntRange kDpiLightSpeedRange{1, 5};   // slider B

// The effect combo: mode 0 off, 1 or 2 (0x2, data 4).
PageChange SetDpiEffectMode(ProfileFile& p, int32_t mode);
// Slider A (light level) or B (speed) let go; nothing while the profile's effect is off.
PageChange CommitDpiEffectSlider(ProfileFile& p, bool speedSlider, int32_t value);

// ---- texts ----------------------------------------------------------------------------------

// The level name: "DPI %d" on the newer page, tc_dpi and the number on the older one.
std::string DpiLevelName(int level, bool olderPage);
// The effect combo's items in order: 1 tc_led_mode1, 2 tc_led_mode2, 0 tc_led_mode7.
struct EffectItem {
    int32_t mode;
    const char* textKey;
};
std::array<EffectItem, 3> DpiEffectItems();
// Under rate button k: "%d Hz".
std::string RateLabel(int k);
// Under lift-off button 1 or 2: tc_lod1 / tc_lod2, or "%d mm" when that text is empty.
std::string LiftOffLabel(int button);

// ---- what the page shows ------------------------------------------------------------------

struct DpiRowView {
    bool visible = false;         // bar and level name (levels in use)
    bool colourVisible = false;   // colour box
    bool colourReadOnly = false;  // DpiColorReadOnly
    bool yShown = false;          // the Y thumb and label (X/Y mode)
    uint32_t x = 0, y = 0, colour = 0;
    bool current = false;  // the level name drawn checked
};

struct PerformanceView {
    int rows = 0;  // rows the device has (DM, at most 8)
    std::array<DpiRowView, kDpiLevels> row{};
    bool levelNamesClickable = false;  // the device's SetDPIByClick
    bool showLevelCount = false;
    int levelCount = 0;  // the combo's choice; items are 1..rows
    bool showXYBox = false, separateXY = false;
    bool showRate = false;
    int rateButton = -1;  // checked rate button, -1 none
    bool showLod = false;
    int lodButton = 0;  // 1 or 2 checked, 0 neither
    bool showRipple = false, ripple = false;
    bool showAngleSnap = false, angleSnap = false;
    bool showMotionSync = false, motionSync = false;
    bool hasSensorMode = false;
    int sensorMode = -1;  // 1 HP, 0 LP, -1 neither
    bool showDpiEffect = false;
    int32_t effectMode = 0;
    bool showSliderA = false, showSliderB = false;  // light level for mode 1, speed for mode 2
    int32_t lightLevel = 0, lightSpeed = 0;
};

// Everything the page shows of `p` on the device `cfg` with `curLevel` current.
PerformanceView ViewPerformance(const ProfileFile& p, const SensorCfg& cfg, int32_t curLevel);

// ---- layout ---------------------------------------------------------------------------------

struct DpiRowLayout {
    ZvRect bar, colour, name, xLabel, yLabel;
};
// Row i's rectangles: bars of `barWidth` from `origin` (ptDpiBar), pitch 29 + dpih; the level
// name runs from the page-title area's left edge (43) to the colour box.
DpiRowLayout LayoutDpiRow(ZvPoint origin, int32_t barWidth, int32_t dpih, bool showXY, int row);

struct SwitchBoxLayout {
    ZvPoint ripple, angleSnap, motionSync;
};
// The three check boxes: ripple at ptRipple, angle snapping at ptFixLine or under ripple, motion
// sync under angle snapping, with a gap of 15 pixels when the device shows motion sync, else 35.
SwitchBoxLayout LayoutSwitchBoxes(const SensorCfg& cfg);

// ---- Windows pointer settings (older page) -----------------------------------------------

enum class PointerSlider { kSpeed, kScroll, kDoubleClick };
// The value behind each slider position (positions are 1-based as the slider counts them).
int32_t PointerSliderValue(PointerSlider which, int position);
// The position showing a profile value: the nearest position (the scroll slider shows position
// 10 for one screen at a time).
int PointerSliderPosition(PointerSlider which, int32_t value);
// A committed slider position or a check box (precision, one screen at a time) (0x8).
PageChange CommitPointerSlider(ProfileFile& p, PointerSlider which, int position);
PageChange SetPointerPrecision(ProfileFile& p, bool on);
// One screen at a time: wheel lines -1; off: the scroll slider's value.
PageChange SetScrollOneScreen(ProfileFile& p, bool on, int scrollPosition);
