// The macro picker the buttons page opens to assign a macro: the macro folder tree as it is on
// disk right now (not the program's macro list), and what OK and New answer.
#pragma once
#include <cstdint>
#include <string>

#include "macro/macro_tree.h"

class MacroPicker {
  public:
    // Reads the tree from the macro root folder; sub-folders only with showFolders.
    MacroPicker(const std::string& root, bool showFolders);

    MacroTree& Tree() { return m_tree; }
    const MacroTree& Tree() const { return m_tree; }

    struct Answer {
        bool close = false;                // the dialog ends with OK
        int32_t result = 0;                // the macro's id, or -1: open the macro page to make one
        const char* messageKey = nullptr;  // shown (caption "Tips") when the dialog stays
    };
    // OK: only a selected macro closes the dialog.
    Answer OnOk() const;
    // New: the caller opens the macro page.
    static Answer OnNew() { return {true, -1, nullptr}; }

  private:
    MacroTree m_tree;
};
