#include "profile/sensor_table.h"

#include <algorithm>
#include <span>

#include "profile/catalogue_state.h"
#include "profile/profile_state.h"
#include "base/log.h"

namespace {

// Codes of 600 ... 4000 in steps of 100.
constexpr uint8_t kTableA[] = {
    0x10, 0x12, 0x15, 0x17, 0x1A, 0x1D, 0x1F, 0x22, 0x25, 0x27, 0x2A, 0x2D,
    0x2F, 0x32, 0x34, 0x37, 0x3A, 0x3C, 0x3F, 0x42, 0x44, 0x47, 0x4A, 0x4C,
    0x4F, 0x52, 0x54, 0x57, 0x59, 0x5C, 0x5F, 0x61, 0x64, 0x67, 0x69,
};
static_assert(std::size(kTableA) == 35);

// Codes of 200 ... 5000 in steps of 100.
constexpr uint8_t kTableB[] = {
    0x04, 0x06, 0x08, 0x0B, 0x0D, 0x0F, 0x12, 0x14, 0x16, 0x19, 0x1B, 0x1D, 0x20,
    0x22, 0x24, 0x27, 0x29, 0x2B, 0x2E, 0x30, 0x32, 0x34, 0x37, 0x39, 0x3B, 0x3E,
    0x40, 0x42, 0x45, 0x47, 0x49, 0x4C, 0x4E, 0x50, 0x53, 0x55, 0x57, 0x5A, 0x5C,
    0x5E, 0x61, 0x63, 0x65, 0x68, 0x6A, 0x6C, 0x6F, 0x71, 0x73,
};
static_assert(std::size(kTableB) == 49);

// Codes of 100 ... 16000 in steps of 100.
constexpr uint8_t kTableC[] = {
    0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12,
    0x13, 0x14, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x23, 0x25, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34, 0x35, 0x36, 0x38, 0x39,
    0x3A, 0x3B, 0x3C, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C,
    0x4D, 0x4E, 0x50, 0x51, 0x52, 0x53, 0x54, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x62, 0x63, 0x64, 0x65, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6E, 0x6F, 0x70, 0x71, 0x72,
    0x74, 0x75, 0x76, 0x77, 0x78, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x81, 0x82, 0x83, 0x84, 0x86,
    0x87, 0x88, 0x89, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0x93, 0x94, 0x95, 0x96, 0x98, 0x99,
    0x9A, 0x9B, 0x9C, 0x9E, 0x9F, 0xA0, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xAA, 0xAB, 0xAC,
    0xAD, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD,
};
static_assert(std::size(kTableC) == 160);

// Codes of 50 ... 10000 in steps of 50, then of 10100 ... 12000 in steps of 100 (the latter
// repeat the codes of 5050 ... 6000: the sensor doubles them).
constexpr uint8_t kTableD[] = {
    0x01,
    0x02,
    0x03,
    0x04,
    0x05,
    0x06,
    0x08,
    0x09,
    0x0A,
    0x0B,
    0x0C,
    0x0E,
    0x0F,
    0x10,
    0x11,
    0x12,
    0x13,
    0x15,
    0x16,
    0x17,
    0x18,
    0x19,
    0x1B,
    0x1C,
    0x1D,
    0x1E,
    0x1F,
    0x20,
    0x22,
    0x23,
    0x24,
    0x25,
    0x26,
    0x27,
    0x29,
    0x2A,
    0x2B,
    0x2C,
    0x2D,
    0x2F,
    0x30,
    0x31,
    0x32,
    0x33,
    0x34,
    0x36,
    0x37,
    0x38,
    0x39,
    0x3A,
    0x3B,
    0x3D,
    0x3E,
    0x3F,
    0x40,
    0x41,
    0x43,
    0x44,
    0x45,
    0x46,
    0x47,
    0x48,
    0x4A,
    0x4B,
    0x4C,
    0x4D,
    0x4E,
    0x4F,
    0x51,
    0x52,
    0x53,
    0x54,
    0x55,
    0x57,
    0x58,
    0x59,
    0x5A,
    0x5B,
    0x5C,
    0x5E,
    0x5F,
    0x60,
    0x61,
    0x62,
    0x63,
    0x65,
    0x66,
    0x67,
    0x68,
    0x69,
    0x6B,
    0x6C,
    0x6D,
    0x6E,
    0x6F,
    0x70,
    0x72,
    0x73,
    0x74,
    0x75,
    0x76,
    0x77,
    0x79,
    0x7A,
    0x7B,
    0x7C,
    0x7D,
    0x7F,
    0x80,
    0x81,
    0x82,
    0x83,
    0x84,
    0x86,
    0x87,
    0x88,
    0x89,
    0x8A,
    0x8B,
    0x8D,
    0x8E,
    0x8F,
    0x90,
    0x91,
    0x93,
    0x94,
    0x95,
    0x96,
    0x97,
    0x98,
    0x9A,
    0x9B,
    0x9C,
    0x9D,
    0x9E,
    0x9F,
    0xA1,
    0xA2,
    0xA3,
    0xA4,
    0xA5,
    0xA7,
    0xA8,
    0xA9,
    0xAA,
    0xAB,
    0xAC,
    0xAE,
    0xAF,
    0xB0,
    0xB1,
    0xB2,
    0xB3,
    0xB5,
    0xB6,
    0xB7,
    0xB8,
    0xB9,
    0xBB,
    0xBC,
    0xBD,
    0xBE,
    0xBF,
    0xC0,
    0xC2,
    0xC3,
    0xC4,
    0xC5,
    0xC6,
    0xC7,
    0xC9,
    0xCA,
    0xCB,
    0xCC,
    0xCD,
    0xCF,
    0xD0,
    0xD1,
    0xD2,
    0xD3,
    0xD4,
    0xD6,
    0xD7,
    0xD8,
    0xD9,
    0xDA,
    0xDB,
    0xDD,
    0xDE,
    0xDF,
    0xE0,
    0xE1,
    0xE3,
    0xE4,
    0xE5,
    0xE6,
    0xE7,
    0xE8,
    0xEA,
    0xEB,
    // 10100 ... 12000
    0x76,
    0x77,
    0x79,
    0x7A,
    0x7B,
    0x7C,
    0x7D,
    0x7F,
    0x80,
    0x81,
    0x82,
    0x83,
    0x84,
    0x86,
    0x87,
    0x88,
    0x89,
    0x8A,
    0x8B,
    0x8D,
};
static_assert(std::size(kTableD) == 220);

struct DefaultSet {
    uint32_t sensor;
    DefaultDpi dpi;
};
constexpr DefaultSet kDefaultSets[] = {
    {0x3050, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
    {0x3370, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
    {0x3212, {750, 1000, 1600, 2400, 3200, 4000, 5000, 7200}},
    {0x3320, {750, 1000, 1500, 2000, 2500, 3500, 4000, 5000}},
    {0x3325, {800, 1200, 2000, 3200, 4000, 5200, 6000, 8000}},
    {0x3330, {1000, 1500, 2000, 3000, 4000, 5000, 6000, 7200}},
    {0x3360, {1000, 1600, 2000, 3000, 4000, 5000, 6000, 8000}},
    {0x3610, {1000, 1600, 2000, 2400, 3000, 3200, 4000, 5600}},
    {0x5050, {750, 1000, 1250, 1500, 1750, 2000, 2500, 2750}},
    {0x5090, {500, 1000, 1250, 1500, 2000, 2500, 3000, 3500}},
    {0x7350, {600, 800, 1000, 1200, 1600, 2000, 2400, 3200}},
    {0x9800, {1000, 1500, 2000, 3000, 3500, 4000, 5000, 8200}},
};

// Appends first, first + step, ... up to last (inclusive), with the code of each from `code`
// (called with the value's position in the list). Never grows past the table's size.
template <typename CodeOf>
void AddRange(SensorTable& t, uint32_t first, uint32_t last, uint32_t step, CodeOf code) {
    for (uint32_t v = first; v <= last && t.count < kSensorMaxValues; v += step) {
        t.dpi[t.count] = static_cast<uint16_t>(v);
        t.code[t.count] = static_cast<uint8_t>(code(t.count, v));
        ++t.count;
    }
}

void AddCodes(SensorTable& t, uint32_t first, uint32_t last, uint32_t step,
              std::span<const uint8_t> codes) {
    size_t i = 0;
    AddRange(t, first, last, step,
             [&](uint32_t, uint32_t) { return i < codes.size() ? codes[i++] : uint8_t{0}; });
}

int Search(const SensorTable& t, uint32_t dpi) {
    for (uint32_t i = 0; i < t.count; ++i)
        if (t.dpi[i] == dpi) return static_cast<int>(i);
    return -1;
}

// The extension values above a sensor's base list are doubled base values: each takes the code
// of its half.
void AddDoubled(SensorTable& t, uint32_t first, uint32_t last, uint32_t step, bool logMissing) {
    const SensorTable base = t;
    AddRange(t, first, last, step, [&](uint32_t, uint32_t v) -> uint32_t {
        int i = Search(base, v / 2);
        if (i >= 0) return base.code[static_cast<size_t>(i)];
        if (logMissing) LogPrintf("increct dp %d", static_cast<int>(v));
        return 0xFF;
    });
}

uint32_t SearchCode(uint32_t sensorId, uint32_t dpi) {
    const SensorTable* t = FindSensorTable(sensorId);
    if (!t) return 0;
    int i = Search(*t, dpi);
    return i < 0 ? 0 : t->code[static_cast<size_t>(i)];
}

// The DPI of the first position whose code equals `code` in a list of values
// first, first + step, ... with the given codes; 0 when none.
uint32_t BaseLookup(std::span<const uint8_t> codes, uint32_t first, uint32_t step, uint32_t code) {
    for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code) return first + static_cast<uint32_t>(i) * step;
    return 0;
}

uint32_t Lookup(uint32_t sensorId, uint32_t code) {
    const SensorTable* t = FindSensorTable(sensorId);
    if (!t) return 0;
    for (uint32_t i = 0; i < t->count; ++i)
        if (t->code[i] == code) return t->dpi[i];
    return 0;
}

// A computed code: v / step - 1, 0 when v is below the first step or the result does not fit
// the code's bits (the mouse would store a different value).
uint32_t Divided(uint32_t v, uint32_t step, uint32_t maxCode) {
    if (v < step) return 0;
    uint32_t c = v / step - 1;
    return c <= maxCode ? c : 0;
}

}  // namespace

void BuildSensorTables() {
    for (SensorTable& t : TheCatalogue().SensorTables) t = SensorTable{};
    auto next = TheCatalogue().SensorTables.begin();
    auto make = [&](uint32_t id) -> SensorTable& {
        next->id = id;
        return *next++;
    };
    auto position = [](uint32_t i, uint32_t) { return i; };

    SensorTable& t3050 = make(kSensor3050);
    const uint16_t list3050[] = {500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000};
    for (uint16_t v : list3050) {
        t3050.dpi[t3050.count] = v;
        t3050.code[t3050.count] = static_cast<uint8_t>(t3050.count + 1);
        ++t3050.count;
    }

    SensorTable& t3330 = make(kSensor3330);
    AddRange(t3330, 50, 7200, 50, position);
    AddRange(t3330, 7300, 12000, 100, position);

    AddCodes(make(kSensor3104), 600, 4000, 100, kTableA);
    AddCodes(make(kSensor3212), 600, 2400, 100, std::span(kTableA).first(19));

    SensorTable& t3325 = make(kSensor3325);
    AddCodes(t3325, 200, 5000, 100, kTableB);
    if (TheProfileOptions().Setp200_3325)
        AddDoubled(t3325, 5200, 10000, 200, true);
    else
        AddDoubled(t3325, 6000, 10000, 1000, true);

    AddCodes(make(kSensor3335), 100, 16000, 100, kTableC);

    SensorTable& t4090 = make(kSensor4090);
    AddCodes(t4090, 200, 5000, 100, kTableB);
    AddDoubled(t4090, 5200, 10000, 200, false);

    SensorTable& t3336 = make(kSensor3336);
    AddRange(t3336, 50, 7200, 50, [](uint32_t, uint32_t v) { return v / 50 - 1; });
    AddDoubled(t3336, 7300, 12000, 100, false);

    SensorTable& t3370 = make(kSensor3370);
    auto zero = [](uint32_t, uint32_t) { return 0u; };
    AddRange(t3370, 50, 10000, 50, zero);
    AddRange(t3370, 10100, 19000, 100, zero);
    AddRange(t3370, 19200, 38000, 200, zero);

    SensorTable& t9000 = make(kSensor9000);
    AddCodes(t9000, 50, 10000, 50, std::span(kTableD).first(200));
    // Values above 12000 are written through their half, so their own code is never used.
    size_t extra = 200;
    if (TheProfileOptions().Sensor9000Max >= 10100)
        AddRange(t9000, 10100, static_cast<uint32_t>(TheProfileOptions().Sensor9000Max), 100,
                 [&](uint32_t, uint32_t) -> uint32_t {
                     return extra < std::size(kTableD) ? kTableD[extra++] : 0;
                 });

    SensorTable& t3395 = make(kSensor3395);
    AddRange(t3395, 50, 26000, 50, zero);
    if (TheProfileOptions().Sensor3395Max >= 26100)
        AddRange(t3395, 26100, static_cast<uint32_t>(TheProfileOptions().Sensor3395Max), 100, zero);
}

SensorTable* FindSensorTable(uint32_t sensorId) {
    if (sensorId == 0) return nullptr;
    for (SensorTable& t : TheCatalogue().SensorTables)
        if (t.id == sensorId) return &t;
    return nullptr;
}

uint32_t DpiToCode(uint32_t sensorId, uint32_t v, int* multiplier) {
    auto setM = [&](int m) {
        if (multiplier) *multiplier = m;
    };
    switch (sensorId) {
        case kSensor3325:
        case kSensor4090:
            setM(v > 5000 ? 1 : 0);
            return SearchCode(sensorId, v);
        case kSensor3336:
            setM(v > 7200 ? 1 : 0);
            return SearchCode(sensorId, v);
        case kSensor3104:
            setM(v > 4000 ? 1 : 0);
            return SearchCode(sensorId, v);
        case kSensor3330:
            setM(v > 7200 ? 1 : 0);
            return v <= 7200 ? Divided(v, 50, 0xFF) : Divided(v, 100, 0xFF);
        case kSensor3335: {
            setM(v > 16000 ? 1 : 0);
            // The fixed table ends at 16000 (and 32000 doubled); nothing beyond it has a code.
            uint32_t pos = v <= 16000 ? v / 100 : v / 200;
            return pos >= 1 && pos <= std::size(kTableC) ? kTableC[pos - 1] : 0;
        }
        case kSensor3370:
            if (v <= 10000) {
                setM(0);
                return Divided(v, 50, 0xFF);
            }
            if (v <= 19000) {
                setM(2);
                return Divided(v, 100, 0xFF);
            }
            if (v <= 20000) {
                setM(1);
                return Divided(v, 100, 0xFF);
            }
            setM(3);
            return v <= 38000 ? Divided(v, 200, 0xFF) : 0;
        case kSensor3395:
            setM(v <= 26099 ? 0 : 1);
            // Codes of this sensor take 10 bits.
            return v <= 26099 ? Divided(v, 50, 0x3FF) : Divided(v, 100, 0x3FF);
        case kSensor9000:
            setM(v < 10100 ? 0 : v <= 12000 ? 0x22 : 0x11);
            return v > 12000 ? SearchCode(sensorId, v / 2) : SearchCode(sensorId, v);
        default:
            return SearchCode(sensorId, v);
    }
}

uint32_t SensorCodeToDpi(uint32_t sensorId, uint32_t c, int m) {
    if (sensorId == 0 || !FindSensorTable(sensorId)) return 0;
    const uint32_t twice = m != 0 ? 2 : 1;
    switch (sensorId) {
        case kSensor3325:
        case kSensor4090:
            return BaseLookup(kTableB, 200, 100, c) * twice;
        case kSensor3335:
            return BaseLookup(kTableC, 100, 100, c) * twice;
        case kSensor3336:
            return (c < 144 ? (c + 1) * 50 : 0) * twice;
        case kSensor3104:
        case kSensor9000:
            return Lookup(sensorId, c) * twice;
        case kSensor3330:
            return (c + 1) * (m != 0 ? 100 : 50);
        case kSensor3370:
            return (c + 1) * ((m & 2) ? 100 : 50) * ((m & 1) ? 2 : 1);
        case kSensor3395:
            return (c + 1) * ((m & 1) ? 100 : 50);
        default:
            return Lookup(sensorId, c);
    }
}

uint32_t CodeToDpi(uint32_t code, int multiplier) {
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    if (!cfg) return 0;
    return SensorCodeToDpi(static_cast<uint32_t>(cfg->Sensor), code, multiplier);
}

int IndexOfDpi(uint32_t sensorId, uint32_t dpi) {
    const SensorTable* t = FindSensorTable(sensorId);
    return t ? Search(*t, dpi) : -1;
}

int DpiAtIndex(uint32_t sensorId, int index) {
    const SensorTable* t = FindSensorTable(sensorId);
    if (!t || index < 0 || static_cast<uint32_t>(index) >= t->count) return -1;
    return t->dpi[static_cast<size_t>(index)];
}

const DefaultDpi* DefaultDpiSet(uint32_t sensorId) {
    for (const DefaultSet& s : kDefaultSets)
        if (s.sensor == sensorId) return &s.dpi;
    return nullptr;
}

void LimitSensorTable(SensorTable& t) {
    if (t.id != kSensor3335) return;
    uint32_t kept = 0;
    for (uint32_t i = 0; i < t.count; ++i) {
        if (t.dpi[i] > kSensor3335MaxDpi) continue;
        t.dpi[kept] = t.dpi[i];
        t.code[kept] = t.code[i];
        ++kept;
    }
    if (kept != t.count)
        LogPrintf("sensor %x: %u values above %u dropped", t.id, t.count - kept, kSensor3335MaxDpi);
    t.count = kept;
}
