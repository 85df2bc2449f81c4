// Discovery, pairing and acceptance against virtual receivers: the real discovery threads, the
// real service thread, and mice that are off, unknown, on two receivers at once or pulled out.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "app/gvar.h"
#include "base/log.h"
#include "device/discovery.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "platform/window_recorder.h"
#include "sim/virtual_receiver.h"

namespace {

constexpr platform::WindowHandle kMainWnd = 0x5150;
constexpr uint32_t kFirstListPid = 0x5A01, kSecondListPid = 0x5A11;

bool WaitUntil(const std::function<bool()>& ready, int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ready();
}

class DeviceDiscoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        backend = std::make_shared<sim::VirtualBackend>();
        platform::SetHidBackend(backend);
        gVar.VID = 0x25A7;
        gVar.PID = {kFirstListPid};
        gVar.PID2 = {kSecondListPid};
        gVar.nRetry = 3;
        SetMouseCatalogueLookup([](uint32_t cid, uint32_t mid, bool) {
            return (cid == 0x12 && mid == 0x34) || (cid == 0x21 && mid == 0x43);
        });
        platform::recorder::Clear();
        platform::recorder::SetWindow("main", kMainWnd);
        gVar.hDevNotifyWnd = kMainWnd;
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([this](const std::string& s) {
            std::lock_guard<std::mutex> lock(mu);
            lines.push_back(s);
        });
    }
    void TearDown() override {
        ClearThread();
        SetLogDebugWriter(nullptr);
        gVar.nDebug = 0;
        LogInit();
        platform::SetHidBackend(nullptr);
        SetMouseCatalogueLookup(nullptr);
        gVar.hDevNotifyWnd = 0;
        platform::recorder::SetWindow("main", 0);
        platform::recorder::Clear();
    }

    std::shared_ptr<sim::VirtualReceiver> AddReceiver(uint32_t pid, uint32_t cid, uint32_t mid,
                                                      bool on) {
        sim::ReceiverConfig cfg;
        cfg.pid = pid;
        cfg.cid = cid;
        cfg.mid = mid;
        cfg.mouseOn = on;
        return backend->AddReceiver(cfg);
    }

    int LogCount(const std::string& text) {
        std::lock_guard<std::mutex> lock(mu);
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](auto& l) {
            return l.find(text) != std::string::npos;
        }));
    }
    bool WaitForLog(const std::string& text, int ms = 4000) {
        return WaitUntil([&] { return LogCount(text) > 0; }, ms);
    }

    // Messages posted so far, kept across calls.
    std::vector<platform::recorder::PostedMessage> Posted(uint32_t msg) {
        for (auto& m : platform::recorder::TakePosted()) posted.push_back(m);
        std::vector<platform::recorder::PostedMessage> out;
        for (auto& m : posted)
            if (m.msg == msg) out.push_back(m);
        return out;
    }
    // The slot of the next accepted device, -1 when none comes in time.
    int WaitForFound(size_t nth = 1, int ms = 4000) {
        if (!WaitUntil([&] { return Posted(WM_DEV_FOUND).size() >= nth; }, ms)) return -1;
        return static_cast<int>(Posted(WM_DEV_FOUND)[nth - 1].wParam);
    }
    int SlotOf(const std::shared_ptr<sim::VirtualReceiver>& rx) {
        for (int i = 0; i < kMaxDeviceSlots; ++i)
            if (GetDeviceSlot(i).cmdPath == rx->CmdPath()) return i;
        return -1;
    }

    std::shared_ptr<sim::VirtualBackend> backend;
    std::mutex mu;
    std::vector<std::string> lines;
    std::vector<platform::recorder::PostedMessage> posted;
};

TEST_F(DeviceDiscoveryTest, TwoReceiversPairWithTheirOwnInterfaces) {
    // Interfaces that must be passed over: a keyboard, and a receiver-like one of another vendor.
    platform::HidInterfaceDesc keyboard{
        "\\\\?\\hid#vid_046d&pid_c31c#kbd", 9, 2, 0, 1, 6, 0x046D, 0xC31C, 1};
    platform::HidInterfaceDesc foreign{
        "\\\\?\\hid#vid_1111&pid_5a01#x", 17, 0, 0, 0xFF01, 0, 0x1111, 0x5A01, 1};
    backend->AddOtherInterface(keyboard);
    backend->AddOtherInterface(foreign);
    auto a = AddReceiver(kFirstListPid, 0x12, 0x34, false);
    auto b = AddReceiver(kFirstListPid, 0x21, 0x43, false);

    EXPECT_EQ(FindDev(), 2);
    for (auto& rx : {a, b}) {
        int s = SlotOf(rx);
        ASSERT_GE(s, 0);
        EXPECT_EQ(GetDeviceSlot(s).notifyPath, rx->NotifyPath());
    }
    EXPECT_EQ(LogCount("* Dev match OK"), 2);
    // Mice off: nothing is accepted, the pairs keep waiting.
    EXPECT_EQ(WaitForFound(1, 600), -1);
    EXPECT_GE(LogCount("Psd_Thread: bCennect=0"), 2);
}

TEST_F(DeviceDiscoveryTest, MouseThatIsOffIsAcceptedOnceItAnswers) {
    auto rx = AddReceiver(kFirstListPid, 0x12, 0x34, false);
    EXPECT_EQ(FindDev(), 1);
    EXPECT_EQ(WaitForFound(1, 1300), -1);
    rx->SetMouseOn(true);
    int slot = WaitForFound();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(gVar.g_nFindOkNum.load(), 1);
    EXPECT_EQ(CurrentDeviceSlot(), slot);
    DeviceSlot s = GetDeviceSlot(slot);
    EXPECT_TRUE(s.bActive);
    EXPECT_EQ(s.CID, 0x12u);
    EXPECT_EQ(s.MID, 0x34u);
    EXPECT_EQ(s.PID, kFirstListPid);
    EXPECT_EQ(s.version, 0x0102u);

    // The accepted device answers commands through its service thread.
    CUSBDriver drv;
    ASSERT_TRUE(TakeOverDevice(&drv, slot));
    rx->WithMouse([](sim::VirtualMouse& m) { m.State().profile = 1; });
    EXPECT_EQ(drv.GetCurProfile(), 1);
    EXPECT_EQ(drv.GetConnectStatus(), 1);
}

TEST_F(DeviceDiscoveryTest, UnsupportedMiceAreRejectedAndClosed) {
    struct Case {
        const char* what;
        uint32_t cid, mid;
        const char* line;
    } cases[] = {
        {"identity 0/0", 0, 0, "Psd_Thread: CheckPsd=-1"},
        {"not in the catalogue", 0x77, 0x01, "Psd_Thread: unsupport dev!!! cid=77, mid=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearThread();
        auto rx = AddReceiver(kFirstListPid, c.cid, c.mid, true);
        ASSERT_EQ(FindDev(), 1);
        int slot = SlotOf(rx);
        ASSERT_GE(slot, 0);
        DeviceSlot s = GetDeviceSlot(slot);
        ASSERT_TRUE(WaitForLog(c.line));
        ASSERT_TRUE(WaitForLog("----Psd_Thread Exit"));
        EXPECT_EQ(LogCount("Psd_Thread: unsupport dev!!!"), 1);
        EXPECT_FALSE(s.m_hCmd->IsOpen());
        EXPECT_FALSE(s.m_hNotify->IsOpen());
        EXPECT_EQ(WaitForFound(1, 100), -1);
        rx->Unplug();
        std::lock_guard<std::mutex> lock(mu);
        lines.clear();
    }
}

TEST_F(DeviceDiscoveryTest, FirstListReceiverWinsTheSameMouseInEitherOrder) {
    for (bool firstListFoundFirst : {true, false}) {
        SCOPED_TRACE(firstListFoundFirst ? "first list found first" : "second list found first");
        ClearThread();
        posted.clear();
        auto first = AddReceiver(kFirstListPid, 0x12, 0x34, firstListFoundFirst);
        auto second = AddReceiver(kSecondListPid, 0x12, 0x34, !firstListFoundFirst);
        ASSERT_EQ(FindDev(), 2);
        auto early = firstListFoundFirst ? first : second;
        auto late = firstListFoundFirst ? second : first;
        int earlySlot = SlotOf(early), lateSlot = SlotOf(late);
        ASSERT_EQ(WaitForFound(1), earlySlot);
        DeviceSlot lateBefore = GetDeviceSlot(lateSlot);
        DeviceSlot earlyBefore = GetDeviceSlot(earlySlot);
        late->SetMouseOn(true);
        if (firstListFoundFirst) {
            ASSERT_TRUE(WaitForLog("another dev has exist, give up this!!! cid=12, mid=34"));
            ASSERT_TRUE(WaitUntil([&] { return !lateBefore.m_hCmd->IsOpen(); }, 1000));
            EXPECT_EQ(CurrentDeviceSlot(), earlySlot);
            EXPECT_TRUE(earlyBefore.m_hCmd->IsOpen());
            EXPECT_EQ(WaitForFound(2, 300), -1);
        } else {
            ASSERT_EQ(WaitForFound(2), lateSlot);
            EXPECT_EQ(CurrentDeviceSlot(), lateSlot);
            EXPECT_FALSE(earlyBefore.m_hCmd->IsOpen());
            EXPECT_FALSE(GetDeviceSlot(earlySlot).m_hCmd);
        }
        first->Unplug();
        second->Unplug();
    }
}

TEST_F(DeviceDiscoveryTest, PassWhileADeviceIsCurrentLeavesItAlone) {
    auto rx = AddReceiver(kFirstListPid, 0x12, 0x34, true);
    ASSERT_EQ(FindDev(), 1);
    int slot = WaitForFound();
    ASSERT_GE(slot, 0);
    DeviceSlot before = GetDeviceSlot(slot);

    EXPECT_EQ(FindDev(), 0);  // its interfaces are not opened again
    DeviceSlot after = GetDeviceSlot(slot);
    EXPECT_EQ(after.m_hCmd, before.m_hCmd);
    EXPECT_EQ(after.m_hNotify, before.m_hNotify);
    EXPECT_TRUE(after.bActive);
    EXPECT_TRUE(before.m_hNotify->IsOpen());
    EXPECT_EQ(CurrentDeviceSlot(), slot);

    // Its service thread still carries the mouse's own events to the main window.
    rx->PressDpiButton();
    rx->FactoryReset();
    ASSERT_TRUE(WaitUntil([&] { return Posted(WM_DEV_BEHAVIOR).size() >= 2; }, 2000));
    auto events = Posted(WM_DEV_BEHAVIOR);
    EXPECT_EQ(events[0].lParam, 1);
    EXPECT_EQ(events[0].wParam, 2u);  // factory level 1, one press later
    EXPECT_EQ(events[1].lParam, 3);
    EXPECT_EQ(events[1].wParam, 0u);  // profile 0 reset
}

TEST_F(DeviceDiscoveryTest, UnpluggingEndsTheServiceThread) {
    auto rx = AddReceiver(kFirstListPid, 0x12, 0x34, true);
    ASSERT_EQ(FindDev(), 1);
    ASSERT_GE(WaitForFound(), 0);
    ASSERT_TRUE(WaitForLog("ServiceThread start"));
    rx->Unplug();
    ASSERT_TRUE(WaitForLog("ServiceThread exit"));
    std::lock_guard<std::mutex> lock(mu);
    auto err = std::find_if(lines.begin(), lines.end(), [](auto& l) {
        return l.find("ServiceThread ReadFile Err=1167\n") != std::string::npos;
    });
    auto exit = std::find_if(lines.begin(), lines.end(), [](auto& l) {
        return l.find("ServiceThread exit") != std::string::npos;
    });
    ASSERT_NE(err, lines.end());
    EXPECT_LT(err, exit);
}

TEST_F(DeviceDiscoveryTest, UnplugInTheMiddleOfAWriteFailsIt) {
    auto rx = AddReceiver(kFirstListPid, 0x12, 0x34, true);
    ASSERT_EQ(FindDev(), 1);
    int slot = WaitForFound();
    CUSBDriver drv;
    ASSERT_TRUE(TakeOverDevice(&drv, slot));
    std::vector<uint8_t> before;
    rx->WithMouse([&](sim::VirtualMouse& m) { before = m.Peek(0x300, 30); });
    rx->InjectFault({sim::FaultKind::kUnplug, 0x07, 1});  // the second piece
    std::vector<uint8_t> data(30, 0x66);
    EXPECT_EQ(drv.WriteEEPROM(0, 30, 0x300, data.data()), 0);
    EXPECT_EQ(LogCount("WriteEEPROM Err, i=1"), 1);
    std::vector<uint8_t> now;
    rx->WithMouse([&](sim::VirtualMouse& m) { now = m.Peek(0x300, 30); });
    EXPECT_EQ(std::vector<uint8_t>(now.begin(), now.begin() + 10), std::vector<uint8_t>(10, 0x66));
    EXPECT_EQ(std::vector<uint8_t>(now.begin() + 10, now.end()),
              std::vector<uint8_t>(before.begin() + 10, before.end()));
    // The main window drops the device; the slot is closed and nothing is current.
    ClearHandle(&drv);
    EXPECT_FALSE(drv.CmdHandle());
    EXPECT_EQ(CurrentDeviceSlot(), -1);
    EXPECT_FALSE(GetDeviceSlot(slot).m_hCmd);
}

TEST_F(DeviceDiscoveryTest, DeviceChangeOfOurReceiversOnly) {
    EXPECT_TRUE(DeviceChangeConcernsUs("\\\\?\\USB#VID_25A7&PID_5A11#1"));
    EXPECT_FALSE(DeviceChangeConcernsUs("\\\\?\\USB#VID_25A7&PID_5A02#1"));
    EXPECT_FALSE(DeviceChangeConcernsUs("\\\\?\\USB#VID_25A8&PID_5A01#1"));
    EXPECT_EQ(LogCount("OnDeviceChange: vid=25a7 pid=5a11"), 1);
}

}  // namespace
