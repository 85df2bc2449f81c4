#include "profile/profile_defaults.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "profile/catalogue_state.h"
#include "profile/profile_state.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "device/report_rate.h"
#include "macro/macro_id.h"

namespace {

constexpr int kLightSteps = 10;     // brightness and main-lighting speed steps
constexpr int kLogoSpeedSteps = 5;  // speed steps of the logo and DPI lighting
constexpr uint32_t kMainModes = 6;
constexpr int32_t kAutoSleepMost = 60;  // tens of seconds: ten minutes

const SensorCfg& Device() {
    static const SensorCfg none{};
    return TheCatalogue().pSensorCfg ? *TheCatalogue().pSensorCfg : none;
}

// Steps 4 to 8 of a new profile: every setting after the key sets.
void FillSettings(ProfileFile& p) {
    const SensorCfg& d = Device();
    p.nKeySet = 0;
    p.keys = TheCatalogue().WorkDefKeys;

    // Everything from the rate up to the end of the logo lighting starts from zero.
    p.nRate = p.nWheelLines = p.nDbClickTime = p.nPointerSpeed = p.nEnhancePrecision = 0;
    p.nMouseTrails = p.bSeparateXY = 0;
    p.dpi = {};
    p.nSavedDpiLevel = p.nSensor = p.nDpiLevels = p.nLod = p.nRipple = p.nFixLine = 0;
    p.nSleepTime = p.nDebounce = p.nLightOffOnMoving = p.nMotionSync = p.nSensorMode = 0;
    p.nAutoSleep = p.nDpiLightMode = p.nDpiLightSpeed = p.nDpiLightBright = 0;
    p.reserved2 = {};
    p.mainLight = {};
    p.logoLight = {};

    p.nRate = d.DR;
    p.nDebounce = d.Debounce != 0 ? d.Debounce : TheProfileOptions().Debounce;
    p.nSleepTime = d.SleepTime;
    p.nLightOffOnMoving = d.SleepTimeCheck;
    p.nLod = d.ShowLOD;
    p.nMotionSync = 1;
    p.nSensorMode = 1;
    p.nAutoSleep = 6;

    for (DpiLevel& l : p.dpi) l.unused = 1;
    const int levels = std::clamp(d.DM, 0, kDpiLevels);
    for (int i = 0; i < levels; ++i) {
        DpiLevel& l = p.dpi[static_cast<size_t>(i)];
        l.x = l.y = static_cast<uint32_t>(d.DPI[static_cast<size_t>(i)]);
        l.colour = d.DC[static_cast<size_t>(i)];
        l.unused = 0;
    }
    p.nSensor = d.Sensor;
    p.nDpiLevels = DefaultLevelCount(d);

    p.nWheelLines = 3;
    p.nDbClickTime = 550;
    p.nPointerSpeed = 10;
    p.nMouseTrails = 0;
    p.nEnhancePrecision = TheProfileOptions().EnhancePrecision;

    const auto& led = TheProfileOptions().LEDParam;
    p.mainLight.mode = led[0];
    p.mainLight.brightness = led[1];
    p.mainLight.speed = led[2];
    p.mainLight.colour = Rgb(led[3], led[4], led[5]);
    p.logoLight = p.mainLight;
    if (p.logoLight.mode > 3) p.logoLight.mode = 1;
    if (p.logoLight.speed > 5) p.logoLight.speed = 5;

    const uint32_t dpiLed = static_cast<uint32_t>(d.DpiLEDMode);
    p.nDpiLightMode = static_cast<int32_t>(dpiLed & 0xFF);
    p.nDpiLightBright = static_cast<int32_t>((dpiLed >> 8) & 0xFF);
    p.nDpiLightSpeed = static_cast<int32_t>((dpiLed >> 16) & 0xFF);
}

// What SanitizeProfile found: whether anything changed, and each change in words.
struct Repairs {
    bool changed = false;
    std::vector<std::string>* said = nullptr;
};

template <typename T>
void Repair(Repairs& r, const char* field, T& value, T good) {
    LogPrintf("profile %s: %lld out of range, %lld used", field, static_cast<long long>(value),
              static_cast<long long>(good));
    if (r.said)
        r.said->push_back(std::string(field) + " " + std::to_string(static_cast<long long>(value)) +
                          " (" + std::to_string(static_cast<long long>(good)) + " used)");
    value = good;
    r.changed = true;
}

template <typename T>
void Step(Repairs& r, const char* field, T& value, int maxStep) {
    if (value < 1 || value > static_cast<T>(maxStep))
        Repair(r, field, value, std::clamp<T>(value, 1, static_cast<T>(maxStep)));
}

// A switch the mouse keeps as one bit.
void Switch(Repairs& r, const char* field, int32_t& value) {
    if (value != 0 && value != 1) Repair(r, field, value, 1);
}

}  // namespace

bool IsValidRateCode(int32_t rate) {
    return RateOfCode(rate) != nullptr;
}

void NewProfile(ProfileFile& p, const std::string& name) {
    p = ProfileFile{};
    p.dwMagic = kProfileMagic;
    p.dwId = NewMacroId();
    p.SetName(GetText("tc_msg14"));
    p.SetName(name);
    FillSettings(p);
}

void ResetProfileSettings(ProfileFile& p) {
    p.SetName(GetText("tc_msg14"));
    FillSettings(p);
}

bool SanitizeProfile(ProfileFile& p, std::vector<std::string>* repaired) {
    ProfileFile def;
    FillSettings(def);
    Repairs changed{false, repaired};

    if (p.szName.back() != 0) Repair(changed, "name end", p.szName.back(), char16_t{0});
    if (p.nKeySet < 0 || p.nKeySet >= kKeySets) Repair(changed, "key set", p.nKeySet, 0);
    for (KeySet& set : p.keys)
        for (KeyInfo& k : set)
            if (k.MatrixInx > static_cast<uint32_t>(kKeysPerSet))
                Repair(changed, "matrix slot", k.MatrixInx, 0u);

    if (p.nDpiLevels < 1 || p.nDpiLevels > kDpiLevels)
        Repair(changed, "level count", p.nDpiLevels, std::clamp(def.nDpiLevels, 1, kDpiLevels));
    if (p.nSavedDpiLevel < 0 || p.nSavedDpiLevel >= p.nDpiLevels)
        Repair(changed, "current level", p.nSavedDpiLevel, 0);
    if (!IsValidRateCode(p.nRate))
        Repair(changed, "rate", p.nRate, IsValidRateCode(def.nRate) ? def.nRate : 0x500);

    if (p.mainLight.mode > kMainModes)
        Repair(changed, "lighting mode", p.mainLight.mode,
               def.mainLight.mode <= kMainModes ? def.mainLight.mode : 0u);
    Step(changed, "lighting speed", p.mainLight.speed, kLightSteps);
    Step(changed, "lighting brightness", p.mainLight.brightness, kLightSteps);
    if (p.logoLight.mode > kMainModes)
        Repair(changed, "logo mode", p.logoLight.mode,
               def.logoLight.mode <= kMainModes ? def.logoLight.mode : 0u);
    Step(changed, "logo speed", p.logoLight.speed, kLogoSpeedSteps);
    Step(changed, "logo brightness", p.logoLight.brightness, kLightSteps);
    // The DPI light mode goes to the mouse as one byte.
    if (p.nDpiLightMode < 0 || p.nDpiLightMode > 0xFF)
        Repair(changed, "DPI light mode", p.nDpiLightMode, def.nDpiLightMode);
    Step(changed, "DPI light speed", p.nDpiLightSpeed, kLogoSpeedSteps);
    Step(changed, "DPI light brightness", p.nDpiLightBright, kLightSteps);
    return changed.changed;
}

bool LimitSingleSettings(ProfileFile& p, std::vector<std::string>* repaired) {
    ProfileFile def;
    FillSettings(def);
    Repairs changed{false, repaired};
    const SensorCfg& d = Device();
    if (p.nLod != 1 && p.nLod != 2 && p.nLod != def.nLod)
        Repair(changed, "lift-off distance", p.nLod, def.nLod == 2 ? 2 : 1);
    const int32_t debounceLo = TheProfileOptions().DebounceRange & 0xFF,
                  debounceHi = (TheProfileOptions().DebounceRange >> 8) & 0xFF;
    if (debounceHi >= debounceLo && (p.nDebounce < debounceLo || p.nDebounce > debounceHi))
        Repair(changed, "debounce", p.nDebounce, std::clamp(p.nDebounce, debounceLo, debounceHi));
    const bool sleepOffered = p.nSleepTime > 0 && std::find(d.SleepVal.begin(), d.SleepVal.end(),
                                                            p.nSleepTime) != d.SleepVal.end();
    if (!sleepOffered && p.nSleepTime != def.nSleepTime)
        Repair(changed, "sleep", p.nSleepTime, def.nSleepTime);
    if (p.nAutoSleep < 1 || p.nAutoSleep > kAutoSleepMost)
        Repair(changed, "auto sleep", p.nAutoSleep, def.nAutoSleep);
    Switch(changed, "ripple control", p.nRipple);
    Switch(changed, "angle snapping", p.nFixLine);
    Switch(changed, "motion sync", p.nMotionSync);
    Switch(changed, "sensor mode", p.nSensorMode);
    Switch(changed, "light off while moving", p.nLightOffOnMoving);
    return changed.changed;
}
