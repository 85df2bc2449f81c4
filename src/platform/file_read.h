// The part of reading a whole file, or its start, that every file system shares: how much to
// read, what a file larger than the limit means, and a file that shrinks while it is read. The
// backends open the file, tell its size and read chunks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// Reads chunk bytes into the buffer: the count read, 0 at the end of the file, -1 on an error.
using ReadChunk = std::function<int64_t(uint8_t* buf, size_t size)>;

// Reads a file of `size` bytes into `out`. A file larger than `limit` fails with
// kErrNotEnoughMemory when `failIfLarger`, else only `limit` bytes are read. A read error fails
// with kErrReadFault and leaves `out` empty.
bool ReadOpenFile(uint64_t size, uint64_t limit, bool failIfLarger, const ReadChunk& read,
                  std::vector<uint8_t>& out, uint32_t* err);

}  // namespace platform
