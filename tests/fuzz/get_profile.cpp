// Any bytes as a mouse's memory (its current profile as the mouse stores it): the profile the
// program reads from it must decode or be refused, never crash or index outside the record.
// The memory is taken apart at the addresses the reader reads (settings, combination areas,
// macro names and areas) and handed to the decoder directly: through the virtual mouse each
// input would wait on every command's answer, about a second an input. The reading itself, with
// its answers and faults, is the end-to-end tests' part.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "device/eeprom_map.h"
#include "fuzz/fuzz_setup.h"
#include "profile/eeprom_reader.h"
#include "profile/profile_defaults.h"
#include "sim/virtual_mouse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        zvfuzz::StartQuietly(true);
        return true;
    }();
    (void)ready;
    if (size == 0) return 0;
    // The first byte picks the mouse of the catalogue, so every sensor's table is walked.
    ProfileCodecContext ctx;
    ctx.cfg = &gVar.SensorCfgs[data[0] % 3];
    if (ctx.cfg->Sensor == 0) ctx.cfg = &gVar.SensorCfgs[0];
    ctx.defaultKeys = &ctx.cfg->DefKeys;
    ++data;
    --size;
    std::vector<uint8_t> memory(data, data + std::min<size_t>(size, sim::kProfileBytes));
    memory.resize(sim::kProfileBytes, 0);

    auto take = [&](uint32_t addr, uint8_t* into, size_t n) {
        std::memcpy(into, memory.data() + addr, std::min<size_t>(n, memory.size() - addr));
    };
    ProfileBytes bytes;
    take(0, bytes.settings.data(), bytes.settings.size());
    for (uint32_t s = 0; s < kKeysPerSet; ++s) {
        take(eeprom::kComboArea + eeprom::kComboSlot * s, bytes.combos[s].data(),
             bytes.combos[s].size());
        take(eeprom::kMacroArea + 1 + eeprom::kMacroSlot * s, bytes.names[s].data(),
             bytes.names[s].size());
        take(eeprom::kMacroArea + 0x1F + eeprom::kMacroSlot * s, bytes.macros[s].data(),
             bytes.macros[s].size());
    }

    // A new profile takes an id from the clock, which waits for it to move: made once.
    static const ProfileFile fresh = [] {
        ProfileFile p;
        NewProfile(p, "fuzz");
        return p;
    }();
    ProfileFile p = fresh;
    DecodedProfile out;
    // The level count and the current level are passed on as far as the record holds them (a
    // count of 0 shows no levels; the pages only compare with the current one).
    if (DecodeProfile(bytes, ctx, p, out) &&
        (p.nDpiLevels > kDpiLevels || out.macros.size() > kKeysPerSet))
        __builtin_trap();
    return 0;
}
