#include "controls/tree_model.h"

#include <gtest/gtest.h>

#include <string>

#include "macro/macro_tree.h"

namespace {

TEST(TreeControl, MouseButtons) {
    struct Case {
        const char* what;
        TreeMouse mouse;
        uint32_t item, selected;
        bool onExpander, enabled;
        TreeMouseAction action;
    };
    const Case cases[] = {
        {"click on another item",
         TreeMouse::LeftDown,
         3,
         2,
         false,
         true,
         {true, true, false, WM_TREE_CLICK}},
        {"click on the selected item",
         TreeMouse::LeftDown,
         3,
         3,
         false,
         true,
         {true, true, false, 0}},
        {"expander of the selected folder",
         TreeMouse::LeftDown,
         3,
         3,
         true,
         true,
         {true, true, true, 0}},
        {"click on nothing",
         TreeMouse::LeftDown,
         0,
         3,
         true,
         true,
         {true, true, false, WM_TREE_CLICK}},
        {"double click",
         TreeMouse::DoubleClick,
         4,
         4,
         false,
         true,
         {true, true, true, WM_TREE_DBLCLK}},
        {"double click on nothing",
         TreeMouse::DoubleClick,
         0,
         4,
         false,
         true,
         {true, true, false, 0}},
        {"right click on nothing",
         TreeMouse::RightDown,
         0,
         4,
         false,
         true,
         {true, true, false, WM_TREE_RCLICK}},
        {"button up", TreeMouse::ButtonUp, 4, 3, false, true, {true, false, false, 0}},
        {"disabled while recording",
         TreeMouse::LeftDown,
         3,
         2,
         false,
         false,
         {true, false, false, 0}},
        {"disabled right click", TreeMouse::RightDown, 3, 2, false, false, {true, false, false, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnTreeMouse(c.mouse, c.item, c.selected, c.onExpander, c.enabled), c.action)
            << c.what;
}

TEST(TreeControl, TooltipsCountCharacters) {
    EXPECT_FALSE(TreeNeedsTooltip("abcdefghijkl"));
    EXPECT_TRUE(TreeNeedsTooltip("abcdefghijklm"));
    EXPECT_FALSE(
        TreeNeedsTooltip("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"));  // 12 x é
}

TEST(TreeControl, ColoursAndFrame) {
    EXPECT_EQ(TreeColourArgb(0x00332211), 0xFF112233u);
    EXPECT_FALSE(TreeDrawsFrame(0));
    EXPECT_TRUE(TreeDrawsFrame(0x010101));
}

TEST(TreeControl, TextPlaces) {
    EXPECT_EQ(TreeTextLeft({true, true, 5}, 40, 19), 40 + 5 + 4 + 18);
    EXPECT_EQ(TreeTextLeft({true, false, 5}, 40, 19), 40 + 5 + 4);
    EXPECT_EQ(TreeTextLeft({false, true, 5}, 40, 19), 45);
    EXPECT_EQ(TreeTextLeft({false, false, 5}, 40, 19), 21);
}

TEST(TreeControl, AFolderAtDepthFiveTakesMacrosButNoFolder) {
    MacroTree tree;
    MacroTreeItem folder = kMacroTreeRoot;
    for (int depth = 0; depth <= MacroTree::kFolderDepthLimit; ++depth) {
        folder = tree.InsertItem(folder, MacroItemKind::Folder, "d" + std::to_string(depth));
        ASSERT_NE(folder, 0u) << depth;
    }
    EXPECT_EQ(tree.ItemDepth(folder), 5);
    EXPECT_EQ(tree.InsertItem(folder, MacroItemKind::Folder, "d6"), 0u);
    const MacroTreeItem macro = tree.InsertItem(folder, MacroItemKind::Macro, "m", 42);
    ASSERT_NE(macro, 0u);
    EXPECT_EQ(tree.InsertItem(macro, MacroItemKind::Macro, "inside a macro", 43), 0u);
}

}  // namespace
