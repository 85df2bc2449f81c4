// The diagnostic log: one printf-style sink for the whole program, off by default.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#if defined(__clang__)
#define ZV_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#elif defined(__GNUC__)
#define ZV_PRINTF(fmtIndex, firstArg) __attribute__((format(gnu_printf, fmtIndex, firstArg)))
#else
#define ZV_PRINTF(fmtIndex, firstArg)
#endif

using LogSink = void (*)(const char* fmt, ...);

// State of the log, kept by the application (TheLogState).
struct LogState {
    int32_t nDebug = 0;           // level from cfg.ini: 0 off, 1 debugger, 2 or more Log.txt
    std::string szLogPath;        // full path of Log.txt
    LogSink LogPrintf = nullptr;  // current sink: LogToDebugger or LogToFile
};

// The log's state record; the application keeps it with the rest of its state.
LogState& TheLogState();

// Chooses the sink from the level (nDebug); called right after the level is read.
void LogInit();
// Sends one message to the current sink. Never fails a caller.
void LogPrintf(const char* fmt, ...) ZV_PRINTF(1, 2);
void LogToDebugger(const char* fmt, ...) ZV_PRINTF(1, 2);
void LogToFile(const char* fmt, ...) ZV_PRINTF(1, 2);
// Writes bytes as "%02x " entries; perLine 0 makes one long line. The label goes out as text,
// never as a format.
void LogHexDump(const void* buf, size_t len, size_t perLine = 0, const char* label = nullptr);

// Where debugger output goes (the platform's debugger output by default); tests capture it.
void SetLogDebugWriter(std::function<void(const std::string&)> writer);
