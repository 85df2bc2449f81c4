// Identifiers of macros and profiles: 24-bit values made from the local clock.
#pragma once
#include <cstdint>

#include "platform/sys.h"

using MacroId = uint32_t;

// The id of a clock reading: (hour & 0x0F) << 20 | minute << 14 | second << 8 | (ms & 0xFF).
MacroId MacroIdFromTime(const platform::LocalTime& t);
// Waits 20 ms, then makes an id from the local time, so two ids made one after the other
// differ. Safe to call from several threads.
MacroId NewMacroId();
// Replaces the clock as the source of NewMacroId's ids, without its wait; null gives the clock
// back. For work that makes ids by the thousand (fuzzing imports), where the wait would be all
// the time spent. The source must never repeat an id, nor give 0.
using MacroIdSource = MacroId (*)();
void SetMacroIdSource(MacroIdSource source);
