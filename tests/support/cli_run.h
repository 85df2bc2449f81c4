// Runs the built zorvan command as a user would from a shell: no terminal on standard input,
// standard output and error captured in files of a test folder, the exit code kept.
#pragma once
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace zvtest {

struct CliResult {
    int code = -1;
    std::string out, err;
    bool Says(const std::string& s) const { return err.find(s) != std::string::npos; }
};

// The shipped cfg.ini, quoted for the shell.
inline std::string ShippedCfgArg() {
    return "--cfg '" + SourceDir() + "/data/cfg.ini'";
}

// `program words`, its output kept in `files` ("out", "err").
inline CliResult RunCommand(const std::string& program, const std::string& words,
                            const TempDir& files) {
    const std::string cmd = program + " " + words + " </dev/null >'" + (files / "out") + "' 2>'" +
                            (files / "err") + "'";
    CliResult r;
    const int status = std::system(cmd.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = files.Read("out");
    r.err = files.Read("err");
    return r;
}

}  // namespace zvtest
