#include "ui/lighting_model.h"

#include <algorithm>
#include <cstdio>

#include "base/language_texts.h"
#include "device/usb_driver.h"
#include "platform/sys.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"

namespace {

constexpr std::array<ModeItem, 7> kMainModes = {{{1, "tc_led_mode1"},
                                                 {2, "tc_led_mode2"},
                                                 {3, "tc_led_mode3"},
                                                 {4, "tc_led_mode4"},
                                                 {5, "tc_led_mode5"},
                                                 {6, "tc_led_mode6"},
                                                 {0, "tc_led_mode7"}}};

// Position of a main mode in the list (and of its LedOpt entry); -1 for no mode.
int MainModeSlot(uint32_t mode) {
    if (mode > 6) return -1;
    return mode == 0 ? 6 : static_cast<int>(mode) - 1;
}

bool Offered(const SensorCfg& cfg, uint32_t mode) {
    const int slot = MainModeSlot(mode);
    return slot >= 0 && !(cfg.LedMask & (1 << slot));
}

}  // namespace

const std::array<uint32_t, 14> kPresetColours = {
    Rgb(255, 0, 0),     Rgb(0, 255, 255),  Rgb(0, 255, 0),    Rgb(255, 0, 255),  Rgb(255, 255, 0),
    Rgb(255, 80, 0),    Rgb(0, 0, 255),    Rgb(228, 0, 127),  Rgb(46, 167, 224), Rgb(96, 25, 134),
    Rgb(255, 255, 255), Rgb(140, 179, 36), Rgb(255, 156, 51), Rgb(209, 113, 174)};

std::vector<ModeItem> MainModeItems(int32_t ledMask) {
    std::vector<ModeItem> items;
    for (size_t i = 0; i < kMainModes.size(); ++i)
        if (!(ledMask & (1 << i))) items.push_back(kMainModes[i]);
    return items;
}

std::vector<ModeItem> LogoModeItems() {
    return {{1, "tc_led_mode1"}, {2, "tc_led_mode2"}, {3, "tc_led_mode4"}, {0, "tc_led_mode7"}};
}

LightingControls MainModeControls(const std::array<LedOption, 7>& ledOpt, uint32_t mode) {
    const int slot = MainModeSlot(mode);
    if (slot < 0) return {};
    const auto& o = ledOpt[static_cast<size_t>(slot)].opt;
    LightingControls c;
    c.startSpeed = o[0];
    c.startBrightness = o[1];
    c.speed = o[0] != 0;
    c.brightness = o[1] != 0;
    c.colour = o[4] != 0;
    return c;
}

LightingControls LogoModeControls(uint32_t mode) {
    LightingControls c;
    c.brightness = mode >= 1 && mode <= 3;
    c.speed = mode == 2 || mode == 3;
    c.colour = mode == 1 || mode == 2;
    return c;
}

IntRange MainBrightnessRange(const SensorCfg& cfg) {
    return {cfg.LightParam & 0xFF, (cfg.LightParam >> 8) & 0xFF};
}

PageChange ChooseMainMode(ProfileFile& p, const SensorCfg& cfg,
                          const std::array<LedOption, 7>& ledOpt, uint32_t mode) {
    if (!Offered(cfg, mode)) return {};
    const LightingControls c = MainModeControls(ledOpt, mode);
    p.mainLight.mode = mode;
    // 0 means the mode has no such control: a step outside every slider is not stored.
    if (c.startBrightness) p.mainLight.brightness = c.startBrightness;
    if (c.startSpeed) p.mainLight.speed = c.startSpeed;
    return Request(kApplyLighting, kLightDataMain);
}

PageChange ChooseLogoMode(ProfileFile& p, uint32_t mode) {
    if (mode > 3) return {};
    p.logoLight.mode = mode;
    return Request(kApplyLighting, kLightDataLogo);
}

IntRange LightSliderRange(const SensorCfg& cfg, LightSlider which) {
    switch (which) {
        case LightSlider::kMainBrightness:
            return MainBrightnessRange(cfg);
        case LightSlider::kMainSpeed:
            return kMainSpeedRange;
        case LightSlider::kLogoBrightness:
            return kLogoBrightnessRange;
        case LightSlider::kLogoSpeed:
            return kLogoSpeedRange;
    }
    return {};
}

PageChange CommitLightSlider(ProfileFile& p, const SensorCfg& cfg, LightSlider which,
                             int32_t value) {
    if (!LightSliderRange(cfg, which).Contains(value)) return {};
    const auto v = static_cast<uint32_t>(value);
    switch (which) {
        case LightSlider::kMainBrightness:
            p.mainLight.brightness = v;
            break;
        case LightSlider::kMainSpeed:
            p.mainLight.speed = v;
            break;
        case LightSlider::kLogoBrightness:
            p.logoLight.brightness = v;
            break;
        case LightSlider::kLogoSpeed:
            p.logoLight.speed = v;
            break;
    }
    const bool main = which == LightSlider::kMainBrightness || which == LightSlider::kMainSpeed;
    return Request(kApplyLighting, main ? kLightDataMain : kLightDataLogo);
}

LightZone EditableZone(const SensorCfg& cfg, LightZone wanted) {
    if (wanted == LightZone::kLogo && !cfg.ShowLogoEffect) return LightZone::kMain;
    if (wanted == LightZone::kMain && !cfg.ShowMainEffect && cfg.ShowLogoEffect)
        return LightZone::kLogo;
    return wanted;
}

PageChange SetLightColour(ProfileFile& p, const SensorCfg& cfg, LightZone zone, uint32_t colour) {
    // Each zone keeps the colour the user gave it: a pick never lands in the other zone.
    if (zone == LightZone::kMain) {
        if (!cfg.ShowMainEffect) return {};
        p.mainLight.colour = colour;
        return Request(kApplyLighting, kLightDataMain);
    }
    if (!cfg.ShowLogoEffect) return {};
    p.logoLight.colour = colour;
    return Request(kApplyLighting, kLightDataLogo);
}

ColourEdits ReadColourEdits(const std::array<std::string, 3>& texts) {
    ColourEdits e;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string& t = texts[i];
        const bool number = !t.empty() && std::all_of(t.begin(), t.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
        uint32_t v = 0;
        if (number) {
            // Digits beyond the fourth cannot make the value smaller than 256.
            for (char c : t) v = std::min<uint32_t>(v * 10 + static_cast<uint32_t>(c - '0'), 1000);
            if (v > 255) {
                v = 255;
                e.replaced[i] = "255";
            }
        }
        e.colour |= v << (8 * i);
    }
    return e;
}

std::string ColourLabel(uint32_t colour) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return buf;
}

LightingLayout LayoutLighting(const AppOptions& o) {
    constexpr int32_t kWheel = 173, kResult = 30, kSwatch = 22, kEditW = 45, kEditH = 20;
    auto box = [](ZvPoint at, int32_t w, int32_t h) {
        return ZvRect{at.x, at.y, at.x + w, at.y + h};
    };
    LightingLayout l;
    l.wheel = box(o.ptGradit, kWheel, kWheel);
    l.result = box(o.ptResult, kResult, kResult);
    for (int32_t i = 0; i < 14; ++i)
        l.presets[static_cast<size_t>(i)] =
            box({o.ptGrid.x + (i % 7) * (kSwatch + 18), o.ptGrid.y + (i / 7) * (kSwatch + 10)},
                kSwatch, kSwatch);
    for (int32_t i = 0; i < 3; ++i)
        l.edits[static_cast<size_t>(i)] =
            box({o.ptRGBEdit.x + i * 75, o.ptRGBEdit.y}, kEditW, kEditH);
    return l;
}

bool InColourWheel(const ZvRect& wheel, ZvPoint pt) {
    // Twice the coordinates, so the centre of an odd-sized square stays whole.
    const int64_t w = wheel.right - wheel.left, h = wheel.bottom - wheel.top;
    if (w <= 0 || h <= 0) return false;
    const int64_t dx = 2 * (pt.x - wheel.left) + 1 - w, dy = 2 * (pt.y - wheel.top) + 1 - h;
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

int PresetAt(const LightingLayout& l, ZvPoint pt) {
    for (size_t i = 0; i < l.presets.size(); ++i) {
        const ZvRect& r = l.presets[i];
        if (pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<SleepItem> SleepItems(const SensorCfg& cfg) {
    std::vector<SleepItem> items;
    for (int32_t s : cfg.SleepVal) {
        if (s == 0) break;
        char buf[80];
        if (s < 60)
            std::snprintf(buf, sizeof buf, "%d %s", s, GetText("tc_adv_str24").c_str());
        else
            std::snprintf(buf, sizeof buf, "%d %s", s / 60, GetText("tc_adv_str22").c_str());
        items.push_back({s, buf});
    }
    return items;
}

PageChange SetSleepTime(ProfileFile& p, const SensorCfg& cfg, int32_t seconds) {
    if (seconds <= 0 ||
        std::find(cfg.SleepVal.begin(), cfg.SleepVal.end(), seconds) == cfg.SleepVal.end())
        return {};
    p.nSleepTime = seconds;
    return Request(kApplySleep, 0);
}

PageChange SetLightOffOnMoving(ProfileFile& p, bool on) {
    p.nLightOffOnMoving = on ? 1 : 0;
    return Request(kApplyLightOffMoving, 0);
}

bool SleepControlsDisabled(const AppOptions& opt, uint32_t receiverPid) {
    const auto n = static_cast<size_t>(std::clamp<int32_t>(opt.nPIDNum, 0, 10));
    return std::find(opt.PID.begin(), opt.PID.begin() + n, receiverPid) != opt.PID.begin() + n;
}

LightingView ViewLighting(const ProfileFile& p, const SensorCfg& cfg,
                          const std::array<LedOption, 7>& ledOpt, LightZone zone) {
    LightingView v;
    v.showMain = cfg.ShowMainEffect != 0;
    v.showLogo = cfg.ShowLogoEffect != 0;
    v.showSleep = cfg.ShowSleep != 0;
    if (v.showMain) v.mainItems = MainModeItems(cfg.LedMask);
    if (v.showLogo) v.logoItems = LogoModeItems();
    v.mainMode = p.mainLight.mode;
    v.logoMode = p.logoLight.mode;
    v.chooseZone = v.showMain && v.showLogo;
    v.zone = EditableZone(cfg, zone);
    const bool logo = v.zone == LightZone::kLogo;
    const LightBlock& block = logo ? p.logoLight : p.mainLight;
    v.controls = logo && v.showLogo    ? LogoModeControls(p.logoLight.mode)
                 : !logo && v.showMain ? MainModeControls(ledOpt, p.mainLight.mode)
                                       : LightingControls{};
    v.brightness = static_cast<int32_t>(block.brightness);
    v.speed = static_cast<int32_t>(block.speed);
    v.colour = block.colour;
    v.colourLabel = ColourLabel(block.colour);
    v.sleepItems = SleepItems(cfg);
    for (size_t i = 0; i < v.sleepItems.size(); ++i)
        if (v.sleepItems[i].seconds == p.nSleepTime) v.sleepItem = static_cast<int>(i);
    v.lightOffOnMoving = p.nLightOffOnMoving != 0;
    return v;
}

ZonePreview PreviewZone(const ProfileFile& p, const SensorCfg& cfg,
                        const std::array<LedOption, 7>& ledOpt, LightZone zone) {
    const bool logo = zone == LightZone::kLogo;
    if (!(logo ? cfg.ShowLogoEffect : cfg.ShowMainEffect)) return {};
    const LightBlock& block = logo ? p.logoLight : p.mainLight;
    if (block.mode == 0) return {};
    const LightingControls c =
        logo ? LogoModeControls(block.mode) : MainModeControls(ledOpt, block.mode);
    ZonePreview v;
    v.kind = c.colour ? ZonePreview::Kind::kColour : ZonePreview::Kind::kCycle;
    v.colour = c.colour ? block.colour & 0xFFFFFF : 0;
    if (c.brightness) {
        const IntRange r = logo ? kLogoBrightnessRange : MainBrightnessRange(cfg);
        if (r.hi > r.lo) {
            const int32_t b = std::clamp(static_cast<int32_t>(block.brightness), r.lo, r.hi);
            v.strength = static_cast<uint8_t>(kFaintestZone +
                                              (255 - kFaintestZone) * (b - r.lo) / (r.hi - r.lo));
        }
    }
    return v;
}

bool DeviceHasLighting(const SensorCfg& cfg, uint32_t zoneData) {
    switch (zoneData) {
        case kLightDataLogo:
            return cfg.ShowLogoEffect != 0;
        case kLightDataMain:
            return cfg.ShowMainEffect != 0;
        case kLightDataDpi:
            return cfg.ShowDpiLED != 0;
    }
    return false;
}

bool LightingBlocked(CUSBDriver& usb) {
    // The mouse may hold its lighting while it shows something of its own.
    platform::Sleep(10);
    int blocked = 0;
    return usb.LightingGuardQuery(&blocked) == 1 && blocked;
}

bool PlaceLightingRequest(uint32_t data, const std::function<bool()>& held) {
    if (held()) return false;
    RequestApply(kApplyLighting, data);
    return true;
}

bool PlaceLightingRequest(CUSBDriver& usb, uint32_t data) {
    return PlaceLightingRequest(data, [&usb] { return LightingBlocked(usb); });
}
