// What the fuzz targets that load the program's data share: the repository's data folder, a
// work folder kept in memory where the system has one, and the start of the program's
// configuration without message boxes or a log.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/config.h"
#include "app/gvar.h"
#include "base/log.h"
#include "macro/macro_id.h"
#include "platform/fs.h"
#include "platform/window.h"

namespace zvfuzz {

// The repository's data folder. The build names the repository (ZV_REPO_DIR): the compiler's
// name for this file is relative to the build folder, and a target runs from anywhere.
inline std::string RepoData() {
    return platform::JoinPath(ZV_REPO_DIR, "data") + platform::PathSeparator();
}

// A folder of this process for the target's files, on a memory file system when there is one,
// so that a run costs no disk. It goes when the process ends normally (the end of a timed run);
// memory file systems keep what is left in them until the machine restarts.
inline std::string WorkFolder(const std::string& name) {
    const std::string base = platform::DirectoryExists("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string d = base + "/" + name + std::to_string(::getpid()) + "/";
    platform::MakeDirectory(d);
    static std::vector<std::string> made;
    if (made.empty())
        std::atexit([] {
            std::error_code ignored;
            for (const std::string& folder : made) std::filesystem::remove_all(folder, ignored);
        });
    made.push_back(d);
    return d;
}

// Macro and profile ids without the clock: a new id waits 20 ms for the clock to move, and a
// target that makes one for every added macro or refused profile gets a few inputs a second.
// 24 bits, never 0, never repeated before the counter wraps.
inline MacroId CountedMacroId() {
    static MacroId next = 0;
    next = (next % 0xFFFFFF) + 1;
    return next;
}

// The shipped configuration, quietly: message boxes answered at once, no log.
inline void StartQuietly(bool configuration) {
    platform::SetMessageBoxHook([](const std::string&, const std::string&, uint32_t) { return 1; });
    if (configuration) {
        gVar.szAppDir = RepoData();
        LoadConfiguration();
    }
    gVar.nDebug = 0;
    LogInit();
}

}  // namespace zvfuzz
