#include "base/log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/sys.h"

namespace {

constexpr uint64_t kLogLimit = 512000;  // a larger log is started again empty
constexpr size_t kLineChars = 512;      // the debugger and hex-dump line buffers

std::mutex g_writerMu;
std::function<void(const std::string&)> g_writer;
// One record written at a time: an append from two threads at once can land both records at
// the same end of the file, one over the other (seen under Wine), and a lost line is a lost
// clue.
std::mutex g_fileMu;

void WriteDebug(const std::string& text) {
    std::function<void(const std::string&)> w;
    {
        std::lock_guard<std::mutex> lock(g_writerMu);
        w = g_writer;
    }
    if (w)
        w(text);
    else
        platform::DebugOutput(text);
}

std::string Format(const char* fmt, va_list ap) {
    char small[512];
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(big.data(), big.size(), fmt, ap);
    big.resize(static_cast<size_t>(n));
    return big;
}

bool LevelIsFile() {
    return static_cast<uint32_t>(TheLogState().nDebug) >= 2;
}

void DebuggerV(const char* fmt, va_list ap) {
    if (TheLogState().nDebug == 0) return;
    WriteDebug(platform::CutToUtf16Units("BY: " + Format(fmt, ap), kLineChars - 1));
}

void FileV(const char* fmt, va_list ap) {
    if (TheLogState().nDebug == 0) return;
    platform::LocalTime t = platform::GetLocalTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "\r%02u:%02u.%03u   ", t.minute % 100, t.second % 100,
                  t.millisecond % 1000);
    std::string msg = Format(fmt, ap);
    // The record is written as a text-mode stream would: a line feed of the message becomes
    // CR LF, on every platform alike.
    std::string record = stamp;
    record.reserve(record.size() + msg.size() + 8);
    for (char c : msg) {
        if (c == '\n') record += '\r';
        record += c;
    }
    bool written;
    {
        std::lock_guard<std::mutex> lock(g_fileMu);
        written = platform::AppendToFile(TheLogState().szLogPath, record.data(), record.size());
    }
    if (!written) WriteDebug("Open Log failed");
}

}  // namespace

void SetLogDebugWriter(std::function<void(const std::string&)> writer) {
    std::lock_guard<std::mutex> lock(g_writerMu);
    g_writer = std::move(writer);
}

void LogToDebugger(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    DebuggerV(fmt, ap);
    va_end(ap);
}

void LogToFile(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    FileV(fmt, ap);
    va_end(ap);
}

void LogPrintf(const char* fmt, ...) {
    if (TheLogState().nDebug == 0) return;
    va_list ap;
    va_start(ap, fmt);
    if (TheLogState().LogPrintf == &LogToFile)
        FileV(fmt, ap);
    else
        DebuggerV(fmt, ap);
    va_end(ap);
}

void LogInit() {
    std::string desktop = platform::GetSpecialFolder(platform::SpecialFolder::Desktop);
    TheLogState().szLogPath = platform::JoinPath(desktop, "Log.txt");
    TheLogState().LogPrintf = &LogToDebugger;
    if (!LevelIsFile()) return;
    uint32_t err = 0;
    // Opening for append creates the file; a file past the limit starts again empty.
    if (desktop.empty() || !platform::AppendToFile(TheLogState().szLogPath, "", 0, &err)) {
        LogToDebugger("Open Log failed");
        return;
    }
    uint64_t size = 0;
    if (platform::GetFileSize(TheLogState().szLogPath, size) && size > kLogLimit)
        platform::TruncateFile(TheLogState().szLogPath);
    TheLogState().LogPrintf = &LogToFile;
}

void LogHexDump(const void* buf, size_t len, size_t perLine, const char* label) {
    if (TheLogState().nDebug == 0 || buf == nullptr || len == 0) return;
    const auto* p = static_cast<const uint8_t*>(buf);
    const size_t room = kLineChars - 1;  // the line buffer keeps its terminator
    std::string line;
    auto send = [&] {
        LogPrintf("%s", line.c_str());
        line.clear();
    };
    if (label) line = perLine == 0 ? std::string(label) + " " : "\n" + std::string(label) + " ";
    if (line.size() > room) line.resize(room);
    size_t inLine = 0;
    for (size_t i = 0; i < len; ++i) {
        if (line.size() + 3 > room) send();  // the buffer cannot take another entry
        char entry[4];
        std::snprintf(entry, sizeof entry, "%02x ", p[i]);
        line += entry;
        if (perLine > 0 && ++inLine == perLine) {
            send();
            inLine = 0;
            if (label) line = std::string(label) + " ";
        }
    }
    send();
}
