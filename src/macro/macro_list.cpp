#include "macro/macro_list.h"

#include <new>

#include "platform/codepage.h"

MacroList g_MacroList;

size_t MacroList::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.size();
}

std::optional<StMacro> MacroList::FindMacroById(MacroId id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (m->id == id) return *m;
    return std::nullopt;
}

std::optional<StMacro> MacroList::FindMacroByName(std::u16string_view name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (MacroNamesEqual(MacroName(*m), name)) return *m;
    return std::nullopt;
}

std::optional<StMacro> MacroList::FindMacroByNameUtf8(std::string_view name) const {
    return FindMacroByName(platform::Utf8ToUtf16(name));
}

bool MacroList::Contains(MacroId id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (m->id == id) return true;
    return false;
}

bool MacroList::AddMacroToList(const StMacro& record) {
    try {
        auto copy = std::make_unique<StMacro>(record);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.push_back(std::move(copy));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool MacroList::RemoveMacroFromList(MacroId id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if ((*it)->id == id) {
            m_items.erase(it);
            return true;
        }
    }
    return false;
}

bool MacroList::Update(MacroId id, const std::function<void(StMacro&)>& fn) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& m : m_items) {
        if (m->id == id) {
            fn(*m);
            return true;
        }
    }
    return false;
}

std::vector<StMacro> MacroList::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<StMacro> out;
    out.reserve(m_items.size());
    for (const auto& m : m_items) out.push_back(*m);
    return out;
}

void MacroList::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_items.clear();
}
