#include "device/catalogue_link.h"

#include "device/usb_driver.h"
#include "profile/catalogue_state.h"
#include "profile/sensor_dpi_encoder.h"
#include "profile/sensor_table.h"

bool CatalogueLookUpMouse(uint32_t cid, uint32_t mid, bool select) {
    const SensorCfg* cfg = FindSensorCfg(cid, mid);
    if (!cfg) return false;
    if (select) TheCatalogue().pSensorCfg = cfg;
    return true;
}

DpiEncoder CurrentSensorDpiEncoder() {
    return SensorDpiEncoder(TheCatalogue().pSensorCfg);
}

DpiEncoder SensorDpiEncoder(const SensorCfg* cfg) {
    if (!cfg) return {};
    uint32_t sensor = static_cast<uint32_t>(cfg->Sensor);
    return {sensor, [sensor](uint32_t dpi) {
                int mul = 0;  // rules without a multiplier leave it alone
                uint32_t code = DpiToCode(sensor, dpi, &mul);
                return DpiCode{code, static_cast<uint32_t>(mul)};
            }};
}
