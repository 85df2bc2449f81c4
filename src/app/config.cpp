#include "app/config.h"

#include <cerrno>
#include <cstdlib>

#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/log.h"
#include "base/notice.h"
#include "base/number_text.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "profile/sensor_table.h"

namespace {

constexpr const char* kOpt = "OPT";

struct OptReader {
    const IniFile& ini;
    const NoticeSink& tell;

    // A value that cannot be used, said as it is found; reading goes on.
    void ErrorBox(const std::string& text) const { Notify(tell, {text, "Error"}); }

    int32_t Int(const char* key, int32_t def) const { return ini.GetInt(kOpt, key, def); }
    std::string Text(const char* key, size_t size, const char* def = "") const {
        return ini.GetString(kOpt, key, def, size);
    }
    void Colour(const char* key, uint32_t& out) const {
        std::string v = Text(key, 50);
        if (!v.empty()) out = ParseColour(v);
    }
    void Point(const char* key, ZvPoint& out) const {
        std::string v = Text(key, 50, "\x01");
        if (v == "\x01") return;  // missing key
        auto n = ParseNumberList(v, 10, 3);
        if (n.size() != 2) {
            ErrorBox("Wrong POINT num");
            return;
        }
        out = {static_cast<int32_t>(n[0]), static_cast<int32_t>(n[1])};
    }
    void Rect(const char* key, ZvRect& out) const {
        std::string v = Text(key, 50, "\x01");
        if (v == "\x01") return;
        auto n = ParseNumberList(v, 10, 5);
        if (n.size() != 4) {
            ErrorBox("Wrong rect num");
            return;
        }
        out = {static_cast<int32_t>(n[0]), static_cast<int32_t>(n[1]), static_cast<int32_t>(n[2]),
               static_cast<int32_t>(n[3])};
    }
    // A byte list used whole as its default when missing or without a number.
    template <size_t N>
    void Bytes(const char* key, std::array<uint8_t, N>& out) const {
        auto n = ParseNumberList(Text(key, 260), 10, N);
        if (n.empty()) return;
        out.fill(0);
        for (size_t i = 0; i < n.size(); ++i) out[i] = static_cast<uint8_t>(n[i]);
    }
    void PidList(const char* key, std::array<uint32_t, 10>& out, int32_t& count) const {
        auto n = ParseNumberList(Text(key, 260), 16, out.size());
        out.fill(0);
        for (size_t i = 0; i < n.size(); ++i) out[i] = n[i];
        count = static_cast<int32_t>(n.size());
    }
};

const std::array<std::array<uint8_t, 5>, 7> kLedOptDefaults = {{
    {0, 6, 0, 0, 1},
    {6, 6, 0, 0, 1},
    {8, 10, 0, 0, 0},
    {6, 6, 0, 0, 0},
    {6, 6, 0, 0, 1},
    {6, 6, 0, 0, 0},
    {0, 0, 0, 0, 0},
}};
const std::array<uint32_t, 7> kPresetDefaults = {
    Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(128, 0, 255),
    Rgb(250, 198, 3), Rgb(250, 3, 106), Rgb(250, 0, 250),
};

void ReadOptions(const OptReader& r) {
    AppOptions& o = gVar;
    o.Suwnd = r.Int("Suwnd", 1);
    o.ApplyNow = r.Int("ApplyNow", 0);
    o.BtnTips = r.Int("BtnTips", 0);
    o.MenuItems = r.Int("MenuItems", 13);
    o.TipForDebounce = r.Int("TipForDebounce", 0);
    o.OldAdvDlg = r.Int("OldAdvDlg", 0);
    o.EnhancePrecision = r.Int("EnhancePrecision", 1);
    o.Debounce = r.Int("Debounce", 12);
    o.DebounceRange = r.Int("DebounceRange", 7680);
    o.ShowProfile = r.Int("ShowProfile", 1);
    o.ComboRec = r.Int("ComboRec", 1);
    o.FontSize = r.Int("FontSize", 12);
    o.ShowPower = r.Int("ShowPower", 0);
    o.SyncChangeDpiLevel = r.Int("SyncChangeDpiLevel", 0);
    o.ShowMacro = r.Int("ShowMacro", 1);
    o.MinDelay = r.Int("MinDelay", 10);
    o.MacroDir = r.Int("MacroDir", 0);
    o.MacroOptX = r.Int("MacroOptX", 756);
    o.ListTrans = r.Int("ListTrans", 0);
    o.InsertBefore = r.Int("InsertBefore", 1);
    o.MinUIDelay = r.Int("MinUIDelay", 1);
    o.VID = r.Int("VID", 9639);
    o.TrayIcon = r.Int("TrayIcon", 2);
    o.GoWithNoDev = r.Int("GoWithNoDev", 0);
    o.ExitType = r.Int("ExitType", 0);
    o.ShowSys = r.Int("ShowSys", 1);
    o.ShowProSw = r.Int("ShowProSw", 1);
    o.ShowFireKey = r.Int("ShowFireKey", 1);
    o.KeyMask = r.Int("KeyMask", 0);
    o.UIDebug = r.Int("UIDebug", 0);
    o.ShowFWUpdate = r.Int("ShowFWUpdate", 0);
    o.ShowMotionSync = r.Int("ShowMotionSync", 0);
    o.Retry = r.Int("Retry", 3);
    gVar.nRetry = o.Retry;
    o.ProSwitchEnable = r.Int("ProSwitchEnable", 1);
    o.InitOnReset = r.Int("InitOnReset", 0);
    o.BarY = r.Int("BarY", 3);
    o.DpiBarY = r.Int("DpiBarY", 12);
    o.DpiSliderY = r.Int("DpiSliderY", 3);
    o.ScaleY = r.Int("ScaleY", 4);
    o.SliderY = r.Int("SliderY", 0);
    o.MenuW = r.Int("MenuW", 0);
    o.NaviW = r.Int("NaviW", 0);
    o.RateVSp = r.Int("RateVSp", 67);
    // Kept by older catalogues; read so that they are known, without effect.
    for (const char* k : {"ShowWelcome", "NoMatchPID", "MacroHasMsKey", "Pop", "USBString",
                          "Sensor", "ptApply", "ptProfile", "rcSupprotBtn"})
        (void)r.Text(k, 50);

    r.PidList("PID", o.PID, o.nPIDNum);
    r.PidList("PID2", o.PID2, o.nPID2Num);
    o.FontName = r.Text("FontName", 30);
    o.appdir = r.Text("appdir", 30);
    if (o.appdir.empty()) r.ErrorBox("APPDATA=NULL");
    o.Title = r.Text("Title", 40);

    r.Colour("Txt_clr", o.Txt_clr);
    r.Colour("Btn_txt_clr_nr", o.Btn_txt_clr_nr);
    r.Colour("Btn_txt_clr_ov", o.Btn_txt_clr_ov);
    r.Colour("Btn_txt_clr_dn", o.Btn_txt_clr_dn);
    r.Colour("Menu_txt_clr_nr", o.Menu_txt_clr_nr);
    r.Colour("Menu_txt_clr_ov", o.Menu_txt_clr_ov);
    r.Colour("Menu_txt_clr_dn", o.Menu_txt_clr_dn);
    r.Colour("LstBox_txt_clr_nr", o.LstBox_txt_clr_nr);
    r.Colour("LstBox_txt_clr_dn", o.LstBox_txt_clr_dn);
    r.Colour("LstBox_bkg_clr", o.LstBox_bkg_clr);
    r.Colour("LstBox_item_clr", o.LstBox_item_clr);
    r.Colour("clrEdit", o.clrEdit);
    r.Colour("clrMask", o.clrMask);
    r.Colour("clrDpiMark", o.clrDpiMark);
    r.Colour("clrMaskDialog", o.clrMaskDialog);
    r.Colour("clrLowBkg", o.clrLowBkg);
    o.clrTxtLedDlg = o.Txt_clr;
    o.clrTxtAdvDlg = o.Txt_clr;
    r.Colour("clrTxtLedDlg", o.clrTxtLedDlg);
    r.Colour("clrTxtAdvDlg", o.clrTxtAdvDlg);
    r.Colour("clrMacFrame", o.clrMacFrame);

    r.Rect("rcMacroList", o.rcMacroList);
    r.Rect("rcKeyList", o.rcKeyList);
    r.Rect("rcHomePageBtn", o.rcHomePageBtn);
    r.Rect("rcSys", o.rcSys);
    r.Rect("rcSubDlg", o.rcSubDlg);

    const std::pair<const char*, ZvPoint*> points[] = {
        {"ptMin", &o.ptMin},
        {"ptNavi", &o.ptNavi},
        {"ptKey", &o.ptKey},
        {"ptMoveSpeed", &o.ptMoveSpeed},
        {"ptScrollSpeed", &o.ptScrollSpeed},
        {"ptDbClickSpeed", &o.ptDbClickSpeed},
        {"ptPower", &o.ptPower},
        {"ptDpiBar", &o.ptDpiBar},
        {"ptLedEft", &o.ptLedEft},
        {"ptRecord", &o.ptRecord},
        {"ptDpiEft", &o.ptDpiEft},
        {"ptDpiLight", &o.ptDpiLight},
        {"ptDpiSpeed", &o.ptDpiSpeed},
        {"ptLight", &o.ptLight},
        {"ptSpeed", &o.ptSpeed},
        {"ptGradit", &o.ptGradit},
        {"ptResult", &o.ptResult},
        {"ptRGBEdit", &o.ptRGBEdit},
        {"ptLightOffOnMoving", &o.ptLightOffOnMoving},
        {"ptSleep", &o.ptSleep},
        {"ptGrid", &o.ptGrid},
    };
    for (auto& [key, pt] : points) r.Point(key, *pt);

    r.Bytes("PowerCritical", o.PowerCritical);
    r.Bytes("LEDParam", o.LEDParam);
    for (int i = 0; i < 3; ++i)
        o.ComboName[i] = r.Int(("ComboName" + std::to_string(i + 1)).c_str(), 0);

    for (int i = 0; i < 7; ++i) {
        LedOption& led = o.LedOpt[i];
        led.opt = kLedOptDefaults[i];
        led.presetColor = kPresetDefaults;
        std::string key = "LedOpt" + std::to_string(i + 1);
        std::string v = r.Text(key.c_str(), 260, "\x01");
        if (v == "\x01") continue;
        auto n = ParseNumberList(v, 10, 29);
        led.opt.fill(0);
        for (size_t k = 0; k < n.size() && k < 5; ++k) led.opt[k] = static_cast<uint8_t>(n[k]);
        // Preset colours given as triples replace the defaults in order; a short last triple
        // has zeros for what is missing, and presets not given keep their defaults.
        if (n.size() >= 6) {
            for (size_t c = 0; c < 7 && 5 + 3 * c < n.size(); ++c) {
                uint32_t rgb[3] = {0, 0, 0};
                for (size_t k = 0; k < 3 && 5 + 3 * c + k < n.size(); ++k)
                    rgb[k] = n[5 + 3 * c + k] & 0xFF;
                led.presetColor[c] = Rgb(rgb[0], rgb[1], rgb[2]);
            }
        }
    }

    o.nLangNum = 0;
    for (int i = 0; i < 10; ++i) {
        std::string key = "Lang" + std::to_string(i + 1);
        std::string v = r.Text(key.c_str(), 260, "\x01");
        if (v == "\x01") break;
        size_t comma = v.find(',');
        if (comma == std::string::npos || comma + 1 >= v.size()) {
            r.ErrorBox(key + " is invalidate");
            break;
        }
        o.Lang[i].name = platform::CutToUtf16Units(v.substr(0, comma), 29);
        o.Lang[i].folder = platform::CutToUtf16Units(v.substr(comma + 1), 29);
        if (o.Lang[i].name.empty()) break;
        o.nLangNum = i + 1;
    }
}

}  // namespace

uint32_t ParseColour(std::string_view text) {
    auto n = ParseNumberList(text, 10, 3);
    uint32_t c[3] = {0, 0, 0};
    for (size_t i = 0; i < n.size(); ++i) c[i] = n[i] & 0xFF;
    return Rgb(c[0], c[1], c[2]);
}

std::vector<std::string> ConfigurationProblems() {
    const std::string path = gVar.szAppDir + "cfg.ini";
    const IniFile ini = IniFile::Load(path);
    std::vector<std::string> out;
    auto check = [&](const std::string& section) {
        for (const std::string& key : ini.KeyNames(section)) {
            const std::string v = ini.GetString(section, key, "", 30);
            // A leading number of more than 32 bits: the system's reading keeps its low bits,
            // so KM=4294967298 would count as 2.
            size_t at = v.find_first_not_of(" \t");
            if (at == std::string::npos) continue;
            bool minus = false;
            if (v[at] == '+' || v[at] == '-') minus = v[at++] == '-';
            int base = 10;
            if (at + 1 < v.size() && v[at] == '0' && (v[at + 1] == 'x' || v[at + 1] == 'X')) {
                base = 16;
                at += 2;
            }
            const DigitRun run = ReadDigits(v, at, base);
            if (run.digits > 0 &&
                (run.overflow || run.value > (minus ? 0x80000000ull : 0xFFFFFFFFull)))
                out.push_back("[" + section + "] " + key + "=" + v + " is out of range");
        }
    };
    check(kOpt);
    for (int n = 1; n <= kDeviceSections; ++n) check("DEV_" + std::to_string(n));
    const int32_t retry = ini.GetInt(kOpt, "Retry", 3);
    if (retry < 1 || retry > 100)
        out.push_back("[OPT] Retry=" + std::to_string(retry) +
                      " must be from 1 to 100: every command to the mouse is tried that often");
    bool mouse = false;
    for (const SensorCfg& c : gVar.SensorCfgs) mouse = mouse || c.Sensor != 0;
    if (!mouse) out.push_back("no mouse is listed: no [DEV_n] section has a Sensor");
    return out;
}

int LoadConfiguration(const NoticeSink& tell) {
    static_cast<AppOptions&>(gVar) = AppOptions{};
    static_cast<CatalogueState&>(gVar) = CatalogueState{};
    std::string path = gVar.szAppDir + "cfg.ini";
    IniFile ini = IniFile::Load(path);
    OptReader r{ini, tell};

    gVar.Setp200_3325 = r.Int("3325Setp200", 0);
    gVar.Sensor9000Max = r.Int("Sensor9000Max", 12000);
    gVar.Sensor3395Max = r.Int("Sensor3395Max", 32000);
    BuildSensorTables();

    // The log starts right after its level is known, so every later step can log.
    gVar.nDebug = r.Int("Debug", 0);
    LogInit();
    ReadOptions(r);

    if (!LoadDeviceSections(ini, tell)) return 0;
    LoadDefaultKeys();

    gVar.nMinDelay = gVar.MinDelay;
    gVar.nMaxHdMacroBytes = 384;
    gVar.nMaxDelay = 65535;
    gVar.nMaxMacroEvents = 70;
    return 1;
}
