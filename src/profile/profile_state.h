// The profile list and the current profile in gVar.
#pragma once
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "profile/profile_file.h"

struct ProfileState {
    // One record per onboard profile, in profile order (at most four).
    std::vector<ProfileFile> ProfileList;
    ProfileFile* pFile = nullptr;  // the entry of the profile the mouse reports as current
    // pFile's entry holds what was read from the mouse in use, not a cached or new record: until
    // then the pages show none of its values.
    bool pFileRead = false;
    int32_t g_nCurDpiLevel = 0;  // the mouse's current DPI level, 0 based
};

// The cfg.ini options the profile code reads, read at start-up.
struct ProfileOptions {
    // Sensor-table switches.
    int32_t Setp200_3325 = 0;  // key "3325Setp200"
    int32_t Sensor9000Max = 12000;
    int32_t Sensor3395Max = 32000;
    // Defaults of a new profile.
    int32_t EnhancePrecision = 1, Debounce = 12;
    std::array<uint8_t, 6> LEDParam{3, 10, 8, 255, 0, 255};
    // Reading and writing the mouse.
    int32_t GoWithNoDev = 0, ShowSys = 1, KeyMask = 0;
    // Low byte the shortest debounce a user may choose, second byte the longest.
    int32_t DebounceRange = 7680;
};

// The program's one profile state and options; defined where the program keeps its state, so
// the profile code never names the records above it.
ProfileState& TheProfileState();
const ProfileOptions& TheProfileOptions();

// Held by whoever changes gVar.pFile's record or g_nCurDpiLevel while the apply thread runs, and
// by the apply thread while it copies them.
std::mutex& ProfileDataLock();
