// The device catalogue read from the "DEV_%d" sections of cfg.ini.
#pragma once

class IniFile;

// Reads the device sections into gVar; false when the catalogue cannot be used.
bool LoadDeviceSections(const IniFile& ini);
// Copies the default button assignments of the first device into the working table.
void LoadDefaultKeys();
