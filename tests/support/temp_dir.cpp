#include "support/temp_dir.h"

#include <atomic>
#include <cstdlib>
#include <random>

#include "platform/sys.h"

namespace zvtest {

TempDir::TempDir() {
    std::string base = platform::GetEnv("TMPDIR");
    if (base.empty()) base = platform::GetEnv("TEMP");
    if (base.empty()) base = "/tmp";
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string p = platform::JoinPath(
            base, "zvtest_" + std::to_string(rd()) + "_" + std::to_string(counter.fetch_add(1)));
        if (platform::MakeDirectory(p)) {
            m_path = p + platform::PathSeparator();
            return;
        }
    }
    std::abort();
}

TempDir::~TempDir() {
    RemoveTree(m_path);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    if (!platform::WriteFileAtomic(m_path + name, bytes.data(), bytes.size())) std::abort();
}

std::string TempDir::Read(const std::string& name) const {
    std::vector<uint8_t> data;
    if (!platform::ReadFile(m_path + name, data)) return {};
    return std::string(data.begin(), data.end());
}

void RemoveTree(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    if (platform::FileExists(p)) {
        platform::SetReadOnly(p, false);
        platform::RemoveFile(p);
        return;
    }
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(p, entries)) return;
    for (auto& e : entries) RemoveTree(platform::JoinPath(p, e.name));
    platform::RemoveEmptyDirectory(p);
}

std::string SourceDir() {
    std::string s = platform::GetEnv("ZV_SOURCE_DIR");
    if (!s.empty()) {
#ifdef _WIN32
        // Under Wine the Unix path of the source folder is reached through drive Z:.
        if (s[0] == '/') {
            s = "Z:" + s;
            for (char& c : s)
                if (c == '/') c = '\\';
        }
#endif
        return s;
    }
    return ".";
}

}  // namespace zvtest
