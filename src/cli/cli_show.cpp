#include "cli/cli_command.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

#include "app/device_catalogue.h"
#include "base/ini_file.h"
#include "base/printable_text.h"
#include "cli/cli_args.h"
#include "device/discovery.h"
#include "device/report_rate.h"
#include "macro/macro_list.h"
#include "profile/key_function.h"
#include "profile/sensor_table.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "cli/cli_profile_json.h"
#include "ui/device_session.h"
#include "ui/lighting_model.h"
#include "ui/performance_model.h"

namespace cli {

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

// ---- list, info, show -------------------------------------------------------------------

int App::List(const Words& w) {
    NoMoreWords(w, 1);
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

int App::Info(const Words& w) {
    NoMoreWords(w, 1);
    if (int r = Connect(false)) return r;
    DeviceSlot s = GetDeviceSlot(m_slot);
    CUSBDriver& usb = m_session.Usb();
    int level = -1, charging = 0;
    const bool power = usb.GetPower(&level, &charging) == 1;
    const int profile = usb.GetCurProfile();
    int index = 0;
    for (int i = 0; i < kDeviceSections; ++i)
        if (&m_catalogue.SensorCfgs[i] == m_catalogue.pSensorCfg) index = i + 1;
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
                      m_catalogue.pSensorCfg ? m_catalogue.pSensorCfg->nKeyNum : 0, s.CID, s.MID,
                      s.version, power ? (std::to_string(level) + "%").c_str() : "unknown",
                      power ? (charging ? "yes" : "no") : "unknown",
                      profile >= 0 ? std::to_string(profile + 1).c_str() : "unknown");
    }
    std::fputs(buf, stdout);
    return kExitDone;
}

int App::Show(const Words& w) {
    NoMoreWords(w, 1);
    if (int r = Connect(true)) return r;
    ProfileFile p;
    int32_t cur = 0;
    int index = 0;
    const bool current = m_profile.Read([&](const ProfileState& s) {
        if (!s.pFile) return false;
        p = *s.pFile;
        cur = s.g_nCurDpiLevel;
        index = static_cast<int>(s.pFile - s.ProfileList.data());
        return true;
    });
    if (!current) return kExitFailed;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
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
        o << WriteJson(ProfileJson(p, cur, index + 1, cfg, m_macros)) << "\n";
    } else {
        o << "profile " << index + 1 << ": " << PrintableText(p.Name()) << "\nbuttons:\n";
        for (int b = 0; b < cfg.nKeyNum; ++b)
            o << "  " << b + 1 << "  "
              << PrintableText(GetKeyFunctionText(p.keys[set][b], m_macros)) << "\n";
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

}  // namespace cli
