// The macro options of cfg.ini, read at start-up: the editor's delays, the library's folder
// layout, and the limits of a macro as the mouse stores it.
#pragma once
#include <cstdint>

struct MacroOptions {
    int32_t MinDelay = 10, MinUIDelay = 1, MacroDir = 0;
    // Whether a change is written to the mouse at once (also what the pages do after a macro
    // change).
    int32_t ApplyNow = 0;
    int32_t nMinDelay = 10, nMaxHdMacroBytes = 384, nMaxDelay = 65535, nMaxMacroEvents = 70;
};

// The program's one set of macro options; defined where the program keeps its state.
const MacroOptions& TheMacroOptions();
