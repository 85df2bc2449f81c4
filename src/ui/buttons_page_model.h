// The buttons page without a window: the function menu a device offers, what a menu choice
// leads to (a store, or first a dialog), the rows the page shows, and the debounce and
// auto-sleep values it hosts. Storing a function on a row and the caption of an assignment
// are in ui/button_assignment.h. The page window and the command-line tool use the same rules.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "app/options.h"
#include "controls/menu_model.h"
#include "profile/profile_file.h"
#include "profile/sensor_table.h"
#include "ui/page_change.h"

class MacroList;

// Menu values that head a sub-menu and are no function of their own.
constexpr uint32_t kMenuHeadMedia = 0x04000000;
constexpr uint32_t kMenuHeadDpi = 0x08000000;
constexpr uint32_t kSniperFunction = 0x080000A6;  // also heads the sniper sub-menu

// The sniper DPI values: of 100, 200, ... 1100 those in the sensor's table, with their table
// positions (which the sniper function keeps in dwParameter).
struct SniperItem {
    uint32_t dpi;
    int index;
    bool operator==(const SniperItem&) const = default;
};
std::vector<SniperItem> SniperItems(const SensorTable* table);

// The function menu of a row for the device `cfg` (its default keys, switches, extra keys and
// DPI menu mask), the options `opt` and the sensor's DPI table: top-level items first in menu
// order, sub-menu items naming the top-level item they hang under. Texts come from the loaded
// language.
std::vector<MenuEntry> BuildFunctionMenu(const SensorCfg& cfg, const AppOptions& opt,
                                         const SensorTable* table);

// What a menu choice leads to.
enum class ChoiceStep {
    kNothing,       // a sub-menu head, or nothing to do
    kRefused,       // show `message`
    kStore,         // store `key` (SetKeyFunction)
    kAskMacroPage,  // the macro list is empty: ask `message`; on yes open the macro page
    kPickMacro,     // open the macro picker, then MacroKey
    kCaptureCombo,  // open the key capture for a combination, then ComboKey
    kFireDialog,    // open the fire dialog with the row's assignment, then FireKey
};
struct FunctionChoice {
    ChoiceStep step = ChoiceStep::kNothing;
    KeyInfo key;          // kStore
    std::string message;  // the text to show for kRefused and kAskMacroPage
};
// The menu's report (WM_MENU_RESULT) of `value` for `row` on the device `cfg`: the page asks
// CheckDeviceReady first, then this, runs the dialog the step names and stores the result
// with SetKeyFunction.
FunctionChoice OnFunctionChosen(uint32_t value, int row, const SensorCfg& cfg, bool macroListEmpty);

// The top-level item of `menu` that stands for the row's function `current`, as the menu
// marks it: the item whose choice stores that function, the item that leads to its kind (a
// macro, a combination, a fire key) or the head of the sub-menu holding it; -1 when none does.
int MenuItemOf(const std::vector<MenuEntry>& menu, const KeyInfo& current, int row,
               const SensorCfg& cfg);

// The assignments the dialogs complete.
KeyInfo MacroKey(uint32_t macroId);
// A combination: 0x020000A1 with a modifier, 0x020000A0 with keys only.
KeyInfo ComboKey(uint8_t modifiers, uint8_t key1, uint8_t key2, uint8_t key3);
// A fire function: repeat count in the low byte, interval in the second.
KeyInfo FireKey(uint8_t count, uint8_t interval);
// The mouse's code for some bursts is the code of one of its own click functions (2 or 3
// clicks at interval 50 are its double and triple click), and it reports that function when
// read back. For such a burst: that function, which the page stores instead (the bytes
// written are the same) and names with FireStoredAsText; none for any other burst.
std::optional<KeyInfo> FireReadsBackAs(uint8_t count, uint8_t interval);
// What the user is told then: tc_fire_as_click with the burst and the function's caption.
std::string FireStoredAsText(uint8_t count, uint8_t interval, const KeyInfo& stored,
                             const MacroList& macros);
// A sniper function at the sensor's table position `index`.
KeyInfo SniperKey(int index);

// The rows of the page.
struct ButtonRowView {
    bool visible = false;                // the device has this button
    bool enabled = false;                // not locked by the option KeyMask
    std::optional<std::string> caption;  // none: the caption stays (key-set index out of range)
};
// A macro button's caption names its macro in `macros`.
std::array<ButtonRowView, kKeysPerSet> ViewButtonRows(const ProfileFile& p, const SensorCfg& cfg,
                                                      int32_t keyMask, const MacroList& macros);
// Why row `row` (0-based) cannot take a function: "" when it can.
std::string RowRefusal(const SensorCfg& cfg, int32_t keyMask, int row);

// What a value field shows while the mouse's own value is not known (before its profile was
// read): no made-up value, only a mark that one belongs there.
inline constexpr const char* kValueNotRead = "\xE2\x80\x93";  // an en dash

// ---- debounce and auto sleep ---------------------------------------------------------------

// The option DebounceRange: low byte the lowest value, second byte the highest.
IntRange DebounceRange(int32_t debounceRangeOption);
std::string DebounceText(int32_t ms);  // "%d ms"
// The value after the up or down button (unchanged at the range's end).
int32_t DebounceStep(int32_t ms, bool up, IntRange range);
// Whether going down from `ms` first asks the user (the option TipForDebounce).
bool DebounceNeedsConfirm(int32_t ms, int32_t tipForDebounce);
// Stores a debounce time within the range (0x1000).
PageChange SetDebounce(ProfileFile& p, int32_t ms, IntRange range);

// Auto-sleep values in tens of seconds: 10 s, 20 s, 30 s, then 1 to 10 minutes.
constexpr std::array<int32_t, 13> kAutoSleepTable = {1,  2,  3,  6,  12, 18, 24,
                                                     30, 36, 42, 48, 54, 60};
// Position in the table, -1 when the value is not one of them.
int AutoSleepPosition(int32_t tableValue);
// "%d s" below one minute, else "%d m".
std::string AutoSleepText(int32_t tableValue);
// The seconds of a table value, and the table value of a number of seconds (none when the
// table has no such time).
int32_t AutoSleepSeconds(int32_t tableValue);
std::optional<int32_t> AutoSleepValueOfSeconds(int64_t seconds);
// Stores a table value (0x40000); nothing for another value.
PageChange SetAutoSleep(ProfileFile& p, int32_t tableValue);
