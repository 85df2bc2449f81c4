// Buttons whose macro no longer exists go back to their default assignment: a repair of the
// profile after the macro library lost a macro.
#pragma once
#include "macro/macro_list.h"
#include "profile/profile_file.h"

// In `profile`, every macro button (type 5) whose macro is not in `list` gets the same
// button's assignment from `defaults`. Returns whether any button changed.
bool FixOrphanMacros(ProfileFile& profile, const KeySets& defaults, const MacroList& list);

// Whether any button of any key set plays this macro: saving it must then write the keys to
// the mouse again.
bool MacroIsAssigned(const ProfileFile& profile, MacroId id);
