#include "controls/menu_model.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

MenuEntry MakeMenuEntry(uint32_t parent, uint32_t value, const std::string& utf8Text) {
    MenuEntry e{};
    e.parent = parent;
    e.value = value;
    std::u16string t = platform::Utf8ToUtf16(utf8Text);
    const size_t n = std::min<size_t>(t.size(), 39);
    std::copy_n(t.begin(), n, e.text);
    return e;
}

std::string MenuEntryText(const MenuEntry& e) {
    size_t n = 0;
    while (n < 40 && e.text[n] != 0) ++n;
    return platform::Utf16ToUtf8(std::u16string(e.text, n));
}

void MenuModel::Set(const MenuEntry* entries, size_t count, int32_t x, int32_t y, int32_t width,
                    int32_t itemHeight, int32_t border) {
    m_entries.clear();
    if (entries && count <= kMaxMenuEntries) m_entries.assign(entries, entries + count);
    // A caller's text may lack its terminating zero; the menu never reads past the field.
    for (MenuEntry& e : m_entries) e.text[39] = 0;
    m_topCount = static_cast<size_t>(
        std::count_if(m_entries.begin(), m_entries.end(),
                      [](const MenuEntry& e) { return e.parent == kMenuTopLevel; }));
    m_width = width;
    m_itemHeight = itemHeight;
    m_border = border;
    m_window = {x, y, x + width, y + static_cast<int32_t>(m_topCount) * itemHeight + 2 * border};
}

ZvRect MenuModel::ItemRect(size_t k) const {
    const auto i = static_cast<int32_t>(k);
    return {0, m_border + i * m_itemHeight, m_width, m_border + (i + 1) * m_itemHeight};
}

int MenuModel::HitTest(int32_t x, int32_t y) const {
    for (size_t k = 0; k < m_topCount; ++k) {
        const ZvRect r = ItemRect(k);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(k);
    }
    return -1;
}

std::vector<MenuEntry> MenuModel::Children(size_t k) const {
    std::vector<MenuEntry> out;
    for (const MenuEntry& e : m_entries) {
        if (e.parent == k && out.size() < kMaxMenuEntries) {
            MenuEntry c = e;
            c.parent = kMenuTopLevel;  // they are the sub-menu's own top level
            out.push_back(c);
        }
    }
    return out;
}

bool MenuModel::HasChildren(size_t k) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [k](const MenuEntry& e) { return e.parent == k; });
}

ZvPoint MenuModel::SubMenuOrigin(size_t k, size_t childCount) const {
    const ZvRect item = ItemRect(k);
    const int32_t itemTop = m_window.top + item.top;
    const int32_t up = childCount > 0 ? static_cast<int32_t>(childCount - 1) * m_itemHeight : 0;
    // The sub-menu has the same border, so its last item lines up with the hovered one exactly.
    return {m_window.right, itemTop - up - m_border};
}
