// Macros found in the mouse enter the library: a new one is added, a changed one replaces
// the stored macro of the same name. Both run on the profile-reading thread.
#pragma once
#include <optional>
#include <string>

#include "macro/macro_list.h"
#include "macro/macro_page_link.h"
#include "macro/st_macro.h"

// Adds a macro read from the mouse: an item at the root of the page's tree (when there is a
// page), a copy in the list and its file <name>.qzm in the macro root folder. The name is
// made safe for a file name first. Returns the stored copy; none when the record has no
// magic or the tree refuses the item.
std::optional<StMacro> Add_Macro(const StMacro& record, MacroPageLink* macroPage, MacroList& list);

// The file of a macro in the root folder: its name made safe for a file name, then ".qzm".
std::string RootMacroFilePath(const StMacro& record);

// Replaces the stored macro that has the record's name at the root of the macro folder with
// the record's content (keeping the stored id), marks it changed and writes its file.
// Returns the stored id; none when there is no such macro. Without a page, the root-level
// macro is the file <name>.qzm of the root folder.
std::optional<MacroId> UpdateMacroFromDevice(const StMacro& record, MacroPageLink* macroPage,
                                             MacroList& list);
