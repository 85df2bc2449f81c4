#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "platform/folder_watch.h"
#include "platform/fs.h"

namespace platform {

namespace {
// The Win32 numbers the same failures give on Windows.
uint32_t ErrorOf(int e) {
    if (e == ENOENT || e == ENOTDIR) return kErrPathNotFound;
    if (e == ENOMEM || e == ENOSPC || e == EMFILE) return kErrNotEnoughMemory;
    return 31;  // ERROR_GEN_FAILURE
}

class InotifyWatch : public FolderWatch {
  public:
    InotifyWatch(int inotify, int stop) : m_inotify(inotify), m_stop(stop) {}
    ~InotifyWatch() override {
        ::close(m_inotify);
        ::close(m_stop);
    }

    FolderWake Wait(uint32_t timeoutMs) override {
        pollfd fds[2] = {{m_stop, POLLIN, 0}, {m_inotify, POLLIN, 0}};
        const int timeout = timeoutMs == kWaitForever ? -1 : static_cast<int>(timeoutMs);
        int n;
        do n = ::poll(fds, 2, timeout);
        while (n < 0 && errno == EINTR);
        if (n < 0) return FolderWake::kFailed;
        if (fds[0].revents) return FolderWake::kStopped;
        if (n == 0) return FolderWake::kTimeout;
        // The events themselves do not matter: the caller looks at the folder.
        alignas(inotify_event) char buf[4096];
        while (::read(m_inotify, buf, sizeof buf) > 0) {
        }
        return FolderWake::kChanged;
    }

    void Stop() override {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t w = ::write(m_stop, &one, sizeof one);
    }

  private:
    int m_inotify;
    int m_stop;
};
}  // namespace

std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, uint32_t* err) {
    const int in = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (in < 0) {
        if (err) *err = ErrorOf(errno);
        return nullptr;
    }
    if (::inotify_add_watch(in, folder.c_str(),
                            IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE) <
        0) {
        if (err) *err = ErrorOf(errno);
        ::close(in);
        return nullptr;
    }
    const int stop = ::eventfd(0, EFD_CLOEXEC);
    if (stop < 0) {
        if (err) *err = ErrorOf(errno);
        ::close(in);
        return nullptr;
    }
    return std::make_unique<InotifyWatch>(in, stop);
}

}  // namespace platform
