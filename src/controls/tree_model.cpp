#include "controls/tree_model.h"

TreeMouseAction OnTreeMouse(TreeMouse what, uint32_t item, uint32_t selected, bool onExpander,
                            bool enabled) {
    TreeMouseAction a;
    if (!enabled) return a;
    switch (what) {
        case TreeMouse::LeftDown:
            a.select = true;
            a.toggle = item != 0 && onExpander;
            // Clicking the item that is already selected must not reload what it shows, which
            // would drop the edits in progress.
            if (item == 0 || item != selected) a.post = WM_TREE_CLICK;
            break;
        case TreeMouse::DoubleClick:
            a.select = true;
            if (item != 0) {
                a.toggle = true;
                a.post = WM_TREE_DBLCLK;
            }
            break;
        case TreeMouse::RightDown:
            a.select = true;
            a.post = WM_TREE_RCLICK;
            break;
        case TreeMouse::ButtonUp:
            break;
    }
    return a;
}

bool TreeNeedsTooltip(const std::string& utf8Text) {
    // Characters, not bytes: a name in another script is as long as it looks.
    size_t chars = 0;
    for (unsigned char c : utf8Text)
        if ((c & 0xC0) != 0x80) ++chars;
    return chars > 12;
}

uint32_t TreeColourArgb(uint32_t bgr) {
    const uint32_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

int32_t TreeTextLeft(const TreeRowLook& row, int32_t itemLeft, int32_t indent) {
    if (row.folder) return itemLeft + row.textOffset + 4 + (row.hasIcon ? 18 : 0);
    if (row.hasIcon) return itemLeft + row.textOffset;
    return itemLeft - indent;
}
