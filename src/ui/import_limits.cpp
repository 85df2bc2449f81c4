#include "ui/import_limits.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "macro/macro_editor.h"
#include "macro/macro_store.h"
#include "profile/hid_key_table.h"
#include "profile/key_function.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/fire_dlg_model.h"
#include "ui/lighting_model.h"
#include "ui/performance_model.h"

namespace {

constexpr uint32_t kLeftClick = 0x01000011;
constexpr uint32_t kFireFunction = 0x080000A4;

std::string Num(int64_t v) {
    return std::to_string(v);
}

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", v);
    return buf;
}

std::string RangeText(IntRange r) {
    return Num(r.lo) + " to " + Num(r.hi);
}

// "<what> <value> is not one this mouse takes (<offer>); kept <kept>"
std::string NotTaken(const std::string& what, int64_t value, const std::string& offer,
                     const std::string& kept) {
    return what + " " + Num(value) + " is not one this mouse takes (" + offer + "); kept " + kept;
}

std::string OnOff(int32_t v) {
    return v ? "on" : "off";
}

class ProfileLimits {
  public:
    ProfileLimits(const ProfileFile& file, const ProfileFile& current, const ImportDevice& dev,
                  std::vector<std::string>& said)
        : f(file), out(current), d(dev), cfg(dev.cfg), m_said(said) {}

    ProfileFile Run() {
        out.szName = f.szName;
        out.szName.back() = 0;
        out.nWheelLines = f.nWheelLines;
        out.nDbClickTime = f.nDbClickTime;
        out.nPointerSpeed = f.nPointerSpeed;
        out.nEnhancePrecision = f.nEnhancePrecision;
        out.nMouseTrails = f.nMouseTrails;
        Dpi();
        Performance();
        Lighting();
        Buttons();
        return out;
    }

  private:
    void Say(std::string line) { m_said.push_back(std::move(line)); }

    void Dpi() {
        if (cfg.ShowXY && (f.bSeparateXY != 0) != (out.bSeparateXY != 0))
            SetSeparateXY(out, f.bSeparateXY != 0);
        else if (!cfg.ShowXY && f.bSeparateXY != 0 && out.bSeparateXY == 0)
            Say("separate X and Y DPI: this mouse keeps one value per level; kept one");
        const int rows = std::clamp(cfg.DM, 0, kDpiLevels);
        for (int i = 0; i < rows; ++i) {
            const DpiLevel& from = f.dpi[static_cast<size_t>(i)];
            SetDpiColour(out, i, from.colour);
            // Without a table nothing can say how this sensor codes a value: the import says so
            // once and keeps the mouse's values.
            const IntRange range = LevelDpiRange(d.table, cfg, i);
            if (range.hi == 0) continue;
            DpiValue(i, false, from.x, range);
            if (out.bSeparateXY) DpiValue(i, true, from.y, range);
        }
        // Levels beyond the mouse's rows stay as the mouse has them.
        int32_t level = f.nSavedDpiLevel;
        if (!SetLevelCount(out, level, f.nDpiLevels, cfg.DM, false).Changed())
            Say("level count " + Num(f.nDpiLevels) + " is beyond this mouse (" + Num(rows) +
                " at most); kept " + Num(out.nDpiLevels));
        if (!SetCurrentLevel(out, level, f.nSavedDpiLevel).Changed()) {
            Say("current level " + Num(int64_t{f.nSavedDpiLevel} + 1) + " is not in use (" +
                Num(out.nDpiLevels) + " levels); level 1 used");
            level = 0;
        }
        out.nSavedDpiLevel = level;
    }

    void DpiValue(int i, bool y, uint32_t value, IntRange range) {
        const DpiLevel& held = out.dpi[static_cast<size_t>(i)];
        const uint32_t kept = y ? held.y : held.x;
        const std::string what =
            "level " + Num(i + 1) + (y ? " Y" : "") + ": " + Num(value) + " DPI";
        if (value > static_cast<uint32_t>(range.hi)) {
            Say(what + " is beyond this mouse (" + Num(range.hi) + " at most); kept " + Num(kept));
            return;
        }
        if (value < static_cast<uint32_t>(range.lo)) {
            Say(what + " is below this mouse's lowest (" + Num(range.lo) + " at least); kept " +
                Num(kept));
            return;
        }
        TypeDpiValue(out, d.table, i, y, value);
        const uint32_t stored =
            y ? out.dpi[static_cast<size_t>(i)].y : out.dpi[static_cast<size_t>(i)].x;
        if (stored != value) Say(what + " is not one this sensor has; " + Num(stored) + " used");
    }

    void Switch(const char* what, int32_t value, int32_t held,
                PageChange (*set)(ProfileFile&, bool)) {
        if (value == 0 || value == 1)
            set(out, value == 1);
        else
            Say(NotTaken(what, value, "on or off", OnOff(held)));
    }

    void Performance() {
        if (const int k = RateButtonOfCode(f.nRate); k >= 0)
            SetRateButton(out, k);
        else
            Say("report rate code " + Hex(static_cast<uint32_t>(f.nRate)) +
                " is not one this mouse takes (125, 250, 500 or 1000 Hz); kept " +
                Num(RateHzOfCode(out.nRate)) + " Hz");
        if (!SetLiftOff(out, f.nLod).Changed())
            Say(NotTaken("lift-off distance", f.nLod, "1 or 2", Num(out.nLod)));
        Switch("ripple control", f.nRipple, out.nRipple,
               [](ProfileFile& p, bool on) { return SetPerfSwitch(p, PerfSwitch::kRipple, on); });
        Switch("angle snapping", f.nFixLine, out.nFixLine, [](ProfileFile& p, bool on) {
            return SetPerfSwitch(p, PerfSwitch::kAngleSnap, on);
        });
        Switch("motion sync", f.nMotionSync, out.nMotionSync, [](ProfileFile& p, bool on) {
            return SetPerfSwitch(p, PerfSwitch::kMotionSync, on);
        });
        // A mouse without the HP / LP pair never has its sensor mode stored.
        if (HasSensorModePair(cfg))
            Switch("sensor mode", f.nSensorMode, out.nSensorMode, SetSensorMode);
        Switch("light off while moving", f.nLightOffOnMoving, out.nLightOffOnMoving,
               SetLightOffOnMoving);

        const IntRange debounce = DebounceRange(d.opt.DebounceRange);
        if (!SetDebounce(out, f.nDebounce, debounce).Changed())
            Say(NotTaken("debounce", f.nDebounce, RangeText(debounce) + " ms",
                         Num(out.nDebounce) + " ms"));
        if (!SetSleepTime(out, cfg, f.nSleepTime).Changed() && f.nSleepTime != out.nSleepTime) {
            std::string offer;
            for (const SleepItem& s : SleepItems(cfg))
                offer += (offer.empty() ? "" : ", ") + Num(s.seconds);
            Say(NotTaken("sleep", f.nSleepTime, offer + " seconds", Num(out.nSleepTime)));
        }
        if (!SetAutoSleep(out, f.nAutoSleep).Changed())
            Say(NotTaken("auto sleep", f.nAutoSleep, "10, 20 or 30 s or 1 to 10 minutes",
                         AutoSleepText(out.nAutoSleep)));
    }

    void Slider(const char* what, LightSlider which, int64_t value, uint32_t held) {
        if (value == held) return;
        const IntRange r = LightSliderRange(cfg, which);
        if (!r.Contains(value) ||
            !CommitLightSlider(out, cfg, which, static_cast<int32_t>(value)).Changed())
            Say(NotTaken(what, value, RangeText(r), Num(held)));
    }

    void Lighting() {
        const LightBlock& fm = f.mainLight;
        if (fm.mode == out.mainLight.mode ||
            ChooseMainMode(out, cfg, d.opt.LedOpt, fm.mode).Changed()) {
            Slider("lighting brightness", LightSlider::kMainBrightness, fm.brightness,
                   out.mainLight.brightness);
            Slider("lighting speed", LightSlider::kMainSpeed, fm.speed, out.mainLight.speed);
        } else {
            Say(NotTaken("lighting mode", fm.mode, "see the lighting page",
                         Num(out.mainLight.mode)));
        }
        out.mainLight.colour = fm.colour;

        const LightBlock& fl = f.logoLight;
        if (ChooseLogoMode(out, fl.mode).Changed()) {
            Slider("logo brightness", LightSlider::kLogoBrightness, fl.brightness,
                   out.logoLight.brightness);
            Slider("logo speed", LightSlider::kLogoSpeed, fl.speed, out.logoLight.speed);
        } else {
            Say(NotTaken("logo lighting mode", fl.mode, "0 to 3", Num(out.logoLight.mode)));
        }
        out.logoLight.colour = fl.colour;

        if (!SetDpiEffectMode(out, f.nDpiLightMode).Changed()) {
            Say(NotTaken("DPI light mode", f.nDpiLightMode, "0 to 2", Num(out.nDpiLightMode)));
            return;
        }
        // An effect that is off has no sliders: its values stay as they were.
        if (out.nDpiLightMode == 0) return;
        if (f.nDpiLightBright != out.nDpiLightBright &&
            !CommitDpiEffectSlider(out, false, f.nDpiLightBright).Changed())
            Say(NotTaken("DPI light brightness", f.nDpiLightBright, RangeText(kDpiLightLevelRange),
                         Num(out.nDpiLightBright)));
        if (f.nDpiLightSpeed != out.nDpiLightSpeed &&
            !CommitDpiEffectSlider(out, true, f.nDpiLightSpeed).Changed())
            Say(NotTaken("DPI light speed", f.nDpiLightSpeed, RangeText(kDpiLightSpeedRange),
                         Num(out.nDpiLightSpeed)));
    }

    // The assignment the buttons page would store for `key` on row `row` of key set `set`, or
    // why it offers none.
    std::optional<KeyInfo> Offered(const KeyInfo& key, size_t set, int row, std::string& why) {
        const uint32_t type = key.Type();
        if (type == kFunMacro) return MacroKey(key.dwMacroID);
        if (type == kFunCombo) {
            if (!FindKeyFunction(key.dwFunID)) return std::nullopt;
            for (size_t i = 1; i < 4; ++i)
                if (key.stCombo[i] != 0 && VkToHidUsage(key.stCombo[i]) == 0) {
                    why = "a key the mouse cannot send";
                    return std::nullopt;
                }
            return ComboKey(key.stCombo[0], key.stCombo[1], key.stCombo[2], key.stCombo[3]);
        }
        if (key.dwFunID == kFireFunction) {
            const auto r =
                FireResult(Num(key.dwParameter & 0xFF), Num((key.dwParameter >> 8) & 0xFF));
            if (!r) {
                why = "a fire count of " + Num(key.dwParameter & 0xFF) + " (0 to " +
                      Num(kFireCountLimit) + ")";
                return std::nullopt;
            }
            return FireKey(static_cast<uint8_t>(*r & 0xFF), static_cast<uint8_t>(*r >> 8));
        }
        if (type == kFunSpecial && (key.dwFunID & 0xFF) == (kSniperFunction & 0xFF)) {
            for (const SniperItem& s : SniperItems(d.table))
                if (static_cast<uint32_t>(s.index) == (key.dwParameter & 0xFF))
                    return SniperKey(s.index);
            why = "a sniper DPI this sensor does not have";
            return std::nullopt;
        }
        // The device's own default for the row is always fine, whatever the menu shows.
        const KeyInfo& def = d.defaults[set][static_cast<size_t>(row)];
        if (key.dwFunID == def.dwFunID && key.dwParameter == def.dwParameter) {
            KeyInfo k = def;
            return k;
        }
        if (menu.count(key.dwFunID) == 0) return std::nullopt;
        const FunctionChoice c = OnFunctionChosen(key.dwFunID, row, cfg, false);
        if (c.step != ChoiceStep::kStore) return std::nullopt;
        return c.key;
    }

    std::string Caption(const KeyInfo& k) {
        const std::string t = GetKeyFunctionText(k, d.macros);
        return t.empty() ? "function " + Hex(k.dwFunID) : t;
    }

    void Buttons() {
        for (const MenuEntry& e : BuildFunctionMenu(cfg, d.opt, d.table)) menu.insert(e.value);
        const int32_t keySet = f.nKeySet >= 0 && f.nKeySet < kKeySets ? f.nKeySet : out.nKeySet;
        if (keySet != f.nKeySet)
            Say(NotTaken("key set", int64_t{f.nKeySet} + 1, "1 to 3",
                         Num(int64_t{out.nKeySet} + 1)));
        const int rows = std::clamp(cfg.nKeyNum, 0, kKeysPerSet);
        for (size_t s = 0; s < kKeySets; ++s) {
            out.nKeySet = static_cast<int32_t>(s);
            // Left clicks first, so that the guard sees where the file keeps its left click.
            for (const bool left : {true, false})
                for (int r = 0; r < rows; ++r) {
                    const KeyInfo& key = f.keys[s][static_cast<size_t>(r)];
                    if ((key.dwFunID == kLeftClick) != left) continue;
                    Button(s, r, key);
                }
        }
        out.nKeySet = keySet;
    }

    void Button(size_t s, int r, const KeyInfo& key) {
        KeyInfo& held = out.keys[s][static_cast<size_t>(r)];
        KeyInfo cmp = key;
        cmp.MatrixInx = held.MatrixInx;
        if (cmp == held) return;
        const std::string where =
            (s == 0 ? "" : "key set " + Num(static_cast<int64_t>(s) + 1) + ", ") + "button " +
            Num(r + 1);
        if (d.keyMask & (1 << r)) {
            Say(where + ": locked on this computer; kept " + Caption(held));
            return;
        }
        std::string why;
        const std::optional<KeyInfo> k = Offered(key, s, r, why);
        if (!k) {
            Say(where + ": " +
                (why.empty() ? "function " + Hex(key.dwFunID) + " is not one this mouse offers"
                             : why) +
                "; kept " + Caption(held));
            return;
        }
        const KeyInfo before = held;
        if (StoreKeyFunction(out, d.defaults, r, *k) == -1) {
            Say(where + ": " + Caption(*k) + " would leave no left click; kept " + Caption(before));
            return;
        }
        if (k->dwFunID == kFireFunction && k->dwParameter != key.dwParameter)
            Say(where + ": fire interval " + Num((key.dwParameter >> 8) & 0xFF) + " is below " +
                Num(kFireIntervalMin) + "; " + Num(kFireIntervalMin) + " used");
    }

    const ProfileFile& f;
    ProfileFile out;
    const ImportDevice& d;
    const SensorCfg& cfg;
    std::vector<std::string>& m_said;
    std::set<uint32_t> menu;
};

}  // namespace

ProfileFile LimitImportedProfile(const ProfileFile& file, const ProfileFile& current,
                                 const ImportDevice& dev, std::vector<std::string>& said) {
    return ProfileLimits(file, current, dev, said).Run();
}

std::optional<std::string> LimitImportedMacro(StMacro& m, std::vector<std::string>& said) {
    if (m.dwMagicNumber != MACRO_MAGIC) return "not a macro";
    const int n = CountMacroEvents(m);
    if (n > MAX_MACRO_EVENTS)
        return Num(n) + " events (a macro holds at most " + Num(MAX_MACRO_EVENTS) + ")";
    for (int i = 0; i < n; ++i) {
        const MacroEvent e = m.events[i];
        const uint32_t delay = e.delay;
        if (delay > kMaxMacroDelayMs)
            return "event " + Num(i + 1) + " waits " + Num(delay) + " ms (at most " +
                   Num(kMaxMacroDelayMs) + ")";
        if (e.flags & kMacroEventMove) continue;
        const auto code = static_cast<uint8_t>(e.code & 0xFF);
        if (code == MOUSE_VK_WHEEL_UP || code == MOUSE_VK_WHEEL_DOWN)
            return "event " + Num(i + 1) + " turns the wheel, which the mouse cannot play";
        const bool button = code >= MOUSE_VK_LEFT && code <= MOUSE_VK_BACK;
        if (!button && VkToHidUsage(code) == 0) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x", code);
            return "event " + Num(i + 1) + " presses key " + hex + ", which the mouse cannot play";
        }
    }
    if (m.LoopMode > kPlayWhileHeld) {
        said.push_back("play mode " + Num(m.LoopMode) +
                       " is not one the mouse has; a repeat count used");
        m.LoopMode = kPlayCount;
    }
    if (m.repeatCount < 1 || m.repeatCount > kMaxRepeatCount) {
        const int used = std::clamp<int>(m.repeatCount, 1, kMaxRepeatCount);
        said.push_back("repeat count " + Num(m.repeatCount) + " is not one the mouse takes (1 to " +
                       Num(kMaxRepeatCount) + "); " + Num(used) + " used");
        m.repeatCount = static_cast<uint16_t>(used);
    }
    // The mouse keeps 15 characters of a name: a longer one would come back cut from the next
    // reading and be taken for another macro.
    const std::u16string name = MacroName(m);
    if (name.size() > static_cast<size_t>(kMaxMacroNameInput)) {
        const std::string whole = MacroNameUtf8(m);
        SetMacroName(m, std::u16string_view(name).substr(0, kMaxMacroNameInput));
        said.push_back("name \"" + whole + "\" is longer than " + Num(kMaxMacroNameInput) +
                       " characters; cut to \"" + MacroNameUtf8(m) + "\"");
    }
    return std::nullopt;
}

ImportRules PageImportRules(const CatalogueState& catalogue, const AppOptions& options,
                            const MacroList& macros) {
    ImportRules rules;
    // The device in use is looked up when a file is imported, not when the rules are made.
    rules.profile = [&catalogue, &options, &macros](const ProfileFile& file,
                                                    const ProfileFile& current,
                                                    std::vector<std::string>& said) {
        static const SensorCfg kNone{};
        const SensorCfg* inUse = catalogue.pSensorCfg;
        const SensorCfg& cfg = inUse ? *inUse : kNone;
        const ImportDevice dev{cfg,
                               FindSensorTable(static_cast<uint32_t>(cfg.Sensor)),
                               options,
                               catalogue.WorkDefKeys,
                               options.KeyMask,
                               macros};
        return LimitImportedProfile(file, current, dev, said);
    };
    rules.macro = LimitImportedMacro;
    return rules;
}
