#include "profile/hd_macro.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "macro_test_log.h"
#include "profile/hid_key_table.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Ev {
    int16_t code;
    uint16_t flags;
    uint32_t delay;
};

StMacro MacroOf(std::initializer_list<Ev> evs) {
    StMacro m = NewMacroRecord("m", 1);
    int i = 0;
    for (const Ev& e : evs) m.events[i++] = MacroEvent{e.code, e.flags, e.delay};
    return m;
}

// The encoded events after the zero name area, the count byte first.
Bytes Encode(const StMacro& m) {
    uint8_t buf[kHdMacroWorkBytes];
    size_t len = StMacro_To_HdMacro(&m, buf, sizeof buf);
    if (len < 32) return {};
    for (size_t i = 0; i < 31; ++i) EXPECT_EQ(buf[i], 0) << "name area byte " << i;
    return Bytes(buf + 31, buf + len);
}

TEST(HidKeyTable, FirstPairWinsInBothDirections) {
    struct Case {
        uint8_t usage, vk;
    };
    // usage -> key
    for (Case c : {Case{0x04, 0x41}, Case{0x1D, 0x5A}, Case{0x27, 0x30}, Case{0x58, 0x0D},
                   Case{0x28, 0x0D}, Case{0x45, 0x7B}, Case{0x62, 0x60}, Case{0xE6, 0xA5},
                   Case{0xE7, 0x5C}, Case{0x32, 0x00}, Case{0x64, 0x00}})
        EXPECT_EQ(HidUsageToVk(c.usage), c.vk) << std::hex << int(c.usage);
    // key -> usage: Enter is the main key, not the keypad's; generic Shift has no usage
    for (Case c : {Case{0x28, 0x0D}, Case{0x1E, 0x31}, Case{0x2C, 0x20}, Case{0x61, 0x69},
                   Case{0xE3, 0x5B}, Case{0x00, 0x10}, Case{0x00, 0xF0}})
        EXPECT_EQ(VkToHidUsage(c.vk), c.usage) << std::hex << int(c.vk);
}

TEST(StMacroToHdMacro, EncodesEachKindOfEvent) {
    struct Case {
        const char* what;
        StMacro macro;
        Bytes expected;  // from the count byte on
    };
    const Case cases[] = {
        {"A down, 50 ms, A up",
         MacroOf({{0x41, kMacroEventDown, 50}, {0x41, 0, 0}}),
         {0x02, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04, 0x00, 0x00, 0x00}},
        {"right Alt is modifier bit 64, right Windows bit 8",
         MacroOf({{0xA5, kMacroEventDown, 0}, {0x5C, 0, 0x1234}}),
         {0x02, 0x80, 0x40, 0x00, 0x00, 0x00, 0x40, 0x08, 0x00, 0x12, 0x34}},
        {"generic Shift and Control are the left modifiers",
         MacroOf({{0x10, kMacroEventDown, 1}, {0x11, kMacroEventDown, 0x100}}),
         {0x02, 0x80, 0x02, 0x00, 0x00, 0x01, 0x80, 0x01, 0x00, 0x01, 0x00}},
        {"forward and back mouse buttons",
         MacroOf({{0xF3, kMacroEventDown, 0}, {0xF4, 0, 7}}),
         {0x02, 0x84, 0x10, 0x00, 0x00, 0x00, 0x44, 0x08, 0x00, 0x00, 0x07}},
        {"move dx -3 dy 2; a delay above 16 bits keeps its low 16",
         MacroOf({{0x02FD, kMacroEventMove, 0x10005}}),
         {0x01, 0x05, 0xFD, 0x02, 0x00, 0x05}},
        {"an event with a delay but no code still counts",
         MacroOf({{0x41, kMacroEventDown, 0}, {0, 0, 20}, {0, 0, 0}, {0x42, 0, 0}}),
         {0x02, 0x81, 0x04, 0x00, 0x00, 0x00, 0x41, 0x00, 0x00, 0x00, 0x14}},
    };
    for (const Case& c : cases) EXPECT_EQ(Encode(c.macro), c.expected) << c.what;
}

TEST(StMacroToHdMacro, KeyWithoutUsageIsSentAsZeroAndLogged) {
    zvtest::MacroLogCapture log;
    EXPECT_EQ(Encode(MacroOf({{MOUSE_VK_WHEEL_UP, kMacroEventDown, 0}})),
              (Bytes{0x01, 0x81, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(log.Has("StMacro_To_HdMacro: get wrong hid"));
}

TEST(StMacroToHdMacro, SeventyOneEventsAreCutToSeventyEndingAtOffset382) {
    StMacro m = NewMacroRecord("long", 1);
    for (int i = 0; i < 71; ++i)
        m.events[i] = MacroEvent{0x41, static_cast<uint16_t>(i % 2 ? 0 : kMacroEventDown), 10};
    uint8_t buf[kHdMacroWorkBytes];
    std::fill(std::begin(buf), std::end(buf), 0xEE);
    ASSERT_EQ(StMacro_To_HdMacro(&m, buf, sizeof buf), 382u);
    EXPECT_EQ(buf[31], 70);
    // The last event sits at 377..381; the writer puts the check byte at 382.
    EXPECT_EQ(Bytes(buf + 377, buf + 382), (Bytes{0x41, 0x04, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(buf[382], 0xEE) << "nothing written past the events";
}

TEST(StMacroToHdMacro, MissingArgumentsGiveZero) {
    StMacro m = MacroOf({{0x41, 1, 0}});
    uint8_t small[100];
    uint8_t buf[kHdMacroWorkBytes];
    EXPECT_EQ(StMacro_To_HdMacro(nullptr, buf, sizeof buf), 0u);
    EXPECT_EQ(StMacro_To_HdMacro(&m, nullptr, sizeof buf), 0u);
    EXPECT_EQ(StMacro_To_HdMacro(&m, small, sizeof small), 0u);
}

struct Decoded {
    int16_t code;
    uint16_t flags;
    uint32_t delay;
    bool operator==(const Decoded&) const = default;
};
std::vector<Decoded> Decode(const Bytes& bytes) {
    StMacro m;
    HdMacro_To_StMacro(m, bytes.data(), bytes.size(), 0x123456);
    EXPECT_EQ(+m.dwMagicNumber, MACRO_MAGIC);
    EXPECT_EQ(+m.id, 0x123456u);
    EXPECT_EQ(+m.autoDelay, 1u);
    EXPECT_EQ(+m.LoopMode, 0u);
    std::vector<Decoded> out;
    for (int i = 0; i < CountMacroEvents(m); ++i)
        out.push_back({m.events[i].code, m.events[i].flags, m.events[i].delay});
    return out;
}
void PrintTo(const Decoded& d, std::ostream* os) {
    *os << "{" << std::hex << d.code << "," << d.flags << "," << std::dec << d.delay << "}";
}

TEST(HdMacroToStMacro, DecodesEventsAndDropsTheLastDelay) {
    struct Case {
        const char* what;
        Bytes bytes;  // from the count byte on
        std::vector<Decoded> expected;
    };
    const Case cases[] = {
        {"A down, 50 ms, A up",
         {0x02, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04, 0x00, 0x00, 0x00},
         {{0x41, 1, 50}, {0x41, 0, 0}}},
        {"the last event's delay is not kept",
         {0x01, 0x81, 0x04, 0x00, 0x01, 0x00},
         {{0x41, 1, 0}}},
        {"right Alt comes back as 0xA5, right Windows as left Windows",
         {0x02, 0x80, 0x40, 0x00, 0x01, 0x02, 0x40, 0x08, 0x00, 0x00, 0x00},
         {{0xA5, 1, 0x102}, {0x5B, 0, 0}}},
        {"mouse buttons by bit",
         {0x03, 0x84, 0x10, 0x00, 0x00, 0x01, 0x44, 0x08, 0x00, 0x00, 0x01, 0x84, 0x01, 0x00, 0x00,
          0x00},
         {{0xF3, 1, 1}, {0xF4, 0, 1}, {0xF0, 1, 0}}},
        {"a move keeps both signed steps",
         {0x02, 0x05, 0xFD, 0x02, 0x00, 0x10, 0x81, 0x58, 0x00, 0x00, 0x00},
         {{0x02FD, 2, 16}, {0x0D, 1, 0}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), c.expected) << c.what;
}

TEST(HdMacroToStMacro, BadEventsAreLoggedAndKeptWithCodeZero) {
    struct Case {
        Bytes bytes;
        Decoded first;
        const char* log;
    };
    const Case cases[] = {
        {{0x02, 0x81, 0x00, 0x00, 0x00, 0x05, 0x41, 0x04, 0x00, 0x00, 0x00},
         {0, 1, 5},
         "HdMacro_To_StMacro: convert err, i=0, nHid=0"},
        {{0x02, 0x84, 0x20, 0x00, 0x00, 0x05, 0x41, 0x04, 0x00, 0x00, 0x00},
         {0, 1, 5},
         "HdMacro_To_StMacro: convert err, i=0, nHid=20"},
        {{0x02, 0x82, 0xE9, 0x00, 0x00, 0x05, 0x41, 0x04, 0x00, 0x00, 0x00},
         {0, 1, 5},
         "HdMacro_To_StMacro: convert err, nKeyFalg=2"},
        {{0x02, 0x01, 0x04, 0x00, 0x00, 0x05, 0x41, 0x04, 0x00, 0x00, 0x00},
         {0x41, 0, 5},
         "HdMacro_To_StMacro: convert err, i=0"},
    };
    for (const Case& c : cases) {
        zvtest::MacroLogCapture log;
        StMacro m;
        HdMacro_To_StMacro(m, c.bytes.data(), c.bytes.size(), 1);
        EXPECT_EQ((Decoded{m.events[0].code, m.events[0].flags, m.events[0].delay}), c.first)
            << c.log;
        EXPECT_EQ(+m.events[1].code, 0x41) << "the next event still converts";
        EXPECT_TRUE(log.Has(c.log)) << c.log;
    }
}

TEST(HdMacroToStMacro, CountIsBoundedBySeventyAndByTheBytesGiven) {
    Bytes bytes(1 + 5 * 80, 0);
    bytes[0] = 0xFF;
    for (int i = 0; i < 80; ++i) {
        bytes[1 + 5 * i] = 0x81;
        bytes[2 + 5 * i] = 0x04;
        bytes[5 + 5 * i] = 1;
    }
    StMacro m;
    HdMacro_To_StMacro(m, bytes.data(), bytes.size(), 1);
    EXPECT_EQ(CountMacroEvents(m), 70);

    // A count of 3 with room for one event and a half: only the whole event is read.
    const Bytes shortBytes{0x03, 0x81, 0x04, 0x00, 0x00, 0x09, 0x41, 0x04};
    HdMacro_To_StMacro(m, shortBytes.data(), shortBytes.size(), 1);
    EXPECT_EQ(CountMacroEvents(m), 1);
}

TEST(HdMacroRoundTrip, EncodedMacroReadsBackToTheSameEvents) {
    StMacro m = MacroOf({{0xA2, 1, 10},
                         {0x41, 1, 300},
                         {0x41, 0, 10},
                         {0xA2, 0, 10},
                         {0xF1, 1, 65535},
                         {0xF1, 0, 10},
                         {static_cast<int16_t>(0x80FF), kMacroEventMove, 0}});
    uint8_t buf[kHdMacroWorkBytes];
    size_t len = StMacro_To_HdMacro(&m, buf, sizeof buf);
    ASSERT_EQ(len, 32u + 5 * 7);
    StMacro back;
    HdMacro_To_StMacro(back, buf + 31, len - 31, m.id);
    SetMacroName(back, MacroName(m));
    EXPECT_TRUE(MacrosEqual(m, back));
}

}  // namespace
