#include "cli/cli_app.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "app/startup.h"
#include "cli/cli_args.h"
#include "device/discovery.h"
#include "device/report_rate.h"
#include "macro/macro_file.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "profile/orphan_macros.h"
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
#include "ui/button_assignment.h"
#include "ui/device_session.h"

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

// The sensor's nearest value to a DPI asked for.
uint32_t SnapDpi(uint32_t dpi) {
    const SensorTable* t = FindSensorTable(SensorId());
    if (!t || t->count == 0) return dpi;
    uint32_t best = t->dpi[0];
    for (uint32_t i = 0; i < t->count; ++i) {
        const uint32_t v = t->dpi[i];
        const uint32_t d = v > dpi ? v - dpi : dpi - v;
        const uint32_t bd = best > dpi ? best - dpi : dpi - best;
        if (d < bd) best = v;
    }
    return best;
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
    // Changes the current profile under the profile lock and has the apply thread write it.
    int Change(const std::function<void(ProfileFile&)>& edit, uint32_t flag, uint32_t data);
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

int App::Change(const std::function<void(ProfileFile&)>& edit, uint32_t flag, uint32_t data) {
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return kExitFailed;
        edit(*gVar.pFile);
    }
    RequestApply(flag, data);
    return kExitDone;
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
    const ReportRate* knownRate = RateOfCode(p.nRate);
    const std::string rate = knownRate ? std::to_string(knownRate->hz) : "unknown";
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
          << ",\"sleep\":" << p.nSleepTime << ",\"auto_sleep\":" << p.nAutoSleep * 10
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
          << " ms\nsleep: " << p.nSleepTime << " s\nauto sleep: " << p.nAutoSleep * 10
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
        const ReportRate* rate = RateOfHz(hz);
        if (!rate) throw UsageError{"rate must be 125, 250, 500 or 1000"};
        NoMoreWords(w, 3);
        return Change([&](ProfileFile& p) { p.nRate = rate->code; }, kApplyRate, 0);
    }
    if (what == "dpi") {
        const int level = static_cast<int>(Number(w, 2, 1, cfg.DM, "level"));
        const std::string& v = Word(w, 3, "DPI value");
        const size_t colon = v.find(':');
        auto x = ParseNumber(v.substr(0, colon), 1, 100000);
        auto y = colon == std::string::npos ? x : ParseNumber(v.substr(colon + 1), 1, 100000);
        if (!x || !y) throw UsageError{"DPI value must be <x> or <x>:<y>"};
        NoMoreWords(w, 4);
        const uint32_t sx = SnapDpi(static_cast<uint32_t>(*x));
        const uint32_t sy = SnapDpi(static_cast<uint32_t>(*y));
        return Change(
            [&](ProfileFile& p) {
                p.dpi[level - 1].x = sx;
                p.dpi[level - 1].y = sy;
            },
            kApplyDpi, static_cast<uint32_t>(level - 1));
    }
    if (what == "dpi-count") {
        const int n = static_cast<int>(Number(w, 2, 1, cfg.DM, "level count"));
        NoMoreWords(w, 3);
        uint32_t flags = kApplyLevelCount;
        {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            // The current level must stay one of the levels in use.
            if (gVar.g_nCurDpiLevel >= n) {
                gVar.g_nCurDpiLevel = 0;
                flags |= kApplyCurLevel;
            }
        }
        return Change(
            [&](ProfileFile& p) {
                p.nDpiLevels = n;
                for (int i = 0; i < kDpiLevels; ++i) p.dpi[i].unused = i >= n ? 1 : 0;
            },
            flags, 0);
    }
    if (what == "dpi-level") {
        int32_t count;
        {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            count = gVar.pFile ? gVar.pFile->nDpiLevels : 1;
        }
        const int n = static_cast<int>(Number(w, 2, 1, std::max(count, 1), "level"));
        NoMoreWords(w, 3);
        if (!m_session.CheckDeviceReady()) return kExitFailed;
        {
            std::lock_guard<std::mutex> lock(ProfileDataLock());
            gVar.g_nCurDpiLevel = n - 1;
        }
        RequestApply(kApplyCurLevel, 0);
        return kExitDone;
    }
    if (what == "dpi-color") {
        const int level = static_cast<int>(Number(w, 2, 1, cfg.DM, "level"));
        auto c = ParseColour(Word(w, 3, "colour"));
        if (!c) throw UsageError{"colour must be #rrggbb"};
        NoMoreWords(w, 4);
        return Change([&](ProfileFile& p) { p.dpi[level - 1].colour = *c; }, kApplyDpiColours,
                      static_cast<uint32_t>(level - 1));
    }
    struct Single {
        const char* name;
        uint32_t flag;
        int32_t ProfileFile::*field;
        int kind;  // 0 on/off, 1 number, 2 hp/lp, 3 lod
        int64_t lo, hi;
        int scale;  // stored value = given / scale
    } singles[] = {
        {"lod", kApplyLod, &ProfileFile::nLod, 3, 1, 2, 1},
        {"ripple", kApplyRipple, &ProfileFile::nRipple, 0, 0, 1, 1},
        {"angle-snap", kApplyAngleSnap, &ProfileFile::nFixLine, 0, 0, 1, 1},
        {"motion-sync", kApplyMotionSync, &ProfileFile::nMotionSync, 0, 0, 1, 1},
        {"sensor-mode", kApplySensorMode, &ProfileFile::nSensorMode, 2, 0, 1, 1},
        {"debounce", kApplyDebounce, &ProfileFile::nDebounce, 1, 0, 255, 1},
        {"sleep", kApplySleep, &ProfileFile::nSleepTime, 1, 0, 2550, 1},
        {"auto-sleep", kApplyAutoSleep, &ProfileFile::nAutoSleep, 1, 0, 2550, 10},
        {"light-off-moving", kApplyLightOffMoving, &ProfileFile::nLightOffOnMoving, 0, 0, 1, 1},
    };
    for (const Single& s : singles) {
        if (what != s.name) continue;
        int64_t v;
        if (s.kind == 0) {
            v = OnOff(w, 2, s.name);
        } else if (s.kind == 2) {
            const std::string& m = Word(w, 2, "sensor mode");
            if (m != "hp" && m != "lp") throw UsageError{"sensor mode must be hp or lp"};
            v = m == "hp" ? 1 : 0;
        } else {
            v = Number(w, 2, s.lo, s.hi, s.name);
        }
        NoMoreWords(w, 3);
        if (s.flag == kApplySleep && v % 10 != 0)
            throw UsageError{"sleep is kept in steps of 10 seconds"};
        if (s.flag == kApplyAutoSleep && v % 10 != 0)
            throw UsageError{"auto sleep is kept in steps of 10 seconds"};
        const int32_t stored = static_cast<int32_t>(v / s.scale);
        return Change([&](ProfileFile& p) { p.*(s.field) = stored; }, s.flag, 0);
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
    std::optional<int64_t> bright, speed;
    std::optional<uint32_t> colour;
    for (size_t i = 4; i < w.size(); i += 2) {
        if (w[i] == "--brightness")
            bright = Number(w, i + 1, 1, 10, "brightness");
        else if (w[i] == "--speed")
            speed = Number(w, i + 1, 1, zone == "logo" ? 5 : 10, "speed");
        else if (w[i] == "--color" || w[i] == "--colour") {
            colour = ParseColour(Word(w, i + 1, "colour"));
            if (!colour) throw UsageError{"colour must be #rrggbb"};
        } else
            throw UsageError{"unexpected \"" + w[i] + "\""};
    }
    if (int r = Connect(true)) return r;
    const SensorCfg& cfg = *gVar.pSensorCfg;
    const bool has = zone == "main"   ? cfg.ShowMainEffect
                     : zone == "logo" ? cfg.ShowLogoEffect
                                      : cfg.ShowDpiLED;
    if (!has) {
        Err("this mouse has no " + zone + " lighting");
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    // The mouse may hold its lighting while it shows something of its own.
    platform::Sleep(10);
    int blocked = 0;
    if (m_session.Usb().LightingGuardQuery(&blocked) == 1 && blocked) {
        Err(GetText("tc_adv_str29"));
        return kExitFailed;
    }
    const uint32_t bit = zone == "main" ? 0x02 : zone == "logo" ? 0x01 : 0x04;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return kExitFailed;
        ProfileFile& p = *gVar.pFile;
        if (zone == "dpi") {
            p.nDpiLightMode = static_cast<int32_t>(*mode);
            if (bright) p.nDpiLightBright = static_cast<int32_t>(*bright);
            if (speed) p.nDpiLightSpeed = static_cast<int32_t>(*speed);
        } else {
            LightBlock& l = zone == "main" ? p.mainLight : p.logoLight;
            l.mode = *mode;
            if (bright) l.brightness = static_cast<uint32_t>(*bright);
            if (speed) l.speed = static_cast<uint32_t>(*speed);
            if (colour) l.colour = *colour;
            if (l.brightness < 1) l.brightness = 1;
            if (l.speed < 1) l.speed = 1;
        }
    }
    RequestApply(kApplyLighting, bit);
    return kExitDone;
}

// ---- buttons ----------------------------------------------------------------------------

int App::Button(const Words& w) {
    const int n = static_cast<int>(Number(w, 1, 1, kKeysPerSet, "button"));
    const std::string& fun = Word(w, 2, "function");
    KeyInfo k;
    size_t used = 3;
    if (auto simple = LookUp(ButtonFunctionNames(), fun)) {
        k.dwFunID = *simple;
    } else if (fun == "fire") {
        const int64_t count = Number(w, 3, 1, 255, "count");
        const int64_t interval = Number(w, 4, 1, 255, "interval");
        k.dwFunID = 0x080000A4;
        k.dwParameter = static_cast<uint32_t>(count | (interval << 8));
        used = 5;
    } else if (fun == "combo") {
        std::string why;
        auto c = ParseCombo(Word(w, 3, "combination"), &why);
        if (!c) throw UsageError{why};
        k.dwFunID = c->modifiers ? 0x020000A1 : 0x020000A0;
        k.stCombo = {c->modifiers, c->keys[0], c->keys[1], c->keys[2]};
        used = 4;
    } else if (fun == "media") {
        auto m = LookUp(MediaNames(), Word(w, 3, "media key"));
        if (!m) throw UsageError{"unknown media key \"" + w[3] + "\""};
        k.dwFunID = *m;
        used = 4;
    } else if (fun == "sniper") {
        const uint32_t dpi = SnapDpi(static_cast<uint32_t>(Number(w, 3, 1, 100000, "DPI")));
        const int idx = IndexOfDpi(SensorId(), dpi);
        if (idx < 0) throw UsageError{"this mouse's sensor has no DPI values"};
        k.dwFunID = 0x080000A6;
        k.dwParameter = static_cast<uint32_t>(idx);
        used = 4;
    } else if (fun == "macro") {
        auto m = g_MacroList.FindMacroByNameUtf8(Word(w, 3, "macro name"));
        if (!m) throw UsageError{"no macro named \"" + w[3] + "\""};
        k.dwFunID = 0x05000000;
        k.dwMacroID = m->id;
        used = 4;
    } else if (fun == "extra") {
        const int64_t j = Number(w, 3, 1, 3, "extra key");
        used = 4;
        NoMoreWords(w, used);
        auto e = KeyInfoFromMenuValue(0x0B000000 + static_cast<uint32_t>(j - 1));
        if (!e) return kExitUsage;
        k = *e;
    } else {
        throw UsageError{"unknown function \"" + fun + "\""};
    }
    NoMoreWords(w, used);
    if (int r = Connect(true)) return r;
    if (n > gVar.pSensorCfg->nKeyNum)
        throw UsageError{"this mouse has " + std::to_string(gVar.pSensorCfg->nKeyNum) + " buttons"};
    if (gVar.KeyMask & (1 << (n - 1))) {
        Err("button " + std::to_string(n) + " cannot be changed");
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (SetKeyFunction(n - 1, k) != 1) return kExitFailed;
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
        if (m_session.Usb().SetCurProfile(n - 1) != 1) {
            LogPrintf("SetCurProfile Err");
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
