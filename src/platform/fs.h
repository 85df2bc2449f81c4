// Files and folders. Paths are UTF-8; errors are Win32 error numbers on every platform so
// that log lines and messages read the same everywhere.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Win32 error numbers the program reports.
enum : uint32_t {
    kErrSuccess = 0,
    kErrFileNotFound = 2,
    kErrPathNotFound = 3,
    kErrAccessDenied = 5,
    kErrInvalidHandle = 6,
    kErrNotEnoughMemory = 8,
    kErrWriteFault = 29,
    kErrReadFault = 30,
    kErrSharingViolation = 32,
    kErrHandleEof = 38,
    kErrFileExists = 80,
    kErrInvalidParameter = 87,
    kErrDiskFull = 112,
    kErrInvalidName = 123,
    kErrDirNotEmpty = 145,
    kErrAlreadyExists = 183,
    kErrFilenameTooLong = 206,
    kErrBadFileType = 222,  // a pipe, device or link where a plain file belongs
    kErrIoPending = 997,
    kErrDeviceNotConnected = 1167,
};

// The separator of this platform's paths ('\\' on Windows, '/' elsewhere).
char PathSeparator();
// a + separator + b, without doubling a separator a already ends with.
std::string JoinPath(const std::string& a, const std::string& b);
// The folder part of a path with its trailing separator ("" when there is none).
std::string DirectoryOf(const std::string& path);
// The last component of a path.
std::string FileNameOf(const std::string& path);

bool FileExists(const std::string& path);       // a regular file
bool DirectoryExists(const std::string& path);  // a folder
// Size of a regular file; false (and err) when it cannot be measured.
bool GetFileSize(const std::string& path, uint64_t& size, uint32_t* err = nullptr);

// Reads a whole file. maxBytes guards against reading a huge file into memory: a larger file
// fails with kErrNotEnoughMemory and nothing is read.
bool ReadFile(const std::string& path, std::vector<uint8_t>& out, uint32_t* err = nullptr,
              uint64_t maxBytes = 64ull << 20);
// Reads at most `count` bytes from the start of a file.
bool ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>& out,
                    uint32_t* err = nullptr);

// Replaces a file's contents atomically: the data goes to a temporary file beside it, is
// flushed, and is then renamed over the old file (and the folder flushed, where the system
// needs that for the rename to last). A crash or a full disk leaves either the old or the new
// contents, never a mix. The temporary file has an unpredictable name, is created exclusively
// and never through a link, and is removed on failure.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size,
                     uint32_t* err = nullptr);
inline bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data,
                            uint32_t* err = nullptr) {
    return WriteFileAtomic(path, data.data(), data.size(), err);
}
// The part of a temporary file's name after the target's name.
constexpr const char* kTempFileMark = ".zvtmp";
constexpr size_t kTempFileLetters = 12;  // random letters after the mark
// The temporary file name WriteFileAtomic uses for `path`: the target, the mark and random
// letters.
std::string MakeTempFileName(const std::string& path);
// true for the name (without folder) of a temporary file a save left behind: ours, or the
// "<name>.tmp<pid>_<n>" form older versions used.
bool IsTempFileName(const std::string& name);
// Removes leftover temporary files directly in `folder` (not below it); the count removed.
int RemoveStaleTempFiles(const std::string& folder);

// Every save that failed, by path, as WriteFileAtomic last left it: a failure is recorded, a
// later successful save of the same path forgets it. A front end reports what is left when
// its work is done, so no failed save goes unsaid.
struct SaveFailure {
    std::string path;
    uint32_t err = 0;
};
std::vector<SaveFailure> TakeSaveFailures();
void NoteSaveResult(const std::string& path, bool ok, uint32_t err);
// Called on the saving thread, outside any lock, after a failure is recorded: a window that
// cannot wait for the end of its work hears of the failure this way. Empty: nobody is told.
void SetSaveFailureListener(std::function<void()> listener);
// The system's reason for an error number, in words ("access denied").
std::string ErrorText(uint32_t err);
// The reason a file at `path` failed with `err`, in words that say what stands there: "it is a
// folder, not a file", "/a/b is a file, not a folder", else ErrorText(err).
std::string PathErrorText(const std::string& path, uint32_t err);

// Appends to a file, creating it when it is missing (the log's way of writing).
bool AppendToFile(const std::string& path, const void* data, size_t size, uint32_t* err = nullptr);
// Truncates or creates a file empty.
bool TruncateFile(const std::string& path, uint32_t* err = nullptr);

bool RemoveFile(const std::string& path, uint32_t* err = nullptr);
// Renames a file or folder; fails with kErrAlreadyExists when the target exists.
bool RenameFile(const std::string& from, const std::string& to, uint32_t* err = nullptr);
// Copies a file; failIfExists as CopyFileW.
bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists,
                uint32_t* err = nullptr);
// Creates one folder level; kErrAlreadyExists when it exists, kErrPathNotFound when its parent
// does not.
bool MakeDirectory(const std::string& path, uint32_t* err = nullptr);
// Removes an empty folder.
bool RemoveEmptyDirectory(const std::string& path, uint32_t* err = nullptr);

// A symbolic link or another reparse point (a junction), whatever it points at.
bool IsLink(const std::string& path);
// Removes the link itself, never what it points at; kErrInvalidName when `path` is no link.
bool RemoveLink(const std::string& path, uint32_t* err = nullptr);

bool IsReadOnly(const std::string& path);
bool SetReadOnly(const std::string& path, bool readOnly, uint32_t* err = nullptr);

struct DirEntry {
    std::string name;          // without the folder
    bool isDirectory = false;  // also a link to a folder
    bool isLink = false;
    uint64_t size = 0;
};
// Lists a folder (without "." and ".."), sorted by name so every platform lists alike.
bool ListDirectory(const std::string& path, std::vector<DirEntry>& out, uint32_t* err = nullptr);

}  // namespace platform
