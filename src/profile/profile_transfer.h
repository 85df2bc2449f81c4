// Profile export files (.qza): the current profile record and the macros its buttons use, so
// that macro buttons keep working on another computer. The file name comes from the caller
// (a file dialog, the command line).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/notice.h"
#include "macro/st_macro.h"
#include "profile/profile_file.h"

class MacroList;

constexpr size_t kExportMacroSlots = 10;
constexpr size_t kExportFileSize = kProfileFileSize + kExportMacroSlots * kStMacroSize;
static_assert(kExportFileSize == 10456);

// 0 while the mouse's profile is being read (or before the first reading), else 1. Written by
// the profile-reading thread, read by the user-interface thread.
extern std::atomic<int32_t> g_bSyncDone;

// Writes the current profile (gVar.pFile) with its macros, found in `library`, to `path`.
// Each macro is stored once, however many buttons use it; when more than ten different macros
// are in use, the first ten are stored, the user is told, and the other buttons keep their ids. 1
// when the file was written. What the user is told (a failure, the macros left out) goes to `tell`,
// on the caller's thread, before the function returns.
int ExportProfile(const std::string& path, const MacroList& library, const NoticeSink& tell);

// What an imported file may bring, decided by the rules a user's own changes meet (they live
// above this layer, with the pages). Each value not taken is put into `said` as one line.
struct ImportRules {
    // The record to store: `current` with what the file's record may change of it.
    std::function<ProfileFile(const ProfileFile& file, const ProfileFile& current,
                              std::vector<std::string>& said)>
        profile;
    // A macro of the file held to the library's rules; the reason when it cannot be taken.
    std::function<std::optional<std::string>(StMacro& m, std::vector<std::string>& said)> macro;
};

// Reads `path`, checks it, holds it to `rules`, merges its macros into `library`,
// replaces the current profile's contents (keeping its id), sets the current DPI level and asks
// the apply thread to write everything. The values not taken are told in one message, a line
// each. A file that is not a profile, or whose macros could not be stored safely, changes
// nothing. 1 when imported. Every message goes to `tell` at the moment it is known (a note on a
// macro added under another name comes while the import goes on), on the caller's thread.
int ImportProfile(const std::string& path, const ImportRules& rules, MacroList& library,
                  const NoticeSink& tell);

// Rewrites a macro's file in the macro folder (change bits cleared), the file `library` knows
// for it or a free name, which `library` then knows. 1 on success.
int ReplaceMacro(StMacro& macro, MacroList& library);
