#include <gtest/gtest.h>

#include "app/gvar.h"
#include "profile/sensor_table.h"

namespace {

class SensorTableTest : public ::testing::Test {
  protected:
    void SetUp() override { Build(0, 12000, 32000); }
    void TearDown() override {
        gVar.pSensorCfg = nullptr;
        Build(0, 12000, 32000);
    }
    static void Build(int setp200, int max9000, int max3395) {
        gVar.Setp200_3325 = setp200;
        gVar.Sensor9000Max = max9000;
        gVar.Sensor3395Max = max3395;
        BuildSensorTables();
    }
    // CodeToDpi reads the sensor of the device in use.
    uint32_t ReadBack(uint32_t sensor, uint32_t code, int m) {
        cfg.Sensor = static_cast<int32_t>(sensor);
        gVar.pSensorCfg = &cfg;
        return CodeToDpi(code, m);
    }
    SensorCfg cfg;
};

TEST_F(SensorTableTest, BuiltInTablesInOrderWithTheirLengths) {
    const struct {
        uint32_t id, count, first, last;
    } expected[] = {
        {0x3050, 11, 500, 4000},  {0x3330, 192, 50, 12000}, {0x3104, 35, 600, 4000},
        {0x3212, 19, 600, 2400},  {0x3325, 54, 200, 10000}, {0x3335, 160, 100, 16000},
        {0x4090, 74, 200, 10000}, {0x3336, 192, 50, 12000}, {0x3370, 385, 50, 38000},
        {0x9000, 220, 50, 12000}, {0x3395, 580, 50, 32000},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        const SensorTable& t = gVar.SensorTables[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(t.id, expected[i].id);
        ASSERT_EQ(t.count, expected[i].count);
        EXPECT_EQ(t.dpi[0], expected[i].first);
        EXPECT_EQ(t.dpi[t.count - 1], expected[i].last);
    }
    for (size_t i = std::size(expected); i < gVar.SensorTables.size(); ++i)
        EXPECT_EQ(gVar.SensorTables[i].id, 0u);
}

// Every worked conversion, with the codes written out by hand from the code tables.
TEST_F(SensorTableTest, ConversionExamples) {
    const struct {
        int setp200;
        uint32_t sensor, dpi, code;
        int multiplier;
        uint32_t readBack;
    } cases[] = {
        {0, 0x3330, 7200, 143, 0, 7200},
        {0, 0x3330, 7300, 72, 1, 7300},
        {0, 0x3370, 19200, 191, 1, 19200},
        {0, 0x3370, 20200, 100, 3, 20200},
        {0, 0x3370, 15000, 149, 2, 15000},
        {0, 0x3395, 26000, 519, 0, 26000},
        {0, 0x3395, 26100, 260, 1, 26100},
        {0, 0x9000, 11000, 0x81, 0x22, 11000},  // the code of 5500
        {0, 0x9000, 14000, 0xA4, 0x11, 14000},  // the code of 7000
        {0, 0x9000, 5500, 0x81, 0, 5500},
        {0, 0x3325, 6000, 0x45, 1, 6000},  // the code of 3000
        {1, 0x3325, 5200, 0x3B, 1, 5200},  // the code of 2600
        {0, 0x3325, 800, 0x12, 0, 800},
        {0, 0x4090, 9800, 0x71, 1, 9800},  // the code of 4900
        {0, 0x3336, 7300, 72, 1, 7300},    // the code of 3650
        {0, 0x3104, 4000, 0x69, 0, 4000},
        {0, 0x3335, 16000, 0xBD, 0, 16000},
        {0, 0x3335, 32000, 0xBD, 1, 32000},
        {0, 0x3050, 1250, 4, -1, 1250},  // no multiplier: left as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.sensor << " " << std::dec << c.dpi);
        Build(c.setp200, 12000, 32000);
        int m = -1;
        EXPECT_EQ(DpiToCode(c.sensor, c.dpi, &m), c.code);
        EXPECT_EQ(m, c.multiplier);
        EXPECT_EQ(ReadBack(c.sensor, c.code, c.multiplier < 0 ? 0 : c.multiplier), c.readBack);
    }
}

TEST_F(SensorTableTest, ValuesWithoutCode) {
    const struct {
        uint32_t sensor, dpi;
    } cases[] = {
        {0x3325, 5200},   // only with the 200-step extension
        {0x3335, 32200},  // past the fixed code table
        {0x3335, 50},    {0x3370, 38200}, {0x3330, 0}, {0x3360, 1000},  // a sensor without a table
        {0x3104, 4050},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(DpiToCode(c.sensor, c.dpi), 0u);
    }
    int m = 7;
    DpiToCode(0x3360, 1000, &m);
    EXPECT_EQ(m, 7);
}

TEST_F(SensorTableTest, CodeToDpiWithoutDeviceOrTableIsZero) {
    gVar.pSensorCfg = nullptr;
    EXPECT_EQ(CodeToDpi(10, 0), 0u);
    EXPECT_EQ(ReadBack(0, 10, 0), 0u);
    EXPECT_EQ(ReadBack(0x3360, 10, 0), 0u);
    EXPECT_EQ(ReadBack(0x3104, 0x11, 0), 0u);  // a code the table does not hold
}

// The catalogue may change a list; the base lookups of these sensors must not follow it.
TEST_F(SensorTableTest, BaseLookupIgnoresChangedList) {
    SensorTable* t = FindSensorTable(0x3325);
    ASSERT_NE(t, nullptr);
    t->count = 1;
    t->dpi[0] = 777;
    EXPECT_EQ(ReadBack(0x3325, 0x3B, 0), 2600u);
    EXPECT_EQ(ReadBack(0x3325, 0x3B, 1), 5200u);
}

TEST_F(SensorTableTest, ExtensionSwitchesAndCaps) {
    Build(1, 12000, 32000);
    const SensorTable* t = FindSensorTable(0x3325);
    ASSERT_EQ(t->count, 49u + 25u);
    EXPECT_EQ(t->dpi[49], 5200);
    EXPECT_EQ(t->code[49], 0x3B);

    // Large maxima never grow a table past its 650 entries.
    Build(0, 65000, 65000);
    EXPECT_EQ(FindSensorTable(0x9000)->count, 650u);
    EXPECT_EQ(FindSensorTable(0x3395)->count, 650u);
    EXPECT_EQ(FindSensorTable(0x9000)->dpi[649], 55000);

    // Maxima below the first extension value add nothing.
    Build(0, 10000, 26000);
    EXPECT_EQ(FindSensorTable(0x9000)->count, 200u);
    EXPECT_EQ(FindSensorTable(0x3395)->count, 520u);
}

TEST_F(SensorTableTest, IndexAndValueLookups) {
    EXPECT_EQ(IndexOfDpi(0x3050, 1250), 3);
    EXPECT_EQ(IndexOfDpi(0x3050, 1251), -1);
    EXPECT_EQ(IndexOfDpi(0x3360, 1000), -1);
    EXPECT_EQ(DpiAtIndex(0x3050, 10), 4000);
    EXPECT_EQ(DpiAtIndex(0x3050, 11), -1);
    EXPECT_EQ(DpiAtIndex(0x3050, -1), -1);
    EXPECT_EQ(DpiAtIndex(0x3360, 0), -1);
    EXPECT_EQ(FindSensorTable(0), nullptr);

    ASSERT_NE(DefaultDpiSet(0x3360), nullptr);  // a default set without a table
    EXPECT_EQ((*DefaultDpiSet(0x9800))[7], 8200);
    EXPECT_EQ(DefaultDpiSet(0x9000), nullptr);
}

TEST_F(SensorTableTest, LimitDrops3335ValuesAbove32000) {
    SensorTable* t = FindSensorTable(0x3335);
    t->count = 3;
    t->dpi[0] = 31900;
    t->dpi[1] = 32100;
    t->dpi[2] = 32000;
    LimitSensorTable(*t);
    ASSERT_EQ(t->count, 2u);
    EXPECT_EQ(t->dpi[1], 32000);
}

}  // namespace
