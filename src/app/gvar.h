// gVar: the global application state. Each subsystem keeps its part in its own record; gVar
// is all of them at once, so every field is reached by its own name (gVar.ApplyNow,
// gVar.pSensorCfg, gVar.pFile, ...).
#pragma once
#include <cstdint>
#include <string>

#include "profile/catalogue_state.h"
#include "app/language_state.h"
#include "base/app_paths.h"
#include "base/log.h"
#include "app/options.h"
#include "device/device_state.h"
#include "profile/profile_state.h"

struct GlobalVars : LogState,
                    AppPaths,
                    AppOptions,
                    CatalogueState,
                    LanguageState,
                    ProfileState,
                    DeviceState {};

extern GlobalVars gVar;
