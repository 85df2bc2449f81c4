#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "profile/profile_file.h"
#include "ui/fire_dlg_model.h"
#include "ui/move_dlg_model.h"

namespace {

KeyInfo Button(uint32_t funId, uint32_t parameter) {
    KeyInfo k{};
    k.dwFunID = funId;
    k.dwParameter = parameter;
    return k;
}

// The fire function's id as the button table has it.
constexpr uint32_t kFire = 0x080000A4;

TEST(FireDlg, OpeningValues) {
    struct Case {
        KeyInfo key;
        const char *count, *interval;
    };
    const Case cases[] = {
        {Button(0x01000001, 0x1402), "3", "10"},  // not fire: the parameter is not fire's
        {Button(kFire, 0x1402), "2", "20"},
        {Button(kFire, 0x3C00), "1", "60"},  // a stored count of 0 shows as 1
    };
    for (const Case& c : cases) {
        const FireValues v = FireOpening(c.key);
        EXPECT_EQ(FireCountShown(v), c.count) << std::hex << c.key.dwParameter;
        EXPECT_EQ(FireIntervalShown(v), c.interval) << std::hex << c.key.dwParameter;
    }
}

TEST(FireDlg, TypingCorrections) {
    EXPECT_EQ(FireCountTyped("7"), "3");
    EXPECT_EQ(FireCountTyped("3"), std::nullopt);
    EXPECT_EQ(FireCountTyped(""), std::nullopt);
    EXPECT_EQ(FireIntervalTyped("300"), "255");
    EXPECT_EQ(FireIntervalTyped("256"), "255");
    EXPECT_EQ(FireIntervalTyped("255"), std::nullopt);
    EXPECT_EQ(FireIntervalTyped("99999999999999999999999"), "255");
    EXPECT_EQ(FireIntervalTyped("5"), std::nullopt);  // corrected only at OK
}

TEST(FireDlg, OkStoresCountAndInterval) {
    struct Case {
        const char *count, *interval;
        std::optional<uint16_t> stored;
    };
    const Case cases[] = {
        {"2", "20", 0x1402},      {"0", "33", 0x2100},  {"3", "5", 0x0A03},
        {"1", "", 0x0A01},        {"1", "300", 0xFF01}, {"4", "20", std::nullopt},
        {"", "20", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FireResult(c.count, c.interval), c.stored) << c.count << " " << c.interval;
}

TEST(MoveDlg, Typing) {
    struct Case {
        const char* typed;
        std::optional<std::string> shown;
    };
    const Case cases[] = {
        {"300", "127"},         {"-500", "-127"},     {"12a4", "12"},      {"127", std::nullopt},
        {"-127", std::nullopt}, {"5-", std::nullopt}, {"-", std::nullopt}, {"a1", ""},
        {"+128", "127"},
    };
    for (const Case& c : cases) EXPECT_EQ(OnMoveBoxEdited(c.typed), c.shown) << c.typed;
}

TEST(MoveDlg, OpeningAndOk) {
    EXPECT_EQ(MoveBoxText(0), "");
    EXPECT_EQ(MoveBoxText(-3), "-3");
    struct Case {
        const char* text;
        int opened, value;
    };
    const Case cases[] = {
        {"", 5, 5}, {"-", 5, 5}, {"-3", 0, -3}, {"5-", 9, 5}, {"999-", 0, 127}, {"-999-", 0, -127},
    };
    for (const Case& c : cases) EXPECT_EQ(MoveBoxValue(c.text, c.opened), c.value) << c.text;
}

}  // namespace
