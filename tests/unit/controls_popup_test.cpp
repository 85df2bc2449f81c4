#include <gtest/gtest.h>

#include <vector>

#include "controls/combo_model.h"
#include "controls/menu_model.h"
#include "controls/skin_paths.h"
#include "platform/fs.h"

namespace {

TEST(ControlsComboPlacement, BelowAboveOrCentred) {
    const ZvRect button{100, 700, 220, 730};
    struct Case {
        size_t items;
        int32_t screenHeight;
        int mode;
        ZvPoint origin;
    };
    const Case cases[] = {
        {5, 1000, 0, {100, 730}},  // room below
        {5, 829, 0, {100, 600}},   // 730 + 100 > 829: 100 px above the top edge
        {5, 830, 0, {100, 730}},   // exactly fits
        {5, 1000, 1, {100, 650}},  // centred above
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComboPopupOrigin(button, c.items, c.screenHeight, c.mode), c.origin)
            << c.items << " " << c.screenHeight << " " << c.mode;
    }
}

class ControlsCombo : public ::testing::Test {
  protected:
    ComboModel combo;
    void SetUp() override {
        combo.AddItem(0, 125, "125 Hz");
        combo.AddItem(0, 500, "500 Hz");
        combo.AddItem(0, 1000, "1000 Hz");
        combo.AddItem(1, 7, "Other list");
    }
};

TEST_F(ControlsCombo, SelectionFollowsTheActiveList) {
    EXPECT_EQ(combo.GetValue(), -1);
    EXPECT_TRUE(combo.SelectValue(500));
    EXPECT_EQ(combo.Caption(), "500 Hz");
    EXPECT_FALSE(combo.SelectValue(7));  // in list 1, not the active one
    EXPECT_EQ(combo.GetValue(), 500);
    EXPECT_FALSE(combo.SelectIndex(3));  // no such item: unchanged
    EXPECT_EQ(combo.Caption(), "500 Hz");
    combo.SetActiveList(1);
    EXPECT_TRUE(combo.SelectValue(7));
    EXPECT_TRUE(combo.SelectIndex(-1));
    EXPECT_EQ(combo.GetValue(), -1);
    EXPECT_EQ(combo.Caption(), "");
    combo.SetActiveList(9);  // out of range: ignored
    EXPECT_EQ(combo.ActiveList(), 1);
}

TEST_F(ControlsCombo, OnlyTwentyItemsAreOfferedAndSearched) {
    for (int i = 0; i < 25; ++i) combo.AddItem(2, 100 + i, "item " + std::to_string(i));
    combo.SetActiveList(2);
    EXPECT_EQ(combo.MenuEntries().size(), 20u);
    EXPECT_TRUE(combo.SelectValue(119));
    EXPECT_FALSE(combo.SelectValue(120));
    combo.AddItem(2, 1, "a text far longer than nineteen characters");
    EXPECT_EQ(combo.Items().back().text, "a text far longer t");
}

TEST_F(ControlsCombo, AcceptingAChoice) {
    combo.SelectValue(500);
    using C = ComboModel::Choice;
    EXPECT_EQ(combo.Accept(1000, false, false), C::kRefused);
    EXPECT_EQ(combo.GetValue(), 500);
    EXPECT_EQ(combo.Caption(), "500 Hz");
    EXPECT_EQ(combo.Accept(500, true, true), C::kUnchanged);
    EXPECT_EQ(combo.Accept(500, true, false), C::kAccepted);
    EXPECT_EQ(combo.Accept(42, true, false), C::kUnknown);
    EXPECT_EQ(combo.GetValue(), 500);
    EXPECT_EQ(combo.Accept(1000, true, true), C::kAccepted);
    EXPECT_EQ(combo.Caption(), "1000 Hz");
}

std::vector<MenuEntry> TwoTopTwoUnderSecond() {
    return {MakeMenuEntry(kMenuTopLevel, 10, "Left"), MakeMenuEntry(kMenuTopLevel, 11, "Keys"),
            MakeMenuEntry(1, 20, "Ctrl + C"), MakeMenuEntry(1, 21, "Ctrl + V")};
}

TEST(ControlsMenuGeometry, ItemsWindowAndSubMenu) {
    const auto entries = TwoTopTwoUnderSecond();
    MenuModel menu;
    menu.Set(entries.data(), entries.size(), 300, 200, 120, 24, 1);
    EXPECT_EQ(menu.TopCount(), 2u);
    EXPECT_EQ(menu.WindowRect(), (ZvRect{300, 200, 420, 250}));
    EXPECT_EQ(menu.ItemRect(1), (ZvRect{0, 25, 120, 49}));
    EXPECT_EQ(menu.HitTest(5, 0), -1);  // the border
    EXPECT_EQ(menu.HitTest(5, 1), 0);
    EXPECT_EQ(menu.HitTest(119, 48), 1);
    EXPECT_EQ(menu.HitTest(120, 30), -1);
    EXPECT_FALSE(menu.HasChildren(0));
    ASSERT_TRUE(menu.HasChildren(1));

    const auto children = menu.Children(1);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0].value, 20u);
    EXPECT_EQ(children[0].parent, kMenuTopLevel);
    // The sub-menu's last item lies level with the hovered one, to the right of the menu.
    const ZvPoint origin = menu.SubMenuOrigin(1, children.size());
    MenuModel sub;
    sub.Set(children.data(), children.size(), origin.x, origin.y, 120, 24, 1);
    EXPECT_EQ(origin.x, 420);
    EXPECT_EQ(sub.WindowRect().top + sub.ItemRect(1).top,
              menu.WindowRect().top + menu.ItemRect(1).top);
}

TEST(ControlsMenuGeometry, HostileEntries) {
    std::vector<MenuEntry> many(51, MakeMenuEntry(kMenuTopLevel, 1, "x"));
    MenuModel menu;
    menu.Set(many.data(), many.size(), 0, 0, 100, 20, 1);
    EXPECT_EQ(menu.TopCount(), 0u);  // more than a menu takes: no entries
    EXPECT_EQ(menu.WindowRect(), (ZvRect{0, 0, 100, 2}));

    MenuEntry unterminated{};
    unterminated.parent = kMenuTopLevel;
    for (char16_t& c : unterminated.text) c = u'W';
    menu.Set(&unterminated, 1, 0, 0, 100, 20, 1);
    EXPECT_EQ(MenuEntryText(menu.Entries()[0]), std::string(39, 'W'));
    EXPECT_EQ(MenuEntryText(MakeMenuEntry(0, 0, std::string(60, 'x'))).size(), 39u);
}

TEST(ControlsSkinPaths, DeviceFolderIsLowerCaseHex) {
    EXPECT_EQ(DeviceSkinFolder(0x0A, 0x3C), "0a3c");
    const std::string p = DeviceSkinPath(0x0A, 0x3C, "mouse_nr.png");
    EXPECT_NE(p.find(std::string("skins") + platform::PathSeparator() + "0a3c" +
                     platform::PathSeparator() + "mouse_nr.png"),
              std::string::npos);
}

}  // namespace
