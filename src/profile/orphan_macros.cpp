#include "profile/orphan_macros.h"

bool FixOrphanMacros(ProfileFile& profile, const KeySets& defaults, const MacroList& list) {
    bool changed = false;
    for (int set = 0; set < kKeySets; ++set) {
        for (int k = 0; k < kKeysPerSet; ++k) {
            KeyInfo& key = profile.keys[set][k];
            if (key.Type() != 5 || list.Contains(key.dwMacroID)) continue;
            key = defaults[set][k];
            changed = true;
        }
    }
    return changed;
}

bool MacroIsAssigned(const ProfileFile& profile, MacroId id) {
    for (const KeySet& set : profile.keys)
        for (const KeyInfo& key : set)
            if (key.Type() == 5 && key.dwMacroID == id) return true;
    return false;
}
