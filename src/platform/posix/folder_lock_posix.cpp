#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "platform/sys.h"

namespace platform {

namespace {
class FlockFolderLock : public FolderLock {
  public:
    explicit FlockFolderLock(int fd) : m_fd(fd) {}
    ~FlockFolderLock() override { ::close(m_fd); }

  private:
    int m_fd;
};
}  // namespace

FolderLockResult LockFolder(const std::string& folder, uint32_t waitMs,
                            std::unique_ptr<FolderLock>* lock, uint32_t* err) {
    const int fd = ::open(JoinPath(folder, kFolderLockFile).c_str(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    // A link or a pipe in its place would lock something else, or nothing: refused.
    struct stat st;
    if ((fd < 0 && errno == ELOOP) ||
        (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)))) {
        if (fd >= 0) ::close(fd);
        if (err) *err = kErrBadFileType;
        return FolderLockResult::kNotAFile;
    }
    if (fd < 0) {
        // Win32 numbers, as everywhere: 5 access denied, 3 path not found.
        if (err) *err = errno == EACCES || errno == EROFS || errno == EPERM ? 5 : 3;
        return FolderLockResult::kNoLockFile;
    }
    const uint32_t start = GetTickCount();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (GetTickCount() - start >= waitMs) {
            ::close(fd);
            return FolderLockResult::kBusy;
        }
        Sleep(20);
    }
    *lock = std::make_unique<FlockFolderLock>(fd);
    return FolderLockResult::kTaken;
}

}  // namespace platform
