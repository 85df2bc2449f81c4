// Any bytes as the mouse's stored profile, decoded without a mouse: the decode must give a
// sound record or refuse the bytes, never crash or index outside them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "fuzz/fuzz_setup.h"
#include "platform/fs.h"
#include "profile/eeprom_reader.h"
#include "profile/profile_defaults.h"

namespace {

// Fills the next part of the stored profile from the input; what the input lacks stays zero.
void Take(const uint8_t*& data, size_t& size, void* into, size_t n) {
    const size_t k = std::min(n, size);
    if (k) std::memcpy(into, data, k);
    data += k;
    size -= k;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        gVar.szAppDir = zvfuzz::RepoData();
        LoadConfiguration();
        gVar.nDebug = 0;
        LogInit();
        return true;
    }();
    (void)ready;
    if (size < 3) return 0;
    // The first byte picks the mouse of the catalogue, so every sensor's table is walked; the
    // next two are the buttons the program leaves alone.
    ProfileCodecContext ctx;
    ctx.cfg = &gVar.SensorCfgs[data[0] % gVar.SensorCfgs.size()];
    if (ctx.cfg->Sensor == 0) ctx.cfg = &gVar.SensorCfgs[0];
    ctx.defaultKeys = &ctx.cfg->DefKeys;
    ctx.keyMask = data[1] | (data[2] << 8);
    data += 3;
    size -= 3;

    ProfileBytes bytes;
    Take(data, size, bytes.settings.data(), bytes.settings.size());
    Take(data, size, bytes.combos.data(), sizeof bytes.combos);
    Take(data, size, bytes.names.data(), sizeof bytes.names);
    Take(data, size, bytes.macros.data(), sizeof bytes.macros);

    // A new profile takes an id from the clock, which waits for it to move: made once.
    static const ProfileFile fresh = [] {
        ProfileFile p;
        NewProfile(p, "fuzz");
        return p;
    }();
    ProfileFile p = fresh;
    DecodedProfile out;
    if (DecodeProfile(bytes, ctx, p, out) && (p.nDpiLevels > kDpiLevels || out.macros.size() > 16))
        __builtin_trap();
    return 0;
}
