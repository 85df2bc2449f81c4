// Macro files (.qzm) and the macro dictionary mac.dct.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "macro/macro_list.h"
#include "macro/st_macro.h"

constexpr size_t kMacroDictSize = static_cast<size_t>(MAX_MACROS) * kStMacroSize;  // 1,668,000

// The macro root folder: "Mac" in the per-user data folder (no trailing separator).
std::string MacroRootFolder();

// Creates every missing folder on the way to the file `path`; false (logged) on failure.
bool MakeSureFolderExist(const std::string& path);

// Creates or replaces the file `path` with these bytes. The old file is replaced atomically,
// so a failed write leaves it as it was. Missing folders are created when the first try
// reports that the path does not exist. Failures to create the file are logged here; a
// failure while writing is left to the caller (err tells which).
bool MyCreateFile(const std::string& path, const void* data, size_t size, uint32_t* err = nullptr);

// true for the name of a macro file: it ends in ".qzm" (in any case). Temporary files and
// anything else in the macro folder are not macros, whatever bytes they hold.
bool IsMacroFileName(const std::string& name);

// true when the record fits what a macro may hold: at most 70 events, every delay one the
// mouse can keep. A record that does not would be cut when written to the mouse and the cut
// copy written back over the user's file by the next reading.
bool IsPlayableMacro(const StMacro& record);

// Reads one macro file: its first 834 bytes, un-rotated, must start with MACRO_MAGIC and form
// a playable macro. A file that is shorter, read-only, unreadable or not a macro gives none
// (a macro that is too long is logged).
std::optional<StMacro> ReadMacroFile(const std::string& path);

// The rotated bytes of a macro file for this record (change bits cleared).
void MacroFileBytes(const StMacro& record, uint8_t* out);

// Writes the record to its file. The change bits are cleared only when the whole file was
// written, so an edit whose write failed is tried again at the next flush instead of being
// lost at exit.
bool WriteMacroFile(StMacro& record, const std::string& path);

// Writes the stored record with this id when it carries change bits, and clears them when
// the write succeeded and the record was not changed again meanwhile; the record then
// remembers `path` as its file. Without change bits (or without the record) nothing is
// written and the result is true.
bool FlushMacroRecord(MacroList& list, MacroId id, const std::string& path);

// Writes mac.dct in the per-user data folder: the first 2000 records of the list that have
// an id and a first event, in list order, the remaining slots zero.
bool SaveMacroDict(const MacroList& list);
