// The application's macro list: every macro the program knows, in insertion order.
//
// The list is shared by the user-interface thread (macro page, picker, button page) and the
// profile-reading worker (macros found in the mouse). Every operation takes the list's own
// lock and records leave it only as copies, so no reader ever sees a record half-written by
// the other thread. A change to a stored record goes through Update(), whose function runs
// under the lock and must not call back into the list.
//
// Each record remembers the file it was loaded from or last written to, so that saving or
// deleting a macro touches that file and no other, whatever its name says.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/st_macro.h"

class MacroList {
  public:
    size_t Count() const;
    // A copy of the first record with this id.
    std::optional<StMacro> FindMacroById(MacroId id) const;
    // A copy of the first record whose name equals `name` ignoring case (40 characters).
    std::optional<StMacro> FindMacroByName(std::u16string_view name) const;
    std::optional<StMacro> FindMacroByNameUtf8(std::string_view name) const;
    bool Contains(MacroId id) const;
    // Appends a copy; false when memory runs out. The limit of 2000 is the caller's to check
    // where it applies (a macro the user creates). `file` is the macro's file, when it has one.
    bool AddMacroToList(const StMacro& record, const std::string& file = {});
    // The file of the first record with this id; empty when it has none (or there is none).
    std::string FileOf(MacroId id) const;
    void SetFile(MacroId id, const std::string& file);
    // true when a record's file names `path`, compared as the file system compares names
    // (ignoring case), so two macros never share one file.
    bool FileTaken(const std::string& path) const;
    // Counts every change of the library's contents (add, remove, an Update that changed
    // more than the change bits), so a caller can tell whether anything needs saving.
    uint64_t Generation() const;
    // Removes the first record with this id; false when there is none.
    bool RemoveMacroFromList(MacroId id);
    // Runs fn on the stored record under the lock; false when there is none.
    bool Update(MacroId id, const std::function<void(StMacro&)>& fn);
    // Copies of every record, in list order.
    std::vector<StMacro> Snapshot() const;
    void Clear();

  private:
    struct Item {
        StMacro rec;
        std::string file;
    };
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Item>> m_items;
    uint64_t m_generation = 0;
};

// The macro list of the running program.
extern MacroList g_MacroList;
