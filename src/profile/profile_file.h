// The profile record: everything the mouse keeps about one onboard profile. Its bytes are a file
// format (cache and export files), so the layout is fixed and checked at compile time, and the
// bytes are read and written little-endian field by field.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

constexpr int kKeySets = 3;       // key sets of a profile
constexpr int kKeysPerSet = 16;   // buttons of a key set
constexpr int kDpiLevels = 8;     // DPI levels of a profile
constexpr int kProfileCount = 4;  // onboard profiles of the mouse
constexpr int kProfileNameChars = 20;
constexpr uint32_t kProfileMagic = 0xFCAA1234;

// One button assignment.
struct KeyInfo {
    uint32_t dwFunID = 0;    // function type in bits 24..31, code in bits 0..23
    uint32_t MatrixInx = 0;  // the button's key-matrix slot, 1..16; 0: no slot
    uint32_t dwMacroID = 0;  // type 5: the assigned macro
    // Type 2: byte 0 modifier bits, bytes 1..3 up to three virtual-key codes (0 unused).
    std::array<uint8_t, 4> stCombo{};
    uint32_t dwParameter = 0;
    uint32_t reserved = 0;

    uint32_t Type() const { return dwFunID >> 24; }
    // stCombo as one little-endian number (modifier + 256 * key1 + 65536 * key2 + ...).
    uint32_t ComboValue() const {
        return stCombo[0] | (stCombo[1] << 8) | (stCombo[2] << 16) |
               (static_cast<uint32_t>(stCombo[3]) << 24);
    }
    bool operator==(const KeyInfo&) const = default;
};
static_assert(sizeof(KeyInfo) == 24);
static_assert(offsetof(KeyInfo, MatrixInx) == 4 && offsetof(KeyInfo, dwMacroID) == 8);
static_assert(offsetof(KeyInfo, stCombo) == 12 && offsetof(KeyInfo, dwParameter) == 16);

using KeySet = std::array<KeyInfo, kKeysPerSet>;
using KeySets = std::array<KeySet, kKeySets>;

struct DpiLevel {
    uint32_t x = 0;       // X DPI
    uint32_t y = 0;       // Y DPI
    uint32_t colour = 0;  // red in the low byte
    uint32_t unused = 0;  // 1: beyond the level count
    bool operator==(const DpiLevel&) const = default;
};
static_assert(sizeof(DpiLevel) == 16);

struct LightBlock {
    uint32_t mode = 0;        // 0 off, 1..6 the lighting page's modes
    uint32_t speed = 0;       // 1 based
    uint32_t brightness = 0;  // 1 based
    uint32_t colour = 0;      // red in the low byte
    std::array<uint8_t, 40> reserved{};
    bool operator==(const LightBlock&) const = default;
};
static_assert(sizeof(LightBlock) == 56);

struct ProfileFile {
    uint32_t dwMagic = 0;
    uint32_t dwId = 0;  // a 24-bit id from the local clock
    std::array<uint8_t, 520> reserved1{};
    std::array<char16_t, kProfileNameChars> szName{};  // NUL-terminated
    int32_t nKeySet = 0;                               // 0..2: the key set in use
    KeySets keys{};
    int32_t nRate = 0;        // rate code 0x125, 0x250, 0x500 or 0x1000
    int32_t nWheelLines = 0;  // -1: one page
    int32_t nDbClickTime = 0;
    int32_t nPointerSpeed = 0;  // 1..20
    int32_t nEnhancePrecision = 0;
    int32_t nMouseTrails = 0;
    int32_t bSeparateXY = 0;
    std::array<DpiLevel, kDpiLevels> dpi{};
    int32_t nSavedDpiLevel = 0;  // the current level when the record was exported
    int32_t nSensor = 0;
    int32_t nDpiLevels = 0;  // levels in use, 1..8
    int32_t nLod = 0;        // lift-off distance, 1 or 2
    int32_t nRipple = 0;
    int32_t nFixLine = 0;    // angle snapping
    int32_t nSleepTime = 0;  // seconds
    int32_t nDebounce = 0;   // milliseconds
    int32_t nLightOffOnMoving = 0;
    int32_t nMotionSync = 0;
    int32_t nSensorMode = 0;
    int32_t nAutoSleep = 0;  // tens of seconds
    int32_t nDpiLightMode = 0;
    int32_t nDpiLightSpeed = 0;
    int32_t nDpiLightBright = 0;  // 1..10
    std::array<uint8_t, 44> reserved2{};
    LightBlock mainLight{};
    LightBlock logoLight{};
    std::array<uint8_t, 20> reserved3{};

    bool operator==(const ProfileFile&) const = default;
    // The name as UTF-8.
    std::string Name() const;
    // Sets the name, cut to 19 UTF-16 units.
    void SetName(const std::string& utf8);
};

constexpr size_t kProfileFileSize = 2116;
static_assert(sizeof(ProfileFile) == kProfileFileSize);
static_assert(offsetof(ProfileFile, dwId) == 4);
static_assert(offsetof(ProfileFile, szName) == 528);
static_assert(offsetof(ProfileFile, nKeySet) == 568);
static_assert(offsetof(ProfileFile, keys) == 572);
static_assert(offsetof(ProfileFile, nRate) == 1724);
static_assert(offsetof(ProfileFile, nWheelLines) == 1728);
static_assert(offsetof(ProfileFile, nEnhancePrecision) == 1740);
static_assert(offsetof(ProfileFile, bSeparateXY) == 1748);
static_assert(offsetof(ProfileFile, dpi) == 1752);
static_assert(offsetof(ProfileFile, nSavedDpiLevel) == 1880);
static_assert(offsetof(ProfileFile, nSensor) == 1884);
static_assert(offsetof(ProfileFile, nDpiLevels) == 1888);
static_assert(offsetof(ProfileFile, nSleepTime) == 1904);
static_assert(offsetof(ProfileFile, nAutoSleep) == 1924);
static_assert(offsetof(ProfileFile, nDpiLightBright) == 1936);
static_assert(offsetof(ProfileFile, reserved2) == 1940);
static_assert(offsetof(ProfileFile, mainLight) == 1984);
static_assert(offsetof(ProfileFile, logoLight) == 2040);
static_assert(offsetof(ProfileFile, reserved3) == 2096);

// The record's bytes. Reserved stretches are written as zero and ignored when read.
void ProfileToBytes(const ProfileFile& p, std::span<uint8_t, kProfileFileSize> out);
ProfileFile ProfileFromBytes(std::span<const uint8_t, kProfileFileSize> in);

// Little-endian helpers shared by the record codecs.
inline uint32_t ReadLe32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
