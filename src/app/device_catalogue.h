// Loading the device catalogue: one entry per supported mouse, read from the "DEV_%d" sections
// of cfg.ini at start-up. Reading a section may also adjust the DPI table of its sensor.
#pragma once
#include "app/options.h"
#include "profile/sensor_cfg.h"

class IniFile;

// Reads the thirty device sections into gVar.SensorCfgs and points gVar.pSensorCfg at the first
// entry. False when a section breaks a hard rule ("MDNUM" or "KM"); the program cannot start.
bool LoadDeviceSections(const IniFile& ini);
