#include <windows.h>

#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "platform/win/wide.h"

namespace platform {

namespace {
class FileFolderLock : public FolderLock {
  public:
    explicit FileFolderLock(HANDLE h) : m_h(h) {}
    ~FileFolderLock() override { CloseHandle(m_h); }

  private:
    HANDLE m_h;
};
}  // namespace

FolderLockResult LockFolder(const std::string& folder, uint32_t waitMs,
                            std::unique_ptr<FolderLock>* lock, uint32_t* err) {
    // A link in the lock file's place would lock what it points at, or nothing.
    if (IsLink(JoinPath(folder, kFolderLockFile))) {
        if (err) *err = kErrBadFileType;
        return FolderLockResult::kNotAFile;
    }
    const HANDLE h = CreateFileW(win::Widen(JoinPath(folder, kFolderLockFile)).c_str(),
                                 GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (err) *err = GetLastError();
        return FolderLockResult::kNoLockFile;
    }
    const uint32_t start = GetTickCount();
    for (;;) {
        OVERLAPPED at = {};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
        if (GetTickCount() - start >= waitMs) {
            CloseHandle(h);
            return FolderLockResult::kBusy;
        }
        Sleep(20);
    }
    *lock = std::make_unique<FileFolderLock>(h);
    return FolderLockResult::kTaken;
}

}  // namespace platform
