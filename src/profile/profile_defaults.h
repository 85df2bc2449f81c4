// New profiles and their defaults, taken from the device in use (gVar.pSensorCfg), the working
// default-key table and the global options.
#pragma once
#include <string>
#include <vector>

#include "profile/profile_file.h"

// Fills the whole record as a new profile of the device in use: a fresh id, the given name (at
// most 19 characters), key set 0, the default keys and every default setting. Takes about 20 ms
// (the id comes from the clock).
void NewProfile(ProfileFile& p, const std::string& name);

// Back to defaults: the name becomes the text tc_msg14, key set 0, the default keys and every
// default setting; the id is kept.
void ResetProfileSettings(ProfileFile& p);

// Brings back into range the fields of a record from outside (a cache or an imported file) that
// would otherwise index an array or reach the mouse as a value it cannot take: key-set index,
// key-matrix slots, level count, saved current level, rate code, lighting modes and steps, and
// the name's terminator. Each repaired field takes the value a new profile of the device in use
// would have (steps are clamped into range). Returns whether anything was changed; each change
// is logged, and put in words into `repaired` when given ("rate 4096 (592 used)").
bool SanitizeProfile(ProfileFile& p, std::vector<std::string>* repaired = nullptr);

// The single settings of a record from a file (lift-off distance, debounce, sleep, auto sleep,
// the switches) held to what the pages and the command line let a user choose: each goes to the
// mouse as one byte, so anything else would arrive there cut to a byte. A value out of bounds
// takes the new profile's (debounce is clamped into its range). Not for the cache: that holds
// what was read from the mouse, whatever wrote it there. Reported like SanitizeProfile.
bool LimitSingleSettings(ProfileFile& p, std::vector<std::string>* repaired = nullptr);

// Rate codes the mouse takes.
bool IsValidRateCode(int32_t rate);
