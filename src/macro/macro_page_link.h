// What the macro library needs from the macro page when macros arrive from the mouse: the
// page's folder tree gets an item for a new macro, finds a root-level macro by name, and lets
// go of a macro that is about to be replaced. The page implements it; calls come from the
// profile-reading thread, so an implementation runs the tree change on the thread that owns
// the tree (the page posts or sends itself a message) and answers when it is done.
#pragma once
#include <optional>
#include <string>

#include "macro/macro_id.h"

class MacroTree;

class MacroPageLink {
  public:
    virtual ~MacroPageLink() = default;
    // Adds a macro item with this text and id at the root of the tree; false when it cannot.
    virtual bool AddRootMacro(const std::string& text, MacroId id) = 0;
    struct RootMacro {
        MacroId id;
        std::string text;  // the item's own text, which names its file
    };
    // The root-level macro item whose text equals `text` ignoring case.
    virtual std::optional<RootMacro> FindRootMacro(const std::string& text) = 0;
    // The macro is about to be replaced: the editor stops showing it and the tree drops its
    // selection when the macro is the one selected.
    virtual void ReleaseMacro(MacroId id) = 0;
};

// The link over a tree model used on the tree's own thread (the command-line tool, tests).
class MacroTreeLink : public MacroPageLink {
  public:
    explicit MacroTreeLink(MacroTree& tree) : m_tree(tree) {}
    bool AddRootMacro(const std::string& text, MacroId id) override;
    std::optional<RootMacro> FindRootMacro(const std::string& text) override;
    void ReleaseMacro(MacroId id) override;

  private:
    MacroTree& m_tree;
};
