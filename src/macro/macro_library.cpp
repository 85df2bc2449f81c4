#include "macro/macro_library.h"

#include "base/app_paths.h"
#include "macro/macro_options.h"
#include "base/log.h"
#include "macro/macro_file.h"
#include "macro/macro_store.h"
#include "macro/safe_file_name.h"
#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

// A name with " (n)" added, cut so that the whole still fits a record's name.
std::string Numbered(const std::string& name, int n) {
    const std::string tail = " (" + std::to_string(n) + ")";
    // The mouse keeps as many characters as a user may type; a longer name would come back cut.
    const size_t room =
        static_cast<size_t>(kMaxMacroNameInput) - platform::Utf8ToUtf16(tail).size();
    return platform::CutToUtf16Units(name, room) + tail;
}

bool NameTaken(const std::string& name, const MacroList& list) {
    for (const StMacro& m : list.Snapshot())
        if (MacroNamesCollide(MacroNameUtf8(m), name)) return true;
    return false;
}

}  // namespace

bool LoadMacroLibrary(MacroList& list) {
    // Saves of the cache and mac.dct that never finished leave their temporary files here.
    platform::RemoveStaleTempFiles(ThePaths().szAppDataDir);
    const std::string root = MacroRootFolder();
    if (!platform::DirectoryExists(root)) return true;
    return LoadMacroFolder(root, nullptr, kMacroTreeRoot, TheMacroOptions().MacroDir == 1, true,
                           list);
}

bool MacroNamesCollide(const std::string& a, const std::string& b) {
    return TextsEqualIgnoringCase(MakeSafeFileName(a), MakeSafeFileName(b));
}

std::string FreeMacroFilePath(const std::string& folder, const std::string& name,
                              const MacroList& list) {
    const std::string safe = MakeSafeFileName(name);
    // The folder listing, not only FileExists: on a case-sensitive disk "DEF.qzm" beside
    // "def.qzm" would become one file on Windows. Listed once, however many names are tried.
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    for (int n = 1;; ++n) {
        const std::string text = n == 1 ? safe : safe + " (" + std::to_string(n) + ")";
        const std::string path = platform::JoinPath(folder, text + ".qzm");
        bool taken = list.FileTaken(path);
        for (size_t i = 0; !taken && i < entries.size(); ++i)
            taken = TextsEqualIgnoringCase(entries[i].name, text + ".qzm");
        if (!taken) return path;
    }
}

std::string FreeMacroName(const std::string& name, const MacroList& list) {
    if (!NameTaken(name, list)) return name;
    for (int n = 2;; ++n) {
        std::string candidate = Numbered(name, n);
        if (!NameTaken(candidate, list)) return candidate;
    }
}

std::optional<AddedMacro> AddOutsideMacro(const StMacro& record, MacroList& list, uint32_t* err) {
    if (err) *err = 0;
    if (record.dwMagicNumber != MACRO_MAGIC) {
        LogPrintf("Add_Macro: FAILED, dwMagicNumber=0x%x", record.dwMagicNumber);
        return std::nullopt;
    }
    AddedMacro added;
    added.stored = record;
    added.stored.flags &= ~kMacroChanged;
    if (added.stored.id == 0 || list.Contains(added.stored.id)) {
        do added.stored.id = NewMacroId();
        while (list.Contains(added.stored.id));
        added.newId = true;
    }
    const std::string name = MacroNameUtf8(record);
    const std::string free = FreeMacroName(name, list);
    if (free != name) {
        SetMacroNameUtf8(added.stored, free);
        added.renamed = true;
    }
    added.file = FreeMacroFilePath(MacroRootFolder(), free, list);
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(added.stored, bytes);
    uint32_t e = 0;
    if (!MyCreateFile(added.file, bytes, sizeof bytes, &e)) {
        if (err) *err = e;
        return std::nullopt;
    }
    if (!list.AddMacroToList(added.stored, added.file)) {
        platform::RemoveFile(added.file);
        if (err) *err = platform::kErrNotEnoughMemory;
        return std::nullopt;
    }
    return added;
}

std::optional<AddedMacro> ImportOutsideMacro(const StMacro& record, MacroList& list,
                                             uint32_t* err) {
    std::optional<StMacro> lib = list.FindMacroById(record.id);
    if (!lib || record.dwMagicNumber != MACRO_MAGIC ||
        !MacroNamesCollide(MacroNameUtf8(*lib), MacroNameUtf8(record)))
        return AddOutsideMacro(record, list, err);
    if (err) *err = 0;
    AddedMacro same;
    same.stored = record;
    same.stored.flags &= ~kMacroChanged;
    same.updated = true;
    same.file = list.FileOf(record.id);
    if (same.file.empty())
        same.file = FreeMacroFilePath(MacroRootFolder(), MacroNameUtf8(record), list);
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(same.stored, bytes);
    uint32_t e = 0;
    if (!MyCreateFile(same.file, bytes, sizeof bytes, &e)) {
        if (err) *err = e;
        return std::nullopt;
    }
    list.Update(record.id, [&](StMacro& m) { m = same.stored; });
    list.SetFile(record.id, same.file);
    return same;
}

std::string AddedMacroNote(const std::string& originalName, const AddedMacro& added) {
    if (added.renamed)
        return "a macro named \"" + originalName + "\" exists already; the new one is named \"" +
               MacroNameUtf8(added.stored) + "\"";
    if (added.newId)
        return "macro \"" + originalName + "\" had the id of another macro; it was given a new one";
    return {};
}

bool DeleteLibraryMacro(MacroId id, MacroList& list, uint32_t* err, std::string* fileOut) {
    if (err) *err = 0;
    const std::string file = list.FileOf(id);
    if (fileOut) *fileOut = file;
    if (!file.empty() && platform::FileExists(file)) {
        platform::SetReadOnly(file, false);
        if (!platform::RemoveFile(file, err)) return false;
    }
    list.RemoveMacroFromList(id);
    return true;
}
