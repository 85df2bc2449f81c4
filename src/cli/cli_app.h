// The zorvan command: global options, the start of the program's core, and one function per
// command. Every change goes the way the configuration window's does: the profile is read from
// the mouse, changed in memory and written by the apply thread.
#pragma once
#include <string>
#include <vector>

namespace cli {

// Exit codes.
enum : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitNoDevice = 3 };

struct Options {
    bool sim = false;
    std::string simFile;  // empty: sim.bin in the data folder
    std::string cfgPath;  // empty: cfg.ini beside the program
    std::string dataDir;  // empty: the per-user data folder
    std::string model;    // the virtual mouse's catalogue entry: number or name; empty: the first
    bool json = false;
    bool verbose = false;
    bool quiet = false;  // nothing on standard output after a change
    bool help = false;
    bool version = false;
    bool yes = false;                // reset without asking
    std::vector<std::string> words;  // the command and its arguments
};

// Parses the global options, wherever they stand ("--opt value" and "--opt=value" alike);
// the other words are the command's. false with the reason in `why`.
bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* why);

// The help text.
std::string Usage();
// The usage lines of one command, "" for a word that is no command.
std::string CommandUsage(const std::string& command);
// The command words.
const std::vector<std::string>& CommandNames();

// Runs a whole invocation; the process exit code.
int Run(const std::vector<std::string>& args);

}  // namespace cli
