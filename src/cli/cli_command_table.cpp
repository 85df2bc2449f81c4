#include "cli/cli_command_table.h"

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "cli/cli_macro_text.h"
#include "profile/profile_file.h"

namespace cli {

namespace {

std::vector<std::string> Numbers(int from, int to) {
    std::vector<std::string> n;
    for (int i = from; i <= to; ++i) n.push_back(std::to_string(i));
    return n;
}

std::vector<std::string> Rates(const Words&) {
    return {"125", "250", "500", "1000"};
}
std::vector<std::string> Levels(const Words&) {
    return Numbers(1, kDpiLevels);
}
std::vector<std::string> OnOffWords(const Words&) {
    return {"on", "off"};
}
std::vector<std::string> SensorModes(const Words&) {
    return {"hp", "lp"};
}
std::vector<std::string> LiftOffs(const Words&) {
    return {"1", "2"};
}
std::vector<std::string> Zones(const Words&) {
    return {"main", "logo", "dpi"};
}
// The modes of the zone just named.
std::vector<std::string> ModesOfZone(const Words& before) {
    const std::string& zone = before.back();
    if (zone == "main") return NamesOf(MainModeNames());
    if (zone == "logo") return NamesOf(LogoModeNames());
    if (zone == "dpi") return NamesOf(DpiLightModeNames());
    return {};
}
std::vector<std::string> ButtonNumbers(const Words&) {
    return Numbers(1, kKeysPerSet);
}
std::vector<std::string> ButtonFunctions(const Words&) {
    return ButtonFunctionWords();
}
// The word after a function that takes one: the media keys, the macros, the extra keys.
std::vector<std::string> FunctionArgument(const Words& before) {
    const std::string& fun = before.back();
    if (fun == "media") return NamesOf(MediaNames());
    if (fun == "macro") return {":macro"};
    if (fun == "extra") return {"1", "2", "3"};
    return {};
}
std::vector<std::string> Profiles(const Words&) {
    return Numbers(1, 4);
}
std::vector<std::string> LinkProfiles(const Words&) {
    return {"1", "2", "3", "4", "default"};
}
std::vector<std::string> AFile(const Words&) {
    return {":file"};
}
std::vector<std::string> AMacro(const Words&) {
    return {":macro"};
}
// Events as `macro new` takes them; after down or up, a key.
std::vector<std::string> MacroEvents(const Words& before) {
    if (before.back() == "down" || before.back() == "up") return MacroKeyNames();
    return {"down", "up", "move"};
}
std::vector<std::string> Charging(const Words&) {
    return {"charging"};
}
std::vector<std::string> CommandWords(const Words&) {
    return CommandNames();
}

}  // namespace

std::vector<std::string> ButtonFunctionWords() {
    std::vector<std::string> names = NamesOf(ButtonFunctionNames());
    for (const char* f : {"fire", "combo", "media", "sniper", "macro", "extra", "custom"})
        names.push_back(f);
    return names;
}

const std::vector<CommandSpec>& CommandTable() {
    static const std::vector<CommandSpec> t = {
        {"list",
         "receivers and mice found",
         "",
         {{"", {}, {"receivers and mice found"}, &App::List}}},
        {"info",
         "model, CID and MID, firmware version, battery, charging and onboard profile",
         "",
         {{"",
           {},
           {"model, CID/MID, firmware version, battery,", "charging, onboard profile"},
           &App::Info}}},
        {"show",
         "the current onboard profile, read from the mouse",
         "",
         {{"", {}, {"the current onboard profile, read from the mouse"}, &App::Show}}},
        {"set",
         "change one setting of the current profile",
         "setting",
         {
             {"rate", {{"125|250|500|1000", Rates}}, {}, &App::RateSetting},
             {"dpi",
              {{"<level>", Levels}, {"<x>[:<y>]"}},
              {"level 1-8; the value snaps to the sensor's list"},
              &App::DpiSetting},
             {"dpi-count", {{"<n>", Levels}}, {"the DPI levels in use"}, &App::DpiLevelSetting},
             {"dpi-level", {{"<n>", Levels}}, {"the DPI level in use"}, &App::DpiLevelSetting},
             {"dpi-color", {{"<level>", Levels}, {"<#rrggbb>"}}, {}, &App::DpiLevelSetting},
             {"lod", {{"1|2", LiftOffs}}, {"lift-off distance"}, &App::LodSetting},
             {"ripple", {{"on|off", OnOffWords}}, {}, &App::SwitchSetting},
             {"angle-snap", {{"on|off", OnOffWords}}, {}, &App::SwitchSetting},
             {"motion-sync", {{"on|off", OnOffWords}}, {}, &App::SwitchSetting},
             {"sensor-mode", {{"hp|lp", SensorModes}}, {}, &App::SensorModeSetting},
             {"debounce", {{"<ms>"}}, {"within the option DebounceRange"}, &App::DebounceSetting},
             {"sleep", {{"<seconds>"}}, {"one of the mouse's sleep times"}, &App::SleepSetting},
             {"auto-sleep",
              {{"<seconds>"}},
              {"10, 20, 30 seconds or 1 to 10 minutes, given", "in seconds"},
              &App::AutoSleepSetting},
             {"light-off-moving", {{"on|off", OnOffWords}}, {}, &App::LightOffMovingSetting},
             {"light",
              {{"main|logo|dpi", Zones}, {"<mode>", ModesOfZone}},
              {"a main mode starts with its own brightness and",
               "speed; brightness 1-10, speed 1-10 (logo and DPI", "light 1-5)"},
              &App::LightSetting,
              {"--brightness N", "--speed N", "--color #rrggbb"}},
         }},
        {"button",
         "give a button a function",
         "",
         {{"",
           {{"<n>", ButtonNumbers}, {"<function>", ButtonFunctions}, {"[args]", FunctionArgument}},
           {"n is 1-based; functions: left right middle",
            "forward back off dpi-up dpi-down dpi-cycle", "rate-switch profile-switch light-mode",
            "light-toggle; fire <count> <interval> |", "combo <Ctrl+Shift+A> | media <name> |",
            "sniper <dpi> | macro <name> | extra <1-3> |", "custom <code>"},
           &App::Button}}},
        {"profile",
         "switch, export, import, apply and link the onboard profiles",
         "profile command",
         {
             {"switch", {{"<1-4>", Profiles}}, {}, &App::ProfileSwitch},
             {"export", {{"<file.qza>", AFile}}, {}, &App::ProfileTransfer},
             {"import", {{"<file.qza>", AFile}}, {}, &App::ProfileTransfer},
             {"apply",
              {{"<file.json|->",
                [](const Words&) {
                    return std::vector<std::string>{":file", "-"};
                }}},
              {"what show --json prints, all of it or a part",
               "(- reads standard input); every value is",
               "checked first, only what differs is written"},
              &App::ProfileApply},
             {"link",
              {{"<program.exe>"}, {"<1-4|default>", LinkProfiles}},
              {"while the window runs, the mouse takes this",
               "profile when the program comes to the front;",
               "link default <1-4>: the profile for every", "program without a link"},
              &App::ProfileLinks},
             {"unlink", {{"<program.exe>"}}, {}, &App::ProfileLinks},
             {"links", {}, {}, &App::ProfileLinks},
         }},
        {"reset",
         "the factory settings of the current profile",
         "",
         {{"",
           {},
           {"the mouse's factory settings (asks on a", "terminal; without one --yes is needed)"},
           &App::Reset}}},
        {"macro",
         "list, show, make, import, export and delete macros",
         "macro command",
         {
             {"list", {}, {}, &App::MacroList},
             {"show", {{"<name>", AMacro}}, {}, &App::MacroShow},
             {"new",
              {{"<name>"}, {"<events...>", MacroEvents, true}},
              {"events as show prints them: down <key>,", "up <key>, move <dx>,<dy>, <n>ms (a wait",
               "after the event); keys as for combinations,", "also LCtrl RCtrl LShift RShift LAlt",
               "RAlt LWin RWin MouseLeft MouseRight", "MouseMiddle MouseForward MouseBack"},
              &App::NewMacro},
             {"import", {{"<file.qzm>", AFile}}, {}, &App::MacroImport},
             {"export", {{"<name>", AMacro}, {"<file>", AFile}}, {}, &App::MacroExport},
             {"delete", {{"<name>", AMacro}}, {}, &App::MacroDelete},
         }},
        {"eeprom",
         "raw bytes of the mouse's memory",
         "eeprom command",
         {
             {"read",
              {{"<addr>"}, {"<len>"}},
              {"raw bytes: two upper-case hex digits each,", "one space apart, 16 a line"},
              &App::Eeprom},
             {"write",
              {{"<addr>"}, {"<hex bytes...>", nullptr, true}},
              {"diagnostic: raw bytes into the mouse's", "memory, past every check of the program"},
              &App::Eeprom},
         }},
        {"sim",
         "act on the virtual mouse of a running Zorvan.exe",
         "sim action",
         {
             {"dpi-button", {}, {}},
             {"profile-button", {}, {}},
             {"unplug", {}, {}},
             {"replug", {}, {}},
             {"battery",
              {{"<0-100>"}, {"[charging]", Charging}},
              {"with --sim=FILE: acts on the virtual mouse", "of a running Zorvan.exe started with",
               "ZORVAN_SIM=FILE"}},
         },
         false},
        {"help",
         "the usage of every command, or of one",
         "",
         {{"", {{"[<command>]", CommandWords}}, {"this text, or the usage of one command"}}},
         false},
    };
    return t;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : CommandTable())
        if (name == c.name) return &c;
    return nullptr;
}

const VerbSpec* FindVerb(const CommandSpec& c, const Words& w, std::string* why,
                         std::string* near) {
    if (c.verbs.size() == 1 && !*c.verbs[0].name) return &c.verbs[0];
    if (w.size() < 2) {
        *why = std::string("missing ") + c.verbWhat;
        return nullptr;
    }
    std::vector<std::string> names;
    for (const VerbSpec& v : c.verbs) {
        if (w[1] == v.name) return &v;
        names.push_back(v.name);
    }
    *why = std::string("unknown ") + c.verbWhat + " \"" + w[1] + "\"";
    *near = NearestWord(w[1], names);
    return nullptr;
}

}  // namespace cli
