#include "profile/profile_cache.h"

#include <cstdio>
#include <vector>

#include "base/app_paths.h"
#include "profile/catalogue_state.h"
#include "profile/profile_state.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "platform/fs.h"
#include "profile/profile_defaults.h"

namespace {

std::string CidPath() {
    return ThePaths().szAppDataDir + "CID.dct";
}

enum class CacheRead { kOk, kMissing, kUnusable };

// Reads the cache of a device: the remembered id and the four records. Not kOk (logged) when
// the file cannot be used; a file of the wrong size is never partly used. A record that is no
// profile (a zero-filled file of the right size, as a crash or a disk error leaves) would be a
// profile nothing can be stored into: kUnusable.
CacheRead ReadCache(const std::string& path, uint32_t& id, std::vector<ProfileFile>& records) {
    uint32_t err = 0;
    uint64_t size = 0;
    if (!platform::GetFileSize(path, size, &err)) {
        LogPrintf("LoadPro: open file err=%d", static_cast<int>(err));
        return CacheRead::kMissing;
    }
    if (size != kProfileCacheSize) {
        LogPrintf("LoadPro err: wrong size");
        return CacheRead::kMissing;
    }
    std::vector<uint8_t> bytes;
    if (!platform::ReadFile(path, bytes, &err, kProfileCacheSize)) {
        LogPrintf("ReadFile err=%d", static_cast<int>(err));
        return CacheRead::kMissing;
    }
    if (bytes.size() != kProfileCacheSize) {  // changed since it was measured
        LogPrintf("ReadFile err=%d", static_cast<int>(platform::kErrHandleEof));
        return CacheRead::kMissing;
    }
    id = ReadLe32(bytes.data());
    for (int i = 0; i < kProfileCount; ++i) {
        const uint8_t* at = bytes.data() + 4 + static_cast<size_t>(i) * kProfileFileSize;
        ProfileFile p =
            ProfileFromBytes(std::span<const uint8_t, kProfileFileSize>(at, kProfileFileSize));
        if (p.dwMagic != kProfileMagic || p.dwId == 0) {
            LogPrintf("LoadPro: profile %d is not a profile (magic 0x%x, id 0x%x), cache dropped",
                      i, p.dwMagic, p.dwId);
            records.clear();
            return CacheRead::kUnusable;
        }
        if (SanitizeProfile(p)) LogPrintf("LoadPro: profile %d repaired", i);
        records.push_back(p);
    }
    return CacheRead::kOk;
}

}  // namespace

std::string ProfileCachePath(const SensorCfg& cfg) {
    char name[32];
    std::snprintf(name, sizeof name, "PRO_%02x%02x.dct", static_cast<unsigned>(cfg.CID),
                  static_cast<unsigned>(cfg.MID));
    return ThePaths().szAppDataDir + name;
}

void SaveCID() {
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    if (!cfg) return;
    LogPrintf("SaveCID: cid=%02x, mid=%02x", static_cast<unsigned>(cfg->CID),
              static_cast<unsigned>(cfg->MID));
    uint8_t bytes[kCidFileSize];
    WriteLe32(bytes, static_cast<uint32_t>(cfg->CID));
    WriteLe32(bytes + 4, static_cast<uint32_t>(cfg->MID));
    platform::WriteFileAtomic(CidPath(), bytes, sizeof bytes);
}

int LoadCID() {
    std::vector<uint8_t> bytes;
    int result = 0;
    if (platform::ReadFilePrefix(CidPath(), kCidFileSize, bytes) && bytes.size() == kCidFileSize) {
        if (const SensorCfg* cfg =
                FindSensorCfg(ReadLe32(bytes.data()), ReadLe32(bytes.data() + 4)))
            TheCatalogue().pSensorCfg = cfg;
        result = 1;
    } else {
        TheCatalogue().pSensorCfg = &TheCatalogue().SensorCfgs[0];
    }
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    LogPrintf("LoadCID ok: cid=%02x, mid=%02x", cfg ? static_cast<unsigned>(cfg->CID) : 0u,
              cfg ? static_cast<unsigned>(cfg->MID) : 0u);
    return result;
}

void LoadPro(ProfileState& state) {
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    if (!cfg) return;
    uint32_t id = 0;
    std::vector<ProfileFile> records;
    const std::string path = ProfileCachePath(*cfg);
    const CacheRead read = ReadCache(path, id, records);
    const bool loaded = read == CacheRead::kOk;
    // Removed, so that everything that asks whether the mouse's settings are cached reads the
    // mouse instead and the cache is made again from what it holds.
    if (read == CacheRead::kUnusable) platform::RemoveFile(path);

    LoadDefaultKeys();
    if (!loaded) {
        records.assign(kProfileCount, ProfileFile{});
        for (int i = 0; i < kProfileCount; ++i)
            NewProfile(records[static_cast<size_t>(i)],
                       GetText("tc_msg35") + " " + std::to_string(i + 1));
        id = 0;
    }

    state.ProfileList = std::move(records);
    state.pFileRead = false;
    state.pFile = &state.ProfileList.front();
    for (ProfileFile& p : state.ProfileList)
        if (p.dwId == id) {
            state.pFile = &p;
            break;
        }
    LogPrintf("LoadPro ok: cid=%02x, mid=%02x", static_cast<unsigned>(cfg->CID),
              static_cast<unsigned>(cfg->MID));
}

void SavePro(const ProfileState& state) {
    const ProfileFile* current = state.pFile;
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    if (!current || !cfg) return;
    LogPrintf("SavePro: cid=%02x, mid=%02x", static_cast<unsigned>(cfg->CID),
              static_cast<unsigned>(cfg->MID));
    // A file without all four records would be refused when loaded, so writing it would only
    // destroy the cache that is there.
    if (state.ProfileList.size() < static_cast<size_t>(kProfileCount)) {
        LogPrintf("SavePro: %zu profiles, cache kept", state.ProfileList.size());
        return;
    }
    std::vector<uint8_t> bytes(kProfileCacheSize);
    WriteLe32(bytes.data(), current->dwId);
    for (int i = 0; i < kProfileCount; ++i) {
        uint8_t* at = bytes.data() + 4 + static_cast<size_t>(i) * kProfileFileSize;
        ProfileToBytes(state.ProfileList[static_cast<size_t>(i)],
                       std::span<uint8_t, kProfileFileSize>(at, kProfileFileSize));
    }
    uint32_t err = 0;
    if (!platform::WriteFileAtomic(ProfileCachePath(*cfg), bytes, &err))
        LogPrintf("SavePro: CreateFile err=%d", static_cast<int>(err));
}
