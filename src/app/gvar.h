// gVar: the global application state. Each subsystem keeps its part in its own record; gVar
// is all of them at once, so every field is reached by its own name (gVar.ApplyNow,
// gVar.pSensorCfg, gVar.pFile, ...).
#pragma once
#include <cstdint>
#include <string>

#include "app/catalogue_state.h"
#include "app/language_state.h"
#include "base/log.h"
#include "app/options.h"
#include "device/device_state.h"
#include "profile/profile_state.h"

// Folders and the title fixed at start-up.
struct AppPaths {
    std::string szAppDir;      // folder of the executable, with trailing separator
    std::string szAppDataDir;  // per-user data folder, with trailing separator
    std::string szTitle;       // title of the program and its main window, at most 39 characters
    int16_t b4K = 0;           // large-screen layout
    uintptr_t hAppFont = 0;    // the application font (an HFONT), 0 when none was made
};

struct GlobalVars : LogState,
                    AppPaths,
                    AppOptions,
                    CatalogueState,
                    LanguageState,
                    ProfileState,
                    DeviceState {};

extern GlobalVars gVar;
