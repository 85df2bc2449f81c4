#include "profile/orphan_macros.h"

#include "app/gvar.h"

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

bool FixOrphanMacros() {
    if (!gVar.pFile) return false;
    return FixOrphanMacros(*gVar.pFile, gVar.WorkDefKeys, g_MacroList);
}
