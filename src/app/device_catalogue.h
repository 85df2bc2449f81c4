// Loading the device catalogue: one entry per supported mouse, read from the "DEV_%d" sections
// of cfg.ini at start-up. Reading a section may also adjust the DPI table of its sensor.
#pragma once
#include "app/options.h"
#include "base/notice.h"
#include "profile/sensor_cfg.h"

class IniFile;

// Reads the thirty device sections into gVar.SensorCfgs and points gVar.pSensorCfg at the first
// entry. False when a section breaks a hard rule ("MDNUM" or "KM"); the program cannot start.
// What is wrong with a section goes to `tell` as it is found, and reading goes on.
bool LoadDeviceSections(const IniFile& ini, const NoticeSink& tell = {});
