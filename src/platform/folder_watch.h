// Waiting for a folder to change (a file created, renamed, written or removed in it, not
// below it) without looking again and again: the system wakes the waiter. Used where another
// process hands this one a file and nothing should run while none comes.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class FolderWake { kChanged, kStopped, kTimeout, kFailed };

class FolderWatch {
  public:
    virtual ~FolderWatch() = default;
    // Waits until something in the folder changed since the last wake (or since the watch
    // was made), until Stop, or for `timeoutMs` (kWaitForever: no limit).
    virtual FolderWake Wait(uint32_t timeoutMs) = 0;
    // Wakes a waiter with kStopped, now and at every later Wait; callable from any thread.
    virtual void Stop() = 0;
};

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// A watch of `folder`; null (with the system's error number) when the system refuses one.
std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, uint32_t* err = nullptr);

}  // namespace platform
