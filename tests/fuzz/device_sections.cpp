// Any bytes as the device sections of cfg.ini: loading must never crash, read or write out of
// bounds, or leave a sensor table longer than it can hold; every DPI of the tables it leaves
// behind must convert without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "platform/window.h"
#include "platform/window_recorder.h"
#include "profile/sensor_table.h"

namespace {

// The sensors with a built-in table, one without, and one that is not a sensor at all.
const char* const kSensors[] = {"12368", "13104", "12548", "12818", "13093", "13109", "16528",
                                "13110", "13168", "36864", "13205", "13152", "0",     "-1"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        return true;
    }();
    (void)once;
    if (size < 2) return 0;
    // The first bytes choose the sensor and the switches, so the sections reach every table.
    gVar.Setp200_3325 = data[0] & 1;
    gVar.Sensor9000Max = (data[0] & 2) ? 65000 : 12000;
    gVar.Sensor3395Max = (data[0] & 4) ? 65000 : 32000;
    std::string text = std::string("[DEV_1]\nSensor=") + kSensors[data[1] % std::size(kSensors)] +
                       "\n" + std::string(reinterpret_cast<const char*>(data + 2), size - 2);

    BuildSensorTables();
    LoadDeviceSections(IniFile::FromBytes(text));
    LoadDefaultKeys();
    platform::recorder::Clear();

    for (const SensorTable& t : gVar.SensorTables) {
        if (t.count > kSensorMaxValues) std::abort();
        if (t.id != static_cast<uint32_t>(gVar.SensorCfgs[0].Sensor)) continue;
        // A sample of the list: each conversion searches it, and all of it would be slow.
        for (uint32_t i = 0; i < t.count; i += 1 + t.count / 64) {
            int m = 0;
            uint32_t code = DpiToCode(t.id, t.dpi[i], &m);
            (void)SensorCodeToDpi(t.id, code, m);
            (void)SensorCodeToDpi(t.id, t.code[i], m);
        }
        (void)DpiAtIndex(t.id, static_cast<int>(t.count));
    }
    for (const SensorCfg& c : gVar.SensorCfgs) {
        if (c.Sensor == 0) continue;
        if (c.DM < 1 || c.DM > kDpiLevels || c.DEFLEVEL < 0 || c.DEFLEVEL >= c.DM) std::abort();
        if (c.nKeyNum < 1 || c.nKeyNum > kKeysPerSet) std::abort();
        for (const KeySet& set : c.DefKeys)
            for (const KeyInfo& k : set)
                if (k.MatrixInx > static_cast<uint32_t>(kKeysPerSet)) std::abort();
        (void)FindSensorCfg(static_cast<uint32_t>(c.CID), static_cast<uint32_t>(c.MID));
    }
    return 0;
}
