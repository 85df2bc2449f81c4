// A profile as JSON, both ways: what `show --json` prints, and what `profile apply` takes back.
// Applying goes field by field through the page models that `set` and `button` use, on a copy
// of the profile the mouse holds; the first value a model refuses names its place in the text
// ("dpi.levels[2].x: 70000 is beyond this mouse (26000 at most)") and nothing is written. Only
// the values that differ from the mouse's reach a model at all, so printing a profile and
// applying it again writes nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "base/json_text.h"
#include "macro/macro_list.h"
#include "profile/profile_file.h"
#include "profile/sensor_cfg.h"
#include "profile/sensor_table.h"
#include "ui/page_change.h"

namespace cli {

// A button's function in the words `button` takes ("combo Ctrl+C", "media volume-up", "macro
// hid"), so that --json output can be fed back; the function id in hexadecimal for anything the
// command has no words for.
std::string FunctionWords(const KeyInfo& k, const SensorTable* table, const MacroList& macros);

// The profile as `show --json` prints it: `profileNumber` 1 to 4, the current key set's buttons.
JsonValue ProfileJson(const ProfileFile& p, int32_t curLevel, int profileNumber,
                      const SensorCfg& cfg, const MacroList& macros);

// What `after` holds that `before` does not: members of objects that differ (objects within
// objects compared member by member), whole items of lists that differ. The keys in `keep` stay
// whatever they hold, so the result still says which profile, button or level it is about.
JsonValue JsonChanges(const JsonValue& before, const JsonValue& after,
                      const std::vector<std::string>& keep);

// What the pages know of the mouse in use.
struct ProfileJsonDevice {
    const SensorCfg& cfg;
    const SensorTable* table;  // nullptr: the sensor has no DPI table
    const AppOptions& opt;
    const KeySets& defaults;  // the working default keys
    int32_t keyMask;          // rows the option KeyMask locks
    const MacroList& macros;
};

struct ProfileJsonApply {
    // "<path>: why" for the first value refused; nothing is to be written then.
    std::string error;
    ProfileFile profile;
    int32_t curLevel = 0;
    std::vector<PageChange> writes;    // the requests that carry the changes to the mouse
    std::vector<std::string> changed;  // the path of each value that differs
    std::vector<std::string> notes;    // values stored other than given (the nearest DPI)
};

// `doc` (a whole profile as ProfileJson gives it, or any part of one) applied to `current`.
// Keys left out keep the mouse's values; "name" and "caption" are only read as strings (the
// mouse keeps neither). A "profile" other than `profileNumber` is refused rather than written
// into the wrong profile.
ProfileJsonApply ApplyProfileJson(const JsonValue& doc, const ProfileFile& current,
                                  int32_t curLevel, int profileNumber,
                                  const ProfileJsonDevice& dev);

}  // namespace cli
