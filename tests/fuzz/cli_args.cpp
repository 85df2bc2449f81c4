// Any command line: the global options and the words the commands parse (numbers, colours,
// switches, key combinations, the nearest command; the virtual receiver's fault plan) must never
// crash or read out of bounds, and what they accept must be what they promise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_args.h"
#include "sim/sim_faults.h"

using namespace cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Arguments are separated by NUL bytes, as the system hands them over.
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    cli::Options opt;
    std::string why;
    if (!cli::ParseOptions(args, &opt, &why) && why.empty()) std::abort();
    for (const std::string& w : opt.words) {
        if (auto n = ParseNumber(w, -5, 0x1AFF); n && (*n < -5 || *n > 0x1AFF)) std::abort();
        if (auto c = ParseColour(w); c && *c > 0xFFFFFF) std::abort();
        if (auto s = ParseOnOff(w); s && *s != 0 && *s != 1) std::abort();
        std::string comboWhy;
        if (auto k = ParseCombo(w, &comboWhy)) ComboText(*k);
        NearestWord(w, cli::CommandNames());
        cli::CommandUsage(w);
    }
    // The virtual receiver's fault plan comes from the environment, beside the command line.
    std::string plan(reinterpret_cast<const char*>(data), size);
    if (auto p = sim::ParseFaultPlan(plan, &why)) {
        for (const sim::Fault& f : p->faults)
            if (f.cmd > 0xFF || f.skip < 0 || f.times < -1) std::abort();
    }
    return 0;
}
