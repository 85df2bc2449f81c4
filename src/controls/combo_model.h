// The item lists and the selection of a combo button, and where its popup opens.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "controls/menu_model.h"

struct ComboItem {
    int32_t value = 0;
    std::string text;  // at most 19 characters
};

class ComboModel {
  public:
    static constexpr int kListCount = 4;
    static constexpr size_t kMaxShown = 20;  // items a popup and SelectValue look at

    void AddItem(int list, int32_t value, const std::string& text);
    void ClearList(int list);
    void SetActiveList(int list);
    int ActiveList() const { return m_active; }
    const std::vector<ComboItem>& Items() const { return m_lists[static_cast<size_t>(m_active)]; }

    // i < 0 clears the selection; an index without an item changes nothing. Returns whether
    // the selection was taken.
    bool SelectIndex(int i);
    // Selects the first of the shown items with this value; false (nothing changed) when none.
    bool SelectValue(int32_t v);
    int32_t GetValue() const { return m_value; }
    int SelectedIndex() const { return m_index; }
    const std::string& Caption() const { return m_caption; }

    // The popup's top-level entries: up to kMaxShown items of the active list.
    std::vector<MenuEntry> MenuEntries() const;

    // What a choice from the popup leads to.
    enum class Choice { kRefused, kUnchanged, kUnknown, kAccepted };
    Choice Accept(int32_t value, bool permitted, bool reselectIsNoChange);

  private:
    std::array<std::vector<ComboItem>, kListCount> m_lists;
    int m_active = 0;
    int m_index = -1;
    int32_t m_value = -1;
    std::string m_caption;
};

// Top-left corner of a combo's popup. `button` is in screen coordinates. Mode 0 opens below,
// or above when the screen is too short for 20 pixels per item; mode 1 centres it above.
ZvPoint ComboPopupOrigin(const ZvRect& button, size_t itemCount, int32_t screenHeight, int mode);
