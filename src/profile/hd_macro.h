// The mouse's form of a macro (HdMacro): a 384-byte area per key slot holding the name, an
// event count, 5-byte events (type, two code bytes, delay high byte, delay low byte) and a
// check byte.
#pragma once
#include <cstddef>
#include <cstdint>

#include "macro/st_macro.h"

constexpr size_t kHdMacroAreaBytes = 384;
constexpr size_t kHdMacroWorkBytes = 400;  // a buffer that takes any encoded macro
constexpr size_t kHdMacroCountOffset = 31;
constexpr size_t kHdMacroEventsOffset = 32;
constexpr size_t kHdMacroEventBytes = 5;

// Encodes the events of `m` into `out` (at least 400 bytes): bytes 0..30 zero, byte 31 the
// event count, then the events. Returns 32 + 5 * events; 0 without a record or room.
// Stops at the first empty event, after 70 events, or where the next event would not fit
// the area.
size_t StMacro_To_HdMacro(const StMacro* m, uint8_t* out, size_t outSize);

// Decodes the stored bytes of an area, starting at its event count (offset 31), into `m`:
// a cleared record with the magic, `id`, LoopMode 0 and autoDelay 1; the caller fills the
// name and the repeat settings. At most 70 events, and never more than `len` holds.
// Events that do not convert are logged and kept with code 0.
void HdMacro_To_StMacro(StMacro& m, const uint8_t* bytes, size_t len, MacroId id);
// The same with a new id.
void HdMacro_To_StMacro(StMacro& m, const uint8_t* bytes, size_t len);
