#include "app/device_catalogue.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/log.h"
#include "base/notice.h"
#include "base/number_text.h"
#include "profile/sensor_table.h"

namespace {

constexpr uint32_t kKeepValue = 0xFFFFFFFFu;  // an alias "to" of -1: keep the value
constexpr size_t kMaxAliasPairs = 10;
constexpr uint32_t kMaxDpiValue = 0xFFFF;  // DPI values are stored in 16 bits

const std::array<uint32_t, kDpiLevels> kDefaultColours = {
    Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(128, 0, 255),
    Rgb(250, 198, 3), Rgb(250, 3, 106), Rgb(255, 0, 255), Rgb(0, 255, 255),
};
const std::array<int32_t, 11> kDefaultSleepVal = {10,   30,   60,   300,  600, 900,
                                                  1200, 1500, 1800, 2100, 2400};

struct AliasPair {
    uint32_t from, to;
};

class SectionReader {
  public:
    SectionReader(const IniFile& ini, int number, const NoticeSink& tell)
        : m_ini(ini), m_section("DEV_" + std::to_string(number)), m_number(number), m_tell(tell) {}

    // What is wrong with the section, said as it is found; reading goes on.
    void Warning(const std::string& text) const { Notify(m_tell, {text, "Warning"}); }
    void Error(const std::string& text) const { Notify(m_tell, {text, "Error"}); }

    int number() const { return m_number; }
    int32_t Int(const char* key, int32_t def) const { return m_ini.GetInt(m_section, key, def); }
    std::string Text(const std::string& key, size_t size) const {
        return m_ini.GetString(m_section, key, "", size);
    }
    bool Has(const std::string& key) const {
        // A default no value can equal tells a missing key from an empty one.
        return m_ini.GetString(m_section, key, "\x01", 4) != "\x01";
    }
    std::vector<uint32_t> List(const std::string& key, size_t size, int base,
                               size_t maxCount) const {
        return ParseNumberList(Text(key, size), base, maxCount);
    }
    void Point(const char* key, ZvPoint& out) const {
        if (!Has(key)) return;
        auto n = List(key, 50, 10, 3);
        if (n.size() != 2) {
            Error("Wrong POINT num");
            return;
        }
        out = {static_cast<int32_t>(n[0]), static_cast<int32_t>(n[1])};
    }

  private:
    const IniFile& m_ini;
    std::string m_section;
    int m_number;
    const NoticeSink& m_tell;
};

std::vector<AliasPair> ReadAliases(const SectionReader& r) {
    auto n = r.List("DPIRANGEALIAS", 260, 10, 2 * kMaxAliasPairs + 2);
    std::vector<AliasPair> pairs;
    for (size_t i = 0; i + 1 < n.size(); i += 2) {
        if (pairs.size() == kMaxAliasPairs) {
            LogPrintf("DEV_%d: DPIRANGEALIAS has more than %zu pairs, the rest is ignored",
                      r.number(), kMaxAliasPairs);
            break;
        }
        if (n[i + 1] != kKeepValue && n[i + 1] > kMaxDpiValue) {
            LogPrintf("DEV_%d: DPIRANGEALIAS %u -> %u ignored", r.number(), n[i], n[i + 1]);
            continue;
        }
        pairs.push_back({n[i], n[i + 1]});
    }
    return pairs;
}

uint32_t Alias(const std::vector<AliasPair>& pairs, uint32_t v) {
    for (const AliasPair& p : pairs)
        if (p.from == v) return p.to == kKeepValue ? v : p.to;
    return v;
}

// Rebuilds a sensor's DPI list from start, end, step and an optional second range. A range that
// cannot build a sound list leaves the table as it was; more than the table holds is cut.
void ApplyDpiRange(const SectionReader& r, SensorTable& t, const std::vector<AliasPair>& pairs) {
    auto n = r.List("DPIRANGE", 260, 10, 6);
    if (n.size() < 3) {
        r.Warning("Wrong DPIRANGE");
        return;
    }
    if (n.size() < 6)
        LogPrintf("DEV_%d: DPIRANGE second range incomplete, only the first one is used",
                  r.number());
    size_t ranges = n.size() == 6 ? 2 : 1;
    for (size_t k = 0; k < ranges; ++k) {
        uint32_t start = n[3 * k], end = n[3 * k + 1], step = n[3 * k + 2];
        if (step == 0 || step > kMaxDpiValue || start > kMaxDpiValue || end > kMaxDpiValue) {
            LogPrintf("DEV_%d: DPIRANGE %u,%u,%u cannot build a list", r.number(), start, end,
                      step);
            r.Warning("Wrong DPIRANGE");
            return;
        }
    }
    std::vector<uint32_t> values;
    bool cut = false;
    for (size_t k = 0; k < ranges && !cut; ++k) {
        uint32_t start = n[3 * k], end = n[3 * k + 1], step = n[3 * k + 2];
        for (uint32_t v = start; !cut; v += step) {
            if (values.size() == kSensorMaxValues) {
                cut = true;
                break;
            }
            values.push_back(Alias(pairs, v));
            if (v + step > end || v + step < v) break;
        }
    }
    if (cut)
        LogPrintf("DEV_%d: DPIRANGE gives more than %d values, the list is cut", r.number(),
                  kSensorMaxValues);
    for (size_t i = 0; i < values.size(); ++i) t.dpi[i] = static_cast<uint16_t>(values[i]);
    t.count = static_cast<uint32_t>(values.size());
}

void ApplyDpiSet(const SectionReader& r, SensorTable& t) {
    if (r.Has("DPISET")) {
        auto n = r.List("DPISET", 780, 10, kSensorMaxValues);
        bool fits = std::all_of(n.begin(), n.end(), [](uint32_t v) { return v <= kMaxDpiValue; });
        if (!n.empty() && !fits) {
            LogPrintf("DEV_%d: DPISET holds a value above %u, ignored", r.number(), kMaxDpiValue);
        } else if (!n.empty()) {
            bool hasHw = r.Has("DPIHW") && !r.List("DPIHW", 520, 16, 1).empty();
            // Without DPIHW the codes are the positions 1, 2, 3, ...; a code is one byte.
            if (!hasHw && n.size() > 255) {
                LogPrintf("DEV_%d: DPISET without DPIHW is cut to 255 values", r.number());
                n.resize(255);
            }
            t.dpi.fill(0);
            t.code.fill(0);
            for (size_t i = 0; i < n.size(); ++i) {
                t.dpi[i] = static_cast<uint16_t>(n[i]);
                t.code[i] = static_cast<uint8_t>(i + 1);
            }
            t.count = static_cast<uint32_t>(n.size());
        }
    }
    if (r.Has("DPIHW")) {
        auto n = r.List("DPIHW", 520, 16, kSensorMaxValues);
        if (!n.empty()) {
            t.code.fill(0);
            for (size_t i = 0; i < n.size(); ++i) t.code[i] = static_cast<uint8_t>(n[i]);
            if (n.size() != t.count) r.Warning("DPISET Num != DPIHW Num");
        }
    }
}

// One "K%d_%d" value: type, code, parameter and matrix slot, hexadecimal. Fields the value does
// not set keep what the buffer holds. Returns false when the value is not usable.
bool ApplyDefaultKey(const std::string& text, KeyInfo& k) {
    auto n = ParseNumberList(text, 16, 5);
    if (n.size() != 4) return false;
    const uint32_t type = n[0], code = n[1], param = n[2], matrix = n[3];
    // A slot outside the key matrix would index past it when the key is read or written.
    if (matrix > kKeysPerSet) return false;
    k.dwFunID = (type << 24) + (code & 0xFF);
    k.MatrixInx = matrix;
    if (type == 8) {
        const uint32_t c = code & 0xFF;
        if (c == 0xA4 || c == 0xA6 || c == 0xAD || c == 0xC0)
            k.dwParameter = (c == 0xA4 && param == 0) ? 0x0A03 : param;
    } else if (type == 2) {
        k.dwFunID = 0x020000A1;
        k.stCombo[1] = static_cast<uint8_t>(code & 0xFF);
        k.stCombo[2] = static_cast<uint8_t>((code >> 8) & 0xFF);
        k.stCombo[0] = static_cast<uint8_t>(k.stCombo[0] | (param & 0x0F));
    }
    return true;
}

void ReadDefaultKeys(const SectionReader& r, SensorCfg& cfg) {
    KeySet buffer{};  // shared by the three profiles, cleared once
    for (int p = 0; p < kKeySets; ++p) {
        int valid = 0;
        for (int b = 0; b < kKeysPerSet; ++b) {
            std::string key = "K" + std::to_string(b + 1) + "_" + std::to_string(p + 1);
            if (!r.Has(key)) continue;
            if (ApplyDefaultKey(r.Text(key, 50), buffer[static_cast<size_t>(b)]))
                ++valid;
            else
                LogPrintf("DEV_%d: %s ignored", r.number(), key.c_str());
        }
        if (valid > 0) {
            cfg.DefKeys[static_cast<size_t>(p)] = buffer;
            if (valid < cfg.nKeyNum) r.Error("Key num to small");
        } else if (p > 0) {
            cfg.DefKeys[static_cast<size_t>(p)] = cfg.DefKeys[0];
        }
    }
}

void ReadMarks(const SectionReader& r, SensorCfg& cfg) {
    for (int i = 0; i < kKeysPerSet; ++i) {
        std::string key = "Mark" + std::to_string(i + 1);
        if (!r.Has(key)) break;
        cfg.nMarkNum = i + 1;
        auto n = r.List(key, 50, 10, 5);
        if (n.size() != 4) {
            r.Error("Mark value error");
            continue;
        }
        // Unsigned sums: hostile values wrap instead of overflowing.
        auto v = [](uint32_t x) { return static_cast<int32_t>(x); };
        cfg.Mark[static_cast<size_t>(i)] = {v(n[0]), v(n[1]), v(n[0] + n[2]), v(n[1] + n[3])};
    }
}

void ReadSwitches(const SectionReader& r, SensorCfg& c) {
    c.ShowLOD = r.Int("ShowLOD", 0);
    c.ShowDpi = r.Int("ShowDpi", 1);
    c.ShowDpiColor = r.Int("ShowDpiColor", 1);
    c.DpiColorReadOnly = r.Int("DpiColorReadOnly", 0);
    c.ShowUsbRate = r.Int("ShowUsbRate", 1);
    c.ShowRipple = r.Int("ShowRipple", 1);
    c.ShowFixLine = r.Int("ShowFixLine", 1);
    c.ShowDpiLED = r.Int("ShowDpiLED", 1);
    if (c.ShowDpi == 0) c.ShowDpiLED = 0;
    c.ShowMainEffect = r.Int("ShowMainEffect", 1);
    c.ShowLogoEffect = r.Int("ShowLogoEffect", 0);
    c.ShowSleep = r.Int("ShowSleep", 1);
    c.ShowAutoSleep = r.Int("ShowAutoSleep", 0);
    c.ShowMotionSync = r.Int("ShowMotionSync", 0);
    if (c.ShowMotionSync == 0) c.ShowMotionSync = gVar.ShowMotionSync;
    c.Debounce = r.Int("Debounce", 0);
    c.ShowDebounce = r.Int("ShowDebounce", 1);
    c.ShowXY = r.Int("ShowXY", 0);
    c.ShowRGBSw = r.Int("ShowRGBSw", 1);
    c.DpiMenuMask = r.Int("DpiMenuMask", 7);
    c.DpiLEDMode = r.Int("DpiLEDMode", 0);
    if (c.DpiLEDMode == 0) c.DpiLEDMode = 197890;
    c.LedMask = r.Int("LedMask", 0);
    c.LightParam = r.Int("LightParam", 2561);
    c.SleepTime = r.Int("SleepTime", 60);
    c.SleepTimeCheck = r.Int("SleepTimeCheck", 1);
    c.DpiUILevels = r.Int("DpiUILevels", 0);
    c.SetDPIByClick = r.Int("SetDPIByClick", 0);

    auto sleep = r.List("SleepVal", 260, 10, c.SleepVal.size());
    c.SleepVal.fill(0);
    if (sleep.empty())
        std::copy(kDefaultSleepVal.begin(), kDefaultSleepVal.end(), c.SleepVal.begin());
    for (size_t i = 0; i < sleep.size(); ++i) c.SleepVal[i] = static_cast<int32_t>(sleep[i]);

    for (int i = 0; i < 3; ++i)
        c.ExKey[static_cast<size_t>(i)] =
            static_cast<uint32_t>(r.Int(("ExKey" + std::to_string(i + 1)).c_str(), 0));

    auto limits = r.List("DpiLimit", 260, 10, 20);
    if (limits.size() % 2 != 0) {
        r.Warning("wrong DpiLimit value");
    } else {
        for (size_t i = 0; i / 2 < kDpiLevels && i + 1 < limits.size(); i += 2)
            c.DpiLimit[i / 2] = {static_cast<int32_t>(limits[i]),
                                 static_cast<int32_t>(limits[i + 1])};
    }
}

// The level numbers index arrays of eight; values outside their range are brought back.
void CheckLevels(const SectionReader& r, SensorCfg& c) {
    if (c.DM < 1 || c.DM > kDpiLevels) {
        int32_t dm = std::clamp(c.DM, 1, kDpiLevels);
        LogPrintf("DEV_%d: DM %d out of range, %d used", r.number(), c.DM, dm);
        c.DM = dm;
    }
    if (c.DEFLEVEL < 0 || c.DEFLEVEL >= c.DM) {
        LogPrintf("DEV_%d: DEFLEVEL %d out of range, 0 used", r.number(), c.DEFLEVEL);
        c.DEFLEVEL = 0;
    }
    if (c.DpiUILevels < 0 || c.DpiUILevels > kDpiLevels) {
        LogPrintf("DEV_%d: DpiUILevels %d out of range, DM used", r.number(), c.DpiUILevels);
        c.DpiUILevels = 0;
    }
}

// Reads one section; false on a hard failure.
bool ReadSection(const SectionReader& r, SensorCfg& c) {
    c.Sensor = r.Int("Sensor", 0);
    if (c.Sensor == 0) return true;
    c.CID = r.Int("CID", 0);
    c.MID = r.Int("MID", 0);
    r.Point("ptMark", c.ptMark);
    r.Point("ptLedMark", c.ptLedMark);
    r.Point("ptSensorMode", c.ptSensorMode);
    r.Point("ptRipple", c.ptRipple);
    r.Point("ptFixLine", c.ptFixLine);
    if (c.ptRipple == ZvPoint{})
        c.ptRipple = gVar.OldAdvDlg ? ZvPoint{818, 160} : ZvPoint{826, 435};
    c.DR = r.Int("DR", 1280);
    ReadSwitches(r, c);

    c.DM = r.Int("DM", 6);
    c.DPIH = r.Int("DPIH", 10);
    c.DEFLEVEL = r.Int("DEFLEVEL", 0);
    CheckLevels(r, c);

    const uint32_t sensor = static_cast<uint32_t>(c.Sensor);
    SensorTable* table = FindSensorTable(sensor);
    if (!table) {
        r.Warning("Can't find sensor");
    } else {
        auto pairs = ReadAliases(r);
        for (uint32_t i = 0; i < table->count; ++i)
            table->dpi[i] = static_cast<uint16_t>(Alias(pairs, table->dpi[i]));
        if (!r.Text("DPIRANGE", 260).empty())
            ApplyDpiRange(r, *table, pairs);
        else
            ApplyDpiSet(r, *table);
        LimitSensorTable(*table);
    }

    auto dpi = r.List("DPI", 260, 10, kDpiLevels);
    c.DPI.fill(0);
    if (dpi.size() == static_cast<size_t>(c.DM)) {
        for (size_t i = 0; i < dpi.size(); ++i) c.DPI[i] = static_cast<int32_t>(dpi[i]);
    } else {
        if (const DefaultDpi* set = DefaultDpiSet(sensor))
            std::copy(set->begin(), set->end(), c.DPI.begin());
        if (!dpi.empty()) r.Warning("DPI != DM.");
    }
    for (int i = 0; i < c.DM; ++i) {
        int32_t v = c.DPI[static_cast<size_t>(i)];
        if (v < 0 || IndexOfDpi(sensor, static_cast<uint32_t>(v)) < 0)
            r.Warning("Wrong default dpi value: " + std::to_string(v));
    }

    c.DC = kDefaultColours;
    auto dc = r.List("DC", 260, 10, 3 * kDpiLevels);
    if (dc.size() == 3 * static_cast<size_t>(c.DM)) {
        for (size_t i = 0; i < static_cast<size_t>(c.DM); ++i)
            c.DC[i] = Rgb(dc[3 * i] & 0xFF, dc[3 * i + 1] & 0xFF, dc[3 * i + 2] & 0xFF);
    } else if (!dc.empty()) {
        r.Warning("DC != DM.");
    }

    c.KEYH = r.Int("KEYH", 10);
    int32_t mdnum = r.Int("MDNUM", 9);
    if (mdnum != 3 && mdnum != 6 && mdnum != 9) {
        LogPrintf("DEV_%d: MDNUM %d", r.number(), mdnum);
        return false;
    }
    c.MDNUM = mdnum / 3;
    c.KM = r.Int("KM", 32);
    if (c.KM % 2 != 0 || c.KM / 2 < 1 || c.KM / 2 > kKeysPerSet) {
        LogPrintf("DEV_%d: KM %d", r.number(), c.KM);
        return false;
    }
    c.nKeyNum = c.KM / 2;

    ReadDefaultKeys(r, c);
    ReadMarks(r, c);
    return true;
}

}  // namespace

bool LoadDeviceSections(const IniFile& ini, const NoticeSink& tell) {
    for (SensorCfg& c : gVar.SensorCfgs) c = SensorCfg{};
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    for (int i = 0; i < kDeviceSections; ++i) {
        SensorCfg& c = gVar.SensorCfgs[static_cast<size_t>(i)];
        if (!ReadSection(SectionReader(ini, i + 1, tell), c)) return false;
        // A skipped section leaves an empty entry.
        if (c.Sensor == 0) c = SensorCfg{};
    }
    return true;
}
