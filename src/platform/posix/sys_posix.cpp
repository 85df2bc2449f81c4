#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/fs.h"
#include "platform/sys.h"

namespace platform {

uint32_t GetTickCount() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

LocalTime GetLocalTime() {
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    struct tm lt;
    localtime_r(&t, &lt);
    return LocalTime{static_cast<unsigned>(lt.tm_year + 1900), static_cast<unsigned>(lt.tm_mon + 1),
                     static_cast<unsigned>(lt.tm_mday),        static_cast<unsigned>(lt.tm_hour),
                     static_cast<unsigned>(lt.tm_min),         static_cast<unsigned>(lt.tm_sec),
                     static_cast<unsigned>(tv.tv_usec / 1000)};
}

void Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string GetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string GetSpecialFolder(SpecialFolder which) {
    std::string home = GetEnv("HOME");
    if (which == SpecialFolder::Desktop) {
        std::string d = GetEnv("XDG_DESKTOP_DIR");
        if (!d.empty()) return d;
        return home.empty() ? std::string() : home + "/Desktop";
    }
    std::string d = GetEnv("XDG_DATA_HOME");
    if (!d.empty()) return d;
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string GetExecutablePath() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

void DebugOutput(const std::string& text) {
    std::string line = text;
    if (line.empty() || line.back() != '\n') line += '\n';
    ::fwrite(line.data(), 1, line.size(), stderr);
}

uint32_t GetCurrentThreadId() {
    return static_cast<uint32_t>(::syscall(SYS_gettid));
}

namespace {
class FlockInstance : public SingleInstance {
  public:
    explicit FlockInstance(const std::string& name) {
        std::string dir = GetEnv("XDG_RUNTIME_DIR");
        if (dir.empty()) dir = "/tmp";
        std::string path = dir + "/" + name + "." + std::to_string(::getuid()) + ".lock";
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) m_existed = true;
    }
    ~FlockInstance() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool AlreadyExisted() const override { return m_existed; }

  private:
    int m_fd = -1;
    bool m_existed = false;
};
}  // namespace

std::unique_ptr<SingleInstance> CreateSingleInstance(const std::string& name) {
    return std::make_unique<FlockInstance>(name);
}

}  // namespace platform
