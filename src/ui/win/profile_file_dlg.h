// The system's save and open dialogs for profile files (.qza), and the export and import that
// follow them.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "profile/profile_state.h"
#include "profile/profile_transfer.h"

class MacroList;

// Asks for a file name; nothing when cancelled. `save`: the save dialog with the overwrite
// question, else the open dialog of an existing file.
std::optional<std::string> AskProfileFile(HWND owner, bool save);
// The same for files with the extension `ext` ("qza", "qzm"); the save dialog offers
// `name`.ext.
std::optional<std::string> AskDataFile(HWND owner, bool save, const std::string& ext,
                                       const std::string& name = "");
// The current profile, with its macros from `macros`, into a file the user names. 1 when
// written.
int ExportProfileWithDialog(HWND owner, const ProfileMonitor& profile, const MacroList& macros);
// A file the user picks into the current profile, held to `rules`, its macros into `macros`.
// 1 when imported.
int ImportProfileWithDialog(HWND owner, const ProfileMonitor& profile, const ImportRules& rules,
                            MacroList& macros);
