// Any bytes as a macro file: reading must never crash or read out of bounds, and a macro it
// accepts must survive a write and a read, encode for the mouse within its area, and give a
// file name that stays inside the macro folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "macro/macro_file.h"
#include "macro/safe_file_name.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "profile/hd_macro.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        std::string base = platform::GetEnv("TMPDIR");
        if (base.empty()) base = "/tmp";
        std::string d = platform::JoinPath(base, "fuzz_qzm_" + std::to_string(::getpid()));
        platform::MakeDirectory(d);
        return d;
    }();
    const std::string in = platform::JoinPath(dir, "in.qzm");
    const std::string out = platform::JoinPath(dir, "out.qzm");
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    std::optional<StMacro> m = ReadMacroFile(in);
    if (!m) {
        if (size >= kStMacroSize) {
            // Only a wrong magic or a macro the mouse cannot play (too many events, too long a
            // delay) may refuse a file that is long enough.
            uint8_t plain[kStMacroSize];
            for (size_t i = 0; i < kStMacroSize; ++i) plain[i] = RotateLeft2(data[i]);
            const StMacro rec = StMacroFromBytes(plain);
            if (rec.dwMagicNumber == MACRO_MAGIC && IsPlayableMacro(rec)) std::abort();
        }
        return 0;
    }
    if (size < kStMacroSize || m->dwMagicNumber != MACRO_MAGIC) std::abort();
    if (MacroName(*m).size() > 39) std::abort();
    if (!IsSafeFileName(MakeSafeFileName(MacroNameUtf8(*m)))) std::abort();

    StMacro copy = *m;
    if (!WriteMacroFile(copy, out)) std::abort();
    std::optional<StMacro> back = ReadMacroFile(out);
    if (!back) std::abort();
    copy.flags = m->flags & ~kMacroChanged;
    if (std::memcmp(&*back, &copy, sizeof copy) != 0) std::abort();

    uint8_t hd[kHdMacroWorkBytes];
    size_t len = StMacro_To_HdMacro(&*m, hd, sizeof hd);
    if (len < 32 || len > 382 || hd[31] > 70 || len != 32u + 5u * hd[31]) std::abort();
    return 0;
}
