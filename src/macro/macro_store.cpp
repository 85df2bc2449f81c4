#include "macro/macro_store.h"

#include <cstdio>
#include <vector>

#include "base/app_paths.h"
#include "macro/macro_options.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "macro/macro_editor.h"
#include "macro/macro_file.h"
#include "macro/safe_file_name.h"
#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

size_t Utf16Length(const std::string& s) {
    return platform::Utf8ToUtf16(s).size();
}

std::string Format(const char* fmt, unsigned value) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

bool IsMissing(uint32_t err) {
    return err == platform::kErrFileNotFound || err == platform::kErrPathNotFound;
}

std::string CutAtLastDot(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FolderIcon(const std::string& folderPath, const std::string& name) {
    std::string icon = platform::JoinPath(folderPath, name + ".png");
    return platform::FileExists(icon) ? icon : std::string();
}

bool LoadFolder(const std::string& path, MacroTree* tree, MacroTreeItem parent, int depth,
                bool showFolders, bool addToList, MacroList& list) {
    if (Utf16Length(path) >= kMaxMacroFolderPathChars) return true;
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(path, entries)) return false;
    for (const auto& e : entries) {
        const std::string full = platform::JoinPath(path, e.name);
        if (e.isDirectory) {
            if (!showFolders || e.name[0] == '.' || e.name[0] == '$') continue;
            // Folders below the tree's depth limit are neither shown nor walked.
            if (depth > MacroTree::kFolderDepthLimit) continue;
            MacroTreeItem item = 0;
            if (tree) {
                item = tree->InsertItem(parent, MacroItemKind::Folder, e.name, 0,
                                        FolderIcon(full, e.name));
                if (!item) continue;
            }
            if (!LoadFolder(full, tree, item, depth + 1, showFolders, addToList, list))
                return false;
            continue;
        }
        if (addToList && platform::IsTempFileName(e.name)) {
            // A save that never finished; its target still holds the last complete contents.
            platform::RemoveFile(full);
            continue;
        }
        if (!IsMacroFileName(e.name)) continue;
        std::optional<StMacro> rec = ReadMacroFile(full);
        if (!rec) continue;
        if (addToList && list.Contains(rec->id)) {
            // A copy of a macro file made beside the program holds its original's id. Under one
            // id the two would be one macro to the library: a change to the copy would be
            // written into the original's file. The copy takes an id of its own, kept in its
            // file so that buttons given it still find it after a restart.
            const MacroId shared = rec->id;
            do rec->id = NewMacroId();
            while (list.Contains(rec->id));
            if (!WriteMacroFile(*rec, full))
                LogPrintf("LoadMacroFolder: %s keeps the id 0x%x of another macro in its file",
                          full.c_str(), shared);
        }
        if (addToList) list.AddMacroToList(*rec, full);
        if (tree) tree->InsertItem(parent, MacroItemKind::Macro, CutAtLastDot(e.name), rec->id);
    }
    return true;
}

}  // namespace

bool LoadMacroFolder(const std::string& path, MacroTree* tree, MacroTreeItem parent,
                     bool showFolders, bool addToList, MacroList& list) {
    // A folder item's children are one level deeper than the item itself.
    int depth = 0;
    if (tree && parent != kMacroTreeRoot) {
        if (!tree->Find(parent)) return false;
        depth = tree->ItemDepth(parent) + 1;
    }
    return LoadFolder(path, tree, parent, depth, showFolders, addToList, list);
}

std::optional<std::string> TreeItemToFilePath(const MacroTree& tree, MacroTreeItem item,
                                              const std::string& root) {
    std::vector<const MacroTreeNode*> chain;
    for (const MacroTreeNode* n = tree.Find(item); n; n = tree.Find(n->parent)) {
        if (static_cast<int>(chain.size()) == kMaxMacroPathLevels) return std::nullopt;
        // Texts come from the disk, the user or the mouse; none may climb out of the root.
        if (!IsSafeFileName(n->text)) return std::nullopt;
        chain.push_back(n);
        if (n->parent == kMacroTreeRoot) break;
    }
    if (chain.empty()) return std::nullopt;
    std::string path = root;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path = platform::JoinPath(path, (*it)->text);
    if (chain.front()->kind == MacroItemKind::Macro) path += ".qzm";
    if (Utf16Length(path) >= kMaxMacroPathChars) return std::nullopt;
    return path;
}

bool Flush_Dirty_Macro(MacroTreeItem item, const MacroTree* tree, const std::string& root,
                       MacroList& list) {
    const MacroTreeNode* n = tree ? tree->Find(item) : nullptr;
    if (!n) {
        LogPrintf("Flush_Dirty_Macro: pItem=0x%0x(%s) error", item, tree ? "tree" : "no tree");
        return false;
    }
    if (n->kind != MacroItemKind::Macro) return true;
    std::optional<std::string> path = TreeItemToFilePath(*tree, item, root);
    if (!path) {
        LogPrintf("Flush_Dirty_Macro: TreeItem_To_FilePath failed");
        return false;
    }
    return FlushMacroRecord(list, n->id, *path);
}

NameCheck CheckFileName(const std::string& name) {
    auto refuse = [] {
        const std::string& tip = GetText("tc_tip1");
        return NameCheck{std::nullopt,
                         Notice{tip.empty() ? "Invalid file name." : tip, ThePaths().szTitle}};
    };
    if (name.find_first_of(kMacroNameForbidden) != std::string::npos) return refuse();
    std::string cut = CutAtLastDot(name);
    if (!IsSafeFileName(cut)) return refuse();
    return {cut, std::nullopt};
}

bool DeleteMacroFolderTree(const std::string& path, uint32_t* err) {
    // A link goes, never what it points at: that may lie outside the data folder.
    if (platform::IsLink(path)) return platform::RemoveLink(path, err);
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(path, entries, err)) return false;
    for (const auto& e : entries) {
        const std::string full = platform::JoinPath(path, e.name);
        if (e.isLink) {
            uint32_t e2 = 0;
            if (!platform::RemoveLink(full, &e2)) {
                LogPrintf("DeleteFile %s, err=%d", full.c_str(), static_cast<int>(e2));
                if (err) *err = e2;
                return false;
            }
            continue;
        }
        if (e.isDirectory) {
            if (!DeleteMacroFolderTree(full, err)) return false;
            continue;
        }
        uint32_t e2 = 0;
        platform::SetReadOnly(full, false);
        if (!platform::RemoveFile(full, &e2)) {
            LogPrintf("DeleteFile %s, err=%d", full.c_str(), static_cast<int>(e2));
            if (err) *err = e2;
            return false;
        }
    }
    return platform::RemoveEmptyDirectory(path, err);
}

MacroStore::MacroStore(MacroTree& tree, MacroStoreUi& ui, std::string root, MacroList& list,
                       std::function<bool()> fixOrphans)
    : m_tree(tree),
      m_ui(ui),
      m_root(std::move(root)),
      m_list(list),
      m_fixOrphans(std::move(fixOrphans)) {}

bool MacroStore::Load(bool showFolders) {
    m_tree.DeleteAll();
    return LoadMacroFolder(m_root, &m_tree, kMacroTreeRoot, showFolders, false, m_list);
}

bool MacroStore::FixOrphans() {
    return m_fixOrphans && m_fixOrphans();
}

std::optional<std::string> MacroStore::AskCheckedName(const std::string& promptKey) {
    std::optional<std::string> name = m_ui.AskName(GetText(promptKey), kMaxMacroNameInput);
    if (!name) return std::nullopt;
    NameCheck checked = CheckFileName(*name);
    if (checked.refusal) m_ui.Tell(*checked.refusal);
    return checked.name;
}

MacroTreeItem MacroStore::CreateMacro() {
    if (m_list.Count() >= static_cast<size_t>(MAX_MACROS)) {
        m_ui.ShowMessage("The number of macro is up to the maximum");
        return 0;
    }
    MacroTreeItem parent = kMacroTreeRoot;
    if (const MacroTreeNode* sel = m_tree.Find(m_tree.Selected())) {
        if (sel->kind != MacroItemKind::Folder) return 0;
        parent = sel->handle;
    }
    std::optional<std::string> name = AskCheckedName("tc_macro_msg11");
    if (!name) return 0;
    if (m_tree.FindChild(parent, *name)) {
        m_ui.ShowMessage(GetText("tc_macro_msg8"));
        return 0;
    }
    StMacro rec = NewMacroRecord(*name);
    // Not on disk yet: the next save or the page closing writes it.
    rec.flags |= kMacroChanged;
    if (!m_list.AddMacroToList(rec)) return 0;
    MacroTreeItem item = m_tree.InsertItem(parent, MacroItemKind::Macro, *name, rec.id, {}, true);
    if (!item) {
        m_list.RemoveMacroFromList(rec.id);
        return 0;
    }
    m_ui.ShowInEditor(rec.id);
    return item;
}

void MacroStore::RefreshIcons(MacroTreeItem folder) {
    std::vector<MacroTreeItem> items{folder};
    for (MacroTreeItem d : m_tree.Descendants(folder)) items.push_back(d);
    for (MacroTreeItem h : items) {
        MacroTreeNode* n = m_tree.Find(h);
        if (!n || n->kind != MacroItemKind::Folder) continue;
        std::optional<std::string> path = TreeItemToFilePath(m_tree, h, m_root);
        n->icon = path ? FolderIcon(*path, n->text) : std::string();
    }
}

bool MacroStore::RenameItem(MacroTreeItem item) {
    const MacroTreeNode* node = m_tree.Find(item);
    if (!node) return false;
    const bool isMacro = node->kind == MacroItemKind::Macro;
    std::optional<std::string> name = AskCheckedName(isMacro ? "tc_macro_msg11" : "tc_macro_msg13");
    if (!name) return false;
    node = m_tree.Find(item);
    for (MacroTreeItem sib : m_tree.Children(node->parent)) {
        if (sib != item && TextsEqualIgnoringCase(m_tree.Find(sib)->text, *name)) {
            m_ui.ShowMessage(GetText("tc_macro_msg8"));
            return false;
        }
    }
    std::optional<std::string> path = TreeItemToFilePath(m_tree, item, m_root);
    if (!path) {
        m_ui.ShowMessage("Rename failed.");
        return false;
    }
    const std::string dir = platform::DirectoryOf(*path);
    uint32_t err = 0;
    bool ok;
    if (isMacro) {
        const MacroId id = node->id;
        m_list.Update(id, [&](StMacro& m) {
            SetMacroNameUtf8(m, *name);
            m.flags |= kMacroChanged;
        });
        Flush_Dirty_Macro(item, &m_tree, m_root, m_list);
        ok = platform::RenameFile(*path, dir + *name + ".qzm", &err);
    } else {
        const std::string oldIcon = platform::JoinPath(*path, node->text + ".png");
        const std::string newIcon = platform::JoinPath(*path, *name + ".png");
        const bool movedIcon =
            platform::FileExists(oldIcon) && platform::RenameFile(oldIcon, newIcon);
        ok = platform::RenameFile(*path, dir + *name, &err);
        // The folder keeps its old name, so its picture must too.
        if (!ok && movedIcon) platform::RenameFile(newIcon, oldIcon);
    }
    if (!ok) {
        m_ui.ShowMessage(Format("Rename failed. err=0x%x", err));
        return false;
    }
    m_tree.Find(item)->text = *name;
    // The macros moved with the rename: they must be saved to and deleted from their new files.
    std::vector<MacroTreeItem> moved{item};
    for (MacroTreeItem d : m_tree.Descendants(item)) moved.push_back(d);
    for (MacroTreeItem h : moved) {
        const MacroTreeNode* n = m_tree.Find(h);
        if (!n || n->kind != MacroItemKind::Macro) continue;
        if (std::optional<std::string> p = TreeItemToFilePath(m_tree, h, m_root))
            m_list.SetFile(n->id, *p);
    }
    // Macros inside a renamed folder stay in the list; only the icon paths change.
    if (!isMacro) RefreshIcons(item);
    m_ui.RefreshButtonPage(TheMacroOptions().ApplyNow != 0);
    return true;
}

bool MacroStore::DeleteItem(MacroTreeItem item) {
    const MacroTreeNode* node = m_tree.Find(item);
    if (!node) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "Operation failed, hItem = 0x%x, pItem = 0x%x.", item, 0u);
        m_ui.ShowMessage(buf);
        return false;
    }
    if (!m_ui.Confirm(GetText("tc_msg6"))) return false;
    std::optional<std::string> path = TreeItemToFilePath(m_tree, item, m_root);
    if (!path) {
        m_ui.ShowMessage("Get file path failed.");
        return false;
    }
    const bool isMacro = node->kind == MacroItemKind::Macro;
    if (isMacro) {
        m_list.RemoveMacroFromList(node->id);
        if (FixOrphans()) m_ui.RefreshButtonPage(TheMacroOptions().ApplyNow != 0);
    }
    for (const MacroTreeNode& n : m_tree.DeleteItem(item)) {
        // The selected macro is out already; removing its id again would take a second
        // record that happens to share it.
        if (n.kind == MacroItemKind::Macro && n.handle != item) m_list.RemoveMacroFromList(n.id);
    }
    // Buttons that played a macro of a deleted folder show their default from now on, so the
    // button page must show it too.
    if (FixOrphans()) m_ui.RefreshButtonPage(TheMacroOptions().ApplyNow != 0);
    m_ui.ClearEditor();

    uint32_t err = 0;
    if (!isMacro) {
        if (!DeleteMacroFolderTree(*path, &err) && !IsMissing(err)) {
            m_ui.ShowMessage(Format("Remove Directory failed, err = %d.", err));
            return false;
        }
        return true;
    }
    platform::SetReadOnly(*path, false);
    if (!platform::RemoveFile(*path, &err) && !IsMissing(err)) {
        LogPrintf("DeleteFile %s, err=%d", path->c_str(), static_cast<int>(err));
        m_ui.ShowMessage(Format("Delete File failed, err = %d.", err));
        return false;
    }
    return true;
}

void MacroStore::FlushAll() {
    for (MacroTreeItem h : m_tree.Descendants(kMacroTreeRoot)) {
        const MacroTreeNode* n = m_tree.Find(h);
        if (n && n->kind == MacroItemKind::Macro) Flush_Dirty_Macro(h, &m_tree, m_root, m_list);
    }
}

MacroTreeItem MacroStore::ImportMacro(const std::string& file, MacroTreeItem target) {
    const MacroTreeNode* t = m_tree.Find(target);
    const MacroTreeItem parent = t && t->kind == MacroItemKind::Folder ? target : kMacroTreeRoot;
    const std::string name = CutAtLastDot(platform::FileNameOf(file));
    if (m_tree.FindChild(parent, name)) {
        m_ui.ShowMessage(GetText("tc_macro_msg8"));
        return 0;
    }
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFilePrefix(file, kStMacroSize, bytes, &err)) {
        m_ui.ShowMessage(Format("Open macro file failed. error=0x%x", err));
        return 0;
    }
    QzmImport in = ImportQzmBytes(bytes.data(), bytes.size());
    if (in.status != QzmImportStatus::Ok) {
        m_ui.ShowMessage(QzmImportMessage(in.status, err));
        return 0;
    }
    // The title names the macro's file in our folder: it must be one this folder can hold.
    if (!IsSafeFileName(name)) {
        const std::string& tip = GetText("tc_tip1");
        m_ui.ShowMessage(tip.empty() ? "Invalid file name." : tip);
        return 0;
    }
    StMacro rec = in.record;
    SetMacroNameUtf8(rec, name);
    std::vector<std::string> said;
    if (std::optional<std::string> why = m_ui.LimitImported(rec, said)) {
        m_ui.ShowMessage("Cannot import " + file + ": " + *why + ".");
        return 0;
    }
    // The rules may have cut the name: the item and its file are named as the macro is.
    const std::string title = MacroNameUtf8(rec);
    if (title != name && m_tree.FindChild(parent, title)) {
        m_ui.ShowMessage(GetText("tc_macro_msg8"));
        return 0;
    }
    rec.id = NewMacroId();
    rec.flags = kMacroChanged;
    if (!m_list.AddMacroToList(rec)) return 0;
    const MacroTreeItem item =
        m_tree.InsertItem(parent, MacroItemKind::Macro, title, rec.id, {}, true);
    if (!item) {
        m_list.RemoveMacroFromList(rec.id);
        return 0;
    }
    m_ui.ShowInEditor(rec.id);
    Flush_Dirty_Macro(item, &m_tree, m_root, m_list);
    if (!said.empty()) {
        std::string text = "Imported " + file + ", except what the mouse does not take:";
        for (const std::string& line : said) text += "\n" + line;
        m_ui.ShowMessage(text);
    }
    return item;
}

bool MacroStore::ExportMacro(MacroTreeItem item, const std::string& dest) {
    const MacroTreeNode* n = m_tree.Find(item);
    if (!n || n->kind != MacroItemKind::Macro) return false;
    std::optional<std::string> path = TreeItemToFilePath(m_tree, item, m_root);
    uint32_t err = 0;
    if (!path || !platform::CopyFileTo(*path, dest, false, &err)) {
        LogPrintf("ExportMacro: copy file err=0x%x", err);
        return false;
    }
    return true;
}
