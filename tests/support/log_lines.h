// Collects the log's lines while it lives (debugger level, "BY: " removed). Create it before
// any thread that logs starts, and let it end after they stop: it switches the log level.
#pragma once
#include <algorithm>
#include <mutex>
#include <string>
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

  private:
    mutable std::mutex m_mu;
    std::vector<std::string> m_lines;
};

}  // namespace zvtest
