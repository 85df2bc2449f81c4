// The profile list and the current profile in gVar.
#pragma once
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "profile/profile_file.h"

struct ProfileState {
    // One record per onboard profile, in profile order (at most four).
    std::vector<ProfileFile> ProfileList;
    ProfileFile* pFile = nullptr;  // the entry of the profile the mouse reports as current
    // pFile's entry holds what was read from the mouse in use, not a cached or new record: until
    // then the pages show none of its values.
    bool pFileRead = false;
    int32_t g_nCurDpiLevel = 0;  // the mouse's current DPI level, 0 based
};

// The cfg.ini options the profile code reads, read at start-up.
struct ProfileOptions {
    // Sensor-table switches.
    int32_t Setp200_3325 = 0;  // key "3325Setp200"
    int32_t Sensor9000Max = 12000;
    int32_t Sensor3395Max = 32000;
    // Defaults of a new profile.
    int32_t EnhancePrecision = 1, Debounce = 12;
    std::array<uint8_t, 6> LEDParam{3, 10, 8, 255, 0, 255};
    // Reading and writing the mouse.
    int32_t GoWithNoDev = 0, ShowSys = 1, KeyMask = 0;
    // Low byte the shortest debounce a user may choose, second byte the longest.
    int32_t DebounceRange = 7680;
};

// The program's one profile state and options; defined where the program keeps its state, so
// the profile code never names the records above it.
ProfileState& TheProfileState();
const ProfileOptions& TheProfileOptions();

// The profiles in memory and which of them is current, shared by the pages, the command line,
// the reader thread and the apply thread. Every access goes through Read or Edit, which run
// `fn` with the one lock held: the apply thread copies a whole record under it, so it never
// sends a half-made change, and the reader swaps in a record read from the mouse in one step.
//
// `fn` must be short: no device traffic, no window, no waiting (the reader and the apply
// thread queue behind it). Return values, never references or pointers into the state; copy
// out what you need and act on it after the lock is released.
//
//     const int level = profile.Read([](const ProfileState& s) { return s.g_nCurDpiLevel; });
//     profile.EditCurrent([&](ProfileFile& f, int32_t&) { f.nRate = code; });
class ProfileMonitor {
  public:
    explicit ProfileMonitor(ProfileState& state) : m_state(state) {}
    ProfileMonitor(const ProfileMonitor&) = delete;
    ProfileMonitor& operator=(const ProfileMonitor&) = delete;

    template <class Fn>
    auto Read(Fn&& fn) const {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::forward<Fn>(fn)(std::as_const(m_state));
    }
    template <class Fn>
    auto Edit(Fn&& fn) {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::forward<Fn>(fn)(m_state);
    }
    // `fn(record, curLevel)` on the current record; false (and fn not run) while there is none.
    template <class Fn>
    bool EditCurrent(Fn&& fn) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_state.pFile) return false;
        std::forward<Fn>(fn)(*m_state.pFile, m_state.g_nCurDpiLevel);
        return true;
    }
    // A copy of the current record; none while there is none.
    std::optional<ProfileFile> CopyCurrent() const {
        return Read([](const ProfileState& s) {
            return s.pFile ? std::optional<ProfileFile>(*s.pFile) : std::nullopt;
        });
    }
    int32_t CurrentLevel() const {
        return Read([](const ProfileState& s) { return s.g_nCurDpiLevel; });
    }

  private:
    ProfileState& m_state;
    // The monitor's own: nobody outside can take it, so no access to the state can forget it.
    mutable std::mutex m_lock;
};

// The program's one monitor over TheProfileState().
ProfileMonitor& TheProfile();
