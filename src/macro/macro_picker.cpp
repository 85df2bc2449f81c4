#include "macro/macro_picker.h"

#include "macro/macro_library_load.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"

MacroPicker::MacroPicker(const std::string& root, bool showFolders) {
    // The picker shows what is on disk, so a macro file copied in since start-up can be
    // chosen too; the program's list is left alone.
    MacroList unused;
    // A macro picked here must be one the program knows by its id.
    WaitMacroLibraryLoaded();
    LoadMacroFolder(root, &m_tree, kMacroTreeRoot, showFolders, false, unused);
}

MacroPicker::Answer MacroPicker::OnOk() const {
    const MacroTreeNode* node = m_tree.Find(m_tree.Selected());
    if (!node || node->kind != MacroItemKind::Macro) return {false, 0, "tc_macro_msg1"};
    return {true, static_cast<int32_t>(node->id & 0xFFFFFFu), nullptr};
}
