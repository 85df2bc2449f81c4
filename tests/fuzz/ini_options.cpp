// Any bytes as cfg.ini: the reader and the option loader must answer with defaults or values,
// never crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include <unistd.h>

#include "app/config.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "fuzz/fuzz_setup.h"
#include "platform/fs.h"
#include "platform/window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        return true;
    }();
    (void)once;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::FromBytes(bytes);
    (void)ini.GetString("OPT", "Title", "d", 40);
    (void)ini.GetInt("OPT", "Debug", 0);
    (void)ParseNumberList(bytes, 16, 29);

    // On a memory file system where there is one: every input is written and read back.
    static const std::string dir = zvfuzz::WorkFolder("zv_fuzz_ini_");
    gVar.szAppDir = dir;
    platform::WriteFileAtomic(dir + "cfg.ini", data, size);
    LoadConfiguration();
    gVar.nDebug = 0;  // never write a log while fuzzing
    LogInit();
    return 0;
}
