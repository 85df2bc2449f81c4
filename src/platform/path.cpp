#include <algorithm>
#include <functional>
#include <string>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "platform/fs.h"

namespace platform {

static bool IsSep(char c) {
    return c == '/' || c == '\\';
}

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (IsSep(a.back())) return a + b;
    return a + PathSeparator() + b;
}

std::string DirectoryOf(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSep(path[i - 1])) return path.substr(0, i);
    return {};
}

std::string FileNameOf(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSep(path[i - 1])) return path.substr(i);
    return path;
}

namespace {
std::mutex g_saveMutex;
std::vector<SaveFailure> g_saveFailures;
std::function<void()> g_saveListener;
}  // namespace

void NoteSaveResult(const std::string& path, bool ok, uint32_t err) {
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> lock(g_saveMutex);
        std::erase_if(g_saveFailures, [&](const SaveFailure& f) { return f.path == path; });
        if (!ok) {
            g_saveFailures.push_back({path, err});
            listener = g_saveListener;
        }
    }
    if (listener) listener();
}

void SetSaveFailureListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> lock(g_saveMutex);
    g_saveListener = std::move(listener);
}

std::vector<SaveFailure> TakeSaveFailures() {
    std::lock_guard<std::mutex> lock(g_saveMutex);
    return std::exchange(g_saveFailures, {});
}

std::string ErrorText(uint32_t err) {
    switch (err) {
        case kErrSuccess:
            return "no error";
        case kErrFileNotFound:
            return "the file does not exist";
        case kErrPathNotFound:
            return "the folder does not exist";
        case kErrAccessDenied:
            return "access denied";
        case kErrNotEnoughMemory:
            return "not enough memory";
        case kErrWriteFault:
        case kErrReadFault:
            return "input/output error";
        case kErrSharingViolation:
            return "the file is in use";
        case kErrFileExists:
        case kErrAlreadyExists:
            return "the file exists already";
        case kErrDiskFull:
            return "the disk is full";
        case kErrInvalidName:
            return "the name is not valid";
        case kErrFilenameTooLong:
            return "the name is too long";
        case kErrBadFileType:
            return "it is not a plain file";
        default:
            return "error " + std::to_string(err);
    }
}

std::string PathErrorText(const std::string& path, uint32_t err) {
    // The error numbers alone mislead here: a folder where a file was meant reads as "access
    // denied", and a file standing where a folder of the path belongs as "the folder does not
    // exist" although something is there.
    if (err == kErrSuccess) return ErrorText(err);
    if (DirectoryExists(path)) return "it is a folder, not a file";
    if (err == kErrPathNotFound || err == kErrFileNotFound) {
        std::string dir = DirectoryOf(path);
        while (!dir.empty()) {
            while (dir.size() > 1 && IsSep(dir.back())) dir.pop_back();
            if (DirectoryExists(dir)) break;
            if (FileExists(dir)) return dir + " is a file, not a folder";
            const std::string up = DirectoryOf(dir);
            if (up == dir || up.empty()) break;
            dir = up;
        }
    }
    return ErrorText(err);
}

std::string MakeTempFileName(const std::string& path) {
    // A name nobody can guess keeps another local user from planting a file or link there
    // before we create it; the exclusive create is what actually refuses one.
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    std::string out = path + kTempFileMark;
    for (size_t i = 0; i < kTempFileLetters; ++i)
        out.push_back(kLetters[rd() % (sizeof kLetters - 1)]);
    return out;
}

bool IsTempFileName(const std::string& name) {
    // Ours end in the mark and exactly the random letters MakeTempFileName adds: a name that
    // merely holds the mark (a macro called "a.zvtmp" has the file "a.zvtmp.qzm") is not one.
    if (const size_t at = name.rfind(kTempFileMark); at != std::string::npos) {
        const std::string rest = name.substr(at + std::char_traits<char>::length(kTempFileMark));
        if (rest.size() == kTempFileLetters && std::all_of(rest.begin(), rest.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
            }))
            return true;
    }
    // Older versions: "<name>.tmp<digits>_<digits>".
    const size_t at = name.rfind(".tmp");
    if (at == std::string::npos) return false;
    const std::string rest = name.substr(at + 4);
    const size_t us = rest.find('_');
    if (us == 0 || us == std::string::npos || us + 1 == rest.size()) return false;
    for (size_t i = 0; i < rest.size(); ++i)
        if (i != us && (rest[i] < '0' || rest[i] > '9')) return false;
    return true;
}

int RemoveStaleTempFiles(const std::string& folder) {
    std::vector<DirEntry> entries;
    if (!ListDirectory(folder, entries)) return 0;
    int removed = 0;
    for (const DirEntry& e : entries)
        if (!e.isDirectory && IsTempFileName(e.name) && RemoveFile(JoinPath(folder, e.name)))
            ++removed;
    return removed;
}

}  // namespace platform
