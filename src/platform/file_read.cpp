#include "platform/file_read.h"

#include "platform/fs.h"

namespace platform {

bool ReadOpenFile(uint64_t size, uint64_t limit, bool failIfLarger, const ReadChunk& read,
                  std::vector<uint8_t>& out, uint32_t* err) {
    out.clear();
    if (size > limit) {
        if (failIfLarger) {
            if (err) *err = kErrNotEnoughMemory;
            return false;
        }
        size = limit;
    }
    out.resize(size);
    size_t got = 0;
    while (got < size) {
        const int64_t r = read(out.data() + got, static_cast<size_t>(size - got));
        if (r < 0) {
            out.clear();
            if (err) *err = kErrReadFault;
            return false;
        }
        if (r == 0) break;  // the file shrank while we read it
        got += static_cast<size_t>(r);
    }
    out.resize(got);
    if (err) *err = kErrSuccess;
    return true;
}

namespace {
bool ReadUpTo(const std::string& path, uint64_t limit, bool failIfLarger, std::vector<uint8_t>& out,
              uint32_t* err) {
    out.clear();
    std::unique_ptr<FileForReading> file = OpenFileForReading(path, err);
    if (!file) return false;
    return ReadOpenFile(
        file->Size(), limit, failIfLarger,
        [&file](uint8_t* buf, size_t size) { return file->Read(buf, size); }, out, err);
}
}  // namespace

bool ReadFile(const std::string& path, std::vector<uint8_t>& out, uint32_t* err,
              uint64_t maxBytes) {
    return ReadUpTo(path, maxBytes, true, out, err);
}

bool ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>& out,
                    uint32_t* err) {
    return ReadUpTo(path, count, false, out, err);
}

}  // namespace platform
