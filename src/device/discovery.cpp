#include "device/discovery.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "device/device_state.h"
#include "base/log.h"
#include "device/catalogue_link.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "platform/sys.h"
#include "platform/window.h"

namespace {

// ---- slots ------------------------------------------------------------------------------
// Every field of every slot is read and written under this lock; a slot's generation changes
// each time it is cleared, so a thread of an earlier pair never writes into a slot that has
// been handed to another pair meanwhile.
std::mutex g_slotLock;
std::condition_variable g_slotChanged;
struct SlotEntry {
    DeviceSlot s;
    uint64_t generation = 0;
};
SlotEntry g_slots[kMaxDeviceSlots];

// Tears a slot down: its threads end at their next check or failing handle operation.
void TearDownLocked(int i) {
    SlotEntry& e = g_slots[i];
    e.s.bExit = true;
    if (e.s.hStopEvent) e.s.hStopEvent->Set();
    if (e.s.m_hCmd) e.s.m_hCmd->Close();
    if (e.s.m_hNotify) e.s.m_hNotify->Close();
    e.s = DeviceSlot{};
    ++e.generation;
    if (TheDeviceState().nCurSlot.load() == i) TheDeviceState().nCurSlot = -1;
    g_slotChanged.notify_all();
}

// Closes the handles of a slot without clearing it (a rejected pair).
void CloseSlotHandlesLocked(int i) {
    if (g_slots[i].s.m_hCmd) g_slots[i].s.m_hCmd->Close();
    if (g_slots[i].s.m_hNotify) g_slots[i].s.m_hNotify->Close();
}

// ---- threads ----------------------------------------------------------------------------
// Every worker thread of the device link is kept here and joined, never abandoned.
class WorkerThreads {
  public:
    void Start(std::function<void()> fn) {
        std::lock_guard<std::mutex> lock(m_mu);
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_workers.push_back({std::thread([fn = std::move(fn), done] {
                                 fn();
                                 done->store(true);
                             }),
                             done});
    }
    void ReapFinished() {
        std::list<Worker> finished;
        {
            std::lock_guard<std::mutex> lock(m_mu);
            for (auto it = m_workers.begin(); it != m_workers.end();) {
                auto next = std::next(it);
                if (it->done->load()) finished.splice(finished.end(), m_workers, it);
                it = next;
            }
        }
        for (Worker& w : finished) w.thread.join();
    }
    void JoinAll() {
        for (;;) {
            std::list<Worker> all;
            {
                std::lock_guard<std::mutex> lock(m_mu);
                if (m_workers.empty()) return;
                all.swap(m_workers);
            }
            for (Worker& w : all) w.thread.join();  // they may start more; loop again
        }
    }

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex m_mu;
    std::list<Worker> m_workers;
};
WorkerThreads& Workers() {
    static WorkerThreads w;
    return w;
}

// ---- pairing ----------------------------------------------------------------------------
// One discovery pass's notify candidates and the result of the probes.
struct PassState {
    std::mutex mu;
    bool over = false;
    platform::HidHandle matched;  // the last candidate that received a report
    struct Candidate {
        platform::HidHandle h;
        std::string path;
        bool ended = false;
        bool claimed = false;
    };
    std::vector<Candidate> cands;
};

void Match_Thread(std::shared_ptr<PassState> pass, size_t index) {
    platform::HidHandle h;
    {
        std::lock_guard<std::mutex> lock(pass->mu);
        h = pass->cands[index].h;
    }
    uint8_t buf[16];
    bool got = GetData(h, buf, 16, 1000) == 1;
    {
        std::lock_guard<std::mutex> lock(pass->mu);
        PassState::Candidate& c = pass->cands[index];
        c.ended = true;
        if (got && !pass->over) pass->matched = h;
        // A handle that no pair will take is of no further use.
        if (!c.claimed && (!got || pass->over)) h->Close();
    }
    LogPrintf("Match_Thread eixt, hFile=%x", h->Id());
}

bool PidInList(uint32_t pid, const std::array<uint32_t, 10>& list) {
    if (pid == 0) return false;
    return std::find(list.begin(), list.end(), pid) != list.end();
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    size_t n = std::min<size_t>(260, std::max(a.size(), b.size()));
    std::string x = a.substr(0, std::min(n, a.size())), y = b.substr(0, std::min(n, b.size()));
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(x[i])) !=
            std::tolower(static_cast<unsigned char>(y[i])))
            return false;
    return true;
}

// Sleeps up to `ms`; true when the slot was torn down or asked to end meanwhile.
bool SleepUnlessEnded(int slot, uint64_t gen, uint32_t ms) {
    std::unique_lock<std::mutex> lock(g_slotLock);
    auto ended = [&] { return g_slots[slot].generation != gen || g_slots[slot].s.bExit; };
    g_slotChanged.wait_for(lock, std::chrono::milliseconds(ms), ended);
    return ended();
}

bool SlotEnded(int slot, uint64_t gen) {
    std::lock_guard<std::mutex> lock(g_slotLock);
    return g_slots[slot].generation != gen || g_slots[slot].s.bExit;
}

void Psd_Thread(int slot, uint64_t gen) {
    platform::HidHandle hCmd, hNotify;
    {
        std::lock_guard<std::mutex> lock(g_slotLock);
        if (g_slots[slot].generation == gen) {
            hCmd = g_slots[slot].s.m_hCmd;
            hNotify = g_slots[slot].s.m_hNotify;
        }
    }
    const uint32_t tid = platform::GetCurrentThreadId();
    const uint32_t hc = hCmd ? hCmd->Id() : 0, hn = hNotify ? hNotify->Id() : 0;
    LogPrintf("----Psd_Thread start, hCmd=%x, hNotify=%x, ThreadId=%x", hc, hn, tid);
    auto finish = [&] {
        LogPrintf("----Psd_Thread Exit, hCmd=%x, hNotify=%x, ThreadId=%x", hc, hn, tid);
    };
    auto reject = [&] {
        std::lock_guard<std::mutex> lock(g_slotLock);
        if (g_slots[slot].generation == gen) CloseSlotHandlesLocked(slot);
    };
    if (!hCmd || !hNotify) return finish();

    // Wait for a mouse: quick polls first so that one already connected is found at once.
    for (int poll = 1;; ++poll) {
        if (SlotEnded(slot, gen)) return finish();
        if (SleepUnlessEnded(slot, gen, poll <= 4 ? 200 : 1100)) return finish();
        platform::HidAttributes attr;
        uint32_t err = 0;
        if (!hCmd->GetAttributes(&attr, &err)) {
            LogPrintf("Psd_Thread: hCmd=%x nErr=%d, ThreadId=%x", hc, static_cast<int>(err), tid);
            if (err == platform::kErrDeviceNotConnected)
                LogPrintf("Psd_Thread: dev is plug out. ThreadId=%x", tid);
            else if (err == platform::kErrInvalidHandle)
                LogPrintf("Psd_Thread: dev is invalid handle. ThreadId=%x", tid);
            return finish();
        }
        int connected = GetConnectStatusIdent(hCmd, hNotify);
        LogPrintf("Psd_Thread: bCennect=%d, hCmd=%x, ThreadId=%x", connected, hc, tid);
        if (connected == -1) {
            LogPrintf("CheckPsdThread: SendData Err");
            return finish();
        }
        if (connected == 1) break;
    }
    if (SlotEnded(slot, gen)) return finish();

    uint32_t cid = 0, mid = 0;
    int psd = CheckPsd(hCmd, hNotify, &cid, &mid);
    LogPrintf("Psd_Thread: CheckPsd=%d", psd);
    if (psd == 0) return finish();
    if (psd == -1 || !LookUpMouse(cid, mid, false)) {
        LogPrintf("Psd_Thread: unsupport dev!!! cid=%x, mid=%x", cid, mid);
        reject();
        return finish();
    }

    platform::HidAttributes attr;
    bool haveAttr = hCmd->GetAttributes(&attr, nullptr);
    bool accepted = false;
    {
        std::lock_guard<std::mutex> lock(g_slotLock);
        if (g_slots[slot].generation != gen || g_slots[slot].s.bExit) {
            // Torn down while identifying.
        } else {
            DeviceSlot& me = g_slots[slot].s;
            if (haveAttr) {
                me.VID = attr.vid;
                me.PID = attr.pid;
            }
            int other = -1;
            for (int i = 0; i < kMaxDeviceSlots; ++i)
                if (i != slot && g_slots[i].s.m_hCmd && g_slots[i].s.CID == cid &&
                    g_slots[i].s.MID == mid) {
                    other = i;
                    break;
                }
            bool giveUp = false;
            if (other >= 0) {
                uint32_t otherPid = g_slots[other].s.PID;
                if (PidInList(me.PID, TheDeviceOptions().PID) &&
                    PidInList(otherPid, TheDeviceOptions().PID2)) {
                    TearDownLocked(other);
                } else if (PidInList(me.PID, TheDeviceOptions().PID2) &&
                           PidInList(otherPid, TheDeviceOptions().PID)) {
                    LogPrintf("Psd_Thread: another dev has exist, give up this!!! cid=%x, mid=%x",
                              cid, mid);
                    CloseSlotHandlesLocked(slot);
                    giveUp = true;
                }
            }
            if (!giveUp) {
                LookUpMouse(cid, mid, true);
                for (int i = 0; i < kMaxDeviceSlots; ++i)
                    if (i != slot && g_slots[i].s.bActive) {
                        TearDownLocked(i);
                        break;
                    }
                for (SlotEntry& e : g_slots) e.s.bActive = false;
                ++TheDeviceState().g_nFindOkNum;
                me.bActive = true;
                me.CID = cid;
                me.MID = mid;
                platform::HidAttributes v;
                if (hCmd->GetAttributes(&v, nullptr)) {
                    me.version = v.version;
                } else {
                    LogPrintf("GetVersionNumber err");
                    me.version = 0;
                }
                TheDeviceState().nCurSlot = slot;
                LogPrintf("- Psd_Thread Find New Device: (ThreadId=%x)", tid);
                LogPrintf("- m_hCmd=%x, m_hNotify=%x, CID=%x, MID=%x, VID=%04x, PID=%04x", hc, hn,
                          cid, mid, me.VID, me.PID);
                LogPrintf("- Dev Path(hCmd)=   %s", me.cmdPath.c_str());
                LogPrintf("- Dev Path(hNotify)=%s", me.notifyPath.c_str());
                me.hStopEvent = std::make_shared<platform::HidEvent>();
                ServiceContext ctx{hNotify, me.hStopEvent, me.PID, cid, mid};
                Workers().Start([ctx] { ServiceThread(ctx); });
                accepted = true;
            }
        }
    }
    if (accepted)
        platform::PostWindowMessage(TheDeviceState().hDevNotifyWnd.load(), WM_DEV_FOUND, slot, 0);
    finish();
}

std::mutex g_lookupMu;
MouseCatalogueLookup g_lookup;

}  // namespace

// ---- public -------------------------------------------------------------------------------

DeviceSlot GetDeviceSlot(int index) {
    if (index < 0 || index >= kMaxDeviceSlots) return {};
    std::lock_guard<std::mutex> lock(g_slotLock);
    return g_slots[index].s;
}

int CurrentDeviceSlot() {
    return TheDeviceState().nCurSlot.load();
}

std::vector<HidInterfaceInfo> EnumerateHidInterfaces() {
    std::vector<HidInterfaceInfo> all;
    uint32_t err = 0;
    platform::CurrentHidBackend()->Enumerate(&all, &err);
    if (all.size() > kMaxHidInterfaces) all.resize(kMaxHidInterfaces);
    return all;
}

int FindDev() {
    LogPrintf("++++++++++++++++++ FindDev: looking for VID=%04x, PID=%04x, PID2=%04x",
              TheDeviceOptions().VID, TheDeviceOptions().PID[0], TheDeviceOptions().PID2[0]);
    TheDeviceState().g_nFindOkNum = 0;
    Workers().ReapFinished();

    std::string curCmdPath, curNotifyPath;
    {
        std::lock_guard<std::mutex> lock(g_slotLock);
        int cur = -1;
        for (int i = 0; i < kMaxDeviceSlots; ++i)
            if (g_slots[i].s.bActive) {
                cur = i;
                break;
            }
        TheDeviceState().nCurSlot = cur;
        if (cur >= 0) {
            const DeviceSlot& c = g_slots[cur].s;
            LogPrintf("pCurParam: PID=%04x, hCmd=0x%x", c.PID, c.m_hCmd ? c.m_hCmd->Id() : 0u);
            curCmdPath = c.cmdPath;
            curNotifyPath = c.notifyPath;
        }
        for (int i = 0; i < kMaxDeviceSlots; ++i)
            if (i != cur) TearDownLocked(i);
    }

    std::vector<HidInterfaceInfo> infos = EnumerateHidInterfaces();
    auto backend = platform::CurrentHidBackend();
    const uint32_t vid = static_cast<uint32_t>(TheDeviceOptions().VID);
    auto pass = std::make_shared<PassState>();

    for (const HidInterfaceInfo& info : infos) {
        if (info.usagePage != 0xFF01 || info.usage != 0 || info.inputReportLength != 17 ||
            info.vid != vid || SamePath(info.path, curNotifyPath))
            continue;
        platform::HidHandle h =
            backend->Open(info.path, platform::HidOpenMode::kReadAsync, nullptr);
        if (!h) continue;
        size_t index;
        {
            std::lock_guard<std::mutex> lock(pass->mu);
            pass->cands.push_back({h, info.path});
            index = pass->cands.size() - 1;
        }
        Workers().Start([pass, index] { Match_Thread(pass, index); });
        platform::Sleep(50);
    }

    int count = 0;
    for (const HidInterfaceInfo& info : infos) {
        if (info.usagePage != 0xFF02 || info.usage != 2 || info.featureReportLength != 17 ||
            info.vid != vid || SamePath(info.path, curCmdPath))
            continue;
        platform::HidHandle hCmd = backend->Open(info.path, platform::HidOpenMode::kWrite, nullptr);
        if (!hCmd) continue;
        {
            std::lock_guard<std::mutex> lock(pass->mu);
            pass->matched = nullptr;
        }
        // The probe: the receiver that owns this command interface answers on its own notify
        // interface. Its check byte is left 0 on purpose.
        uint8_t probe[kReportLength] = {kCommandReportId, kCmdGetConnectStatus};
        if (!hCmd->SetFeature(probe, kReportLength, nullptr)) {
            hCmd->Close();
            continue;
        }
        platform::Sleep(100);
        platform::HidHandle hNotify;
        std::string notifyPath;
        {
            std::lock_guard<std::mutex> lock(pass->mu);
            for (auto& c : pass->cands)
                if (c.h == pass->matched && !c.claimed) {
                    c.claimed = true;
                    hNotify = c.h;
                    notifyPath = c.path;
                }
            pass->matched = nullptr;
        }
        if (!hNotify) {
            hCmd->Close();
            continue;
        }
        int slot = -1;
        uint64_t gen = 0;
        {
            std::lock_guard<std::mutex> lock(g_slotLock);
            for (int i = 0; i < kMaxDeviceSlots; ++i)
                if (!g_slots[i].s.m_hCmd) {
                    slot = i;
                    break;
                }
            if (slot >= 0) {
                DeviceSlot& s = g_slots[slot].s;
                s = DeviceSlot{};
                s.m_hCmd = hCmd;
                s.m_hNotify = hNotify;
                s.cmdPath = info.path;
                s.notifyPath = notifyPath;
                gen = g_slots[slot].generation;
            }
        }
        if (slot < 0) {
            hCmd->Close();
            hNotify->Close();
            continue;
        }
        LogPrintf("* Dev match OK: hCmd=%x, hNotify=%x", hCmd->Id(), hNotify->Id());
        LogPrintf("* Path(hCmd)=   %s", info.path.c_str());
        LogPrintf("* Path(hNotify)=%s", notifyPath.c_str());
        Workers().Start([slot, gen] { Psd_Thread(slot, gen); });
        ++count;
    }

    {
        // Candidates that answered but were not paired are not used again.
        std::lock_guard<std::mutex> lock(pass->mu);
        pass->over = true;
        for (auto& c : pass->cands)
            if (c.ended && !c.claimed) c.h->Close();
    }
    return count;
}

bool TakeOverDevice(CUSBDriver* driver, int slot) {
    DeviceSlot s = GetDeviceSlot(slot);
    if (!driver || !s.m_hCmd || !s.bActive) return false;
    driver->SetHandles(s.m_hCmd, s.m_hNotify);
    return true;
}

void ClearHandle(CUSBDriver* driver) {
    LogPrintf("ClearHandle");
    if (driver) driver->DropHandles();
    std::lock_guard<std::mutex> lock(g_slotLock);
    for (int i = 0; i < kMaxDeviceSlots; ++i)
        if (g_slots[i].s.bActive) {
            CloseSlotHandlesLocked(i);
            g_slots[i].s = DeviceSlot{};
            ++g_slots[i].generation;
            if (TheDeviceState().nCurSlot.load() == i) TheDeviceState().nCurSlot = -1;
        }
    g_slotChanged.notify_all();
}

void ClearThread() {
    LogPrintf("ClearThread");
    {
        std::lock_guard<std::mutex> lock(g_slotLock);
        for (int i = 0; i < kMaxDeviceSlots; ++i)
            if (g_slots[i].s.m_hCmd) TearDownLocked(i);
    }
    // Instead of giving the threads a fixed time to notice, wait for each of them.
    JoinDeviceThreads();
}

void JoinDeviceThreads() {
    Workers().JoinAll();
}

bool ParseDevicePathIds(const std::string& path, uint32_t* vid, uint32_t* pid) {
    std::string p = path.substr(0, 259);
    std::string upper = p;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto read = [&](const char* prefix, uint32_t* out) {
        size_t at = upper.find(prefix);
        if (at == std::string::npos || at + 8 > upper.size()) return false;
        uint32_t v = 0;
        for (size_t i = at + 4; i < at + 8; ++i) {
            char c = upper[i];
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
            v = v * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
        }
        *out = v;
        return true;
    };
    uint32_t v = 0, d = 0;
    if (!read("VID_", &v) || !read("PID_", &d)) {
        LogPrintf("OnDeviceChange: path_string_to_id err");
        return false;
    }
    LogPrintf("OnDeviceChange: vid=%04x pid=%04x", v, d);
    if (vid) *vid = v;
    if (pid) *pid = d;
    return true;
}

bool DeviceChangeConcernsUs(const std::string& path) {
    uint32_t vid = 0, pid = 0;
    if (!ParseDevicePathIds(path, &vid, &pid)) return false;
    return vid == static_cast<uint32_t>(TheDeviceOptions().VID) &&
           (PidInList(pid, TheDeviceOptions().PID) || PidInList(pid, TheDeviceOptions().PID2));
}

void SetMouseCatalogueLookup(MouseCatalogueLookup lookup) {
    std::lock_guard<std::mutex> lock(g_lookupMu);
    g_lookup = std::move(lookup);
}

bool LookUpMouse(uint32_t cid, uint32_t mid, bool select) {
    MouseCatalogueLookup f;
    {
        std::lock_guard<std::mutex> lock(g_lookupMu);
        f = g_lookup;
    }
    return f ? f(cid, mid, select) : CatalogueLookUpMouse(cid, mid, select);
}
