// Any bytes as the profile cache and the remembered device: loading must never crash or read out
// of bounds, and what it leaves must be usable (four sound profiles, one of them current, a
// device of the catalogue).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_setup.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/log.h"
#include "macro/macro_id.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "profile/profile_cache.h"
#include "profile/profile_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        zvfuzz::StartQuietly(true);
        // A refused record becomes a new profile, whose id would wait for the clock.
        SetMacroIdSource(zvfuzz::CountedMacroId);
        gVar.szAppDataDir = zvfuzz::WorkFolder("zv_fuzz_cache_");
        return gVar.szAppDataDir;
    }();
    // The first eight bytes are CID.dct, the rest the cache of the device it names (or of the
    // first device, when it names none).
    const size_t cid = size < kCidFileSize ? size : kCidFileSize;
    platform::WriteFileAtomic(dir + "CID.dct", data, cid);
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    LoadCID();
    if (!gVar.pSensorCfg) std::abort();
    // A cache of any other size is refused whole, before any of its bytes is looked at, and
    // gives four new profiles at a clock tick each: the bytes are always made a cache of the
    // right size, so the runs go to what reads its records.
    std::vector<uint8_t> cache(data + cid, data + size);
    cache.resize(kProfileCacheSize, 0);
    platform::WriteFileAtomic(ProfileCachePath(*gVar.pSensorCfg), cache.data(), cache.size());
    LoadPro(gVar);
    if (gVar.ProfileList.size() != kProfileCount || !gVar.pFile ||
        gVar.pFile < gVar.ProfileList.data() ||
        gVar.pFile >= gVar.ProfileList.data() + kProfileCount)
        std::abort();
    for (ProfileFile& p : gVar.ProfileList)
        if (SanitizeProfile(p)) std::abort();
    return 0;
}
