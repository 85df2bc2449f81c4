// The mouse's memory: where each setting of the current onboard profile lives, and the code
// tables its lighting records use. The command set, the profile reader and writer and the pages
// all address the memory through these names.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace eeprom {

// One past the last byte of an onboard profile's memory (0x000 to 0x1AFF); the mouse refuses
// anything beyond.
constexpr uint32_t kProfileEnd = 0x1B00;

// Settings, each a byte followed by its check byte unless said otherwise.
constexpr uint32_t kRate = 0x00;        // report interval in ms: 1, 2, 4 or 8
constexpr uint32_t kLevelCount = 0x02;  // DPI levels in use
constexpr uint32_t kCurLevel = 0x04;    // the level in use, 0 based
constexpr uint32_t kLod = 0x0A;
constexpr uint32_t kDpiLevels = 0x0C;   // 8 records of 4 bytes: x, y, multipliers, check
constexpr uint32_t kDpiColours = 0x2C;  // 8 records of 4 bytes: r, g, b, check
constexpr uint32_t kDpiLight = 0x4C;    // mode, speed and brightness pairs
constexpr uint32_t kLogo = 0x54;        // colour record, then mode, brightness and speed pairs
constexpr uint32_t kMatrix = 0x60;      // 16 key-matrix codes of 4 bytes
constexpr uint32_t kMainLight = 0xA0;   // mode, colour, speed, brightness, check
constexpr uint32_t kDebounce = 0xA9;
constexpr uint32_t kMotionSync = 0xAB;
constexpr uint32_t kSleep = 0xAD;  // tens of seconds
constexpr uint32_t kAngleSnap = 0xAF;
constexpr uint32_t kRipple = 0xB1;
constexpr uint32_t kLightOffMoving = 0xB3;
constexpr uint32_t kAutoSleep = 0xB5;
constexpr uint32_t kSensorMode = 0xB7;
constexpr size_t kSettingsBytes = 190;  // 0x00 up to 0xBD

constexpr int kDpiRecords = 8, kMatrixRecords = 16;
constexpr uint32_t kComboArea = 0x100, kComboSlot = 32;
constexpr uint32_t kMacroArea = 0x300, kMacroSlot = 384;

// Code tables of the lighting steps: a page step is the index + 1.
constexpr std::array<uint8_t, 10> kT1 = {45, 50, 75, 100, 125, 150, 175, 200, 225, 255};
constexpr std::array<uint8_t, 10> kT2 = {72, 92, 112, 132, 152, 172, 192, 212, 232, 252};
constexpr std::array<uint8_t, 10> kS1 = {255, 230, 210, 190, 170, 150, 130, 110, 70, 40};
constexpr std::array<uint8_t, 10> kS2 = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
constexpr std::array<uint8_t, 10> kTD = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// The stored code of each main-lighting mode of the pages (1..6); index 0 is off.
constexpr std::array<uint8_t, 7> kMainModeCodes = {4, 2, 1, 0, 3, 5, 7};
constexpr uint8_t kMainOffCode = kMainModeCodes[0];

// The page mode (1..6) of a stored main-lighting code; 0 (off) for any other code.
constexpr uint32_t MainModeOfCode(uint8_t code) {
    for (uint32_t m = 1; m < kMainModeCodes.size(); ++m)
        if (kMainModeCodes[m] == code) return m;
    return 0;
}

}  // namespace eeprom
