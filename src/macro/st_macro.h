// The macro record: the same 834 bytes in memory, in a macro file (rotated) and in mac.dct.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "macro/macro_id.h"

constexpr uint32_t MACRO_MAGIC = 0xFACB99A0u;
constexpr size_t kStMacroSize = 834;
constexpr int MAX_MACRO_EVENTS = 70;  // key, button or move events a macro may hold
constexpr int kMacroEventSlots = 91;  // room in the record; only the first 70 are ever used
constexpr int kMacroNameChars = 40;   // UTF-16 units including the terminating NUL
constexpr int MAX_MACROS = 2000;
constexpr uint32_t kMaxMacroDelayMs = 65535;  // the mouse keeps delays in 16 bits

// Change bits of StMacro::flags; every edit sets them, a complete file write clears them.
constexpr uint32_t kMacroEventsChanged = 0x80000000u;
constexpr uint32_t kMacroOptionsChanged = 0x40000000u;
constexpr uint32_t kMacroChanged = kMacroEventsChanged | kMacroOptionsChanged;

// Pseudo virtual-key codes of mouse buttons in macro events.
constexpr uint8_t MOUSE_VK_LEFT = 0xF0;
constexpr uint8_t MOUSE_VK_RIGHT = 0xF1;
constexpr uint8_t MOUSE_VK_MIDDLE = 0xF2;
constexpr uint8_t MOUSE_VK_FORWARD = 0xF3;
constexpr uint8_t MOUSE_VK_BACK = 0xF4;
constexpr uint8_t MOUSE_VK_WHEEL_UP = 0xF5;         // defined, not supported
constexpr uint8_t MOUSE_VK_WHEEL_DOWN = 0xF6;       // defined, not supported
constexpr uint32_t kSupportedMouseButtonMask = 31;  // bits 0 to 4 for 0xF0 to 0xF4

// MacroEvent::flags
constexpr uint16_t kMacroEventDown = 0x0001;  // press (else release)
constexpr uint16_t kMacroEventMove = 0x0002;  // move; code = dx (low byte), dy (high byte)

// The record is packed so that the struct is the file layout. Event delays (and, for a record
// at an odd address, any member) are not naturally aligned: read and assign members by value,
// never bind a reference or pointer to one. Anything taking `const T&` (std::min, test
// assertions) gets a copy: `+m.events[i].delay` or a local variable.
#pragma pack(push, 1)
struct MacroEvent {
    int16_t code = 0;
    uint16_t flags = 0;
    uint32_t delay = 0;  // milliseconds to wait after the event
};

struct StMacro {
    uint32_t dwMagicNumber = 0;
    uint32_t id = 0;  // MacroId; 0 marks an empty slot
    uint32_t flags = 0;
    uint32_t autoDelay = 0;
    uint32_t LoopMode = 0;
    char16_t name[kMacroNameChars] = {};
    uint32_t reserved = 0;
    uint16_t repeatCount = 0;
    MacroEvent events[kMacroEventSlots] = {};
};
#pragma pack(pop)

static_assert(sizeof(MacroEvent) == 8);
static_assert(sizeof(StMacro) == kStMacroSize);
static_assert(offsetof(MacroEvent, flags) == 2 && offsetof(MacroEvent, delay) == 4);
static_assert(offsetof(StMacro, id) == 4 && offsetof(StMacro, flags) == 8);
static_assert(offsetof(StMacro, autoDelay) == 12 && offsetof(StMacro, LoopMode) == 16);
static_assert(offsetof(StMacro, name) == 20 && offsetof(StMacro, reserved) == 100);
static_assert(offsetof(StMacro, repeatCount) == 104 && offsetof(StMacro, events) == 106);

// The record's bytes, little-endian whatever the host.
void StMacroToBytes(const StMacro& m, uint8_t* out);
StMacro StMacroFromBytes(const uint8_t* in);

// Macro files hold every byte rotated right by two bits.
constexpr uint8_t RotateRight2(uint8_t b) {
    return static_cast<uint8_t>((b >> 2) | ((b << 6) & 0xFF));
}
constexpr uint8_t RotateLeft2(uint8_t b) {
    return static_cast<uint8_t>(((b << 2) & 0xFF) | (b >> 6));
}

// The name up to its NUL; at most 39 units even when a record from outside has no NUL.
std::u16string MacroName(const StMacro& m);
std::string MacroNameUtf8(const StMacro& m);
// Stores a name cut to 39 units (never in the middle of a surrogate pair), the rest zero.
void SetMacroName(StMacro& m, std::u16string_view name);
void SetMacroNameUtf8(StMacro& m, std::string_view name);

// Events before the first one whose code and delay are both 0.
int CountMacroEvents(const StMacro& m);

// A new, empty macro: magic, a new id, autoDelay 1, LoopMode 0, repeatCount 1, the name.
StMacro NewMacroRecord(std::string_view name);
StMacro NewMacroRecord(std::string_view name, MacroId id);

// Same name ignoring case and the same events (the last event's delay, which the mouse does
// not keep, aside); play options are not compared.
bool MacrosEqual(const StMacro& a, const StMacro& b);

// Case-insensitive comparison of names as the tree and the list use it (at most 40 units).
bool MacroNamesEqual(std::u16string_view a, std::u16string_view b);
bool MacroNamesEqualUtf8(std::string_view a, std::string_view b);
// The same folding over whole texts (tree item texts, which may be longer than a name).
bool TextsEqualIgnoringCase(std::string_view a, std::string_view b);
