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

}  // namespace platform
