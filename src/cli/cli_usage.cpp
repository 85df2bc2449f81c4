#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_args.h"

namespace cli {

namespace {
std::string Names(const std::vector<NamedValue>& t) {
    std::string s;
    for (const NamedValue& n : t) {
        if (!s.empty()) s += ' ';
        s += n.name;
    }
    return s;
}

struct CommandHelp {
    const char* name;
    std::string lines;
};

const std::vector<CommandHelp>& Commands() {
    static const std::vector<CommandHelp> t = {
        {"list", "  list                               receivers and mice found\n"},
        {"info",
         "  info                               model, CID/MID, firmware version, battery,\n"
         "                                     charging, onboard profile\n"},
        {"show",
         "  show                               the current onboard profile, read from the mouse\n"},
        {"set",
         "  set rate 125|250|500|1000\n"
         "  set dpi <level> <x>[:<y>]          level 1-8; the value snaps to the sensor's list\n"
         "  set dpi-count <n> | dpi-level <n> | dpi-color <level> <#rrggbb>\n"
         "  set lod 1|2 | ripple on|off | angle-snap on|off | motion-sync on|off\n"
         "  set sensor-mode hp|lp\n"
         "  set debounce <ms> | sleep <seconds> | auto-sleep <seconds> | light-off-moving on|off\n"
         "                                     debounce within the option DebounceRange; sleep "
         "one\n"
         "                                     of the mouse's sleep times; auto sleep 10, 20, 30\n"
         "                                     seconds or 1 to 10 minutes, given in seconds\n"
         "  set light main|logo|dpi <mode> [--brightness N] [--speed N] [--color #rrggbb]\n"
         "                                     a main mode starts with its own brightness and\n"
         "                                     speed; brightness 1-10, speed 1-10 (logo and DPI\n"
         "                                     light 1-5)\n"},
        {"button",
         "  button <n> <function> [args]       n is 1-based; functions:\n"
         "                                     " +
             Names(ButtonFunctionNames()) +
             "\n"
             "                                     fire <count> <interval> | combo <Ctrl+Shift+A> "
             "|\n"
             "                                     media <name> | sniper <dpi> | macro <name> |\n"
             "                                     extra <1-3>\n"},
        {"profile",
         "  profile switch <1-4> | export <file.qza> | import <file.qza>\n"
         "  profile apply <file.json|->        what show --json prints (all of it or a part;\n"
         "                                     - reads standard input): every value is checked\n"
         "                                     first, only what differs is written\n"
         "  profile link <program.exe> <1-4|default>\n"
         "                                     while the window runs, the mouse takes this\n"
         "                                     profile when the program comes to the front\n"
         "  profile link default <1-4>         the profile for every program without a link\n"
         "  profile unlink <program.exe> | links\n"},
        {"reset",
         "  reset [--yes]                      the mouse's factory settings (asks on a "
         "terminal;\n"
         "                                     without one --yes is needed)\n"},
        {"macro",
         "  macro list | show <name> | import <file.qzm> | export <name> <file> | delete <name>\n"
         "  macro new <name> <events...>       events as show prints them: down <key>, up <key>,\n"
         "                                     move <dx>,<dy>, <n>ms (a wait after the event);\n"
         "                                     keys as for combinations, also LCtrl RCtrl LShift\n"
         "                                     RShift LAlt RAlt LWin RWin MouseLeft MouseRight\n"
         "                                     MouseMiddle MouseForward MouseBack\n"},
        {"eeprom",
         "  eeprom read <addr> <len>           raw bytes: two upper-case hex digits each, one\n"
         "                                     space apart, 16 a line\n"
         "  eeprom write <addr> <hex bytes...> diagnostic: raw bytes into the mouse's memory,\n"
         "                                     past every check of the program\n"},
        {"sim",
         "  sim dpi-button | profile-button | unplug | replug | battery <0-100> [charging]\n"
         "                                     with --sim=FILE: acts on the virtual mouse of a\n"
         "                                     running Zorvan.exe started with ZORVAN_SIM=FILE\n"},
        {"help", "  help [<command>]                   this text, or the usage of one command\n"},
    };
    return t;
}

std::string AllCommandLines() {
    std::string s;
    for (const CommandHelp& c : Commands()) s += c.lines;
    return s;
}

}  // namespace

const std::vector<std::string>& CommandNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const CommandHelp& c : Commands()) n.push_back(c.name);
        return n;
    }();
    return names;
}

std::string CommandUsage(const std::string& command) {
    for (const CommandHelp& c : Commands())
        if (command == c.name) {
            // "usage: zorvan set rate ..." and the further lines under it.
            std::string out;
            size_t start = 0;
            while (start < c.lines.size()) {
                size_t end = c.lines.find('\n', start);
                if (end == std::string::npos) end = c.lines.size();
                const std::string line = c.lines.substr(start + 2, end - start - 2);
                const bool head = line[0] != ' ';
                out += (out.empty() ? "usage: zorvan "
                        : head      ? "       zorvan "
                                    : "              ") +
                       line + "\n";
                start = end + 1;
            }
            return out;
        }
    return "";
}

std::string Usage() {
    std::string u =
        "usage: zorvan [--sim[=FILE]] [--model N|NAME] [--cfg FILE] [--data-dir DIR] [--json] "
        "[-q|-v] [--yes]\n"
        "              <command>   (options may stand anywhere; --opt=value works too)\n"
        "\n"
        "options:\n"
        "  --sim[=FILE]     use the virtual receiver and mouse; its memory is kept in FILE\n"
        "                   (default: sim.bin in the data folder). The virtual mouse is the\n"
        "                   first device entry of the cfg.ini in use.\n"
        "  --model N|NAME   with --sim: the virtual mouse is this entry of the catalogue (its\n"
        "                   number or its Name); a state FILE made for another mouse is refused\n"
        "  --cfg FILE       the cfg.ini to use (default: /etc/zorvan/cfg.ini when there is one,\n"
        "                   else the program's own); texts are read from text.xml in the same\n"
        "                   folder, or the program's own\n"
        "  --data-dir DIR   the data folder: profile cache, macros (Mac), sim.bin\n"
        "                   (default: the per-user data folder of the configuration window)\n"
        "  --json           list, info, show, profile links, macro list, macro show and eeprom\n"
        "                   read print JSON; a change prints what it stored, as JSON\n"
        "  -q, --quiet      nothing on standard output after a change (errors are still said)\n"
        "  -v, --verbose    the diagnostic log on standard error\n"
        "  -y, --yes        reset without asking; without a terminal, reset needs it\n"
        "  -h, --help       this text; with a command, that command's usage\n"
        "  -V, --version    the program's version\n"
        "  --               every word after it is a word of the command, not an option\n"
        "\n"
        "commands:\n" +
        AllCommandLines() +
        "\n"
        "Numbers (addresses, lengths, bytes, counts) are decimal or 0x-prefixed hexadecimal.\n"
        "\n"
        "media names: " +
        Names(MediaNames()) +
        "\n"
        "combination keys: Ctrl Shift Alt Win and up to three of\n  " +
        KeyNamesHelp() +
        "\n"
        "main lighting modes: " +
        Names(MainModeNames()) +
        "\n"
        "logo lighting modes: " +
        Names(LogoModeNames()) +
        "\n"
        "DPI light modes: " +
        Names(DpiLightModeNames()) +
        "\n"
        "\n"
        "exit codes: 0 done, 1 the mouse refused or failed, 2 a usage error, 3 no receiver or\n"
        "mouse. Messages of the program are lines on standard error.\n";
    return u;
}

}  // namespace cli
