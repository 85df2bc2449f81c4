#include <windows.h>

#include "platform/folder_watch.h"
#include "platform/win/wide.h"

namespace platform {

namespace {
class ChangeNotificationWatch : public FolderWatch {
  public:
    ChangeNotificationWatch(HANDLE change, HANDLE stop) : m_change(change), m_stop(stop) {}
    ~ChangeNotificationWatch() override {
        ::FindCloseChangeNotification(m_change);
        ::CloseHandle(m_stop);
    }

    FolderWake Wait(uint32_t timeoutMs) override {
        const HANDLE objects[2] = {m_stop, m_change};
        const DWORD r = ::WaitForMultipleObjects(2, objects, FALSE,
                                                 timeoutMs == kWaitForever ? INFINITE : timeoutMs);
        if (r == WAIT_OBJECT_0) return FolderWake::kStopped;
        if (r == WAIT_TIMEOUT) return FolderWake::kTimeout;
        if (r != WAIT_OBJECT_0 + 1) return FolderWake::kFailed;
        // Re-armed before the caller looks, so a change made while it looks wakes it again.
        if (!::FindNextChangeNotification(m_change)) return FolderWake::kFailed;
        return FolderWake::kChanged;
    }

    void Stop() override { ::SetEvent(m_stop); }

  private:
    HANDLE m_change;
    HANDLE m_stop;
};
}  // namespace

std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, uint32_t* err) {
    const HANDLE change = ::FindFirstChangeNotificationW(
        win::Widen(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    if (change == INVALID_HANDLE_VALUE) {
        if (err) *err = ::GetLastError();
        return nullptr;
    }
    const HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop) {
        if (err) *err = ::GetLastError();
        ::FindCloseChangeNotification(change);
        return nullptr;
    }
    return std::make_unique<ChangeNotificationWatch>(change, stop);
}

}  // namespace platform
