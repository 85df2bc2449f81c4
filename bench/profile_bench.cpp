// Whole profile operations against the virtual mouse at 0 ms and 4 ms link latency, each shown
// beside the least time its fixed pauses and its command exchanges allow ("bound_ms").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "device/discovery.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "macro/macro_list.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "sim/virtual_receiver.h"
#include "support/sim_link.h"
#include "support/temp_dir.h"
#include "ui/device_session.h"

namespace {

// Fixed pauses of a full read: 19 reads of the first area with 10 ms after each, 20 ms, and
// 10 ms before each of the 16 macro-name reads. Exchanges: 19 + 32 combination pieces + 16
// name pieces (the names of the factory profile end in their first piece).
constexpr double kReadPausesMs = 19 * 10 + 20 + 16 * 10;
constexpr double kReadExchanges = 19 + 32 + 16;
// A full write (0x7F) of the first shipped mouse: 10 ms before the main lighting, the DPI
// light, the levels, the colours, the current level and the rate; exchanges: 8 matrix pieces,
// 1 main lighting, 1 DPI light, 3 level pieces, 3 colour pieces, 1 level, 1 rate.
constexpr double kWritePausesMs = 6 * 10;
constexpr double kWriteExchanges = 8 + 1 + 1 + 3 + 3 + 1 + 1;
// The pairing thread of a newly found receiver sleeps this long before it first asks whether
// the mouse is connected.
constexpr double kFirstPollSleepMs = 200;

struct World {
    World() {
        platform::SetMessageBoxHook(
            [](const std::string&, const std::string&, uint32_t) { return 1; });
        gVar.szAppDir = zvtest::SourceDir() + "/data/";
        LoadConfiguration();
        LoadDefaultTexts(gVar.szAppDir);
        gVar.szAppDataDir = data.path();
        gVar.pSensorCfg = FindSensorCfg(0x10, 0x1A);
        LoadDefaultKeys();
        g_bSyncDone = 1;
    }
    zvtest::TempDir data;
};

World& TheWorld() {
    static World w;
    return w;
}

using Link = zvtest::SimLink;

// Every exchange waits 10 ms before it looks for its answer, and the answer cannot come before
// the link latency.
void Bound(benchmark::State& state, double pausesMs, double exchanges) {
    const double perExchange = std::max(10.0, static_cast<double>(state.range(0)));
    state.counters["bound_ms"] = pausesMs + exchanges * perExchange;
}

void BM_FullRead(benchmark::State& state) {
    TheWorld();
    Link link(0x10, 0x1A, static_cast<uint32_t>(state.range(0)));
    ProfileFile p;
    NewProfile(p, "bench");
    for (auto _ : state) {
        ProfileFile work = p;
        if (!GetProfile(&link.drv, work, g_MacroList)) state.SkipWithError("read failed");
        g_MacroList.Clear();
    }
    Bound(state, kReadPausesMs, kReadExchanges);
}

void BM_FullWrite(benchmark::State& state) {
    TheWorld();
    Link link(0x10, 0x1A, static_cast<uint32_t>(state.range(0)));
    ProfileFile p;
    NewProfile(p, "bench");
    for (auto _ : state)
        if (!WriteProfile(CurrentProfileContext(), &link.drv, &p, g_MacroList, kApplyAll, kAllItems,
                          0))
            state.SkipWithError("write failed");
    Bound(state, kWritePausesMs, kWriteExchanges);
}

void BM_OneDpiChange(benchmark::State& state) {
    TheWorld();
    Link link(0x10, 0x1A, static_cast<uint32_t>(state.range(0)));
    ProfileFile p;
    NewProfile(p, "bench");
    uint32_t dpi = 800;
    for (auto _ : state) {
        p.dpi[2].x = p.dpi[2].y = (dpi = dpi == 800 ? 1600 : 800);
        if (!WriteProfile(CurrentProfileContext(), &link.drv, &p, g_MacroList, kApplyDpi, 2, 0))
            state.SkipWithError("write failed");
    }
    Bound(state, 10, 1);
}

// A session driver that says nothing and refuses every question: the benchmarks time the
// session, not what it would tell.
class QuietUi : public SessionUi {
  public:
    void ShowText(const std::string&) override {}
    void Tell(const Notice&, platform::WindowHandle) override {}
    bool Confirm(const std::string&) override { return false; }
};

// From a discovery pass to the profile read and shown, through the device session.
void BM_DiscoveryToReady(benchmark::State& state) {
    World& w = TheWorld();
    QuietUi ui;
    for (auto _ : state) {
        state.PauseTiming();
        auto backend = std::make_shared<sim::VirtualBackend>();
        sim::ReceiverConfig rc;
        rc.vid = static_cast<uint32_t>(gVar.VID);
        rc.pid = gVar.PID[0];
        rc.cid = 0x10;
        rc.mid = 0x1A;
        rc.latencyMs = static_cast<uint32_t>(state.range(0));
        backend->AddReceiver(rc);
        platform::SetHidBackend(backend);
        gVar.szAppDataDir = w.data.path();
        state.ResumeTiming();
        {
            DeviceSession session(ui, {TheProfile(), gVar, gVar, g_MacroList});
            session.FindDevices();
            if (session.WaitForDevice(10000) < 0 || !session.OnFindDeviceOK() ||
                !session.WaitSync(60000) || !session.LastReadOk())
                state.SkipWithError("no device");
            state.PauseTiming();
        }
        platform::SetHidBackend(nullptr);
        g_MacroList.Clear();
        state.ResumeTiming();
    }
    // A pass waits 50 ms on the notify interface and 100 ms on the command interface; the
    // pairing thread sleeps 200 ms before its first connection poll; identification takes
    // three exchanges, the read its own pauses and exchanges.
    Bound(state, 150 + kFirstPollSleepMs + kReadPausesMs, 3 + 1 + kReadExchanges);
}

}  // namespace

BENCHMARK(BM_DiscoveryToReady)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_FullRead)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FullWrite)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_OneDpiChange)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
