// Files from outside (.qza profiles, .qzm macros) meet the same rules as a change made by hand:
// every value of a file goes through the page model that a user's click or `zorvan set` would go
// through, and what that model refuses keeps the value the mouse holds. Each value that was not
// taken is named in one line ("level 2: 70000 DPI is beyond this mouse (26000 at most); kept
// 800"), so a profile made for another model imports what fits and says what does not.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "profile/catalogue_state.h"
#include "macro/st_macro.h"
#include "profile/profile_file.h"
#include "profile/profile_transfer.h"
#include "profile/sensor_cfg.h"

class MacroList;
#include "profile/sensor_table.h"

// What the pages know of the mouse in use.
struct ImportDevice {
    const SensorCfg& cfg;
    const SensorTable* table;  // nullptr: the sensor has no DPI table (DPI values are kept)
    const AppOptions& opt;
    const KeySets& defaults;  // the working default keys
    int32_t keyMask;          // rows the option KeyMask locks
    const MacroList& macros;  // names the macro buttons in what is said
};

// The record an import stores: `current` with every value of `file` that the pages would take.
// The current DPI level travels in the record's saved-level field. The id stays `current`'s.
ProfileFile LimitImportedProfile(const ProfileFile& file, const ProfileFile& current,
                                 const ImportDevice& dev, std::vector<std::string>& said);

// A macro from a file held to the rules of recording and `macro new`: a repeat count of 1 to
// 250, one of the three play modes, a name of at most 15 characters; values out of bounds are
// replaced and named in `said`. A macro the mouse could not play as it stands (more than 70
// events, a delay over 65535 ms, a wheel event, a key without a keyboard code) is refused: the
// reason comes back, and nothing is changed.
std::optional<std::string> LimitImportedMacro(StMacro& m, std::vector<std::string>& said);

// The rules above for the catalogue's device in use, the options and the macro library: what
// both the window and the command line hand to ImportProfile. All three must outlive the rules.
ImportRules PageImportRules(const CatalogueState& catalogue, const AppOptions& options,
                            const MacroList& macros);
