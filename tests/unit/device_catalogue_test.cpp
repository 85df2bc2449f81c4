#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "platform/fs.h"
#include "platform/window_recorder.h"
#include "profile/key_function.h"
#include "profile/sensor_table.h"
#include "support/notice_log.h"
#include "support/temp_dir.h"

namespace {

class DeviceCatalogueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gVar.Setp200_3325 = 0;
        gVar.Sensor9000Max = 12000;
        gVar.Sensor3395Max = 32000;
        gVar.OldAdvDlg = 0;
        gVar.ShowMotionSync = 0;
        BuildSensorTables();
        platform::recorder::Clear();
    }
    void TearDown() override {
        platform::recorder::Clear();
        BuildSensorTables();
        LoadDeviceSections(IniFile());
    }
    bool Load(const std::string& text) {
        bool ok = LoadDeviceSections(IniFile::FromBytes(text), told.Sink());
        boxes = told.Take();
        return ok;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const Notice& b : boxes) out.push_back(b.text + " / " + b.caption);
        return out;
    }
    const SensorCfg& Dev(int n) const { return gVar.SensorCfgs[static_cast<size_t>(n - 1)]; }
    std::vector<uint16_t> List(uint32_t sensor) const {
        const SensorTable* t = FindSensorTable(sensor);
        return t ? std::vector<uint16_t>(t->dpi.begin(), t->dpi.begin() + t->count)
                 : std::vector<uint16_t>{};
    }

    std::vector<Notice> boxes;
    zvtest::NoticeLog told;
};

// 0x3050 is 12368, 0x3325 is 13093, 0x3335 is 13109, 0x3360 (no table) is 13152.
const char* const kSmall =
    "[DEV_1]\nSensor=12368\nCID=1\nMID=2\nDM=4\nDPI=500,1000,2000,4000\nKM=12\n";

TEST_F(DeviceCatalogueTest, NoSectionGivesEmptyFirstEntry) {
    EXPECT_TRUE(Load("[OPT]\nDebug=0\n"));
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(gVar.pSensorCfg, &gVar.SensorCfgs[0]);
    EXPECT_EQ(gVar.pSensorCfg->Sensor, 0);
    EXPECT_EQ(CodeToDpi(4, 0), 0u);
    EXPECT_EQ(FindSensorCfg(0, 0), nullptr);
}

TEST_F(DeviceCatalogueTest, ReadsEntryWithDefaults) {
    ASSERT_TRUE(Load(kSmall));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(Texts());
    const SensorCfg& d = Dev(1);
    EXPECT_EQ(d.DM, 4);
    EXPECT_EQ(d.nKeyNum, 6);
    EXPECT_EQ(d.MDNUM, 3);
    EXPECT_EQ(d.DR, 1280);
    EXPECT_EQ(d.DpiLEDMode, 0x030502);
    EXPECT_EQ(d.DC[1], 0xFF0000u);  // blue
    EXPECT_EQ(d.ptRipple, (ZvPoint{826, 435}));
    EXPECT_EQ(d.SleepVal[10], 2400);
    EXPECT_EQ(d.SleepVal[11], 0);
    EXPECT_EQ(FindSensorCfg(1, 2), &d);
    EXPECT_EQ(FindSensorCfg(2, 1), nullptr);
}

TEST_F(DeviceCatalogueTest, HardFailures) {
    const struct {
        const char* keys;
        bool ok;
    } cases[] = {
        {"KM=33\n", false},   {"KM=34\n", false},   {"KM=0\n", false},   {"KM=2\n", true},
        {"MDNUM=5\n", false}, {"MDNUM=0\n", false}, {"MDNUM=6\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        std::string ini =
            std::string("[DEV_1]\nSensor=12368\n") + c.keys + "[DEV_2]\nSensor=12368\n";
        EXPECT_EQ(Load(ini), c.ok);
        EXPECT_EQ(Dev(2).Sensor != 0, c.ok);  // loading stops at the failing section
    }
}

TEST_F(DeviceCatalogueTest, KM33FailsDataInitialisation) {
    zvtest::TempDir dir;
    dir.Write("cfg.ini", "[OPT]\nappdir=Zorvan\n[DEV_1]\nSensor=12368\nKM=33\n");
    std::string saved = gVar.szAppDir;
    gVar.szAppDir = dir.path();
    EXPECT_EQ(LoadConfiguration(), 0);
    gVar.szAppDir = saved;
}

TEST_F(DeviceCatalogueTest, DefaultDpiAndColourChecks) {
    const struct {
        const char* keys;
        std::vector<std::string> messages;
        int32_t dpi0;
        uint32_t colour0;
    } cases[] = {
        // DM 4 with three values: the sensor's default set.
        {"DM=4\nDPI=800,1600,3200\n", {"DPI != DM. / Warning"}, 750, 0x0000FF},
        {"DM=2\nDPI=1000,1234\n", {"Wrong default dpi value: 1234 / Warning"}, 1000, 0x0000FF},
        {"DM=2\nDC=1,2,3,4,5\n", {"DC != DM. / Warning"}, 750, 0x0000FF},
        {"DM=2\nDC=1,2,3,4,5,6\n", {}, 750, 0x030201},
        {"DpiLimit=100,200,300\n", {"wrong DpiLimit value / Warning"}, 750, 0x0000FF},
        {"Mark1=1,2,3\n", {"Mark value error / Error"}, 750, 0x0000FF},
        {"ptMark=5\n", {"Wrong POINT num / Error"}, 750, 0x0000FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        ASSERT_TRUE(Load(std::string("[DEV_1]\nSensor=12368\nKM=2\n") + c.keys));
        EXPECT_EQ(Texts(), c.messages);
        EXPECT_EQ(Dev(1).DPI[0], c.dpi0);
        EXPECT_EQ(Dev(1).DC[0], c.colour0);
    }
}

TEST_F(DeviceCatalogueTest, SensorWithoutTableWarnsAndStillGivesEntry) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=13152\nDM=1\nKM=2\n"));
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts()[0], "Can't find sensor / Warning");
    EXPECT_EQ(Dev(1).DPI[0], 1000);  // the sensor still has a default set
    EXPECT_EQ(CodeToDpi(1, 0), 0u);
}

TEST_F(DeviceCatalogueTest, SharedSensorTakesTheLaterRange) {
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nDPIRANGE=100,300,100\nDM=1\nDPI=200\nKM=2\n"
             "[DEV_2]\nSensor=12368\nDPIRANGE=1000,1500,250\nDM=1\nDPI=1250\nKM=2\n"));
    EXPECT_EQ(List(0x3050), (std::vector<uint16_t>{1000, 1250, 1500}));
    // The first device's default was checked against the list in force when it was read.
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(Texts());
}

TEST_F(DeviceCatalogueTest, DpiRangeBuildsListThroughAliases) {
    const struct {
        const char* keys;
        std::vector<uint16_t> list;
        std::vector<std::string> messages;
    } cases[] = {
        {"DPIRANGE=100,300,100,1000,2000,500\n", {100, 200, 300, 1000, 1500, 2000}, {}},
        {"DPIRANGE=100,300,100\nDPIRANGEALIAS=200,250,300,-1\n", {100, 250, 300}, {}},
        {"DPIRANGE=500,100,100\n", {500}, {}},  // the start is always taken
        // Unusable ranges leave the built-in list.
        {"DPIRANGE=100,300\n", {}, {"Wrong DPIRANGE / Warning"}},
        {"DPIRANGE=100,300,0\n", {}, {"Wrong DPIRANGE / Warning"}},
        {"DPIRANGE=100,300,-100\n", {}, {"Wrong DPIRANGE / Warning"}},
        {"DPIRANGE=100,70000,100\n", {}, {"Wrong DPIRANGE / Warning"}},
        // An incomplete second range is left out.
        {"DPIRANGE=100,300,100,1000,2000\n", {100, 200, 300}, {}},
        // Aliases rename values of the built-in list too.
        {"DPIRANGEALIAS=750,800\n",
         {500, 800, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        BuildSensorTables();
        ASSERT_TRUE(Load(std::string("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=100\n") + c.keys));
        std::vector<std::string> msgs = Texts();
        // The default 100 is only in some of the lists.
        std::erase(msgs, "Wrong default dpi value: 100 / Warning");
        EXPECT_EQ(msgs, c.messages);
        if (c.list.empty())
            EXPECT_EQ(List(0x3050).size(), 11u);
        else
            EXPECT_EQ(List(0x3050), c.list);
    }
}

TEST_F(DeviceCatalogueTest, DpiRangeNeverPassesTheTableSize) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=10\nDPIRANGE=10,20000,10\n"));
    auto list = List(0x3050);
    ASSERT_EQ(list.size(), 650u);
    EXPECT_EQ(list.back(), 6500);
}

TEST_F(DeviceCatalogueTest, AliasTableHoldsTenPairs) {
    std::string alias;
    for (int i = 0; i < 11; ++i) alias += std::to_string(100 * (i + 1)) + ",1,";
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=1\nDPIRANGE=100,1100,100\n"
             "DPIRANGEALIAS=" +
             alias + "\n"));
    auto list = List(0x3050);
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(list[9], 1);
    EXPECT_EQ(list[10], 1100);  // the eleventh pair is not taken
}

TEST_F(DeviceCatalogueTest, The3335IsNeverOfferedAbove32000) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=13109\nKM=2\nDM=1\nDPI=100\nDPIRANGE=100,40000,100\n"));
    auto list = List(0x3335);
    ASSERT_EQ(list.size(), 320u);
    EXPECT_EQ(list.back(), 32000);
}

TEST_F(DeviceCatalogueTest, DpiSetAndHardwareCodes) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=400\nDPISET=400,800,1600,3200\n"));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(Texts());
    const SensorTable* t = FindSensorTable(0x3050);
    ASSERT_EQ(t->count, 4u);
    EXPECT_EQ((std::vector<uint8_t>(t->code.begin(), t->code.begin() + 5)),
              (std::vector<uint8_t>{1, 2, 3, 4, 0}));

    BuildSensorTables();
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=400\nDPISET=400,800,1600\n"
             "DPIHW=1F,2e\n"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"DPISET Num != DPIHW Num / Warning"}));
    EXPECT_EQ(t->code[0], 0x1F);
    EXPECT_EQ(t->code[1], 0x2E);
    EXPECT_EQ(t->code[2], 0);

    // A DPIRANGE wins over DPISET.
    BuildSensorTables();
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPI=100\nDPIRANGE=100,200,100\n"
             "DPISET=400,800\n"));
    EXPECT_EQ(List(0x3050), (std::vector<uint16_t>{100, 200}));
}

TEST_F(DeviceCatalogueTest, DefaultKeysShareOneBufferAcrossProfiles) {
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nDM=1\nDPI=500\nKM=6\n"
             "K1_1=1,11,0,1\nK2_1=2,4131,3,2\nK3_1=8,A6,5,3\n"
             "K2_2=2,42,4,2\nK3_2=8,A4,0,3\n"
             "K1_3=1,12,0,9\nK2_3=5,0,0,17\n"));
    const SensorCfg& d = Dev(1);
    const KeySet& p1 = d.DefKeys[0];
    EXPECT_EQ(p1[0], (KeyInfo{0x01000011, 1, 0, {}, 0}));
    EXPECT_EQ(p1[1], (KeyInfo{0x020000A1, 2, 0, {3, 0x31, 0x41, 0}, 0}));
    EXPECT_EQ(p1[2], (KeyInfo{0x080000A6, 3, 0, {}, 5}));

    const KeySet& p2 = d.DefKeys[1];
    EXPECT_EQ(p2[0], p1[0]);  // not given: what profile 1 left in the buffer
    // Modifier bits add to profile 1's; the second key code is replaced.
    EXPECT_EQ(p2[1], (KeyInfo{0x020000A1, 2, 0, {7, 0x42, 0, 0}, 0}));
    // The fire key: parameter 0 stands for 0x0A03.
    EXPECT_EQ(p2[2], (KeyInfo{0x080000A4, 3, 0, {}, 0x0A03}));

    // A slot past the key matrix is not taken.
    EXPECT_EQ(d.DefKeys[2][0], (KeyInfo{0x01000012, 9, 0, {}, 0}));
    EXPECT_EQ(d.DefKeys[2][1], p2[1]);

    // Three buttons: profile 1 gives all of them, profiles 2 and 3 fewer.
    const std::vector<std::string> tooFew(2, "Key num to small / Error");
    EXPECT_EQ(Texts(), tooFew);
}

TEST_F(DeviceCatalogueTest, ProfilesWithoutKeysCopyTheFirst) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nDM=1\nDPI=500\nKM=2\nK1_1=1,11,0,1\nK1_2=1,2,3\n"));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(Texts());
    const SensorCfg& d = Dev(1);
    EXPECT_EQ(d.DefKeys[1], d.DefKeys[0]);
    EXPECT_EQ(d.DefKeys[2], d.DefKeys[0]);
    LoadDefaultKeys();
    EXPECT_EQ(gVar.WorkDefKeys, d.DefKeys);
}

TEST_F(DeviceCatalogueTest, MarksStopAtTheFirstMissingKey) {
    ASSERT_TRUE(
        Load("[DEV_1]\nSensor=12368\nDM=1\nDPI=500\nKM=2\n"
             "Mark1=10,20,30,40\nMark2=1,2\nMark3=5,5,5,5\nMark5=1,1,1,1\n"));
    const SensorCfg& d = Dev(1);
    EXPECT_EQ(d.nMarkNum, 3);
    EXPECT_EQ(d.Mark[0], (ZvRect{10, 20, 40, 60}));
    EXPECT_EQ(d.Mark[1], ZvRect{});
    EXPECT_EQ(d.Mark[4], ZvRect{});
}

TEST_F(DeviceCatalogueTest, LevelNumbersStayInsideTheirArrays) {
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nKM=2\nDM=12\nDEFLEVEL=9\nDpiUILevels=20\n"));
    EXPECT_EQ(Dev(1).DM, 8);
    EXPECT_EQ(Dev(1).DEFLEVEL, 0);
    EXPECT_EQ(Dev(1).DpiUILevels, 0);
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nKM=2\nDM=0\nDEFLEVEL=-1\n"));
    EXPECT_EQ(Dev(1).DM, 1);
    EXPECT_EQ(Dev(1).DEFLEVEL, 0);
}

TEST_F(DeviceCatalogueTest, SwitchesThatFollowOthers) {
    gVar.ShowMotionSync = 1;
    gVar.OldAdvDlg = 1;
    ASSERT_TRUE(Load("[DEV_1]\nSensor=12368\nKM=2\nShowDpi=0\nDpiLEDMode=65793\nptRipple=0,0\n"));
    EXPECT_EQ(Dev(1).ShowDpiLED, 0);
    EXPECT_EQ(Dev(1).ShowMotionSync, 1);
    EXPECT_EQ(Dev(1).DpiLEDMode, 65793);
    EXPECT_EQ(Dev(1).ptRipple, (ZvPoint{818, 160}));
}

// The catalogue we ship: it must load without a message and describe mice the rest of the
// program can work with.
TEST_F(DeviceCatalogueTest, ShippedCatalogueIsSound) {
    std::vector<uint8_t> shipped;
    ASSERT_TRUE(
        platform::ReadFile(platform::JoinPath(zvtest::SourceDir(), "data/cfg.ini"), shipped));
    zvtest::TempDir dir;
    dir.Write("cfg.ini", std::string(shipped.begin(), shipped.end()));
    const std::string savedDir = gVar.szAppDir;
    const AppOptions savedOptions = gVar;
    gVar.szAppDir = dir.path();
    zvtest::NoticeLog told;
    ASSERT_EQ(LoadConfiguration(told.Sink()), 1);
    gVar.szAppDir = savedDir;
    EXPECT_TRUE(told.Take().empty());

    std::set<uint32_t> sensors, ids;
    std::set<int> buttons;
    bool logo = false, xy = false, eight = false, reshaped = false;
    for (const SensorCfg& d : gVar.SensorCfgs) {
        if (d.Sensor == 0) continue;
        const uint32_t sensor = static_cast<uint32_t>(d.Sensor);
        SCOPED_TRACE(sensor);
        sensors.insert(sensor);
        EXPECT_TRUE(
            ids.insert(static_cast<uint32_t>(d.CID) << 8 | static_cast<uint32_t>(d.MID)).second);
        EXPECT_EQ(FindSensorCfg(d.CID, d.MID), &d);
        buttons.insert(d.nKeyNum);
        logo |= d.ShowLogoEffect != 0;
        xy |= d.ShowXY != 0;
        eight |= d.DM == 8;
        const SensorTable* t = FindSensorTable(sensor);
        ASSERT_NE(t, nullptr);
        // The list no longer ends where the built-in one does.
        reshaped |= t->dpi[t->count - 1] != [&] {
            SensorTable builtIn = *t;
            const auto savedTables = gVar.SensorTables;
            BuildSensorTables();
            builtIn = *FindSensorTable(sensor);
            gVar.SensorTables = savedTables;
            return builtIn.dpi[builtIn.count - 1];
        }();

        // Every default level converts to a code and back to itself.
        for (int i = 0; i < d.DM; ++i) {
            const uint32_t dpi = static_cast<uint32_t>(d.DPI[static_cast<size_t>(i)]);
            int m = 0;
            const uint32_t code = DpiToCode(sensor, dpi, &m);
            EXPECT_EQ(SensorCodeToDpi(sensor, code, m), dpi) << "level " << i;
        }
        // Each key set gives every button a function and its own matrix slot.
        for (const KeySet& set : d.DefKeys) {
            std::set<uint32_t> slots;
            for (int b = 0; b < d.nKeyNum; ++b) {
                const KeyInfo& k = set[static_cast<size_t>(b)];
                EXPECT_NE(FindKeyFunction(k.dwFunID), nullptr) << "button " << b;
                EXPECT_TRUE(k.MatrixInx >= 1 && k.MatrixInx <= 16 &&
                            slots.insert(k.MatrixInx).second)
                    << "button " << b;
            }
        }
        EXPECT_EQ(d.nMarkNum, d.nKeyNum);
        for (int b = 0; b < d.nMarkNum; ++b) {
            const ZvRect& r = d.Mark[static_cast<size_t>(b)];
            EXPECT_TRUE(r.right > r.left && r.bottom > r.top) << "mark " << b;
        }
    }
    EXPECT_GE(sensors.size(), 3u);
    EXPECT_TRUE(buttons.contains(6) && buttons.contains(16));
    EXPECT_TRUE(logo);
    EXPECT_TRUE(xy);
    EXPECT_TRUE(eight);
    EXPECT_TRUE(reshaped);
    static_cast<AppOptions&>(gVar) = savedOptions;
}

}  // namespace
