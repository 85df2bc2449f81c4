// Writing the parts of a profile record that a change touched into the mouse's memory.
#pragma once
#include <cstdint>
#include <functional>

#include "profile/profile_codec.h"
#include "profile/profile_file.h"

class CUSBDriver;
class MacroList;

// What WriteProfile writes: bits of its mask.
enum : uint32_t {
    kApplyKeys = 0x0001,
    kApplyLighting = 0x0002,  // index: 0x01 logo, 0x02 main, 0x04 DPI indicator
    kApplyDpi = 0x0004,       // index: a level or 255
    kApplyWindows = 0x0008,
    kApplyCurLevel = 0x0010,
    kApplyRate = 0x0020,
    kApplyDpiColours = 0x0040,  // index: a level or 255
    kApplyLevelCount = 0x0080,
    kApplyReset = 0x0100,
    kApplyLod = 0x0200,
    kApplyAngleSnap = 0x0400,
    kApplyRipple = 0x0800,
    kApplyDebounce = 0x1000,
    kApplyMotionSync = 0x2000,
    kApplySleep = 0x4000,
    kApplyWithProgress = 0x8000,  // not a write: wait for the progress window first
    kApplyLightOffMoving = 0x10000,
    kApplySensorMode = 0x20000,
    kApplyAutoSleep = 0x40000,
    kApplyAll = 0x007F,  // buttons, lighting, levels, Windows settings, level, rate, colours
};
constexpr uint32_t kAllItems = 255;
constexpr uint32_t kNoKeyCode = 0xFFFFFFFF;

// The 24-bit key-matrix code of an assignment for the mouse of `ctx`, or kNoKeyCode; a macro
// button's code depends on its macro's loop mode, looked up in `library`.
uint32_t EncodeKey(const KeyInfo& key, const ProfileCodecContext& ctx, const MacroList& library);
// The same for the mouse in use.
uint32_t EncodeKey(const KeyInfo& key, const MacroList& library);

// The position of a write, 20 to 100, as it goes on; called on the writing thread.
using WriteProgress = std::function<void(uint32_t position)>;

// Writes what `mask` names of `record` (buttons of its current key set) for the mouse `ctx`
// names (its sensor coding, its lighting zones), a macro button's events taken from
// `library`, telling `progress` the positions 20 to 100 when one is given (and pausing half a
// second at 100, so that the full bar is seen). 1 when
// everything asked for was written (or GoWithNoDev is set), else 0; nothing is done without a
// driver, a record with an id, or (without GoWithNoDev) a device. `curDpiLevel` is written for
// 0x10.
int WriteProfile(const ProfileCodecContext& ctx, CUSBDriver* usb, const ProfileFile* record,
                 const MacroList& library, uint32_t mask, uint32_t index, int32_t curDpiLevel,
                 const WriteProgress& progress = {});
