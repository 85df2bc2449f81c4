#include "app/startup.h"

#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "base/version.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/sys.h"

int OsVersionCode(bool ntFamily, unsigned major, unsigned minor) {
    if (!ntFamily) {
        if (major == 4) return minor < 90 ? 1 : 2;
        return 0;
    }
    if (major == 5) return minor == 0 ? 3 : 4;
    if (major == 6 && minor <= 2) return 5 + static_cast<int>(minor);
    // The manifest declares the later versions, so Windows 8.1 and 10 report their own numbers
    // instead of 6.2; they keep the code of 6.2 that the tray record and DPI awareness rely on.
    if (major > 6 || (major == 6 && minor > 2)) return 7;
    return 0;
}

void ApplyTitle() {
    gVar.szTitle = gVar.Title;
    if (gVar.szTitle.empty()) gVar.szTitle = platform::CutToUtf16Units(GetText("tc_title"), 39);
}

void LogLaunchLines() {
    platform::LocalTime t = platform::GetLocalTime();
    LogPrintf("--------------------------------------------------");
    LogPrintf("Launch %04d-%d-%d %d:%d, v%s AppTitle=%s", t.year, t.month, t.day, t.hour, t.minute,
              kProgramVersion, gVar.szTitle.c_str());
}

bool LogArguments(int nArgs) {
    LogPrintf("nArgs=%d", nArgs);
    return nArgs > 1;
}

bool CreateDataFolder(const std::string& path, uint32_t* errOut) {
    std::string dir = path;
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    uint32_t err = 0;
    bool ok = true;
    if (!platform::DirectoryExists(dir)) {
        // Each level from the top down; one that exists (or appears meanwhile) is fine.
        for (size_t i = 1; ok && i <= dir.size(); ++i) {
            if (i < dir.size() && dir[i] != '/' && dir[i] != '\\') continue;
            const std::string part = dir.substr(0, i);
            if (part.back() == ':' || platform::DirectoryExists(part)) continue;
            ok = platform::MakeDirectory(part, &err) || err == platform::kErrAlreadyExists;
        }
        if (!ok) LogPrintf("CreateDirectory err=%d", static_cast<int>(err));
    }
    if (errOut) *errOut = ok ? 0 : err;
    return ok;
}

void PrepareAppDataDir() {
    std::string base = platform::GetSpecialFolder(platform::SpecialFolder::LocalAppData);
    gVar.szAppDataDir = platform::JoinPath(platform::JoinPath(base, gVar.appdir), "");
    if (gVar.szAppDataDir.size() > 259) gVar.szAppDataDir.resize(259);
    LogPrintf("Mk AppData=%s", gVar.szAppDataDir.c_str());
    CreateDataFolder(gVar.szAppDataDir);
}

std::string MissingDataFile(const std::string& appDir) {
    const std::string needed[] = {
        platform::JoinPath(appDir, "cfg.ini"),
        platform::JoinPath(appDir, "text.xml"),
        platform::JoinPath(platform::JoinPath(appDir, "skins"), "key_nr.png"),
    };
    for (const std::string& f : needed)
        if (!platform::FileExists(f)) return f;
    return {};
}

std::string MissingDataMessage(const std::string& missingFile) {
    return "Zorvan cannot start: this file is missing:\n\n" + missingFile +
           "\n\nZorvan needs the files that come with it in its own folder. If you started it "
           "from inside a zip file, extract the whole folder first, then start Zorvan.exe from "
           "the extracted folder.";
}
