// The Win32 HID layer on a machine without a receiver, and the device link's threads on the
// Win32 event objects, driven by the virtual receiver.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/gvar.h"
#include "device/discovery.h"
#include "device/usb_driver.h"
#include "platform/hid.h"
#include "sim/virtual_receiver.h"

namespace {

bool IsReceiverInterface(const platform::HidInterfaceDesc& d, uint32_t vid) {
    return d.vid == vid && ((d.usagePage == 0xFF01 && d.usage == 0 && d.inputReportLength == 17) ||
                            (d.usagePage == 0xFF02 && d.usage == 2 && d.featureReportLength == 17));
}

TEST(HidWin, EnumeratesWithoutErrorAndFindsNoReceiver) {
    auto backend = platform::CreateSystemHidBackend();
    std::vector<platform::HidInterfaceDesc> all;
    uint32_t err = 0;
    ASSERT_TRUE(backend->Enumerate(&all, &err)) << err;
    for (const auto& d : all) {
        EXPECT_FALSE(d.path.empty());
        EXPECT_FALSE(IsReceiverInterface(d, static_cast<uint32_t>(gVar.VID))) << d.path;
    }
    platform::SetHidBackend(nullptr);
    EXPECT_EQ(FindDev(), 0);
    ClearThread();
}

TEST(HidWin, OpeningAMissingInterfaceFails) {
    auto backend = platform::CreateSystemHidBackend();
    uint32_t err = 0;
    EXPECT_EQ(
        backend->Open("\\\\?\\hid#vid_25a7&pid_5a01#none#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                      platform::HidOpenMode::kReadAsync, &err),
        nullptr);
    EXPECT_NE(err, 0u);
}

TEST(HidWin, StopEventIsAutoReset) {
    platform::HidEvent e;
    EXPECT_NE(e.NativeHandle(), 0u);
    EXPECT_FALSE(e.TryTake());
    e.Set();
    EXPECT_TRUE(e.TryTake());
    EXPECT_FALSE(e.TryTake());
    e.Set();
    EXPECT_TRUE(e.Wait(10));
    EXPECT_FALSE(e.Wait(10));
}

TEST(HidWin, VirtualMouseIsFoundAndAnswers) {
    auto backend = std::make_shared<sim::VirtualBackend>();
    platform::SetHidBackend(backend);
    SetMouseCatalogueLookup(
        [](uint32_t cid, uint32_t mid, bool) { return cid == 0x12 && mid == 0x34; });
    sim::ReceiverConfig cfg;
    cfg.vid = static_cast<uint32_t>(gVar.VID);
    cfg.cid = 0x12;
    cfg.mid = 0x34;
    auto rx = backend->AddReceiver(cfg);
    ASSERT_EQ(FindDev(), 1);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (CurrentDeviceSlot() < 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    int slot = CurrentDeviceSlot();
    ASSERT_GE(slot, 0);
    {
        CUSBDriver drv;
        ASSERT_TRUE(TakeOverDevice(&drv, slot));
        rx->WithMouse([](sim::VirtualMouse& m) { m.State().profile = 2; });
        EXPECT_EQ(drv.GetCurProfile(), 2);
        uint8_t buf[10];
        EXPECT_EQ(drv.ReadEEPROM(0x00, buf, 2), 1);
        EXPECT_EQ(buf[0] + buf[1], 0x55);
        drv.DropHandles();
    }
    ClearThread();  // ends the service thread through its stop event and joins it
    EXPECT_EQ(CurrentDeviceSlot(), -1);
    SetMouseCatalogueLookup(nullptr);
    platform::SetHidBackend(nullptr);
}

}  // namespace
