#include "profile/combo_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

KeyInfo Combo(uint32_t funId, uint8_t mods, uint8_t k1 = 0, uint8_t k2 = 0, uint8_t k3 = 0) {
    KeyInfo k;
    k.dwFunID = funId;
    k.stCombo = {mods, k1, k2, k3};
    return k;
}

// The record with its check byte.
Bytes Build(const KeyInfo& key) {
    uint8_t buf[kComboSlotBytes] = {};
    size_t len = BuildComboRecord(key, buf, sizeof buf);
    if (len == 0) return {};
    return Bytes(buf, buf + len + 1);
}

TEST(BuildComboRecord, WritesEventsInTheMouseOrderWithCheckByte) {
    struct Case {
        const char* what;
        KeyInfo key;
        Bytes expected;
    };
    const Case cases[] = {
        {"Ctrl+Shift+A", Combo(0x020000A1, 3, 0x41), {0x06, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00,
                                                      0x81, 0x04, 0x00, 0x40, 0x01, 0x00, 0x40,
                                                      0x02, 0x00, 0x41, 0x04, 0x00, 0xFF}},
        {"Ctrl+A+B+C: keys go down in order and up in reverse",
         Combo(0x020000A1, 1, 0x41, 0x42, 0x43),
         {0x08, 0x80, 0x01, 0x00, 0x81, 0x04, 0x00, 0x81, 0x05, 0x00, 0x81, 0x06, 0x00,
          0x40, 0x01, 0x00, 0x41, 0x06, 0x00, 0x41, 0x05, 0x00, 0x41, 0x04, 0x00, 0x27}},
        {"Enter alone (the main Enter key's usage)",
         Combo(0x020000A0, 0, 0x0D),
         {0x02, 0x81, 0x28, 0x00, 0x41, 0x28, 0x00, 0x41}},
        {"Volume up", Combo(0x04000026, 0), {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00, 0xBD}},
        {"Favourites (type 3)",
         Combo(0x03000039, 0),
         {0x02, 0x82, 0x2A, 0x02, 0x42, 0x2A, 0x02, 0x37}},
        {"an unknown media code is usage 0xFFFF",
         Combo(0x04000029, 0),
         {0x02, 0x82, 0xFF, 0xFF, 0x42, 0xFF, 0xFF, 0x93}},
    };
    for (const Case& c : cases) EXPECT_EQ(Build(c.key), c.expected) << c.what;
}

TEST(BuildComboRecord, NoRecordForOtherFunctionsOrCombinationsTooLongForTheSlot) {
    uint8_t buf[kComboSlotBytes];
    EXPECT_EQ(BuildComboRecord(Combo(0x01000011, 0), buf, sizeof buf), 0u);
    EXPECT_EQ(BuildComboRecord(Combo(0x05000000, 0), buf, sizeof buf), 0u);
    // Four modifiers and one key is the longest that fits: 31 bytes and the check byte.
    EXPECT_EQ(BuildComboRecord(Combo(0x020000A1, 0x0F, 0x41), buf, sizeof buf), 31u);
    EXPECT_EQ(buf[0], 10);
    EXPECT_EQ(BuildComboRecord(Combo(0x020000A1, 0x0F, 0x41, 0x42), buf, sizeof buf), 0u);
    EXPECT_EQ(BuildComboRecord(Combo(0x020000A1, 3, 0x41), buf, 31), 0u) << "buffer too small";
}

TEST(DecodeComboRecord, ReadsFunctionAndCombination) {
    struct Case {
        const char* what;
        Bytes record;
        uint32_t funId;
        std::array<uint8_t, 4> combo;
    };
    const Case cases[] = {
        {"Ctrl+Shift+A",
         {0x06, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00, 0x81, 0x04, 0x00,
          0x40, 0x01, 0x00, 0x40, 0x02, 0x00, 0x41, 0x04, 0x00, 0xFF},
         0x02000000,
         {3, 0x41, 0, 0}},
        {"Volume up", {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00, 0xBD}, 0x04000026, {}},
        {"consumer usage 0x00B5", {0x02, 0x82, 0xB5, 0x00, 0x42, 0xB5, 0x00}, 0x04000025, {}},
        {"consumer usage 0x022A", {0x02, 0x82, 0x2A, 0x02, 0x42, 0x2A, 0x02}, 0x03000039, {}},
        {"a fourth key is dropped",
         {0x05, 0x81, 0x04, 0x00, 0x81, 0x05, 0x00, 0x81, 0x06, 0x00, 0x81, 0x07, 0x00, 0x41, 0x04,
          0x00},
         0x02000000,
         {0, 0x41, 0x42, 0x43}},
        {"right-hand modifier bits are not kept; keypad Enter reads as Enter",
         {0x03, 0x80, 0x11, 0x00, 0x80, 0x20, 0x00, 0x81, 0x58, 0x00},
         0x02000000,
         {1, 0x0D, 0, 0}},
        {"presses after the first release are not read",
         {0x03, 0x81, 0x04, 0x00, 0x41, 0x04, 0x00, 0x81, 0x05, 0x00},
         0x02000000,
         {0, 0x41, 0, 0}},
        {"a count beyond the bytes given reads only what is there",
         {0x09, 0x80, 0x02, 0x00, 0x81},
         0x02000000,
         {2, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        KeyInfo k = Combo(0x080000A2, 0);
        ASSERT_EQ(DecodeComboRecord(c.record.data(), c.record.size(), k), 1) << c.what;
        EXPECT_EQ(k.dwFunID, c.funId) << c.what;
        if (c.funId >> 24 == 2) {
            EXPECT_EQ(k.stCombo, c.combo) << c.what;
        }
    }
}

TEST(DecodeComboRecord, RefusedRecordsLeaveTheKeyUnchanged) {
    const Bytes refused[] = {
        {0x00, 0x81, 0x04, 0x00},                    // no events
        {0x02, 0x82, 0x99, 0x00, 0x42, 0x99, 0x00},  // consumer usage not in the table
        {0x02, 0x84, 0x01, 0x00, 0x44, 0x01, 0x00},  // mouse buttons are no combination
        {0x01, 0x8F, 0x00, 0x00},
        {0x02, 0x82, 0xE9},  // consumer record cut short
        {0x01},
    };
    for (const Bytes& r : refused) {
        KeyInfo k = Combo(0x01000011, 0);
        k.MatrixInx = 3;
        const KeyInfo before = k;
        EXPECT_EQ(DecodeComboRecord(r.data(), r.size(), k), 0);
        EXPECT_EQ(k, before);
    }
}

TEST(ComboRecordRoundTrip, EveryComboThatFitsReadsBack) {
    const KeyInfo keys[] = {Combo(0x020000A1, 0x0F, 0x41), Combo(0x020000A1, 4, 0x70, 0x2E),
                            Combo(0x020000A0, 0, 0xBA, 0xDE, 0xC0)};
    for (const KeyInfo& key : keys) {
        uint8_t buf[kComboSlotBytes];
        ASSERT_GT(BuildComboRecord(key, buf, sizeof buf), 0u);
        KeyInfo back;
        // The reader only fetches the first 20 bytes of the slot.
        ASSERT_EQ(DecodeComboRecord(buf, kComboReadBytes, back), 1);
        EXPECT_EQ(back.stCombo, key.stCombo);
    }
}

}  // namespace
