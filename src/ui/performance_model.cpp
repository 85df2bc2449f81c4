#include "ui/performance_model.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "base/language_texts.h"
#include "device/report_rate.h"
#include "profile/eeprom_writer.h"
#include "ui/lighting_model.h"

namespace {

constexpr int64_t kNeverNear = 65535;  // a difference this large is no match at all
constexpr int32_t kTitleLeft = 43;     // left edge of the page-title area
constexpr int32_t kBarHeight = 29;

bool ValidLevel(int level) {
    return level >= 0 && level < kDpiLevels;
}

// The level's Y follows its X while the profile keeps one value per level.
void StoreLevelDpi(ProfileFile& p, int level, bool y, uint32_t value) {
    DpiLevel& l = p.dpi[static_cast<size_t>(level)];
    if (y) {
        l.y = value;
        return;
    }
    l.x = value;
    if (!p.bSeparateXY) l.y = value;
}

constexpr std::array<int, kRateButtons> kRateButtonHz = {125, 250, 500, 1000};

constexpr std::array<int32_t, 11> kPointerSpeeds = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
constexpr std::array<int32_t, 10> kScrollLines = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
constexpr std::array<int32_t, 11> kDoubleClickMs = {900, 830, 760, 690, 620, 550,
                                                    480, 410, 340, 270, 200};

std::span<const int32_t> PointerValues(PointerSlider which) {
    switch (which) {
        case PointerSlider::kSpeed:
            return kPointerSpeeds;
        case PointerSlider::kScroll:
            return kScrollLines;
        case PointerSlider::kDoubleClick:
            return kDoubleClickMs;
    }
    return {};
}

}  // namespace

// ---- DPI values --------------------------------------------------------------------------

uint32_t SnapTypedDpi(const SensorTable* table, int64_t typed) {
    if (!table) return 0;
    const uint32_t n = std::min<uint32_t>(table->count, kSensorMaxValues);
    uint32_t best = 0;
    int64_t bestDiff = kNeverNear;
    for (uint32_t i = 0; i < n; ++i) {
        const int64_t d = std::llabs(static_cast<int64_t>(table->dpi[i]) - typed);
        // Strictly smaller: of two equally near values the first one stays.
        if (d < bestDiff) {
            bestDiff = d;
            best = table->dpi[i];
            if (d == 0) break;
        }
    }
    return best;
}

IntRange LevelDpiRange(const SensorTable* table, const SensorCfg& cfg, int level) {
    const uint32_t n = table ? std::min<uint32_t>(table->count, kSensorMaxValues) : 0;
    if (n == 0) return {};
    IntRange r{table->dpi[0], table->dpi[n - 1]};
    if (ValidLevel(level)) {
        const auto& limit = cfg.DpiLimit[static_cast<size_t>(level)];
        // An entry without limits for the level leaves the table's range.
        if (limit[1] > 0 && limit[0] <= limit[1]) {
            r.lo = std::max(r.lo, limit[0]);
            r.hi = std::min(r.hi, limit[1]);
        }
    }
    return r;
}

std::string DpiEntryPrompt(const SensorTable* table) {
    const std::string& range = GetText("tc_dpirange");
    if (!range.empty() || !table || table->count == 0) return range;
    char buf[200];
    std::snprintf(buf, sizeof buf, "%s   (%d ~ %d)", GetText("tc_dpi").c_str(), table->dpi[0],
                  table->dpi[std::min<uint32_t>(table->count, kSensorMaxValues) - 1]);
    return buf;
}

PageChange TypeDpiValue(ProfileFile& p, const SensorTable* table, int level, bool yLabel,
                        int64_t typed) {
    if (!ValidLevel(level) || (yLabel && !p.bSeparateXY)) return {};
    const uint32_t v = SnapTypedDpi(table, typed);
    if (v == 0) return {};
    StoreLevelDpi(p, level, yLabel, v);
    return Request(kApplyDpi, static_cast<uint32_t>(level));
}

std::string TypedDpiNotice(const SensorTable* table, int64_t typed, uint32_t stored) {
    const uint32_t n = table ? std::min<uint32_t>(table->count, kSensorMaxValues) : 0;
    if (n == 0 || stored == 0) return {};
    if (typed >= table->dpi[0] && typed <= table->dpi[n - 1]) return {};
    // Placeholders rather than a format: a translation cannot break the numbers' printing.
    std::string text = GetText("tc_dpi_stored");
    // A language file of the user's own without this text: the English one.
    if (text.empty()) text = "The sensor does not reach {typed} DPI: {stored} DPI was stored.";
    auto put = [&text](const std::string& name, int64_t v) {
        const auto at = text.find(name);
        if (at != std::string::npos) text.replace(at, name.size(), std::to_string(v));
    };
    put("{typed}", typed);
    put("{stored}", stored);
    return text;
}

PageChange CommitDpiThumb(ProfileFile& p, int level, int thumb, uint32_t value) {
    if (!ValidLevel(level) || (thumb != 1 && thumb != 2)) return {};
    if (thumb == 2 && !p.bSeparateXY) return {};
    StoreLevelDpi(p, level, thumb == 2, value);
    return Request(kApplyDpi, static_cast<uint32_t>(level));
}

PageChange SetSeparateXY(ProfileFile& p, bool separate) {
    p.bSeparateXY = separate ? 1 : 0;
    if (!separate)
        for (DpiLevel& l : p.dpi) l.y = l.x;
    return Request(kApplyDpi, kAllItems);
}

PageChange SetDpiColour(ProfileFile& p, int level, uint32_t colour) {
    if (!ValidLevel(level)) return {};
    p.dpi[static_cast<size_t>(level)].colour = colour;
    return Request(kApplyDpiColours, static_cast<uint32_t>(level));
}

// ---- levels ------------------------------------------------------------------------------

PageChange SetLevelCount(ProfileFile& p, int32_t& curLevel, int count, int dm,
                         bool syncCurrentLevel) {
    if (count < 1 || count > std::min(dm, kDpiLevels)) return {};
    p.nDpiLevels = count;
    for (int i = 0; i < kDpiLevels; ++i) p.dpi[static_cast<size_t>(i)].unused = i >= count;
    if (syncCurrentLevel || curLevel >= count) {
        curLevel = 0;
        return Request(kApplyLevelCount | kApplyCurLevel, 0);
    }
    return Request(kApplyLevelCount, 0);
}

PageChange SetCurrentLevel(const ProfileFile& p, int32_t& curLevel, int level) {
    if (level < 0 || level >= std::min(p.nDpiLevels, kDpiLevels)) return {};
    curLevel = level;
    return Request(kApplyCurLevel, 0);
}

// ---- report rate, lift-off, switches, sensor mode ----------------------------------------

int32_t RateCodeOfButton(int k) {
    if (k < 0 || k >= kRateButtons) return 0;
    const ReportRate* r = RateOfHz(kRateButtonHz[static_cast<size_t>(k)]);
    return r ? r->code : 0;
}

int RateButtonOfCode(int32_t code) {
    const ReportRate* r = RateOfCode(code);
    for (int k = 0; r && k < kRateButtons; ++k)
        if (kRateButtonHz[static_cast<size_t>(k)] == r->hz) return k;
    return -1;
}

int RateHzOfCode(int32_t code) {
    const ReportRate* r = RateOfCode(code);
    return r ? r->hz : 0;
}

PageChange SetRateButton(ProfileFile& p, int k) {
    if (k < 0 || k >= kRateButtons) return {};
    p.nRate = RateCodeOfButton(k);
    return Request(kApplyRate, 0);
}

PageChange SetLiftOff(ProfileFile& p, int button) {
    if (button != 1 && button != 2) return {};
    p.nLod = button;
    return Request(kApplyLod, 0);
}

PageChange SetPerfSwitch(ProfileFile& p, PerfSwitch which, bool on) {
    const int32_t v = on ? 1 : 0;
    switch (which) {
        case PerfSwitch::kRipple:
            p.nRipple = v;
            return Request(kApplyRipple, 0);
        case PerfSwitch::kAngleSnap:
            p.nFixLine = v;
            return Request(kApplyAngleSnap, 0);
        case PerfSwitch::kMotionSync:
            p.nMotionSync = v;
            return Request(kApplyMotionSync, 0);
    }
    return {};
}

bool HasSensorModePair(const SensorCfg& cfg) {
    return cfg.ptSensorMode != ZvPoint{};
}

PageChange SetSensorMode(ProfileFile& p, bool hp) {
    p.nSensorMode = hp ? 1 : 0;
    return Request(kApplySensorMode, 0);
}

// ---- DPI-indicator effect ----------------------------------------------------------------

PageChange SetDpiEffectMode(ProfileFile& p, int32_t mode) {
    if (mode < 0 || mode > 2) return {};
    p.nDpiLightMode = mode;
    return Request(kApplyLighting, kLightDataDpi);
}

PageChange CommitDpiEffectSlider(ProfileFile& p, bool speedSlider, int32_t value) {
    if (p.nDpiLightMode == 0) return {};
    if (!(speedSlider ? kDpiLightSpeedRange : kDpiLightLevelRange).Contains(value)) return {};
    (speedSlider ? p.nDpiLightSpeed : p.nDpiLightBright) = value;
    return Request(kApplyLighting, kLightDataDpi);
}

// ---- texts ----------------------------------------------------------------------------------

std::string DpiLevelName(int level, bool olderPage) {
    const std::string n = std::to_string(level + 1);
    return olderPage ? GetText("tc_dpi") + " " + n : "DPI " + n;
}

std::array<EffectItem, 3> DpiEffectItems() {
    return {{{1, "tc_led_mode1"}, {2, "tc_led_mode2"}, {0, "tc_led_mode7"}}};
}

std::string RateLabel(int k) {
    const int hz = RateHzOfCode(RateCodeOfButton(k));
    return hz ? std::to_string(hz) + " Hz" : std::string();
}

std::string LiftOffLabel(int button) {
    const std::string& t = GetText(button == 1 ? "tc_lod1" : "tc_lod2");
    return t.empty() ? std::to_string(button) + " mm" : t;
}

// ---- what the page shows ------------------------------------------------------------------

PerformanceView ViewPerformance(const ProfileFile& p, const SensorCfg& cfg, int32_t curLevel) {
    PerformanceView v;
    const bool dpi = cfg.ShowDpi != 0;
    const bool separate = p.bSeparateXY != 0;
    v.rows = std::clamp(cfg.DM, 0, kDpiLevels);
    for (int i = 0; i < v.rows; ++i) {
        DpiRowView& r = v.row[static_cast<size_t>(i)];
        const DpiLevel& l = p.dpi[static_cast<size_t>(i)];
        r.visible = dpi && i < p.nDpiLevels;
        r.colourVisible = r.visible && cfg.ShowDpiColor;
        r.colourReadOnly = cfg.DpiColorReadOnly != 0;
        r.yShown = r.visible && cfg.ShowXY && separate;
        r.x = l.x;
        r.y = separate ? l.y : l.x;
        r.colour = l.colour;
        r.current = i == curLevel;
    }
    v.levelNamesClickable = cfg.SetDPIByClick != 0;
    v.showLevelCount = dpi;
    v.levelCount = p.nDpiLevels >= 1 && p.nDpiLevels <= v.rows ? p.nDpiLevels : 0;
    v.showXYBox = dpi && cfg.ShowXY;
    v.separateXY = separate;
    v.showRate = cfg.ShowUsbRate != 0;
    v.rateButton = RateButtonOfCode(p.nRate);
    v.showLod = cfg.ShowLOD != 0;
    v.lodButton = p.nLod == 1 || p.nLod == 2 ? p.nLod : 0;
    v.showRipple = cfg.ShowRipple != 0;
    v.ripple = p.nRipple != 0;
    v.showAngleSnap = cfg.ShowFixLine != 0;
    v.angleSnap = p.nFixLine != 0;
    v.showMotionSync = cfg.ShowMotionSync != 0;
    v.motionSync = p.nMotionSync != 0;
    v.hasSensorMode = HasSensorModePair(cfg);
    v.sensorMode = p.nSensorMode == 1 ? 1 : p.nSensorMode == 0 ? 0 : -1;
    v.showDpiEffect = dpi && cfg.ShowDpiLED;
    v.effectMode = p.nDpiLightMode;
    v.showSliderA = v.showDpiEffect && p.nDpiLightMode == 1;
    v.showSliderB = v.showDpiEffect && p.nDpiLightMode == 2;
    v.lightLevel = p.nDpiLightBright;
    v.lightSpeed = p.nDpiLightSpeed;
    return v;
}

// ---- layout ---------------------------------------------------------------------------------

DpiRowLayout LayoutDpiRow(ZvPoint origin, int32_t barWidth, int32_t dpih, bool showXY, int row) {
    DpiRowLayout r;
    const int32_t top = origin.y + row * (kBarHeight + dpih);
    r.bar = {origin.x, top, origin.x + barWidth, top + kBarHeight};
    r.colour = {origin.x - 33, top + 6, origin.x - 15, top + 24};
    r.name = {kTitleLeft, top, r.colour.left - 1, r.bar.bottom};
    const int32_t right = r.bar.right, bottom = r.bar.bottom;
    if (showXY) {
        r.xLabel = {right + 8, top, right + 50, top + 14};
        r.yLabel = {right + 8, bottom - 14, right + 50, bottom};
    } else {
        r.xLabel = {right + 10, top, right + 50, bottom};
        r.yLabel = {right + 8, bottom, right + 50, bottom + 14};
    }
    return r;
}

SwitchBoxLayout LayoutSwitchBoxes(const SensorCfg& cfg) {
    constexpr int32_t kBox = 11;
    const int32_t gap = cfg.ShowMotionSync ? 15 : 35;
    SwitchBoxLayout s;
    s.ripple = cfg.ptRipple;
    s.angleSnap =
        cfg.ptFixLine != ZvPoint{} ? cfg.ptFixLine : ZvPoint{s.ripple.x, s.ripple.y + kBox + gap};
    s.motionSync = {s.angleSnap.x, s.angleSnap.y + kBox + gap};
    return s;
}

// ---- Windows pointer settings (older page) -----------------------------------------------

int32_t PointerSliderValue(PointerSlider which, int position) {
    const auto values = PointerValues(which);
    if (position < 1 || position > static_cast<int>(values.size())) return 0;
    return values[static_cast<size_t>(position - 1)];
}

int PointerSliderPosition(PointerSlider which, int32_t value) {
    const auto values = PointerValues(which);
    if (which == PointerSlider::kScroll && value == -1) return static_cast<int>(values.size());
    size_t best = 0;
    for (size_t i = 1; i < values.size(); ++i)
        if (std::abs(values[i] - value) < std::abs(values[best] - value)) best = i;
    return static_cast<int>(best) + 1;
}

PageChange CommitPointerSlider(ProfileFile& p, PointerSlider which, int position) {
    const int32_t v = PointerSliderValue(which, position);
    if (v == 0) return {};
    switch (which) {
        case PointerSlider::kSpeed:
            p.nPointerSpeed = v;
            break;
        case PointerSlider::kScroll:
            // While one screen at a time is checked the slider only waits for the box.
            if (p.nWheelLines != -1) p.nWheelLines = v;
            break;
        case PointerSlider::kDoubleClick:
            p.nDbClickTime = v;
            break;
    }
    return Request(kApplyWindows, 0);
}

PageChange SetPointerPrecision(ProfileFile& p, bool on) {
    p.nEnhancePrecision = on ? 1 : 0;
    return Request(kApplyWindows, 0);
}

PageChange SetScrollOneScreen(ProfileFile& p, bool on, int scrollPosition) {
    const int32_t lines = on ? -1 : PointerSliderValue(PointerSlider::kScroll, scrollPosition);
    if (lines == 0) return {};
    p.nWheelLines = lines;
    return Request(kApplyWindows, 0);
}
