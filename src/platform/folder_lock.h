// An exclusive lock on a data folder, held while one program changes what the folder keeps (the
// profile cache, the macro library): a command of the command-line tool for its whole run, the
// configuration window for its life. A file "zorvan.lock" in the folder carries it; the system
// lets go when the process ends, so a crash leaves no stale lock behind.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class FolderLock {
  public:
    virtual ~FolderLock() = default;
};

constexpr const char* kFolderLockFile = "zorvan.lock";

enum class FolderLockResult { kTaken, kBusy, kNoLockFile, kNotAFile };

// Takes the lock of `folder` (with or without a trailing separator), waiting up to `waitMs` for
// another holder to let go. `*lock` holds it on kTaken; kNoLockFile (with the system's error
// number) when the lock file cannot be opened, as in a read-only folder; kNotAFile when its
// place holds a link, a pipe or a folder, which would switch locking off or hang.
FolderLockResult LockFolder(const std::string& folder, uint32_t waitMs,
                            std::unique_ptr<FolderLock>* lock, uint32_t* err = nullptr);

}  // namespace platform
