#include "cli/cli_app.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "base/printable_text.h"
#include "base/version.h"
#include "app/startup.h"
#include "cli/cli_args.h"
#include "cli/cli_macro_text.h"
#include "cli/cli_profile_links.h"
#include "device/discovery.h"
#include "device/report_rate.h"
#include "device/reports.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_editor.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "profile/orphan_macros.h"
#include "macro/safe_file_name.h"
#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/eeprom_writer.h"
#include "profile/key_function.h"
#include "profile/profile_cache.h"
#include "profile/profile_transfer.h"
#include "profile/sensor_table.h"
#include "sim/sim_faults.h"
#include "sim/virtual_receiver.h"
#include "cli/cli_sim.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/device_session.h"
#include "ui/fire_dlg_model.h"
#include "ui/import_limits.h"
#include "ui/lighting_model.h"
#include "ui/page_change.h"
#include "ui/performance_model.h"
#include "ui/profiles_model.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

constexpr const char* kShortUsage =
    "usage: zorvan [options] <command> [arguments]; \"zorvan help\" lists them\n";

constexpr uint32_t kFindMs = 4000;      // discovery until a mouse is accepted
constexpr uint32_t kReadMs = 60000;     // one profile read, with room for a slow link
constexpr uint32_t kApplyMs = 120000;   // everything placed with the apply thread
constexpr uint32_t kBusyWaitMs = 3000;  // for another command on the same data folder

using Words = std::vector<std::string>;

struct UsageError {
    UsageError(std::string w, std::string n = {}) : why(std::move(w)), near(std::move(n)) {}
    std::string why;
    std::string near;  // a word the user may have meant
};

// An unknown word among `choices`: the reason, with the nearest choice when one is close.
UsageError Unknown(const std::string& what, const std::string& word,
                   const std::vector<std::string>& choices) {
    return {"unknown " + what + " \"" + word + "\"", NearestWord(word, choices)};
}

// Lines carry names and texts from files and from the mouse: their control characters are
// shown, never obeyed.
void Err(const std::string& line) {
    std::fprintf(stderr, "zorvan: %s\n", PrintableText(line, true).c_str());
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A file the command is to read: the reason it cannot be, in the user's words; "" when it can.
std::string UnreadableFile(const std::string& path) {
    uint64_t size = 0;
    uint32_t err = 0;
    if (platform::GetFileSize(path, size, &err)) return {};
    return platform::PathErrorText(path, err);
}

bool IsTerminal(FILE* f) {
#ifdef _WIN32
    return _isatty(_fileno(f)) != 0;
#else
    return isatty(fileno(f)) != 0;
#endif
}
bool StdinIsTerminal() {
    return IsTerminal(stdin);
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

// The session's messages are lines on standard error. A question is asked only of a person at a
// terminal; in a script the command itself is the user's yes.
class CliUi : public SessionUi {
  public:
    explicit CliUi(bool yes) : m_yes(yes) {}
    void ShowText(const std::string& text) override { Err(text); }
    bool Confirm(const std::string& text) override {
        if (m_yes || !StdinIsTerminal()) return true;
        std::fprintf(stderr, "%s [y/N] ", text.c_str());
        std::fflush(stderr);
        char line[16] = {};
        const bool yes = std::fgets(line, sizeof line, stdin) && (line[0] == 'y' || line[0] == 'Y');
        if (!yes) m_declined = true;
        return yes;
    }
    bool ShowsProgress() const override { return false; }
    // The person at the terminal answered no.
    bool Declined() const { return m_declined; }

  private:
    bool m_yes;
    bool m_declined = false;
};

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int64_t Number(const Words& w, size_t i, int64_t lo, int64_t hi, const char* what) {
    if (i >= w.size()) throw UsageError{std::string("missing ") + what};
    auto v = ParseNumber(w[i], lo, hi);
    if (!v)
        throw UsageError{std::string(what) + " must be a number from " + std::to_string(lo) +
                         " to " + std::to_string(hi) + ": " + w[i]};
    return *v;
}

const std::string& Word(const Words& w, size_t i, const char* what) {
    if (i >= w.size()) throw UsageError{std::string("missing ") + what};
    return w[i];
}

void NoMoreWords(const Words& w, size_t n) {
    if (w.size() > n) throw UsageError{"unexpected \"" + w[n] + "\""};
}

int32_t OnOff(const Words& w, size_t i, const char* what) {
    auto v = ParseOnOff(Word(w, i, what));
    if (!v) {
        const std::string near = NearestWord(w[i], {"on", "off"});
        throw UsageError{std::string(what) + " must be on or off: " + w[i], near};
    }
    return *v;
}

uint32_t SensorId() {
    return gVar.pSensorCfg ? static_cast<uint32_t>(gVar.pSensorCfg->Sensor) : 0;
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

// On Linux a receiver the user may not open is not found at all: say so, and what lets the user
// at the seat open it. "" elsewhere or when every receiver can be opened.
std::string InaccessibleReceiverHint() {
#ifdef __linux__
    for (int i = 0; i < 64; ++i) {
        const std::string node = "/dev/hidraw" + std::to_string(i);
        const std::string uevent =
            "/sys/class/hidraw/hidraw" + std::to_string(i) + "/device/uevent";
        std::vector<uint8_t> bytes;
        if (!platform::ReadFilePrefix(uevent, 4096, bytes)) continue;
        const std::string text(bytes.begin(), bytes.end());
        char vid[16];
        std::snprintf(vid, sizeof vid, ":%08X:", static_cast<unsigned>(gVar.VID) & 0xFFFF);
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

constexpr uint32_t kCustomFunction = 0x080000AD;  // its parameter is the key-matrix code

// A button's function in the words `button` takes ("combo Ctrl+C", "media volume-up", "macro
// hid"), so that --json output can be fed back; the function id in hexadecimal for anything the
// command has no words for.
std::string FunctionWords(const KeyInfo& k, const SensorTable* table) {
    const uint32_t id = k.dwFunID;
    for (const NamedValue& n : ButtonFunctionNames())
        if (n.value == id) return n.name;
    for (const NamedValue& n : MediaNames())
        if (n.value == id) return std::string("media ") + n.name;
    if (k.Type() == kFunCombo) {
        const std::string c = ComboText({k.stCombo[0], {k.stCombo[1], k.stCombo[2], k.stCombo[3]}});
        if (!c.empty()) return "combo " + c;
    } else if (id == FireKey(0, 0).dwFunID) {
        return "fire " + std::to_string(k.dwParameter & 0xFF) + " " +
               std::to_string((k.dwParameter >> 8) & 0xFF);
    } else if (id == kSniperFunction) {
        const uint32_t i = k.dwParameter & 0xFF;
        if (table && i < std::min<uint32_t>(table->count, kSensorMaxValues))
            return "sniper " + std::to_string(table->dpi[i]);
    } else if (k.Type() == kFunMacro) {
        if (auto m = g_MacroList.FindMacroById(k.dwMacroID)) return "macro " + MacroNameUtf8(*m);
    } else if (k.Type() == kFunExKey && (id & 0xFFFFFF) < 3) {
        return "extra " + std::to_string((id & 0xFFFFFF) + 1);
    } else if (id == kCustomFunction) {
        char code[24];
        std::snprintf(code, sizeof code, "custom 0x%06x", k.dwParameter & 0xFFFFFF);
        return code;
    }
    // `button` takes the id back for a function that has no words (and no caption).
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08x", id);
    return hex;
}

// One lighting zone as show prints it.
std::string LightingText(const ProfileFile& p, uint32_t zone) {
    std::string mode;
    uint32_t bright = 0, speed = 0;
    std::optional<uint32_t> colour;
    if (zone == kLightDataDpi) {
        mode = NameOf(DpiLightModeNames(), p.nDpiLightMode);
        bright = static_cast<uint32_t>(p.nDpiLightBright);
        speed = static_cast<uint32_t>(p.nDpiLightSpeed);
    } else {
        const LightBlock& l = zone == kLightDataMain ? p.mainLight : p.logoLight;
        if (l.mode == 0) return "off";
        mode = NameOf(zone == kLightDataMain ? MainModeNames() : LogoModeNames(), l.mode);
        bright = l.brightness;
        speed = l.speed;
        colour = l.colour;
    }
    std::string s =
        mode + ", brightness " + std::to_string(bright) + ", speed " + std::to_string(speed);
    if (colour) s += ", colour " + ColourText(*colour);
    return s;
}

// The catalogue's name of the mouse with this identity, with the identity.
std::string ModelName(const std::string& cfgPath, uint32_t cid, uint32_t mid) {
    char id[40];
    std::snprintf(id, sizeof id, "CID %02x, MID %02x", cid, mid);
    const SensorCfg* entry = FindSensorCfg(cid, mid);
    std::string name;
    for (int i = 0; entry && i < kDeviceSections; ++i)
        if (&gVar.SensorCfgs[i] == entry) {
            name =
                IniFile::Load(cfgPath).GetString("DEV_" + std::to_string(i + 1), "Name", "", 200);
            if (name.empty()) name = "DEV_" + std::to_string(i + 1);
        }
    return name.empty() ? std::string("a mouse of no catalogue entry (") + id + ")"
                        : PrintableText(name) + " (" + id + ")";
}

class App {
  public:
    explicit App(Options o) : m_opt(std::move(o)), m_ui(m_opt.yes), m_session(m_ui) {}
    ~App() { m_session.Shutdown(); }

    int Run();

  private:
    int Prepare();
    int Discover();
    int ReadProfile();
    int Connect(bool readProfile);
    // For a change whose record stands alone: the device without reading the whole profile.
    int ConnectForRecord();
    int Finish(int code);
    using Edit = std::function<PageChange(ProfileFile&, int32_t&)>;
    using Describe = std::function<std::string(const ProfileFile&, int32_t)>;
    // Changes the current profile through a page model and has the apply thread write it. The
    // command is the user's own "apply now", so the request is placed whatever ApplyNow says.
    // `said` tells what was stored (printed once the mouse took it); `unchanged` is shown when
    // the model changed nothing.
    int Change(const Edit& edit, const Describe& said,
               const std::string& unchanged = "the mouse does not take this value");
    int WaitWrites();
    // After a write that failed: reads the mouse's profile again so that the cache and the
    // message follow what it really holds. kExitDone when it holds the change after all.
    int ReadBackAfterFailure();
    void DropCache();
    void KeepBefore();
    // Why a profile read failed when the mouse's memory says so, with the way back; "" else.
    std::string DamageHint();
    bool RefreshLevelCount();
    // The onboard profile in use, 1 to 4; 0 when none is read.
    int CurrentProfileNumber();
    bool RefreshLighting(uint32_t zone);

    int List();
    int Info();
    int Show();
    int Set(const Words& w);
    int SetLight(const Words& w);
    int Button(const Words& w);
    int Profile(const Words& w);
    int Reset();
    int Macro(const Words& w);
    void ShowMacro(const StMacro& m) const;
    int NewMacro(const Words& w);
    int Eeprom(const Words& w);

    // Declared first so that it is let go last, after everything has been saved.
    std::unique_ptr<platform::FolderLock> m_folderLock;
    Options m_opt;
    std::string m_cfgPath;
    CliUi m_ui;
    DeviceSession m_session;
    std::shared_ptr<sim::VirtualReceiver> m_sim;
    int m_slot = -1;
    bool m_profileRead = false;
    bool m_oneRecord = false;     // taken over without reading the profile
    bool m_recordCached = false;  // and the record written came from the cache
    std::string m_stored;         // what the change stored, for standard output
    uint64_t m_failedBefore = 0;
    bool m_readBack = false;              // the mouse was read again after a failed write
    std::optional<ProfileFile> m_before;  // the current profile before the command changed it
    uint64_t m_macroGeneration = 0;
};

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
    gVar.szAppDir = platform::DirectoryOf(cfg);
    if (!gVar.szAppDir.empty() && gVar.szAppDir.back() != platform::PathSeparator())
        gVar.szAppDir += platform::PathSeparator();
    if (platform::FileNameOf(cfg) != "cfg.ini") {
        Err("the configuration file must be named cfg.ini: " + cfg);
        return kExitUsage;
    }
    if (!LoadConfiguration()) {
        Err("the device catalogue of " + cfg + " cannot be used");
        return kExitUsage;
    }
    if (const std::vector<std::string> problems = ConfigurationProblems(); !problems.empty()) {
        for (const std::string& p : problems) Err(cfg + ": " + p);
        return kExitUsage;
    }
    if (m_opt.verbose) {
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([](const std::string& s) { std::fprintf(stderr, "%s\n", s.c_str()); });
    }
    // A cfg.ini of the user's own may stand alone: the program's shipped texts stand in for a
    // missing text.xml, so no caption or profile name is made of an empty text.
    if (!LoadDefaultTexts(gVar.szAppDir) || GetText("tc_msg35").empty()) {
        const std::string shipped = ShippedDataDir();
        if (!LoadDefaultTexts(shipped) || GetText("tc_msg35").empty()) {
            Err("the program's texts cannot be read: " +
                platform::JoinPath(gVar.szAppDir, "text.xml") + " and " +
                platform::JoinPath(shipped, "text.xml"));
            return kExitUsage;
        }
        LogPrintf("texts of %s used", shipped.c_str());
    }
    ApplyTitle();
    if (!m_opt.dataDir.empty()) {
        gVar.szAppDataDir = m_opt.dataDir;
        if (gVar.szAppDataDir.back() != platform::PathSeparator())
            gVar.szAppDataDir += platform::PathSeparator();
        uint32_t err = 0;
        if (!CreateDataFolder(gVar.szAppDataDir, &err))
            Err("cannot create the data folder " + gVar.szAppDataDir + ": " +
                platform::PathErrorText(gVar.szAppDataDir, err));
    } else {
        PrepareAppDataDir();
    }
    // One writer at a time: the cache and the macro library are read, changed and saved whole,
    // so two commands (or a command and the window) on one folder would lose a change.
    uint32_t lockErr = 0;
    switch (platform::LockFolder(gVar.szAppDataDir, kBusyWaitMs, &m_folderLock, &lockErr)) {
        case platform::FolderLockResult::kTaken:
            break;
        case platform::FolderLockResult::kBusy:
            Err("Zorvan is busy (another command or the window is using this data folder)");
            return kExitFailed;
        case platform::FolderLockResult::kNotAFile:
            Err("cannot lock the data folder: " +
                platform::JoinPath(gVar.szAppDataDir, platform::kFolderLockFile) +
                " is not a plain file (a link or a pipe); remove it");
            return kExitFailed;
        case platform::FolderLockResult::kNoLockFile:
            // Nothing can be saved there either; what fails to be saved is said where it fails.
            LogPrintf("no lock file in %s: error %u", gVar.szAppDataDir.c_str(), lockErr);
            break;
    }
    platform::SetMessageBoxHook([](const std::string& text, const std::string& caption,
                                   uint32_t flags) {
        // A box's text is padded to look centred and its caption says "Error"; on a line of
        // its own on standard error neither means anything.
        const std::string line = Trimmed(text);
        const std::string head = Trimmed(caption);
        Err(head.empty() || head == gVar.szTitle || head == "Error" ? line : head + ": " + line);
        return (flags & 0x0F) == platform::kMbYesNo ? platform::kIdYes : platform::kIdOk;
    });
    if (m_opt.sim) {
        sim::ReceiverConfig rc;
        rc.vid = static_cast<uint32_t>(gVar.VID) & 0xFFFF;
        if (gVar.PID[0]) rc.pid = gVar.PID[0];
        std::string why;
        if (!sim::CatalogueMouse(cfg, m_opt.model, &rc.cid, &rc.mid, &rc.factory, &why)) {
            Err(why);
            return kExitUsage;
        }
        rc.statePath = m_opt.simFile.empty() ? gVar.szAppDataDir + "sim.bin" : m_opt.simFile;
        auto backend = std::make_shared<sim::VirtualBackend>();
        m_sim = backend->AddReceiver(rc);
        if (!m_sim->LoadState(&why)) {
            Err("the virtual mouse's state " + rc.statePath + " cannot be used: " + why);
            return kExitUsage;
        }
        // A state file keeps the mouse it was made for; going on would show that mouse under
        // the name asked for, or the other way round.
        const auto [cid, mid] = m_sim->MouseIdentity();
        if (!m_opt.model.empty() && (cid != rc.cid || mid != rc.mid)) {
            Err("the virtual mouse in " + rc.statePath + " is " + ModelName(cfg, cid, mid) +
                ", not " + ModelName(cfg, rc.cid, rc.mid) + " as --model " + m_opt.model +
                " asks; give --sim=FILE with another file for it");
            return kExitUsage;
        }
        if (!sim::ApplyFaultsFromEnvironment(*m_sim, &why)) {
            Err(why);
            return kExitUsage;
        }
        platform::SetHidBackend(backend);
    }
    LoadCID();
    LoadMacroLibrary();
    m_macroGeneration = g_MacroList.Generation();
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
            if (!InaccessibleReceiverHint().empty()) Err(InaccessibleReceiverHint());
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
    std::lock_guard<std::mutex> lock(ProfileDataLock());
    if (gVar.pFile) m_before = *gVar.pFile;
}

int App::WaitWrites() {
    const Progress progress("writing to the mouse");
    if (!WaitApplyDone(kApplyMs)) {
        Err("writing to the mouse did not finish");
        return kExitFailed;
    }
    return GetApplyCounts().failed != m_failedBefore ? kExitFailed : kExitDone;
}

bool App::RefreshLevelCount() {
    uint8_t b[2] = {};
    if (!m_session.Usb().ReadEEPROM(eeprom::kLevelCount, b, 2) || CheckByte(b, 1) != b[1] ||
        b[0] < 1 || b[0] > kDpiLevels) {
        Err("the mouse's DPI level count could not be read");
        return false;
    }
    std::lock_guard<std::mutex> lock(ProfileDataLock());
    if (gVar.pFile) gVar.pFile->nDpiLevels = b[0];
    return true;
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
    std::lock_guard<std::mutex> lock(ProfileDataLock());
    if (!gVar.pFile) return false;
    if (zone == kLightDataMain)
        EEPROM_To_MainRGB(b, gVar.pFile->mainLight);
    else if (zone == kLightDataLogo)
        EEPROM_To_LogoRGB(b, gVar.pFile->logoLight);
    else
        EEPROM_To_DpiLight(b, *gVar.pFile);
    return true;
}

void App::DropCache() {
    // A cached copy that may hold settings the mouse does not hold would be written back by
    // the next one-record change; without it the next command reads the mouse.
    if (!gVar.pSensorCfg) return;
    const std::string cache = ProfileCachePath(*gVar.pSensorCfg);
    uint32_t err = 0;
    if (platform::FileExists(cache) && !platform::RemoveFile(cache, &err))
        Err("cannot remove " + cache + ": " + platform::ErrorText(err));
}

int App::ReadBackAfterFailure() {
    m_readBack = true;
    ProfileFile intended;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile || !gVar.pSensorCfg) return kExitFailed;
        intended = *gVar.pFile;
    }
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        DropCache();
        Err("the mouse could not be read back: what it holds now is not known, so its settings "
            "will be read from it again next time");
        return kExitFailed;
    }
    // The read saved what the mouse holds; it may be the change after all, only unconfirmed.
    m_profileRead = true;
    bool landed = m_before.has_value();
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return kExitFailed;
        // The change landed when every byte it changed reads back as meant; the bytes it did
        // not touch may differ from a cached record without that saying anything.
        std::array<uint8_t, kProfileFileSize> b{}, i{}, r{};
        if (m_before) ProfileToBytes(*m_before, b);
        ProfileToBytes(intended, i);
        ProfileToBytes(*gVar.pFile, r);
        for (size_t k = 0; k < kProfileFileSize && landed; ++k)
            if (b[k] != i[k] && r[k] != i[k]) landed = false;
    }
    if (landed) {
        Err("read back from the mouse: it holds the change all the same");
        return kExitDone;
    }
    Err("read back from the mouse: it did not take the whole change; the settings it holds "
        "now are the ones kept");
    return kExitFailed;
}

int App::CurrentProfileNumber() {
    std::lock_guard<std::mutex> lock(ProfileDataLock());
    return gVar.pFile ? static_cast<int>(gVar.pFile - gVar.ProfileList.data()) + 1 : 0;
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
    if (g_MacroList.Generation() != m_macroGeneration) SaveMacroDict();
    // The change itself may have been made: that is said too, so that nobody makes it again.
    const bool made = code == kExitDone && !m_stored.empty();
    for (const platform::SaveFailure& f : platform::TakeSaveFailures()) {
        const std::string why = platform::PathErrorText(f.path, f.err);
        Err(made ? "done (" + PrintableText(m_stored) + "), but " + f.path +
                       " could not be saved: " + why
                 : "cannot save " + f.path + ": " + why);
        code = kExitFailed;
    }
    if (made && code == kExitDone && !m_opt.quiet) std::printf("%s\n", m_stored.c_str());
    return code;
}

int App::Change(const Edit& edit, const Describe& said, const std::string& unchanged) {
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    const PageChange c = EditCurrentProfile(
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

// ---- list, info, show -------------------------------------------------------------------

int App::List() {
    m_session.FindDevices();
    m_session.WaitForDevice(kFindMs);
    std::ostringstream out;
    int found = 0;
    if (m_opt.json) out << "[";
    for (int i = 0; i < kMaxDeviceSlots; ++i) {
        DeviceSlot s = GetDeviceSlot(i);
        if (!s.m_hCmd) continue;
        const SensorCfg* cfg = FindSensorCfg(s.CID, s.MID);
        char line[256];
        if (m_opt.json) {
            std::snprintf(line, sizeof line,
                          "%s{\"slot\":%d,\"vid\":\"%04x\",\"pid\":\"%04x\",\"version\":\"%04x\","
                          "\"mouse\":%s,\"cid\":\"%02x\",\"mid\":\"%02x\",\"supported\":%s}",
                          found ? "," : "", i, s.VID, s.PID, s.version,
                          s.bActive ? "true" : "false", s.CID, s.MID, cfg ? "true" : "false");
        } else {
            std::snprintf(line, sizeof line,
                          "receiver %d: %04x:%04x version %04x; mouse %s (CID %02x, MID %02x)%s\n",
                          i + 1, s.VID, s.PID, s.version, s.bActive ? "connected" : "not connected",
                          s.CID, s.MID, s.bActive && !cfg ? ", not supported" : "");
        }
        out << line;
        ++found;
    }
    if (m_opt.json) out << "]\n";
    std::fputs(out.str().c_str(), stdout);
    if (found == 0) {
        if (!m_opt.json) Err("no receiver or mouse found");
        return kExitNoDevice;
    }
    return kExitDone;
}

int App::Info() {
    if (int r = Connect(false)) return r;
    DeviceSlot s = GetDeviceSlot(m_slot);
    CUSBDriver& usb = m_session.Usb();
    int level = -1, charging = 0;
    const bool power = usb.GetPower(&level, &charging) == 1;
    const int profile = usb.GetCurProfile();
    int index = 0;
    for (int i = 0; i < kDeviceSections; ++i)
        if (&gVar.SensorCfgs[i] == gVar.pSensorCfg) index = i + 1;
    // The catalogue's name of the entry; DEV_n where it has none.
    std::string name =
        IniFile::Load(m_cfgPath).GetString("DEV_" + std::to_string(index), "Name", "", 200);
    if (name.empty()) name = "DEV_" + std::to_string(index);
    char buf[512];
    if (m_opt.json) {
        std::snprintf(buf, sizeof buf,
                      "{\"model\":%s,\"sensor\":\"%04x\",\"cid\":\"%02x\",\"mid\":\"%02x\","
                      "\"firmware\":\"%04x\",\"battery\":%d,\"charging\":%s,\"profile\":%d}\n",
                      JsonString(name).c_str(), SensorId(), s.CID, s.MID, s.version,
                      power ? level : -1, power && charging ? "true" : "false",
                      profile >= 0 ? profile + 1 : -1);
    } else {
        std::snprintf(buf, sizeof buf,
                      "model: %s (sensor %04x, %d buttons)\nCID: %02x\nMID: %02x\n"
                      "firmware: %04x\nbattery: %s\ncharging: %s\nonboard profile: %s\n",
                      PrintableText(name).c_str(), SensorId(),
                      gVar.pSensorCfg ? gVar.pSensorCfg->nKeyNum : 0, s.CID, s.MID, s.version,
                      power ? (std::to_string(level) + "%").c_str() : "unknown",
                      power ? (charging ? "yes" : "no") : "unknown",
                      profile >= 0 ? std::to_string(profile + 1).c_str() : "unknown");
    }
    std::fputs(buf, stdout);
    return kExitDone;
}

int App::Show() {
    if (int r = Connect(true)) return r;
    ProfileFile p;
    int32_t cur;
    int index = 0;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return kExitFailed;
        p = *gVar.pFile;
        cur = gVar.g_nCurDpiLevel;
        index = static_cast<int>(gVar.pFile - gVar.ProfileList.data());
    }
    const SensorCfg& cfg = *gVar.pSensorCfg;
    const int set = std::clamp(p.nKeySet, 0, kKeySets - 1);
    auto light = [&](const LightBlock& l, const std::vector<NamedValue>& names) {
        char b[160];
        if (m_opt.json)
            std::snprintf(
                b, sizeof b, "{\"mode\":\"%s\",\"brightness\":%u,\"speed\":%u,\"color\":\"%s\"}",
                NameOf(names, l.mode).c_str(), l.brightness, l.speed, ColourText(l.colour).c_str());
        else if (l.mode == 0)
            std::snprintf(b, sizeof b, "off");
        else
            std::snprintf(b, sizeof b, "%s, brightness %u, speed %u, colour %s",
                          NameOf(names, l.mode).c_str(), l.brightness, l.speed,
                          ColourText(l.colour).c_str());
        return std::string(b);
    };
    const int hz = RateHzOfCode(p.nRate);
    const std::string rate = hz ? std::to_string(hz) : m_opt.json ? "null" : "unknown";
    std::ostringstream o;
    if (m_opt.json) {
        o << "{\"profile\":" << index + 1 << ",\"name\":" << JsonString(p.Name())
          << ",\"buttons\":[";
        for (int b = 0; b < cfg.nKeyNum; ++b) {
            const KeyInfo& k = p.keys[set][b];
            o << (b ? "," : "") << "{\"button\":" << b + 1
              << ",\"function\":" << JsonString(FunctionWords(k, FindSensorTable(SensorId())))
              << ",\"caption\":" << JsonString(GetKeyFunctionText(k)) << "}";
        }
        o << "],\"dpi\":{\"count\":" << p.nDpiLevels << ",\"current\":" << cur + 1
          << ",\"levels\":[";
        for (int i = 0; i < cfg.DM; ++i)
            o << (i ? "," : "") << "{\"level\":" << i + 1 << ",\"x\":" << p.dpi[i].x
              << ",\"y\":" << p.dpi[i].y << ",\"color\":\"" << ColourText(p.dpi[i].colour) << "\"}";
        o << "]},\"rate\":" << rate << ",\"lod\":" << p.nLod
          << ",\"ripple\":" << (p.nRipple ? "true" : "false")
          << ",\"angle_snap\":" << (p.nFixLine ? "true" : "false")
          << ",\"motion_sync\":" << (p.nMotionSync ? "true" : "false") << ",\"sensor_mode\":\""
          << (p.nSensorMode ? "hp" : "lp") << "\",\"debounce\":" << p.nDebounce
          << ",\"sleep\":" << p.nSleepTime << ",\"auto_sleep\":" << AutoSleepSeconds(p.nAutoSleep)
          << ",\"light_off_moving\":" << (p.nLightOffOnMoving ? "true" : "false")
          << ",\"main_light\":" << light(p.mainLight, MainModeNames()) << ",\"logo_light\":"
          << (cfg.ShowLogoEffect ? light(p.logoLight, LogoModeNames()) : std::string("null"))
          << ",\"dpi_light\":{\"mode\":\"" << NameOf(DpiLightModeNames(), p.nDpiLightMode)
          << "\",\"brightness\":" << p.nDpiLightBright << ",\"speed\":" << p.nDpiLightSpeed
          << "}}\n";
    } else {
        o << "profile " << index + 1 << ": " << PrintableText(p.Name()) << "\nbuttons:\n";
        for (int b = 0; b < cfg.nKeyNum; ++b)
            o << "  " << b + 1 << "  " << PrintableText(GetKeyFunctionText(p.keys[set][b])) << "\n";
        o << "DPI levels: " << p.nDpiLevels << ", current " << cur + 1 << "\n";
        for (int i = 0; i < cfg.DM; ++i)
            o << (i == cur ? "  *" : "   ") << i + 1 << "  " << p.dpi[i].x << " x " << p.dpi[i].y
              << "  " << ColourText(p.dpi[i].colour) << (i >= p.nDpiLevels ? "  (not in use)" : "")
              << "\n";
        o << "rate: " << rate << " Hz\nlift-off distance: " << p.nLod
          << "\nripple control: " << (p.nRipple ? "on" : "off")
          << "\nangle snapping: " << (p.nFixLine ? "on" : "off")
          << "\nmotion sync: " << (p.nMotionSync ? "on" : "off")
          << "\nsensor mode: " << (p.nSensorMode ? "hp" : "lp") << "\ndebounce: " << p.nDebounce
          << " ms\nsleep: " << p.nSleepTime << " s\nauto sleep: " << AutoSleepSeconds(p.nAutoSleep)
          << " s\nlight off while moving: " << (p.nLightOffOnMoving ? "on" : "off")
          << "\nmain lighting: " << light(p.mainLight, MainModeNames())
          << (cfg.ShowLogoEffect ? "\nlogo lighting: " + light(p.logoLight, LogoModeNames())
                                 : std::string())
          << "\nDPI light: " << NameOf(DpiLightModeNames(), p.nDpiLightMode) << ", brightness "
          << p.nDpiLightBright << ", speed " << p.nDpiLightSpeed << "\n";
    }
    std::fputs(o.str().c_str(), stdout);
    return kExitDone;
}

// ---- set --------------------------------------------------------------------------------

int App::Set(const Words& w) {
    const std::string& what = Word(w, 1, "setting");
    if (what == "light") return SetLight(w);
    // The words are checked first; what depends on the mouse's catalogue entry is checked once
    // it is known, before anything is written.
    if (what == "rate") {
        const int64_t hz = Number(w, 2, 1, 100000, "rate");
        NoMoreWords(w, 3);
        int button = -1;
        for (int k = 0; k < kRateButtons; ++k)
            if (RateHzOfCode(RateCodeOfButton(k)) == hz) button = k;
        if (button < 0) throw UsageError{"rate must be 125, 250, 500 or 1000: " + w[2]};
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetRateButton(p, button); },
                      [](const ProfileFile& p, int32_t) {
                          return "rate: " + std::to_string(RateHzOfCode(p.nRate)) + " Hz";
                      });
    }
    if (what == "dpi") {
        const int level = static_cast<int>(Number(w, 2, 1, 1000000, "level"));
        const std::string& v = Word(w, 3, "DPI value");
        const size_t colon = v.find(':');
        auto x = ParseNumber(v.substr(0, colon), 1, 1000000);
        auto y = colon == std::string::npos ? x : ParseNumber(v.substr(colon + 1), 1, 1000000);
        if (!x || !y) throw UsageError{"DPI value must be <x> or <x>:<y>: " + v};
        NoMoreWords(w, 4);
        if (int r = ConnectForRecord()) return r;
        const SensorCfg& cfg = *gVar.pSensorCfg;
        if (level > cfg.DM)
            throw UsageError{"level must be a number from 1 to " + std::to_string(cfg.DM) + ": " +
                             w[2]};
        const SensorTable* table = FindSensorTable(SensorId());
        const IntRange range = LevelDpiRange(table, cfg, level - 1);
        if (range.hi == 0) {
            Err("this mouse's sensor has no DPI table; no DPI value can be written");
            return kExitFailed;
        }
        for (int64_t d : {*x, *y})
            if (!range.Contains(d))
                throw UsageError{"DPI of level " + std::to_string(level) + " must be from " +
                                 std::to_string(range.lo) + " to " + std::to_string(range.hi) +
                                 ": " + std::to_string(d)};
        const int64_t tx = *x, ty = *y;
        return Change(
            [&](ProfileFile& p, int32_t&) {
                if (ty != tx && !p.bSeparateXY)
                    return Refused("this profile keeps one DPI value per level: give one value");
                PageChange c = TypeDpiValue(p, table, level - 1, false, tx);
                if (p.bSeparateXY) c = TypeDpiValue(p, table, level - 1, true, ty);
                return c;
            },
            [=](const ProfileFile& p, int32_t) {
                const DpiLevel& l = p.dpi[static_cast<size_t>(level - 1)];
                std::string s = "level " + std::to_string(level) + ": " + std::to_string(l.x);
                if (l.y != l.x) s += ":" + std::to_string(l.y);
                s += " DPI";
                if (l.x != tx || l.y != ty)
                    s += " (nearest to " +
                         (tx == ty ? std::to_string(tx)
                                   : std::to_string(tx) + ":" + std::to_string(ty)) +
                         ")";
                return s;
            });
    }
    if (what == "dpi-count" || what == "dpi-level" || what == "dpi-color") {
        const int n = static_cast<int>(Number(w, 2, 1, 1000000, "level"));
        std::optional<uint32_t> colour;
        if (what == "dpi-color") {
            colour = ParseColour(Word(w, 3, "colour"));
            if (!colour) throw UsageError{"colour must be #rrggbb: " + w[3]};
        }
        NoMoreWords(w, colour ? 4 : 3);
        if (int r = ConnectForRecord()) return r;
        const SensorCfg& cfg = *gVar.pSensorCfg;
        if (n > cfg.DM)
            throw UsageError{"level must be a number from 1 to " + std::to_string(cfg.DM) + ": " +
                             w[2]};
        if (what == "dpi-count")
            // As the window does: with SyncChangeDpiLevel the first level becomes the one in
            // use; without it the level in use stays unless it falls outside the new count.
            return Change(
                [&](ProfileFile& p, int32_t& cur) {
                    return SetLevelCount(p, cur, n, cfg.DM, gVar.SyncChangeDpiLevel != 0);
                },
                [](const ProfileFile& p, int32_t cur) {
                    return "DPI levels: " + std::to_string(p.nDpiLevels) + ", current " +
                           std::to_string(cur + 1);
                });
        if (what == "dpi-color")
            return Change([&](ProfileFile& p, int32_t&) { return SetDpiColour(p, n - 1, *colour); },
                          [n](const ProfileFile& p, int32_t) {
                              return "level " + std::to_string(n) + " colour: " +
                                     ColourText(p.dpi[static_cast<size_t>(n - 1)].colour);
                          });
        // The level chosen must be in use on the mouse, so its count is asked for rather than
        // taken from the cache.
        if (m_oneRecord && !RefreshLevelCount()) return kExitFailed;
        const int32_t count = [] {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            return gVar.pFile ? gVar.pFile->nDpiLevels : 1;
        }();
        if (n > count)
            throw UsageError{"level must be a number from 1 to " + std::to_string(count) +
                             " (the levels in use): " + w[2]};
        return Change([&](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, n - 1); },
                      [](const ProfileFile&, int32_t cur) {
                          return "current DPI level: " + std::to_string(cur + 1);
                      });
    }
    if (what == "lod") {
        const int button = static_cast<int>(Number(w, 2, 1, 2, "lod"));
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetLiftOff(p, button); },
                      [](const ProfileFile& p, int32_t) {
                          return "lift-off distance: " + std::to_string(p.nLod);
                      });
    }
    static const std::pair<const char*, PerfSwitch> kSwitches[] = {
        {"ripple", PerfSwitch::kRipple},
        {"angle-snap", PerfSwitch::kAngleSnap},
        {"motion-sync", PerfSwitch::kMotionSync},
    };
    for (const auto& sw : kSwitches) {
        if (what != sw.first) continue;
        const PerfSwitch which = sw.second;
        const bool on = OnOff(w, 2, sw.first) != 0;
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        const std::string name = sw.first;
        return Change([&](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, which, on); },
                      [=](const ProfileFile&, int32_t) { return name + (on ? ": on" : ": off"); });
    }
    if (what == "sensor-mode") {
        const std::string& m = Word(w, 2, "sensor mode");
        if (m != "hp" && m != "lp") throw UsageError{"sensor mode must be hp or lp: " + m};
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetSensorMode(p, m == "hp"); },
                      [](const ProfileFile& p, int32_t) {
                          return std::string("sensor mode: ") + (p.nSensorMode ? "hp" : "lp");
                      });
    }
    if (what == "debounce") {
        const IntRange range = DebounceRange(gVar.DebounceRange);
        const int32_t ms = static_cast<int32_t>(Number(w, 2, range.lo, range.hi, "debounce"));
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetDebounce(p, ms, range); },
                      [](const ProfileFile& p, int32_t) {
                          return "debounce: " + std::to_string(p.nDebounce) + " ms";
                      });
    }
    if (what == "sleep") {
        const int32_t s = static_cast<int32_t>(Number(w, 2, 0, 100000, "sleep"));
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        const SensorCfg& cfg = *gVar.pSensorCfg;
        const std::vector<SleepItem> items = SleepItems(cfg);
        if (std::none_of(items.begin(), items.end(),
                         [s](const SleepItem& i) { return i.seconds == s; })) {
            std::string offered;
            for (const SleepItem& i : items) offered += " " + std::to_string(i.seconds);
            throw UsageError{"sleep must be one of these seconds:" + offered};
        }
        return Change([&](ProfileFile& p, int32_t&) { return SetSleepTime(p, cfg, s); },
                      [](const ProfileFile& p, int32_t) {
                          return "sleep: " + std::to_string(p.nSleepTime) + " s";
                      });
    }
    if (what == "auto-sleep") {
        const auto v = AutoSleepValueOfSeconds(Number(w, 2, 0, 100000, "auto-sleep"));
        NoMoreWords(w, 3);
        if (!v) {
            std::string offered;
            for (int32_t t : kAutoSleepTable) offered += " " + std::to_string(AutoSleepSeconds(t));
            throw UsageError{"auto sleep must be one of these seconds:" + offered};
        }
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetAutoSleep(p, *v); },
                      [](const ProfileFile& p, int32_t) {
                          return "auto sleep: " + std::to_string(AutoSleepSeconds(p.nAutoSleep)) +
                                 " s";
                      });
    }
    if (what == "light-off-moving") {
        const bool on = OnOff(w, 2, "light-off-moving") != 0;
        NoMoreWords(w, 3);
        if (int r = ConnectForRecord()) return r;
        return Change([&](ProfileFile& p, int32_t&) { return SetLightOffOnMoving(p, on); },
                      [on](const ProfileFile&, int32_t) {
                          return std::string("light off while moving: ") + (on ? "on" : "off");
                      });
    }
    throw Unknown("setting", what,
                  {"rate", "dpi", "dpi-count", "dpi-level", "dpi-color", "lod", "ripple",
                   "angle-snap", "motion-sync", "sensor-mode", "debounce", "sleep", "auto-sleep",
                   "light-off-moving", "light"});
}

int App::SetLight(const Words& w) {
    const std::string& zone = Word(w, 2, "lighting (main, logo or dpi)");
    const std::vector<NamedValue>* names = zone == "main"   ? &MainModeNames()
                                           : zone == "logo" ? &LogoModeNames()
                                           : zone == "dpi"  ? &DpiLightModeNames()
                                                            : nullptr;
    if (!names) throw Unknown("lighting (main, logo or dpi)", zone, {"main", "logo", "dpi"});
    auto mode = LookUp(*names, Word(w, 3, "mode"));
    if (!mode) throw Unknown(zone + " lighting mode", w[3], NamesOf(*names));
    const IntRange speedRange = zone == "main"   ? kMainSpeedRange
                                : zone == "logo" ? kLogoSpeedRange
                                                 : kDpiLightSpeedRange;
    std::optional<int32_t> bright, speed;
    std::optional<uint32_t> colour;
    for (size_t i = 4; i < w.size(); i += 2) {
        if (w[i] == "--brightness")
            bright = static_cast<int32_t>(Number(w, i + 1, 1, 10, "brightness"));
        else if (w[i] == "--speed")
            speed = static_cast<int32_t>(Number(w, i + 1, speedRange.lo, speedRange.hi, "speed"));
        else if (w[i] == "--color" || w[i] == "--colour") {
            colour = ParseColour(Word(w, i + 1, "colour"));
            if (!colour) throw UsageError{"colour must be #rrggbb"};
        } else
            throw UsageError{"unexpected \"" + w[i] + "\""};
    }
    if (int r = ConnectForRecord()) return r;
    const SensorCfg& cfg = *gVar.pSensorCfg;
    const uint32_t bit = zone == "main"   ? kLightDataMain
                         : zone == "logo" ? kLightDataLogo
                                          : kLightDataDpi;
    if (!DeviceHasLighting(cfg, bit)) {
        Err("this mouse has no " + zone + " lighting");
        return kExitFailed;
    }
    const auto offered = MainModeItems(cfg.LedMask);
    if (bit == kLightDataMain && std::none_of(offered.begin(), offered.end(),
                                              [&](const ModeItem& m) { return m.mode == *mode; })) {
        Err("this mouse does not offer the main lighting mode " + w[3]);
        return kExitFailed;
    }
    const IntRange brightRange = LightSliderRange(cfg, LightSlider::kMainBrightness);
    if (bit == kLightDataMain && bright && !brightRange.Contains(*bright)) {
        Err("this mouse's brightness runs from " + std::to_string(brightRange.lo) + " to " +
            std::to_string(brightRange.hi));
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (LightingBlocked(m_session.Usb())) {
        Err(GetText("tc_adv_str29"));
        return kExitFailed;
    }
    if (m_oneRecord && !RefreshLighting(bit)) return kExitFailed;
    // Each given value is what the page's control for it stores; the zone asked for is written.
    const PageChange c = EditCurrentProfile(
        [&](ProfileFile& p, int32_t&) {
            if (bit == kLightDataDpi) {
                SetDpiEffectMode(p, static_cast<int32_t>(*mode));
                if (bright) CommitDpiEffectSlider(p, false, *bright);
                if (speed) CommitDpiEffectSlider(p, true, *speed);
            } else {
                const bool main = bit == kLightDataMain;
                if (main)
                    ChooseMainMode(p, cfg, gVar.LedOpt, *mode);
                else
                    ChooseLogoMode(p, *mode);
                if (bright)
                    CommitLightSlider(
                        p, cfg, main ? LightSlider::kMainBrightness : LightSlider::kLogoBrightness,
                        *bright);
                if (speed)
                    CommitLightSlider(
                        p, cfg, main ? LightSlider::kMainSpeed : LightSlider::kLogoSpeed, *speed);
                // The page's colour wheel colours both lightings; only the zone asked for is
                // written here, so only its colour changes.
                if (colour) (main ? p.mainLight : p.logoLight).colour = *colour;
            }
            PageChange r = Request(kApplyLighting, bit);
            m_stored = zone + " lighting: " + LightingText(p, bit);
            return r;
        },
        true);
    return c.Changed() ? kExitDone : kExitFailed;
}

// ---- buttons ----------------------------------------------------------------------------

int App::Button(const Words& w) {
    const int n = static_cast<int>(Number(w, 1, 1, kKeysPerSet, "button"));
    const std::string& fun = Word(w, 2, "function");
    // The words are checked before the mouse is asked; the assignment itself needs the device.
    std::function<std::optional<KeyInfo>(const SensorCfg&)> make;
    std::string note;  // said after the change, when what is stored is not what was asked
    size_t used = 3;
    auto chosen = [n](uint32_t value, const SensorCfg& cfg) -> std::optional<KeyInfo> {
        const FunctionChoice c = OnFunctionChosen(value, n - 1, cfg, false);
        if (c.step == ChoiceStep::kStore) return c.key;
        Err(c.message.empty() ? "this function cannot be chosen here" : c.message);
        return std::nullopt;
    };
    if (auto simple = LookUp(ButtonFunctionNames(), fun)) {
        make = [=](const SensorCfg& cfg) { return chosen(*simple, cfg); };
    } else if (fun == "fire") {
        // The fire dialog's rule: a count of 0 to 3, an interval of 10 to 255.
        const auto count = static_cast<uint8_t>(Number(w, 3, 0, kFireCountLimit, "count"));
        const auto interval =
            static_cast<uint8_t>(Number(w, 4, kFireIntervalMin, kFireIntervalMax, "interval"));
        // A burst the mouse keeps as one of its click functions is stored as that function
        // (the same bytes), and said so, as the window does.
        if (const std::optional<KeyInfo> same = FireReadsBackAs(count, interval)) {
            note = FireStoredAsText(count, interval, *same);
            make = [same](const SensorCfg&) { return *same; };
        } else {
            make = [=](const SensorCfg&) { return FireKey(count, interval); };
        }
        used = 5;
    } else if (fun == "combo") {
        std::string why;
        auto c = ParseCombo(Word(w, 3, "combination"), &why);
        if (!c) throw UsageError{why};
        make = [c](const SensorCfg&) {
            return ComboKey(c->modifiers, c->keys[0], c->keys[1], c->keys[2]);
        };
        used = 4;
    } else if (fun == "media") {
        auto m = LookUp(MediaNames(), Word(w, 3, "media key"));
        if (!m) throw Unknown("media key", w[3], NamesOf(MediaNames()));
        make = [=](const SensorCfg& cfg) { return chosen(*m, cfg); };
        used = 4;
    } else if (fun == "sniper") {
        const int64_t dpi = Number(w, 3, 1, 1000000, "DPI");
        // Only the values the page's sniper menu offers: the mouse keeps the table position in
        // one byte, so any other value would come back as a different DPI.
        make = [dpi](const SensorCfg& cfg) -> std::optional<KeyInfo> {
            const auto items = SniperItems(FindSensorTable(static_cast<uint32_t>(cfg.Sensor)));
            std::string offered;
            for (const SniperItem& i : items) {
                if (i.dpi == dpi) return SniperKey(i.index);
                offered += " " + std::to_string(i.dpi);
            }
            throw UsageError{items.empty() ? "this mouse offers no sniper DPI"
                                           : "sniper DPI must be one of" + offered + ": " +
                                                 std::to_string(dpi)};
        };
        used = 4;
    } else if (fun == "macro") {
        auto m = g_MacroList.FindMacroByNameUtf8(Word(w, 3, "macro name"));
        if (!m) throw UsageError{"no macro named \"" + w[3] + "\""};
        const uint32_t id = m->id;
        make = [id](const SensorCfg&) { return MacroKey(id); };
        used = 4;
    } else if (fun == "extra") {
        const auto j = static_cast<uint32_t>(Number(w, 3, 1, 3, "extra key"));
        make = [=](const SensorCfg& cfg) { return chosen(0x0B000000 + j - 1, cfg); };
        used = 4;
    } else if (fun == "custom") {
        const auto code = static_cast<uint32_t>(Number(w, 3, 0, 0xFFFFFF, "key-matrix code"));
        make = [code](const SensorCfg&) {
            KeyInfo k;
            k.dwFunID = kCustomFunction;
            k.dwParameter = code;
            return std::optional<KeyInfo>(k);
        };
        used = 4;
    } else if (const auto id = ParseNumber(fun, 0, 0xFFFFFFFF);
               id && fun.size() > 2 && fun[1] == 'x' &&
               FindKeyFunction(static_cast<uint32_t>(*id)) &&
               FindKeyFunction(static_cast<uint32_t>(*id))->rule == MatrixRule::kFixed) {
        // The id show prints for a function without words.
        make = [=](const SensorCfg& cfg) { return chosen(static_cast<uint32_t>(*id), cfg); };
    } else {
        std::vector<std::string> names = NamesOf(ButtonFunctionNames());
        for (const char* f : {"fire", "combo", "media", "sniper", "macro", "extra", "custom"})
            names.push_back(f);
        throw Unknown("function", fun, names);
    }
    NoMoreWords(w, used);
    if (int r = Connect(true)) return r;
    const SensorCfg& cfg = *gVar.pSensorCfg;
    const ButtonRowView row = [&] {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        return gVar.pFile ? ViewButtonRows(*gVar.pFile, cfg, gVar.KeyMask)[n - 1] : ButtonRowView{};
    }();
    if (!row.visible) throw UsageError{RowRefusal(cfg, gVar.KeyMask, n - 1)};
    if (!row.enabled) {
        Err(RowRefusal(cfg, gVar.KeyMask, n - 1));
        return kExitFailed;
    }
    const std::optional<KeyInfo> k = make(cfg);
    if (!k) return kExitUsage;
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (SetKeyFunction(n - 1, *k) != 1) return kExitFailed;
    m_stored = "button " + std::to_string(n) + ": " + PrintableText(GetKeyFunctionText(*k));
    if (!note.empty()) m_stored += "\n" + PrintableText(note);
    if (!gVar.ApplyNow) RequestApply(kApplyKeys, static_cast<uint32_t>(n - 1));
    return kExitDone;
}

// ---- profiles, reset --------------------------------------------------------------------

int App::Profile(const Words& w) {
    const std::string& what = Word(w, 1, "profile command");
    if (IsProfileLinksCommand(what))
        return RunProfileLinksCommand(w, gVar.szAppDataDir, m_opt.json);
    if (what == "switch") {
        const int n = static_cast<int>(Number(w, 2, 1, 4, "profile"));
        NoMoreWords(w, 3);
        if (int r = Connect(true)) return r;
        if (!m_session.CheckDeviceReady()) return kExitFailed;
        // A switch without a word back may have happened all the same: the mouse is asked.
        if (SwitchProfile(m_session.Usb(), n - 1) != 1 &&
            m_session.Usb().GetCurProfile() != n - 1) {
            Err("the mouse did not switch its profile");
            return kExitFailed;
        }
        // The window would follow the mouse's notification; here the new profile is read now.
        m_session.StartRead();
        if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
            Err("the mouse's settings could not be read");
            return kExitFailed;
        }
        m_stored = "current profile: " + std::to_string(n);
        return kExitDone;
    }
    if (what == "export" || what == "import") {
        const std::string& file = Word(w, 2, "file");
        NoMoreWords(w, 3);
        if (int r = Connect(true)) return r;
        if (what == "export") {
            if (!ExportProfile(file)) return kExitFailed;
            m_stored =
                "profile " + std::to_string(CurrentProfileNumber()) + ": exported to " + file;
            return kExitDone;
        }
        if (const std::string why = UnreadableFile(file); !why.empty()) {
            Err("cannot import " + file + ": " + why);
            return kExitFailed;
        }
        if (!m_session.CheckDeviceReady()) return kExitFailed;
        if (!ImportProfile(file, PageImportRules())) return kExitFailed;
        m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": imported from " + file;
        return kExitDone;
    }
    throw Unknown("profile command", what,
                  {"switch", "export", "import", "link", "unlink", "links"});
}

int App::Reset() {
    // Nobody can be asked in a script: wiping every setting must be meant in so many words.
    if (!m_opt.yes && !StdinIsTerminal())
        throw UsageError{
            "reset asks before it wipes the mouse's settings; without a terminal, "
            "give --yes"};
    // The factory reset overwrites everything, so the profile is read once, afterwards.
    if (int r = ConnectForRecord()) return r;
    m_oneRecord = false;
    if (!m_session.ResetToDefaults()) {
        if (m_ui.Declined()) Err("reset cancelled");
        return kExitFailed;
    }
    if (WaitWrites() != kExitDone) {
        // Refused, or done without a word back: what the mouse holds decides what is cached.
        m_readBack = true;
        m_session.StartRead();
        if (m_session.WaitSync(kReadMs) && m_session.LastReadOk()) {
            m_profileRead = true;
            Err("the factory reset was not confirmed; the settings read back from the mouse are "
                "kept");
        } else {
            DropCache();
            Err("the factory reset was not confirmed and the mouse could not be read back");
        }
        return kExitFailed;
    }
    // The mouse holds its factory settings now; read them so the cache follows.
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        DropCache();
        Err("the mouse took its factory settings but could not be read back; they will be read "
            "from it next time");
        return kExitFailed;
    }
    m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": factory settings";
    return kExitDone;
}

// ---- macros -----------------------------------------------------------------------------

int App::Macro(const Words& w) {
    const std::string& what = Word(w, 1, "macro command");
    if (what == "list") {
        NoMoreWords(w, 2);
        auto all = g_MacroList.Snapshot();
        if (m_opt.json) std::fputs("[", stdout);
        for (size_t i = 0; i < all.size(); ++i) {
            const std::string name = MacroNameUtf8(all[i]);
            if (m_opt.json)
                std::printf("%s{\"name\":%s,\"events\":%d}", i ? "," : "", JsonString(name).c_str(),
                            CountMacroEvents(all[i]));
            else
                std::printf("%s  (%d events)\n", PrintableText(name).c_str(),
                            CountMacroEvents(all[i]));
        }
        if (m_opt.json) std::fputs("]\n", stdout);
        return kExitDone;
    }
    if (what == "show") {
        const std::string& name = Word(w, 2, "macro name");
        NoMoreWords(w, 3);
        auto m = g_MacroList.FindMacroByNameUtf8(name);
        if (!m) throw UsageError{"no macro named \"" + name + "\""};
        ShowMacro(*m);
        return kExitDone;
    }
    if (what == "new") return NewMacro(w);
    if (what == "import") {
        const std::string& file = Word(w, 2, "file");
        NoMoreWords(w, 3);
        if (const std::string why = UnreadableFile(file); !why.empty()) {
            Err("cannot import " + file + ": " + why);
            return kExitFailed;
        }
        std::optional<StMacro> m = ReadMacroFile(file);
        if (!m) {
            Err("not a macro file: " + file);
            return kExitFailed;
        }
        // Held to the rules of recording and `macro new`, as a profile's macros are.
        std::vector<std::string> said;
        if (std::optional<std::string> why = LimitImportedMacro(*m, said)) {
            Err("cannot import " + file + ": " + *why);
            return kExitFailed;
        }
        for (const std::string& line : said)
            Err("macro \"" + PrintableText(MacroNameUtf8(*m)) + "\": " + line);
        uint32_t err = 0;
        auto added = ImportOutsideMacro(*m, g_MacroList, &err);
        if (!added) {
            Err("the macro could not be stored: " + MacroNameUtf8(*m) + " (" +
                platform::ErrorText(err) + ")");
            return kExitFailed;
        }
        if (std::string note = AddedMacroNote(MacroNameUtf8(*m), *added); !note.empty()) Err(note);
        m_stored = "macro " + MacroNameUtf8(added->stored) + ": imported from " + file;
        return kExitDone;
    }
    if (what == "export") {
        const std::string& name = Word(w, 2, "macro name");
        const std::string& file = Word(w, 3, "file");
        NoMoreWords(w, 4);
        auto m = g_MacroList.FindMacroByNameUtf8(name);
        if (!m) throw UsageError{"no macro named \"" + name + "\""};
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(*m, bytes);
        // A failed save is said with its reason among the failed saves at the end.
        if (!platform::WriteFileAtomic(file, bytes, sizeof bytes)) return kExitFailed;
        m_stored = "macro " + MacroNameUtf8(*m) + ": exported to " + file;
        return kExitDone;
    }
    if (what == "delete") {
        const std::string& name = Word(w, 2, "macro name");
        NoMoreWords(w, 3);
        if (!g_MacroList.FindMacroByNameUtf8(name))
            throw UsageError{"no macro named \"" + name + "\""};
        // The mouse is read first: a macro it holds would otherwise come back into the
        // library with that reading, and its buttons could not be given their defaults. So
        // without a reading nothing is deleted.
        if (const int r = Connect(true); r != kExitDone) {
            Err("macro \"" + PrintableText(name) +
                "\" is not deleted: the mouse's settings could not be read, and a macro it holds "
                "would come back with the next reading");
            return r;
        }
        auto m = g_MacroList.FindMacroByNameUtf8(name);
        if (!m) return kExitFailed;
        uint32_t err = 0;
        std::string path;
        if (!DeleteLibraryMacro(m->id, g_MacroList, &err, &path)) {
            Err("cannot delete " + path + ": " + platform::ErrorText(err));
            return kExitFailed;
        }
        // Buttons that played it go back to their defaults, in the mouse too.
        bool changed;
        {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            changed = FixOrphanMacros();
        }
        if (changed) RequestApply(kApplyKeys, kAllItems);
        m_stored = "macro " + PrintableText(name) + ": deleted" +
                   (changed ? "; the buttons that played it are back to their defaults" : "");
        return kExitDone;
    }
    throw Unknown("macro command", what, {"list", "show", "new", "import", "export", "delete"});
}

// The events in the words `macro new` takes, one a line, under a line of the play options.
void App::ShowMacro(const StMacro& m) const {
    const int n = CountMacroEvents(m);
    const char* mode = m.LoopMode == kPlayWhileHeld      ? "while-held"
                       : m.LoopMode == kPlayUntilPressed ? "until-pressed"
                                                         : "count";
    std::string out;
    if (m_opt.json) {
        std::string events, text;
        for (int i = 0; i < n; ++i) {
            const MacroEvent e = m.events[i];
            const uint32_t delay = e.delay;
            std::string one;
            if (e.flags & kMacroEventMove)
                one = "{\"type\":\"move\",\"dx\":" +
                      std::to_string(static_cast<int8_t>(e.code & 0xFF)) +
                      ",\"dy\":" + std::to_string(static_cast<int8_t>((e.code >> 8) & 0xFF));
            else
                one = std::string("{\"type\":\"") + ((e.flags & kMacroEventDown) ? "down" : "up") +
                      "\",\"key\":" + JsonString(MacroKeyName(static_cast<uint8_t>(e.code & 0xFF)));
            events += (i ? "," : "") + one + ",\"delay\":" + std::to_string(delay) + "}";
            text += (i ? " " : "") + MacroEventText(e);
        }
        out = "{\"name\":" + JsonString(MacroNameUtf8(m)) + ",\"mode\":\"" + mode +
              "\",\"repeat\":" + std::to_string(m.repeatCount) + ",\"events\":[" + events +
              "],\"text\":" + JsonString(text) + "}\n";
    } else {
        out = PrintableText(MacroNameUtf8(m)) + ": " + std::to_string(n) + " events, " +
              (m.LoopMode == kPlayWhileHeld ? std::string("repeats while held")
               : m.LoopMode == kPlayUntilPressed
                   ? std::string("repeats until pressed again")
                   : "plays " + std::to_string(m.repeatCount) + " times") +
              "\n";
        for (int i = 0; i < n; ++i) out += "  " + MacroEventText(m.events[i]) + "\n";
    }
    std::fputs(out.c_str(), stdout);
}

// A macro made from words, kept in the library as one the macro page had made and saved.
int App::NewMacro(const Words& w) {
    const std::string& name = Word(w, 2, "macro name");
    if (w.size() < 4) throw UsageError{"missing events"};
    // The names the macro page lets a user type: its file is named after it.
    size_t chars = 0;
    for (unsigned char c : name) chars += (c & 0xC0) != 0x80;
    if (chars > static_cast<size_t>(kMaxMacroNameInput))
        throw UsageError{"a macro name has at most " + std::to_string(kMaxMacroNameInput) +
                         " characters: " + name};
    if (name.find_first_of(kMacroNameForbidden) != std::string::npos ||
        name.find('.') != std::string::npos || !IsSafeFileName(name))
        throw UsageError{
            "a macro name cannot hold any of / \\ ? + = - * & % ! # . : < > | \" "
            "nor end in a space: " +
            name};
    for (const StMacro& other : g_MacroList.Snapshot())
        if (MacroNamesCollide(MacroNameUtf8(other), name))
            throw UsageError{"a macro named \"" + MacroNameUtf8(other) + "\" exists already"};
    MacroEventsError error;
    const auto events = ParseMacroEvents(Words(w.begin() + 3, w.end()), &error);
    if (!events) throw UsageError{error.why, error.near};
    if (g_MacroList.Count() >= static_cast<size_t>(MAX_MACROS)) {
        Err("the library holds " + std::to_string(MAX_MACROS) + " macros, the most it can");
        return kExitFailed;
    }
    StMacro m = NewMacroRecord(name);
    for (size_t i = 0; i < events->size(); ++i) m.events[i] = (*events)[i];
    uint32_t err = 0;
    auto added = AddOutsideMacro(m, g_MacroList, &err);
    if (!added) {
        Err("the macro could not be stored: " + name + " (" + platform::ErrorText(err) + ")");
        return kExitFailed;
    }
    m_stored =
        "macro " + MacroNameUtf8(added->stored) + ": " + std::to_string(events->size()) + " events";
    return kExitDone;
}

// ---- raw memory -------------------------------------------------------------------------

int App::Eeprom(const Words& w) {
    const std::string& what = Word(w, 1, "eeprom command");
    const int64_t addr = Number(w, 2, 0, 0xFFFF, "address");
    std::vector<uint8_t> bytes;
    int64_t len = 0;
    if (what == "read") {
        len = Number(w, 3, 1, 0x10000 - addr, "length");
        NoMoreWords(w, 4);
    } else if (what == "write") {
        for (size_t i = 3; i < w.size(); ++i)
            bytes.push_back(static_cast<uint8_t>(Number(w, i, 0, 255, "byte")));
        if (bytes.empty()) throw UsageError{"no bytes to write"};
        if (addr + static_cast<int64_t>(bytes.size()) > 0x10000)
            throw UsageError{"the bytes run past the end of the memory"};
    } else {
        throw Unknown("eeprom command", what, {"read", "write"});
    }
    const int64_t end = addr + (what == "read" ? len : static_cast<int64_t>(bytes.size()));
    if (end > eeprom::kProfileEnd) {
        char why[120];
        std::snprintf(
            why, sizeof why, "a profile's memory ends at 0x%04X; 0x%04X to 0x%04X is past it",
            eeprom::kProfileEnd - 1, static_cast<unsigned>(addr), static_cast<unsigned>(end - 1));
        throw UsageError{why};
    }
    if (int r = Connect(false)) return r;
    CUSBDriver& usb = m_session.Usb();
    if (what == "write") {
        if (usb.WriteEEPROM(10, static_cast<int>(bytes.size()), static_cast<uint32_t>(addr),
                            bytes.data())) {
            char said[64];
            std::snprintf(said, sizeof said, "%zu bytes written at 0x%04X", bytes.size(),
                          static_cast<unsigned>(addr));
            m_stored = said;
            return kExitDone;
        }
        Err("the mouse did not take every byte of the write at " + std::to_string(addr));
        return kExitFailed;
    }
    bytes.assign(static_cast<size_t>(len), 0);
    for (int64_t done = 0; done < len; done += 10) {
        const int n = static_cast<int>(std::min<int64_t>(10, len - done));
        if (!usb.ReadEEPROM(static_cast<uint32_t>(addr + done), bytes.data() + done, n)) {
            Err("the mouse did not answer the read at " + std::to_string(addr + done));
            return kExitFailed;
        }
    }
    std::string out;
    if (m_opt.json) {
        out = "{\"address\":" + std::to_string(addr) + ",\"bytes\":[";
        for (size_t i = 0; i < bytes.size(); ++i) out += (i ? "," : "") + std::to_string(bytes[i]);
        out += "]}\n";
    }
    for (size_t i = 0; i < bytes.size() && !m_opt.json; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X", bytes[i]);
        out += b;
        out += (i % 16 == 15 || i + 1 == bytes.size()) ? '\n' : ' ';
    }
    std::fputs(out.c_str(), stdout);
    return kExitDone;
}

int App::Run() {
    const Words& w = m_opt.words;
    const std::string& cmd = w[0];
    if (int r = Prepare()) return r;
    int code;
    if (cmd == "list") {
        NoMoreWords(w, 1);
        code = List();
    } else if (cmd == "info") {
        NoMoreWords(w, 1);
        code = Info();
    } else if (cmd == "show") {
        NoMoreWords(w, 1);
        code = Show();
    } else if (cmd == "set") {
        code = Set(w);
    } else if (cmd == "button") {
        code = Button(w);
    } else if (cmd == "profile") {
        code = Profile(w);
    } else if (cmd == "reset") {
        NoMoreWords(w, 1);
        code = Reset();
    } else if (cmd == "macro") {
        code = Macro(w);
    } else {
        code = Eeprom(w);
    }
    return Finish(code);
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* why) {
    static const std::vector<std::string> kOptions = {
        "--sim",     "--cfg",   "--data-dir", "--model", "--json",
        "--verbose", "--quiet", "--help",     "--yes",   "--version"};
    bool onlyWords = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyWords || a.size() < 2 || a[0] != '-') {
            out->words.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyWords = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        // The value of "--opt=value", or of "--opt value".
        auto value = [&](std::string* to) {
            if (eq != std::string::npos) {
                *to = a.substr(eq + 1);
                return true;
            }
            if (i + 1 >= args.size()) {
                *why = name + " needs a value";
                return false;
            }
            *to = args[++i];
            return true;
        };
        if (name == "--sim") {
            out->sim = true;
            if (eq != std::string::npos) out->simFile = a.substr(eq + 1);
        } else if (name == "--cfg") {
            if (!value(&out->cfgPath)) return false;
        } else if (name == "--data-dir") {
            if (!value(&out->dataDir)) return false;
            // An empty value would quietly mean the default folder, not the one meant.
            if (out->dataDir.empty()) {
                *why = "--data-dir needs a folder";
                return false;
            }
        } else if (name == "--model") {
            if (!value(&out->model)) return false;
        } else if (a == "--json") {
            out->json = true;
        } else if (a == "-v" || a == "--verbose") {
            out->verbose = true;
        } else if (a == "-q" || a == "--quiet") {
            out->quiet = true;
        } else if (a == "--help" || a == "-h") {
            out->help = true;
        } else if (a == "--yes" || a == "-y") {
            out->yes = true;
        } else if (a == "--version" || a == "-V") {
            out->version = true;
        } else if (!out->words.empty()) {
            // The command's own options (set light --speed 3).
            out->words.push_back(a);
        } else {
            *why = "unknown option " + a;
            const std::string near = NearestWord(name, kOptions);
            if (!near.empty()) *why += " (did you mean " + near + "?)";
            return false;
        }
    }
    return true;
}

int Run(const std::vector<std::string>& args) {
    Options opt;
    std::string why;
    if (!ParseOptions(args, &opt, &why)) {
        Err(why);
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    // The virtual mouse the window would use, unless the command line names one.
    const std::string simEnv = platform::GetEnv("ZORVAN_SIM");
    if (!opt.sim && !simEnv.empty() && simEnv != "0") {
        opt.sim = true;
        if (simEnv != "1") opt.simFile = simEnv;
    }
    if (!opt.model.empty() && !opt.sim) {
        Err("--model chooses the virtual mouse: give it with --sim");
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    if (opt.version) {
        std::printf("zorvan %s\n", kProgramVersion);
        return kExitDone;
    }
    // "help", "help <command>", "<command> --help": nothing is started.
    std::string helpOf;
    if (!opt.words.empty() && opt.words[0] == "help") {
        if (opt.words.size() == 1) {
            std::fputs(Usage().c_str(), stdout);
            return kExitDone;
        }
        helpOf = opt.words[1];
    } else if (opt.help) {
        if (opt.words.empty()) {
            std::fputs(Usage().c_str(), stdout);
            return kExitDone;
        }
        helpOf = opt.words[0];
    }
    if (!helpOf.empty()) {
        const std::string u = CommandUsage(helpOf);
        if (!u.empty()) {
            std::fputs(u.c_str(), stdout);
            return kExitDone;
        }
    }
    const std::string cmd = helpOf.empty() && !opt.words.empty() ? opt.words[0] : helpOf;
    if (cmd.empty()) {
        Err("no command");
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    // Every command word is checked before anything is started.
    const auto& names = CommandNames();
    if (std::find(names.begin(), names.end(), cmd) == names.end()) {
        const std::string near = NearestWord(cmd, names);
        Err("unknown command \"" + cmd + "\"" +
            (near.empty() ? "" : " (did you mean " + near + "?)"));
        std::fputs(kShortUsage, stderr);
        return kExitUsage;
    }
    if (cmd == "sim" && helpOf.empty()) return RunSimCommand(opt);
    try {
        App app(opt);
        return app.Run();
    } catch (const UsageError& e) {
        Err(e.why + (e.near.empty() ? "" : " (did you mean " + e.near + "?)"));
        std::fputs(CommandUsage(cmd).c_str(), stderr);
        return kExitUsage;
    }
}

}  // namespace cli
