// The decisions of the skinned tree control without a window: what a mouse press selects,
// toggles and reports to the owner, when an item gets a tooltip, where a row's text starts
// and how the configured colours are drawn.
#pragma once
#include <cstdint>
#include <string>

// Messages the tree posts to its owner (wParam control ID, lParam item or 0).
enum TreeMessage : uint32_t {
    WM_TREE_DBLCLK = 0x591,
    WM_TREE_RCLICK = 0x592,
    WM_TREE_CLICK = 0x594,
};

enum class TreeMouse { LeftDown, DoubleClick, RightDown, ButtonUp };

// What the window does with one mouse button message.
struct TreeMouseAction {
    bool swallow = true;  // the tree-view never sees the message
    bool select = false;  // select `item` (0 clears the selection)
    bool toggle = false;  // expand or collapse `item`
    uint32_t post = 0;    // message to post to the owner, 0 for none
    bool operator==(const TreeMouseAction&) const = default;
};

// `item` is the item under the cursor (0 for none), `selected` the one selected before,
// `onExpander` whether the press hit the expand button or the indent. While the tree is
// disabled (recording a macro) every button message is swallowed and nothing happens.
TreeMouseAction OnTreeMouse(TreeMouse what, uint32_t item, uint32_t selected, bool onExpander,
                            bool enabled);

// A text longer than 12 characters gets a tooltip with the full text.
bool TreeNeedsTooltip(const std::string& utf8Text);

// A configured 0x00BBGGRR colour as opaque 0xFFRRGGBB.
uint32_t TreeColourArgb(uint32_t bgr);
// A frame is drawn only in a colour other than 0.
inline bool TreeDrawsFrame(uint32_t frameColour) {
    return frameColour != 0;
}

// Where a row's text starts, from the item rectangle's left edge (negative: left of it).
struct TreeRowLook {
    bool folder = false;
    bool hasIcon = false;
    int32_t textOffset = 0;  // 5 for macro-tree items
};
int32_t TreeTextLeft(const TreeRowLook& row, int32_t itemLeft, int32_t indent);
