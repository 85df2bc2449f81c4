// Reading the mouse's current onboard profile out of its EEPROM into a profile record, and the
// decoders of the stored forms (key-matrix codes, lighting records) that the main window also
// uses for the lighting the mouse reports by itself.
#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "profile/profile_file.h"

class CUSBDriver;
class MacroPageLink;

// Where the settings live in the mouse's memory.
namespace eeprom {
constexpr uint32_t kRate = 0x00, kLevelCount = 0x02, kCurLevel = 0x04, kLod = 0x0A;
constexpr uint32_t kDpiLevels = 0x0C, kDpiColours = 0x2C, kDpiLight = 0x4C, kLogo = 0x54;
constexpr uint32_t kMatrix = 0x60, kMainLight = 0xA0, kDebounce = 0xA9, kMotionSync = 0xAB;
constexpr uint32_t kSleep = 0xAD, kAngleSnap = 0xAF, kRipple = 0xB1, kLightOffMoving = 0xB3;
constexpr uint32_t kAutoSleep = 0xB5, kSensorMode = 0xB7;
constexpr uint32_t kComboArea = 0x100, kComboSlot = 32;
constexpr uint32_t kMacroArea = 0x300, kMacroSlot = 384;
constexpr size_t kSettingsBytes = 190;  // 0x00 up to 0xBD

// Code tables of the lighting steps: a page step is the index + 1.
constexpr std::array<uint8_t, 10> kT1 = {45, 50, 75, 100, 125, 150, 175, 200, 225, 255};
constexpr std::array<uint8_t, 10> kT2 = {72, 92, 112, 132, 152, 172, 192, 212, 232, 252};
constexpr std::array<uint8_t, 10> kS1 = {255, 230, 210, 190, 170, 150, 130, 110, 70, 40};
constexpr std::array<uint8_t, 10> kS2 = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
constexpr std::array<uint8_t, 10> kTD = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// The check byte that makes the bytes sum to 0x55.
inline uint8_t CheckByte(const uint8_t* b, size_t n) {
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += b[i];
    return static_cast<uint8_t>(0x55 - sum);
}
}  // namespace eeprom

// Reads the mouse's current profile into `record` (the working record), g_nCurDpiLevel and
// the macro library. 1 on success, 0 on failure (a failed read without GoWithNoDev, a polling
// byte the mouse cannot hold, or `abort` set between two reads). Only buttons, settings and
// lighting the mouse holds are changed in `record`; on failure it may be partly filled, so the
// caller reads into a copy.
int GetProfile(CUSBDriver* usb, ProfileFile& record, const std::atomic<int>* abort = nullptr,
               MacroPageLink* macroPage = nullptr);

// The pauses between reads let a real mouse keep up over its wireless link; a virtual mouse
// without link latency does not need them (fuzzing). On by default.
void SetProfileReadPauses(bool on);

// A key-matrix code into `key`; `combo` holds the slot's combination record (`comboLen` bytes)
// and `macroName` the slot's macro name. 1 with `key` filled (MatrixInx kept), 0 with `key`
// untouched when the code means nothing the program knows.
int DecodeKey(uint32_t code, const uint8_t* combo, size_t comboLen, KeyInfo& key,
              std::u16string_view macroName = {});

// The stored main lighting (7 bytes from 0xA0) and logo lighting (10 bytes from 0x54).
void EEPROM_To_MainRGB(const uint8_t* b7, LightBlock& block);
void EEPROM_To_LogoRGB(const uint8_t* b10, LightBlock& block);
// The stored DPI-indicator effect (6 bytes from 0x4C) into the record.
void EEPROM_To_DpiLight(const uint8_t* b6, ProfileFile& record);
