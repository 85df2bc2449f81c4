#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "platform/window_recorder.h"
#include "profile/key_function.h"
#include "profile/profile_defaults.h"
#include "profile/profile_file.h"
#include "profile/sensor_table.h"

namespace {

// 0x3050 is 12368.
const char* const kDevice =
    "[DEV_1]\nSensor=12368\nCID=16\nMID=26\nDM=4\nDPI=500,1000,2000,4000\n"
    "DC=1,2,3,4,5,6,7,8,9,10,11,12\nDR=592\nSleepTime=120\nSleepTimeCheck=0\nShowLOD=2\nKM=6\n"
    "K1_1=1,11,0,1\nK2_1=8,A4,0,2\nK3_1=2,41,1,3\n";

class ProfileRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = gVar;
        gVar.Debounce = 8;
        gVar.EnhancePrecision = 0;
        gVar.LEDParam = {6, 10, 8, 1, 2, 3};
        Catalogue(kDevice);
    }
    void TearDown() override {
        static_cast<AppOptions&>(gVar) = saved;
        BuildSensorTables();
        LoadDeviceSections(IniFile());
        LoadDefaultKeys();
        platform::recorder::Clear();
    }
    static void Catalogue(const std::string& ini) {
        BuildSensorTables();
        ASSERT_TRUE(LoadDeviceSections(IniFile::FromBytes(ini)));
        LoadDefaultKeys();
    }
    AppOptions saved;
};

TEST_F(ProfileRecordTest, NewProfileTakesTheDeviceDefaults) {
    ProfileFile p;
    NewProfile(p, "Work");
    const SensorCfg& d = *gVar.pSensorCfg;

    EXPECT_EQ(p.dwMagic, 0xFCAA1234u);
    EXPECT_NE(p.dwId, 0u);
    EXPECT_LT(p.dwId, 1u << 24);
    EXPECT_EQ(p.Name(), "Work");
    EXPECT_EQ(p.nKeySet, 0);
    EXPECT_EQ(p.keys, d.DefKeys);
    EXPECT_EQ(p.keys[0][1], (KeyInfo{0x080000A4, 2, 0, {}, 0x0A03}));
    EXPECT_EQ(p.nRate, 0x250);
    EXPECT_EQ(p.nWheelLines, 3);
    EXPECT_EQ(p.nDbClickTime, 550);
    EXPECT_EQ(p.nPointerSpeed, 10);
    EXPECT_EQ(p.nEnhancePrecision, 0);
    EXPECT_EQ(p.nMouseTrails, 0);
    EXPECT_EQ(p.bSeparateXY, 0);
    const DpiLevel levels[8] = {
        {500, 500, 0x030201, 0},
        {1000, 1000, 0x060504, 0},
        {2000, 2000, 0x090807, 0},
        {4000, 4000, 0x0C0B0A, 0},
        {0, 0, 0, 1},
        {0, 0, 0, 1},
        {0, 0, 0, 1},
        {0, 0, 0, 1},
    };
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p.dpi[i], levels[i]) << "level " << i;
    EXPECT_EQ(p.nSavedDpiLevel, 0);
    EXPECT_EQ(p.nSensor, 0x3050);
    EXPECT_EQ(p.nDpiLevels, 4);  // DM, as DpiUILevels is 0
    EXPECT_EQ(p.nLod, 2);
    EXPECT_EQ(p.nRipple, 0);
    EXPECT_EQ(p.nFixLine, 0);
    EXPECT_EQ(p.nSleepTime, 120);
    EXPECT_EQ(p.nDebounce, 8);  // the device gives none: the global one
    EXPECT_EQ(p.nLightOffOnMoving, 0);
    EXPECT_EQ(p.nMotionSync, 1);
    EXPECT_EQ(p.nSensorMode, 1);
    EXPECT_EQ(p.nAutoSleep, 6);
    // DpiLEDMode 0 stands for mode 2, brightness 5, speed 3.
    EXPECT_EQ(p.nDpiLightMode, 2);
    EXPECT_EQ(p.nDpiLightBright, 5);
    EXPECT_EQ(p.nDpiLightSpeed, 3);
    // LEDParam mode 6, brightness 10, speed 8; the logo takes mode 1 and speed 5.
    EXPECT_EQ(p.mainLight, (LightBlock{6, 8, 10, 0x030201, {}}));
    EXPECT_EQ(p.logoLight, (LightBlock{1, 5, 10, 0x030201, {}}));
}

TEST_F(ProfileRecordTest, LevelCountAndDebounceFromTheDevice) {
    Catalogue("[DEV_1]\nSensor=12368\nDM=2\nDPI=500,750\nDpiUILevels=5\nDebounce=4\nKM=2\n");
    ProfileFile p;
    NewProfile(p, "x");
    EXPECT_EQ(p.nDpiLevels, 5);
    EXPECT_EQ(p.nDebounce, 4);
    EXPECT_EQ(p.dpi[1].unused, 0u);
    EXPECT_EQ(p.dpi[2].unused, 1u);
}

TEST_F(ProfileRecordTest, NamesAreCutToNineteenCharacters) {
    ProfileFile p;
    p.SetName("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(p.Name(), "abcdefghijklmnopqrs");
    EXPECT_EQ(p.szName[19], 0);
    // A character outside the basic plane is never cut in half.
    p.SetName("abcdefghijklmnopqr\xF0\x9F\x98\x80");
    EXPECT_EQ(p.Name(), "abcdefghijklmnopqr");
}

TEST_F(ProfileRecordTest, ResetKeepsTheId) {
    ProfileFile p;
    NewProfile(p, "Mine");
    const uint32_t id = p.dwId;
    p.nKeySet = 2;
    p.nRate = 0x1000;
    p.keys[0][0].dwFunID = 0x080000A2;
    ResetProfileSettings(p);
    EXPECT_EQ(p.dwId, id);
    EXPECT_EQ(p.Name(), GetText("tc_msg14"));
    EXPECT_EQ(p.nKeySet, 0);
    EXPECT_EQ(p.nRate, 0x250);
    EXPECT_EQ(p.keys, gVar.WorkDefKeys);
}

// The bytes of a record, written out by hand at their offsets.
TEST_F(ProfileRecordTest, BytesAreLittleEndianAtFixedOffsets) {
    ProfileFile p;
    p.dwMagic = kProfileMagic;
    p.dwId = 0x0A1B2C;
    p.SetName("A\xC3\xA9");  // A, e acute
    p.nKeySet = 2;
    p.keys[1][2] = KeyInfo{0x020000A1, 3, 0x112233, {5, 0x41, 0x42, 0}, 0x0A03};
    p.nRate = 0x1000;
    p.nWheelLines = -1;
    p.dpi[1] = {1600, 3200, 0x00FF00, 0};
    p.nDpiLightBright = 7;
    p.mainLight = {4, 2, 9, 0x123456, {}};
    p.logoLight.mode = 3;

    std::array<uint8_t, kProfileFileSize> b{};
    ProfileToBytes(p, b);
    auto at = [&](size_t off, size_t n) { return std::vector<uint8_t>(&b[off], &b[off] + n); };
    using V = std::vector<uint8_t>;
    EXPECT_EQ(at(0, 8), (V{0x34, 0x12, 0xAA, 0xFC, 0x2C, 0x1B, 0x0A, 0x00}));
    EXPECT_EQ(at(528, 6), (V{0x41, 0, 0xE9, 0, 0, 0}));
    EXPECT_EQ(at(568, 4), (V{2, 0, 0, 0}));
    // Key set 1, button 3: 572 + (16 + 2) * 24.
    EXPECT_EQ(at(1004, 24), (V{0xA1, 0,    0,    0x02, 3,    0,    0, 0, 0x33, 0x22, 0x11, 0,
                               5,    0x41, 0x42, 0,    0x03, 0x0A, 0, 0, 0,    0,    0,    0}));
    EXPECT_EQ(at(1724, 8), (V{0x00, 0x10, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(at(1768, 16), (V{0x40, 0x06, 0, 0, 0x80, 0x0C, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(at(1936, 4), (V{7, 0, 0, 0}));
    EXPECT_EQ(at(1984, 16), (V{4, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 0x56, 0x34, 0x12, 0}));
    EXPECT_EQ(at(2040, 4), (V{3, 0, 0, 0}));

    EXPECT_EQ(ProfileFromBytes(b), p);
}

TEST_F(ProfileRecordTest, BytesRoundTripAndReservedIsIgnored) {
    ProfileFile p;
    NewProfile(p, "Round trip");
    std::array<uint8_t, kProfileFileSize> b{};
    ProfileToBytes(p, b);
    std::array<uint8_t, kProfileFileSize> again{};
    ProfileToBytes(ProfileFromBytes(b), again);
    EXPECT_EQ(again, b);

    // Reserved stretches: anything read there is dropped and written back as zero.
    for (size_t off : {8u, 527u, 1940u, 2020u, 2076u, 2115u}) b[off] = 0x5A;
    ProfileFile q = ProfileFromBytes(b);
    EXPECT_EQ(q, p);
}

TEST_F(ProfileRecordTest, SanitizeRepairsFieldsThatReachIndexesOrTheMouse) {
    ProfileFile good;
    NewProfile(good, "ok");
    EXPECT_FALSE(SanitizeProfile(good));
    EXPECT_FALSE(LimitSingleSettings(good));

    const struct {
        const char* what;
        void (*spoil)(ProfileFile&);
        void (*check)(const ProfileFile&);
    } cases[] = {
        {"key set", [](ProfileFile& p) { p.nKeySet = 3; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nKeySet, 0); }},
        {"negative key set", [](ProfileFile& p) { p.nKeySet = -1; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nKeySet, 0); }},
        {"matrix slot", [](ProfileFile& p) { p.keys[2][15].MatrixInx = 17; },
         [](const ProfileFile& p) { EXPECT_EQ(p.keys[2][15].MatrixInx, 0u); }},
        {"level count", [](ProfileFile& p) { p.nDpiLevels = 9; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nDpiLevels, 4); }},
        {"no levels", [](ProfileFile& p) { p.nDpiLevels = 0; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nDpiLevels, 4); }},
        {"current level", [](ProfileFile& p) { p.nSavedDpiLevel = 4; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nSavedDpiLevel, 0); }},
        {"rate", [](ProfileFile& p) { p.nRate = 1000; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nRate, 0x250); }},
        {"main mode", [](ProfileFile& p) { p.mainLight.mode = 7; },
         [](const ProfileFile& p) { EXPECT_EQ(p.mainLight.mode, 6u); }},
        {"main speed", [](ProfileFile& p) { p.mainLight.speed = 11; },
         [](const ProfileFile& p) { EXPECT_EQ(p.mainLight.speed, 10u); }},
        {"main brightness", [](ProfileFile& p) { p.mainLight.brightness = 0; },
         [](const ProfileFile& p) { EXPECT_EQ(p.mainLight.brightness, 1u); }},
        {"logo speed", [](ProfileFile& p) { p.logoLight.speed = 6; },
         [](const ProfileFile& p) { EXPECT_EQ(p.logoLight.speed, 5u); }},
        {"DPI light brightness", [](ProfileFile& p) { p.nDpiLightBright = 0x7FFFFFFF; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nDpiLightBright, 10); }},
        {"DPI light speed", [](ProfileFile& p) { p.nDpiLightSpeed = -3; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nDpiLightSpeed, 1); }},
        // Single settings the pages could not have chosen, which would reach the mouse cut
        // to a byte.
        {"lift-off distance", [](ProfileFile& p) { p.nLod = 77; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nLod, 2); }},
        {"debounce", [](ProfileFile& p) { p.nDebounce = 100000; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nDebounce, 30); }},
        {"sleep", [](ProfileFile& p) { p.nSleepTime = -10; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nSleepTime, 120); }},
        {"auto sleep", [](ProfileFile& p) { p.nAutoSleep = 1000000; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nAutoSleep, 6); }},
        {"switch", [](ProfileFile& p) { p.nMotionSync = 256; },
         [](const ProfileFile& p) { EXPECT_EQ(p.nMotionSync, 1); }},
        {"name end", [](ProfileFile& p) { p.szName.fill(u'x'); },
         [](const ProfileFile& p) { EXPECT_EQ(p.Name(), std::string(19, 'x')); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile p = good;
        c.spoil(p);
        EXPECT_TRUE(SanitizeProfile(p) | LimitSingleSettings(p));
        c.check(p);
        // What they give back is sound.
        EXPECT_FALSE(SanitizeProfile(p));
        EXPECT_FALSE(LimitSingleSettings(p));
    }
}

TEST(KeyFunctionTest, EveryCombinationIsOneFunction) {
    for (uint32_t id : {0x020000A1u, 0x020000A0u, 0x02000000u}) {
        const KeyFunction* f = FindKeyFunction(id);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->rule, MatrixRule::kCombo);
        EXPECT_STREQ(f->menuKey, "tc_combokey");
    }
    EXPECT_EQ(FindKeyFunction(0x080000A5), nullptr);
    EXPECT_EQ(FindKeyFunction(0x0B000003), nullptr);
}

// Decoding goes from codes and usages back to functions: each must name exactly one.
TEST(KeyFunctionTest, CodesAndUsagesAreUnambiguous) {
    std::set<uint32_t> ids;
    for (const KeyFunction& f : KeyFunctions()) {
        SCOPED_TRACE(f.dwFunID);
        EXPECT_TRUE(ids.insert(f.dwFunID).second);
        if (f.rule == MatrixRule::kFixed && f.matrixCode != kNoMatrixCode) {
            EXPECT_EQ(FindKeyFunctionByCode(f.matrixCode), &f);
        }
        if (f.rule == MatrixRule::kConsumer) {
            EXPECT_EQ(FindConsumerFunction(f.consumerUsage), &f);
        }
    }
    EXPECT_STREQ(FindKeyFunctionByCode(0x000101)->textKey, "tc_click");
    EXPECT_STREQ(FindConsumerFunction(0x00E2)->textKey, "tc_mute");
    EXPECT_STREQ(FindKeyFunction(0x03000035)->fallbackTextKey, "tc_back");
}

}  // namespace
