// The local copy of each mouse's four onboard profiles and the memory of the device used last,
// kept in the per-user data folder (gVar.szAppDataDir):
//   CID.dct             8 bytes: CID and MID of the device used last
//   PRO_<cid><mid>.dct  8468 bytes: id of the current profile, then the four profile records
// Files are replaced atomically, so a crash while saving leaves the previous cache whole.
#pragma once
#include <cstddef>
#include <string>

#include "profile/profile_state.h"
#include "profile/sensor_cfg.h"

constexpr size_t kCidFileSize = 8;
constexpr size_t kProfileCacheSize = 4 + kProfileCount * kProfileFileSize;
static_assert(kProfileCacheSize == 8468);

// The cache file of a device: the data folder and "PRO_%02x%02x.dct".
std::string ProfileCachePath(const SensorCfg& cfg);

// Writes CID.dct for the device in use; a failure is skipped.
void SaveCID();
// Reads CID.dct and points gVar.pSensorCfg at the remembered device when the catalogue lists
// it. 1 when the file was read, else 0 (and the first device entry is used).
int LoadCID();
// Loads the cache of the device in use into `state`'s profile list (four new profiles when there
// is no usable cache), makes the cached current one current and sets the working default keys.
// Run it inside the profile monitor's Edit, which hands in the state.
void LoadPro(ProfileState& state);
// Writes `state`'s profile list and the id of its current profile to the cache of the device in
// use; run it inside the monitor's Read or Edit.
void SavePro(const ProfileState& state);
