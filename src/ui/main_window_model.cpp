#include "ui/main_window_model.h"

#include <cstdio>

#include "controls/skin_paths.h"

namespace {
constexpr uint32_t kWmKeyDown = 0x100, kWmKeyUp = 0x101, kWmSysKeyDown = 0x104, kWmSysKeyUp = 0x105;

ZvRect Doubled(const ZvRect& r) {
    return {r.left * 2, r.top * 2, r.right * 2, r.bottom * 2};
}
ZvRect At(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}
}  // namespace

bool MainTimers::OnDevFound() {
    if (m_found) return false;
    m_found = true;
    return true;
}

bool MainTimers::OnSyncOk() {
    if (m_power) return false;
    m_power = true;
    return true;
}

bool TooManyDevices(int findOkNum) {
    return findOkNum > 1;
}

bool IsResetNotification(uint32_t now, uint32_t resetTick) {
    // Unsigned difference: right across the tick counter's wrap.
    return resetTick != 0 && now - resetTick <= 4999;
}

MainDeviceState DeviceStateOf(const MainDeviceFacts& f) {
    if (f.foundTimer) return MainDeviceState::kFound;
    if (f.readRunning) return MainDeviceState::kReading;
    if (f.hasDevice) return f.applying ? MainDeviceState::kApplying : MainDeviceState::kReady;
    if (f.findTimer) return MainDeviceState::kSearching;
    return MainDeviceState::kNoDevice;
}

const char* DeviceStateName(MainDeviceState s) {
    switch (s) {
        case MainDeviceState::kNoDevice:
            return "no device";
        case MainDeviceState::kSearching:
            return "searching";
        case MainDeviceState::kFound:
            return "found";
        case MainDeviceState::kReading:
            return "reading";
        case MainDeviceState::kReady:
            return "ready";
        case MainDeviceState::kApplying:
            return "applying";
    }
    return "";
}

std::string ReadyRefusal(const ReadyFacts& f, const std::function<int()>& connectStatus) {
    // Before any mouse was ever read the flag is 0 as well; without a device that is not a read
    // in progress, and the user is told what is really missing: the mouse.
    if (!f.syncDone && f.anyHandle) return "tc_adv_str15";
    if (f.anyHandle) {
        // Only an immediate write needs the mouse awake now; without ApplyNow the change waits.
        if (f.applyNow && !f.goWithNoDev && (!connectStatus || connectStatus() != 1))
            return "tc_msg10";
        return "";
    }
    return f.goWithNoDev ? "" : "tc_msg15";
}

int PowerPicture(int level, const std::array<uint8_t, 4>& critical) {
    for (int i = 0; i < 3; ++i)
        if (level <= critical[static_cast<size_t>(i)]) return i + 1;
    return 4;
}

std::optional<std::string> PowerText(int showPower, int level, bool charging) {
    const bool always = (showPower & 4) != 0;
    const bool byState = (showPower & 1) == 0 && (!charging || level == 100);
    if (!always && !byState) return std::nullopt;
    return std::to_string(level) + " %";
}

bool PowerShownOnReading(int showPower) {
    return (showPower & 2) == 0;
}

ChargeTimer ChargeTimerFor(bool charging, int level) {
    return charging && level != 1 ? ChargeTimer::kRun : ChargeTimer::kStop;
}

void ProgressBar::SetRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
    SetPos(m_pos);
}

void ProgressBar::SetPos(int pos) {
    m_pos = pos >= m_min && pos <= m_max ? pos : m_min;
}

int ProgressBar::FillRight(int barLeft, int barRight) const {
    // An empty range would divide by zero: the bar then stays empty.
    if (m_max <= m_min) return barLeft;
    return barLeft + static_cast<int>(static_cast<int64_t>(m_pos - m_min) * (barRight - barLeft) /
                                      (m_max - m_min));
}

MainKeyAction MainWindowKey(uint32_t vk, bool ctrl, bool shift, bool alt) {
    constexpr uint32_t kTab = 0x09, kF1 = 0x70, kDigit1 = 0x31, kNumPad1 = 0x61;
    MainKeyAction a;
    if (alt) return a;
    if (vk == kF1 && !ctrl && !shift) {
        a.kind = MainKeyAction::kAbout;
    } else if (ctrl && vk == kTab) {
        a.kind = shift ? MainKeyAction::kPreviousPage : MainKeyAction::kNextPage;
    } else if (ctrl && !shift && vk >= kDigit1 && vk < kDigit1 + 4) {
        a.kind = MainKeyAction::kPage;
        a.navi = static_cast<int>(vk - kDigit1);
    } else if (ctrl && !shift && vk >= kNumPad1 && vk < kNumPad1 + 4) {
        a.kind = MainKeyAction::kPage;
        a.navi = static_cast<int>(vk - kNumPad1);
    }
    return a;
}

int StepNavi(int current, const bool shown[4], int delta) {
    for (int k = 1; k <= 4; ++k) {
        const int to = ((current + delta * k) % 4 + 4) % 4;
        if (shown[to]) return to;
    }
    return current;
}

bool SwallowsKey(uint32_t keys, uint32_t msg, uint32_t vk) {
    if (msg != kWmKeyDown && msg != kWmKeyUp && msg != kWmSysKeyDown && msg != kWmSysKeyUp)
        return false;
    switch (vk) {
        case 0x0D:
            return (keys & kKeyEnter) != 0;
        case 0x1B:
            return (keys & kKeyEscape) != 0;
        case 0x20:
            return (keys & kKeySpace) != 0;
        case 0x70:
            return (keys & kKeyF1) != 0;
        default:
            return false;
    }
}

bool HasTrayIcon(int trayIcon) {
    return trayIcon == 1 || trayIcon == 3;
}

MinimiseAction OnMinimiseButton(int exitType, int trayIcon) {
    if (exitType != 0) return MinimiseAction::kMinimise;
    return HasTrayIcon(trayIcon) ? MinimiseAction::kHideToTray : MinimiseAction::kNothing;
}

ExitAction OnExitButton(int exitType, int trayIcon) {
    if (exitType == 0) return ExitAction::kExit;
    return HasTrayIcon(trayIcon) ? ExitAction::kHideToTray : ExitAction::kNothing;
}

ScreenDecision DecideScreen(int workWidth, int workHeight) {
    ScreenDecision d;
    if (workWidth < 3500) return d;
    if (workHeight - 50 > 1400)
        d.b4K = true;
    else
        d.tooSmall = true;
    return d;
}

ZvPoint CentreOnWorkArea(int workWidth, int workHeight, int width, int height) {
    ZvPoint p;
    p.x = workWidth - width < 2 ? 10 : (workWidth - width) / 2;
    p.y = workHeight - height < 2 ? 10 : (workHeight - height) / 2;
    return p;
}

MainLayout LayoutMainWindow(const MainLayoutInput& in) {
    MainLayout l;
    const int mx = in.ptMin.x, my = in.ptMin.y;
    l.minBtn = At(mx, my, 25, 25);
    l.exitBtn = At(mx + 25 + 3, my, 25, 25);
    l.helpBtn = At(mx - 3 - 25, my, 25, 25);
    l.langList = {mx - 161, my - 2, mx - 50, my + 28};

    // Zero or less: the skin's standard buttons with gaps between them.
    const int w = in.naviW > 0 ? in.naviW : 60;
    const int step = in.naviW > 0 ? in.naviW : 64;
    l.naviShown = {true, true, in.showMacro, in.hasLighting};
    int x = in.ptNavi.x;
    for (size_t i = 0; i < 4; ++i) {
        l.navi[i] = At(x, in.ptNavi.y, w, 49);
        if (l.naviShown[i]) x += step;
    }

    const ZvRect& hp = in.rcHomePageBtn;
    if (hp.right > hp.left) {
        l.homeLink = hp;
        l.homeShown = true;
    } else {
        l.homeLink = {25, 672, 155, 690};
        l.homeShown = in.homeText;
    }
    l.power = At(in.ptPower.x, in.ptPower.y, 37, 43);
    // A percentage wider than the battery picture gets its whole place: the indicator grows
    // evenly about the picture's centre (the text was cut at both ends). The picture, drawn in
    // the middle, stays where it was (an odd pixel goes to the right).
    if (const int grow = in.powerTextWidth + 2 - 37; grow > 0) {
        l.power.left -= grow / 2;
        l.power.right += (grow + 1) / 2;
    }
    const ZvRect& sub = in.rcSubDlg;
    l.pages = sub.right > sub.left && sub.bottom > sub.top ? sub : ZvRect{1, 160, 1019, 699};

    if (in.b4K) {
        // The link lies over a picture of the skin (its logo), which moves with the skin.
        for (ZvRect* r :
             {&l.minBtn, &l.exitBtn, &l.helpBtn, &l.langList, &l.power, &l.pages, &l.homeLink})
            *r = Doubled(*r);
        for (ZvRect& r : l.navi) r = Doubled(r);
    }
    return l;
}

ZvRect PageTitleRect(bool b4K) {
    // Tall enough for the bold title font, centred where the titles have always been.
    ZvRect r{43, 18, 343, 42};
    return b4K ? Doubled(r) : r;
}

std::vector<std::string> MainBackgroundPaths(uint32_t cid, uint32_t mid) {
    std::vector<std::string> out;
    if (cid != 0 && mid != 0)
        out.push_back(
            DeviceSkinPath(static_cast<uint8_t>(cid), static_cast<uint8_t>(mid), "key_nr.png"));
    out.push_back(SkinPath("key_nr.png"));
    return out;
}

AboutLayout LayoutAbout(bool fwverText, bool b4K) {
    AboutLayout l;
    // The heading sits in the title band, above the band's rule (y 38), like a dialog's title.
    l.a = {12, 9, 390, 29};
    l.b = fwverText ? ZvRect{60, 60, 420, 80} : ZvRect{60, 70, 420, 90};
    const int h = l.b.bottom - l.b.top;
    l.c = {l.b.left, l.b.bottom, l.b.right, l.b.bottom + h};
    if (b4K) {
        l.a = Doubled(l.a);
        l.b = Doubled(l.b);
        l.c = Doubled(l.c);
    }
    return l;
}

std::optional<std::string> FirmwareLine(const std::string& fwver, std::optional<uint32_t> version) {
    if (fwver.empty() || !version) return std::nullopt;
    char buf[100];
    std::snprintf(buf, sizeof buf, "%s %04x", fwver.c_str(), *version);
    return std::string(buf);
}
