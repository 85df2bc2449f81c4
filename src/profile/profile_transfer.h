// Profile export files (.qza): the current profile record and the macros its buttons use, so
// that macro buttons keep working on another computer. The file name comes from the caller
// (a file dialog, the command line).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "macro/st_macro.h"
#include "profile/profile_file.h"

constexpr size_t kExportMacroSlots = 10;
constexpr size_t kExportFileSize = kProfileFileSize + kExportMacroSlots * kStMacroSize;
static_assert(kExportFileSize == 10456);

// 0 while the mouse's profile is being read (or before the first reading), else 1. Written by
// the profile-reading thread, read by the user-interface thread.
extern std::atomic<int32_t> g_bSyncDone;

// Writes the current profile (gVar.pFile) with its macros to `path`. Each macro is stored
// once, however many buttons use it; when more than ten different macros are in use, the
// first ten are stored, the user is told, and the other buttons keep their ids. 1 when the
// file was written.
int ExportProfile(const std::string& path);

// Reads `path`, checks it, merges its macros into the macro library, replaces the current
// profile's contents (keeping its id), sets the current DPI level and asks the apply thread to
// write everything. A file that is not a profile, or whose macros could not be stored safely,
// changes nothing. 1 when imported.
int ImportProfile(const std::string& path);

// Rewrites a library macro's file in the macro folder (change bits cleared). 1 on success.
int ReplaceMacro(StMacro& macro);
