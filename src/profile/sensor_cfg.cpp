#include "profile/sensor_cfg.h"

#include "profile/catalogue_state.h"

const SensorCfg* FindSensorCfg(uint32_t cid, uint32_t mid) {
    for (const SensorCfg& c : TheCatalogue().SensorCfgs)
        if (c.Sensor != 0 && static_cast<uint32_t>(c.CID) == cid &&
            static_cast<uint32_t>(c.MID) == mid)
            return &c;
    return nullptr;
}

int32_t DefaultLevelCount(const SensorCfg& cfg) {
    return cfg.DpiUILevels != 0 ? cfg.DpiUILevels : cfg.DM;
}

void LoadDefaultKeys() {
    CatalogueState& c = TheCatalogue();
    const SensorCfg* cfg = c.pSensorCfg;
    c.WorkDefKeys = cfg ? cfg->DefKeys : KeySets{};
}
