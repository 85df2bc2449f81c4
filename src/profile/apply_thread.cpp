#include "profile/apply_thread.h"

#include <chrono>
#include <condition_variable>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "profile/profile_state.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "device/usb_driver.h"
#include "platform/sys.h"
#include "profile/eeprom_writer.h"

namespace {

struct Pending {
    uint32_t flag;
    uint32_t data;
    std::function<void()> task;  // instead of a write
};

struct ApplyThreadState {
    std::mutex mu;
    std::condition_variable cv;
    ApplyRequest req;
    std::vector<Pending> pending;
    bool exit = false;
    // Requests are taken (between StartApplyThread and StopApplyThread).
    bool running = false;
    // The thread is there: it is started for a request and ends when idle.
    bool working = false;
    uint64_t placed = 0;  // requests placed
    uint64_t taken = 0;   // requests taken by the thread
    ApplyCounts counts;
    std::thread thread;
};

ApplyThreadState& S() {
    static ApplyThreadState s;
    return s;
}

// Flags that read the request's data.
constexpr uint32_t kWithData = kApplyKeys | kApplyLighting | kApplyDpi | kApplyDpiColours;

// How long the thread waits for the next request before it ends: long enough for the requests
// of one drag or one series of clicks, so that a thread (about a megabyte under Wine) is there
// only while the user changes something.
constexpr auto kIdleEnd = std::chrono::seconds(3);

void ThreadProc();

// With a request waiting (under s.mu): starts the thread unless it is there.
void Wake(ApplyThreadState& s) {
    if (!s.running || s.working) return;
    // A thread that ended when idle only logs its end after leaving the lock: it is joined
    // before the next one starts.
    if (s.thread.joinable()) s.thread.join();
    s.working = true;
    s.thread = std::thread(ThreadProc);
}

void Place(uint32_t flag, uint32_t data) {
    ApplyThreadState& s = S();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        Wake(s);
        ++s.placed;
        bool merged = false;
        // The factory reset and progress requests stand alone: they are what the progress
        // window shows.
        const bool alone = (flag & (kApplyReset | kApplyWithProgress)) != 0;
        for (Pending& p : s.pending) {
            // A task takes no flags; a change placed after it may still join a write before it,
            // which writes the profile as it is when that write starts.
            if (p.task) continue;
            if (alone || (p.flag & (kApplyReset | kApplyWithProgress))) continue;
            const uint32_t pd = p.flag & kWithData, fd = flag & kWithData;
            if (p.data == data || fd == 0) {
                // Same item, or the new flags do not read the data.
            } else if (pd == 0) {
                p.data = data;
            } else if (pd == fd) {
                // Lighting data is a set of zones; anything else is one item, and two items
                // become all of them.
                p.data = fd == kApplyLighting ? (p.data | data) : kAllItems;
            } else {
                continue;
            }
            p.flag |= flag;
            merged = true;
            break;
        }
        if (!merged) s.pending.push_back({flag, data, nullptr});
    }
    s.cv.notify_all();
}

platform::WindowHandle WaitForProgressWindow(const std::string& title) {
    for (int i = 0; i < 20; ++i) {
        platform::Sleep(100);
        if (platform::WindowHandle w = platform::FindWindowByTitle(title)) return w;
    }
    return 0;
}

void RunOne(const ApplyRequest& req, const Pending& p) {
    ApplyThreadState& s = S();
    if (p.task) {
        p.task();
        return;
    }
    platform::HidHandle h = req.usb ? req.usb->CmdHandle() : nullptr;
    LogPrintf("Start Apply: hDevice=0x%x, nFlag=0x%x, nData=0x%x", h ? h->Id() : 0, p.flag, p.data);
    platform::WindowHandle progress = 0;
    if (p.flag & kApplyWithProgress) progress = WaitForProgressWindow(req.progressTitle);
    bool ok = false;
    if (!h && !TheProfileOptions().GoWithNoDev) {
        if (progress) platform::PostWindowMessage(progress, kWmClose, 0, 0);
        Notify(req.tell, NoDeviceNotice());
    } else {
        // The profile as it is now: whatever the user changed up to this moment is written.
        const auto [record, level] = TheProfile().Read([](const ProfileState& ps) {
            return std::pair(ps.pFile ? std::optional<ProfileFile>(*ps.pFile) : std::nullopt,
                             ps.g_nCurDpiLevel);
        });
        WriteProgress toWindow;
        if (platform::IsWindow(progress))
            toWindow = [&](uint32_t pos) {
                platform::PostWindowMessage(progress, req.progressMsg, pos, 0);
            };
        ok = WriteProfile(CurrentProfileContext(), req.usb, record ? &*record : nullptr,
                          *req.macros, p.flag & ~kApplyWithProgress, p.data, level, toWindow) != 0;
        if (!ok) Notify(req.tell, UpdateFailedNotice());
        if (progress) {
            platform::PostWindowMessage(progress, kWmClose, 0, 0);
            platform::Sleep(20);
            platform::PostWindowMessage(progress, kWmClose, 0, 0);
        }
    }
    LogPrintf("Apply Over");
    std::lock_guard<std::mutex> lock(s.mu);
    ++s.counts.done;
    if (!ok) ++s.counts.failed;
}

void ThreadProc() {
    ApplyThreadState& s = S();
    LogPrintf("Start apply thread");
    for (;;) {
        std::vector<Pending> batch;
        ApplyRequest req;
        uint64_t upTo;
        {
            std::unique_lock<std::mutex> lock(s.mu);
            if (!s.cv.wait_for(lock, kIdleEnd, [&] { return s.exit || !s.pending.empty(); }) ||
                s.exit) {
                s.working = false;
                break;
            }
            batch.swap(s.pending);
            req = s.req;
            upTo = s.placed;
        }
        for (const Pending& p : batch) RunOne(req, p);
        {
            std::lock_guard<std::mutex> lock(s.mu);
            s.taken = upTo;
        }
        s.cv.notify_all();
    }
    LogPrintf("thread exit");
}

}  // namespace

Notice NoDeviceNotice() {
    return {GetText("tc_msg15"), "Error", platform::kMbIconWarning};
}

Notice UpdateFailedNotice() {
    return {kUpdateFailedText, "Error", platform::kMbIconWarning};
}

void StartApplyThread(CUSBDriver* usb, const MacroList& macros, NoticeSink tell) {
    ApplyThreadState& s = S();
    std::lock_guard<std::mutex> lock(s.mu);
    if (s.running) return;
    s.req = ApplyRequest{};
    s.req.usb = usb;
    s.req.macros = &macros;
    s.req.tell = std::move(tell);
    s.exit = false;
    s.pending.clear();
    s.taken = s.placed;
    s.running = true;
}

void StopApplyThread() {
    ApplyThreadState& s = S();
    std::thread t;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.running) return;
        s.exit = true;
        s.running = false;
        t.swap(s.thread);
    }
    s.cv.notify_all();
    if (t.joinable()) t.join();
    std::lock_guard<std::mutex> lock(s.mu);
    s.pending.clear();
    s.taken = s.placed;
}

bool ApplyThreadRunning() {
    std::lock_guard<std::mutex> lock(S().mu);
    return S().running;
}

bool ApplyThreadWorking() {
    std::lock_guard<std::mutex> lock(S().mu);
    return S().working;
}

void RequestApply(uint32_t flag, uint32_t data) {
    Place(flag & ~kApplyWithProgress, data);
}

void RequestApplyWithProgress(uint32_t flag) {
    Place(flag | kApplyWithProgress, kAllItems);
}

void RequestApplyTask(std::function<void()> task) {
    ApplyThreadState& s = S();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        Wake(s);
        ++s.placed;
        s.pending.push_back({0, 0, std::move(task)});
    }
    s.cv.notify_all();
}

bool WaitApplyDone(uint32_t timeoutMs) {
    ApplyThreadState& s = S();
    std::unique_lock<std::mutex> lock(s.mu);
    const uint64_t target = s.placed;
    return s.cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return s.taken >= target || !s.running; });
}

ApplyCounts GetApplyCounts() {
    std::lock_guard<std::mutex> lock(S().mu);
    return S().counts;
}
