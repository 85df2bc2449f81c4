#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/file_read.h"
#include "platform/fs.h"
#include "platform/sys.h"

namespace platform {

char PathSeparator() {
    return '/';
}

namespace {

bool ParentExists(const std::string& path) {
    std::string dir = DirectoryOf(path);
    if (dir.empty()) return true;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// errno to the Win32 number the same failure gives on Windows.
uint32_t ToWin32(int e, const std::string& path) {
    switch (e) {
        case 0:
            return kErrSuccess;
        case ENOENT:
            return ParentExists(path) ? kErrFileNotFound : kErrPathNotFound;
        case ENOTDIR:
            return kErrPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kErrAccessDenied;
        case EEXIST:
            return kErrAlreadyExists;
        case ENOTEMPTY:
            return kErrDirNotEmpty;
        case ENOSPC:
        case EDQUOT:
            return kErrDiskFull;
        case ENAMETOOLONG:
            return kErrFilenameTooLong;
        case ENOMEM:
            return kErrNotEnoughMemory;
        case EBADF:
            return kErrInvalidHandle;
        case EINVAL:
            return kErrInvalidName;
        default:
            return kErrAccessDenied;
    }
}

bool Fail(uint32_t* err, uint32_t code) {
    if (err) *err = code;
    return false;
}
bool FailErrno(uint32_t* err, const std::string& path) {
    return Fail(err, ToWin32(errno, path));
}
bool Ok(uint32_t* err) {
    if (err) *err = kErrSuccess;
    return true;
}

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool GetFileSize(const std::string& path, uint64_t& size, uint32_t* err) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FailErrno(err, path);
    if (!S_ISREG(st.st_mode)) return Fail(err, kErrAccessDenied);
    size = static_cast<uint64_t>(st.st_size);
    return Ok(err);
}

namespace {
class PosixFileForReading : public FileForReading {
  public:
    PosixFileForReading(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
    ~PosixFileForReading() override { ::close(m_fd); }
    uint64_t Size() const override { return m_size; }
    int64_t Read(uint8_t* buf, size_t size) override {
        for (;;) {
            const ssize_t r = ::read(m_fd, buf, size);
            if (r >= 0 || errno != EINTR) return r;
        }
    }

  private:
    int m_fd;
    uint64_t m_size;
};
}  // namespace

std::unique_ptr<FileForReading> OpenFileForReading(const std::string& path, uint32_t* err) {
    // Without O_NONBLOCK, opening a pipe put where a data file belongs waits for a writer
    // forever; it is refused once open, like any file that is not a plain one.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        FailErrno(err, path);
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Fail(err, kErrBadFileType);
        return nullptr;
    }
    return std::make_unique<PosixFileForReading>(fd, static_cast<uint64_t>(st.st_size));
}

// Makes a finished rename last: the folder entry is only on disk once the folder is flushed.
// Some file systems refuse fsync on a folder; the data itself is already safe then.
static void SyncFolderOf(const std::string& path) {
    std::string dir = DirectoryOf(path);
    if (dir.empty()) dir = ".";
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

static bool WriteReplacing(const std::string& path, const void* data, size_t size, uint32_t* err);

bool WriteFileAtomic(const std::string& path, const void* data, size_t size, uint32_t* err) {
    uint32_t e = 0;
    const bool ok = WriteReplacing(path, data, size, &e);
    NoteSaveResult(path, ok, e);
    if (err) *err = e;
    return ok;
}

static bool WriteReplacing(const std::string& path, const void* data, size_t size, uint32_t* err) {
    if (DirectoryExists(path)) return Fail(err, kErrAccessDenied);
    if (FileExists(path) && IsReadOnly(path)) return Fail(err, kErrAccessDenied);
    std::string tmp;
    int fd = -1;
    // O_EXCL with O_NOFOLLOW: a file or link already there under our name is never written
    // through; another random name is tried instead.
    for (int tries = 0; tries < 8 && fd < 0; ++tries) {
        tmp = MakeTempFileName(path);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return FailErrno(err, path);
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    int e = errno;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        e = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        e = errno;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        e = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return Fail(err, e == ENOSPC ? kErrDiskFull : ToWin32(e, path));
    }
    SyncFolderOf(path);
    return Ok(err);
}

bool AppendToFile(const std::string& path, const void* data, size_t size, uint32_t* err) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return FailErrno(err, path);
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    int e = errno;
    ::close(fd);
    if (!ok) return Fail(err, ToWin32(e, path));
    return Ok(err);
}

bool TruncateFile(const std::string& path, uint32_t* err) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return FailErrno(err, path);
    ::close(fd);
    return Ok(err);
}

bool RemoveFile(const std::string& path, uint32_t* err) {
    if (DirectoryExists(path)) return Fail(err, kErrAccessDenied);
    // Windows refuses to delete a read-only file; keep that so callers see the same failure.
    if (FileExists(path) && IsReadOnly(path)) return Fail(err, kErrAccessDenied);
    if (::unlink(path.c_str()) != 0) return FailErrno(err, path);
    return Ok(err);
}

bool RenameFile(const std::string& from, const std::string& to, uint32_t* err) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return FailErrno(err, from);
    if (::lstat(to.c_str(), &st) == 0) return Fail(err, kErrAlreadyExists);
    if (::rename(from.c_str(), to.c_str()) != 0) return FailErrno(err, to);
    return Ok(err);
}

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists, uint32_t* err) {
    std::vector<uint8_t> data;
    if (!ReadFile(from, data, err)) return false;
    if (failIfExists && (FileExists(to) || DirectoryExists(to))) return Fail(err, kErrFileExists);
    if (FileExists(to) && IsReadOnly(to)) return Fail(err, kErrAccessDenied);
    return WriteFileAtomic(to, data, err);
}

bool MakeDirectory(const std::string& path, uint32_t* err) {
    if (::mkdir(path.c_str(), 0755) != 0) return FailErrno(err, path);
    return Ok(err);
}

bool RemoveEmptyDirectory(const std::string& path, uint32_t* err) {
    if (FileExists(path)) return Fail(err, kErrInvalidName);
    if (::rmdir(path.c_str()) != 0) return FailErrno(err, path);
    return Ok(err);
}

bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool RemoveLink(const std::string& path, uint32_t* err) {
    if (!IsLink(path)) return Fail(err, kErrInvalidName);
    if (::unlink(path.c_str()) != 0) return FailErrno(err, path);
    return Ok(err);
}

bool IsReadOnly(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & S_IWUSR) == 0;
}

bool SetReadOnly(const std::string& path, bool readOnly, uint32_t* err) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FailErrno(err, path);
    mode_t m = readOnly ? (st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR);
    if (::chmod(path.c_str(), m) != 0) return FailErrno(err, path);
    return Ok(err);
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>& out, uint32_t* err) {
    out.clear();
    DIR* d = ::opendir(path.c_str());
    if (!d) return Fail(err, errno == ENOENT ? kErrPathNotFound : ToWin32(errno, path));
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        std::string full = JoinPath(path, name);
        DirEntry de;
        de.isLink = ::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        if (::stat(full.c_str(), &st) != 0) {
            // A dangling link is still an entry, to be removed like any other.
            if (!de.isLink) continue;
            st = {};
        }
        de.name = name;
        de.isDirectory = S_ISDIR(st.st_mode);
        de.size = de.isDirectory ? 0 : static_cast<uint64_t>(st.st_size);
        out.push_back(std::move(de));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return Ok(err);
}

}  // namespace platform
