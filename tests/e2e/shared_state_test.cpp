// State that several threads share: discovery selects the catalogue entry of a newly accepted
// mouse on its own thread while the apply thread writes with the entry it reads and a page
// reads it too. Run under the thread sanitizer, this is where a plain pointer would show.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device/discovery.h"
#include "e2e/profile_sim.h"
#include "platform/window_recorder.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"

namespace {

constexpr platform::WindowHandle kMainWnd = 0x5151;

TEST(SharedState, DiscoverySelectsAMouseWhileTheApplyThreadWritesAndAPageReads) {
    zvtest::TempDir data;
    zvtest::LoadShippedConfig(data);
    zvtest::UseNewProfile();
    const SensorCfg* first = gVar.pSensorCfg;
    const SensorCfg* second = FindSensorCfg(0x10, 0x2B);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);

    zvtest::SimMouse written;  // the mouse the apply thread writes to
    auto backend = std::make_shared<sim::VirtualBackend>();
    sim::ReceiverConfig rc;
    rc.pid = static_cast<uint32_t>(gVar.PID[0]);
    rc.cid = 0x10;
    rc.mid = 0x2B;
    backend->AddReceiver(rc);
    platform::SetHidBackend(backend);
    platform::recorder::SetWindow("main", kMainWnd);
    gVar.hDevNotifyWnd = kMainWnd;

    StartApplyThread(&written.drv, g_MacroList, 0);
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> seen{0};
    std::thread page([&] {
        while (!stop.load()) {
            const SensorCfg* cfg = gVar.pSensorCfg;
            if (cfg) seen += static_cast<uint64_t>(cfg->Sensor) + static_cast<uint64_t>(cfg->DM);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    FindDev();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int32_t x = 400; gVar.pSensorCfg != second && std::chrono::steady_clock::now() < until;
         x += 100) {
        TheProfile().EditCurrent(
            [x](ProfileFile& f, int32_t&) { f.dpi[0].x = f.dpi[0].y = static_cast<uint32_t>(x); });
        RequestApply(kApplyDpi | kApplyKeys, kAllItems);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(gVar.pSensorCfg, second) << "discovery selects the accepted mouse's entry";
    EXPECT_TRUE(WaitApplyDone(10000));

    stop = true;
    page.join();
    StopApplyThread();
    ClearThread();
    platform::SetHidBackend(nullptr);
    gVar.hDevNotifyWnd = 0;
    platform::recorder::SetWindow("main", 0);
    platform::recorder::Clear();
    EXPECT_GT(seen.load(), 0u);
}

}  // namespace
