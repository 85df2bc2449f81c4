#include "controls/tree_model.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/scroll_bar_model.h"
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

// The skinned scroll bar's thumb: in proportion to the page, at least the minimum, moved over
// the track's travel by the position, and a thumb put somewhere gives the nearest position.
TEST(ScrollBarModel, ThumbFollowsTheRange) {
    struct Case {
        ScrollRange range;
        int track, minThumb;
        ThumbPlace thumb;
    };
    const Case cases[] = {
        {{0, 9, 10, 0}, 100, 16, {0, 100}},       // everything fits: nothing to scroll
        {{0, 99, 25, 0}, 200, 16, {0, 50}},       // a quarter shown, at the top
        {{0, 99, 25, 75}, 200, 16, {150, 200}},   // at the last position: at the bottom
        {{0, 99, 25, 99}, 200, 16, {150, 200}},   // past the last position: held at the bottom
        {{0, 999, 10, 495}, 200, 16, {92, 108}},  // a tiny page: the minimum, in the middle
        {{5, 24, 10, 10}, 100, 16, {25, 75}},     // a range not starting at 0
    };
    for (const Case& c : cases) {
        const ThumbPlace t = PlaceThumb(c.range, c.track, c.minThumb);
        EXPECT_EQ(t.top, c.thumb.top) << c.range.max << "/" << c.range.pos;
        EXPECT_EQ(t.bottom, c.thumb.bottom) << c.range.max << "/" << c.range.pos;
        // Where the thumb is drawn gives back its position.
        if (Scrolls(c.range) && c.range.pos <= LastScrollPosition(c.range)) {
            EXPECT_EQ(PositionAtThumb(c.range, c.track, c.minThumb, t.top), c.range.pos);
        }
    }
    const ScrollRange r{0, 99, 25, 0};
    EXPECT_EQ(LastScrollPosition(r), 75);
    EXPECT_EQ(PositionAtThumb(r, 200, 16, -30), 0);
    EXPECT_EQ(PositionAtThumb(r, 200, 16, 500), 75);
    EXPECT_EQ(PositionAtThumb(r, 200, 16, 76), 38);
    EXPECT_FALSE(Scrolls({0, 9, 10, 0}));
}
