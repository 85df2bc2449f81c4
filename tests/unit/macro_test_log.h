// Captures the diagnostic log lines written during a macro test.
#pragma once
#include <string>
#include <vector>

#include "app/gvar.h"
#include "base/log.h"

namespace zvtest {

class MacroLogCapture {
  public:
    MacroLogCapture() {
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([this](const std::string& s) { lines.push_back(s); });
    }
    ~MacroLogCapture() {
        SetLogDebugWriter(nullptr);
        gVar.nDebug = 0;
        LogInit();
    }
    MacroLogCapture(const MacroLogCapture&) = delete;
    MacroLogCapture& operator=(const MacroLogCapture&) = delete;

    bool Has(const std::string& text) const {
        for (const auto& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> lines;
};

}  // namespace zvtest
