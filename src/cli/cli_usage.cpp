#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_args.h"
#include "cli/cli_command_table.h"

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

// A verb's usage line with its explanation beside it, or under it when the usage is long.
std::string VerbLines(const CommandSpec& c, const VerbSpec& v) {
    constexpr size_t kNoteColumn = 37;
    std::string line = "  " + VerbUsage(c, v), s;
    for (const char* note : v.note) {
        if (line.size() + 1 > kNoteColumn) {
            s += line + "\n";
            line.clear();
        }
        line.resize(kNoteColumn, ' ');
        s += line + note + "\n";
        line.clear();
    }
    return line.empty() ? s : s + line + "\n";
}

std::string CommandLines(const CommandSpec& c) {
    std::string s;
    for (const VerbSpec& v : c.verbs) s += VerbLines(c, v);
    return s;
}

std::string AllCommandLines() {
    std::string s;
    for (const CommandSpec& c : CommandTable()) s += CommandLines(c);
    return s;
}

}  // namespace

std::string VerbUsage(const CommandSpec& c, const VerbSpec& v) {
    std::string s = c.name;
    if (*v.name) s += std::string(" ") + v.name;
    for (const WordSpec& w : v.words) s += std::string(" ") + w.shown;
    for (const char* o : v.options) s += std::string(" [") + o + "]";
    return s;
}

const std::vector<std::string>& CommandNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const CommandSpec& c : CommandTable()) n.push_back(c.name);
        return n;
    }();
    return names;
}

std::string CommandUsage(const std::string& command) {
    const CommandSpec* c = FindCommand(command);
    if (!c) return "";
    // "usage: zorvan set rate ..." and the further lines under it.
    const std::string lines = CommandLines(*c);
    std::string out;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos) end = lines.size();
        const std::string line = lines.substr(start + 2, end - start - 2);
        const bool head = line[0] != ' ';
        out += (out.empty() ? "usage: zorvan "
                : head      ? "       zorvan "
                            : "              ") +
               line + "\n";
        start = end + 1;
    }
    return out;
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
        "                   number or its Name); a state FILE made for another mouse is "
        "refused\n"
        "  --cfg FILE       the cfg.ini to use (default: /etc/zorvan/cfg.ini when there is "
        "one,\n"
        "                   else the program's own); texts are read from text.xml in the same\n"
        "                   folder, or the program's own\n"
        "  --data-dir DIR   the data folder: profile cache, macros (Mac), sim.bin\n"
        "                   (default: the per-user data folder of the configuration window)\n"
        "  --json           list, info, show, profile links, macro list, macro show and "
        "eeprom\n"
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
