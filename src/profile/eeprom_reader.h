// Reading the mouse's current onboard profile out of its EEPROM into a profile record, and the
// decoders of the stored forms (key-matrix codes, lighting records) that the main window also
// uses for the lighting the mouse reports by itself.
#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/eeprom_map.h"
#include "profile/profile_file.h"

class CUSBDriver;
class MacroPageLink;

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
