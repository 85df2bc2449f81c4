// What reading and writing a profile needs to know beyond its bytes: the mouse it is for.
// Passed in rather than looked up, so the codec works on any entry and from any thread.
#pragma once
#include <cstdint>

#include "profile/profile_file.h"

struct SensorCfg;

struct ProfileCodecContext {
    const SensorCfg* cfg = nullptr;        // the mouse's catalogue entry
    const KeySets* defaultKeys = nullptr;  // default keys: the key-matrix slot of each button
    uint32_t keyMask = 0;                  // buttons (bits) the program leaves alone
    bool goWithNoDev = false;              // a failed read or write counts, as zero bytes
};
// The context of the mouse in use.
ProfileCodecContext CurrentProfileContext();
