// The device as the main window sees it, without the window: taking over an accepted mouse,
// reading its current profile in a worker, following the mouse's own notifications and the
// system's device arrivals and removals, the battery, the readiness check before a change, the
// factory reset and the saving at exit. The Win32 main window and the command-line tool both
// drive it; what needs a screen goes through SessionUi.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/options.h"
#include "base/notice.h"
#include "device/usb_driver.h"
#include "macro/macro_list.h"
#include "platform/window.h"
#include "profile/catalogue_state.h"
#include "profile/profile_state.h"

class MacroPageLink;

constexpr uint32_t WM_SYNC_OK = 0x437;
constexpr uint32_t FINDDEV_TIMER_MS = 1500;

// What the session asks of the program that drives it. The session shows nothing itself: what
// it says and asks goes to whoever drives it (the window's boxes, the command line's lines), so
// those three have no default. The rest default to a program without pages.
class SessionUi {
  public:
    virtual ~SessionUi() = default;
    virtual void ShowText(const std::string& text) = 0;
    // What the core found, as the box `owner` would own (0: none); called on the thread that
    // found it (the apply thread, the profile reader).
    virtual void Tell(const Notice& n, platform::WindowHandle owner) = 0;
    // The factory-reset question; true to go on.
    virtual bool Confirm(const std::string& text) = 0;
    // The catalogue's entry in use is the mouse in use now: the window takes its skin and the
    // pages lay themselves out for it.
    virtual void LayoutForDevice() {}
    // The pages show the current profile anew (after a read, a layout, a reset).
    virtual void ShowProfile() {}
    // The mouse changed something by itself.
    virtual void DeviceChanged(DevBehaviorKind /*kind*/) {}
    // A waiting message tied to the end of the current profile read.
    virtual void ShowWaiting() {}
    virtual void ShowPower(int /*level*/, int /*charging*/) {}
    virtual void HidePower() {}
    // The progress window of the factory reset, run until the apply thread closes it.
    virtual void RunProgress() {}
    // Whether RunProgress shows a window the apply thread should wait for; a terminal has none,
    // so the reset is written at once.
    virtual bool ShowsProgress() const { return true; }
    // Whether the window is visible (the mouse is told when the configuration is shown).
    virtual bool Visible() const { return false; }
};

// The parts of the program's state a session works on, handed in by whoever starts it: the
// profiles in memory, the catalogue (the entry in use), the options read at start-up and the
// macro library the mouse's macros are read into and written from.
struct SessionState {
    ProfileMonitor& profile;
    const CatalogueState& catalogue;
    const AppOptions& options;
    MacroList& macros;
};

class DeviceSession {
  public:
    // `wnd` receives WM_SYNC_OK; 0 when nobody listens.
    DeviceSession(SessionUi& ui, const SessionState& state, platform::WindowHandle wnd = 0);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    CUSBDriver& Usb() { return m_usb; }

    // Starts the apply thread with this session's driver.
    void StartApply();
    // Ends the workers: the apply thread, profile reads, discovery and service threads.
    void Shutdown();

    // One discovery pass (the number of receivers being identified).
    int FindDevices();
    // Waits up to `ms` for discovery to accept a mouse; the slot, or -1.
    int WaitForDevice(uint32_t ms);
    // WM_DEV_FOUND's timer expired: takes the accepted device over and starts reading it.
    // false when no slot is active.
    bool OnFindDeviceOK();
    // Takes the accepted device over for a change whose record stands alone, without reading
    // the whole profile: the cached record of the mouse's current profile becomes current, so
    // only the changed record goes over the link. `cached` says whether that record came from
    // the cache (else it holds defaults and must not be saved as the mouse's). false when no
    // slot is active or the mouse does not say which profile it is on.
    bool TakeOverWithoutRead(bool* cached);
    // The layout's data steps for the device in use: cached profiles and the current level.
    void RefreshLayout();
    // The current profile's DPI level count as the mouse holds it, read back into the profile
    // (a profile taken over from the cache may hold an older count); false, with the profile
    // unchanged, when the mouse does not answer or answers with no count of levels.
    bool RefreshLevelCount();

    // The macro page whose tree shows the macros a profile read finds in the mouse; null for
    // none. Set before the first read and kept until Shutdown.
    void SetMacroPage(MacroPageLink* page) { m_macroPage = page; }
    // Starts ReadCurCfgThread.
    void StartRead();
    // Waits for the end of the profile read running or last started; false on time-out.
    bool WaitSync(uint32_t ms);
    // Whether the last finished read succeeded.
    bool LastReadOk() const { return m_lastReadOk.load(); }
    void OnSyncOk();

    void OnDeviceBehavior(uintptr_t value, intptr_t kind);
    // A system device arrival or removal for `path`. Returns true when the caller should run
    // the discovery timer (FINDDEV_TIMER_MS) now.
    bool OnDeviceChange(bool arrival, const std::string& path);
    // The discovery timer expired: one pass. true when the timer should stop.
    bool OnFindTimer();
    int RetryFind() const { return m_nRetryFind; }
    bool FindTimerRunning() const { return m_findTimer; }
    // A profile read was started and has not ended yet.
    bool ReadRunning();

    // 1 when a change may be sent now, else the reason is shown and 0 comes back.
    int CheckDeviceReady();
    void GetPower();
    // The factory reset: 1 when the request was placed.
    int ResetToDefaults();
    // Tells the mouse the driver leaves and saves the profiles and the device in use.
    void OnExit();

    // The tick of the last reset request (notifications within 5 s of it are the reset's).
    uint32_t ResetTickCount() const { return m_nResetTickCount; }

  private:
    void ReadCurCfgThread(std::shared_ptr<std::atomic<bool>> done);

    SessionUi& m_ui;
    ProfileMonitor& m_profile;
    const CatalogueState& m_catalogue;
    const AppOptions& m_options;
    MacroList& m_macros;
    platform::WindowHandle m_wnd;
    CUSBDriver m_usb;
    std::atomic<int> m_abortRead{0};
    struct ReadWorker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex m_readThreadsLock;
    std::vector<ReadWorker> m_readThreads;
    // The sync event: reads started and finished, so a waiter knows its read has ended.
    std::mutex m_syncLock;
    std::condition_variable m_syncCv;
    uint64_t m_readsStarted = 0;
    uint64_t m_readsDone = 0;
    std::atomic<bool> m_lastReadOk{false};
    // The apply thread's failed writes when the mouse was last read: more at exit means the
    // record holds changes the mouse may not have, which the cache must not claim.
    std::atomic<uint64_t> m_failedWritesAtRead{0};
    int m_nRetryFind = 0;
    bool m_findTimer = false;
    uint32_t m_nResetTickCount = 0;
    bool m_applyStarted = false;
    std::atomic<MacroPageLink*> m_macroPage{nullptr};
};

// The process-wide configuration-read lock: one profile read at a time.
std::mutex& ConfigReadLock();
