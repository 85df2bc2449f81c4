// Any bytes as the profile cache and the remembered device: loading must never crash or read out
// of bounds, and what it leaves must be usable (four sound profiles, one of them current, a
// device of the catalogue).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/log.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "profile/profile_cache.h"
#include "profile/profile_defaults.h"

namespace {
std::string RepoData() {
    std::string f = __FILE__;  // <repo>/tests/fuzz/cache_loaders.cpp
    for (int i = 0; i < 3; ++i) f = platform::DirectoryOf(f);
    return platform::JoinPath(f, "data") + platform::PathSeparator();
}
// Files in memory where the system offers a folder there.
std::string WorkFolder(const char* name) {
    const std::string base = platform::DirectoryExists("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string d = base + "/" + name + std::to_string(::getpid()) + "/";
    platform::MakeDirectory(d);
    return d;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        gVar.szAppDir = RepoData();
        LoadConfiguration();
        gVar.nDebug = 0;
        LogInit();
        gVar.szAppDataDir = WorkFolder("zv_fuzz_cache_");
        return gVar.szAppDataDir;
    }();
    // The first eight bytes are CID.dct, the rest the cache of the device it names (or of the
    // first device, when it names none).
    const size_t cid = size < kCidFileSize ? size : kCidFileSize;
    platform::WriteFileAtomic(dir + "CID.dct", data, cid);
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    LoadCID();
    if (!gVar.pSensorCfg) std::abort();
    platform::WriteFileAtomic(ProfileCachePath(*gVar.pSensorCfg), data + cid, size - cid);
    LoadPro();
    if (gVar.ProfileList.size() != kProfileCount || !gVar.pFile ||
        gVar.pFile < gVar.ProfileList.data() ||
        gVar.pFile >= gVar.ProfileList.data() + kProfileCount)
        std::abort();
    for (ProfileFile& p : gVar.ProfileList)
        if (SanitizeProfile(p)) std::abort();
    return 0;
}
