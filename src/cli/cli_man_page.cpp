// The manual page, its commands written from the command table; the shipped zorvan.1 is this
// text, and a test holds the two together.
#include <string>
#include <vector>

#include "cli/cli_command_table.h"

namespace cli {

namespace {

constexpr const char* kHead = R"(.Dd December 11, 2026
.Dt ZORVAN 1
.Os
.Sh NAME
.Nm zorvan
.Nd configure a Zorvan wireless gaming mouse from the command line
.Sh SYNOPSIS
.Nm
.Op Fl \-sim Ns Op = Ns Ar file
.Op Fl \-model Ar n | name
.Op Fl \-cfg Ar file
.Op Fl \-data\-dir Ar dir
.Op Fl \-json
.Op Fl q | v
.Op Fl y
.Ar command
.Op Ar argument ...
.Sh DESCRIPTION
.Nm
reads and changes the settings of a mouse reached through its USB receiver:
DPI levels, report rate, sensor settings, lighting, button functions,
onboard profiles and macros.
Every change goes through the same rules as the configuration window and
prints one line saying what was stored.
Options may stand anywhere on the line, as
.Fl \-opt Ar value
or
.Fl \-opt Ns = Ns Ar value .
.Sh OPTIONS
.Bl -tag -width Ds
.It Fl \-sim Ns Op = Ns Ar file
Use the virtual receiver and mouse; its memory is kept in
.Ar file
.Pq default: Pa sim.bin No in the data folder .
.It Fl \-model Ar n | name
With
.Fl \-sim :
the virtual mouse is this entry of the catalogue, by number or name.
A state file made for another mouse is refused.
.It Fl \-cfg Ar file
The catalogue
.Pa cfg.ini
to use.
.It Fl \-data\-dir Ar dir
The data folder: profile cache, macros and the virtual mouse's memory.
.It Fl \-json
.Cm list , info , show , profile links , macro list , macro show
and
.Cm eeprom read
print JSON; a change
.Pq Cm set , button , profile apply , No ...
prints what it stored, in the shape
.Cm show
prints.
.It Fl q , Fl \-quiet
Nothing on standard output after a change; errors are still said.
.It Fl v , Fl \-verbose
The diagnostic log on standard error.
.It Fl y , Fl \-yes
Reset without asking.
Without a terminal,
.Cm reset
needs it.
.It Fl h , Fl \-help
The usage, or with a command that command's usage.
.It Fl V , Fl \-version
The program's version.
.El
)";

constexpr const char* kTail = R"(.Sh ENVIRONMENT
.Bl -tag -width Ds
.It Ev ZORVAN_SIM
1, or the path of a state file: use the virtual mouse as
.Fl \-sim
does.
.It Ev ZORVAN_SYSCONFDIR
The folder searched for the system's
.Pa cfg.ini
instead of
.Pa /etc/zorvan .
.El
.Sh FILES
.Bl -tag -width Ds
.It Pa /etc/zorvan/cfg.ini
The system administrator's catalogue; when present it is used before the
one the package installed, so a mouse can be added without touching
.Pa /usr .
.It Pa PREFIX/share/zorvan/cfg.ini
The catalogue of mice shipped with the program, with its texts.
.It Pa ~/.local/share/Zorvan
The data folder
.Pq Pa $XDG_DATA_HOME/Zorvan No when that is set :
profile cache, macros and the virtual mouse's memory.
.El
.Sh EXIT STATUS
.Bl -tag -width Ds
.It 0
Done.
.It 1
The mouse refused or failed, a file could not be saved, or a reset was
cancelled.
.It 2
A usage error.
.It 3
No receiver or mouse.
.El
.Sh EXAMPLES
.Bd -literal -offset indent
zorvan set dpi 2 1600
zorvan button 4 combo Ctrl+C
zorvan \-\-sim \-\-model talon info
.Ed
)";

// A word as the page's roff takes it: a hyphen is a hyphen, not a minus.
std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '-' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// "<x>[:<y>]" as "Ar x Ns Op : Ns Ar y": placeholders, optional parts and literal words.
std::string Macros(const std::string& shown) {
    std::vector<std::string> pieces;
    size_t i = 0;
    while (i < shown.size()) {
        if (shown[i] == '<') {
            const size_t end = shown.find('>', i);
            const std::string name = Escaped(shown.substr(i + 1, end - i - 1));
            pieces.push_back("Ar " +
                             (name.find(' ') == std::string::npos ? name : '"' + name + '"'));
            i = end + 1;
        } else if (shown[i] == '[') {
            const size_t end = shown.find(']', i);
            pieces.push_back("Op " + Macros(shown.substr(i + 1, end - i - 1)));
            i = end + 1;
        } else {
            const size_t end = shown.find_first_of("<[", i);
            const std::string text = shown.substr(i, end - i);
            pieces.push_back(text == ":" ? text : "Cm " + Escaped(text));
            i = end == std::string::npos ? shown.size() : end;
        }
    }
    std::string out;
    for (const std::string& p : pieces) out += (out.empty() ? "" : " Ns ") + p;
    return out;
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 32);
    return text;
}
std::string Ended(std::string text) {
    return text.empty() || text.back() == '.' ? text : text + '.';
}

// The words of a verb and its options, for an item's head.
std::string Arguments(const VerbSpec& v) {
    std::string out;
    for (const WordSpec& w : v.words) out += " " + Macros(w.shown);
    for (const char* o : v.options) {
        const std::string s = o;
        const size_t space = s.find(' ');
        // Fl writes the first hyphen itself.
        out += " Op Fl " + Escaped(s.substr(1, space - 1)) + " Ar " + s.substr(space + 1);
    }
    return out;
}

// The help's explanation, a line of it a line of the page, as sentences.
std::string Note(const VerbSpec& v, const char* otherwise) {
    std::vector<std::string> lines(v.note.begin(), v.note.end());
    if (lines.empty()) lines.push_back(otherwise);
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (i == 0) line = Capitalised(line);
        if (i + 1 == lines.size()) line = Ended(line);
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::string ManPage() {
    std::string page = kHead;
    page += ".Sh COMMANDS\n.Bl -tag -width Ds\n";
    for (const CommandSpec& c : CommandTable()) {
        const bool named = !(c.verbs.size() == 1 && !*c.verbs[0].name);
        if (!named) {
            page += ".It Cm " + Escaped(c.name) + Arguments(c.verbs[0]) + "\n";
            page += Note(c.verbs[0], c.summary);
            continue;
        }
        page += ".It Cm " + Escaped(c.name) + "\n" + Ended(Capitalised(c.summary)) + "\n";
        page += ".Bl -tag -width Ds\n";
        for (const VerbSpec& v : c.verbs) {
            page += ".It Cm " + Escaped(v.name) + Arguments(v) + "\n";
            if (!v.note.empty()) page += Note(v, "");
        }
        page += ".El\n";
    }
    page += ".El\n";
    return page + kTail;
}

}  // namespace cli
