// Collects the log's lines while it lives (debugger level, "BY: " removed). Create it before
// any thread that logs starts, and let it end after they stop: it switches the log level.
#pragma once
#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/gvar.h"
#include "base/log.h"

namespace zvtest {

class LogLines {
  public:
    LogLines() {
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([this](const std::string& s) {
            std::lock_guard<std::mutex> lock(m_mu);
            m_lines.push_back(s.rfind("BY: ", 0) == 0 ? s.substr(4) : s);
        });
    }
    ~LogLines() {
        SetLogDebugWriter(nullptr);
        gVar.nDebug = 0;
        LogInit();
    }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    // How many lines contain `text`.
    int Count(const std::string& text) const {
        std::lock_guard<std::mutex> lock(m_mu);
        return static_cast<int>(std::count_if(m_lines.begin(), m_lines.end(), [&](auto& l) {
            return l.find(text) != std::string::npos;
        }));
    }

    // Waits until at least `n` lines contain `text`; false when they have not come within
    // `timeoutMs` (a bound for a stuck run, not a measure of speed).
    bool WaitForCount(const std::string& text, int n, int timeoutMs = 20000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Count(text) < n) {
            if (std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

  private:
    mutable std::mutex m_mu;
    std::vector<std::string> m_lines;
};

}  // namespace zvtest
