// The buttons page's rules: the function menu a device gets, what a choice leads to, the rows
// shown and the profile selector.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "macro/macro_list.h"
#include "support/temp_dir.h"
#include "ui/button_assignment.h"
#include "unit/ui_model_fixtures.h"
#include "ui/buttons_page_model.h"
#include "ui/profiles_model.h"

namespace {

using zvtest::Table;

// Values of the top-level items, in order.
std::vector<uint32_t> TopValues(const std::vector<MenuEntry>& menu) {
    std::vector<uint32_t> v;
    for (const MenuEntry& e : menu)
        if (e.parent == kMenuTopLevel) v.push_back(e.value);
    return v;
}

// Values of the items under the top-level item whose value is `head`; none when it is absent.
std::vector<uint32_t> Under(const std::vector<MenuEntry>& menu, uint32_t head) {
    uint32_t top = 0;
    bool found = false;
    for (const MenuEntry& e : menu) {
        if (e.parent != kMenuTopLevel) continue;
        if (e.value == head) {
            found = true;
            break;
        }
        ++top;
    }
    std::vector<uint32_t> v;
    if (!found) return v;
    for (const MenuEntry& e : menu)
        if (e.parent == top) v.push_back(e.value);
    return v;
}

// A device with every optional function of the menu.
SensorCfg FullDevice() {
    SensorCfg cfg;
    cfg.nKeyNum = 3;
    cfg.DefKeys[0][2].dwFunID = 0x080000AE;
    cfg.ExKey = {0x0F01, 0x0F02, 0};
    cfg.DpiMenuMask = 7;
    return cfg;
}

TEST(ButtonsPageModel, MenuHoldsTheDevicesFunctionsInOrder) {
    const SensorTable table = Table({100, 200, 400});
    const SensorCfg cfg = FullDevice();
    const AppOptions opt;
    const std::vector<MenuEntry> menu = BuildFunctionMenu(cfg, opt, &table);
    EXPECT_EQ(TopValues(menu),
              (std::vector<uint32_t>{0x01000011, 0x01000013, 0x01000012, 0x01000014, 0x01000015,
                                     0x080000A7, 0x080000AC, 0x080000B0, 0x080000A4, 0x020000A1,
                                     0x080000AE, 0x080000A2, 0x0B000000, 0x0B000001, 0x05000000,
                                     0x08000000, 0x04000000, 0x080000A6}));
    EXPECT_EQ(Under(menu, 0x08000000), (std::vector<uint32_t>{0x080000A8, 0x080000A9, 0x080000AA}));
    const std::vector<uint32_t> media = Under(menu, 0x04000000);
    ASSERT_GE(media.size(), 17u);
    EXPECT_EQ((std::vector<uint32_t>(media.begin(), media.begin() + 8)),
              (std::vector<uint32_t>{0x04000021, 0x04000022, 0x04000025, 0x04000024, 0x04000023,
                                     0x04000028, 0x04000026, 0x04000027}));
    EXPECT_EQ(media.back(), 0x03000039u);
}

TEST(ButtonsPageModel, MenuLeavesOutWhatTheDeviceLacks) {
    const SensorTable table = Table({400, 800, 1600});
    struct Case {
        const char* what;
        void (*change)(SensorCfg&, AppOptions&);
        uint32_t absent;
        size_t tops = 17;  // the full menu has 18 top-level items
    } cases[] = {
        {"no lighting to switch",
         [](SensorCfg& c, AppOptions&) { c.ShowMainEffect = c.ShowLogoEffect = 0; }, 0x080000A7},
        {"no rate switch", [](SensorCfg& c, AppOptions&) { c.ShowUsbRate = 0; }, 0x080000AC},
        {"no profile switch", [](SensorCfg&, AppOptions& o) { o.ShowProSw = 0; }, 0x080000B0},
        {"no fire key", [](SensorCfg&, AppOptions& o) { o.ShowFireKey = 0; }, 0x080000A4},
        {"no macros", [](SensorCfg&, AppOptions& o) { o.ShowMacro = 0; }, 0x05000000},
        {"lighting key only beyond the buttons", [](SensorCfg& c, AppOptions&) { c.nKeyNum = 2; },
         0x080000AE},
        {"DpiMenuMask 0", [](SensorCfg& c, AppOptions&) { c.DpiMenuMask = 0; }, 0x08000000},
        {"ExKey1 0 with ExKey2 set",
         [](SensorCfg& c, AppOptions&) {
             c.ExKey = {0, 0x0F02, 0};
         },
         0x0B000001, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SensorCfg cfg = FullDevice();
        AppOptions opt;
        c.change(cfg, opt);
        const std::vector<MenuEntry> menu = BuildFunctionMenu(cfg, opt, &table);
        for (const MenuEntry& e : menu) EXPECT_NE(e.value, c.absent);
        EXPECT_EQ(TopValues(menu).size(), c.tops);
    }
    // No extra key at all when the first is 0, however many follow.
    SensorCfg cfg = FullDevice();
    cfg.ExKey = {0, 0x0F02, 0x0F03};
    for (const MenuEntry& e : BuildFunctionMenu(cfg, AppOptions{}, &table))
        EXPECT_NE(e.value >> 24, 0x0Bu);
    // DpiMenuMask 0: no DPI functions under any head either.
    cfg = FullDevice();
    cfg.DpiMenuMask = 0;
    for (const MenuEntry& e : BuildFunctionMenu(cfg, AppOptions{}, &table))
        EXPECT_TRUE(e.value < 0x080000A8 || e.value > 0x080000AA);
}

TEST(ButtonsPageModel, DpiMenuMaskPicksTheDpiFunctions) {
    struct Case {
        int32_t mask;
        std::vector<uint32_t> items;
    } cases[] = {
        {5, {0x080000A8, 0x080000AA}},
        {2, {0x080000A9}},
        {7, {0x080000A8, 0x080000A9, 0x080000AA}},
    };
    for (const Case& c : cases) {
        SensorCfg cfg = FullDevice();
        cfg.DpiMenuMask = c.mask;
        EXPECT_EQ(Under(BuildFunctionMenu(cfg, AppOptions{}, nullptr), 0x08000000), c.items)
            << c.mask;
    }
}

TEST(ButtonsPageModel, SniperItemsAreTheSmallValuesOfTheTable) {
    struct Case {
        SensorTable table;
        std::vector<SniperItem> items;
    } cases[] = {
        {Table({400, 800, 1600}), {{400, 0}, {800, 1}}},
        {Table({50, 100, 150, 200, 1100, 1200}), {{100, 1}, {200, 3}, {1100, 4}}},
        {Table({1200, 1600}), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SniperItems(&c.table), c.items);

    // In the menu: under the sniper head, the value carries the table position in bits 8..15.
    const SensorTable t = Table({50, 100, 150, 200, 1100, 1200});
    const std::vector<MenuEntry> menu = BuildFunctionMenu(FullDevice(), AppOptions{}, &t);
    EXPECT_EQ(Under(menu, 0x080000A6), (std::vector<uint32_t>{0x080001A6, 0x080003A6, 0x080004A6}));
    std::vector<std::string> texts;
    for (const MenuEntry& e : menu)
        if (e.value >> 8 == 0x080001 || e.value >> 8 == 0x080004) texts.push_back(MenuEntryText(e));
    EXPECT_EQ(texts, (std::vector<std::string>{"100", "1100"}));
}

TEST(ButtonsPageModel, ChoiceLeadsToAStoreOrADialog) {
    SensorCfg cfg;
    cfg.ExKey = {0x0F01, 0, 0x0F03};
    struct Case {
        uint32_t value;
        int row;
        bool macrosEmpty;
        ChoiceStep step;
        KeyInfo key;
        const char* message;
    } cases[] = {
        {0x080003A6, 2, false, ChoiceStep::kStore, {0x080000A6, 0, 0, {}, 3}, ""},
        {0x080000A6, 2, false, ChoiceStep::kStore, {0x080000A6, 0, 0, {}, 0}, ""},
        {0x0B000000, 2, false, ChoiceStep::kStore, {0x0B000000, 0, 0, {}, 0x0F01}, ""},
        {0x0B000002, 2, false, ChoiceStep::kStore, {0x0B000002, 0, 0, {}, 0x0F03}, ""},
        {0x0B000001, 2, false, ChoiceStep::kRefused, {}, "Wrong Ex Key Index"},
        {0x0B000003, 2, false, ChoiceStep::kRefused, {}, "Wrong Ex Key Index"},
        {0x03000036, 2, false, ChoiceStep::kStore, {0x03000036}, ""},
        {0x080000A2, 15, false, ChoiceStep::kStore, {0x080000A2}, ""},
        {0x080000A2, 16, false, ChoiceStep::kRefused, {}, nullptr},
        {0x05000000, 2, false, ChoiceStep::kPickMacro, {}, ""},
        {0x05000000, 2, true, ChoiceStep::kAskMacroPage, {}, nullptr},
        {0x020000A1, 2, false, ChoiceStep::kCaptureCombo, {}, ""},
        {0x080000A4, 2, false, ChoiceStep::kFireDialog, {}, ""},
        {0x04000000, 2, false, ChoiceStep::kNothing, {}, ""},
        {0x08000000, 2, false, ChoiceStep::kNothing, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.value << " row " << std::dec << c.row);
        const FunctionChoice f = OnFunctionChosen(c.value, c.row, cfg, c.macrosEmpty);
        EXPECT_EQ(f.step, c.step);
        EXPECT_EQ(f.key, c.key);
        if (c.message) {
            EXPECT_EQ(f.message, c.message);
        }
    }
}

// The menu marks the item of the row's function: the item itself, the item leading to its kind,
// or the head of the sub-menu that holds it.
TEST(ButtonsPageModel, MenuMarksTheItemOfTheRowsFunction) {
    const SensorTable table = Table({100, 200, 400});
    const SensorCfg cfg = FullDevice();
    const std::vector<MenuEntry> menu = BuildFunctionMenu(cfg, AppOptions{}, &table);
    auto key = [](uint32_t fun, uint32_t parameter = 0) {
        KeyInfo k;
        k.dwFunID = fun;
        k.dwParameter = parameter;
        return k;
    };
    const struct Case {
        const char* what;
        KeyInfo current;
        int item;
    } cases[] = {
        {"left click", key(0x01000011), 0},
        {"right click", key(0x01000013), 1},
        {"a combination", ComboKey(0x01, 0x06, 0, 0), 9},
        {"a fire key", FireKey(3, 40), 8},
        {"a macro", MacroKey(7), 14},
        {"the second extra key", key(0x0B000001, 0x0F02), 13},
        {"the extra key with another code", key(0x0B000001, 0x0F01), -1},
        {"DPI up, in the DPI sub-menu", key(0x080000A8), 15},
        {"a media key, in the media sub-menu", key(0x04000022), 16},
        {"sniper at the table's second value", SniperKey(1), 17},
        {"a function the menu does not offer", key(0x080000FF), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MenuItemOf(menu, c.current, 1, cfg), c.item);
    }
}

TEST(ButtonsPageModel, DialogResultsBecomeAssignments) {
    KeyInfo k = ComboKey(0x01, 0x43, 0, 0);  // Ctrl+C
    EXPECT_EQ(k.dwFunID, 0x020000A1u);
    EXPECT_EQ(k.stCombo, (std::array<uint8_t, 4>{0x01, 0x43, 0, 0}));
    k = ComboKey(0, 0x41, 0x42, 0x43);  // keys only
    EXPECT_EQ(k.dwFunID, 0x020000A0u);
    EXPECT_EQ(k.stCombo, (std::array<uint8_t, 4>{0, 0x41, 0x42, 0x43}));
    k = FireKey(3, 10);
    EXPECT_EQ(k.dwFunID, 0x080000A4u);
    EXPECT_EQ(k.dwParameter, 0x0A03u);
    k = MacroKey(0x123456);
    EXPECT_EQ(k.dwFunID, 0x05000000u);
    EXPECT_EQ(k.dwMacroID, 0x123456u);
}

TEST(ButtonsPageModel, RowsFollowTheButtonCountAndKeyMask) {
    ProfileFile p;
    p.dwId = 1;
    SensorCfg cfg;
    cfg.nKeyNum = 7;
    auto rows = ViewButtonRows(p, cfg, 0x0001, g_MacroList);
    EXPECT_TRUE(rows[6].visible);
    EXPECT_FALSE(rows[7].visible);
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_TRUE(rows[1].enabled);
    EXPECT_TRUE(rows[0].caption.has_value());
    EXPECT_EQ(RowRefusal(cfg, 0x0001, 1), "");
    EXPECT_NE(RowRefusal(cfg, 0x0001, 0), "");
    EXPECT_NE(RowRefusal(cfg, 0, 7), "");
    p.nKeySet = 3;  // a key-set index out of range leaves the captions as they are
    rows = ViewButtonRows(p, cfg, 0, g_MacroList);
    EXPECT_FALSE(rows[0].caption.has_value());
}

TEST(ButtonsPageModel, CaptionOfEachKindOfAssignment) {
    ASSERT_TRUE(LoadTexts(zvtest::SourceDir() + "/data/text.xml"));
    const auto saved = gVar.ComboName;
    gVar.ComboName = {0x004301, 0, 0};
    struct Case {
        KeyInfo key;
        const char* caption;
    } cases[] = {
        {ComboKey(0x01, 0x43, 0, 0), "Copy"},             // ComboName1 names Ctrl+C
        {ComboKey(0x01, 0x43, 0x44, 0), "Ctrl + C + D"},  // a third byte makes it another one
        {{0x030000A4}, "Fire key"},                       // the fire code names itself in any type
        {{0x0B000001}, "Special function 2"},
        {{0x0B000003}, ""},
        {{0x03000035}, "Browser back"},
        {MacroKey(0xABCDEF), "Macro not found"},
        {{0x01000099}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetKeyFunctionText(c.key, g_MacroList), c.caption) << c.key.dwFunID;
    gVar.ComboName = saved;
}

TEST(ProfilesModel, SelectorMarksTheCurrentProfile) {
    ProfileState s;
    s.ProfileList.resize(4);
    s.pFile = &s.ProfileList[2];
    AppOptions opt;
    opt.ProSwitchEnable = 0;
    ProfileSelectorView v = ViewProfileSelector(opt, s);
    EXPECT_EQ(v.selected, 2);
    EXPECT_TRUE(v.visible);
    EXPECT_TRUE(v.popupDisabled);
    s.pFile = nullptr;
    opt.ShowProfile = 0;
    v = ViewProfileSelector(opt, s);
    EXPECT_EQ(v.selected, -1);
    EXPECT_FALSE(v.visible);
    EXPECT_EQ(ProfileSelectorItems().size(), 4u);
}

}  // namespace
