// The device session over the whole stack: discovery of the virtual receiver, taking the mouse
// over, reading its profile in the worker, the mouse's notifications, the factory reset, and
// the button page's rules on the profile it read.
#include "ui/device_session.h"

#include "device/discovery.h"
#include "e2e/profile_sim.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_cache.h"
#include "ui/button_assignment.h"

namespace {

using Bytes = std::vector<uint8_t>;
using zvtest::LogLines;

class RecordingUi : public SessionUi {
  public:
    void ShowText(const std::string& text) override { texts.push_back(text); }
    void Tell(const Notice& n, platform::WindowHandle) override { notices.push_back(n); }
    bool Confirm(const std::string& text) override {
        texts.push_back(text);
        return confirm;
    }
    void ShowProfile() override { ++shown; }
    std::vector<std::string> texts;
    std::vector<Notice> notices;
    bool confirm = true;
    int shown = 0;
};

class ProfileSession : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data));
        gVar.szAppDataDir = data.path();
        auto backend = std::make_shared<sim::VirtualBackend>();
        sim::ReceiverConfig rc;
        rc.vid = static_cast<uint32_t>(gVar.VID);
        rc.pid = gVar.PID[0];
        rc.cid = 0x10;
        rc.mid = 0x1A;
        rx = backend->AddReceiver(rc);
        platform::SetHidBackend(backend);
    }
    void TearDown() override {
        session.Shutdown();
        platform::SetHidBackend(nullptr);
        gVar.ApplyNow = 0;
    }
    // Discovery, take-over and the first read, as the main window does them.
    void Connect() {
        session.StartApply();
        session.FindDevices();
        // Ends as soon as the mouse is found; the margin is for a machine busy with other
        // suites (4 s was missed under load).
        ASSERT_GE(session.WaitForDevice(20000), 0);
        ASSERT_TRUE(session.OnFindDeviceOK());
        ASSERT_TRUE(session.WaitSync(20000));
    }
    Bytes Peek(uint32_t addr, uint32_t len) {
        Bytes out;
        rx->WithMouse([&](sim::VirtualMouse& m) { out = m.Peek(addr, len); });
        return out;
    }

    zvtest::TempDir data;
    std::shared_ptr<sim::VirtualReceiver> rx;
    RecordingUi ui;
    DeviceSession session{ui, {TheProfile(), gVar, gVar, g_MacroList}, 0};
};

TEST_F(ProfileSession, ReadFillsTheListEntryAndTheCache) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_TRUE(session.LastReadOk());
    EXPECT_EQ(g_bSyncDone.load(), 1);
    ASSERT_NE(gVar.pFile, nullptr);
    EXPECT_EQ(gVar.pFile, &gVar.ProfileList[0]);
    EXPECT_TRUE(gVar.pFileRead);
    EXPECT_EQ(gVar.pFile->keys[0][5].dwFunID, 0x080000A9u);
    EXPECT_TRUE(platform::FileExists(data / "PRO_101a.dct"));
}

TEST_F(ProfileSession, FailedReadLeavesTheListAlone) {
    rx->WithMouse([](sim::VirtualMouse& m) { m.Poke(0, {3, 0x52}); });
    gVar.pFileRead = true;  // a mouse read before
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_FALSE(session.LastReadOk());
    // The record taken over holds no value of this mouse's, and the pages show none.
    EXPECT_FALSE(gVar.pFileRead);
    EXPECT_EQ(g_bSyncDone.load(), 1);
    // The entry keeps the defaults it was loaded with, not what the mouse holds (DPI down).
    EXPECT_EQ(gVar.ProfileList[0].keys[0][5].dwFunID, 0x080000AAu);
    EXPECT_FALSE(platform::FileExists(data / "PRO_101a.dct"));
}

// The cache stands for what the mouse holds: a change the mouse refused is not saved into it at
// exit, one it took is.
class ProfileSessionExit : public ProfileSession {
  protected:
    void ChangeRateThenExit(bool refuse) {
        ASSERT_NO_FATAL_FAILURE(Connect());
        ASSERT_EQ(gVar.pFile->nRate, 0x1000);
        if (refuse) rx->InjectFault({sim::FaultKind::kBadStatus, -1, 0, -1});
        TheProfile().EditCurrent([](ProfileFile& f, int32_t&) { f.nRate = 0x500; });
        RequestApply(kApplyRate, 0);
        ASSERT_TRUE(WaitApplyDone(20000));
        rx->ClearFaults();
        session.OnExit();
        TheProfile().Edit([](ProfileState& s) { LoadPro(s); });
        ASSERT_NE(gVar.pFile, nullptr);
    }
};

TEST_F(ProfileSessionExit, AChangeTheMouseTookIsCached) {
    ASSERT_NO_FATAL_FAILURE(ChangeRateThenExit(false));
    EXPECT_EQ(gVar.pFile->nRate, 0x500);
}

TEST_F(ProfileSessionExit, AChangeTheMouseRefusedIsNot) {
    ASSERT_NO_FATAL_FAILURE(ChangeRateThenExit(true));
    EXPECT_EQ(gVar.pFile->nRate, 0x1000);
}

TEST_F(ProfileSession, DpiButtonNotificationSendsNoCommand) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    rx->ClearReceivedReports();
    session.OnDeviceBehavior(2, 1);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 2);
    EXPECT_TRUE(rx->ReceivedReports().empty());
    // A level the device does not have is ignored.
    session.OnDeviceBehavior(6, 1);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 2);
    session.OnDeviceBehavior(8, 2);
    EXPECT_EQ(gVar.pFile->nRate, 0x125);
}

TEST_F(ProfileSession, LightingNotificationReadsTheMouse) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    rx->WithMouse([](sim::VirtualMouse& m) { m.Poke(0xA0, {2, 9, 8, 7, 0, 200, 0x8C}); });
    session.OnDeviceBehavior(0, 4);
    EXPECT_EQ(gVar.pFile->mainLight, (LightBlock{1, 1, 8, 0x070809, {}}));
}

TEST_F(ProfileSession, FactoryResetWithProgressAndItsNotificationIgnored) {
    // Collecting starts before any worker runs: the log level is no shared state to change
    // while they write.
    LogLines log;
    ASSERT_NO_FATAL_FAILURE(Connect());
    // Something of the user's in the mouse that the reset must take away.
    rx->WithMouse([](sim::VirtualMouse& m) { m.Poke(0xA9, {20, 0x41}); });
    platform::recorder::SetWindow(kProgressWindowTitle, 99);
    platform::recorder::TakePosted();
    ASSERT_EQ(session.ResetToDefaults(), 1);
    EXPECT_EQ(ui.texts, std::vector<std::string>{GetText("tc_msg5")});
    EXPECT_EQ(gVar.g_nCurDpiLevel, gVar.pSensorCfg->DEFLEVEL);
    ASSERT_TRUE(WaitApplyDone(10000));
    std::vector<uintptr_t> positions;
    int closes = 0;
    for (auto& m : platform::recorder::TakePosted()) {
        if (m.wnd != 99) continue;
        if (m.msg == WM_PROGRESS_SETPOS) positions.push_back(m.wParam);
        if (m.msg == kWmClose) ++closes;
    }
    EXPECT_EQ(positions, (std::vector<uintptr_t>{20, 60, 70, 80, 90, 100}));
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(Peek(0xA9, 2), (Bytes{4, 0x51}));
    session.OnDeviceBehavior(0, 3);
    EXPECT_EQ(log.Count("this is reset notify, do not process"), 1);
}

TEST_F(ProfileSession, ResetNeedsConfirmationAndADevice) {
    ui.confirm = false;
    // No device yet.
    EXPECT_EQ(session.ResetToDefaults(), 0);
    EXPECT_EQ(ui.texts, std::vector<std::string>{GetText("tc_msg15")});
    ASSERT_NO_FATAL_FAILURE(Connect());
    ui.texts.clear();
    EXPECT_EQ(session.ResetToDefaults(), 0);
    EXPECT_EQ(ui.texts, std::vector<std::string>{GetText("tc_msg5")});
}

TEST_F(ProfileSession, CheckDeviceReadyReasons) {
    // No mouse yet: the missing mouse is the reason, whether or not one was ever read.
    g_bSyncDone = 0;
    EXPECT_EQ(session.CheckDeviceReady(), 0);
    g_bSyncDone = 1;
    EXPECT_EQ(session.CheckDeviceReady(), 0);
    EXPECT_EQ(ui.texts, (std::vector<std::string>{GetText("tc_msg15"), GetText("tc_msg15")}));
    ASSERT_NO_FATAL_FAILURE(Connect());
    // A read in progress refuses every change.
    g_bSyncDone = 0;
    ui.texts.clear();
    EXPECT_EQ(session.CheckDeviceReady(), 0);
    EXPECT_EQ(ui.texts, std::vector<std::string>{GetText("tc_adv_str15")});
    g_bSyncDone = 1;
    gVar.ApplyNow = 1;
    rx->SetMouseOn(false);
    ui.texts.clear();
    EXPECT_EQ(session.CheckDeviceReady(), 0);
    EXPECT_EQ(ui.texts, std::vector<std::string>{GetText("tc_msg10")});
    rx->SetMouseOn(true);
    EXPECT_EQ(session.CheckDeviceReady(), 1);
}

TEST_F(ProfileSession, ButtonRulesOnTheProfileRead) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    gVar.ApplyNow = 1;
    std::vector<std::string> told;
    const auto tell = [&told](const std::string& t) { told.push_back(t); };
    // Button 1 is the only left click: it cannot lose it, and the caller is told why.
    EXPECT_EQ(SetKeyFunction(0, {0x080000A2}, tell), 0);
    EXPECT_EQ(gVar.pFile->keys[0][0].dwFunID, 0x01000011u);
    EXPECT_EQ(told, std::vector<std::string>{GetText("tc_msg1")});
    // A second left click first, then the first button may change; the slot comes from the
    // default keys whatever the caller gave.
    EXPECT_EQ(SetKeyFunction(2, {0x01000011, 9}, tell), 1);
    EXPECT_EQ(gVar.pFile->keys[0][2].MatrixInx, 3u);
    EXPECT_EQ(SetKeyFunction(0, {0x080000A2}, tell), 1);
    EXPECT_EQ(told.size(), 1u);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_EQ(Peek(0x60, 4), (Bytes{0, 0, 0, 0x55}));
    EXPECT_EQ(Peek(0x68, 4), (Bytes{0x01, 0x01, 0x00, 0x53}));
    EXPECT_EQ(GetKeyFunctionText(gVar.pFile->keys[0][0], g_MacroList), GetText("tc_key_off"));
}

TEST(ButtonAssignment, AllSetsFunctionAndItsRemoval) {
    KeySets defaults{};
    for (int s = 0; s < kKeySets; ++s) {
        defaults[s][0] = {0x01000011, 1};
        defaults[s][1] = {0x01000013 + static_cast<uint32_t>(s), 2};
    }
    ProfileFile p;
    p.dwId = 1;
    p.keys = defaults;
    p.nKeySet = 1;
    ASSERT_EQ(StoreKeyFunction(p, defaults, 1, {0x080000AB}), 1);
    for (int s = 0; s < kKeySets; ++s) EXPECT_EQ(p.keys[s][1].dwFunID, 0x080000ABu);
    ASSERT_EQ(StoreKeyFunction(p, defaults, 1, {0x080000A2}), 1);
    EXPECT_EQ(p.keys[0][1], defaults[0][1]);
    EXPECT_EQ(p.keys[1][1], (KeyInfo{0x080000A2, 2}));
    EXPECT_EQ(p.keys[2][1], defaults[2][1]);
    // The guard counts the current set only.
    p.keys[1][0].dwFunID = 0x080000A2;
    p.keys[1][1].dwFunID = 0x01000011;
    EXPECT_EQ(StoreKeyFunction(p, defaults, 1, {0x080000A2}), -1);
    ProfileFile noId;
    EXPECT_EQ(StoreKeyFunction(noId, defaults, 0, {0x01000011}), 0);
}

}  // namespace
