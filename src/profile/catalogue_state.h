// The device catalogue and the sensor DPI tables in gVar.
#pragma once
#include <array>

#include "base/atomic_ptr.h"
#include "profile/profile_file.h"
#include "profile/sensor_cfg.h"
#include "profile/sensor_table.h"

struct CatalogueState {
    std::array<SensorCfg, kDeviceSections> SensorCfgs{};  // entry n - 1 is section "DEV_n"
    // The entry in use. Discovery selects it on its own thread while the pages and the apply
    // thread read it; the entries themselves never change after start-up.
    AtomicPtr<const SensorCfg> pSensorCfg;
    KeySets WorkDefKeys{};  // default keys of the device in use, for new profiles and reading
    std::array<SensorTable, kSensorTableCount> SensorTables{};
};

// The program's one catalogue; defined where the program keeps its state.
CatalogueState& TheCatalogue();
