#include <windows.h>

#include <algorithm>

#include "platform/file_read.h"
#include "platform/fs.h"
#include "platform/win/wide.h"

namespace platform {

using win::Narrow;
using win::Widen;

char PathSeparator() {
    return '\\';
}

namespace {
bool Fail(uint32_t* err, uint32_t code) {
    if (err) *err = code;
    return false;
}
bool FailLast(uint32_t* err) {
    return Fail(err, ::GetLastError());
}
bool Ok(uint32_t* err) {
    if (err) *err = kErrSuccess;
    return true;
}
}  // namespace

bool FileExists(const std::string& path) {
    DWORD a = ::GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = ::GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetFileSize(const std::string& path, uint64_t& size, uint32_t* err) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &d))
        return FailLast(err);
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(err, kErrAccessDenied);
    size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    return Ok(err);
}

namespace {
class WinFileForReading : public FileForReading {
  public:
    WinFileForReading(HANDLE h, uint64_t size) : m_h(h), m_size(size) {}
    ~WinFileForReading() override { ::CloseHandle(m_h); }
    uint64_t Size() const override { return m_size; }
    int64_t Read(uint8_t* buf, size_t size) override {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD r = 0;
        if (!::ReadFile(m_h, buf, chunk, &r, nullptr)) return -1;
        return r;
    }

  private:
    HANDLE m_h;
    uint64_t m_size;
};
}  // namespace

std::unique_ptr<FileForReading> OpenFileForReading(const std::string& path, uint32_t* err) {
    HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // Opening a folder for reading reports access denied, as on every platform here.
        FailLast(err);
        return nullptr;
    }
    LARGE_INTEGER li;
    if (!::GetFileSizeEx(h, &li)) {
        const DWORD e = ::GetLastError();
        ::CloseHandle(h);
        Fail(err, e);
        return nullptr;
    }
    return std::make_unique<WinFileForReading>(h, static_cast<uint64_t>(li.QuadPart));
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
    std::wstring target = Widen(path);
    DWORD attrs = ::GetFileAttributesW(target.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return Fail(err, kErrAccessDenied);
    // CREATE_NEW refuses a file already there under our random name, and opening the reparse
    // point itself means a planted link is never followed; another name is tried instead.
    std::wstring tmp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 8 && h == INVALID_HANDLE_VALUE; ++tries) {
        tmp = Widen(MakeTempFileName(path));
        h = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (h == INVALID_HANDLE_VALUE) return FailLast(err);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    size_t left = size;
    DWORD e = 0;
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1u << 30));
        DWORD w = 0;
        if (!::WriteFile(h, p, chunk, &w, nullptr) || w == 0) {
            e = ::GetLastError();
            if (e == 0) e = kErrWriteFault;
            break;
        }
        p += w;
        left -= w;
    }
    if (e == 0 && !::FlushFileBuffers(h)) e = ::GetLastError();
    ::CloseHandle(h);
    if (e == 0 && !::MoveFileExW(tmp.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        e = ::GetLastError();
    if (e != 0) {
        ::DeleteFileW(tmp.c_str());
        return Fail(err, e);
    }
    return Ok(err);
}

bool AppendToFile(const std::string& path, const void* data, size_t size, uint32_t* err) {
    HANDLE h = ::CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FailLast(err);
    DWORD w = 0;
    BOOL ok = ::WriteFile(h, data, static_cast<DWORD>(size), &w, nullptr);
    DWORD e = ok ? 0 : ::GetLastError();
    ::CloseHandle(h);
    if (!ok) return Fail(err, e);
    return Ok(err);
}

bool TruncateFile(const std::string& path, uint32_t* err) {
    HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FailLast(err);
    ::CloseHandle(h);
    return Ok(err);
}

bool RemoveFile(const std::string& path, uint32_t* err) {
    if (!::DeleteFileW(Widen(path).c_str())) return FailLast(err);
    return Ok(err);
}

bool RenameFile(const std::string& from, const std::string& to, uint32_t* err) {
    if (!::MoveFileW(Widen(from).c_str(), Widen(to).c_str())) return FailLast(err);
    return Ok(err);
}

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists, uint32_t* err) {
    if (!::CopyFileW(Widen(from).c_str(), Widen(to).c_str(), failIfExists)) return FailLast(err);
    return Ok(err);
}

bool MakeDirectory(const std::string& path, uint32_t* err) {
    if (!::CreateDirectoryW(Widen(path).c_str(), nullptr)) return FailLast(err);
    return Ok(err);
}

bool RemoveEmptyDirectory(const std::string& path, uint32_t* err) {
    if (!::RemoveDirectoryW(Widen(path).c_str())) return FailLast(err);
    return Ok(err);
}

bool IsLink(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool RemoveLink(const std::string& path, uint32_t* err) {
    const DWORD a = ::GetFileAttributesW(Widen(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_REPARSE_POINT))
        return Fail(err, kErrInvalidName);
    // A link to a folder is removed as a folder; neither call follows it.
    const BOOL ok = (a & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(Widen(path).c_str())
                                                   : ::DeleteFileW(Widen(path).c_str());
    if (!ok) return FailLast(err);
    return Ok(err);
}

bool IsReadOnly(const std::string& path) {
    DWORD a = ::GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool SetReadOnly(const std::string& path, bool readOnly, uint32_t* err) {
    std::wstring w = Widen(path);
    DWORD a = ::GetFileAttributesW(w.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return FailLast(err);
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY);
    if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesW(w.c_str(), a)) return FailLast(err);
    return Ok(err);
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>& out, uint32_t* err) {
    out.clear();
    WIN32_FIND_DATAW fd;
    std::wstring pattern = Widen(JoinPath(path, "*"));
    HANDLE h = ::FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = ::GetLastError();
        if (e == ERROR_FILE_NOT_FOUND && DirectoryExists(path)) return Ok(err);
        // A missing folder is "path not found" whatever FindFirstFile chose to say.
        if (e == ERROR_FILE_NOT_FOUND) e = ERROR_PATH_NOT_FOUND;
        return Fail(err, e);
    }
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        DirEntry de;
        de.name = Narrow(name);
        de.isDirectory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        de.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        de.size = de.isDirectory
                      ? 0
                      : ((static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
        out.push_back(std::move(de));
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(out.begin(), out.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return Ok(err);
}

}  // namespace platform
