// The macro library as both front ends start it and as macros from outside enter it.
//
// Every macro has its own file, remembered by the list. Names are compared the way the file
// system will compare the file names made from them (ignoring case, after they are made safe
// for a file name), so two macros never end up in one file and nothing overwrites a macro
// that is not the one being saved.
#pragma once
#include <optional>
#include <string>

#include "macro/macro_list.h"
#include "macro/st_macro.h"

// Fills the list from the macro root folder: sub-folders too when MacroDir is 1, leftover
// temporary files removed on the way. false when the root exists and cannot be listed.
bool LoadMacroLibrary(MacroList& list);

// true when the two names would give the same file name.
bool MacroNamesCollide(const std::string& a, const std::string& b);

// A file for a macro named `name` in `folder` that neither exists nor belongs to another
// macro: the name made safe, then " (2)", " (3)", ... until one is free.
std::string FreeMacroFilePath(const std::string& folder, const std::string& name,
                              const MacroList& list);

// The record's name, or, when a library macro's name collides with it, the name with
// " (2)", " (3)", ... (cut to fit the record) that collides with none.
std::string FreeMacroName(const std::string& name, const MacroList& list);

struct AddedMacro {
    StMacro stored;
    std::string file;
    bool renamed = false;  // the name collided with a library macro's
    bool newId = false;    // the id was one a library macro already has
    bool updated = false;  // the library's macro of that id and name took the new contents
};

// Adds a macro from outside (an imported file or profile): a new id when its id is taken, a
// new name when its name collides, and its own file in the root folder. Nothing in the
// library is overwritten. None when the file cannot be written (err says why) or the record
// is not a macro (err 0).
std::optional<AddedMacro> AddOutsideMacro(const StMacro& record, MacroList& list,
                                          uint32_t* err = nullptr);

// The same for a single imported macro, with one difference: the macro the library has under
// the same id and name is the same macro, and takes the new contents in its own file, as
// importing a profile does. Importing one file twice thus leaves one macro.
std::optional<AddedMacro> ImportOutsideMacro(const StMacro& record, MacroList& list,
                                             uint32_t* err = nullptr);

// What a user is told about an added macro whose name or id had to change; empty when
// nothing changed.
std::string AddedMacroNote(const std::string& originalName, const AddedMacro& added);

// Removes a macro from the list and deletes the file it was loaded from or last written to.
// false (err set, the macro kept) when that file exists and cannot be deleted.
bool DeleteLibraryMacro(MacroId id, MacroList& list, uint32_t* err = nullptr,
                        std::string* file = nullptr);
