// The fire dialog's rules: the values it opens with, what typing does to each box, and the
// 16-bit parameter OK hands back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/buttons_page_model.h"
#include "ui/fire_dlg_model.h"

namespace {

KeyInfo Fire(uint32_t parameter) {
    KeyInfo k;
    k.dwFunID = 0x080000A4;
    k.dwParameter = parameter;
    return k;
}

TEST(FireDlgModel, OpensWithTheRowsBurstOrTheDefaults) {
    KeyInfo plain;
    plain.dwFunID = 0x01000011;
    plain.dwParameter = 0x1402;  // not a fire function: its parameter means nothing here
    EXPECT_EQ(FireOpening(plain), (FireValues{3, 10}));
    EXPECT_EQ(FireOpening(Fire(0x1402)), (FireValues{2, 20}));
    // A stored count of 0 opens showing 1; the interval as stored.
    const FireValues zero = FireOpening(Fire(0x3200));
    EXPECT_EQ(FireCountShown(zero), "1");
    EXPECT_EQ(FireIntervalShown(zero), "50");
}

// The mouse's code of 2 (3) clicks at interval 50 is its double (triple) click: such a burst
// is stored as that function, and a button holding it opens the dialog with that burst.
TEST(FireDlgModel, BurstsTheMouseKeepsAsClickFunctions) {
    const struct {
        uint8_t count, interval;
        uint32_t readsBackAs;  // 0: stays a fire key
    } cases[] = {
        {2, 50, 0x01000016}, {3, 50, 0x01000017}, {1, 50, 0}, {2, 51, 0}, {2, 10, 0}, {3, 10, 0},
    };
    for (const auto& c : cases) {
        const std::optional<KeyInfo> same = FireReadsBackAs(c.count, c.interval);
        EXPECT_EQ(same ? same->dwFunID : 0u, c.readsBackAs)
            << int(c.count) << "x" << int(c.interval);
    }
    KeyInfo dbl;
    dbl.dwFunID = 0x01000016;
    EXPECT_EQ(FireOpening(dbl), (FireValues{2, 50}));
    dbl.dwFunID = 0x01000017;
    EXPECT_EQ(FireOpening(dbl), (FireValues{3, 50}));
}

TEST(FireDlgModel, TypingHoldsEachBoxWithinItsLimit) {
    struct Case {
        const char* text;
        std::optional<std::string> count, interval;
    };
    const Case cases[] = {
        {"7", "3", std::nullopt},
        {"3", std::nullopt, std::nullopt},
        {"300", "3", "255"},
        {"255", "3", std::nullopt},
        {"256", "3", "255"},
        {"", std::nullopt, std::nullopt},
        {"99999999999999999999999999999999", "3", "255"},  // no wrap to a small number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FireCountTyped(c.text), c.count) << c.text;
        EXPECT_EQ(FireIntervalTyped(c.text), c.interval) << c.text;
    }
}

TEST(FireDlgModel, OkGivesCountAndIntervalInTwoBytes) {
    struct Case {
        const char* count;
        const char* interval;
        std::optional<uint16_t> result;
    };
    const Case cases[] = {
        {"2", "20", 0x1402},       {"3", "255", 0xFF03},
        {"0", "30", 0x1E00},        // count 0 is kept as 0
        {"1", "5", 0x0A01},         // interval below 10 becomes 10
        {"1", "", 0x0A01},          // and so does an empty interval box
        {"1", "1x", 0x0A01},        // or one that holds no number
        {"4", "20", std::nullopt},  // count above the limit: the dialog stays
        {"", "20", std::nullopt},  {"2a", "20", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FireResult(c.count, c.interval), c.result) << c.count << " / " << c.interval;
}

TEST(FireDlgModel, BoxNumbersAreDigitsOnlyUpToFortyCharacters) {
    EXPECT_EQ(ReadBoxNumber("0012"), 12);
    EXPECT_EQ(ReadBoxNumber(std::string(40, '0')), 0);
    EXPECT_EQ(ReadBoxNumber(std::string(41, '0')), std::nullopt);
    EXPECT_EQ(ReadBoxNumber("-1"), std::nullopt);
    EXPECT_EQ(ReadBoxNumber("1 "), std::nullopt);
}

}  // namespace
