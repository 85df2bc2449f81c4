#include "app/startup.h"

#include "app/config.h"
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

StartupOutcome StartUp(const StartupPlan& plan) {
    StartupOutcome out;
    auto stop = [&out](StartupStop why) {
        out.stop = why;
        return std::move(out);
    };
    gVar.szAppDir = plan.appDir;
    if (!gVar.szAppDir.empty() && gVar.szAppDir.back() != platform::PathSeparator())
        gVar.szAppDir += platform::PathSeparator();
    if (!LoadConfiguration(plan.tell)) return stop(StartupStop::kCatalogue);
    if (plan.afterCatalogue && !plan.afterCatalogue(&out.why)) return stop(StartupStop::kHook);
    // No caption or profile name may be made of an empty text: the shipped texts stand in for a
    // text.xml that is missing beside the catalogue.
    if (!LoadDefaultTexts(gVar.szAppDir) || GetText("tc_msg35").empty()) {
        const bool shipped = !plan.fallbackTextsDir.empty() &&
                             LoadDefaultTexts(plan.fallbackTextsDir) &&
                             !GetText("tc_msg35").empty();
        if (shipped) {
            LogPrintf("texts of %s used", plan.fallbackTextsDir.c_str());
        } else if (plan.textsRequired) {
            out.why = "the program's texts cannot be read: " +
                      platform::JoinPath(gVar.szAppDir, "text.xml") +
                      (plan.fallbackTextsDir.empty()
                           ? std::string()
                           : " and " + platform::JoinPath(plan.fallbackTextsDir, "text.xml"));
            return stop(StartupStop::kTexts);
        }
    }
    ApplyTitle();
    if (plan.afterTitle) plan.afterTitle();
    if (!plan.dataDir.empty()) {
        gVar.szAppDataDir = plan.dataDir;
        if (gVar.szAppDataDir.back() != platform::PathSeparator())
            gVar.szAppDataDir += platform::PathSeparator();
        uint32_t err = 0;
        if (!CreateDataFolder(gVar.szAppDataDir, &err))
            out.dataFolderError = "cannot create the data folder " + gVar.szAppDataDir + ": " +
                                  platform::PathErrorText(gVar.szAppDataDir, err);
    } else {
        PrepareAppDataDir();
    }
    if (plan.beforeLock && !plan.beforeLock(&out.why)) return stop(StartupStop::kHook);
    // One writer at a time: the cache and the macro library are read, changed and saved whole,
    // so two programs on one folder would lose a change.
    out.lock =
        platform::LockFolder(gVar.szAppDataDir, plan.lockWaitMs, &out.folderLock, &out.lockErr);
    if (plan.lockRequired && (out.lock == platform::FolderLockResult::kBusy ||
                              out.lock == platform::FolderLockResult::kNotAFile))
        return stop(StartupStop::kLock);
    if (plan.virtualMouse && !plan.virtualMouse(&out.why)) return stop(StartupStop::kVirtualMouse);
    return out;
}
