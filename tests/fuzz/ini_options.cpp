// Any bytes as cfg.ini: the reader and the option loader must answer with defaults or values,
// never crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include <unistd.h>

#include "app/config.h"
#include "app/gvar.h"
#include "base/number_text.h"
#include "fuzz/fuzz_setup.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "platform/window_recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // On a memory file system where there is one: every input is written and read back.
    static const std::string dir = [] {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        return zvfuzz::WorkFolder("zv_fuzz_ini_");
    }();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)ParseNumberList(bytes, 16, 29);

    gVar.szAppDir = dir;
    platform::WriteFileAtomic(dir + "cfg.ini", data, size);
    LoadConfiguration();
    gVar.nDebug = 0;  // never write a log while fuzzing
    LogInit();
    // What this input left behind goes within its own run: the options and the catalogue it
    // read, and the message boxes recorded on the way. A run that keeps memory is searched for
    // leaks, a scan of the whole heap that would cost more than the input.
    static_cast<AppOptions&>(gVar) = AppOptions{};
    static_cast<CatalogueState&>(gVar) = CatalogueState{};
    platform::recorder::Clear();
    return 0;
}
