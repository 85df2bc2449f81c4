// The macro page: the macro folder tree on the left (new, rename, delete, import and export
// through the folder store), the event list of the selected macro on the right, the recorder
// with its auto-delay box, the play mode and repeat count, the insert menu, row editing, and
// Save. The rules live in MacroStore (files and names) and MacroEditor (rows, recording,
// saving); this window shows them and passes the user's actions on.
//
// Macros read from the mouse reach the tree through MacroPageLink from the profile-reading
// thread: the page answers from a copy of its top-level macros kept under a lock and posts the
// tree changes to itself, so that thread never waits for the window's thread.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/tree_ctrl_ex.h"
#include "macro/macro_editor.h"
#include "macro/macro_page_link.h"
#include "macro/macro_store.h"
#include "macro/macro_tree.h"
#include "ui/macro_page_menus.h"
#include "ui/win/main_page.h"

class CMacroDlg : public CMainPage, public MacroStoreUi, public MacroPageLink {
  public:
    static constexpr UINT kIdTree = 261, kIdList = 262;
    static constexpr UINT kIdRecord = 270, kIdAuto = 271, kIdSave = 272, kIdNew = 273,
                          kIdDelete = 274, kIdDeleteRow = 275, kIdEditRow = 276, kIdInsert = 277,
                          kIdCount = 278, kIdRadio = 280;  // radios: 280 to 282, top to bottom
    // The insert menu's tag, told apart from the context menus' by it.
    static constexpr int kInsertMenuTag = 0x8000;

    // treeFromLibraryLoad: the page's tree comes from the library's load at start
    // (TreeLoaded), not from a walk of its own.
    explicit CMacroDlg(const PageParts& parts, bool treeFromLibraryLoad = false);
    ~CMacroDlg() override;

    // The folder tree the library's load walked (any thread): the page shows it, and macros
    // from the mouse are matched against its top level from now on.
    void TreeLoaded(std::unique_ptr<MacroTree> tree);

    bool IsRecording() const override { return m_editor.Recording(); }
    const MacroEditor& Editor() const { return m_editor; }
    CTreeCtrlEx& Tree() { return m_tree; }
    CTreeCtrlEx& List() { return m_list; }
    HWND CountBox() const { return m_count; }
    const MacroTree& Model() const { return m_model; }

    // ---- MacroStoreUi --------------------------------------------------------------------
    std::optional<std::string> AskName(const std::string& prompt, int maxChars) override;
    bool Confirm(const std::string& question) override;
    void ShowMessage(const std::string& text) override;
    void Tell(const Notice& n) override;
    void RefreshButtonPage(bool applyKeys) override;
    void ShowInEditor(MacroId id) override;
    void ClearEditor() override;
    std::optional<std::string> LimitImported(StMacro& m, std::vector<std::string>& said) override;

    // ---- MacroPageLink (called from the profile-reading thread) ----------------------------
    bool AddRootMacro(const std::string& text, MacroId id) override;
    std::optional<RootMacro> FindRootMacro(const std::string& text) override;
    void ReleaseMacro(MacroId id) override;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // While recording every key, Enter, Escape, Space and F1 included, goes to the recorder
    // before any window can take it as a dialog key; otherwise those four do nothing here.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    bool OnCreatePage() override;
    void OnShow(bool shown) override;
    void OnTextsChanged() override;
    void OnPaintPage(CMemPaint& buf) override;

  private:
    // Refuses with tc_macro_msg17 while recording.
    bool RefusedWhileRecording();
    void OnTreeClick(HTREEITEM item);
    void OnListClick(HTREEITEM item);
    void OnRecord();
    void OnSave();
    void OnNew();
    // The selected tree item for a command on it (selected in the model too); 0 after the
    // refusal (recording, or nothing selected) was shown.
    MacroTreeItem SelectedForCommand();
    void OnDelete();
    void OnDeleteRow();
    void OnRename();
    void OnPlayMode(uint32_t mode);
    void OnCountChanged();
    void OnInsert();
    void OnInsertChosen(uint32_t value);
    void OnEditRow();
    void OnImport();
    void OnExport();
    // The key-capture dialog for a key row; none when cancelled or nothing was captured.
    std::optional<uint32_t> AskKey();
    // The delay box; none when cancelled.
    std::optional<uint32_t> AskDelay();
    void ShowRefusal(EditorRefusal r);
    void OnLinkJobs();
    // Takes over a tree handed over by TreeLoaded; false when none waits.
    bool InstallLoadedTree();
    // Runs a folder store operation; macros from the mouse wait until it is done, and the tree
    // is shown anew afterwards.
    void RunStore(const std::function<void()>& op);
    void UpdateRootMirror();
    // The right-click menu of a list; entries of what this page does not offer yet are left out.
    void OpenMenu(const std::vector<MacroMenuItem>& items);
    void OnMenu(uint32_t value);
    void OnKey(UINT msg, WPARAM wp, LPARAM lp);
    void ShowRows();
    void ShowTree();
    void UpdateSave();
    void UpdateRecordCaption();
    // The radios and the count box as the editor has them.
    void ShowOptions();
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from) override;

    MacroTree m_model;
    MacroEditor m_editor;
    std::unique_ptr<MacroStore> m_store;
    MacroId m_shown = 0;  // the macro in the editor, 0 for none
    CTreeCtrlEx m_tree, m_list;
    CPngBtn m_record, m_auto, m_save, m_new, m_delete, m_deleteRow, m_editRow, m_insert;
    std::array<CPngBtn, 3> m_radios;
    HWND m_count = nullptr;
    bool m_settingCount = false;
    RECT m_treeRc{}, m_listRc{}, m_autoLabel{}, m_insertHeading{};
    RECT m_helpRc{};  // how recording works, under the options
    std::array<RECT, 3> m_radioLabels{};
    UiFont m_font;
    HBRUSH m_editBrush = nullptr;

    // What the profile-reading thread asked for, run on the window's thread.
    struct LinkJob {
        bool add;  // else release
        std::string text;
        MacroId id;
    };
    std::mutex m_linkMu;
    std::vector<LinkJob> m_linkJobs;
    std::vector<RootMacro> m_rootMacros;      // the tree's top-level macros and pending additions
    std::unique_ptr<MacroTree> m_loadedTree;  // handed over, not yet shown
    bool m_treeFromLoad = false;              // the tree is the library load's
    bool m_treeShown = false;                 // the page's tree holds the library
    int m_storeBusy = 0;                      // a store operation runs (window thread only)
};
