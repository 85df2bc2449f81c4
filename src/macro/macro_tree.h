// The macro folder tree as the macro page and the picker show it: folders and macros, each
// with a text, and for a macro the id of its record. The tree control displays this model;
// the model holds no window. It belongs to one thread (the one that shows it).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "macro/macro_id.h"

using MacroTreeItem = uint32_t;  // 0 is the invisible root
constexpr MacroTreeItem kMacroTreeRoot = 0;

enum class MacroItemKind : uint8_t { Macro = 1, Folder = 2 };

struct MacroTreeNode {
    MacroTreeItem handle = 0;
    MacroTreeItem parent = kMacroTreeRoot;
    MacroItemKind kind = MacroItemKind::Macro;
    std::string text;  // UTF-8; the file or folder name as shown
    MacroId id = 0;    // macros only
    std::string icon;  // picture path; empty when none
};

class MacroTree {
  public:
    // Folders may be nested this deep: a folder with this many ancestors gets no sub-folder.
    static constexpr int kFolderDepthLimit = 5;

    // Adds an item at the end of `parent`'s children and returns it; 0 when refused: the
    // parent is neither the root nor a folder, or a folder would go below the depth limit.
    MacroTreeItem InsertItem(MacroTreeItem parent, MacroItemKind kind, const std::string& text,
                             MacroId id = 0, const std::string& icon = {}, bool select = false);
    // Removes the item and everything below it; returns the removed nodes (item first).
    std::vector<MacroTreeNode> DeleteItem(MacroTreeItem item);
    void DeleteAll();

    const MacroTreeNode* Find(MacroTreeItem item) const;
    MacroTreeNode* Find(MacroTreeItem item);
    std::vector<MacroTreeItem> Children(MacroTreeItem parent) const;
    // Number of ancestors (0 for a root-level item).
    int ItemDepth(MacroTreeItem item) const;
    // The child of `parent` whose text equals `text` ignoring case; 0 when none.
    MacroTreeItem FindChild(MacroTreeItem parent, const std::string& text) const;
    MacroTreeItem FindRootChild(const std::string& text) const {
        return FindChild(kMacroTreeRoot, text);
    }
    // The first macro item with this id anywhere in the tree; 0 when none.
    MacroTreeItem FindMacro(MacroId id) const;
    // Every item below `parent`, parents before their children.
    std::vector<MacroTreeItem> Descendants(MacroTreeItem parent) const;

    MacroTreeItem Selected() const { return m_selected; }
    void Select(MacroTreeItem item) { m_selected = Find(item) ? item : 0; }
    size_t Size() const { return m_nodes.size(); }

  private:
    std::vector<MacroTreeNode> m_nodes;  // in insertion order, so children keep their order
    MacroTreeItem m_next = 1;
    MacroTreeItem m_selected = 0;
};
