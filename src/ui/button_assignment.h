// The rules of the buttons page that need no window: storing a function on a button (the
// left-click guard, the all-sets function, the matrix slot from the default keys) and the
// caption of an assignment. The page's window and the command-line tool both use them.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "profile/profile_file.h"
#include "profile/profile_state.h"

class MacroList;

// Stores `key` on button `row` of the current profile's current key set (the matrix slots from
// `defaults`, the device's default keys) and, with `place`, asks the apply thread to write it.
// Refuses (message tc_msg1) to take away the last left click; returns 1 when stored, 0 when
// refused or there is no valid profile. The refusal is said through `tell`, the caller's way of
// saying things (a box, a line on standard error); an empty one says it to nobody.
int SetKeyFunction(ProfileMonitor& profile, const KeySets& defaults, bool place, int row,
                   KeyInfo key, const std::function<void(const std::string&)>& tell);
// The same on the program's own profile and default keys, placed with ApplyNow: for the page
// not yet handed its monitor.
int SetKeyFunction(int row, KeyInfo key, const std::function<void(const std::string&)>& tell);
// The same on a given record, without messages or writing: 1 stored, 0 no valid record,
// -1 refused by the left-click guard.
int StoreKeyFunction(ProfileFile& p, const KeySets& defaults, int row, KeyInfo key);

// The caption of an assignment ("" when the function has no text); a macro button is named
// by its macro in `macros`.
std::string GetKeyFunctionText(const KeyInfo& key, const MacroList& macros);
