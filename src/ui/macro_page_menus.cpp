#include "ui/macro_page_menus.h"

namespace {
constexpr MacroMenuItem kNew{"tc_macro_msg5", kMacroMenuNew};
constexpr MacroMenuItem kImport{"tc_macro_msg3", kMacroMenuImport};
constexpr MacroMenuItem kExport{"tc_macro_msg4", kMacroMenuExport};
constexpr MacroMenuItem kRename{"tc_macro_msg20", kMacroMenuRename};
constexpr MacroMenuItem kDelete{"tc_macro_msg10", kMacroMenuDelete};
}  // namespace

std::vector<MacroMenuItem> MacroTreeMenu(MacroTreeTarget target) {
    switch (target) {
        case MacroTreeTarget::Nothing:
            return {kNew, kImport};
        case MacroTreeTarget::Folder:
            return {kNew, kRename, kDelete, kImport};
        case MacroTreeTarget::Macro:
            return {kExport, kRename, kDelete};
    }
    return {};
}

std::vector<MacroMenuItem> EventListMenu(bool onRow) {
    if (!onRow) return {};
    return {{"tc_macro_msg7", kMacroMenuEditRow}, {"tc_macro_msg10", kMacroMenuDeleteRow}};
}
