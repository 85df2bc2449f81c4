// The folders and the title of the program, fixed at start-up and read by every layer (the
// caches and the macro library live in the data folder, message boxes carry the title).
#pragma once
#include <cstdint>
#include <string>

// Folders and the title fixed at start-up.
struct AppPaths {
    std::string szAppDir;      // folder of the executable, with trailing separator
    std::string szAppDataDir;  // per-user data folder, with trailing separator
    std::string szTitle;       // title of the program and its main window, at most 39 characters
    int16_t b4K = 0;           // large-screen layout
    uintptr_t hAppFont = 0;    // the application font (an HFONT, borrowed), 0 when none was made
};

// The program's one set of paths; defined where the program keeps its state.
const AppPaths& ThePaths();
