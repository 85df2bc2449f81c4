// Reading a whole file, or its start, is the same on every file system: how much to read, what
// a file larger than the limit means, and a file that shrinks while it is read. Only opening the
// file, telling its size and reading a chunk are the platform's (OpenFileForReading).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Reads chunk bytes into the buffer: the count read, 0 at the end of the file, -1 on an error.
using ReadChunk = std::function<int64_t(uint8_t* buf, size_t size)>;

// Reads a file of `size` bytes into `out`. A file larger than `limit` fails with
// kErrNotEnoughMemory when `failIfLarger`, else only `limit` bytes are read. A read error fails
// with kErrReadFault and leaves `out` empty.
bool ReadOpenFile(uint64_t size, uint64_t limit, bool failIfLarger, const ReadChunk& read,
                  std::vector<uint8_t>& out, uint32_t* err);

// A plain file open for reading, closed when destroyed.
class FileForReading {
  public:
    virtual ~FileForReading() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `size` bytes: the count read, 0 at the end of the file, -1 on an error.
    virtual int64_t Read(uint8_t* buf, size_t size) = 0;
};
// Opens `path` for reading, each platform in its own way; none (with the Win32 error number in
// `err`) when it cannot be opened or is not a plain file.
std::unique_ptr<FileForReading> OpenFileForReading(const std::string& path, uint32_t* err);

}  // namespace platform
