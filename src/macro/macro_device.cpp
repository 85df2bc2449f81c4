#include "macro/macro_device.h"

#include <vector>

#include "base/log.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_tree.h"
#include "macro/safe_file_name.h"
#include "platform/fs.h"

namespace {

std::string RootFilePath(const std::string& text) {
    return platform::JoinPath(MacroRootFolder(), text + ".qzm");
}

}  // namespace

bool MacroTreeLink::AddRootMacro(const std::string& text, MacroId id) {
    return m_tree.InsertItem(kMacroTreeRoot, MacroItemKind::Macro, text, id) != 0;
}

std::optional<MacroPageLink::RootMacro> MacroTreeLink::FindRootMacro(const std::string& text) {
    MacroTreeItem item = m_tree.FindRootChild(text);
    const MacroTreeNode* n = m_tree.Find(item);
    if (!n || n->kind != MacroItemKind::Macro) return std::nullopt;
    return RootMacro{n->id, n->text};
}

void MacroTreeLink::ReleaseMacro(MacroId id) {
    const MacroTreeNode* n = m_tree.Find(m_tree.Selected());
    if (n && n->kind == MacroItemKind::Macro && n->id == id) m_tree.Select(0);
}

std::optional<StMacro> Add_Macro(const StMacro& record, MacroPageLink* macroPage, MacroList& list) {
    if (record.dwMagicNumber != MACRO_MAGIC) {
        LogPrintf("Add_Macro: FAILED, dwMagicNumber=0x%x", record.dwMagicNumber);
        return std::nullopt;
    }
    // The name comes from the mouse: it must not lead the file anywhere but the root folder,
    // nor into the file of another macro whose name becomes the same file name (two nameless
    // macros, names differing in case or only in characters a file name cannot hold).
    const std::string path = FreeMacroFilePath(MacroRootFolder(), MacroNameUtf8(record), list);
    std::string text = platform::FileNameOf(path);
    text.resize(text.size() - 4);  // ".qzm"
    StMacro copy = record;
    copy.flags = kMacroChanged;
    // The record goes into the list before the tree shows it, so a click on the new item
    // always finds its record.
    if (!list.AddMacroToList(copy, path)) return std::nullopt;
    if (macroPage && !macroPage->AddRootMacro(text, copy.id)) {
        list.RemoveMacroFromList(copy.id);
        return std::nullopt;
    }
    FlushMacroRecord(list, copy.id, path);
    return list.FindMacroById(copy.id);
}

std::string RootMacroFilePath(const StMacro& record) {
    return RootFilePath(MakeSafeFileName(MacroNameUtf8(record)));
}

std::optional<MacroId> UpdateMacroFromDevice(const StMacro& record, MacroPageLink* macroPage,
                                             MacroList& list) {
    const std::string text = MakeSafeFileName(MacroNameUtf8(record));
    std::optional<MacroId> id;
    std::string path;
    if (macroPage) {
        if (auto found = macroPage->FindRootMacro(text)) {
            id = found->id;
            path = RootFilePath(found->text);
        }
    } else {
        // Without a page the root folder itself says which macro has that name; the name on
        // disk may differ in case from the one in the mouse.
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(MacroRootFolder(), entries);
        for (const auto& e : entries) {
            if (e.isDirectory || !TextsEqualIgnoringCase(e.name, text + ".qzm")) continue;
            if (auto onDisk = ReadMacroFile(platform::JoinPath(MacroRootFolder(), e.name))) {
                id = onDisk->id;
                path = platform::JoinPath(MacroRootFolder(), e.name);
                break;
            }
        }
    }
    if (!id || !list.Contains(*id)) return std::nullopt;
    if (macroPage) macroPage->ReleaseMacro(*id);
    list.Update(*id, [&](StMacro& stored) {
        const MacroId keep = stored.id;
        stored = record;
        stored.id = keep;
        stored.flags |= kMacroChanged;
    });
    FlushMacroRecord(list, *id, path);
    return id;
}
