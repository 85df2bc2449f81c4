// Collects what the core tells, from any thread, for a test to look at.
#pragma once
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/notice.h"

// How a failing expectation shows a notice.
inline void PrintTo(const Notice& n, std::ostream* os) {
    *os << "{\"" << n.text << "\", \"" << n.caption << "\", 0x" << std::hex << n.look << std::dec
        << "}";
}

namespace zvtest {

class NoticeLog {
  public:
    // A sink into this log; the log must outlive every call of it.
    NoticeSink Sink() {
        return [this](const Notice& n) {
            std::lock_guard<std::mutex> lock(m_mu);
            m_got.push_back(n);
        };
    }
    std::vector<Notice> Take() {
        std::lock_guard<std::mutex> lock(m_mu);
        return std::exchange(m_got, {});
    }
    std::vector<std::string> TakeTexts() {
        std::vector<std::string> out;
        for (const Notice& n : Take()) out.push_back(n.text);
        return out;
    }

  private:
    std::mutex m_mu;
    std::vector<Notice> m_got;
};

}  // namespace zvtest
