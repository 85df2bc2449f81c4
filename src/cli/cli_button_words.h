// The words of a button function, as `button` takes them and `show --json` prints them: read by
// one reader for the command line and for a profile applied as JSON, so that both take the same
// words and refuse them with the same reasons.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/cli_command.h"
#include "profile/key_function.h"

class MacroList;
struct SensorCfg;
struct SensorTable;

namespace cli {

// What the words ask for, checked without the mouse. What depends on the mouse (the row's own
// rules, the sensor's sniper values) is settled by ButtonKey once it is known.
struct ButtonRequest {
    enum class Kind { kChosen, kKey, kSniper };
    Kind kind = Kind::kKey;
    uint32_t function = 0;  // kChosen: offered to the row as the page's menu offers it
    KeyInfo key;            // kKey: stored as it is
    int64_t sniperDpi = 0;  // kSniper: must be a value the sensor's sniper menu offers
    std::string note;       // said after the change, when what is stored is not what was asked
};

// w[at] is the function word; every word after it belongs to it. Throws UsageError.
ButtonRequest ReadButtonWords(const Words& w, size_t at, const MacroList& macros);
// The key `request` stores on `row` of this mouse. Throws UsageError with the reason it cannot.
KeyInfo ButtonKey(const ButtonRequest& request, int row, const SensorCfg& cfg,
                  const SensorTable* table);
// The words of a function as one text (what `show --json` prints): split at blanks, except
// that a macro's name is everything after "macro", blanks and all.
Words SplitFunctionWords(const std::string& text);

}  // namespace cli
