// The profile list and the current profile in gVar.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "profile/profile_file.h"

struct ProfileState {
    // One record per onboard profile, in profile order (at most four).
    std::vector<ProfileFile> ProfileList;
    ProfileFile* pFile = nullptr;  // the entry of the profile the mouse reports as current
    int32_t g_nCurDpiLevel = 0;    // the mouse's current DPI level, 0 based
};

// Held by whoever changes gVar.pFile's record or g_nCurDpiLevel while the apply thread runs, and
// by the apply thread while it copies them.
std::mutex& ProfileDataLock();
