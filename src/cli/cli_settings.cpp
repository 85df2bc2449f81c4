#include "cli/cli_command.h"

#include <algorithm>
#include <optional>

#include "app/device_catalogue.h"
#include "base/language_texts.h"
#include "cli/cli_args.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_state.h"
#include "profile/sensor_table.h"
#include "ui/buttons_page_model.h"
#include "ui/device_session.h"
#include "ui/lighting_model.h"
#include "ui/page_change.h"
#include "ui/performance_model.h"

namespace cli {

// The settings of `set`. The words are checked first; what depends on the mouse's catalogue entry
// is checked once it is known, before anything is written.
int App::RateSetting(const Words& w) {
    const int64_t hz = Number(w, 2, 1, 100000, "rate");
    NoMoreWords(w, 3);
    int button = -1;
    for (int k = 0; k < kRateButtons; ++k)
        if (RateHzOfCode(RateCodeOfButton(k)) == hz) button = k;
    if (button < 0) throw UsageError{"rate must be 125, 250, 500 or 1000: " + w[2]};
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetRateButton(p, button); },
                  [](const ProfileFile& p, int32_t) {
                      return "rate: " + std::to_string(RateHzOfCode(p.nRate)) + " Hz";
                  });
}

int App::DpiSetting(const Words& w) {
    const int level = static_cast<int>(Number(w, 2, 1, 1000000, "level"));
    const std::string& v = Word(w, 3, "DPI value");
    const size_t colon = v.find(':');
    auto x = ParseNumber(v.substr(0, colon), 1, 1000000);
    auto y = colon == std::string::npos ? x : ParseNumber(v.substr(colon + 1), 1, 1000000);
    if (!x || !y) throw UsageError{"DPI value must be <x> or <x>:<y>: " + v};
    NoMoreWords(w, 4);
    if (int r = ConnectForRecord()) return r;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    if (level > cfg.DM)
        throw UsageError{"level must be a number from 1 to " + std::to_string(cfg.DM) + ": " +
                         w[2]};
    const SensorTable* table = FindSensorTable(SensorId());
    const IntRange range = LevelDpiRange(table, cfg, level - 1);
    if (range.hi == 0) {
        Err("this mouse's sensor has no DPI table; no DPI value can be written");
        return kExitFailed;
    }
    for (int64_t d : {*x, *y})
        if (!range.Contains(d))
            throw UsageError{"DPI of level " + std::to_string(level) + " must be from " +
                             std::to_string(range.lo) + " to " + std::to_string(range.hi) + ": " +
                             std::to_string(d)};
    const int64_t tx = *x, ty = *y;
    return Change(
        [&](ProfileFile& p, int32_t&) {
            if (ty != tx && !p.bSeparateXY)
                return Refused("this profile keeps one DPI value per level: give one value");
            PageChange c = TypeDpiValue(p, table, level - 1, false, tx);
            if (p.bSeparateXY) c = TypeDpiValue(p, table, level - 1, true, ty);
            return c;
        },
        [=](const ProfileFile& p, int32_t) {
            const DpiLevel& l = p.dpi[static_cast<size_t>(level - 1)];
            std::string s = "level " + std::to_string(level) + ": " + std::to_string(l.x);
            if (l.y != l.x) s += ":" + std::to_string(l.y);
            s += " DPI";
            if (l.x != tx || l.y != ty)
                s += " (nearest to " +
                     (tx == ty ? std::to_string(tx)
                               : std::to_string(tx) + ":" + std::to_string(ty)) +
                     ")";
            return s;
        });
}

int App::DpiLevelSetting(const Words& w) {
    const std::string& what = w[1];
    const int n = static_cast<int>(Number(w, 2, 1, 1000000, "level"));
    std::optional<uint32_t> colour;
    if (what == "dpi-color") {
        colour = ParseColour(Word(w, 3, "colour"));
        if (!colour) throw UsageError{"colour must be #rrggbb: " + w[3]};
    }
    NoMoreWords(w, colour ? 4 : 3);
    if (int r = ConnectForRecord()) return r;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    if (n > cfg.DM)
        throw UsageError{"level must be a number from 1 to " + std::to_string(cfg.DM) + ": " +
                         w[2]};
    if (what == "dpi-count")
        // As the window does: with SyncChangeDpiLevel the first level becomes the one in
        // use; without it the level in use stays unless it falls outside the new count.
        return Change(
            [&](ProfileFile& p, int32_t& cur) {
                return SetLevelCount(p, cur, n, cfg.DM, m_options.SyncChangeDpiLevel != 0);
            },
            [](const ProfileFile& p, int32_t cur) {
                return "DPI levels: " + std::to_string(p.nDpiLevels) + ", current " +
                       std::to_string(cur + 1);
            });
    if (what == "dpi-color")
        return Change([&](ProfileFile& p, int32_t&) { return SetDpiColour(p, n - 1, *colour); },
                      [n](const ProfileFile& p, int32_t) {
                          return "level " + std::to_string(n) +
                                 " colour: " + ColourText(p.dpi[static_cast<size_t>(n - 1)].colour);
                      });
    // The level chosen must be in use on the mouse, so its count is asked for rather than
    // taken from the cache.
    if (m_oneRecord && !m_session.RefreshLevelCount()) {
        Err("the mouse's DPI level count could not be read");
        return kExitFailed;
    }
    const int32_t count =
        m_profile.Read([](const ProfileState& s) { return s.pFile ? s.pFile->nDpiLevels : 1; });
    if (n > count)
        throw UsageError{"level must be a number from 1 to " + std::to_string(count) +
                         " (the levels in use): " + w[2]};
    return Change([&](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, n - 1); },
                  [](const ProfileFile&, int32_t cur) {
                      return "current DPI level: " + std::to_string(cur + 1);
                  });
}

int App::LodSetting(const Words& w) {
    const int button = static_cast<int>(Number(w, 2, 1, 2, "lod"));
    NoMoreWords(w, 3);
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetLiftOff(p, button); },
                  [](const ProfileFile& p, int32_t) {
                      return "lift-off distance: " + std::to_string(p.nLod);
                  });
}

int App::SwitchSetting(const Words& w) {
    static const std::pair<const char*, PerfSwitch> kSwitches[] = {
        {"ripple", PerfSwitch::kRipple},
        {"angle-snap", PerfSwitch::kAngleSnap},
        {"motion-sync", PerfSwitch::kMotionSync},
    };
    for (const auto& sw : kSwitches) {
        if (w[1] != sw.first) continue;
        const PerfSwitch which = sw.second;
        const bool on = OnOff(w, 2, sw.first) != 0;
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        const std::string name = sw.first;
        return Change([&](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, which, on); },
                      [=](const ProfileFile&, int32_t) { return name + (on ? ": on" : ": off"); });
    }
    throw Unknown("setting", w[1], {"ripple", "angle-snap", "motion-sync"});
}

int App::SensorModeSetting(const Words& w) {
    const std::string& m = Word(w, 2, "sensor mode");
    if (m != "hp" && m != "lp")
        throw UsageError{"sensor mode must be hp or lp: " + m, NearestWord(m, {"hp", "lp"})};
    NoMoreWords(w, 3);
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetSensorMode(p, m == "hp"); },
                  [](const ProfileFile& p, int32_t) {
                      return std::string("sensor mode: ") + (p.nSensorMode ? "hp" : "lp");
                  });
}

int App::DebounceSetting(const Words& w) {
    const IntRange range = DebounceRange(m_options.DebounceRange);
    const int32_t ms = static_cast<int32_t>(Number(w, 2, range.lo, range.hi, "debounce"));
    NoMoreWords(w, 3);
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetDebounce(p, ms, range); },
                  [](const ProfileFile& p, int32_t) {
                      return "debounce: " + std::to_string(p.nDebounce) + " ms";
                  });
}

int App::SleepSetting(const Words& w) {
    const int32_t s = static_cast<int32_t>(Number(w, 2, 0, 100000, "sleep"));
    NoMoreWords(w, 3);
    if (int r = ConnectForRecord()) return r;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    const std::vector<SleepItem> items = SleepItems(cfg);
    if (std::none_of(items.begin(), items.end(),
                     [s](const SleepItem& i) { return i.seconds == s; })) {
        std::string offered;
        for (const SleepItem& i : items) offered += " " + std::to_string(i.seconds);
        throw UsageError{"sleep must be one of these seconds:" + offered};
    }
    return Change([&](ProfileFile& p, int32_t&) { return SetSleepTime(p, cfg, s); },
                  [](const ProfileFile& p, int32_t) {
                      return "sleep: " + std::to_string(p.nSleepTime) + " s";
                  });
}

int App::AutoSleepSetting(const Words& w) {
    const auto v = AutoSleepValueOfSeconds(Number(w, 2, 0, 100000, "auto-sleep"));
    NoMoreWords(w, 3);
    if (!v) {
        std::string offered;
        for (int32_t t : kAutoSleepTable) offered += " " + std::to_string(AutoSleepSeconds(t));
        throw UsageError{"auto sleep must be one of these seconds:" + offered};
    }
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetAutoSleep(p, *v); },
                  [](const ProfileFile& p, int32_t) {
                      return "auto sleep: " + std::to_string(AutoSleepSeconds(p.nAutoSleep)) + " s";
                  });
}

int App::LightOffMovingSetting(const Words& w) {
    const bool on = OnOff(w, 2, "light-off-moving") != 0;
    NoMoreWords(w, 3);
    if (int r = ConnectForRecord()) return r;
    return Change([&](ProfileFile& p, int32_t&) { return SetLightOffOnMoving(p, on); },
                  [on](const ProfileFile&, int32_t) {
                      return std::string("light off while moving: ") + (on ? "on" : "off");
                  });
}

int App::LightSetting(const Words& w) {
    const std::string& zone = Word(w, 2, "lighting (main, logo or dpi)");
    const std::vector<NamedValue>* names = zone == "main"   ? &MainModeNames()
                                           : zone == "logo" ? &LogoModeNames()
                                           : zone == "dpi"  ? &DpiLightModeNames()
                                                            : nullptr;
    if (!names) throw Unknown("lighting (main, logo or dpi)", zone, {"main", "logo", "dpi"});
    auto mode = LookUp(*names, Word(w, 3, "mode"));
    if (!mode) throw Unknown(zone + " lighting mode", w[3], NamesOf(*names));
    const IntRange speedRange = zone == "main"   ? kMainSpeedRange
                                : zone == "logo" ? kLogoSpeedRange
                                                 : kDpiLightSpeedRange;
    std::optional<int32_t> bright, speed;
    std::optional<uint32_t> colour;
    for (size_t i = 4; i < w.size(); i += 2) {
        if (w[i] == "--brightness")
            bright = static_cast<int32_t>(Number(w, i + 1, 1, 10, "brightness"));
        else if (w[i] == "--speed")
            speed = static_cast<int32_t>(Number(w, i + 1, speedRange.lo, speedRange.hi, "speed"));
        else if (w[i] == "--color" || w[i] == "--colour") {
            colour = ParseColour(Word(w, i + 1, "colour"));
            if (!colour) throw UsageError{"colour must be #rrggbb"};
        } else
            throw UsageError{"unexpected \"" + w[i] + "\""};
    }
    if (int r = ConnectForRecord()) return r;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    const uint32_t bit = zone == "main"   ? kLightDataMain
                         : zone == "logo" ? kLightDataLogo
                                          : kLightDataDpi;
    if (!DeviceHasLighting(cfg, bit)) {
        Err("this mouse has no " + zone + " lighting");
        return kExitFailed;
    }
    const auto offered = MainModeItems(cfg.LedMask);
    if (bit == kLightDataMain && std::none_of(offered.begin(), offered.end(),
                                              [&](const ModeItem& m) { return m.mode == *mode; })) {
        Err("this mouse does not offer the main lighting mode " + w[3]);
        return kExitFailed;
    }
    const IntRange brightRange = LightSliderRange(cfg, LightSlider::kMainBrightness);
    if (bit == kLightDataMain && bright && !brightRange.Contains(*bright)) {
        Err("this mouse's brightness runs from " + std::to_string(brightRange.lo) + " to " +
            std::to_string(brightRange.hi));
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (m_oneRecord && !RefreshLighting(bit)) return kExitFailed;
    // Kept to put back should the mouse hold its lighting: the record then says what the mouse
    // has (it may go into the cache), not a change that never reached it.
    const std::optional<ProfileFile> before = TheProfile().CopyCurrent();
    // Each given value is what the page's control for it stores; the zone asked for is written.
    const PageChange c = EditCurrentProfile(
        m_profile,
        [&](ProfileFile& p, int32_t&) {
            if (bit == kLightDataDpi) {
                SetDpiEffectMode(p, static_cast<int32_t>(*mode));
                if (bright) CommitDpiEffectSlider(p, false, *bright);
                if (speed) CommitDpiEffectSlider(p, true, *speed);
            } else {
                const bool main = bit == kLightDataMain;
                if (main)
                    ChooseMainMode(p, cfg, m_options.LedOpt, *mode);
                else
                    ChooseLogoMode(p, *mode);
                if (bright)
                    CommitLightSlider(
                        p, cfg, main ? LightSlider::kMainBrightness : LightSlider::kLogoBrightness,
                        *bright);
                if (speed)
                    CommitLightSlider(
                        p, cfg, main ? LightSlider::kMainSpeed : LightSlider::kLogoSpeed, *speed);
                // The page's colour wheel colours both lightings; only the zone asked for is
                // written here, so only its colour changes.
                if (colour) (main ? p.mainLight : p.logoLight).colour = *colour;
            }
            PageChange r = Request(kApplyLighting, bit);
            m_stored = zone + " lighting: " + LightingText(p, bit);
            return r;
        },
        false);
    if (!c.Changed()) return kExitFailed;
    if (!PlaceLightingRequest(m_session.Usb(), c.data)) {
        TheProfile().EditCurrent([&](ProfileFile& p, int32_t&) {
            if (before) p = *before;
        });
        Err(GetText("tc_adv_str29"));
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace cli
