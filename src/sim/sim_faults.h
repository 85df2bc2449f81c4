// Faults of the virtual receiver chosen from outside the process, so that the command-line tool
// and the window can be run under them end to end. ZORVAN_SIM_FAULTS holds a list of faults
// separated by ';', each a kind and its options:
//   no-reply | bad-status | other-command | garbage | late-reply | unplug | send-fails
//     cmd=N     only this command id (decimal or 0x..); any command when left out
//     skip=N    matching commands let through first ("unplug skip=20": after 20 commands)
//     times=N   matching commands it then applies to; "times=always" for ever (default 1)
//     delay=MS  late-reply: how late (default 1500)
//     other=N   other-command: the command id the answer carries (default the next one)
//   latency=MS  the link's latency from a command to its answer
// Only a virtual receiver reads it; real receivers never see it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/virtual_receiver.h"

namespace sim {

// The parts of `text` between any of `seps`, empty parts left out.
std::vector<std::string> SplitOn(const std::string& text, std::string_view seps);

struct FaultPlan {
    std::vector<Fault> faults;
    std::optional<uint32_t> latencyMs;
};

// The plan in `text`; nullopt with the reason in `why` for anything malformed.
std::optional<FaultPlan> ParseFaultPlan(const std::string& text, std::string* why);

// Puts the plan of ZORVAN_SIM_FAULTS (when set) on `rx`. false with the reason in `why` when
// the variable cannot be understood; then nothing is put on the receiver.
bool ApplyFaultsFromEnvironment(VirtualReceiver& rx, std::string* why);

}  // namespace sim
