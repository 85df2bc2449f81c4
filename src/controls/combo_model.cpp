#include "controls/combo_model.h"

#include "platform/codepage.h"

namespace {
constexpr int32_t kPopupItemHeight = 20;

std::string CutText(const std::string& text, size_t maxChars) {
    std::u16string u = platform::Utf8ToUtf16(text);
    if (u.size() > maxChars) u.resize(maxChars);
    return platform::Utf16ToUtf8(u);
}
}  // namespace

void ComboModel::AddItem(int list, int32_t value, const std::string& text) {
    if (list < 0 || list >= kListCount) return;
    m_lists[static_cast<size_t>(list)].push_back({value, CutText(text, 19)});
}

void ComboModel::ClearList(int list) {
    if (list < 0 || list >= kListCount) return;
    m_lists[static_cast<size_t>(list)].clear();
}

void ComboModel::SetActiveList(int list) {
    if (list < 0 || list >= kListCount) return;
    m_active = list;
}

bool ComboModel::SelectIndex(int i) {
    if (i < 0) {
        m_index = -1;
        m_value = -1;
        m_caption.clear();
        return true;
    }
    const auto& items = Items();
    if (static_cast<size_t>(i) >= items.size()) return false;
    m_index = i;
    m_value = items[static_cast<size_t>(i)].value;
    m_caption = items[static_cast<size_t>(i)].text;
    return true;
}

bool ComboModel::SelectValue(int32_t v) {
    const auto& items = Items();
    for (size_t i = 0; i < items.size() && i < kMaxShown; ++i) {
        if (items[i].value == v) return SelectIndex(static_cast<int>(i));
    }
    return false;
}

std::vector<MenuEntry> ComboModel::MenuEntries() const {
    std::vector<MenuEntry> out;
    for (const ComboItem& item : Items()) {
        if (out.size() >= kMaxShown) break;
        out.push_back(MakeMenuEntry(kMenuTopLevel, static_cast<uint32_t>(item.value), item.text));
    }
    return out;
}

ComboModel::Choice ComboModel::Accept(int32_t value, bool permitted, bool reselectIsNoChange) {
    if (!permitted) return Choice::kRefused;
    if (reselectIsNoChange && value == m_value) return Choice::kUnchanged;
    if (!SelectValue(value)) return Choice::kUnknown;
    return Choice::kAccepted;
}

ZvPoint ComboPopupOrigin(const ZvRect& button, size_t itemCount, int32_t screenHeight, int mode) {
    const auto height = static_cast<int32_t>(itemCount) * kPopupItemHeight;
    if (mode == 1) return {button.left, button.top - height / 2};
    if (screenHeight < button.bottom + height) return {button.left, button.top - height};
    return {button.left, button.bottom};
}
