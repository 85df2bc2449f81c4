#include "macro/macro_file.h"

#include <cstring>
#include <vector>

#include "base/app_paths.h"
#include "base/log.h"
#include "platform/fs.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Errors that mean the file could not be opened for writing at all, as opposed to a write
// that started and failed.
bool IsCreateError(uint32_t e) {
    switch (e) {
        case platform::kErrFileNotFound:
        case platform::kErrPathNotFound:
        case platform::kErrAccessDenied:
        case platform::kErrSharingViolation:
        case platform::kErrInvalidName:
        case platform::kErrFilenameTooLong:
        case platform::kErrAlreadyExists:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string MacroRootFolder() {
    return ThePaths().szAppDataDir + "Mac";
}

bool MakeSureFolderExist(const std::string& path) {
    std::string dir = platform::DirectoryOf(path);
    for (size_t i = 0; i < dir.size(); ++i) {
        if (!IsSeparator(dir[i])) continue;
        std::string part = dir.substr(0, i);
        // The file-system root and a drive ("C:") exist or cannot be made.
        if (part.empty() || (part.size() == 2 && part[1] == ':')) continue;
        if (IsSeparator(part.back()) || platform::DirectoryExists(part)) continue;
        uint32_t err = 0;
        if (!platform::MakeDirectory(part, &err) && err != platform::kErrAlreadyExists) {
            LogPrintf("MakeSureFolderExist: create dir %s, err=0x%x", part.c_str(), err);
            return false;
        }
    }
    return true;
}

bool MyCreateFile(const std::string& path, const void* data, size_t size, uint32_t* errOut) {
    uint32_t err = 0;
    bool ok = platform::WriteFileAtomic(path, data, size, &err);
    if (!ok && (err == platform::kErrPathNotFound || err == platform::kErrFileNotFound) &&
        MakeSureFolderExist(path))
        ok = platform::WriteFileAtomic(path, data, size, &err);
    if (!ok && IsCreateError(err)) LogPrintf("MyCreateFile: %s, error=0x%x", path.c_str(), err);
    if (errOut) *errOut = ok ? 0 : err;
    return ok;
}

bool IsMacroFileName(const std::string& name) {
    if (name.size() <= 4 || platform::IsTempFileName(name)) return false;
    return TextsEqualIgnoringCase(name.substr(name.size() - 4), ".qzm");
}

bool IsPlayableMacro(const StMacro& record) {
    const int n = CountMacroEvents(record);
    if (n > MAX_MACRO_EVENTS) return false;
    for (int i = 0; i < n; ++i)
        if (record.events[i].delay > kMaxMacroDelayMs) return false;
    return true;
}

std::optional<StMacro> ReadMacroFile(const std::string& path) {
    // A read-only file is refused as the program always has: it could not be saved back.
    if (!platform::FileExists(path) || platform::IsReadOnly(path)) return std::nullopt;
    std::vector<uint8_t> bytes;
    if (!platform::ReadFilePrefix(path, kStMacroSize, bytes) || bytes.size() != kStMacroSize)
        return std::nullopt;
    for (auto& b : bytes) b = RotateLeft2(b);
    StMacro m = StMacroFromBytes(bytes.data());
    if (m.dwMagicNumber != MACRO_MAGIC) return std::nullopt;
    if (!IsPlayableMacro(m)) {
        LogPrintf("ReadMacroFile: %s holds %d events or a delay over %u ms, not loaded",
                  path.c_str(), CountMacroEvents(m), kMaxMacroDelayMs);
        return std::nullopt;
    }
    return m;
}

void MacroFileBytes(const StMacro& record, uint8_t* out) {
    StMacro copy = record;
    copy.flags &= ~kMacroChanged;
    StMacroToBytes(copy, out);
    for (size_t i = 0; i < kStMacroSize; ++i) out[i] = RotateRight2(out[i]);
}

bool WriteMacroFile(StMacro& record, const std::string& path) {
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(record, bytes);
    uint32_t err = 0;
    if (!MyCreateFile(path, bytes, sizeof bytes, &err)) {
        if (!IsCreateError(err))
            LogPrintf("Flush_Dirty_Macro: WriteFile err=0x%x, %s", err, path.c_str());
        return false;
    }
    record.flags &= ~kMacroChanged;
    return true;
}

bool FlushMacroRecord(MacroList& list, MacroId id, const std::string& path) {
    std::optional<StMacro> rec = list.FindMacroById(id);
    if (!rec || (rec->flags & kMacroChanged) == 0) return true;
    const StMacro written = *rec;
    if (!WriteMacroFile(*rec, path)) return false;
    // The file is written outside the list's lock; only clear the bits when no other thread
    // changed the record in between, else that change would be marked saved without being so.
    list.Update(id, [&](StMacro& m) {
        if (std::memcmp(&m, &written, sizeof m) == 0) m.flags &= ~kMacroChanged;
    });
    list.SetFile(id, path);
    return true;
}

bool SaveMacroDict(const MacroList& list) {
    std::vector<uint8_t> buf(kMacroDictSize, 0);
    size_t slot = 0;
    for (const StMacro& m : list.Snapshot()) {
        if (slot >= static_cast<size_t>(MAX_MACROS)) break;
        if (m.id == 0 || m.events[0].code == 0) continue;
        StMacroToBytes(m, buf.data() + slot * kStMacroSize);
        ++slot;
    }
    std::string path = ThePaths().szAppDataDir + "mac.dct";
    uint32_t err = 0;
    if (!platform::WriteFileAtomic(path, buf, &err)) {
        if (IsCreateError(err))
            LogPrintf("Save macro: CreateFile err=%d", static_cast<int>(err));
        else
            LogPrintf("Save macro: WriteFile err=%d", static_cast<int>(err));
        return false;
    }
    return true;
}
