// Clock, special folders, debugger output, threads and the single-instance lock.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Milliseconds since an arbitrary start, wrapping like GetTickCount.
uint32_t GetTickCount();

struct LocalTime {
    unsigned year, month, day, hour, minute, second, millisecond;
};
LocalTime GetLocalTime();

void Sleep(uint32_t ms);

enum class SpecialFolder { Desktop, LocalAppData };
// The folder without a trailing separator; "" when it cannot be found.
// Elsewhere than Windows: $XDG_DESKTOP_DIR or ~/Desktop, $XDG_DATA_HOME or ~/.local/share.
std::string GetSpecialFolder(SpecialFolder which);

// Full path of the running executable.
std::string GetExecutablePath();

// Text for a debugger (OutputDebugStringW); elsewhere standard error.
void DebugOutput(const std::string& text);

uint32_t GetCurrentThreadId();

// Value of an environment variable; empty when unset.
std::string GetEnv(const char* name);

// A lock held for the life of the process that a second instance of the program cannot take.
class SingleInstance {
  public:
    virtual ~SingleInstance() = default;
    // true when another holder had it first (ERROR_ALREADY_EXISTS of a named mutex).
    virtual bool AlreadyExisted() const = 0;
};
std::unique_ptr<SingleInstance> CreateSingleInstance(const std::string& name);

}  // namespace platform
