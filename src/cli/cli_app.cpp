#include "cli/cli_app.h"

#include <algorithm>
#include <cstdio>

#include "app/gvar.h"
#include "base/version.h"
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "cli/cli_command_table.h"
#include "cli/cli_sim.h"
#include "macro/macro_list.h"
#include "platform/sys.h"

namespace cli {

namespace {

constexpr const char* kShortUsage =
    "usage: zorvan [options] <command> [arguments]; \"zorvan help\" lists them\n";

}  // namespace

int Run(const std::vector<std::string>& args) {
    // For the shells' completion scripts and the packaging, never shown in the help: the words
    // that may follow a command line typed so far, and the manual page.
    if (!args.empty() && args[0] == "__complete") {
        std::fputs(CompletionWords(Words(args.begin() + 1, args.end())).c_str(), stdout);
        return kExitDone;
    }
    if (args.size() == 1 && args[0] == "__man") {
        std::fputs(ManPage().c_str(), stdout);
        return kExitDone;
    }
    Options opt;
    std::string why;
    if (!ParseOptions(args, &opt, &why)) {
        Err(why);
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    // The virtual mouse the window would use, unless the command line names one.
    const std::string simEnv = platform::GetEnv("ZORVAN_SIM");
    if (!opt.sim && !simEnv.empty() && simEnv != "0") {
        opt.sim = true;
        if (simEnv != "1") opt.simFile = simEnv;
    }
    if (!opt.model.empty() && !opt.sim) {
        Err("--model chooses the virtual mouse: give it with --sim");
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    if (opt.version) {
        std::printf("zorvan %s\n", kProgramVersion);
        return kExitDone;
    }
    // "help", "help <command>", "<command> --help": nothing is started.
    std::string helpOf;
    if (!opt.words.empty() && opt.words[0] == "help") {
        if (opt.words.size() == 1) {
            std::fputs(Usage().c_str(), stdout);
            return kExitDone;
        }
        helpOf = opt.words[1];
    } else if (opt.help) {
        if (opt.words.empty()) {
            std::fputs(Usage().c_str(), stdout);
            return kExitDone;
        }
        helpOf = opt.words[0];
    }
    if (!helpOf.empty()) {
        const std::string u = CommandUsage(helpOf);
        if (!u.empty()) {
            std::fputs(u.c_str(), stdout);
            return kExitDone;
        }
    }
    const std::string cmd = helpOf.empty() && !opt.words.empty() ? opt.words[0] : helpOf;
    if (cmd.empty()) {
        Err("no command");
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    // Every command word is checked before anything is started.
    const auto& names = CommandNames();
    if (std::find(names.begin(), names.end(), cmd) == names.end()) {
        const std::string near = NearestWord(cmd, names);
        Err("unknown command \"" + cmd + "\"" +
            (near.empty() ? "" : " (did you mean " + near + "?)"));
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    // And the word that names what the command is to do.
    std::string noVerb, near;
    if (!FindVerb(*FindCommand(cmd), opt.words, &noVerb, &near)) {
        Err(noVerb + (near.empty() ? "" : " (did you mean " + near + "?)"));
        std::fputs(CommandUsage(cmd).c_str(), stderr);
        return kExitUsage;
    }
    // The one command that acts on a running program's virtual mouse, without a start-up here.
    if (!FindCommand(cmd)->startsApp) return RunSimCommand(opt);
    try {
        // The program's one state, handed down: the commands reach nothing else of it.
        App app(opt, {TheProfile(), gVar, gVar, gVar, g_MacroList});
        return app.Run();
    } catch (const UsageError& e) {
        Err(e.why + (e.near.empty() ? "" : " (did you mean " + e.near + "?)"));
        std::fputs(CommandUsage(cmd).c_str(), stderr);
        return kExitUsage;
    }
}

}  // namespace cli
