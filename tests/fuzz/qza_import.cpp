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
#include "macro/macro_file.h"
#include "macro/macro_id.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "platform/window_recorder.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "ui/import_limits.h"

namespace {

// The library every input meets: the macros of the export seed, so that inputs grown from it
// meet them by id and by name (updated in place, added beside, renamed).
struct Library {
    std::vector<StMacro> macros;
    std::vector<std::string> files;
    uint64_t generation = 0;
};

void WriteLibrary(Library& lib) {
    for (size_t i = 0; i < lib.macros.size(); ++i) {
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(lib.macros[i], bytes);
        if (!MyCreateFile(lib.files[i], bytes, sizeof bytes) ||
            !g_MacroList.AddMacroToList(lib.macros[i], lib.files[i]))
            __builtin_trap();
    }
    lib.generation = g_MacroList.Generation();
}

// Puts the library back as every input finds it, whenever an import changed it: an input then
// costs what it costs alone, and what it allocated is freed again within its own run (a run that
// keeps memory is searched for leaks, a scan of the whole heap).
void RestoreLibrary(Library& lib) {
    if (g_MacroList.Generation() == lib.generation) return;
    for (const StMacro& m : g_MacroList.Snapshot()) DeleteLibraryMacro(m.id, g_MacroList);
    g_MacroList.Clear();
    WriteLibrary(lib);
}

Library& TheLibrary(const std::string& dir) {
    static Library lib = [&] {
        Library l;
        std::vector<uint8_t> seed;
        platform::ReadFile(
            platform::JoinPath(ZV_REPO_DIR, "tests/fuzz/corpus/fuzz_qza_import/with_macros.qza"),
            seed);
        for (size_t at = kProfileFileSize; at + kStMacroSize <= seed.size(); at += kStMacroSize) {
            StMacro m = StMacroFromBytes(seed.data() + at);
            if (m.dwMagicNumber != MACRO_MAGIC || m.id == 0) continue;
            l.macros.push_back(m);
            l.files.push_back(dir + "lib" + std::to_string(l.files.size()) + ".qzm");
        }
        WriteLibrary(l);
        return l;
    }();
    return lib;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        zvfuzz::StartQuietly(true);
        SetMacroIdSource(zvfuzz::CountedMacroId);
        gVar.pSensorCfg = &gVar.SensorCfgs[0];
        LoadDefaultKeys();
        std::string d = zvfuzz::WorkFolder("zv_fuzz_qza_");
        gVar.szAppDataDir = d;
        gVar.ProfileList.assign(4, ProfileFile{});
        NewProfile(gVar.ProfileList[0], "fuzz");
        return d;
    }();
    static Library& library = TheLibrary(dir);
    static const std::string input = dir + "in.qza";
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
    platform::WriteFileAtomic(input, file.data(), file.size());
    if (!ImportProfile(input, PageImportRules(gVar, gVar, g_MacroList), g_MacroList, {}) &&
        !(*gVar.pFile == before))
        __builtin_trap();
    *gVar.pFile = before;
    RestoreLibrary(library);
    // The recording of message boxes would otherwise grow by every refusal.
    platform::recorder::Clear();
    return 0;
}
