#include "cli/cli_sim.h"

#include <cstdio>

#include "sim/sim_control.h"

namespace cli {

namespace {
// The running program looks for a command every 100 ms; a busy machine under Wine may take
// longer, so the sender is patient before it reports that nobody listens.
constexpr uint32_t kTakeMs = 3000;
}  // namespace

int RunSimCommand(const Options& opt) {
    if (!opt.sim || opt.simFile.empty()) {
        std::fprintf(stderr,
                     "zorvan: sim needs --sim=FILE, the state file of the running program's "
                     "virtual mouse (ZORVAN_SIM=FILE)\n");
        return kExitUsage;
    }
    std::string why;
    const std::vector<std::string> words(opt.words.begin() + 1, opt.words.end());
    auto c = sim::ParseControl(words, &why);
    if (!c) {
        std::fprintf(stderr, "zorvan: %s\n", why.c_str());
        return kExitUsage;
    }
    if (!sim::SendControl(opt.simFile, *c, kTakeMs, &why)) {
        std::fprintf(stderr, "zorvan: %s\n", why.c_str());
        return kExitNoDevice;
    }
    return kExitDone;
}

}  // namespace cli
