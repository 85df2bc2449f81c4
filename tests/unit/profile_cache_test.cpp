#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "platform/fs.h"
#include "profile/profile_cache.h"
#include "profile/profile_defaults.h"
#include "profile/sensor_table.h"
#include "support/temp_dir.h"

namespace {

// Two mice of one family: CID 0x10 with MID 0x1A and 0x1B.
const char* const kCatalogue =
    "[DEV_1]\nSensor=12368\nCID=16\nMID=26\nDM=2\nDPI=500,1000\nKM=2\nK1_1=1,11,0,1\n"
    "[DEV_2]\nSensor=12368\nCID=16\nMID=27\nDM=3\nDPI=500,1000,1500\nKM=2\nK1_1=1,12,0,1\n";

class ProfileCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BuildSensorTables();
        ASSERT_TRUE(LoadDeviceSections(IniFile::FromBytes(kCatalogue)));
        LoadDefaultKeys();
        savedDataDir = gVar.szAppDataDir;
        gVar.szAppDataDir = dir.path();
        gVar.nDebug = 1;
        LogInit();
        SetLogDebugWriter([this](const std::string& s) { log.push_back(s); });
    }
    void TearDown() override {
        SetLogDebugWriter(nullptr);
        gVar.nDebug = 0;
        LogInit();
        gVar.szAppDataDir = savedDataDir;
        gVar.ProfileList.clear();
        gVar.pFile = nullptr;
        LoadDeviceSections(IniFile());
        LoadDefaultKeys();
    }
    bool Logged(const std::string& line) const {
        for (const std::string& s : log)
            if (s.find(line) != std::string::npos) return true;
        return false;
    }
    const SensorCfg* Dev(int n) const { return &gVar.SensorCfgs[static_cast<size_t>(n - 1)]; }
    // The four defaults a device gets when it has no usable cache.
    void ExpectDefaults() const {
        ASSERT_EQ(gVar.ProfileList.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            const ProfileFile& p = gVar.ProfileList[static_cast<size_t>(i)];
            EXPECT_EQ(p.Name(), GetText("tc_msg35") + " " + std::to_string(i + 1));
            EXPECT_EQ(p.dwMagic, kProfileMagic);
            EXPECT_EQ(p.nDpiLevels, gVar.pSensorCfg->DM);
        }
        EXPECT_EQ(gVar.pFile, &gVar.ProfileList[0]);
    }

    zvtest::TempDir dir;
    std::string savedDataDir;
    std::vector<std::string> log;
};

TEST_F(ProfileCacheTest, RoundTripNamesTheFileByCidAndMid) {
    gVar.pSensorCfg = Dev(1);
    LoadPro(TheProfileState());
    ASSERT_NO_FATAL_FAILURE(ExpectDefaults());
    gVar.ProfileList[2].SetName("Third");
    gVar.ProfileList[2].nRate = 0x1000;
    gVar.pFile = &gVar.ProfileList[2];
    const std::vector<ProfileFile> saved = gVar.ProfileList;
    SavePro(TheProfileState());
    EXPECT_TRUE(Logged("SavePro: cid=10, mid=1a"));

    uint64_t size = 0;
    ASSERT_TRUE(platform::GetFileSize(dir / "PRO_101a.dct", size));
    EXPECT_EQ(size, 8468u);

    gVar.ProfileList.clear();
    gVar.pFile = nullptr;
    LoadPro(TheProfileState());
    EXPECT_EQ(gVar.ProfileList, saved);
    EXPECT_EQ(gVar.pFile, &gVar.ProfileList[2]);
    EXPECT_TRUE(Logged("LoadPro ok: cid=10, mid=1a"));
}

// The file as every version of the program reads it: the current record's id first, then the
// four records in list order (each record starts with its magic and its id).
TEST_F(ProfileCacheTest, FileHoldsTheCurrentIdThenTheRecordsInOrder) {
    gVar.pSensorCfg = Dev(1);
    LoadPro(TheProfileState());
    ASSERT_NO_FATAL_FAILURE(ExpectDefaults());
    for (size_t k = 0; k < 4; ++k) gVar.ProfileList[k].dwId = 0x0A0B10 + static_cast<uint32_t>(k);
    gVar.pFile = &gVar.ProfileList[2];
    SavePro(TheProfileState());
    const std::string b = dir.Read("PRO_101a.dct");
    ASSERT_EQ(b.size(), 8468u);
    EXPECT_EQ(b.substr(0, 4), std::string("\x12\x0B\x0A\0", 4));
    for (size_t k = 0; k < 4; ++k) {
        const std::string id = {static_cast<char>(0x10 + k), '\x0B', '\x0A', '\0'};
        EXPECT_EQ(b.substr(4 + 2116 * k, 8), "\x34\x12\xAA\xFC" + id) << k;
    }
}

TEST_F(ProfileCacheTest, FilesThatCannotBeUsedGiveDefaults) {
    gVar.pSensorCfg = Dev(1);
    const struct {
        size_t size;
        const char* line;
    } cases[] = {
        {8467, "LoadPro err: wrong size"},
        {8469, "LoadPro err: wrong size"},
        {0, "LoadPro err: wrong size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        log.clear();
        dir.Write("PRO_101a.dct", std::string(c.size, '\x11'));
        LoadPro(TheProfileState());
        EXPECT_TRUE(Logged(c.line));
        ExpectDefaults();
    }
    platform::RemoveFile(dir / "PRO_101a.dct");
    log.clear();
    LoadPro(TheProfileState());
    EXPECT_TRUE(Logged("LoadPro: open file err=2"));
    ExpectDefaults();
}

TEST_F(ProfileCacheTest, RememberedIdThatMatchesNothingTakesTheFirst) {
    gVar.pSensorCfg = Dev(1);
    LoadPro(TheProfileState());
    gVar.pFile = &gVar.ProfileList[3];
    SavePro(TheProfileState());
    std::string bytes = dir.Read("PRO_101a.dct");
    bytes[0] = '\xEE';  // an id none of the records has
    bytes[3] = '\x7F';
    dir.Write("PRO_101a.dct", bytes);
    LoadPro(TheProfileState());
    EXPECT_EQ(gVar.pFile, &gVar.ProfileList[0]);
}

// A cache is only trusted as far as it cannot make the program index past its arrays or send the
// mouse values it cannot take; the rest is kept as it was.
TEST_F(ProfileCacheTest, OutOfRangeFieldsAreRepairedOnLoad) {
    gVar.pSensorCfg = Dev(2);
    LoadPro(TheProfileState());
    gVar.ProfileList[1].nKeySet = 7;
    gVar.ProfileList[1].nDpiLevels = 200;
    gVar.ProfileList[1].nRate = 0x777;
    gVar.ProfileList[1].mainLight.speed = 0;
    gVar.ProfileList[1].nSleepTime = 12345;  // not an index: kept
    SavePro(TheProfileState());
    LoadPro(TheProfileState());
    const ProfileFile& p = gVar.ProfileList[1];
    EXPECT_EQ(p.nKeySet, 0);
    EXPECT_EQ(p.nDpiLevels, 3);
    EXPECT_EQ(p.nRate, 1280);
    EXPECT_EQ(p.mainLight.speed, 1u);
    EXPECT_EQ(p.nSleepTime, 12345);
    EXPECT_TRUE(Logged("LoadPro: profile 1 repaired"));
}

TEST_F(ProfileCacheTest, CidRoundTripMovesTheDeviceInUse) {
    gVar.pSensorCfg = Dev(2);
    SaveCID();
    EXPECT_EQ(dir.Read("CID.dct"), std::string("\x10\0\0\0\x1B\0\0\0", 8));
    gVar.pSensorCfg = Dev(1);
    EXPECT_EQ(LoadCID(), 1);
    EXPECT_EQ(gVar.pSensorCfg, Dev(2));
    EXPECT_TRUE(Logged("LoadCID ok: cid=10, mid=1b"));
}

TEST_F(ProfileCacheTest, CidOfARemovedDeviceLeavesTheEntryInUse) {
    dir.Write("CID.dct", std::string("\x55\0\0\0\x66\0\0\0", 8));
    gVar.pSensorCfg = Dev(2);
    EXPECT_EQ(LoadCID(), 1);
    EXPECT_EQ(gVar.pSensorCfg, Dev(2));
    EXPECT_TRUE(Logged("LoadCID ok: cid=10, mid=1b"));
}

TEST_F(ProfileCacheTest, NoDataFolderYet) {
    gVar.szAppDataDir = dir / "missing/";
    gVar.pSensorCfg = Dev(2);
    EXPECT_EQ(LoadCID(), 0);
    EXPECT_EQ(gVar.pSensorCfg, Dev(1));
    EXPECT_TRUE(Logged("LoadCID ok: cid=10, mid=1a"));
    LoadPro(TheProfileState());
    ASSERT_NO_FATAL_FAILURE(ExpectDefaults());
    // Saving into a folder that is not there is logged, not shown.
    SavePro(TheProfileState());
    EXPECT_TRUE(Logged("SavePro: CreateFile err="));
    SaveCID();
}

TEST_F(ProfileCacheTest, ShortCidFileIsNotRead) {
    dir.Write("CID.dct", std::string("\x10\0\0\0\x1B\0\0", 7));
    gVar.pSensorCfg = Dev(2);
    EXPECT_EQ(LoadCID(), 0);
    EXPECT_EQ(gVar.pSensorCfg, Dev(1));
}

TEST_F(ProfileCacheTest, ShortListNeverReplacesTheCache) {
    gVar.pSensorCfg = Dev(1);
    LoadPro(TheProfileState());
    SavePro(TheProfileState());
    const std::string before = dir.Read("PRO_101a.dct");
    gVar.ProfileList.resize(2);
    gVar.pFile = &gVar.ProfileList[0];
    gVar.ProfileList[0].SetName("changed");
    SavePro(TheProfileState());
    EXPECT_EQ(dir.Read("PRO_101a.dct"), before);
}

}  // namespace
