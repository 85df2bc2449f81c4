#include "cli/cli_app.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "app/language_texts.h"
#include "app/log.h"
#include "app/startup.h"
#include "cli/cli_args.h"
#include "device/discovery.h"
#include "macro/macro_file.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "macro/orphan_macros.h"
#include "macro/safe_file_name.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_cache.h"
#include "profile/profile_transfer.h"
#include "profile/sensor_table.h"
#include "sim/virtual_receiver.h"
#include "cli/cli_sim.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/device_session.h"
#include "ui/lighting_model.h"
#include "ui/page_change.h"
#include "ui/performance_model.h"
#include "ui/profiles_model.h"

namespace cli {

namespace {

constexpr uint32_t kFindMs = 4000;     // discovery until a mouse is accepted
constexpr uint32_t kReadMs = 60000;    // one profile read, with room for a slow link
constexpr uint32_t kApplyMs = 120000;  // everything placed with the apply thread

using Words = std::vector<std::string>;

struct UsageError {
    std::string why;
};

void Err(const std::string& line) {
    std::fprintf(stderr, "zorvan: %s\n", line.c_str());
}

// The session's messages are lines on standard error; the command itself is the user's yes.
class CliUi : public SessionUi {
  public:
    void ShowText(const std::string& text) override { Err(text); }
    bool Confirm(const std::string&) override { return true; }
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
    if (!v) throw UsageError{std::string(what) + " must be on or off"};
    return *v;
}

uint32_t SensorId() {
    return gVar.pSensorCfg ? static_cast<uint32_t>(gVar.pSensorCfg->Sensor) : 0;
}

// The file of a macro at the root of the macro folder.
std::string RootFilePathOf(const StMacro& m) {
    return platform::JoinPath(MacroRootFolder(), MakeSafeFileName(MacroNameUtf8(m)) + ".qzm");
}

class App {
  public:
    explicit App(Options o) : m_opt(std::move(o)), m_session(m_ui) {}
    ~App() { m_session.Shutdown(); }

    int Run();

  private:
    int Prepare();
    int Connect(bool readProfile);
    int Finish(int code);
    // Changes the current profile through a page model and has the apply thread write it. The
    // command is the user's own "apply now", so the request is placed whatever ApplyNow says.
    // `unchanged` is shown when the model changed nothing.
    int Change(const std::function<PageChange(ProfileFile&, int32_t&)>& edit,
               const std::string& unchanged = "the mouse does not take this value");
    int WaitWrites();

    int List();
    int Info();
    int Show();
    int Set(const Words& w);
    int SetLight(const Words& w);
    int Button(const Words& w);
    int Profile(const Words& w);
    int Reset();
    int Macro(const Words& w);
    int Eeprom(const Words& w);

    Options m_opt;
    CliUi m_ui;
    DeviceSession m_session;
    std::shared_ptr<sim::VirtualReceiver> m_sim;
    int m_slot = -1;
    bool m_profileRead = false;
    uint64_t m_failedBefore = 0;
};

int App::Prepare() {
    std::string cfg = m_opt.cfgPath;
    if (cfg.empty())
        cfg = platform::JoinPath(platform::DirectoryOf(platform::GetExecutablePath()), "cfg.ini");
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
    if (m_opt.verbose) {
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([](const std::string& s) { std::fprintf(stderr, "%s\n", s.c_str()); });
    }
    LoadDefaultTexts(gVar.szAppDir);
    ApplyTitle();
    if (!m_opt.dataDir.empty()) {
        gVar.szAppDataDir = m_opt.dataDir;
        if (gVar.szAppDataDir.back() != platform::PathSeparator())
            gVar.szAppDataDir += platform::PathSeparator();
        if (!platform::DirectoryExists(gVar.szAppDataDir))
            platform::MakeDirectory(gVar.szAppDataDir);
    } else {
        PrepareAppDataDir();
    }
    platform::SetMessageBoxHook(
        [](const std::string& text, const std::string& caption, uint32_t flags) {
            Err(caption.empty() || caption == gVar.szTitle ? text : caption + ": " + text);
            return (flags & 0x0F) == platform::kMbYesNo ? platform::kIdYes : platform::kIdOk;
        });
    if (m_opt.sim) {
        sim::ReceiverConfig rc;
        rc.vid = static_cast<uint32_t>(gVar.VID) & 0xFFFF;
        if (gVar.PID[0]) rc.pid = gVar.PID[0];
        sim::FirstCatalogueMouse(cfg, &rc.cid, &rc.mid);
        rc.statePath = m_opt.simFile.empty() ? gVar.szAppDataDir + "sim.bin" : m_opt.simFile;
        auto backend = std::make_shared<sim::VirtualBackend>();
        m_sim = backend->AddReceiver(rc);
        std::string why;
        if (!m_sim->LoadState(&why)) {
            Err("the virtual mouse's state " + rc.statePath + " cannot be used: " + why);
            return kExitUsage;
        }
        platform::SetHidBackend(backend);
    }
    LoadCID();
    LoadMacroFolder(MacroRootFolder(), nullptr, 0, false, true);
    m_session.StartApply();
    m_failedBefore = GetApplyCounts().failed;
    return kExitDone;
}

int App::Connect(bool readProfile) {
    m_session.FindDevices();
    m_slot = m_session.WaitForDevice(kFindMs);
    if (m_slot < 0) {
        Err(GetText("tc_msg15").empty() ? "no receiver or mouse found" : GetText("tc_msg15"));
        return kExitNoDevice;
    }
    if (!readProfile) {
        TakeOverDevice(&m_session.Usb(), m_slot);
        return kExitDone;
    }
    if (!m_session.OnFindDeviceOK()) return kExitNoDevice;
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        Err("the mouse's settings could not be read");
        return kExitFailed;
    }
    m_profileRead = true;
    return kExitDone;
}

int App::WaitWrites() {
    if (!WaitApplyDone(kApplyMs)) {
        Err("writing to the mouse did not finish");
        return kExitFailed;
    }
    return GetApplyCounts().failed != m_failedBefore ? kExitFailed : kExitDone;
}

int App::Finish(int code) {
    const int writes = WaitWrites();
    if (code == kExitDone) code = writes;
    // Only a profile read from the mouse goes into the cache; a raw memory command leaves the
    // cache as it was.
    if (m_profileRead) m_session.OnExit();
    SaveMacroDict();
    return code;
}

int App::Change(const std::function<PageChange(ProfileFile&, int32_t&)>& edit,
                const std::string& unchanged) {
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    const PageChange c = EditCurrentProfile(edit, true);
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
    char buf[512];
    if (m_opt.json) {
        std::snprintf(buf, sizeof buf,
                      "{\"model\":\"DEV_%d\",\"sensor\":\"%04x\",\"cid\":\"%02x\",\"mid\":\"%02x\","
                      "\"firmware\":\"%04x\",\"battery\":%d,\"charging\":%s,\"profile\":%d}\n",
                      index, SensorId(), s.CID, s.MID, s.version, power ? level : -1,
                      power && charging ? "true" : "false", profile >= 0 ? profile + 1 : -1);
    } else {
        std::snprintf(buf, sizeof buf,
                      "model: DEV_%d (sensor %04x, %d buttons)\nCID: %02x\nMID: %02x\n"
                      "firmware: %04x\nbattery: %s\ncharging: %s\nonboard profile: %s\n",
                      index, SensorId(), gVar.pSensorCfg ? gVar.pSensorCfg->nKeyNum : 0, s.CID,
                      s.MID, s.version, power ? (std::to_string(level) + "%").c_str() : "unknown",
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
            char fun[16];
            std::snprintf(fun, sizeof fun, "0x%08x", k.dwFunID);
            o << (b ? "," : "") << "{\"button\":" << b + 1 << ",\"function\":\"" << fun
              << "\",\"caption\":" << JsonString(GetKeyFunctionText(k)) << "}";
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
        o << "profile " << index + 1 << ": " << p.Name() << "\nbuttons:\n";
        for (int b = 0; b < cfg.nKeyNum; ++b)
            o << "  " << b + 1 << "  " << GetKeyFunctionText(p.keys[set][b]) << "\n";
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
    if (int r = Connect(true)) return r;
    const SensorCfg& cfg = *gVar.pSensorCfg;
    if (what == "rate") {
        const int64_t hz = Number(w, 2, 125, 1000, "rate");
        int button = -1;
        for (int k = 0; k < kRateButtons; ++k)
            if (RateHzOfCode(RateCodeOfButton(k)) == hz) button = k;
        if (button < 0) throw UsageError{"rate must be 125, 250, 500 or 1000"};
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t&) { return SetRateButton(p, button); });
    }
    if (what == "dpi") {
        const int level = static_cast<int>(Number(w, 2, 1, cfg.DM, "level"));
        const std::string& v = Word(w, 3, "DPI value");
        const size_t colon = v.find(':');
        auto x = ParseNumber(v.substr(0, colon), 1, 100000);
        auto y = colon == std::string::npos ? x : ParseNumber(v.substr(colon + 1), 1, 100000);
        if (!x || !y) throw UsageError{"DPI value must be <x> or <x>:<y>"};
        NoMoreWords(w, 4);
        const SensorTable* table = FindSensorTable(SensorId());
        if (!SnapTypedDpi(table, *x) || !SnapTypedDpi(table, *y)) {
            Err("no DPI value of this mouse's sensor is near " + v);
            return kExitFailed;
        }
        return Change([&](ProfileFile& p, int32_t&) {
            if (*y != *x && !p.bSeparateXY)
                return Refused("this profile keeps one DPI value per level: give one value");
            PageChange c = TypeDpiValue(p, table, level - 1, false, *x);
            if (p.bSeparateXY) c = TypeDpiValue(p, table, level - 1, true, *y);
            return c;
        });
    }
    if (what == "dpi-count") {
        const int n = static_cast<int>(Number(w, 2, 1, cfg.DM, "level count"));
        NoMoreWords(w, 3);
        // The command changes the count alone (dpi-level chooses the level in use); the level
        // in use still moves to the first when it would fall outside the new count.
        return Change(
            [&](ProfileFile& p, int32_t& cur) { return SetLevelCount(p, cur, n, cfg.DM, false); });
    }
    if (what == "dpi-level") {
        int32_t count;
        {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            count = gVar.pFile ? gVar.pFile->nDpiLevels : 1;
        }
        const int n = static_cast<int>(Number(w, 2, 1, std::max(count, 1), "level"));
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, n - 1); });
    }
    if (what == "dpi-color") {
        const int level = static_cast<int>(Number(w, 2, 1, cfg.DM, "level"));
        auto c = ParseColour(Word(w, 3, "colour"));
        if (!c) throw UsageError{"colour must be #rrggbb"};
        NoMoreWords(w, 4);
        return Change([&](ProfileFile& p, int32_t&) { return SetDpiColour(p, level - 1, *c); });
    }
    if (what == "lod") {
        const int button = static_cast<int>(Number(w, 2, 1, 2, "lod"));
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t&) { return SetLiftOff(p, button); });
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
        return Change([&](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, which, on); });
    }
    if (what == "sensor-mode") {
        const std::string& m = Word(w, 2, "sensor mode");
        if (m != "hp" && m != "lp") throw UsageError{"sensor mode must be hp or lp"};
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t&) { return SetSensorMode(p, m == "hp"); });
    }
    if (what == "debounce") {
        const IntRange range = DebounceRange(gVar.DebounceRange);
        const int32_t ms = static_cast<int32_t>(Number(w, 2, range.lo, range.hi, "debounce"));
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t&) { return SetDebounce(p, ms, range); });
    }
    if (what == "sleep") {
        const int32_t s = static_cast<int32_t>(Number(w, 2, 0, 100000, "sleep"));
        NoMoreWords(w, 3);
        const std::vector<SleepItem> items = SleepItems(cfg);
        if (std::none_of(items.begin(), items.end(),
                         [s](const SleepItem& i) { return i.seconds == s; })) {
            std::string offered;
            for (const SleepItem& i : items) offered += " " + std::to_string(i.seconds);
            throw UsageError{"sleep must be one of these seconds:" + offered};
        }
        return Change([&](ProfileFile& p, int32_t&) { return SetSleepTime(p, cfg, s); });
    }
    if (what == "auto-sleep") {
        const auto v = AutoSleepValueOfSeconds(Number(w, 2, 0, 100000, "auto-sleep"));
        NoMoreWords(w, 3);
        if (!v) {
            std::string offered;
            for (int32_t t : kAutoSleepTable) offered += " " + std::to_string(AutoSleepSeconds(t));
            throw UsageError{"auto sleep must be one of these seconds:" + offered};
        }
        return Change([&](ProfileFile& p, int32_t&) { return SetAutoSleep(p, *v); });
    }
    if (what == "light-off-moving") {
        const bool on = OnOff(w, 2, "light-off-moving") != 0;
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p, int32_t&) { return SetLightOffOnMoving(p, on); });
    }
    throw UsageError{"unknown setting \"" + what + "\""};
}

int App::SetLight(const Words& w) {
    const std::string& zone = Word(w, 2, "lighting (main, logo or dpi)");
    const std::vector<NamedValue>* names = zone == "main"   ? &MainModeNames()
                                           : zone == "logo" ? &LogoModeNames()
                                           : zone == "dpi"  ? &DpiLightModeNames()
                                                            : nullptr;
    if (!names) throw UsageError{"lighting must be main, logo or dpi"};
    auto mode = LookUp(*names, Word(w, 3, "mode"));
    if (!mode) throw UsageError{"unknown " + zone + " lighting mode \"" + w[3] + "\""};
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
    if (int r = Connect(true)) return r;
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
                if (colour) SetLightColour(p, cfg, *colour);
            }
            return Request(kApplyLighting, bit);
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
        const auto count = static_cast<uint8_t>(Number(w, 3, 1, 255, "count"));
        const auto interval = static_cast<uint8_t>(Number(w, 4, 1, 255, "interval"));
        make = [=](const SensorCfg&) { return FireKey(count, interval); };
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
        if (!m) throw UsageError{"unknown media key \"" + w[3] + "\""};
        make = [=](const SensorCfg& cfg) { return chosen(*m, cfg); };
        used = 4;
    } else if (fun == "sniper") {
        const int64_t dpi = Number(w, 3, 1, 100000, "DPI");
        make = [dpi](const SensorCfg& cfg) -> std::optional<KeyInfo> {
            const auto sensor = static_cast<uint32_t>(cfg.Sensor);
            const int idx = IndexOfDpi(sensor, SnapTypedDpi(FindSensorTable(sensor), dpi));
            if (idx < 0)
                throw UsageError{"this mouse's sensor has no DPI value near " +
                                 std::to_string(dpi)};
            return SniperKey(idx);
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
    } else {
        throw UsageError{"unknown function \"" + fun + "\""};
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
    if (!gVar.ApplyNow) RequestApply(kApplyKeys, static_cast<uint32_t>(n - 1));
    return kExitDone;
}

// ---- profiles, reset --------------------------------------------------------------------

int App::Profile(const Words& w) {
    const std::string& what = Word(w, 1, "profile command");
    if (what == "switch") {
        const int n = static_cast<int>(Number(w, 2, 1, 4, "profile"));
        NoMoreWords(w, 3);
        if (int r = Connect(true)) return r;
        if (!m_session.CheckDeviceReady()) return kExitFailed;
        if (SwitchProfile(m_session.Usb(), n - 1) != 1) {
            Err("the mouse did not switch its profile");
            return kExitFailed;
        }
        // The window would follow the mouse's notification; here the new profile is read now.
        m_session.StartRead();
        if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
            Err("the mouse's settings could not be read");
            return kExitFailed;
        }
        return kExitDone;
    }
    if (what == "export" || what == "import") {
        const std::string& file = Word(w, 2, "file");
        NoMoreWords(w, 3);
        if (int r = Connect(true)) return r;
        if (what == "export") return ExportProfile(file) ? kExitDone : kExitFailed;
        if (!m_session.CheckDeviceReady()) return kExitFailed;
        return ImportProfile(file) ? kExitDone : kExitFailed;
    }
    throw UsageError{"unknown profile command \"" + what + "\""};
}

int App::Reset() {
    if (int r = Connect(true)) return r;
    if (!m_session.ResetToDefaults()) return kExitFailed;
    if (int r = WaitWrites()) return r;
    // The mouse holds its factory settings now; read them so the cache follows.
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        Err("the mouse's settings could not be read");
        return kExitFailed;
    }
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
                std::printf("%s  (%d events)\n", name.c_str(), CountMacroEvents(all[i]));
        }
        if (m_opt.json) std::fputs("]\n", stdout);
        return kExitDone;
    }
    if (what == "show") {
        const std::string& name = Word(w, 2, "macro name");
        NoMoreWords(w, 3);
        auto m = g_MacroList.FindMacroByNameUtf8(name);
        if (!m) throw UsageError{"no macro named \"" + name + "\""};
        const int n = CountMacroEvents(*m);
        std::printf("%s: %d events, %s\n", MacroNameUtf8(*m).c_str(), n,
                    m->LoopMode == 2 ? "repeats while held"
                    : m->LoopMode == 1
                        ? "repeats until pressed again"
                        : ("plays " + std::to_string(m->repeatCount) + " times").c_str());
        for (int i = 0; i < n; ++i) {
            const MacroEvent e = m->events[i];
            if (e.flags & kMacroEventMove)
                std::printf("  move %d,%d", static_cast<int8_t>(e.code & 0xFF),
                            static_cast<int8_t>((e.code >> 8) & 0xFF));
            else
                std::printf("  %s 0x%02x", (e.flags & kMacroEventDown) ? "down" : "up  ",
                            e.code & 0xFF);
            std::printf("  then %u ms\n", e.delay);
        }
        return kExitDone;
    }
    if (what == "import") {
        const std::string& file = Word(w, 2, "file");
        NoMoreWords(w, 3);
        auto m = ReadMacroFile(file);
        if (!m) {
            Err("not a macro file: " + file);
            return kExitFailed;
        }
        const std::string name = MacroNameUtf8(*m);
        if (!IsSafeFileName(name)) {
            Err("the macro's name cannot be a file name: " + name);
            return kExitFailed;
        }
        if (g_MacroList.FindMacroByNameUtf8(name)) {
            Err("a macro named \"" + name + "\" exists already");
            return kExitFailed;
        }
        if (g_MacroList.Contains(m->id)) m->id = NewMacroId();
        m->flags &= ~kMacroChanged;
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(*m, bytes);
        if (!MyCreateFile(RootFilePathOf(*m), bytes, sizeof bytes) ||
            !g_MacroList.AddMacroToList(*m)) {
            Err("the macro could not be stored: " + name);
            return kExitFailed;
        }
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
        if (!platform::WriteFileAtomic(file, bytes, sizeof bytes)) {
            Err("cannot write " + file);
            return kExitFailed;
        }
        return kExitDone;
    }
    if (what == "delete") {
        const std::string& name = Word(w, 2, "macro name");
        NoMoreWords(w, 3);
        if (!g_MacroList.FindMacroByNameUtf8(name))
            throw UsageError{"no macro named \"" + name + "\""};
        // The mouse is read first: a macro it holds would otherwise come back into the
        // library with that reading.
        const bool haveMouse = Connect(true) == kExitDone;
        auto m = g_MacroList.FindMacroByNameUtf8(name);
        if (!m) return kExitFailed;
        const std::string path = RootFilePathOf(*m);
        uint32_t err = 0;
        if (platform::FileExists(path) && !platform::RemoveFile(path, &err)) {
            Err("cannot delete " + path);
            return kExitFailed;
        }
        g_MacroList.RemoveMacroFromList(m->id);
        // Buttons that played it go back to their defaults, in the mouse too. Without a mouse
        // the cached profiles keep the id until the next reading repairs them.
        if (haveMouse) {
            bool changed;
            {
                std::lock_guard<std::mutex> lock(ProfileDataLock());
                changed = FixOrphanMacros();
            }
            if (changed) RequestApply(kApplyKeys, kAllItems);
        }
        return kExitDone;
    }
    throw UsageError{"unknown macro command \"" + what + "\""};
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
        throw UsageError{"unknown eeprom command \"" + what + "\""};
    }
    if (int r = Connect(false)) return r;
    CUSBDriver& usb = m_session.Usb();
    if (what == "write")
        return usb.WriteEEPROM(10, static_cast<int>(bytes.size()), static_cast<uint32_t>(addr),
                               bytes.data())
                   ? kExitDone
                   : kExitFailed;
    bytes.assign(static_cast<size_t>(len), 0);
    for (int64_t done = 0; done < len; done += 10) {
        const int n = static_cast<int>(std::min<int64_t>(10, len - done));
        if (!usb.ReadEEPROM(static_cast<uint32_t>(addr + done), bytes.data() + done, n)) {
            Err("the mouse did not answer the read at " + std::to_string(addr + done));
            return kExitFailed;
        }
    }
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
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
    if (w.empty()) throw UsageError{"no command"};
    const std::string& cmd = w[0];
    // Every command word is checked before anything is started.
    static const char* const kCommands[] = {"list",    "info",  "show",  "set",   "button",
                                            "profile", "reset", "macro", "eeprom"};
    if (std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const char* c) { return cmd == c; }) == std::end(kCommands))
        throw UsageError{"unknown command \"" + cmd + "\""};
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
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') break;
        if (a == "--sim") {
            out->sim = true;
        } else if (a.rfind("--sim=", 0) == 0) {
            out->sim = true;
            out->simFile = a.substr(6);
        } else if (a == "--cfg" || a == "--data-dir") {
            if (i + 1 >= args.size()) {
                *why = a + " needs a value";
                return false;
            }
            (a == "--cfg" ? out->cfgPath : out->dataDir) = args[++i];
        } else if (a == "--json") {
            out->json = true;
        } else if (a == "-v" || a == "--verbose") {
            out->verbose = true;
        } else if (a == "--help" || a == "-h") {
            out->help = true;
        } else {
            *why = "unknown option " + a;
            return false;
        }
    }
    out->words.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return true;
}

int Run(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::fputs(Usage().c_str(), stdout);
        return kExitDone;
    }
    Options opt;
    std::string why;
    if (!ParseOptions(args, &opt, &why)) {
        Err(why);
        std::fputs(Usage().c_str(), stderr);
        return kExitUsage;
    }
    if (opt.help) {
        std::fputs(Usage().c_str(), stdout);
        return kExitDone;
    }
    if (!opt.words.empty() && opt.words[0] == "sim") return RunSimCommand(opt);
    try {
        App app(opt);
        return app.Run();
    } catch (const UsageError& e) {
        Err(e.why);
        std::fputs(Usage().c_str(), stderr);
        return kExitUsage;
    }
}

}  // namespace cli
