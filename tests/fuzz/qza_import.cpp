// Any bytes as a profile export file: the import must refuse or take them whole, never crash,
// and never leave the current profile half-changed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <unistd.h>

#include "fuzz/fuzz_setup.h"
#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "ui/import_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        zvfuzz::StartQuietly(true);
        gVar.pSensorCfg = &gVar.SensorCfgs[0];
        LoadDefaultKeys();
        std::string d = zvfuzz::WorkFolder("zv_fuzz_qza_");
        gVar.szAppDataDir = d;
        gVar.ProfileList.assign(4, ProfileFile{});
        NewProfile(gVar.ProfileList[0], "fuzz");
        return d;
    }();
    gVar.pFile = &gVar.ProfileList[0];
    g_bSyncDone = 1;
    const ProfileFile before = *gVar.pFile;
    // An odd first byte puts the rest behind a valid record header, so that the checks past
    // the header (record fields, macros and their names) are reached as often as the header.
    std::vector<uint8_t> file(data, data + size);
    if (size > 0 && (data[0] & 1)) {
        file.assign(8, 0);
        WriteLe32(file.data(), kProfileMagic);
        WriteLe32(file.data() + 4, 1);
        file.insert(file.end(), data + 1, data + size);
        if (file.size() < kProfileFileSize) file.resize(kProfileFileSize + (data[0] >> 1) * 40, 0);
    }
    platform::WriteFileAtomic(dir + "in.qza", file.data(), file.size());
    if (!ImportProfile(dir + "in.qza", PageImportRules()) && !(*gVar.pFile == before))
        __builtin_trap();
    *gVar.pFile = before;
    // The library is kept between runs, so that imports meet earlier macros by name and id; it
    // starts afresh now and then so that a run stays cheap.
    if (g_MacroList.Snapshot().size() > 200) {
        for (const StMacro& m : g_MacroList.Snapshot()) DeleteLibraryMacro(m.id, g_MacroList);
        g_MacroList.Clear();
    }
    return 0;
}
