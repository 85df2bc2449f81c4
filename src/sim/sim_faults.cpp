#include "sim/sim_faults.h"

#include <cstdlib>

#include "platform/sys.h"

namespace sim {

namespace {

constexpr const char* kVariable = "ZORVAN_SIM_FAULTS";

// A whole number from 0 to `hi`, decimal or 0x hexadecimal.
std::optional<uint32_t> Number(const std::string& s, uint32_t hi) {
    if (s.empty() || s.size() > 10 || s[0] == '-' || s[0] == '+') return std::nullopt;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(s.c_str(), &end, 0);
    if (!end || *end || v > hi) return std::nullopt;
    return static_cast<uint32_t>(v);
}

struct KindName {
    const char* name;
    FaultKind kind;
};
constexpr KindName kKinds[] = {
    {"no-reply", FaultKind::kNoReply},           {"bad-status", FaultKind::kBadStatus},
    {"other-command", FaultKind::kOtherCommand}, {"garbage", FaultKind::kGarbage},
    {"late-reply", FaultKind::kLateReply},       {"unplug", FaultKind::kUnplug},
    {"send-fails", FaultKind::kSendFails},
};

}  // namespace

std::vector<std::string> SplitOn(const std::string& text, std::string_view seps) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (seps.find(c) != std::string_view::npos) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::optional<FaultPlan> ParseFaultPlan(const std::string& text, std::string* why) {
    auto fail = [&](const std::string& m) -> std::optional<FaultPlan> {
        if (why) *why = m;
        return std::nullopt;
    };
    FaultPlan plan;
    for (const std::string& item : SplitOn(text, ";")) {
        const std::vector<std::string> words = SplitOn(item, " \t");
        if (words.empty()) continue;
        const std::string& head = words[0];
        if (head.rfind("latency=", 0) == 0) {
            if (words.size() > 1) return fail("latency takes no options: " + item);
            auto ms = Number(head.substr(8), 60000);
            if (!ms) return fail("latency must be 0 to 60000 ms: " + head);
            plan.latencyMs = *ms;
            continue;
        }
        Fault f;
        bool known = false;
        for (const KindName& k : kKinds)
            if (head == k.name) {
                f.kind = k.kind;
                known = true;
            }
        if (!known) return fail("unknown fault \"" + head + "\"");
        for (size_t i = 1; i < words.size(); ++i) {
            const std::string& opt = words[i];
            const size_t eq = opt.find('=');
            const std::string key = opt.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : opt.substr(eq + 1);
            std::optional<uint32_t> v;
            if (key == "times" && value == "always") {
                f.times = -1;
                continue;
            }
            if (key == "cmd" || key == "other")
                v = Number(value, 0xFF);
            else if (key == "skip" || key == "times")
                v = Number(value, 1000000);
            else if (key == "delay")
                v = Number(value, 60000);
            else
                return fail("unknown fault option \"" + opt + "\"");
            if (!v) return fail("fault option out of range: " + opt);
            if (key == "cmd") f.cmd = static_cast<int>(*v);
            if (key == "other") f.otherCmd = static_cast<uint8_t>(*v);
            if (key == "skip") f.skip = static_cast<int>(*v);
            if (key == "times") f.times = static_cast<int>(*v);
            if (key == "delay") f.delayMs = *v;
        }
        plan.faults.push_back(f);
    }
    return plan;
}

bool ApplyFaultsFromEnvironment(VirtualReceiver& rx, std::string* why) {
    const std::string text = platform::GetEnv(kVariable);
    if (text.empty()) return true;
    std::string reason;
    auto plan = ParseFaultPlan(text, &reason);
    if (!plan) {
        if (why) *why = std::string(kVariable) + ": " + reason;
        return false;
    }
    if (plan->latencyMs) rx.SetLatency(*plan->latencyMs);
    for (const Fault& f : plan->faults) rx.InjectFault(f);
    return true;
}

}  // namespace sim
