// Writing profiles into the virtual mouse, checked byte by byte in its memory, and the apply
// thread that carries the requests.
#include "profile/eeprom_writer.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "e2e/profile_sim.h"
#include "platform/pointer.h"
#include "profile/apply_thread.h"
#include "profile/combo_record.h"
#include "profile/eeprom_reader.h"
#include "profile/key_function.h"
#include "profile/modifier_bits.h"
#include "support/notice_log.h"

namespace {

using Bytes = std::vector<uint8_t>;
using zvtest::LogLines;
using zvtest::SimMouse;

class ProfileWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data));
        p = &zvtest::UseNewProfile();
        shipped = gVar.pSensorCfg;
    }
    void TearDown() override {
        gVar.GoWithNoDev = 0;
        gVar.pSensorCfg = shipped;
        SetProfileReadPauses(true);
    }
    int Write(SimMouse& m, uint32_t mask, uint32_t index, int32_t level = 0) {
        m.rx->ClearReceivedReports();
        return WriteProfile(CurrentProfileContext(), &m.drv, p, g_MacroList, mask, index, level);
    }

    zvtest::TempDir data;
    zvtest::NoticeLog told;
    ProfileFile* p = nullptr;
    const SensorCfg* shipped = nullptr;
    SensorCfg sensor;  // a changed copy of the entry in use, for as long as the test runs
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
        EXPECT_EQ(EncodeKey(c.key, g_MacroList), c.code);
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
        const uint32_t code = EncodeKey(k, g_MacroList);
        if (f.matrixCode == kNoMatrixCode) {
            EXPECT_EQ(code, kNoKeyCode);
            continue;
        }
        ASSERT_NE(code, kNoKeyCode);
        uint8_t record[kComboSlotBytes] = {};
        BuildComboRecord(k, record, sizeof record);
        KeyInfo back;
        back.MatrixInx = 3;
        ASSERT_EQ(DecodeKey(code, record, sizeof record, back, g_MacroList, u"round"), 1);
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
    ASSERT_EQ(GetProfile(&m.drv, back, g_MacroList), 1);
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

// The logo mouse of the catalogue. The unused bytes on either side of the logo record hold
// marks, so a record written one byte off, or a pair written over the colour, shows.
TEST_F(ProfileWrite, LogoLightingByteForByteAndBack) {
    ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data, 0x10, 0x2B));
    p = &zvtest::UseNewProfile();
    ASSERT_EQ(gVar.pSensorCfg->ShowLogoEffect, 1);
    SimMouse m(0x10, 0x2B);
    ASSERT_TRUE(m.Ready());
    const Bytes marks = {0xA1, 0xA2, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5,
                         0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC1, 0xC2};
    struct Case {
        const char* what;
        LightBlock logo;
        Bytes stored;  // 0x52 to 0x5F
    } cases[] = {
        // Red 0x11, green 0x22, blue 0x33, check 0x55 - 0x66; mode 2; brightness step 3 is T1
        // code 75; speed 4.
        {"on",
         {2, 4, 3, 0x332211, {}},
         {0xA1, 0xA2, 0x11, 0x22, 0x33, 0xEF, 0x02, 0x53, 0x4B, 0x0A, 0x04, 0x51, 0xC1, 0xC2}},
        // Off writes only the mode pair: colour, brightness and speed stay as the mouse has them.
        {"off",
         {0, 4, 3, 0x332211, {}},
         {0xA1, 0xA2, 0xB1, 0xB2, 0xB3, 0xB4, 0x00, 0x55, 0xB7, 0xB8, 0xB9, 0xBA, 0xC1, 0xC2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m.Poke(0x52, marks);
        const Bytes dpiLight = m.Peek(0x4C, 6);
        p->logoLight = c.logo;
        ASSERT_EQ(Write(m, kApplyLighting, 0x01), 1);
        EXPECT_EQ(m.Peek(0x52, 14), c.stored);
        EXPECT_EQ(m.Peek(0x4C, 6), dpiLight);
        if (c.logo.mode != 0) {
            ProfileFile back = *p;
            back.logoLight = {};
            ASSERT_EQ(GetProfile(&m.drv, back, g_MacroList), 1);
            EXPECT_EQ(back.logoLight, c.logo);
        }
    }
}

// Every way a sensor codes DPI, with X and Y apart and codes that use the extension byte. The
// second level holds the first one's values swapped, so an axis or a level taken from the
// wrong byte shows, and both come back through the reader.
TEST_F(ProfileWrite, DpiLevelsWithDistinctAxesOnEverySensorCoding) {
    struct Case {
        int32_t sensor;
        uint32_t x, y;
        Bytes records;  // levels 1 and 2 at 0x0C
    } cases[] = {
        // 26000: code 0x207; 30000: code 0x12B doubled. Bits 8-9 of the codes in bits 2-3 (X)
        // and 6-7 (Y) of the extension byte, the doubling in bits 0 and 4.
        {0x3395, 26000, 30000, {0x07, 0x2B, 0x58, 0xCB, 0x2B, 0x07, 0x85, 0x9E}},
        // 19200: code 191, multiplier 1; 20200: code 100, multiplier 3 (steps of 100, doubled).
        {0x3370, 19200, 20200, {0xBF, 0x64, 0x31, 0x01, 0x64, 0xBF, 0x13, 0x1F}},
        // 11000: the code of 5500 (0x81) with 0x22; 14000: the code of 7000 (0xA4) with 0x11.
        {0x9000, 11000, 14000, {0x81, 0xA4, 0x12, 0x1E, 0xA4, 0x81, 0x21, 0x0F}},
        // 16000: table C's last code 0xBD; 20000: the code of 10000 (0x77), doubled.
        {0x3335, 16000, 20000, {0xBD, 0x77, 0x10, 0x11, 0x77, 0xBD, 0x01, 0x20}},
        // 4000: table B 0x5C; 6000: the code of 3000 (0x45), doubled.
        {0x3325, 4000, 6000, {0x5C, 0x45, 0x10, 0xA4, 0x45, 0x5C, 0x01, 0xB3}},
        // 7300: code 72 in steps of 100; 7200: code 143 in steps of 50.
        {0x3330, 7300, 7200, {0x48, 0x8F, 0x01, 0x7D, 0x8F, 0x48, 0x10, 0x6E}},
        // 7200: code 143; 12000: the code of 6000 (119), doubled.
        {0x3336, 7200, 12000, {0x8F, 0x77, 0x10, 0x3F, 0x77, 0x8F, 0x01, 0x4E}},
        // 600 and 4000: the first and last codes of table A.
        {0x3104, 600, 4000, {0x10, 0x69, 0x00, 0xDC, 0x69, 0x10, 0x00, 0xDC}},
        // 500 and 4000: codes 1 and 11, no multiplier.
        {0x3050, 500, 4000, {0x01, 0x0B, 0x00, 0x49, 0x0B, 0x01, 0x00, 0x49}},
    };
    sensor = *gVar.pSensorCfg;
    sensor.DM = 2;
    gVar.pSensorCfg = &sensor;
    SetProfileReadPauses(false);  // nine whole reads; the virtual mouse needs no pauses
    SimMouse m;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sensor 0x" << std::hex << c.sensor);
        sensor.Sensor = c.sensor;
        p->nDpiLevels = 2;
        p->dpi[0].x = c.x;
        p->dpi[0].y = c.y;
        p->dpi[1].x = c.y;
        p->dpi[1].y = c.x;
        ASSERT_EQ(Write(m, kApplyDpi | kApplyLevelCount, kAllItems), 1);
        EXPECT_EQ(m.Peek(0x0C, 8), c.records);
        EXPECT_EQ(m.Peek(0x02, 2), (Bytes{0x02, 0x53}));
        ProfileFile back = *p;
        for (DpiLevel& l : back.dpi) l = DpiLevel{};
        ASSERT_EQ(GetProfile(&m.drv, back, g_MacroList, nullptr, nullptr, told.Sink()), 1);
        EXPECT_EQ(back.nDpiLevels, 2);
        EXPECT_EQ(back.dpi[0].x, c.x);
        EXPECT_EQ(back.dpi[0].y, c.y);
        EXPECT_EQ(back.dpi[1].x, c.y);
        EXPECT_EQ(back.dpi[1].y, c.x);
    }
    EXPECT_TRUE(told.Take().empty());
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

// Every one-byte setting, the level colours and the DPI light, each with a value no other field
// has, written and read back: a setting written to or read from a neighbour's address shows.
TEST_F(ProfileWrite, SettingsColoursAndDpiLightReadBackFromTheirOwnBytes) {
    SimMouse m;
    p->nRate = 0x250;
    p->nDpiLevels = 3;
    p->nLod = 5;
    p->nDebounce = 9;
    p->nMotionSync = 1;
    p->nSleepTime = 110;
    p->nFixLine = 6;
    p->nRipple = 7;
    p->nLightOffOnMoving = 12;
    p->nAutoSleep = 13;
    p->nSensorMode = 14;
    p->dpi[0].colour = 0x332211;
    p->dpi[1].colour = 0x665544;
    p->dpi[2].colour = 0x998877;
    p->nDpiLightMode = 2;
    p->nDpiLightSpeed = 3;
    p->nDpiLightBright = 5;
    const uint32_t mask = kApplyRate | kApplyLevelCount | kApplyCurLevel | kApplyLod |
                          kApplyDebounce | kApplyMotionSync | kApplySleep | kApplyAngleSnap |
                          kApplyRipple | kApplyLightOffMoving | kApplyAutoSleep | kApplySensorMode |
                          kApplyDpiColours | kApplyLighting;
    ASSERT_EQ(Write(m, mask, kAllItems, 2), 1);
    const struct {
        uint32_t addr;
        Bytes bytes;
    } stored[] = {
        {0x00, {0x04, 0x51}},
        {0x02, {0x03, 0x52}},
        {0x04, {0x02, 0x53}},
        {0x0A, {0x05, 0x50}},
        {0x2C, {0x11, 0x22, 0x33, 0xEF, 0x44, 0x55, 0x66, 0x56, 0x77, 0x88, 0x99, 0xBD}},
        {0x4C, {0x02, 0x53, 0x80, 0xD5, 0x03, 0x52}},  // brightness step 5 is code 128
        {0xA9,
         {0x09, 0x4C, 0x01, 0x54, 0x0B, 0x4A, 0x06, 0x4F, 0x07, 0x4E, 0x0C, 0x49, 0x0D, 0x48, 0x0E,
          0x47}},
    };
    for (const auto& s : stored)
        EXPECT_EQ(m.Peek(s.addr, static_cast<uint32_t>(s.bytes.size())), s.bytes) << s.addr;

    ProfileFile back;
    NewProfile(back, "back");
    gVar.g_nCurDpiLevel = 0;
    ASSERT_EQ(GetProfile(&m.drv, back, g_MacroList), 1);
    EXPECT_EQ(back.nRate, 0x250);
    EXPECT_EQ(back.nDpiLevels, 3);
    EXPECT_EQ(gVar.g_nCurDpiLevel, 2);
    EXPECT_EQ(back.nLod, 5);
    EXPECT_EQ(back.nDebounce, 9);
    EXPECT_EQ(back.nMotionSync, 1);
    EXPECT_EQ(back.nSleepTime, 110);
    EXPECT_EQ(back.nFixLine, 6);
    EXPECT_EQ(back.nRipple, 7);
    EXPECT_EQ(back.nLightOffOnMoving, 12);
    EXPECT_EQ(back.nAutoSleep, 13);
    EXPECT_EQ(back.nSensorMode, 14);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(back.dpi[i].colour, p->dpi[i].colour) << i;
    EXPECT_EQ(back.nDpiLightMode, 2);
    EXPECT_EQ(back.nDpiLightSpeed, 3);
    EXPECT_EQ(back.nDpiLightBright, 5);
}

// A change of one level writes that level's own record from that level's values, and nothing
// else: every level holds other values.
TEST_F(ProfileWrite, OneLevelWritesOnlyItsOwnRecord) {
    SimMouse m;
    for (uint32_t i = 0; i < kDpiLevels; ++i)
        p->dpi[i] = {400 + 100 * i, 800 + 100 * i, 0x0C0B0A + 0x030303 * (i - 3), 0};
    struct Case {
        const char* what;
        uint32_t mask, addr;
        Bytes record;
    } cases[] = {
        // Level 4 (index 3): 700 and 1100 DPI are codes 13 and 21 of 50-DPI steps.
        {"DPI", kApplyDpi, 0x18, {0x0D, 0x15, 0x00, 0x33}},
        {"colour", kApplyDpiColours, 0x38, {0x0A, 0x0B, 0x0C, 0x34}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Write(m, c.mask, 3), 1);
        EXPECT_EQ(m.WriteAddresses(), (std::vector<uint32_t>{c.addr}));
        EXPECT_EQ(m.Peek(c.addr, 4), c.record);
    }
}

// The writer codes for the mouse it is told, not for whichever mouse is selected when it runs:
// the selection may change (or go) while a write is under way.
TEST_F(ProfileWrite, TheContextNamesTheMouseWrittenFor) {
    SimMouse m;
    for (uint32_t i = 0; i < kDpiLevels; ++i) p->dpi[i] = {400 + 100 * i, 800 + 100 * i, 0, 0};
    const ProfileCodecContext ctx = CurrentProfileContext();
    const KeyInfo sniper{0x080000A6, 0, 0, {}, 1};
    const uint32_t sniperCode = EncodeKey(sniper, g_MacroList);
    ASSERT_NE(sniperCode, kNoKeyCode);

    gVar.pSensorCfg = nullptr;  // no mouse selected any more
    EXPECT_EQ(EncodeKey(sniper, g_MacroList), kNoKeyCode);
    EXPECT_EQ(EncodeKey(sniper, ctx, g_MacroList), sniperCode);
    m.rx->ClearReceivedReports();
    ASSERT_EQ(WriteProfile(ctx, &m.drv, p, g_MacroList, kApplyDpi, 3, 0), 1);
    // Level 4: 700 and 1100 DPI in the entry's 50-DPI steps.
    EXPECT_EQ(m.Peek(0x18, 4), (Bytes{0x0D, 0x15, 0x00, 0x33}));
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
    platform::TakeRecordedPointerSettings();
    p->nWheelLines = 5;
    std::vector<uintptr_t> positions;
    ASSERT_EQ(WriteProfile(CurrentProfileContext(), &m.drv, p, g_MacroList, kApplyWindows, 0, 0,
                           [&](uint32_t pos) { positions.push_back(pos); }),
              1);
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
    EXPECT_EQ(
        WriteProfile(CurrentProfileContext(), &m.drv, &noId, g_MacroList, kApplyAll, kAllItems, 0),
        0);
    EXPECT_EQ(WriteProfile(CurrentProfileContext(), &none, p, g_MacroList, kApplyAll, kAllItems, 0),
              0);
    gVar.GoWithNoDev = 1;
    EXPECT_EQ(WriteProfile(CurrentProfileContext(), &none, p, g_MacroList,
                           kApplyAll | kApplyDebounce, kAllItems, 0),
              1);
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
    // The counts run for the whole process: earlier tests' failures are in them.
    const uint64_t failedBefore = GetApplyCounts().failed;
    StartApplyThread(&none, g_MacroList, told.Sink());
    RequestApply(kApplyDebounce, 0);
    ASSERT_TRUE(WaitApplyDone(5000));
    auto boxes = told.Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetText("tc_msg15"));
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(GetApplyCounts().failed, failedBefore + 1);
}

TEST_F(ApplyThreadTest, NoDeviceWithGoWithNoDevRunsTheWriterSilently) {
    CUSBDriver none;
    gVar.GoWithNoDev = 1;
    StartApplyThread(&none, g_MacroList, told.Sink());
    RequestApply(kApplyAll, kAllItems);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_TRUE(told.Take().empty());
}

TEST_F(ApplyThreadTest, FailedWriteShowsTheFailureText) {
    SimMouse m;
    p->nRate = 0x300;
    StartApplyThread(&m.drv, g_MacroList, told.Sink());
    RequestApply(kApplyRate, 0);
    ASSERT_TRUE(WaitApplyDone(5000));
    auto boxes = told.Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "   Update settings failed!      ");
}

// Requests placed while the thread is busy with an earlier one. The thread is held inside the
// earlier request (it needs the profile lock to copy the record, and the test holds it) and is
// seen to have started it before the two are placed, so what the thread takes does not depend
// on how fast anything runs.
TEST_F(ApplyThreadTest, RequestsWaitingTogetherMergeByKind) {
    struct Req {
        uint32_t flag, data;
    };
    struct Case {
        const char* what;
        Req first, second;
        std::vector<std::string> carried;  // the requests the thread then carries out
    } cases[] = {
        {"lighting zones combine",
         {kApplyLighting, 0x02},
         {kApplyLighting, 0x04},
         {"nFlag=0x2, nData=0x6"}},
        {"two buttons become all of them",
         {kApplyKeys, 1},
         {kApplyKeys, 2},
         {"nFlag=0x1, nData=0xff"}},
        {"the same button stays one", {kApplyKeys, 2}, {kApplyKeys, 2}, {"nFlag=0x1, nData=0x2"}},
        {"a setting takes the button of the later request",
         {kApplyDebounce, 0},
         {kApplyKeys, 3},
         {"nFlag=0x1001, nData=0x3"}},
        {"a setting keeps the button of the earlier request",
         {kApplyKeys, 3},
         {kApplyRipple, 0},
         {"nFlag=0x801, nData=0x3"}},
        {"a button and a level stay apart",
         {kApplyKeys, 1},
         {kApplyDpi, 3},
         {"nFlag=0x1, nData=0x1", "nFlag=0x4, nData=0x3"}},
        {"the factory reset stands alone",
         {kApplyDebounce, 0},
         {kApplyReset, 0},
         {"nFlag=0x1000, nData=0x0", "nFlag=0x100, nData=0x0"}},
    };
    LogLines log;
    SimMouse m;
    ASSERT_TRUE(m.Ready());
    StartApplyThread(&m.drv, g_MacroList, told.Sink());
    int held = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int> before;
        for (const std::string& line : c.carried) before.push_back(log.Count(line));
        const ApplyCounts counts = GetApplyCounts();
        // The apply thread copies the record under the monitor's lock: holding it keeps the
        // thread at its copy of the first request while the next two wait together.
        const bool waited = TheProfile().Read([&](const ProfileState&) {
            RequestApply(kApplyCurLevel, 0x77);
            if (!log.WaitForCount("nFlag=0x10, nData=0x77", ++held)) return false;
            RequestApply(c.first.flag, c.first.data);
            RequestApply(c.second.flag, c.second.data);
            return true;
        });
        ASSERT_TRUE(waited);
        ASSERT_TRUE(WaitApplyDone(20000));
        for (size_t i = 0; i < c.carried.size(); ++i)
            EXPECT_EQ(log.Count(c.carried[i]), before[i] + 1) << c.carried[i];
        EXPECT_EQ(GetApplyCounts().done, counts.done + 1 + c.carried.size());
    }
}

// The thread is there only while there is work: the first request starts it, it ends after a
// few idle seconds, and the next request starts it again and is carried out.
TEST_F(ApplyThreadTest, ThreadEndsWhenIdleAndTheNextRequestStartsItAgain) {
    CUSBDriver none;
    StartApplyThread(&none, g_MacroList, 0);
    EXPECT_FALSE(ApplyThreadWorking());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::atomic<std::thread::id> ranOn{};
        RequestApplyTask([&] { ranOn = std::this_thread::get_id(); });
        ASSERT_TRUE(WaitApplyDone(5000));
        EXPECT_NE(ranOn.load(), std::thread::id{});
        EXPECT_NE(ranOn.load(), std::this_thread::get_id());
        for (int i = 0; i < 200 && ApplyThreadWorking(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(ApplyThreadWorking());
    }
}

TEST_F(ApplyThreadTest, RequestsPlacedWhileBusyAreAllWritten) {
    SimMouse m(0x10, 0x1A, 4);
    StartApplyThread(&m.drv, g_MacroList, told.Sink());
    const ApplyCounts before = GetApplyCounts();
    TheProfile().EditCurrent([](ProfileFile& f, int32_t&) {
        f.nDebounce = 9;
        f.keys[0][1] = {0x01000015, 2};
    });
    RequestApply(kApplyDebounce, 0);
    RequestApply(kApplyKeys, 1);
    TheProfile().EditCurrent([](ProfileFile& f, int32_t&) {
        f.keys[0][2] = {0x01000014, 3};
        f.nRipple = 1;
    });
    RequestApply(kApplyKeys, 2);
    RequestApply(kApplyRipple, 0);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_EQ(m.Peek(0xA9, 2), (Bytes{0x09, 0x4C}));
    EXPECT_EQ(m.Peek(0xB1, 2), (Bytes{0x01, 0x54}));
    EXPECT_EQ(m.Peek(0x64, 4), (Bytes{0x01, 0x08, 0x00, 0x4C}));
    EXPECT_EQ(m.Peek(0x68, 4), (Bytes{0x01, 0x10, 0x00, 0x44}));
    EXPECT_EQ(GetApplyCounts().failed, before.failed);
}

// The thread writes a macro button with the macro from the library it was started with, and
// the reader puts the mouse's macro back into the library it is handed: the program's own list
// is neither asked nor changed.
TEST_F(ApplyThreadTest, MacroButtonsGoThroughTheLibraryHandedIn) {
    SimMouse m;
    MacroList library;
    StMacro mac = NewMacroRecord("Own");
    mac.events[0] = {0x41, kMacroEventDown, 50};
    mac.events[1] = {0x41, 0, 0};
    ASSERT_TRUE(library.AddMacroToList(mac));
    ASSERT_FALSE(g_MacroList.Contains(mac.id));
    const size_t programs = g_MacroList.Count();
    TheProfile().EditCurrent([&](ProfileFile& f, int32_t&) {
        f.keys[0][4] = {0x05000000, 5, mac.id};
    });
    StartApplyThread(&m.drv, library, told.Sink());
    RequestApply(kApplyKeys, kAllItems);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_TRUE(told.Take().empty());
    // Name "Own", then the events as the writer always lays them out.
    const Bytes area = m.Peek(0x300 + 4 * 384, 48);
    EXPECT_EQ(Bytes(area.begin(), area.begin() + 7), (Bytes{0x06, 'O', 0, 'w', 0, 'n', 0}));
    EXPECT_EQ(Bytes(area.begin() + 31, area.begin() + 46),
              (Bytes{0x02, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04, 0x00, 0x00, 0x00, 0x57, 0x00,
                     0x00, 0x00}));
    EXPECT_EQ(m.Peek(0x70, 4), (Bytes{0x06, 0x04, 0x01, 0x4A}));

    ProfileFile back = *p;
    back.keys[0][4] = KeyInfo{};
    ASSERT_EQ(GetProfile(&m.drv, back, library), 1);
    EXPECT_EQ(back.keys[0][4].dwMacroID, mac.id);
    EXPECT_EQ(library.Count(), 1u);
    EXPECT_EQ(g_MacroList.Count(), programs);
}

}  // namespace
