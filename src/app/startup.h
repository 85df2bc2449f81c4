// The portable steps of start-up and shutdown.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/notice.h"
#include "platform/folder_lock.h"

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

// The start-up the window and the command line share, in this order: the catalogue (cfg.ini in
// `appDir`), the texts, the title, the data folder, its writer lock, the virtual mouse. Each
// program gives what differs between them and decides what a failure means to it; a hook that
// returns false stops start-up there, with its reason in `why`.
struct StartupPlan {
    std::string appDir;  // the folder of cfg.ini and text.xml
    // The shipped texts, for a cfg.ini of the user's own that stands alone; "" for none.
    std::string fallbackTextsDir;
    bool textsRequired = false;  // no usable texts stops start-up
    std::string dataDir;         // "" for the per-user data folder
    uint32_t lockWaitMs = 0;
    // A lock held by another or a lock file that is no plain file stops start-up; without it
    // the program goes on unlocked (the caller says so).
    bool lockRequired = false;
    // Hears what is wrong in cfg.ini, each as it is found while the catalogue loads.
    NoticeSink tell;
    std::function<bool(std::string* why)> afterCatalogue;  // the catalogue is loaded
    std::function<void()> afterTitle;                      // the title is known
    std::function<bool(std::string* why)> beforeLock;      // the data folder is known
    // Puts the virtual receiver in place of the real devices when the program is asked for one.
    std::function<bool(std::string* why)> virtualMouse;
};

enum class StartupStop { kNone, kCatalogue, kHook, kTexts, kLock, kVirtualMouse };

struct StartupOutcome {
    StartupStop stop = StartupStop::kNone;
    std::string why;
    std::string dataFolderError;  // a given data folder that could not be made, said; not a stop
    platform::FolderLockResult lock = platform::FolderLockResult::kNoLockFile;
    uint32_t lockErr = 0;
    std::unique_ptr<platform::FolderLock> folderLock;  // held while the program runs
};

StartupOutcome StartUp(const StartupPlan& plan);
