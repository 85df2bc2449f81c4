// The DPI encoder of a given catalogue entry's sensor, for writers that are told their mouse.
#pragma once
#include "device/usb_driver.h"

struct SensorCfg;

// No entry: an encoder without a function (every value would code as 0, so writers refuse).
DpiEncoder SensorDpiEncoder(const SensorCfg* cfg);
