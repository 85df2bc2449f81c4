// The parts of the HID layer that do not depend on the platform.
#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "platform/hid.h"

namespace platform {

namespace {
std::atomic<uint32_t> g_nextHidId{0x100};

std::mutex g_backendMu;
std::shared_ptr<HidBackend> g_backend;
}  // namespace

HidDevice::HidDevice() : m_id(g_nextHidId.fetch_add(4)) {}

void HidEvent::SetListener(std::function<void()> fn) {
    std::lock_guard<std::mutex> lock(m_listenerMu);
    m_listener = std::move(fn);
}

void HidEvent::TellListener() {
    std::lock_guard<std::mutex> lock(m_listenerMu);
    if (m_listener) m_listener();
}

std::shared_ptr<HidBackend> CurrentHidBackend() {
    std::lock_guard<std::mutex> lock(g_backendMu);
    if (!g_backend) g_backend = CreateSystemHidBackend();
    return g_backend;
}

void SetHidBackend(std::shared_ptr<HidBackend> backend) {
    std::lock_guard<std::mutex> lock(g_backendMu);
    g_backend = std::move(backend);
}

std::vector<HidInterfaceDesc> ParseReportDescriptor(const uint8_t* desc, size_t len) {
    std::vector<HidInterfaceDesc> out;
    struct Globals {
        uint32_t usagePage = 0, reportSize = 0, reportCount = 0, reportId = 0;
    };
    Globals g;
    std::vector<Globals> stack;
    uint32_t firstUsage = 0;
    bool haveUsage = false;
    int depth = 0;
    // Bits per report ID for input, output and feature reports of the current top level.
    std::map<uint32_t, uint64_t> bits[3];
    HidInterfaceDesc current;

    auto finishTopLevel = [&] {
        uint32_t* lengths[3] = {&current.inputReportLength, &current.outputReportLength,
                                &current.featureReportLength};
        for (int k = 0; k < 3; ++k) {
            uint64_t most = 0;
            for (auto& [id, b] : bits[k]) most = std::max(most, (b + 7) / 8);
            // The system counts the report ID byte even when the device uses none.
            *lengths[k] = bits[k].empty() ? 0 : static_cast<uint32_t>(most + 1);
            bits[k].clear();
        }
        out.push_back(current);
        current = HidInterfaceDesc{};
    };

    size_t i = 0;
    while (i < len) {
        uint8_t prefix = desc[i];
        if (prefix == 0xFE) {  // long item: size byte, tag byte, data
            if (i + 1 >= len) break;
            i += 3 + desc[i + 1];
            continue;
        }
        size_t size = prefix & 3;
        if (size == 3) size = 4;
        if (i + 1 + size > len) break;
        uint32_t value = 0;
        for (size_t k = 0; k < size; ++k) value |= uint32_t(desc[i + 1 + k]) << (8 * k);
        uint8_t type = (prefix >> 2) & 3;
        uint8_t tag = prefix >> 4;
        i += 1 + size;

        if (type == 1) {  // global
            switch (tag) {
                case 0:
                    g.usagePage = value;
                    break;
                case 7:
                    g.reportSize = value;
                    break;
                case 8:
                    g.reportId = value;
                    break;
                case 9:
                    g.reportCount = value;
                    break;
                case 10:
                    stack.push_back(g);
                    break;
                case 11:
                    if (!stack.empty()) {
                        g = stack.back();
                        stack.pop_back();
                    }
                    break;
                default:
                    break;
            }
        } else if (type == 2) {  // local
            if (tag == 0 && !haveUsage) {
                firstUsage = value;  // a 4-byte usage carries its page in the high half
                haveUsage = true;
            }
        } else if (type == 0) {  // main
            if (tag == 10) {     // collection
                if (depth == 0) {
                    if (haveUsage && firstUsage > 0xFFFF) {
                        current.usagePage = firstUsage >> 16;
                        current.usage = firstUsage & 0xFFFF;
                    } else {
                        current.usagePage = g.usagePage;
                        current.usage = haveUsage ? firstUsage : 0;
                    }
                }
                ++depth;
            } else if (tag == 12) {  // end collection
                if (depth > 0 && --depth == 0) finishTopLevel();
            } else if (depth > 0 && (tag == 8 || tag == 9 || tag == 11)) {
                int kind = tag == 8 ? 0 : tag == 9 ? 1 : 2;
                bits[kind][g.reportId] += uint64_t(g.reportSize) * g.reportCount;
            }
            haveUsage = false;
            firstUsage = 0;
        }
    }
    return out;
}

}  // namespace platform
