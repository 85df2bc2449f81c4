// The popup menu's entries and geometry, apart from its window.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"

// One entry as callers hand it over (88 bytes).
struct MenuEntry {
    uint32_t parent;    // kMenuTopLevel, or the index of the top-level entry it hangs under
    uint32_t value;     // reported when the entry is chosen
    char16_t text[40];  // up to 39 characters and a terminating zero
};
static_assert(sizeof(MenuEntry) == 88);
static_assert(offsetof(MenuEntry, value) == 4);
static_assert(offsetof(MenuEntry, text) == 8);

constexpr uint32_t kMenuTopLevel = 255;
constexpr size_t kMaxMenuEntries = 50;

MenuEntry MakeMenuEntry(uint32_t parent, uint32_t value, const std::string& utf8Text);
std::string MenuEntryText(const MenuEntry& e);

class MenuModel {
  public:
    // Copies the entries (none at all when there are more than a menu takes) and lays the
    // top-level items out from (x, y) with `width`, `itemHeight` and `border`.
    void Set(const MenuEntry* entries, size_t count, int32_t x, int32_t y, int32_t width,
             int32_t itemHeight, int32_t border);

    const std::vector<MenuEntry>& Entries() const { return m_entries; }
    size_t TopCount() const { return m_topCount; }
    // Screen rectangle of the menu window.
    const ZvRect& WindowRect() const { return m_window; }
    // Client rectangle of top-level item k.
    ZvRect ItemRect(size_t k) const;
    // The top-level item under a client point; -1 when none.
    int HitTest(int32_t x, int32_t y) const;
    // Entries whose parent is top-level item k, at most a menu's worth.
    std::vector<MenuEntry> Children(size_t k) const;
    bool HasChildren(size_t k) const;
    // Top-left screen corner of the sub-menu of item k with `childCount` items: its left edge
    // at the menu's right edge and its last item level with item k.
    ZvPoint SubMenuOrigin(size_t k, size_t childCount) const;
    int32_t ItemHeight() const { return m_itemHeight; }

  private:
    std::vector<MenuEntry> m_entries;
    size_t m_topCount = 0;
    ZvRect m_window;
    int32_t m_width = 0, m_itemHeight = 0, m_border = 1;
};
