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

}  // namespace platform
