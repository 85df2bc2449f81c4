// The macro page: the macro folder tree on the left (new and delete through the folder store,
// renaming in place), the event list of the selected macro on the right, the recorder with its
// auto-delay box, and Save. The rules live in MacroStore (files and names) and MacroEditor
// (rows, recording, saving); this window shows them and passes the user's actions on.
//
// Not on this page yet: the play-mode radios and count box, the insert menu, editing a row,
// import and export.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "controls/win/png_btn.h"
#include "controls/win/tree_ctrl_ex.h"
#include "macro/macro_editor.h"
#include "macro/macro_store.h"
#include "macro/macro_tree.h"
#include "ui/macro_page_menus.h"
#include "ui/win/main_pages.h"

class CMacroDlg : public CMainPage, public MacroStoreUi {
  public:
    static constexpr UINT kIdTree = 261, kIdList = 262;
    static constexpr UINT kIdRecord = 270, kIdAuto = 271, kIdSave = 272, kIdNew = 273,
                          kIdDelete = 274, kIdDeleteRow = 275;

    CMacroDlg();
    ~CMacroDlg() override;

    bool IsRecording() const override { return m_editor.Recording(); }
    const MacroEditor& Editor() const { return m_editor; }
    CTreeCtrlEx& Tree() { return m_tree; }
    CTreeCtrlEx& List() { return m_list; }

    // ---- MacroStoreUi --------------------------------------------------------------------
    std::optional<std::string> AskName(const std::string& prompt, int maxChars) override;
    bool Confirm(const std::string& question) override;
    void ShowMessage(const std::string& text) override;
    void RefreshButtonPage(bool applyKeys) override;
    void ShowInEditor(MacroId id) override;
    void ClearEditor() override;

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
    RECT Scaled(const RECT& rc) const { return Theme().Scale(rc); }
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
    // The right-click menu of a list; entries of what this page does not offer yet are left out.
    void OpenMenu(const std::vector<MacroMenuItem>& items);
    void OnMenu(uint32_t value);
    void OnKey(UINT msg, WPARAM wp, LPARAM lp);
    void ShowRows();
    void ShowTree();
    void UpdateSave();
    void UpdateRecordCaption();

    MacroTree m_model;
    MacroEditor m_editor;
    std::unique_ptr<MacroStore> m_store;
    MacroId m_shown = 0;  // the macro in the editor, 0 for none
    CTreeCtrlEx m_tree, m_list;
    CPngBtn m_record, m_auto, m_save, m_new, m_delete, m_deleteRow;
    RECT m_treeRc{}, m_listRc{}, m_autoLabel{};
    HFONT m_font = nullptr;
    bool m_ownFont = false;
};
