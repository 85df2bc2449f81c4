#include "ui/button_assignment.h"

#include <cstdio>
#include <mutex>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "macro/macro_list.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/key_function.h"
#include "profile/sensor_table.h"
#include "ui/key_names.h"

namespace {

constexpr uint32_t kLeftClick = 0x01000011;
constexpr uint32_t kAllSets = 0x080000AB;

const std::string& TextWithFallback(const KeyFunction& f) {
    const std::string& t = GetText(f.textKey);
    if (t.empty() && f.fallbackTextKey) return GetText(f.fallbackTextKey);
    return t;
}

uint32_t SensorId() {
    return gVar.pSensorCfg ? static_cast<uint32_t>(gVar.pSensorCfg->Sensor) : 0;
}

}  // namespace

int StoreKeyFunction(ProfileFile& p, const KeySets& defaults, int row, KeyInfo key) {
    if (p.dwId == 0 || row < 0 || row >= kKeysPerSet) return 0;
    const size_t set = static_cast<size_t>(std::clamp(p.nKeySet, 0, kKeySets - 1));
    const size_t r = static_cast<size_t>(row);
    if (key.dwFunID != kLeftClick) {
        bool otherLeft = false;
        for (size_t i = 0; i < kKeysPerSet; ++i)
            if (i != r && p.keys[set][i].dwFunID == kLeftClick) otherLeft = true;
        if (!otherLeft) return -1;
    }
    key.MatrixInx = defaults[0][r].MatrixInx;
    if (key.dwFunID == kAllSets) {
        for (KeySet& s : p.keys) s[r] = key;
        return 1;
    }
    bool heldAllSets = false;
    for (const KeySet& s : p.keys)
        if (s[r].dwFunID == kAllSets) heldAllSets = true;
    if (heldAllSets)
        for (size_t s = 0; s < kKeySets; ++s) p.keys[s][r] = defaults[s][r];
    p.keys[set][r] = key;
    LogPrintf(
        "pFile->Key[%d][%d]: dwFunID=0x%x, dwMacroID=0x%08x, dwParameter=0x%08x, "
        "stCombo=0x%08x",
        static_cast<int>(set), row, key.dwFunID, key.dwMacroID, key.dwParameter, key.ComboValue());
    return 1;
}

int SetKeyFunction(ProfileMonitor& profile, const KeySets& defaults, bool place, int row,
                   KeyInfo key, const std::function<void(const std::string&)>& tell) {
    int r = 0;
    if (!profile.EditCurrent(
            [&](ProfileFile& f, int32_t&) { r = StoreKeyFunction(f, defaults, row, key); }))
        return 0;
    if (r == -1) {
        if (tell) tell(GetText("tc_msg1"));
        return 0;
    }
    if (r == 1 && place) RequestApply(kApplyKeys, static_cast<uint32_t>(row));
    return r;
}

int SetKeyFunction(int row, KeyInfo key, const std::function<void(const std::string&)>& tell) {
    return SetKeyFunction(TheProfile(), gVar.WorkDefKeys, gVar.ApplyNow != 0, row, key, tell);
}

std::string GetKeyFunctionText(const KeyInfo& k, const MacroList& macros) {
    const uint32_t type = k.Type();
    const uint32_t code = k.dwFunID & 0xFFFFFF;
    if (type == kFunMacro) {
        std::optional<StMacro> m = macros.FindMacroById(k.dwMacroID);
        if (!m) return GetText("tc_msg11");
        return GetText("tc_msg25") + " - " + MacroNameUtf8(*m);
    }
    if (type == kFunCombo) {
        const int32_t v = k.stCombo[2] << 16 | k.stCombo[1] << 8 | k.stCombo[0];
        if (gVar.ComboName[0] != 0 && v == gVar.ComboName[0]) return GetText("tc_comboname1");
        if (gVar.ComboName[1] != 0 && v == gVar.ComboName[1]) return GetText("tc_comboname2");
        return GetComboText(k.stCombo[0], k.stCombo[1], k.stCombo[2], k.stCombo[3]);
    }
    if (code == 0xA4) return GetText("tc_fire");
    if (type == kFunExKey) {
        static const char* const kEx[3] = {"tc_ex1", "tc_ex2", "tc_ex3"};
        return code < 3 ? GetText(kEx[code]) : std::string();
    }
    if (code == 0xA6) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s - %d", GetText("tc_snipe").c_str(),
                      DpiAtIndex(SensorId(), static_cast<int>(k.dwParameter)));
        return buf;
    }
    for (const KeyFunction& f : KeyFunctions())
        if ((f.dwFunID & 0xFFFFFF) == code && f.textKey && *f.textKey) return TextWithFallback(f);
    return {};
}
