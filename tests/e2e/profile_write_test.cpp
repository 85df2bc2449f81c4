// Writing profiles into the virtual mouse, checked byte by byte in its memory, and the apply
// thread that carries the requests.
#include "profile/eeprom_writer.h"

#include "e2e/profile_sim.h"
#include "platform/pointer.h"
#include "profile/apply_thread.h"
#include "profile/combo_record.h"
#include "profile/eeprom_reader.h"
#include "profile/key_function.h"
#include "profile/modifier_bits.h"

namespace {

using Bytes = std::vector<uint8_t>;
using zvtest::LogLines;
using zvtest::SimMouse;

class ProfileWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        zvtest::LoadShippedConfig(data);
        p = &zvtest::UseNewProfile();
    }
    void TearDown() override { gVar.GoWithNoDev = 0; }
    int Write(SimMouse& m, uint32_t mask, uint32_t index, int32_t level = 0) {
        m.rx->ClearReceivedReports();
        return WriteProfile(0, &m.drv, p, WM_PROGRESS_SETPOS, mask, index, level);
    }

    zvtest::TempDir data;
    ProfileFile* p = nullptr;
};

TEST_F(ProfileWrite, EncodeKeyTable) {
    StMacro looped = NewMacroRecord("loop");
    looped.LoopMode = 2;
    StMacro counted = NewMacroRecord("count");
    counted.repeatCount = 0x103;  // only the low byte reaches the mouse
    ASSERT_TRUE(g_MacroList.AddMacroToList(looped));
    ASSERT_TRUE(g_MacroList.AddMacroToList(counted));
    struct Case {
        const char* what;
        KeyInfo key;
        uint32_t code;
    } cases[] = {
        {"left", {0x01000011}, 0x000101},
        {"triple click", {0x01000017}, 0x033204},
        {"combination", {0x020000A1}, 0x000005},
        {"volume up", {0x04000026}, 0x000005},
        {"macro looping until released", {0x05000000, 0, looped.id}, 0xFE0006},
        {"macro three times", {0x05000000, 0, counted.id}, 0x030006},
        {"macro no longer in the library", {0x05000000, 0, 0x123}, kNoKeyCode},
        {"off", {0x080000A2}, 0x000000},
        {"fire 3 shots every 0x0A", {0x080000A4, 0, 0, {}, 0x0A03}, 0x030A04},
        {"profile switch", {0x080000B0}, 0x000009},
        {"lighting switch has no code", {0x080000AE}, kNoKeyCode},
        {"custom key", {0x080000AD, 0, 0, {}, 0x00123456}, 0x00123456},
        {"extra key", {0x0B000001, 0, 0, {}, 0x000707}, 0x000707},
        {"sniper beyond the list", {0x080000A6, 0, 0, {}, 9999}, kNoKeyCode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EncodeKey(c.key), c.code);
    }
}

// The writer and the reader share one table of functions: whatever the writer stores for a
// function, the reader must turn back into that function with its parameter.
TEST_F(ProfileWrite, EveryFunctionReadsBackFromTheCodeItWrites) {
    StMacro macro = NewMacroRecord("round");
    macro.repeatCount = 2;
    ASSERT_TRUE(g_MacroList.AddMacroToList(macro));
    for (const KeyFunction& f : KeyFunctions()) {
        SCOPED_TRACE(f.dwFunID);
        if (f.rule == MatrixRule::kParameter) continue;  // the code is the parameter itself
        KeyInfo k{f.dwFunID, 3};
        if (f.rule == MatrixRule::kCombo) k.stCombo = {kComboCtrl | kComboAlt, 0x41, 0x42, 0};
        if (f.rule == MatrixRule::kMacro) k.dwMacroID = macro.id;
        if (f.rule == MatrixRule::kFire) k.dwParameter = 0x0A03;
        if (f.rule == MatrixRule::kSnipe) k.dwParameter = 2;
        const uint32_t code = EncodeKey(k);
        if (f.matrixCode == kNoMatrixCode) {
            EXPECT_EQ(code, kNoKeyCode);
            continue;
        }
        ASSERT_NE(code, kNoKeyCode);
        uint8_t record[kComboSlotBytes] = {};
        BuildComboRecord(k, record, sizeof record);
        KeyInfo back;
        back.MatrixInx = 3;
        ASSERT_EQ(DecodeKey(code, record, sizeof record, back, u"round"), 1);
        // Every combination reads back as the one combination function.
        EXPECT_EQ(FindKeyFunction(back.dwFunID), FindKeyFunction(k.dwFunID));
        EXPECT_EQ(back.stCombo, k.stCombo);
        EXPECT_EQ(back.dwMacroID, k.dwMacroID);
        EXPECT_EQ(back.dwParameter, k.dwParameter);
        EXPECT_EQ(back.MatrixInx, 3u);
    }
}

TEST_F(ProfileWrite, OneButtonWithoutASlotWritesNothing) {
    LogLines log;
    SimMouse m;
    p->keys[0][3].MatrixInx = 0;
    EXPECT_EQ(Write(m, kApplyKeys, 3), 1);
    EXPECT_TRUE(m.WriteAddresses().empty());
    EXPECT_EQ(log.Count("Matrix--------------------"), 1);
}

TEST_F(ProfileWrite, TwoButtonsOnOneSlotTheLaterWins) {
    SimMouse m;
    p->keys[0][1] = {0x01000015, 2};  // back
    p->keys[0][4] = {0x01000014, 2};  // forward, also on slot 2
    ASSERT_EQ(Write(m, kApplyKeys, kAllItems), 1);
    EXPECT_EQ(m.Peek(0x64, 4), (Bytes{0x01, 0x10, 0x00, 0x44}));
    // Slot 5 is filled by no button of the set: switched off.
    EXPECT_EQ(m.Peek(0x70, 4), (Bytes{0x00, 0x00, 0x00, 0x55}));
}

TEST_F(ProfileWrite, FunctionWithoutCodeStoresFFFFFF) {
    SimMouse m;
    p->keys[0][2].dwFunID = 0x080000AE;
    ASSERT_EQ(Write(m, kApplyKeys, 2), 1);
    EXPECT_EQ(m.WriteAddresses(), (std::vector<uint32_t>{0x68}));
    EXPECT_EQ(m.Peek(0x68, 4), (Bytes{0xFF, 0xFF, 0xFF, 0x58}));
}

TEST_F(ProfileWrite, CombinationAndMacroAreasThenTheMatrix) {
    SimMouse m;
    // Ctrl+Shift+A on button 3 (slot 4), a one-key macro on button 4 (slot 5).
    p->keys[0][3] = {0x020000A1, 4, 0, {kComboCtrl | kComboShift, 0x41, 0, 0}};
    StMacro mac = NewMacroRecord("Go");
    mac.events[0] = {0x41, kMacroEventDown, 50};
    mac.events[1] = {0x41, 0, 0};
    ASSERT_TRUE(g_MacroList.AddMacroToList(mac));
    p->keys[0][4] = {0x05000000, 5, mac.id};
    ASSERT_EQ(Write(m, kApplyKeys, kAllItems), 1);
    EXPECT_EQ(m.Peek(0x160, 21),
              (Bytes{0x06, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00, 0x81, 0x04, 0x00, 0x40,
                     0x01, 0x00, 0x40, 0x02, 0x00, 0x41, 0x04, 0x00, 0xFF, 0x00}));
    // Name "Go", count 2, A down 50 ms, A up, check byte, end mark.
    Bytes area = m.Peek(0x300 + 4 * 384, 48);
    EXPECT_EQ(Bytes(area.begin(), area.begin() + 5), (Bytes{0x04, 'G', 0, 'o', 0}));
    EXPECT_EQ(Bytes(area.begin() + 31, area.begin() + 46),
              (Bytes{0x02, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04, 0x00, 0x00, 0x00, 0x57, 0x00,
                     0x00, 0x00}));
    // Matrix: combination 05, macro 06 with its slot index 4 in the second byte.
    EXPECT_EQ(m.Peek(0x6C, 8), (Bytes{0x05, 0x00, 0x00, 0x50, 0x06, 0x04, 0x01, 0x4A}));
}

TEST_F(ProfileWrite, AllButtonsReadBackAsWritten) {
    SimMouse m;
    StMacro mac = NewMacroRecord("Back");
    mac.events[0] = {0x42, kMacroEventDown, 10};
    mac.events[1] = {0x42, 0, 0};
    ASSERT_TRUE(g_MacroList.AddMacroToList(mac));
    p->keys[0][1] = {0x04000026, 2};
    p->keys[0][2] = {0x05000000, 3, mac.id};
    p->keys[0][3] = {0x080000A4, 4, 0, {}, 0x0A05};
    p->keys[0][4] = {0x020000A1, 5, 0, {kComboAlt, 0x09, 0, 0}};
    p->keys[0][5] = {0x080000B0, 6};
    ASSERT_EQ(Write(m, kApplyKeys, kAllItems), 1);
    ProfileFile back = *p;
    for (KeyInfo& k : back.keys[0]) k = KeyInfo{};
    ASSERT_EQ(GetProfile(&m.drv, back), 1);
    // Combinations come back as the one type-2 value the mouse's record allows.
    p->keys[0][4].dwFunID = 0x02000000;
    for (int b = 0; b < 6; ++b) EXPECT_EQ(back.keys[0][b], p->keys[0][b]) << b;
}

TEST_F(ProfileWrite, MainLightingOffChangesOnlyModeAndCheck) {
    SimMouse m;
    Bytes before = m.Peek(0xA0, 7);
    p->mainLight.mode = 0;
    ASSERT_EQ(Write(m, kApplyLighting, 0x02), 1);
    Bytes after = m.Peek(0xA0, 7);
    Bytes want = before;
    want[0] = 4;
    want[6] = static_cast<uint8_t>(before[6] - 3);
    EXPECT_EQ(after, want);
}

TEST_F(ProfileWrite, LightingRecords) {
    SimMouse m;
    p->mainLight = {3, 8, 10, 0x030201, {}};  // wave: S2 and T2
    p->nDpiLightMode = 2;
    p->nDpiLightSpeed = 3;
    p->nDpiLightBright = 5;
    ASSERT_EQ(Write(m, kApplyLighting, 0x06), 1);
    EXPECT_EQ(m.Peek(0xA0, 7), (Bytes{0x00, 0x01, 0x02, 0x03, 0x03, 0xFC, 0x50}));
    EXPECT_EQ(m.Peek(0x4C, 6), (Bytes{0x02, 0x53, 0x80, 0xD5, 0x03, 0x52}));
}

TEST_F(ProfileWrite, RateThatTheMouseCannotTakeFailsAfterEarlierSteps) {
    SimMouse m;
    p->nDpiLevels = 4;
    p->nRate = 0x300;
    EXPECT_EQ(Write(m, kApplyLevelCount | kApplyRate, 0), 0);
    EXPECT_EQ(m.Peek(0x02, 2), (Bytes{0x04, 0x51}));
    EXPECT_EQ(m.Peek(0x00, 2), (Bytes{0x01, 0x54}));
}

TEST_F(ProfileWrite, SensorCodeAbove255RidesInTheExtensionByte) {
    SimMouse m;
    p->dpi[0].x = p->dpi[0].y = 30000;
    ASSERT_EQ(Write(m, kApplyDpi, 0), 1);
    EXPECT_EQ(m.Peek(0x0C, 4), (Bytes{0x2B, 0x2B, 0x55, 0xAA}));
}

TEST_F(ProfileWrite, SingleSettingsGoInTableOrder) {
    SimMouse m;
    p->nDebounce = 8;
    p->nFixLine = 1;
    ASSERT_EQ(Write(m, kApplyDebounce | kApplyAngleSnap, 0), 1);
    EXPECT_EQ(m.WriteAddresses(), (std::vector<uint32_t>{0xAF, 0xA9}));
    EXPECT_EQ(m.Peek(0xA9, 2), (Bytes{0x08, 0x4D}));
    EXPECT_EQ(m.Peek(0xAF, 2), (Bytes{0x01, 0x54}));

    ASSERT_EQ(Write(m, kApplyCurLevel, 0, 3), 1);
    EXPECT_EQ(m.WriteAddresses(), (std::vector<uint32_t>{0x04}));
    EXPECT_EQ(m.Peek(0x04, 2), (Bytes{0x03, 0x52}));
}

TEST_F(ProfileWrite, ProgressPositionsAndPointerSettings) {
    SimMouse m;
    platform::recorder::SetWindow("progress", 77);
    platform::TakeRecordedPointerSettings();
    p->nWheelLines = 5;
    ASSERT_EQ(WriteProfile(77, &m.drv, p, WM_PROGRESS_SETPOS, kApplyWindows, 0, 0), 1);
    std::vector<uintptr_t> positions;
    for (auto& msg : platform::recorder::TakePosted())
        if (msg.wnd == 77 && msg.msg == WM_PROGRESS_SETPOS) positions.push_back(msg.wParam);
    EXPECT_EQ(positions, (std::vector<uintptr_t>{20, 60, 70, 80, 90, 100}));
    auto applied = platform::TakeRecordedPointerSettings();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].wheelLines, 5);
}

TEST_F(ProfileWrite, NothingWithoutRecordIdOrDevice) {
    SimMouse m;
    CUSBDriver none;
    ProfileFile noId = *p;
    noId.dwId = 0;
    EXPECT_EQ(WriteProfile(0, &m.drv, &noId, WM_PROGRESS_SETPOS, kApplyAll, kAllItems, 0), 0);
    EXPECT_EQ(WriteProfile(0, &none, p, WM_PROGRESS_SETPOS, kApplyAll, kAllItems, 0), 0);
    gVar.GoWithNoDev = 1;
    EXPECT_EQ(
        WriteProfile(0, &none, p, WM_PROGRESS_SETPOS, kApplyAll | kApplyDebounce, kAllItems, 0), 1);
}

// ---- apply thread -------------------------------------------------------------------------

class ApplyThreadTest : public ProfileWrite {
  protected:
    void TearDown() override {
        StopApplyThread();
        ProfileWrite::TearDown();
    }
};

TEST_F(ApplyThreadTest, NoDeviceShowsTheMessageAndWritesNothing) {
    CUSBDriver none;
    StartApplyThread(&none, 5);
    RequestApply(kApplyDebounce, 0);
    ASSERT_TRUE(WaitApplyDone(5000));
    auto boxes = platform::recorder::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetText("tc_msg15"));
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(GetApplyCounts().failed, 1u);
}

TEST_F(ApplyThreadTest, NoDeviceWithGoWithNoDevRunsTheWriterSilently) {
    CUSBDriver none;
    gVar.GoWithNoDev = 1;
    StartApplyThread(&none, 5);
    RequestApply(kApplyAll, kAllItems);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_TRUE(platform::recorder::TakeMessageBoxes().empty());
}

TEST_F(ApplyThreadTest, FailedWriteShowsTheFailureText) {
    SimMouse m;
    p->nRate = 0x300;
    StartApplyThread(&m.drv, 5);
    RequestApply(kApplyRate, 0);
    ASSERT_TRUE(WaitApplyDone(5000));
    auto boxes = platform::recorder::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "   Update settings failed!      ");
}

TEST_F(ApplyThreadTest, RequestsPlacedWhileBusyAreAllWritten) {
    SimMouse m(0x10, 0x1A, 4);
    StartApplyThread(&m.drv, 0);
    const ApplyCounts before = GetApplyCounts();
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        p->nDebounce = 9;
        p->keys[0][1] = {0x01000015, 2};
    }
    RequestApply(kApplyDebounce, 0);
    RequestApply(kApplyKeys, 1);
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        p->keys[0][2] = {0x01000014, 3};
        p->nRipple = 1;
    }
    RequestApply(kApplyKeys, 2);
    RequestApply(kApplyRipple, 0);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_EQ(m.Peek(0xA9, 2), (Bytes{0x09, 0x4C}));
    EXPECT_EQ(m.Peek(0xB1, 2), (Bytes{0x01, 0x54}));
    EXPECT_EQ(m.Peek(0x64, 4), (Bytes{0x01, 0x08, 0x00, 0x4C}));
    EXPECT_EQ(m.Peek(0x68, 4), (Bytes{0x01, 0x10, 0x00, 0x44}));
    EXPECT_EQ(GetApplyCounts().failed, before.failed);
}

}  // namespace
