// Any bytes as a profile record from a cache or an imported file: reading must never fault, the
// repaired record must be sound (a second repair changes nothing) and its bytes must be stable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/gvar.h"
#include "profile/profile_defaults.h"
#include "profile/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        gVar.nDebug = 0;  // never write a log while fuzzing
        return true;
    }();
    (void)once;
    std::array<uint8_t, kProfileFileSize> bytes{};
    std::memcpy(bytes.data(), data, std::min(size, bytes.size()));

    ProfileFile p = ProfileFromBytes(bytes);
    SanitizeProfile(p);
    if (SanitizeProfile(p)) std::abort();
    (void)p.Name();

    std::array<uint8_t, kProfileFileSize> out{};
    ProfileToBytes(p, out);
    if (!(ProfileFromBytes(out) == p)) std::abort();
    return 0;
}
