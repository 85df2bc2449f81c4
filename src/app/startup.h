// The portable steps of start-up and shutdown.
#pragma once
#include <cstdint>
#include <string>

// The Windows version code: 1 and 2 for the 9x family, 3 to 7 for NT 5.0 to 6.2 (and 7 for every
// later version), 0 otherwise.
int OsVersionCode(bool ntFamily, unsigned major, unsigned minor);

// szTitle from cfg.ini's Title, or the tc_title text when there is none (at most 39 characters).
void ApplyTitle();
// The launch lines of the log.
void LogLaunchLines();
// Logs the argument count; true when the program was started with arguments.
bool LogArguments(int nArgs);
// szAppDataDir from the local application-data folder and the appdir name; the folder is made
// when it is missing, with every missing folder above it (a fresh account may have no local
// application-data folder yet). A failure is logged and start-up goes on.
void PrepareAppDataDir();
// Makes `dir` and every missing folder above it; false with err (logged) on failure.
bool CreateDataFolder(const std::string& dir, uint32_t* err = nullptr);
// The first file the program cannot start without that is missing from its folder `appDir`
// (cfg.ini, the default texts, the main skin picture), as a full path; empty when all are there.
// A program started from inside a zip file finds none of them.
std::string MissingDataFile(const std::string& appDir);
// The one message that names the missing file and says what to do. It is English and fixed:
// the texts it would be translated with may be what is missing.
std::string MissingDataMessage(const std::string& missingFile);
// The mutex name that keeps a second instance from running.
constexpr const char* kSingleInstanceName = "MUTEX_QZ_WIRELESS";
// Tray-icon callback message and the mouse message that makes the running instance show.
constexpr unsigned kWmTrayNotify = 0x46C;
constexpr unsigned kWmLButtonUp = 0x202;
