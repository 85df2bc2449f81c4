// `zorvan --sim=FILE sim ...`: makes the virtual mouse of a running configuration window act
// as a real one would (its buttons, the receiver leaving and returning, the battery).
#pragma once
#include "cli/cli_app.h"

namespace cli {

// The whole "sim" command; the process exit code.
int RunSimCommand(const Options& opt);

}  // namespace cli
