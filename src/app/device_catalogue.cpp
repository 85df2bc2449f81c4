#include "app/device_catalogue.h"

#include "app/ini_file.h"

bool LoadDeviceSections(const IniFile&) {
    return true;
}
void LoadDefaultKeys() {}
