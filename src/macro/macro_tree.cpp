#include "macro/macro_tree.h"

#include <algorithm>

#include "macro/st_macro.h"

MacroTreeItem MacroTree::InsertItem(MacroTreeItem parent, MacroItemKind kind,
                                    const std::string& text, MacroId id, const std::string& icon,
                                    bool select) {
    if (parent != kMacroTreeRoot) {
        const MacroTreeNode* p = Find(parent);
        if (!p || p->kind != MacroItemKind::Folder) return 0;
        if (kind == MacroItemKind::Folder && ItemDepth(parent) >= kFolderDepthLimit) return 0;
    }
    MacroTreeNode n;
    n.handle = m_next++;
    n.parent = parent;
    n.kind = kind;
    n.text = text;
    n.id = kind == MacroItemKind::Macro ? id : 0;
    n.icon = icon;
    m_nodes.push_back(std::move(n));
    if (select) m_selected = m_nodes.back().handle;
    return m_nodes.back().handle;
}

std::vector<MacroTreeNode> MacroTree::DeleteItem(MacroTreeItem item) {
    std::vector<MacroTreeNode> removed;
    if (!Find(item)) return removed;
    std::vector<MacroTreeItem> gone{item};
    for (MacroTreeItem d : Descendants(item)) gone.push_back(d);
    for (MacroTreeItem h : gone) removed.push_back(*Find(h));
    std::erase_if(m_nodes, [&](const MacroTreeNode& n) {
        return std::find(gone.begin(), gone.end(), n.handle) != gone.end();
    });
    if (std::find(gone.begin(), gone.end(), m_selected) != gone.end()) m_selected = 0;
    return removed;
}

void MacroTree::DeleteAll() {
    m_nodes.clear();
    m_selected = 0;
}

const MacroTreeNode* MacroTree::Find(MacroTreeItem item) const {
    if (item == kMacroTreeRoot) return nullptr;
    for (const auto& n : m_nodes)
        if (n.handle == item) return &n;
    return nullptr;
}

MacroTreeNode* MacroTree::Find(MacroTreeItem item) {
    return const_cast<MacroTreeNode*>(static_cast<const MacroTree*>(this)->Find(item));
}

std::vector<MacroTreeItem> MacroTree::Children(MacroTreeItem parent) const {
    std::vector<MacroTreeItem> out;
    for (const auto& n : m_nodes)
        if (n.parent == parent) out.push_back(n.handle);
    return out;
}

int MacroTree::ItemDepth(MacroTreeItem item) const {
    int depth = 0;
    for (const MacroTreeNode* n = Find(item); n && n->parent != kMacroTreeRoot; n = Find(n->parent))
        ++depth;
    return depth;
}

MacroTreeItem MacroTree::FindChild(MacroTreeItem parent, const std::string& text) const {
    for (const auto& n : m_nodes)
        if (n.parent == parent && TextsEqualIgnoringCase(n.text, text)) return n.handle;
    return 0;
}

MacroTreeItem MacroTree::FindMacro(MacroId id) const {
    for (const auto& n : m_nodes)
        if (n.kind == MacroItemKind::Macro && n.id == id) return n.handle;
    return 0;
}

std::vector<MacroTreeItem> MacroTree::Descendants(MacroTreeItem parent) const {
    std::vector<MacroTreeItem> out;
    for (MacroTreeItem c : Children(parent)) {
        out.push_back(c);
        for (MacroTreeItem d : Descendants(c)) out.push_back(d);
    }
    return out;
}
