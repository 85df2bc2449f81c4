// The DPI values a level may take: the sensor's list narrowed by the catalogue entry's limit.
#include <gtest/gtest.h>

#include "ui/performance_model.h"

namespace {

TEST(LevelDpiRange, SensorListNarrowedByTheEntrysLimit) {
    SensorTable table;
    table.id = 0x3395;
    table.count = 4;
    table.dpi[0] = 50;
    table.dpi[1] = 100;
    table.dpi[2] = 26000;
    table.dpi[3] = 32000;
    SensorCfg cfg;
    cfg.DpiLimit[0] = {100, 26000};
    cfg.DpiLimit[1] = {0, 0};        // no limit given: the list's own ends
    cfg.DpiLimit[2] = {400, 30000};  // wider than the list at the top
    struct Case {
        int level;
        IntRange want;
    } cases[] = {{0, {100, 26000}}, {1, {50, 32000}}, {2, {400, 30000}}, {9, {50, 32000}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const IntRange r = LevelDpiRange(&table, cfg, c.level);
        EXPECT_EQ(r.lo, c.want.lo);
        EXPECT_EQ(r.hi, c.want.hi);
    }
    const IntRange none = LevelDpiRange(nullptr, cfg, 0);
    EXPECT_EQ(none.hi, 0);
}

}  // namespace
