// Every command and setting of zorvan, described once: its name, the words it takes, how each is
// completed and the App function that runs it. The dispatch, the help, the did-you-mean of a
// mistyped word, the shell completions and the man page are all read from this table, so a
// word added here is offered, explained and run everywhere at once.
#pragma once
#include <string>
#include <vector>

namespace cli {

class App;
using Words = std::vector<std::string>;
using Handler = int (App::*)(const Words&);

struct WordSpec {
    const char* shown;  // as the usage line shows it: "<level>", "on|off"
    // The words it takes, given the command's words before it (the lighting modes follow the
    // zone); nullptr for a number or a name that has no list. A choice ":file" stands for any
    // file, ":macro" for the name of any macro of the library.
    std::vector<std::string> (*choices)(const Words& before) = nullptr;
    bool repeats = false;  // the last word of a verb that takes any number of them
};

struct VerbSpec {
    const char* name;  // "" for a command that takes no verb
    std::vector<WordSpec> words;
    // The help's explanation, one string a line, shown to the right of the usage.
    std::vector<const char*> note;
    Handler run = nullptr;
    std::vector<const char*> options = {};  // its own options, each followed by a value
};

struct CommandSpec {
    const char* name;
    const char* summary;   // one line, for the man page and the shells' descriptions
    const char* verbWhat;  // what a verb is called in a message ("setting"); "" without verbs
    std::vector<VerbSpec> verbs;
    bool startsApp = true;  // false: help and sim run without the program's start-up
};

const std::vector<CommandSpec>& CommandTable();
// The functions `button` takes by name: the simple ones, then those that take a word more.
std::vector<std::string> ButtonFunctionWords();
// A verb's usage as the help shows it: "set rate 125|250|500|1000".
std::string VerbUsage(const CommandSpec& c, const VerbSpec& v);
const CommandSpec* FindCommand(const std::string& name);
// The verb a command's words name: the nameless one of a command without verbs; nullptr with
// the reason (and a near miss) in `why` and `near` for a word that is none of them.
const VerbSpec* FindVerb(const CommandSpec& c, const Words& w, std::string* why, std::string* near);

// The words a command line typed so far may go on with: `typed` is every word after the
// program's name, the last one the word being completed (possibly empty). One a line; the
// line ":file" or ":dir" asks the shell for its own file or folder completion.
std::string CompletionWords(const Words& typed);

// The manual page in mdoc, from the same table.
std::string ManPage();

}  // namespace cli
