// A virtual mouse whose memory holds any bytes: reading its profile must decode or refuse
// them, never crash or index outside the record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "fuzz/fuzz_setup.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "profile/eeprom_reader.h"
#include "profile/profile_defaults.h"
#include "sim/virtual_receiver.h"
#include "support/sim_link.h"

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static zvtest::SimLink* link = [] {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        gVar.szAppDir = zvfuzz::RepoData();
        LoadConfiguration();
        gVar.nDebug = 0;
        LogInit();
        gVar.pSensorCfg = FindSensorCfg(0x10, 0x1A);
        LoadDefaultKeys();
        std::string d = "/tmp/zv_fuzz_getprofile_" + std::to_string(::getpid()) + "/";
        platform::MakeDirectory(d);
        gVar.szAppDataDir = d;
        SetProfileReadPauses(false);
        return new zvtest::SimLink;  // lives as long as the fuzzer
    }();
    // The first byte picks the mouse of the catalogue, so every sensor's table is walked.
    if (size > 0) {
        const SensorCfg& c = gVar.SensorCfgs[data[0] % 3];
        if (c.Sensor) gVar.pSensorCfg = &c;
        LoadDefaultKeys();
        ++data;
        --size;
    }
    std::vector<uint8_t> bytes(data, data + std::min<size_t>(size, sim::kProfileBytes));
    bytes.resize(sim::kProfileBytes, 0);
    link->rx->WithMouse([&](sim::VirtualMouse& m) { m.Poke(0, bytes); });
    // A new profile takes an id from the clock, which waits for it to move: made once.
    static const ProfileFile fresh = [] {
        ProfileFile p;
        NewProfile(p, "fuzz");
        return p;
    }();
    ProfileFile p = fresh;
    GetProfile(&link->drv, p);
    if (p.nDpiLevels > kDpiLevels) __builtin_trap();
    g_MacroList.Clear();
    return 0;
}
