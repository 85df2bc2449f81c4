#include "cli/cli_command.h"

#include <array>
#include <cstdio>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "app/startup.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "base/printable_text.h"
#include "cli/cli_args.h"
#include "cli/cli_sim.h"
#include "device/discovery.h"
#include "device/report_rate.h"
#include "device/reports.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/profile_cache.h"
#include "profile/profile_transfer.h"
#include "sim/sim_faults.h"
#include "sim/virtual_receiver.h"
#include "ui/device_session.h"
#include "ui/lighting_model.h"
#include "ui/page_change.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Work that takes more than a second says what it is doing while it runs, on a terminal only;
// the line is cleared when it ends, so scripts and logs see nothing of it.
class Progress {
  public:
    explicit Progress(const char* what) : m_on(IsTerminal(stderr)) {
        if (!m_on) return;
        std::fprintf(stderr, "%s...", what);
        std::fflush(stderr);
    }
    ~Progress() {
        if (m_on) std::fputs("\r\033[K", stderr);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

  private:
    bool m_on;
};

// On Linux a receiver the user may not open is not found at all: say so, and what lets the user
// at the seat open it. "" elsewhere or when every receiver can be opened.
std::string InaccessibleReceiverHint([[maybe_unused]] int32_t receiverVid) {
#ifdef __linux__
    for (int i = 0; i < 64; ++i) {
        const std::string node = "/dev/hidraw" + std::to_string(i);
        const std::string uevent =
            "/sys/class/hidraw/hidraw" + std::to_string(i) + "/device/uevent";
        std::vector<uint8_t> bytes;
        if (!platform::ReadFilePrefix(uevent, 4096, bytes)) continue;
        const std::string text(bytes.begin(), bytes.end());
        char vid[16];
        std::snprintf(vid, sizeof vid, ":%08X:", static_cast<unsigned>(receiverVid) & 0xFFFF);
        const size_t at = text.find("HID_ID=");
        if (at == std::string::npos || text.find(vid, at) == std::string::npos) continue;
        if (access(node.c_str(), R_OK | W_OK) != 0)
            return "a receiver is present but " + node +
                   " cannot be opened: install the udev rule 70-zorvan.rules (make install) and "
                   "plug the receiver in again";
    }
#endif
    return {};
}

// The catalogue's name of the mouse with this identity, with the identity.
std::string ModelName(const CatalogueState& catalogue, const std::string& cfgPath, uint32_t cid,
                      uint32_t mid) {
    char id[40];
    std::snprintf(id, sizeof id, "CID %02x, MID %02x", cid, mid);
    const SensorCfg* entry = FindSensorCfg(cid, mid);
    std::string name;
    for (int i = 0; entry && i < kDeviceSections; ++i)
        if (&catalogue.SensorCfgs[i] == entry) {
            name =
                IniFile::Load(cfgPath).GetString("DEV_" + std::to_string(i + 1), "Name", "", 200);
            if (name.empty()) name = "DEV_" + std::to_string(i + 1);
        }
    return name.empty() ? std::string("a mouse of no catalogue entry (") + id + ")"
                        : PrintableText(name) + " (" + id + ")";
}

}  // namespace

void ErrNotice(const Notice& n) {
    // A box's text is padded to look centred and its caption says "Error"; on a line of its own
    // on standard error neither means anything.
    const std::string line = Trimmed(n.text);
    const std::string head = Trimmed(n.caption);
    Err(head.empty() || head == gVar.szTitle || head == "Error" ? line : head + ": " + line);
}

// The folder of the shipped cfg.ini and texts: beside the program (the Windows zip), in
// ../share/zorvan (installed), or the repository's data folder (the build tree).
std::string ShippedDataDir() {
    const std::string exeDir = platform::DirectoryOf(platform::GetExecutablePath());
    for (const char* rel : {"", "../share/zorvan", "../../data"}) {
        const std::string dir = *rel ? platform::JoinPath(exeDir, rel) : exeDir;
        if (platform::FileExists(platform::JoinPath(dir, "cfg.ini"))) return dir;
    }
    return exeDir;
}

// A system administrator's catalogue: a mouse added without touching what the package installed.
// ZORVAN_SYSCONFDIR stands in for /etc/zorvan (tests, a staged install). "" when there is none.
std::string SystemCfgPath() {
#ifdef _WIN32
    return {};
#else
    std::string dir = platform::GetEnv("ZORVAN_SYSCONFDIR");
    if (dir.empty()) dir = "/etc/zorvan";
    const std::string path = platform::JoinPath(dir, "cfg.ini");
    return platform::FileExists(path) ? path : std::string();
#endif
}

// The virtual receiver and mouse in place of the real devices: the catalogue entry --model
// names, its memory kept in the state file.
bool App::StartVirtualMouse(const std::string& cfg, std::string* why) {
    sim::ReceiverConfig rc;
    rc.vid = static_cast<uint32_t>(m_options.VID) & 0xFFFF;
    if (m_options.PID[0]) rc.pid = m_options.PID[0];
    if (!sim::CatalogueMouse(cfg, m_opt.model, &rc.cid, &rc.mid, &rc.factory, why)) return false;
    rc.statePath = m_opt.simFile.empty() ? m_paths.szAppDataDir + "sim.bin" : m_opt.simFile;
    auto backend = std::make_shared<sim::VirtualBackend>();
    m_sim = backend->AddReceiver(rc);
    if (!m_sim->LoadState(why)) {
        *why = "the virtual mouse's state " + rc.statePath + " cannot be used: " + *why;
        return false;
    }
    // A state file keeps the mouse it was made for; going on would show that mouse under
    // the name asked for, or the other way round.
    const auto [cid, mid] = m_sim->MouseIdentity();
    if (!m_opt.model.empty() && (cid != rc.cid || mid != rc.mid)) {
        *why = "the virtual mouse in " + rc.statePath + " is " +
               ModelName(m_catalogue, cfg, cid, mid) + ", not " +
               ModelName(m_catalogue, cfg, rc.cid, rc.mid) + " as --model " + m_opt.model +
               " asks; give --sim=FILE with another file for it";
        return false;
    }
    if (!sim::ApplyFaultsFromEnvironment(*m_sim, why)) return false;
    platform::SetHidBackend(backend);
    return true;
}

int App::Prepare() {
    std::string cfg = m_opt.cfgPath;
    if (cfg.empty()) cfg = SystemCfgPath();
    if (cfg.empty()) cfg = platform::JoinPath(ShippedDataDir(), "cfg.ini");
    m_cfgPath = cfg;
    if (!platform::FileExists(cfg)) {
        Err("cannot find the configuration file " + cfg);
        return kExitUsage;
    }
    // The configuration is cfg.ini in the program folder; its folder stands in for that.
    if (platform::FileNameOf(cfg) != "cfg.ini") {
        Err("the configuration file must be named cfg.ini: " + cfg);
        return kExitUsage;
    }
    StartupPlan plan;
    plan.appDir = platform::DirectoryOf(cfg);
    // A cfg.ini of the user's own may stand alone: the program's shipped texts stand in.
    plan.fallbackTextsDir = ShippedDataDir();
    plan.textsRequired = true;
    plan.dataDir = m_opt.dataDir;
    plan.lockWaitMs = kBusyWaitMs;
    plan.lockRequired = true;
    plan.tell = ErrNotice;
    plan.afterCatalogue = [&](std::string*) {
        if (const std::vector<std::string> problems = ConfigurationProblems(); !problems.empty()) {
            for (const std::string& p : problems) Err(cfg + ": " + p);
            return false;
        }
        if (m_opt.verbose) {
            TheLogState().nDebug = 1;
            LogInit();
            SetLogDebugWriter(
                [](const std::string& s) { std::fprintf(stderr, "%s\n", s.c_str()); });
        }
        return true;
    };
    plan.virtualMouse = [&](std::string* why) { return !m_opt.sim || StartVirtualMouse(cfg, why); };
    StartupOutcome started = StartUp(plan);
    m_folderLock = std::move(started.folderLock);
    if (!started.dataFolderError.empty()) Err(started.dataFolderError);
    switch (started.stop) {
        case StartupStop::kNone:
            break;
        case StartupStop::kCatalogue:
            Err("the device catalogue of " + cfg + " cannot be used");
            return kExitUsage;
        case StartupStop::kHook:
            return kExitUsage;
        case StartupStop::kTexts:
        case StartupStop::kVirtualMouse:
            Err(started.why);
            return kExitUsage;
        case StartupStop::kLock:
            if (started.lock == platform::FolderLockResult::kBusy)
                Err("Zorvan is busy (another command or the window is using this data folder)");
            else
                Err("cannot lock the data folder: " +
                    platform::JoinPath(m_paths.szAppDataDir, platform::kFolderLockFile) +
                    " is not a plain file (a link or a pipe); remove it");
            return kExitFailed;
    }
    // Nothing can be saved there either; what fails to be saved is said where it fails.
    if (started.lock == platform::FolderLockResult::kNoLockFile)
        LogPrintf("no lock file in %s: error %u", m_paths.szAppDataDir.c_str(), started.lockErr);
    LoadCID();
    LoadMacroLibrary(m_macros);
    m_macroGeneration = m_macros.Generation();
    m_session.StartApply();
    m_failedBefore = GetApplyCounts().failed;
    return kExitDone;
}

int App::Discover() {
    // Without a receiver there is nothing to wait for.
    const bool receivers = m_session.FindDevices() > 0;
    m_slot = receivers ? m_session.WaitForDevice(kFindMs) : -1;
    if (m_slot < 0) {
        Err(GetText("tc_msg15").empty() ? "no receiver or mouse found" : GetText("tc_msg15"));
        if (!receivers && !m_opt.sim) {
            Err("no receiver is plugged in; zorvan --sim runs against a virtual mouse");
            const std::string hint = InaccessibleReceiverHint(m_options.VID);
            if (!hint.empty()) Err(hint);
        }
        return kExitNoDevice;
    }
    return kExitDone;
}

int App::Connect(bool readProfile) {
    if (int r = Discover()) return r;
    if (!readProfile) {
        TakeOverDevice(&m_session.Usb(), m_slot);
        return kExitDone;
    }
    return ReadProfile();
}

int App::ConnectForRecord() {
    if (int r = Discover()) return r;
    if (m_session.TakeOverWithoutRead(&m_recordCached)) {
        m_oneRecord = true;
        KeepBefore();
        return kExitDone;
    }
    return ReadProfile();
}

int App::ReadProfile() {
    const Progress progress("reading the mouse's settings");
    if (!m_session.OnFindDeviceOK()) return kExitNoDevice;
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        Err("the mouse's settings could not be read" + DamageHint());
        return kExitFailed;
    }
    m_profileRead = true;
    KeepBefore();
    return kExitDone;
}

std::string App::DamageHint() {
    // The one byte a reading refuses outright: a report rate no mouse of this kind uses. The
    // factory reset is sent without reading, so it is the way back.
    uint8_t b[2] = {};
    if (!m_session.Usb().CmdHandle() || !m_session.Usb().ReadEEPROM(eeprom::kRate, b, 2) ||
        RateOfInterval(b[0]))
        return {};
    char text[200];
    std::snprintf(text, sizeof text,
                  ": its memory holds an unknown report rate at 0x%02X (0x%02X); \"zorvan reset\" "
                  "restores the factory settings",
                  eeprom::kRate, b[0]);
    return text;
}

void App::KeepBefore() {
    m_profile.Read([this](const ProfileState& s) {
        if (!s.pFile) return;
        m_before = *s.pFile;
        m_beforeLevel = s.g_nCurDpiLevel;
        m_beforeNumber = static_cast<int>(s.pFile - s.ProfileList.data()) + 1;
    });
}

int App::WaitWrites() {
    const Progress progress("writing to the mouse");
    if (!WaitApplyDone(kApplyMs)) {
        Err("writing to the mouse did not finish");
        return kExitFailed;
    }
    return GetApplyCounts().failed != m_failedBefore ? kExitFailed : kExitDone;
}

// A lighting record holds mode, brightness, speed and colour together, and the command may give
// only some of them: the rest is what the mouse shows now, not what the cache last saw.
bool App::RefreshLighting(uint32_t zone) {
    const uint32_t addr = zone == kLightDataMain   ? eeprom::kMainLight
                          : zone == kLightDataLogo ? eeprom::kLogo
                                                   : eeprom::kDpiLight;
    const int len = zone == kLightDataMain ? 7 : zone == kLightDataLogo ? 10 : 6;
    uint8_t b[10] = {};
    if (!m_session.Usb().ReadEEPROM(addr, b, len)) {
        Err("the mouse's lighting could not be read");
        return false;
    }
    return m_profile.EditCurrent([&](ProfileFile& f, int32_t&) {
        if (zone == kLightDataMain)
            EEPROM_To_MainRGB(b, f.mainLight);
        else if (zone == kLightDataLogo)
            EEPROM_To_LogoRGB(b, f.logoLight);
        else
            EEPROM_To_DpiLight(b, f);
    });
}

void App::DropCache() {
    // A cached copy that may hold settings the mouse does not hold would be written back by
    // the next one-record change; without it the next command reads the mouse.
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (!cfg) return;
    const std::string cache = ProfileCachePath(*cfg);
    uint32_t err = 0;
    if (platform::FileExists(cache) && !platform::RemoveFile(cache, &err))
        Err("cannot remove " + cache + ": " + platform::ErrorText(err));
}

int App::ReadBackAfterFailure() {
    m_readBack = true;
    if (!m_catalogue.pSensorCfg) return kExitFailed;
    const std::optional<ProfileFile> intended = m_profile.CopyCurrent();
    if (!intended) return kExitFailed;
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        DropCache();
        Err("the mouse could not be read back: what it holds now is not known, so its settings "
            "will be read from it again next time");
        return kExitFailed;
    }
    // The read saved what the mouse holds; it may be the change after all, only unconfirmed.
    m_profileRead = true;
    const std::optional<ProfileFile> read = m_profile.CopyCurrent();
    if (!read) return kExitFailed;
    // The change landed when every byte it changed reads back as meant; the bytes it did not
    // touch may differ from a cached record without that saying anything.
    bool landed = m_before.has_value();
    std::array<uint8_t, kProfileFileSize> b{}, i{}, r{};
    if (m_before) ProfileToBytes(*m_before, b);
    ProfileToBytes(*intended, i);
    ProfileToBytes(*read, r);
    for (size_t k = 0; k < kProfileFileSize && landed; ++k)
        if (b[k] != i[k] && r[k] != i[k]) landed = false;
    if (landed) {
        Err("read back from the mouse: it holds the change all the same");
        return kExitDone;
    }
    Err("read back from the mouse: it did not take the whole change; the settings it holds "
        "now are the ones kept");
    return kExitFailed;
}

int App::CurrentProfileNumber() {
    return m_profile.Read([](const ProfileState& s) {
        return s.pFile ? static_cast<int>(s.pFile - s.ProfileList.data()) + 1 : 0;
    });
}

int App::Finish(int code) {
    int writes = WaitWrites();
    // A write that failed leaves the mouse in doubt (refused, half done, or done without a
    // word back): the mouse is read again before anything is said or cached.
    if (writes != kExitDone && !m_readBack && (m_profileRead || m_oneRecord)) {
        m_profileRead = false;
        writes = ReadBackAfterFailure();
    }
    if (code == kExitDone) code = writes;
    // Only a profile read from the mouse goes into the cache, or a cached record with the one
    // record the mouse took; a raw memory command leaves the cache as it was.
    if (m_profileRead || (m_oneRecord && m_recordCached && code == kExitDone)) m_session.OnExit();
    // mac.dct only follows a library that changed; a read-only command writes nothing.
    if (m_macros.Generation() != m_macroGeneration) SaveMacroDict(m_macros);
    // The change itself may have been made: that is said too, so that nobody makes it again.
    const bool made = code == kExitDone && !m_stored.empty();
    for (const platform::SaveFailure& f : platform::TakeSaveFailures()) {
        const std::string why = platform::PathErrorText(f.path, f.err);
        Err(made ? "done (" + PrintableText(m_stored) + "), but " + f.path +
                       " could not be saved: " + why
                 : "cannot save " + f.path + ": " + why);
        code = kExitFailed;
    }
    if (made && code == kExitDone && !m_opt.quiet)
        std::fputs(m_opt.json ? StoredJson().c_str() : (m_stored + "\n").c_str(), stdout);
    return code;
}

int App::Change(const Edit& edit, const Describe& said, const std::string& unchanged) {
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    const PageChange c = EditCurrentProfile(
        m_profile,
        [&](ProfileFile& p, int32_t& cur) {
            PageChange r = edit(p, cur);
            if (r.Changed()) m_stored = said(p, cur);
            return r;
        },
        true);
    if (c.Changed()) return kExitDone;
    Err(c.refusal ? *c.refusal : unchanged);
    return kExitFailed;
}

int App::Run() {
    const Words& w = m_opt.words;
    // The words that name the verb were checked before the program started.
    std::string why, near;
    const VerbSpec* verb = FindVerb(*FindCommand(w[0]), w, &why, &near);
    ReadInputFirst();
    if (int r = Prepare()) return r;
    return Finish((this->*verb->run)(w));
}

}  // namespace cli
