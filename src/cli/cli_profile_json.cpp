#include "cli/cli_profile_json.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>

#include "cli/cli_args.h"
#include "cli/cli_button_words.h"
#include "cli/cli_command_table.h"
#include "profile/eeprom_writer.h"
#include "profile/key_function.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/fire_dlg_model.h"
#include "ui/lighting_model.h"
#include "ui/performance_model.h"

namespace cli {

namespace {

constexpr uint32_t kLeftClick = 0x01000011;

std::string Num(int64_t v) {
    return std::to_string(v);
}

JsonValue Light(const LightBlock& l, const std::vector<NamedValue>& names) {
    JsonValue o = JsonValue::Object();
    o.Set("mode", JsonValue::String(NameOf(names, l.mode)));
    o.Set("brightness", JsonValue::Int(l.brightness));
    o.Set("speed", JsonValue::Int(l.speed));
    o.Set("color", JsonValue::String(ColourText(l.colour)));
    return o;
}

// A refused value: its path and why. Thrown inside this file only.
struct Refusal {
    std::string text;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& why) {
    throw Refusal{(path.empty() ? std::string("the JSON") : path) + ": " + why};
}

std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string Item(const std::string& path, size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

void NeedKind(const JsonValue& v, JsonValue::Kind kind, const std::string& path) {
    if (v.kind() != kind)
        Refuse(path,
               std::string("expected ") + JsonKindName(kind) + ", not " + JsonKindName(v.kind()));
}

int64_t Whole(const JsonValue& v, const std::string& path) {
    if (v.kind() == JsonValue::Kind::kNumber && !v.IsWhole())
        Refuse(path, "expected a whole number, not " + v.Text());
    NeedKind(v, JsonValue::Kind::kNumber, path);
    return v.AsInt();
}

bool Boolean(const JsonValue& v, const std::string& path) {
    NeedKind(v, JsonValue::Kind::kBool, path);
    return v.AsBool();
}

const std::string& Text(const JsonValue& v, const std::string& path) {
    NeedKind(v, JsonValue::Kind::kString, path);
    return v.Text();
}

// Every key of the object `v` must be one of `keys`: a misspelt key would otherwise be a value
// silently not applied.
void KnownKeys(const JsonValue& v, const std::string& path, const std::vector<std::string>& keys) {
    NeedKind(v, JsonValue::Kind::kObject, path);
    for (const JsonValue::Member& m : v.Members()) {
        if (std::find(keys.begin(), keys.end(), m.first) != keys.end()) continue;
        const std::string near = NearestWord(m.first, keys);
        Refuse(Join(path, m.first),
               "unknown key" + (near.empty() ? "" : " (did you mean " + near + "?)"));
    }
}

class Applier {
  public:
    Applier(const ProfileFile& current, int32_t curLevel, int profileNumber,
            const ProfileJsonDevice& dev)
        : d(dev), cfg(dev.cfg), m_profileNumber(profileNumber) {
        r.profile = current;
        r.curLevel = curLevel;
    }

    ProfileJsonApply Run(const JsonValue& doc) {
        try {
            KnownKeys(doc, "",
                      {"profile", "name", "buttons", "dpi", "rate", "lod", "ripple", "angle_snap",
                       "motion_sync", "sensor_mode", "debounce", "sleep", "auto_sleep",
                       "light_off_moving", "main_light", "logo_light", "dpi_light"});
            if (const JsonValue* v = doc.Find("profile")) ProfileNumber(*v);
            if (const JsonValue* v = doc.Find("name")) Name(*v);
            if (const JsonValue* v = doc.Find("dpi")) Dpi(*v, "dpi");
            Performance(doc);
            if (const JsonValue* v = doc.Find("main_light")) MainLight(*v, "main_light");
            if (const JsonValue* v = doc.Find("logo_light")) LogoLight(*v, "logo_light");
            if (const JsonValue* v = doc.Find("dpi_light")) DpiLight(*v, "dpi_light");
            if (const JsonValue* v = doc.Find("buttons")) Buttons(*v, "buttons");
        } catch (const Refusal& e) {
            ProfileJsonApply refused;
            refused.error = e.text;
            return refused;
        }
        return std::move(r);
    }

  private:
    ProfileFile& p() { return r.profile; }

    // A model's answer to a value that differs: written when it changed the record, refused
    // with `why` when it did not.
    void Took(const PageChange& c, const std::string& path, const std::string& why) {
        if (!c.Changed()) Refuse(path, c.refusal ? *c.refusal : why);
        r.writes.push_back(c);
        r.changed.push_back(path);
    }

    void ProfileNumber(const JsonValue& v) {
        const int64_t n = Whole(v, "profile");
        if (n != m_profileNumber)
            Refuse("profile", "the text is of profile " + Num(n) + " and the mouse is on profile " +
                                  Num(m_profileNumber) +
                                  "; switch to it first (zorvan profile switch " + Num(n) +
                                  ") or leave the key out to apply it here");
    }

    // The mouse keeps no name: the one printed comes from the program's own texts, so a text
    // taken from another profile is not refused for it.
    void Name(const JsonValue& v) { Text(v, "name"); }

    void Performance(const JsonValue& doc) {
        if (const JsonValue* v = doc.Find("rate")) {
            const int held = RateHzOfCode(p().nRate);
            if (!(v->IsNull() && held == 0)) {
                const int64_t hz = Whole(*v, "rate");
                if (hz != held) {
                    int button = -1;
                    for (int k = 0; k < kRateButtons; ++k)
                        if (RateHzOfCode(RateCodeOfButton(k)) == hz) button = k;
                    const std::string why =
                        Num(hz) + " is not a rate this mouse takes (125, 250, 500 or 1000)";
                    if (button < 0) Refuse("rate", why);
                    Took(SetRateButton(p(), button), "rate", why);
                }
            }
        }
        if (const JsonValue* v = doc.Find("lod")) {
            const int64_t lod = Whole(*v, "lod");
            if (lod != p().nLod)
                Took(lod == 1 || lod == 2 ? SetLiftOff(p(), static_cast<int>(lod)) : PageChange{},
                     "lod", Num(lod) + " is not one this mouse takes (1 or 2)");
        }
        static const std::pair<const char*, PerfSwitch> kSwitches[] = {
            {"ripple", PerfSwitch::kRipple},
            {"angle_snap", PerfSwitch::kAngleSnap},
            {"motion_sync", PerfSwitch::kMotionSync},
        };
        for (const auto& [key, which] : kSwitches) {
            const JsonValue* v = doc.Find(key);
            if (!v) continue;
            const bool on = Boolean(*v, key);
            const int32_t held = which == PerfSwitch::kRipple      ? p().nRipple
                                 : which == PerfSwitch::kAngleSnap ? p().nFixLine
                                                                   : p().nMotionSync;
            if (on != (held != 0))
                Took(SetPerfSwitch(p(), which, on), key, "this mouse does not take it");
        }
        if (const JsonValue* v = doc.Find("sensor_mode")) {
            const std::string& m = Text(*v, "sensor_mode");
            if (m != "hp" && m != "lp") Refuse("sensor_mode", "expected \"hp\" or \"lp\": " + m);
            if ((m == "hp") != (p().nSensorMode != 0)) {
                if (!HasSensorModePair(cfg))
                    Refuse("sensor_mode", "this mouse has no HP / LP sensor mode");
                Took(SetSensorMode(p(), m == "hp"), "sensor_mode", "this mouse does not take it");
            }
        }
        if (const JsonValue* v = doc.Find("debounce")) {
            const int64_t ms = Whole(*v, "debounce");
            if (ms != p().nDebounce) {
                const IntRange range = DebounceRange(d.opt.DebounceRange);
                Took(range.Contains(ms) ? SetDebounce(p(), static_cast<int32_t>(ms), range)
                                        : PageChange{},
                     "debounce",
                     Num(ms) + " is not one this mouse takes (" + Num(range.lo) + " to " +
                         Num(range.hi) + " ms)");
            }
        }
        if (const JsonValue* v = doc.Find("sleep")) {
            const int64_t s = Whole(*v, "sleep");
            if (s != p().nSleepTime) {
                std::string offered;
                bool known = false;
                for (const SleepItem& i : SleepItems(cfg)) {
                    offered += (offered.empty() ? "" : ", ") + Num(i.seconds);
                    known = known || i.seconds == s;
                }
                Took(known ? SetSleepTime(p(), cfg, static_cast<int32_t>(s)) : PageChange{},
                     "sleep", Num(s) + " is not one this mouse takes (" + offered + " seconds)");
            }
        }
        if (const JsonValue* v = doc.Find("auto_sleep")) {
            const int64_t s = Whole(*v, "auto_sleep");
            if (s != AutoSleepSeconds(p().nAutoSleep)) {
                const auto value = AutoSleepValueOfSeconds(s);
                std::string offered;
                for (int32_t t : kAutoSleepTable)
                    offered += (offered.empty() ? "" : ", ") + Num(AutoSleepSeconds(t));
                Took(value ? SetAutoSleep(p(), *value) : PageChange{}, "auto_sleep",
                     Num(s) + " is not one this mouse takes (" + offered + " seconds)");
            }
        }
        if (const JsonValue* v = doc.Find("light_off_moving")) {
            const bool on = Boolean(*v, "light_off_moving");
            if (on != (p().nLightOffOnMoving != 0))
                Took(SetLightOffOnMoving(p(), on), "light_off_moving",
                     "this mouse does not take it");
        }
    }

    void Dpi(const JsonValue& v, const std::string& path) {
        KnownKeys(v, path, {"count", "current", "levels", "separate_xy"});
        if (const JsonValue* s = v.Find("separate_xy")) {
            const std::string at = Join(path, "separate_xy");
            const bool on = Boolean(*s, at);
            if (on != (p().bSeparateXY != 0)) {
                if (on && !cfg.ShowXY) Refuse(at, "this mouse keeps one DPI value per level");
                Took(SetSeparateXY(p(), on), at, "this mouse does not take it");
            }
        }
        if (const JsonValue* l = v.Find("levels")) Levels(*l, Join(path, "levels"));
        if (const JsonValue* c = v.Find("count")) {
            const std::string at = Join(path, "count");
            const int64_t n = Whole(*c, at);
            if (n != p().nDpiLevels) {
                const std::string why =
                    Num(n) + " is not a level count this mouse takes (1 to " + Num(cfg.DM) + ")";
                if (n < 1 || n > cfg.DM) Refuse(at, why);
                Took(SetLevelCount(p(), r.curLevel, static_cast<int>(n), cfg.DM,
                                   d.opt.SyncChangeDpiLevel != 0),
                     at, why);
            }
        }
        if (const JsonValue* c = v.Find("current")) {
            const std::string at = Join(path, "current");
            const int64_t n = Whole(*c, at);
            if (n != int64_t{r.curLevel} + 1) {
                const std::string why =
                    Num(n) + " is not a level in use (1 to " + Num(p().nDpiLevels) + ")";
                if (n < 1 || n > p().nDpiLevels) Refuse(at, why);
                Took(SetCurrentLevel(p(), r.curLevel, static_cast<int>(n - 1)), at, why);
            }
        }
    }

    // Each item of the list at `path` with the row it names under `key` (counted from 1; its
    // place in the list when it names none): a row of this mouse, named once.
    void EachRow(
        const JsonValue& v, const std::string& path, const std::string& key, int rows,
        const std::vector<std::string>& keys,
        const std::function<void(int row, const JsonValue& item, const std::string& at)>& fn) {
        NeedKind(v, JsonValue::Kind::kArray, path);
        std::set<int64_t> seen;
        for (size_t i = 0; i < v.Items().size(); ++i) {
            const JsonValue& item = v.Items()[i];
            const std::string at = Item(path, i);
            KnownKeys(item, at, keys);
            int64_t n = static_cast<int64_t>(i) + 1;
            if (const JsonValue* given = item.Find(key)) n = Whole(*given, Join(at, key));
            if (n < 1 || n > rows)
                Refuse(Join(at, key),
                       Num(n) + " is not a " + key + " of this mouse (1 to " + Num(rows) + ")");
            if (!seen.insert(n).second) Refuse(Join(at, key), key + " given twice");
            fn(static_cast<int>(n - 1), item, at);
        }
    }

    void Levels(const JsonValue& v, const std::string& path) {
        const int rows = std::clamp(cfg.DM, 0, kDpiLevels);
        EachRow(v, path, "level", rows, {"level", "x", "y", "color"},
                [&](int row, const JsonValue& item, const std::string& at) {
                    const DpiLevel& held = p().dpi[static_cast<size_t>(row)];
                    const JsonValue* x = item.Find("x");
                    const JsonValue* y = item.Find("y");
                    const int64_t wantX = x ? Whole(*x, Join(at, "x")) : held.x;
                    if (x && wantX != held.x) DpiValue(row, false, wantX, Join(at, "x"));
                    if (y) {
                        const int64_t wantY = Whole(*y, Join(at, "y"));
                        if (!p().bSeparateXY) {
                            // Y follows X here: a y left as it was is no value of its own.
                            if (wantY != wantX && wantY != held.y)
                                Refuse(Join(at, "y"),
                                       Num(wantY) + " differs from x (" + Num(wantX) +
                                           "), but this profile keeps one DPI value per level");
                        } else if (wantY != p().dpi[static_cast<size_t>(row)].y) {
                            DpiValue(row, true, wantY, Join(at, "y"));
                        }
                    }
                    if (const JsonValue* c = item.Find("color")) {
                        const std::string& text = Text(*c, Join(at, "color"));
                        const auto colour = ParseColour(text);
                        if (!colour)
                            Refuse(Join(at, "color"), "expected a colour #rrggbb: " + text);
                        if (*colour != held.colour)
                            Took(SetDpiColour(p(), row, *colour), Join(at, "color"),
                                 "this mouse does not take it");
                    }
                });
    }

    void DpiValue(int row, bool y, int64_t value, const std::string& at) {
        const IntRange range = LevelDpiRange(d.table, cfg, row);
        if (range.hi == 0) Refuse(at, "this mouse's sensor has no DPI table");
        if (value > range.hi)
            Refuse(at, Num(value) + " is beyond this mouse (" + Num(range.hi) + " at most)");
        if (value < range.lo)
            Refuse(at,
                   Num(value) + " is below this mouse's lowest (" + Num(range.lo) + " at least)");
        Took(TypeDpiValue(p(), d.table, row, y, value), at,
             Num(value) + " is not one this sensor has");
        const DpiLevel& l = p().dpi[static_cast<size_t>(row)];
        if (const uint32_t stored = y ? l.y : l.x; stored != value)
            r.notes.push_back(at + ": " + Num(value) + " is not one this sensor has; " +
                              Num(stored) + " used");
    }

    // Mode, brightness, speed and colour of the main or logo lighting.
    void Lighting(const JsonValue& v, const std::string& path, uint32_t zone) {
        const bool main = zone == kLightDataMain;
        KnownKeys(v, path, {"mode", "brightness", "speed", "color"});
        LightBlock& held = main ? p().mainLight : p().logoLight;
        const std::vector<NamedValue>& names = main ? MainModeNames() : LogoModeNames();
        auto present = [&](const std::string& at) {
            if (!DeviceHasLighting(cfg, zone))
                Refuse(at,
                       std::string("this mouse has no ") + (main ? "main" : "logo") + " lighting");
        };
        if (const JsonValue* m = v.Find("mode")) {
            const std::string at = Join(path, "mode");
            const std::string& word = Text(*m, at);
            const auto mode = LookUp(names, word);
            // A mode without a name is printed as its number: as printed, it is no change.
            const bool asPrinted = word == NameOf(names, held.mode);
            if (!asPrinted && !mode) {
                const std::string near = NearestWord(word, NamesOf(names));
                Refuse(at, "unknown mode \"" + word + "\"" +
                               (near.empty() ? "" : " (did you mean " + near + "?)"));
            }
            if (!asPrinted && *mode != held.mode) {
                present(at);
                if (main) {
                    const auto offered = MainModeItems(cfg.LedMask);
                    if (std::none_of(offered.begin(), offered.end(),
                                     [&](const ModeItem& i) { return i.mode == *mode; }))
                        Refuse(at, "this mouse does not offer the mode " + word);
                }
                Took(main ? ChooseMainMode(p(), cfg, d.opt.LedOpt, *mode)
                          : ChooseLogoMode(p(), *mode),
                     at, "this mouse does not offer the mode " + word);
            }
        }
        for (const bool speed : {false, true}) {
            const char* key = speed ? "speed" : "brightness";
            const JsonValue* s = v.Find(key);
            if (!s) continue;
            const std::string at = Join(path, key);
            const int64_t value = Whole(*s, at);
            if (value == (speed ? held.speed : held.brightness)) continue;
            present(at);
            const LightSlider which =
                main ? (speed ? LightSlider::kMainSpeed : LightSlider::kMainBrightness)
                     : (speed ? LightSlider::kLogoSpeed : LightSlider::kLogoBrightness);
            const IntRange range = LightSliderRange(cfg, which);
            const std::string why = Num(value) + " is not one this mouse takes (" + Num(range.lo) +
                                    " to " + Num(range.hi) + ")";
            if (!range.Contains(value)) Refuse(at, why);
            Took(CommitLightSlider(p(), cfg, which, static_cast<int32_t>(value)), at, why);
        }
        if (const JsonValue* c = v.Find("color")) {
            const std::string at = Join(path, "color");
            const std::string& text = Text(*c, at);
            const auto colour = ParseColour(text);
            if (!colour) Refuse(at, "expected a colour #rrggbb: " + text);
            if (*colour != held.colour) {
                present(at);
                // Only this zone's colour: the page's wheel would colour both lightings.
                held.colour = *colour;
                Took(Request(kApplyLighting, zone), at, "");
            }
        }
    }

    void MainLight(const JsonValue& v, const std::string& path) {
        Lighting(v, path, kLightDataMain);
    }

    // `show` prints null for a mouse without a logo lighting: nothing to apply then.
    void LogoLight(const JsonValue& v, const std::string& path) {
        if (!v.IsNull()) Lighting(v, path, kLightDataLogo);
    }

    void DpiLight(const JsonValue& v, const std::string& path) {
        KnownKeys(v, path, {"mode", "brightness", "speed"});
        if (const JsonValue* m = v.Find("mode")) {
            const std::string at = Join(path, "mode");
            const std::string& word = Text(*m, at);
            const auto mode = LookUp(DpiLightModeNames(), word);
            const bool asPrinted =
                word == NameOf(DpiLightModeNames(), static_cast<uint32_t>(p().nDpiLightMode));
            if (!asPrinted && !mode) {
                const std::string near = NearestWord(word, NamesOf(DpiLightModeNames()));
                Refuse(at, "unknown mode \"" + word + "\"" +
                               (near.empty() ? "" : " (did you mean " + near + "?)"));
            }
            if (!asPrinted && static_cast<int32_t>(*mode) != p().nDpiLightMode)
                Took(SetDpiEffectMode(p(), static_cast<int32_t>(*mode)), at,
                     "this mouse does not offer the mode " + word);
        }
        for (const bool speed : {false, true}) {
            const char* key = speed ? "speed" : "brightness";
            const JsonValue* s = v.Find(key);
            if (!s) continue;
            const std::string at = Join(path, key);
            const int64_t value = Whole(*s, at);
            if (value == (speed ? p().nDpiLightSpeed : p().nDpiLightBright)) continue;
            const IntRange range = speed ? kDpiLightSpeedRange : kDpiLightLevelRange;
            const std::string why = Num(value) + " is not one this mouse takes (" + Num(range.lo) +
                                    " to " + Num(range.hi) + ")";
            if (!range.Contains(value)) Refuse(at, why);
            if (p().nDpiLightMode == 0)
                Refuse(at, std::string("the DPI light is off; it has no ") + key);
            Took(CommitDpiEffectSlider(p(), speed, static_cast<int32_t>(value)), at, why);
        }
    }

    // The assignment the words stand for on `row`, as `button` makes it.
    KeyInfo Assignment(const std::string& words, int row, const std::string& at) {
        try {
            return ButtonKey(ReadButtonWords(SplitFunctionWords(words), 0, d.macros), row, cfg,
                             d.table);
        } catch (const UsageError& e) {
            Refuse(at, e.why + (e.near.empty() ? "" : " (did you mean " + e.near + "?)"));
        }
    }

    void Buttons(const JsonValue& v, const std::string& path) {
        const int rows = std::clamp(cfg.nKeyNum, 0, kKeysPerSet);
        struct Wanted {
            int row;
            std::string words, at;
        };
        std::vector<Wanted> wanted;
        EachRow(
            v, path, "button", rows, {"button", "function", "caption"},
            [&](int row, const JsonValue& item, const std::string& at) {
                // The caption is what show prints for a person; the function says what is
                // stored.
                if (const JsonValue* c = item.Find("caption")) Text(*c, Join(at, "caption"));
                if (const JsonValue* f = item.Find("function"))
                    wanted.push_back({row, Text(*f, Join(at, "function")), Join(at, "function")});
            });
        const int set = std::clamp(p().nKeySet, 0, kKeySets - 1);
        // Left clicks first, so that moving the left click to another button never passes
        // through a profile without one.
        std::stable_partition(wanted.begin(), wanted.end(), [](const Wanted& w) {
            return LookUp(ButtonFunctionNames(), w.words) == kLeftClick;
        });
        for (const Wanted& w : wanted) {
            const KeyInfo& held = p().keys[static_cast<size_t>(set)][static_cast<size_t>(w.row)];
            if (w.words == FunctionWords(held, d.table, d.macros)) continue;
            const ButtonRowView row =
                ViewButtonRows(p(), cfg, d.keyMask, d.macros)[static_cast<size_t>(w.row)];
            if (!row.visible || !row.enabled) Refuse(w.at, RowRefusal(cfg, d.keyMask, w.row));
            const KeyInfo k = Assignment(w.words, w.row, w.at);
            const int stored = StoreKeyFunction(p(), d.defaults, w.row, k);
            if (stored == -1) Refuse(w.at, "it would leave the mouse without a left click");
            if (stored != 1) Refuse(w.at, "the profile cannot take it");
            r.writes.push_back(Request(kApplyKeys, static_cast<uint32_t>(w.row)));
            r.changed.push_back(w.at);
        }
    }

    const ProfileJsonDevice& d;
    const SensorCfg& cfg;
    int m_profileNumber;
    ProfileJsonApply r;
};

}  // namespace

std::string FunctionWords(const KeyInfo& k, const SensorTable* table, const MacroList& macros) {
    const uint32_t id = k.dwFunID;
    for (const NamedValue& n : ButtonFunctionNames())
        if (n.value == id) return n.name;
    for (const NamedValue& n : MediaNames())
        if (n.value == id) return std::string("media ") + n.name;
    if (k.Type() == kFunCombo) {
        const std::string c = ComboText({k.stCombo[0], {k.stCombo[1], k.stCombo[2], k.stCombo[3]}});
        if (!c.empty()) return "combo " + c;
    } else if (id == FireKey(0, 0).dwFunID) {
        return "fire " + Num(k.dwParameter & 0xFF) + " " + Num((k.dwParameter >> 8) & 0xFF);
    } else if (id == kSniperFunction) {
        const uint32_t i = k.dwParameter & 0xFF;
        if (table && i < std::min<uint32_t>(table->count, kSensorMaxValues))
            return "sniper " + Num(table->dpi[i]);
    } else if (k.Type() == kFunMacro) {
        if (auto m = macros.FindMacroById(k.dwMacroID)) return "macro " + MacroNameUtf8(*m);
    } else if (k.Type() == kFunExKey && (id & 0xFFFFFF) < 3) {
        return "extra " + Num((id & 0xFFFFFF) + 1);
    } else if (id == kCustomFunction) {
        char code[24];
        std::snprintf(code, sizeof code, "custom 0x%06x", k.dwParameter & 0xFFFFFF);
        return code;
    }
    // `button` takes the id back for a function that has no words (and no caption).
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08x", id);
    return hex;
}

JsonValue ProfileJson(const ProfileFile& p, int32_t curLevel, int profileNumber,
                      const SensorCfg& cfg, const MacroList& macros) {
    const SensorTable* table = FindSensorTable(static_cast<uint32_t>(cfg.Sensor));
    const int set = std::clamp(p.nKeySet, 0, kKeySets - 1);
    JsonValue o = JsonValue::Object();
    o.Set("profile", JsonValue::Int(profileNumber));
    o.Set("name", JsonValue::String(p.Name()));
    JsonValue& buttons = o.Set("buttons", JsonValue::Array());
    for (int b = 0; b < std::clamp(cfg.nKeyNum, 0, kKeysPerSet); ++b) {
        const KeyInfo& k = p.keys[static_cast<size_t>(set)][static_cast<size_t>(b)];
        JsonValue& one = buttons.Add(JsonValue::Object());
        one.Set("button", JsonValue::Int(b + 1));
        one.Set("function", JsonValue::String(FunctionWords(k, table, macros)));
        one.Set("caption", JsonValue::String(GetKeyFunctionText(k, macros)));
    }
    JsonValue& dpi = o.Set("dpi", JsonValue::Object());
    dpi.Set("count", JsonValue::Int(p.nDpiLevels));
    dpi.Set("current", JsonValue::Int(int64_t{curLevel} + 1));
    JsonValue& levels = dpi.Set("levels", JsonValue::Array());
    for (int i = 0; i < std::clamp(cfg.DM, 0, kDpiLevels); ++i) {
        const DpiLevel& l = p.dpi[static_cast<size_t>(i)];
        JsonValue& one = levels.Add(JsonValue::Object());
        one.Set("level", JsonValue::Int(i + 1));
        one.Set("x", JsonValue::Int(l.x));
        one.Set("y", JsonValue::Int(l.y));
        one.Set("color", JsonValue::String(ColourText(l.colour)));
    }
    dpi.Set("separate_xy", JsonValue::Bool(p.bSeparateXY != 0));
    const int hz = RateHzOfCode(p.nRate);
    o.Set("rate", hz ? JsonValue::Int(hz) : JsonValue());
    o.Set("lod", JsonValue::Int(p.nLod));
    o.Set("ripple", JsonValue::Bool(p.nRipple != 0));
    o.Set("angle_snap", JsonValue::Bool(p.nFixLine != 0));
    o.Set("motion_sync", JsonValue::Bool(p.nMotionSync != 0));
    o.Set("sensor_mode", JsonValue::String(p.nSensorMode ? "hp" : "lp"));
    o.Set("debounce", JsonValue::Int(p.nDebounce));
    o.Set("sleep", JsonValue::Int(p.nSleepTime));
    o.Set("auto_sleep", JsonValue::Int(AutoSleepSeconds(p.nAutoSleep)));
    o.Set("light_off_moving", JsonValue::Bool(p.nLightOffOnMoving != 0));
    o.Set("main_light", Light(p.mainLight, MainModeNames()));
    o.Set("logo_light", cfg.ShowLogoEffect ? Light(p.logoLight, LogoModeNames()) : JsonValue());
    JsonValue& dl = o.Set("dpi_light", JsonValue::Object());
    dl.Set("mode", JsonValue::String(NameOf(DpiLightModeNames(), p.nDpiLightMode)));
    dl.Set("brightness", JsonValue::Int(p.nDpiLightBright));
    dl.Set("speed", JsonValue::Int(p.nDpiLightSpeed));
    return o;
}

JsonValue JsonChanges(const JsonValue& before, const JsonValue& after,
                      const std::vector<std::string>& keep) {
    if (after.kind() == JsonValue::Kind::kArray && before.kind() == JsonValue::Kind::kArray) {
        JsonValue out = JsonValue::Array();
        for (size_t i = 0; i < after.Items().size(); ++i)
            if (i >= before.Items().size() || before.Items()[i] != after.Items()[i])
                out.Add(after.Items()[i]);
        return out;
    }
    if (after.kind() != JsonValue::Kind::kObject || before.kind() != JsonValue::Kind::kObject)
        return after;
    JsonValue out = JsonValue::Object();
    for (const auto& [key, value] : after.Members()) {
        const JsonValue* was = before.Find(key);
        if (std::find(keep.begin(), keep.end(), key) != keep.end())
            out.Set(key, value);
        else if (!was || *was != value)
            out.Set(key, JsonChanges(was ? *was : JsonValue(), value, keep));
    }
    return out;
}

ProfileJsonApply ApplyProfileJson(const JsonValue& doc, const ProfileFile& current,
                                  int32_t curLevel, int profileNumber,
                                  const ProfileJsonDevice& dev) {
    return Applier(current, curLevel, profileNumber, dev).Run(doc);
}

}  // namespace cli
