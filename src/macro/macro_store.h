// The macro folder store: the folder tree of macro files under the macro root folder, its
// tree model, and the create, rename, delete and flush operations of the macro page.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "base/notice.h"
#include "macro/macro_list.h"
#include "macro/macro_tree.h"

// Folder paths this long (in UTF-16 units) or longer are not walked.
constexpr size_t kMaxMacroFolderPathChars = 257;
// Item paths must fit a Windows path buffer.
constexpr size_t kMaxMacroPathChars = 260;
constexpr int kMaxMacroPathLevels = 20;
constexpr int kMaxMacroNameInput = 15;  // characters the name prompts accept

// Walks a macro folder: each macro file (any file whose first 834 bytes un-rotate to the
// magic) is added to `list` when addToList is set and, with a tree, becomes a macro item
// under `parent` named after the file without its last extension. With showFolders,
// sub-folders (not starting with "." or "$") become folder items, with the icon
// <folder>/<name>.png when it exists, and are walked, down to the tree's depth limit.
// false when a folder cannot be listed.
bool LoadMacroFolder(const std::string& path, MacroTree* tree, MacroTreeItem parent,
                     bool showFolders, bool addToList, MacroList& list);

// The file or folder path of an item: the root folder, each ancestor's text and the item's
// (".qzm" added for a macro). None when the item is unknown, too deep, the path too long, or
// a text is not a safe file name.
std::optional<std::string> TreeItemToFilePath(const MacroTree& tree, MacroTreeItem item,
                                              const std::string& root);

// Writes a macro item's record to its file when it carries change bits. false when the item
// or its path is unusable or the write failed.
bool Flush_Dirty_Macro(MacroTreeItem item, const MacroTree* tree, const std::string& root,
                       MacroList& list);

// Characters a typed macro or folder name may not hold.
constexpr const char* kMacroNameForbidden = "/\\?+=-*&%!#";

// A typed name checked: the name to use, or what the user is told instead.
struct NameCheck {
    std::optional<std::string> name;
    std::optional<Notice> refusal;
};
// Checks a name typed by the user: any of / \ ? + = - * & % ! # refuses it (message tc_tip1,
// or "Invalid file name." without that text, titled with the program's title), as does a name
// that cannot be a file name (empty, dots only, a device name, characters Windows refuses).
// Otherwise the name is returned cut at its last ".".
NameCheck CheckFileName(const std::string& name);

// What the store operations ask of the macro page and the rest of the window.
class MacroStoreUi {
  public:
    virtual ~MacroStoreUi() = default;
    // Input box with this prompt and at most maxChars characters; none when cancelled.
    virtual std::optional<std::string> AskName(const std::string& prompt, int maxChars) = 0;
    // Question box; true when the user chose OK.
    virtual bool Confirm(const std::string& question) = 0;
    // A message of the macro page, in the page's own message window.
    virtual void ShowMessage(const std::string& text) = 0;
    // A typed name refused: a plain box titled with the program's title.
    virtual void Tell(const Notice& n) = 0;
    // The button page shows its captions again and, with applyKeys, writes all keys.
    virtual void RefreshButtonPage(bool applyKeys) = 0;
    virtual void ShowInEditor(MacroId id) = 0;
    virtual void ClearEditor() = 0;
    // An imported macro held to the rules of recording (they know the keys the mouse can
    // play, above this library): values out of bounds replaced and named in `said`, or the
    // reason it cannot be taken.
    virtual std::optional<std::string> LimitImported(StMacro& m,
                                                     std::vector<std::string>& said) = 0;
};

class MacroStore {
  public:
    // fixOrphans resets buttons whose macro is gone and says whether any changed; the buttons
    // live in the profile, above this library, so the owner passes it (the profile's
    // FixOrphanMacros). Without it nothing is reset.
    MacroStore(MacroTree& tree, MacroStoreUi& ui, std::string root, MacroList& list,
               std::function<bool()> fixOrphans = {});

    // Loads the tree from the root folder (without touching the list), folders per MacroDir.
    bool Load(bool showFolders);
    // A new macro under the selected folder (or the root); its item, or 0.
    MacroTreeItem CreateMacro();
    bool RenameItem(MacroTreeItem item);
    bool DeleteItem(MacroTreeItem item);
    // Writes every changed macro of the tree to its file.
    void FlushAll();
    // A .qzm file the user picked goes into `target` (a folder, else the top): named after the
    // file's title, with a new id, shown in the editor and written into the macro folder. Its
    // item, or 0 after the message saying why not.
    MacroTreeItem ImportMacro(const std::string& file, MacroTreeItem target);
    // Copies a macro's file as last written (unsaved edits are not in it) to `dest`,
    // overwriting; false (logged) when that fails.
    bool ExportMacro(MacroTreeItem item, const std::string& dest);

    const std::string& Root() const { return m_root; }

  private:
    std::optional<std::string> AskCheckedName(const std::string& promptKey);
    bool FixOrphans();
    void RefreshIcons(MacroTreeItem folder);

    MacroTree& m_tree;
    MacroStoreUi& m_ui;
    std::string m_root;
    MacroList& m_list;
    std::function<bool()> m_fixOrphans;
};

// Removes a folder with everything in it; read-only files are made writable first. The
// first file that cannot be deleted ends the walk (logged). err is that of the failure.
bool DeleteMacroFolderTree(const std::string& path, uint32_t* err);
