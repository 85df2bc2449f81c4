// The device catalogue and the sensor DPI tables in gVar.
#pragma once
#include <array>

#include "app/device_catalogue.h"
#include "profile/profile_file.h"
#include "profile/sensor_table.h"

struct CatalogueState {
    std::array<SensorCfg, kDeviceSections> SensorCfgs{};  // entry n - 1 is section "DEV_n"
    const SensorCfg* pSensorCfg = nullptr;  // the entry in use (the catalogue is constant)
    KeySets WorkDefKeys{};  // default keys of the device in use, for new profiles and reading
    std::array<SensorTable, kSensorTableCount> SensorTables{};
};
