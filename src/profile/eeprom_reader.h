// Reading the mouse's current onboard profile out of its EEPROM into a profile record, and the
// decoders of the stored forms (key-matrix codes, lighting records) that the main window also
// uses for the lighting the mouse reports by itself.
#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/notice.h"
#include "device/eeprom_map.h"
#include "macro/macro_id.h"
#include "macro/st_macro.h"
#include "profile/combo_record.h"
#include "profile/profile_codec.h"
#include "profile/profile_file.h"

class CUSBDriver;
class MacroList;
class MacroPageLink;
struct SensorCfg;

constexpr size_t kMacroNameBytes = 30;   // a slot's name: up to 15 UTF-16 units
constexpr size_t kMacroReadBytes = 353;  // a slot's events as the reader fetches them

// The mouse's current profile as it is stored: the settings, the combination records, the
// macro names, and the macro areas of the slots whose buttons hold a macro (others stay zero).
struct ProfileBytes {
    std::array<uint8_t, eeprom::kSettingsBytes> settings{};
    std::array<std::array<uint8_t, kComboReadBytes>, kKeysPerSet> combos{};
    std::array<std::array<uint8_t, kMacroNameBytes>, kKeysPerSet> names{};
    std::array<std::array<uint8_t, kMacroReadBytes>, kKeysPerSet> macros{};
};

// A macro found in a slot, on its way into the library.
struct SlotMacroFound {
    StMacro macro;
    MacroId slotId;  // the id a nameless macro is kept under
    size_t key;      // the button (index in the key set) that uses it
    std::u16string name;
};

// What a decoded profile says beyond the record.
struct DecodedProfile {
    int32_t curDpiLevel = 0;
    bool wrongDpi = false;  // a level whose code the sensor table does not know
    std::vector<SlotMacroFound> macros;
};

// Reads the bytes of the mouse's current profile. 1 on success, 0 on a failed read (without
// GoWithNoDev), a polling byte the record cannot hold, or `abort` set between two reads.
int ReadProfileBytes(CUSBDriver* usb, const ProfileCodecContext& ctx, ProfileBytes& bytes,
                     const std::atomic<int>* abort = nullptr);
// Decodes them into `record` without touching anything else: macro buttons refer to their
// slot's id until the caller has put the macros in `out` into the library. 1 on success, 0 for
// a polling byte the record cannot hold. Any bytes decode or are refused; nothing is read past
// them.
int DecodeProfile(const ProfileBytes& bytes, const ProfileCodecContext& ctx, ProfileFile& record,
                  DecodedProfile& out);

// Reads the mouse's current profile into `record` (the working record), g_nCurDpiLevel and
// `library` (the macros found in the mouse enter it and its buttons name them there). 1 on success,
// 0 on failure (a failed read without GoWithNoDev, a polling byte the mouse cannot hold, or `abort`
// set between two reads). Only buttons, settings and lighting the mouse holds are changed in
// `record`; on failure it may be partly filled, so the caller reads into a copy. A mouse whose
// levels hold no DPI value is read all the same, and `tell` hears WrongDpiNotice() on the reading
// thread.
int GetProfile(CUSBDriver* usb, ProfileFile& record, MacroList& library,
               const std::atomic<int>* abort = nullptr, MacroPageLink* macroPage = nullptr,
               const NoticeSink& tell = {});
Notice WrongDpiNotice();

// The pauses between reads let a real mouse keep up over its wireless link; a virtual mouse
// without link latency does not need them (fuzzing). On by default.
void SetProfileReadPauses(bool on);

// A key-matrix code into `key` for the sensor `sensorId`; a macro button gets its slot's id
// (0xFFEE00 + slot). `combo` holds the slot's combination record (`comboLen` bytes). 1 with `key`
// filled (MatrixInx kept), 0 with `key` untouched when the code means nothing the program knows.
int DecodeKeyCode(uint32_t code, const uint8_t* combo, size_t comboLen, KeyInfo& key,
                  uint32_t sensorId);
// The same for the mouse in use, a macro button finding its macro in `library` by
// `macroName`. `combo` holds the slot's combination record (`comboLen` bytes)
// and `macroName` the slot's macro name. 1 with `key` filled (MatrixInx kept), 0 with `key`
// untouched when the code means nothing the program knows.
int DecodeKey(uint32_t code, const uint8_t* combo, size_t comboLen, KeyInfo& key,
              const MacroList& library, std::u16string_view macroName = {});

// The stored main lighting (7 bytes from 0xA0) and logo lighting (10 bytes from 0x54).
void EEPROM_To_MainRGB(const uint8_t* b7, LightBlock& block);
void EEPROM_To_LogoRGB(const uint8_t* b10, LightBlock& block);
// The stored DPI-indicator effect (6 bytes from 0x4C) into the record.
void EEPROM_To_DpiLight(const uint8_t* b6, ProfileFile& record);
