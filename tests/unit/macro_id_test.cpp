#include <gtest/gtest.h>

#include <set>

#include "macro/macro_id.h"

TEST(MacroIdTest, IdFromClockReading) {
    struct Case {
        platform::LocalTime t;
        MacroId id;
    } cases[] = {
        {{2026, 12, 10, 13, 45, 30, 300}, 0xDB5E2C},
        {{2026, 12, 10, 23, 59, 59, 999}, 0x7EFBE7},
        {{2026, 12, 10, 0, 0, 0, 0}, 0x000000},
        {{2026, 12, 10, 16, 0, 1, 256}, 0x000100},  // the hour keeps its low four bits
    };
    for (const Case& c : cases) EXPECT_EQ(MacroIdFromTime(c.t), c.id);
}

TEST(MacroIdTest, IdsHandedOutAreNeverRepeatedOrZero) {
    std::set<MacroId> seen;
    for (int i = 0; i < 30; ++i) {
        MacroId id = NewMacroId();
        EXPECT_NE(id, 0u);
        EXPECT_LE(id, 0xFFFFFFu);
        EXPECT_TRUE(seen.insert(id).second) << std::hex << id;
    }
}

TEST(MacroIdTest, AnIdSourceStandsInForTheClockUntilTakenAway) {
    static MacroId next;
    next = 0x400000;
    SetMacroIdSource([] { return ++next; });
    EXPECT_EQ(NewMacroId(), 0x400001u);
    EXPECT_EQ(NewMacroId(), 0x400002u);
    SetMacroIdSource(nullptr);
    EXPECT_NE(NewMacroId(), 0u);
    EXPECT_EQ(next, 0x400002u);  // the source is asked no more
}
