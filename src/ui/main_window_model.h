// What the main window, its battery indicator, the about window and the progress window decide
// without Win32: the device state shown, the timers' decisions, the readiness check before a
// change, the battery picture and text, the progress bar, and the positions of every part of
// the window. The windows ask these functions and the tests pin them natively.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"

// ---- timers -----------------------------------------------------------------------------

constexpr uint32_t POWER_TIMER_ID = 242;
constexpr uint32_t FINDDEV_TIMER_ID = 246;
constexpr uint32_t CHECK_DEV_NUM_TIMER_ID = 249;
constexpr uint32_t DEVFOUND_TIMER_ID = 250;
constexpr uint32_t kPowerTimerMs = 30000;
constexpr uint32_t kCheckDevNumTimerMs = 3000;
constexpr uint32_t kDevFoundTimerMs = 300;
// The battery indicator's own repaint timer while the mouse charges.
constexpr uint32_t kChargeTimerId = 2337;
constexpr uint32_t kChargeTimerMs = 1400;

// Which of the main window's one-shot and repeating timers run, and what each event does to
// them. Every answer "true" means: start (or kill) that timer now.
class MainTimers {
  public:
    // WM_DEV_FOUND: the take-over timer starts unless it already runs, so a burst of messages
    // takes the device over once.
    bool OnDevFound();
    // DEVFOUND_TIMER_ID expired: it is killed first, so a later WM_DEV_FOUND starts it again.
    void OnDevFoundExpired() { m_found = false; }
    // A profile read ended well: the battery poll starts with the first one only.
    bool OnSyncOk();
    bool FoundRunning() const { return m_found; }
    bool PowerRunning() const { return m_power; }

  private:
    bool m_found = false;
    bool m_power = false;
};

// CHECK_DEV_NUM_TIMER_ID expired: true when more than one mouse was accepted, so the program
// shows tc_msg36 and ends.
bool TooManyDevices(int findOkNum);

// A profile notification of the mouse arriving within 4999 ms of a factory-reset request is the
// reset's own and is not answered with a read. `resetTick` 0 means no reset was requested.
bool IsResetNotification(uint32_t now, uint32_t resetTick);

// ---- device state -----------------------------------------------------------------------

enum class MainDeviceState { kNoDevice, kSearching, kFound, kReading, kReady, kApplying };

struct MainDeviceFacts {
    bool hasDevice = false;    // a command handle is current
    bool findTimer = false;    // discovery passes are running
    bool foundTimer = false;   // an accepted mouse waits for its take-over
    bool readRunning = false;  // ReadCurCfgThread works
    bool applying = false;     // the apply thread writes
};
MainDeviceState DeviceStateOf(const MainDeviceFacts& f);
const char* DeviceStateName(MainDeviceState s);

// ---- readiness before a change ----------------------------------------------------------

struct ReadyFacts {
    bool syncDone = true;    // g_bSyncDone: no profile read runs (0 also before the first one)
    bool anyHandle = false;  // some device slot holds a command handle
    bool applyNow = false;
    bool goWithNoDev = false;
};
// The text key shown when a change must not be sent now, "" when it may. `connectStatus` asks
// the mouse (GetConnectStatus) and is called only when the answer depends on it.
std::string ReadyRefusal(const ReadyFacts& f, const std::function<int()>& connectStatus);

// ---- battery ----------------------------------------------------------------------------

// The level picture 1 to 4 for `level` when not charging: the first threshold of `critical`
// the level does not exceed (the fourth threshold is never asked).
int PowerPicture(int level, const std::array<uint8_t, 4>& critical);
// The percentage text under the picture, or nothing, by the ShowPower bits.
std::optional<std::string> PowerText(int showPower, int level, bool charging);
// Whether a reading shows the indicator (it stays hidden when ShowPower has bit 1).
bool PowerShownOnReading(int showPower);
enum class ChargeTimer { kStop, kRun };
// Charging with level 1 means the charge is complete; other charging levels blink.
ChargeTimer ChargeTimerFor(bool charging, int level);

// ---- progress window --------------------------------------------------------------------

class ProgressBar {
  public:
    void SetRange(int minimum, int maximum);
    // A position outside the range becomes the minimum.
    void SetPos(int pos);
    int Pos() const { return m_pos; }
    // Right edge of the bar picture's drawn part for a bar from `barLeft` to `barRight`.
    int FillRight(int barLeft, int barRight) const;

  private:
    int m_min = 0, m_max = 10, m_pos = 0;
};

// ---- keys -------------------------------------------------------------------------------

enum SwallowedKey : uint32_t {
    kKeyEnter = 1,
    kKeyEscape = 2,
    kKeySpace = 4,
    kKeyF1 = 8,
};
constexpr uint32_t kMainWindowKeys = kKeyEnter | kKeyEscape | kKeySpace | kKeyF1;
constexpr uint32_t kAboutKeys = kKeyEscape | kKeySpace | kKeyF1;
constexpr uint32_t kProgressKeys = kKeyEnter | kKeyEscape | kKeySpace;
// Whether a key message (down or up, also the system variants) of `vk` is swallowed.
bool SwallowsKey(uint32_t keys, uint32_t msg, uint32_t vk);

// What a key pressed in the main window does before the focused control sees it.
struct MainKeyAction {
    enum Kind { kNone, kPage, kNextPage, kPreviousPage, kAbout } kind = kNone;
    int navi = 0;  // kPage: the navigation button, 0 to 3 in their order on screen
};
// Ctrl+1 ... Ctrl+4 (also on the number pad) choose a page by its button, Ctrl+Tab and
// Ctrl+Shift+Tab the next and previous one, F1 the about window.
MainKeyAction MainWindowKey(uint32_t vk, bool ctrl, bool shift, bool alt);
// The navigation button `delta` places on from `current` among those shown (round at the
// ends); `current` when none other is shown.
int StepNavi(int current, const bool shown[4], int delta);

// ---- buttons of the window --------------------------------------------------------------

enum class MinimiseAction { kMinimise, kHideToTray, kNothing };
MinimiseAction OnMinimiseButton(int exitType, int trayIcon);
enum class ExitAction { kExit, kHideToTray, kNothing };
ExitAction OnExitButton(int exitType, int trayIcon);
// Whether the tray icon is added (TrayIcon 1 or 3).
bool HasTrayIcon(int trayIcon);

// ---- screen ----------------------------------------------------------------

struct ScreenDecision {
    bool b4K = false;
    bool tooSmall = false;  // wide enough but not high enough: logged
};
ScreenDecision DecideScreen(int workWidth, int workHeight);

// ---- layout -----------------------------------------------------------------------------

// The window's top-left corner: centred on the work area, 10 on an axis where the work area is
// less than 2 pixels larger than the window.
ZvPoint CentreOnWorkArea(int workWidth, int workHeight, int width, int height);

struct MainLayout {
    ZvRect minBtn, exitBtn, helpBtn, langList;
    std::array<ZvRect, 4> navi;       // navi1 to navi4
    std::array<bool, 4> naviShown{};  // navi3 with ShowMacro, navi4 with lighting
    ZvRect homeLink;
    bool homeShown = false;
    ZvRect power;
    ZvRect pages;
};
struct MainLayoutInput {
    ZvPoint ptMin{952, 12}, ptNavi{25, 110}, ptPower{949, 66};
    int naviW = 0;
    bool showMacro = true;
    bool hasLighting = true;
    ZvRect rcHomePageBtn{}, rcSubDlg{};
    bool homeText = false;  // tc_mainweb is not empty
    // The widest battery percentage ("100 %") as the indicator draws it on a normal screen.
    int powerTextWidth = 0;
    bool b4K = false;
};
MainLayout LayoutMainWindow(const MainLayoutInput& in);
// The page-title rectangle in page coordinates.
ZvRect PageTitleRect(bool b4K);

// The background pictures tried in order for the mouse (CID, MID): its own, then the general one.
std::vector<std::string> MainBackgroundPaths(uint32_t cid, uint32_t mid);

// ---- about window -----------------------------------------------------------------------

struct AboutLayout {
    ZvRect a, b, c;
};
AboutLayout LayoutAbout(bool fwverText, bool b4K);
// The firmware line "<tc_fwver> <version as 4 hex digits>", at most 99 characters; nothing
// without the text or without an active mouse.
std::optional<std::string> FirmwareLine(const std::string& fwver, std::optional<uint32_t> version);
