#include "app/gvar.h"

GlobalVars gVar;

LogState& TheLogState() {
    return gVar;
}

// Each layer reaches its part of gVar through these, without naming the records above it.
const AppPaths& ThePaths() {
    return gVar;
}
DeviceState& TheDeviceState() {
    return gVar;
}
const DeviceOptions& TheDeviceOptions() {
    return gVar;
}
const MacroOptions& TheMacroOptions() {
    return gVar;
}
ProfileState& TheProfileState() {
    return gVar;
}
ProfileMonitor& TheProfile() {
    static ProfileMonitor monitor(gVar);
    return monitor;
}
const ProfileOptions& TheProfileOptions() {
    return gVar;
}
CatalogueState& TheCatalogue() {
    return gVar;
}
