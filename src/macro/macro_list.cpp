#include "macro/macro_list.h"

#include <cstring>
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
        if (m->rec.id == id) return m->rec;
    return std::nullopt;
}

std::optional<StMacro> MacroList::FindMacroByName(std::u16string_view name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (MacroNamesEqual(MacroName(m->rec), name)) return m->rec;
    return std::nullopt;
}

std::optional<StMacro> MacroList::FindMacroByNameUtf8(std::string_view name) const {
    return FindMacroByName(platform::Utf8ToUtf16(name));
}

bool MacroList::Contains(MacroId id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (m->rec.id == id) return true;
    return false;
}

bool MacroList::AddMacroToList(const StMacro& record, const std::string& file) {
    try {
        auto copy = std::make_unique<Item>(Item{record, file});
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.push_back(std::move(copy));
        ++m_generation;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::string MacroList::FileOf(MacroId id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (m->rec.id == id) return m->file;
    return {};
}

void MacroList::SetFile(MacroId id, const std::string& file) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& m : m_items)
        if (m->rec.id == id) {
            m->file = file;
            return;
        }
}

bool MacroList::FileTaken(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& m : m_items)
        if (!m->file.empty() && TextsEqualIgnoringCase(m->file, path)) return true;
    return false;
}

uint64_t MacroList::Generation() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

bool MacroList::RemoveMacroFromList(MacroId id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if ((*it)->rec.id == id) {
            m_items.erase(it);
            ++m_generation;
            return true;
        }
    }
    return false;
}

bool MacroList::Update(MacroId id, const std::function<void(StMacro&)>& fn) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& m : m_items) {
        if (m->rec.id == id) {
            StMacro before = m->rec;
            fn(m->rec);
            // Setting or clearing the change bits alone is bookkeeping, not a change of the
            // library's contents.
            before.flags &= ~kMacroChanged;
            StMacro after = m->rec;
            after.flags &= ~kMacroChanged;
            if (std::memcmp(&before, &after, sizeof before) != 0) ++m_generation;
            return true;
        }
    }
    return false;
}

std::vector<StMacro> MacroList::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<StMacro> out;
    out.reserve(m_items.size());
    for (const auto& m : m_items) out.push_back(m->rec);
    return out;
}

void MacroList::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_items.clear();
    ++m_generation;
}
