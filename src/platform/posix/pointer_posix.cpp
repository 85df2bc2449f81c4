// No system pointer settings to change here: the requests are kept for the tests.
#include <mutex>
#include <utility>

#include "platform/pointer.h"

namespace platform {

namespace {
std::mutex g_mu;
std::vector<PointerSettings> g_recorded;
}  // namespace

int ApplyPointerSettings(const PointerSettings& wanted) {
    std::lock_guard<std::mutex> lock(g_mu);
    g_recorded.push_back(wanted);
    return 0;
}

std::vector<PointerSettings> TakeRecordedPointerSettings() {
    std::lock_guard<std::mutex> lock(g_mu);
    return std::exchange(g_recorded, {});
}

}  // namespace platform
