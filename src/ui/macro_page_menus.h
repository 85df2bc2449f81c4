// The context menus of the macro page's two lists: which entries a right click offers on the
// macro tree (nothing, a folder, a macro) and on the event list, with the values the menu
// returns.
#pragma once
#include <cstdint>
#include <vector>

enum MacroMenuValue : uint32_t {
    kMacroMenuNew = 1,
    kMacroMenuDelete = 4,
    kMacroMenuExport = 8,
    kMacroMenuImport = 16,
    kMacroMenuRename = 32,
    kMacroMenuEditRow = 64,
    kMacroMenuDeleteRow = 1024,
};

struct MacroMenuItem {
    const char* textKey;
    uint32_t value;
    bool operator==(const MacroMenuItem&) const = default;
};

enum class MacroTreeTarget { Nothing, Folder, Macro };

// Empty when no menu opens.
std::vector<MacroMenuItem> MacroTreeMenu(MacroTreeTarget target);
std::vector<MacroMenuItem> EventListMenu(bool onRow);
