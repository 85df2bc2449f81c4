#include "ui/device_session.h"

#include <chrono>

#include "base/language_texts.h"
#include "base/log.h"
#include "device/discovery.h"
#include "device/eeprom_map.h"
#include "device/report_rate.h"
#include "device/reports.h"
#include "device/transport.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_cache.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "ui/main_window_model.h"

namespace {
std::mutex g_configReadLock;
constexpr uint32_t kErrDeviceNotConnected = 1167;
}  // namespace

std::mutex& ConfigReadLock() {
    return g_configReadLock;
}

DeviceSession::DeviceSession(SessionUi& ui, const SessionState& state, platform::WindowHandle wnd)
    : m_ui(ui),
      m_profile(state.profile),
      m_catalogue(state.catalogue),
      m_options(state.options),
      m_macros(state.macros),
      m_wnd(wnd) {}

DeviceSession::~DeviceSession() {
    Shutdown();
}

void DeviceSession::StartApply() {
    if (m_applyStarted) return;
    // The apply thread's failures are the window's: their boxes belong to it.
    StartApplyThread(&m_usb, m_macros, [this](const Notice& n) { m_ui.Tell(n, m_wnd); });
    m_applyStarted = true;
}

void DeviceSession::Shutdown() {
    m_abortRead = 1;
    std::vector<ReadWorker> reads;
    {
        std::lock_guard<std::mutex> lock(m_readThreadsLock);
        reads.swap(m_readThreads);
    }
    for (ReadWorker& r : reads)
        if (r.thread.joinable()) r.thread.join();
    if (m_applyStarted) {
        StopApplyThread();
        m_applyStarted = false;
    }
    ClearThread();
    m_usb.DropHandles();
}

int DeviceSession::FindDevices() {
    int n = FindDev();
    LogPrintf("nDevNum=%d", n);
    return n;
}

int DeviceSession::WaitForDevice(uint32_t ms) {
    const uint32_t start = platform::GetTickCount();
    for (;;) {
        for (int i = 0; i < kMaxDeviceSlots; ++i)
            if (GetDeviceSlot(i).bActive) return i;
        if (platform::GetTickCount() - start >= ms) return -1;
        platform::Sleep(10);
    }
}

bool DeviceSession::OnFindDeviceOK() {
    int slot = -1;
    DeviceSlot s;
    for (int i = 0; i < kMaxDeviceSlots && slot < 0; ++i) {
        s = GetDeviceSlot(i);
        if (s.bActive) slot = i;
    }
    if (slot < 0) return false;
    LogPrintf("OnFindDeviceOK: cid=%x,mid=%x,pid=%04x", s.CID, s.MID, s.PID);
    if (!TakeOverDevice(&m_usb, slot)) return false;
    RefreshLayout();
    if (m_ui.Visible()) m_usb.TellDrvStatus(1);
    StartRead();
    m_ui.ShowWaiting();
    return true;
}

bool DeviceSession::TakeOverWithoutRead(bool* cached) {
    int slot = -1;
    for (int i = 0; i < kMaxDeviceSlots && slot < 0; ++i)
        if (GetDeviceSlot(i).bActive) slot = i;
    if (slot < 0 || !TakeOverDevice(&m_usb, slot)) return false;
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    *cached = cfg && platform::FileExists(ProfileCachePath(*cfg));
    RefreshLayout();
    const int index = m_usb.GetCurProfile();
    const bool current = m_profile.Edit([index](ProfileState& s) {
        if (index < 0 || static_cast<size_t>(index) >= s.ProfileList.size()) return false;
        s.pFile = &s.ProfileList[static_cast<size_t>(index)];
        return true;
    });
    if (!current) return false;
    // Nothing is being read, so a change may be placed at once.
    g_bSyncDone = 1;
    return true;
}

void DeviceSession::RefreshLayout() {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (cfg) LogPrintf("RefreshLayout for 0x%x, cid=%x,mid=%x", cfg->Sensor, cfg->CID, cfg->MID);
    // The cache loads into the program's profile list, the state behind the monitor: it runs
    // with the monitor's lock held so nobody sees a list half loaded.
    m_profile.Edit([](ProfileState& s) { LoadPro(s); });
    m_ui.LayoutForDevice();
    uint8_t b[2] = {};
    int level = m_usb.CmdHandle() && m_usb.ReadEEPROM(eeprom::kCurLevel, b, 2) ? b[0] : -1;
    m_profile.Edit([level](ProfileState& s) { s.g_nCurDpiLevel = level; });
    m_ui.ShowProfile();
}

bool DeviceSession::RefreshLevelCount() {
    uint8_t b[2] = {};
    if (!m_usb.CmdHandle() || !m_usb.ReadEEPROM(eeprom::kLevelCount, b, 2) ||
        CheckByte(b, 1) != b[1] || b[0] < 1 || b[0] > kDpiLevels)
        return false;
    return m_profile.EditCurrent(
        [count = b[0]](ProfileFile& f, int32_t&) { f.nDpiLevels = count; });
}

void DeviceSession::StartRead() {
    {
        std::lock_guard<std::mutex> lock(m_syncLock);
        ++m_readsStarted;
    }
    std::lock_guard<std::mutex> lock(m_readThreadsLock);
    // Reads that have ended are joined here so the list does not grow with every notification.
    for (auto it = m_readThreads.begin(); it != m_readThreads.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = m_readThreads.erase(it);
        } else {
            ++it;
        }
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_readThreads.push_back({std::thread([this, done] { ReadCurCfgThread(done); }), done});
}

bool DeviceSession::WaitSync(uint32_t ms) {
    std::unique_lock<std::mutex> lock(m_syncLock);
    const uint64_t target = m_readsStarted;
    return m_syncCv.wait_for(lock, std::chrono::milliseconds(ms),
                             [&] { return m_readsDone >= target; });
}

void DeviceSession::ReadCurCfgThread(std::shared_ptr<std::atomic<bool>> done) {
    LogPrintf("ReadCurCfgThread Start");
    // A read still running stops at its next EEPROM read; this one then takes over.
    m_abortRead = 1;
    std::unique_lock<std::mutex> configLock(g_configReadLock);
    g_bSyncDone = 0;
    m_abortRead = 0;
    bool ok = false;
    int index = m_usb.GetCurProfile();
    LogPrintf("Mouse profile is %d", index);
    std::optional<ProfileFile> work;
    if (index >= 0 && index <= 3) {
        work = m_profile.Read([index](const ProfileState& s) -> std::optional<ProfileFile> {
            if (static_cast<size_t>(index) >= s.ProfileList.size()) return std::nullopt;
            return s.ProfileList[static_cast<size_t>(index)];
        });
    }
    if (work && GetProfile(&m_usb, *work, m_macros, &m_abortRead, m_macroPage.load(),
                           [this](const Notice& n) { m_ui.Tell(n, 0); })) {
        LogPrintf("Init Pro OK");
        // The record read goes in, becomes current and is cached in one step, so the apply
        // thread never copies a record between the two.
        ok = m_profile.Edit([&](ProfileState& s) {
            if (static_cast<size_t>(index) >= s.ProfileList.size()) return false;
            s.ProfileList[static_cast<size_t>(index)] = *work;
            s.pFile = &s.ProfileList[static_cast<size_t>(index)];
            s.pFileRead = true;
            if (m_catalogue.pSensorCfg) SavePro(s);
            m_failedWritesAtRead = GetApplyCounts().failed;
            return true;
        });
        if (ok) platform::PostWindowMessage(m_wnd, WM_SYNC_OK, 0, 0);
    }
    m_lastReadOk = ok;
    g_bSyncDone = 1;
    {
        std::lock_guard<std::mutex> lock(m_syncLock);
        ++m_readsDone;
    }
    m_syncCv.notify_all();
    configLock.unlock();
    LogPrintf("ReadCurCfgThread Exit");
    *done = true;
}

void DeviceSession::OnSyncOk() {
    LogPrintf("OnSyncOk");
    m_ui.ShowProfile();
    GetPower();
}

void DeviceSession::GetPower() {
    if (!m_usb.CmdHandle()) return;
    int level = 0, charging = 0;
    if (!m_usb.GetPower(&level, &charging)) return;
    LogPrintf("GetPower: nPower=0x%x, bCharging=0x%x", level, charging);
    if (level > 100) return;
    m_ui.ShowPower(level, charging ? 1 : 0);
}

void DeviceSession::OnDeviceBehavior(uintptr_t value, intptr_t kind) {
    LogPrintf("OnDeviceBehavior  Buffer= %x %x %x, nPopByte1=%d, lParam=%d",
              static_cast<unsigned>(value & 0xFF), 0, 0, 0, static_cast<int>(kind));
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    const bool haveFile = m_profile.Read([](const ProfileState& s) { return s.pFile != nullptr; });
    if (!haveFile || !cfg || !m_usb.CmdHandle()) {
        LogPrintf("return.  pFile=0x%x, pSensorCfg=0x%x", haveFile ? 1u : 0u, cfg ? 1u : 0u);
        return;
    }
    switch (kind) {
        case kBehaviorDpiLevel:
            if (value < static_cast<uintptr_t>(cfg->DM)) {
                m_profile.Edit(
                    [value](ProfileState& s) { s.g_nCurDpiLevel = static_cast<int32_t>(value); });
                m_ui.DeviceChanged(kBehaviorDpiLevel);
            }
            break;
        case kBehaviorRate: {
            if (const ReportRate* rate = RateOfInterval(static_cast<uint32_t>(value)))
                m_profile.EditCurrent([rate](ProfileFile& f, int32_t&) { f.nRate = rate->code; });
            m_ui.DeviceChanged(kBehaviorRate);
            break;
        }
        case kBehaviorProfile: {
            const uint32_t now = platform::GetTickCount();
            const uint32_t sub = now - m_nResetTickCount;
            LogPrintf("nTick= %d, m_nResetTickCount= %d, nSub=%d", now, m_nResetTickCount, sub);
            if (IsResetNotification(now, m_nResetTickCount)) {
                LogPrintf("this is reset notify, do not process");
                break;
            }
            StartRead();
            m_ui.ShowWaiting();
            break;
        }
        case kBehaviorMainLight:
        case kBehaviorLogoLight:
        case kBehaviorDpiLight: {
            const bool main = kind == kBehaviorMainLight, logo = kind == kBehaviorLogoLight;
            const bool has = main   ? cfg->ShowMainEffect
                             : logo ? cfg->ShowLogoEffect
                                    : cfg->ShowDpiLED;
            if (!has) break;
            platform::Sleep(10);
            uint8_t b[10] = {};
            const uint32_t addr = main   ? eeprom::kMainLight
                                  : logo ? eeprom::kLogo
                                         : eeprom::kDpiLight;
            const int n = main ? 8 : logo ? 10 : 6;
            if (!m_usb.ReadEEPROM(addr, b, n)) break;
            const bool stored = m_profile.EditCurrent([&](ProfileFile& f, int32_t&) {
                if (main)
                    EEPROM_To_MainRGB(b, f.mainLight);
                else if (logo)
                    EEPROM_To_LogoRGB(b, f.logoLight);
                else
                    EEPROM_To_DpiLight(b, f);
            });
            if (!stored) break;
            m_ui.DeviceChanged(static_cast<DevBehaviorKind>(kind));
            break;
        }
        default:
            break;
    }
}

bool DeviceSession::OnDeviceChange(bool arrival, const std::string& path) {
    if (!DeviceChangeConcernsUs(path)) return false;
    if (arrival) {
        LogPrintf("Device IN");
        m_nRetryFind = 5;
    } else {
        LogPrintf("Device OUT");
        if (platform::HidHandle h = m_usb.CmdHandle()) {
            platform::Sleep(600);
            platform::HidAttributes attr;
            uint32_t err = 0;
            if (h->GetAttributes(&attr, &err)) {
                LogPrintf("OnDeviceChange: GetDevVersion, nVer=0x%x", attr.version);
                return false;
            }
            LogPrintf("OnDeviceChange: GetVersionNumber, Err=0x%x", err);
            if (err == kErrDeviceNotConnected) {
                m_nRetryFind = 1;
                ClearHandle(&m_usb);
                m_ui.HidePower();
            }
        }
    }
    if (m_findTimer || m_nRetryFind <= 0) return false;
    LogPrintf("SetTimer FINDDEV_TIMER_ID, m_nRetryFind=%d", m_nRetryFind);
    m_findTimer = true;
    return true;
}

bool DeviceSession::OnFindTimer() {
    --m_nRetryFind;
    int n = FindDev();
    LogPrintf("OnTimer: FindHIDDevice=%d", n);
    if (n > 0 || m_nRetryFind <= 0) {
        m_findTimer = false;
        m_nRetryFind = 0;
        return true;
    }
    return false;
}

int DeviceSession::CheckDeviceReady() {
    ReadyFacts f;
    f.syncDone = g_bSyncDone.load() != 0;
    for (int i = 0; i < kMaxDeviceSlots; ++i)
        if (GetDeviceSlot(i).m_hCmd) f.anyHandle = true;
    f.applyNow = m_options.ApplyNow != 0;
    f.goWithNoDev = m_options.GoWithNoDev != 0;
    const std::string refusal = ReadyRefusal(f, [this] { return m_usb.GetConnectStatus(); });
    if (refusal.empty()) return 1;
    m_ui.ShowText(GetText(refusal));
    return 0;
}

bool DeviceSession::ReadRunning() {
    std::lock_guard<std::mutex> lock(m_syncLock);
    return m_readsDone < m_readsStarted;
}

int DeviceSession::ResetToDefaults() {
    if (!m_usb.CmdHandle() && !m_options.GoWithNoDev) {
        m_ui.ShowText(GetText("tc_msg15"));
        return 0;
    }
    if (g_bSyncDone.load() == 0) {
        m_ui.ShowText(GetText("tc_adv_str15"));
        return 0;
    }
    if (!CheckDeviceReady()) return 0;
    if (!m_ui.Confirm(GetText("tc_msg5"))) return 0;
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    m_profile.Edit([cfg](ProfileState& s) {
        if (s.pFile) ResetProfileSettings(*s.pFile);
        if (cfg) s.g_nCurDpiLevel = cfg->DEFLEVEL;
    });
    m_ui.ShowProfile();
    m_nResetTickCount = platform::GetTickCount();
    // A tick count of 0 would read as "never reset".
    if (m_nResetTickCount == 0) m_nResetTickCount = 1;
    if (m_ui.ShowsProgress()) {
        RequestApplyWithProgress(kApplyReset);
        m_ui.RunProgress();
    } else {
        RequestApply(kApplyReset, kAllItems);
    }
    return 1;
}

void DeviceSession::OnExit() {
    LogPrintf("OnExit");
    if (m_usb.CmdHandle()) m_usb.TellDrvStatus(0);
    if (m_catalogue.pSensorCfg) {
        if (GetApplyCounts().failed != m_failedWritesAtRead.load()) {
            LogPrintf(
                "OnExit: a write to the mouse failed since it was read; the cache keeps what "
                "was read");
        } else {
            // The cache is written from the program's profile list, the state behind the monitor.
            m_profile.Read([](const ProfileState& s) { SavePro(s); });
        }
        SaveCID();
    }
}
