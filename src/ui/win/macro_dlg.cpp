#include "ui/win/macro_dlg.h"

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/win/focus_nav.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "macro/macro_file.h"
#include "macro/macro_library_load.h"
#include "platform/codepage.h"
#include "platform/sys.h"
#include "platform/win/wide.h"
#include "profile/apply_thread.h"
#include "profile/orphan_macros.h"
#include "profile/profile_state.h"
// The system's InsertMenuItem macro would rename the insert menu's item type.
#undef InsertMenuItem
#include "ui/import_limits.h"
#include "ui/macro_rows.h"
#include "ui/save_failure_text.h"
#include "ui/main_window_model.h"
#include "ui/win/move_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/notice_box.h"
#include "ui/win/profile_file_dlg.h"
#include "ui/win/theme_options.h"

namespace {
constexpr int kRecordW = 161, kRecordH = 33, kCheck = 11, kRadio = 12;
constexpr int kInsertW = 147, kInsertH = 30;
// From the options' left edge to the inner edge of their panel.
constexpr int kOptionsWidth = 236;
// Tree changes asked for by the profile-reading thread.
constexpr UINT WM_MACRO_LINK = WM_APP + 0x61;
// The radios top to bottom and the play mode each selects.
constexpr uint32_t kRadioMode[3] = {kPlayWhileHeld, kPlayUntilPressed, kPlayCount};
constexpr const char* kRadioText[3] = {"tc_macro_loop2", "tc_macro_loop3", "tc_macro_loop1"};

// A popup menu entry of the top level with the text of `textKey`.
MenuEntry TopMenuEntry(const char* textKey, uint32_t value) {
    MenuEntry e{};
    e.parent = kMenuTopLevel;
    e.value = value;
    const std::u16string text = platform::Utf8ToUtf16(GetText(textKey));
    text.copy(e.text, std::size(e.text) - 1);
    return e;
}

RECT Below(const RECT& control, int index, int count) {
    // New and Delete share the width under a list, 5 pixels down, 26 high.
    const int w = (control.right - control.left) / count;
    const int left = control.left + index * w;
    return RECT{left, control.bottom + 5, left + w, control.bottom + 31};
}

RECT HeadingOver(const RECT& control) {
    return RECT{control.left + 2, control.top - 26, control.right - 2, control.top - 5};
}
}  // namespace

CMacroDlg::CMacroDlg(const PageParts& parts, bool treeFromLibraryLoad)
    : CMainPage(parts), m_treeFromLoad(treeFromLibraryLoad) {}

CMacroDlg::~CMacroDlg() {
    // Every macro changed here and not yet written reaches its file when the page goes.
    if (m_store) m_store->FlushAll();
    DestroyWindow();
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

bool CMacroDlg::OnCreatePage() {
    const UiTheme& theme = Theme();
    m_font = UiFont(theme.font, theme.FontHeight(), FW_NORMAL);
    m_treeRc = ToRect(m_options.rcMacroList);
    m_listRc = ToRect(m_options.rcKeyList);
    const TreeColours colours = TreeColoursFromOptions();
    auto makeTree = [&](CTreeCtrlEx& t, UINT id, const RECT& rc) {
        TreeCreateArgs a;
        a.id = id;
        a.rc = Scaled(rc);
        // With ListTrans the page's picture shows through the lists.
        a.background = m_options.ListTrans ? Background() : nullptr;
        a.openGlyph = SkinPath("macro\\open.png");
        a.closedGlyph = SkinPath("macro\\close.png");
        a.colours = colours;
        return t.Create(m_hWnd, a, theme);
    };
    if (!makeTree(m_tree, kIdTree, m_treeRc) || !makeTree(m_list, kIdList, m_listRc)) return false;
    // Delete on a row does what the page's delete buttons do (asking first where they ask).
    m_tree.SetOnDeleteKey([this](HTREEITEM) { OnDelete(); });
    m_list.SetOnDeleteKey([this](HTREEITEM) { OnDeleteRow(); });
    m_tree.SetAccessibleName(GetText("tc_macro_list"));
    m_list.SetAccessibleName(GetText("tc_macro_key_list"));

    auto makeButton = [&](CPngBtn& b, UINT id, const RECT& rc, SkinPicture* normal,
                          SkinPicture* pressed, const std::string& caption,
                          std::function<void()> onClick) {
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(rc);
        a.caption = caption;
        a.normal = a.hover = normal;
        a.pressed = pressed ? pressed : normal;
        a.pressShift = true;
        a.onClick = std::move(onClick);
        return AddButton(b, a);
    };
    const RECT record{m_options.ptRecord.x, m_options.ptRecord.y, m_options.ptRecord.x + kRecordW,
                      m_options.ptRecord.y + kRecordH};
    const int x = m_options.MacroOptX;
    const RECT check{x, record.bottom + 40, x + kCheck, record.bottom + 40 + kCheck};
    // Labels reach to the panel's inner edge: the longer languages need all of it.
    const int labelRight = x + kOptionsWidth;
    m_autoLabel = RECT{check.right + 8, check.top - 4, labelRight, check.bottom + 4};
    RECT radios[3];
    for (int i = 0; i < 3; ++i) {
        const int top = i == 0 ? check.bottom + 20 : radios[i - 1].bottom + 17;
        radios[i] = RECT{x, top, x + kRadio, top + kRadio};
        m_radioLabels[i] = RECT{radios[i].right + 8, top - 4, labelRight, radios[i].bottom + 4};
    }
    const RECT count{radios[2].right + 8, radios[2].bottom + 7, radios[2].right + 88,
                     radios[2].bottom + 25};
    const RECT insert{x, radios[2].bottom + 90, x + kInsertW, radios[2].bottom + 90 + kInsertH};
    m_insertHeading = RECT{x, insert.top - 24, labelRight, insert.top - 4};
    const RECT save{x, insert.bottom + 48, x + 80, insert.bottom + 48 + 27};
    // The panel reaches down to the lists' bottom edge; its foot says how recording works.
    m_helpRc = RECT{x, save.bottom + 14, labelRight, save.bottom + 80};

    PicturePtr checkNr = LoadSkinPicture(SkinPath("check_nr.png"));
    PicturePtr checkDn = LoadSkinPicture(SkinPath("check_dn.png"));
    PicturePtr button = LoadSkinPicture(SkinPath("button2_nr.png"));
    PicturePtr radioNr = LoadSkinPicture(SkinPath("radio_nr.png"));
    PicturePtr radioDn = LoadSkinPicture(SkinPath("radio_dn.png"));
    PicturePtr combo = LoadSkinPicture(SkinPath("combo_nr.png"));
    // The page's picture is not always there yet when the page is made: the text buttons carry
    // their own face rather than a cut of it.
    bool ok = makeButton(m_record, kIdRecord, record, button.get(), nullptr,
                         GetText("tc_macro_start"), [this] { OnRecord(); });
    ok = ok && makeButton(m_auto, kIdAuto, check, checkNr.get(), checkDn.get(), "", [this] {
             if (RefusedWhileRecording()) {
                 m_auto.SetCheck(m_editor.autoDelay);
                 return;
             }
             m_editor.autoDelay = m_auto.GetCheck();
         });
    ok = ok && makeButton(m_save, kIdSave, save, button.get(), nullptr, GetText("tc_macro_msg19"),
                          [this] { OnSave(); });
    ok = ok && makeButton(m_new, kIdNew, Below(m_treeRc, 0, 2), button.get(), nullptr,
                          GetText("tc_macro_msg5"), [this] { OnNew(); });
    ok = ok && makeButton(m_delete, kIdDelete, Below(m_treeRc, 1, 2), button.get(), nullptr,
                          GetText("tc_macro_msg10"), [this] { OnDelete(); });
    ok = ok && makeButton(m_deleteRow, kIdDeleteRow, Below(m_listRc, 1, 2), button.get(), nullptr,
                          GetText("tc_macro_msg10"), [this] { OnDeleteRow(); });
    ok = ok && makeButton(m_editRow, kIdEditRow, Below(m_listRc, 0, 2), button.get(), nullptr,
                          GetText("tc_macro_msg7"), [this] { OnEditRow(); });
    ok = ok &&
         makeButton(m_insert, kIdInsert, insert, combo.get(), nullptr, "", [this] { OnInsert(); });
    for (int i = 0; i < 3 && ok; ++i) {
        ok =
            makeButton(m_radios[static_cast<size_t>(i)], kIdRadio + static_cast<UINT>(i), radios[i],
                       radioNr.get(), radioDn.get(), "", [this, i] { OnPlayMode(kRadioMode[i]); });
        if (ok) m_radios[static_cast<size_t>(i)].SetCheckable(true);
    }
    if (!ok) return false;
    // The play modes are one radio group for the keyboard; the pictures are named by their
    // texts.
    for (int i = 0; i < 3; ++i) {
        m_radios[static_cast<size_t>(i)].SetFocusGroup(1);
        m_radios[static_cast<size_t>(i)].SetAccessibleName(GetText(kRadioText[i]));
    }
    m_insert.SetAccessibleName(GetText("tc_macro_loop"));
    m_auto.SetAccessibleName(GetText("tc_macro_auto"));
    const RECT countRc = Scaled(count);
    m_count = ::CreateWindowExW(
        0, L"EDIT", L"", WS_CHILD | ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL, countRc.left,
        countRc.top, countRc.right - countRc.left, countRc.bottom - countRc.top, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdCount)), AppInstance(), nullptr);
    if (!m_count) return false;
    ::SendMessageW(m_count, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    ::SendMessageW(m_count, EM_LIMITTEXT, 3, 0);
    m_editBrush = ::CreateSolidBrush(theme.edit);
    SetCommandHandler(kIdCount, [this](UINT code) {
        if (code == EN_CHANGE && !m_settingCount) OnCountChanged();
    });
    m_auto.SetCheckable(true);
    m_auto.SetToggleOnClick(true);
    m_auto.SetCheck(true);
    m_editor.autoDelay = true;
    ::ShowWindow(m_save.m_hWnd, SW_HIDE);

    // Buttons whose macro is deleted go back to their defaults in the current profile.
    m_store = std::make_unique<MacroStore>(m_model, *this, MacroRootFolder(), m_macros, [this] {
        bool changed = false;
        m_profiles.EditCurrent([this, &changed](ProfileFile& f, int32_t&) {
            changed = FixOrphanMacros(f, m_catalogue.WorkDefKeys, m_macros);
        });
        return changed;
    });
    if (!m_treeFromLoad) {
        m_store->Load(m_options.MacroDir == 1);
        m_treeShown = true;
    }
    ShowTree();
    ShowOptions();
    return true;
}

void CMacroDlg::TreeLoaded(std::unique_ptr<MacroTree> tree) {
    std::lock_guard<std::mutex> lock(m_linkMu);
    if (!m_hWnd || !tree) return;
    m_loadedTree = std::move(tree);
    // The profile reader may ask before the window's thread shows the tree: it finds the
    // top-level macros at once.
    m_rootMacros.clear();
    for (MacroTreeItem h : m_loadedTree->Children(kMacroTreeRoot)) {
        const MacroTreeNode* n = m_loadedTree->Find(h);
        if (n && n->kind == MacroItemKind::Macro) m_rootMacros.push_back({n->id, n->text});
    }
    for (const LinkJob& j : m_linkJobs)
        if (j.add) m_rootMacros.push_back({j.id, j.text});
    ::PostMessageW(m_hWnd, WM_MACRO_LINK, 0, 0);
}

bool CMacroDlg::InstallLoadedTree() {
    std::unique_ptr<MacroTree> tree;
    {
        std::lock_guard<std::mutex> lock(m_linkMu);
        tree = std::move(m_loadedTree);
    }
    if (!tree) return false;
    m_model = std::move(*tree);
    m_treeShown = true;
    return true;
}

void CMacroDlg::OnShow(bool shown) {
    // Leaving the page writes what was changed on it.
    if (!shown && m_store) m_store->FlushAll();
    if (shown && !m_treeShown) {
        // Opened before the library has loaded: the page shows it whole, so it waits.
        const HCURSOR was =
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        WaitMacroLibraryLoaded();
        ::SetCursor(was);
        if (InstallLoadedTree()) ShowTree();
    }
}

void CMacroDlg::OnTextsChanged() {
    UpdateRecordCaption();
    m_save.SetText(GetText("tc_macro_msg19"));
    m_new.SetText(GetText("tc_macro_msg5"));
    m_delete.SetText(GetText("tc_macro_msg10"));
    m_deleteRow.SetText(GetText("tc_macro_msg10"));
    m_editRow.SetText(GetText("tc_macro_msg7"));
    m_tree.SetAccessibleName(GetText("tc_macro_list"));
    m_list.SetAccessibleName(GetText("tc_macro_key_list"));
    Invalidate();
}

void CMacroDlg::OnPaintPage(CMemPaint& buf) {
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS;
    const HFONT group = TypeFont(TextRole::kGroupTitle);
    DrawSkinText(buf.dc(), GetText("tc_macro_list"), Scaled(HeadingOver(m_treeRc)), Theme().text,
                 group, format);
    DrawSkinText(buf.dc(), GetText("tc_macro_key_list"), Scaled(HeadingOver(m_listRc)),
                 Theme().text, group, format);
    DrawSkinText(buf.dc(), GetText("tc_macro_auto"), Scaled(m_autoLabel), Theme().text,
                 m_font.get(), format);
    for (size_t i = 0; i < 3; ++i)
        DrawSkinText(buf.dc(), GetText(kRadioText[i]), Scaled(m_radioLabels[i]), Theme().text,
                     m_font.get(), format);
    DrawSkinText(buf.dc(), GetText("tc_macro_loop"), Scaled(m_insertHeading), Theme().text,
                 m_font.get(), format);
    DrawSkinText(buf.dc(), GetText("tc_macro_help"), Scaled(m_helpRc), Theme().text,
                 TypeFont(TextRole::kNote), DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    DrawSkinText(buf.dc(), GetText("tc_page3"), ToRect(PageTitleRect(Theme().large)), Theme().text,
                 TypeFont(TextRole::kPageTitle), format);
}

HBRUSH CMacroDlg::OnCtlColor(UINT msg, HDC dc, HWND from) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || from != m_count || !m_editBrush)
        return nullptr;
    ::SetTextColor(dc, Theme().text);
    ::SetBkColor(dc, Theme().edit);
    return m_editBrush;
}

// ---- MacroStoreUi ------------------------------------------------------------------------

std::optional<std::string> CMacroDlg::AskName(const std::string& prompt, int maxChars) {
    std::string name;
    if (!AskText(m_hWnd, prompt, maxChars, &name)) return std::nullopt;
    return name;
}

bool CMacroDlg::Confirm(const std::string& question) {
    return AskYesNo(m_hWnd, question);
}

void CMacroDlg::Tell(const Notice& n) {
    ShowNotice(n);
}

void CMacroDlg::ShowMessage(const std::string& text) {
    // The program's own message box, over the main window like every other message.
    ::ShowMessageText(text, m_hWnd);
}

void CMacroDlg::RefreshButtonPage(bool applyKeys) {
    m_host.RefreshButtons(applyKeys);
}

void CMacroDlg::ShowInEditor(MacroId id) {
    const std::optional<StMacro> record = m_macros.FindMacroById(id);
    if (!record) {
        ClearEditor();
        return;
    }
    m_shown = id;
    m_editor.Display(*record);
    ShowRows();
    ShowOptions();
}

void CMacroDlg::ClearEditor() {
    m_shown = 0;
    m_editor.Clear();
    ShowRows();
    ShowOptions();
}

std::optional<std::string> CMacroDlg::LimitImported(StMacro& m, std::vector<std::string>& said) {
    return LimitImportedMacro(m, said);
}

// ---- MacroPageLink -----------------------------------------------------------------------

bool CMacroDlg::AddRootMacro(const std::string& text, MacroId id) {
    {
        std::lock_guard<std::mutex> lock(m_linkMu);
        if (!m_hWnd) return false;
        m_linkJobs.push_back({true, text, id});
        // Found by name at once, before the window's thread has shown it.
        m_rootMacros.push_back({id, text});
    }
    return ::PostMessageW(m_hWnd, WM_MACRO_LINK, 0, 0) != FALSE;
}

std::optional<MacroPageLink::RootMacro> CMacroDlg::FindRootMacro(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_linkMu);
    for (const RootMacro& m : m_rootMacros)
        if (TextsEqualIgnoringCase(m.text, text)) return m;
    return std::nullopt;
}

void CMacroDlg::ReleaseMacro(MacroId id) {
    {
        std::lock_guard<std::mutex> lock(m_linkMu);
        if (!m_hWnd) return;
        m_linkJobs.push_back({false, {}, id});
    }
    ::PostMessageW(m_hWnd, WM_MACRO_LINK, 0, 0);
}

void CMacroDlg::OnLinkJobs() {
    // The questions and messages of a store operation are modal: the tree must not change
    // under the operation that waits for them.
    if (m_storeBusy) return;
    const bool installed = InstallLoadedTree();
    std::vector<LinkJob> jobs;
    {
        std::lock_guard<std::mutex> lock(m_linkMu);
        jobs.swap(m_linkJobs);
    }
    if (jobs.empty() && !installed) return;
    for (const LinkJob& j : jobs) {
        if (j.add) {
            // The load may have found the macro's file already.
            if (!m_model.FindRootChild(j.text))
                m_model.InsertItem(kMacroTreeRoot, MacroItemKind::Macro, j.text, j.id);
            continue;
        }
        // The macro is replaced by the mouse's: what the editor shows of it is gone.
        const MacroTreeNode* sel = m_model.Find(m_model.Selected());
        if (sel && sel->kind == MacroItemKind::Macro && sel->id == j.id) m_model.Select(0);
        if (m_shown == j.id && !m_editor.Recording()) ClearEditor();
    }
    ShowTree();
}

void CMacroDlg::UpdateRootMirror() {
    std::lock_guard<std::mutex> lock(m_linkMu);
    m_rootMacros.clear();
    for (MacroTreeItem h : m_model.Children(kMacroTreeRoot)) {
        const MacroTreeNode* n = m_model.Find(h);
        if (n && n->kind == MacroItemKind::Macro) m_rootMacros.push_back({n->id, n->text});
    }
    // Additions still on their way to the tree stay findable.
    for (const LinkJob& j : m_linkJobs)
        if (j.add) m_rootMacros.push_back({j.id, j.text});
}

// ---- what the user does ------------------------------------------------------------------

bool CMacroDlg::RefusedWhileRecording() {
    if (!m_editor.Recording()) return false;
    ::ShowMessage(RefusalTextKey(EditorRefusal::Recording), nullptr, m_hWnd);
    return true;
}

void CMacroDlg::OnTreeClick(HTREEITEM item) {
    if (m_editor.Recording()) {
        ::SetFocus(m_hWnd);
        return;
    }
    const TreeItemRecord* rec = m_tree.FindRecord(item);
    m_model.Select(rec ? rec->key : 0);
    const MacroTreeNode* node = m_model.Find(m_model.Selected());
    // Another macro drops the edits of the one shown before, without asking.
    if (node && node->kind == MacroItemKind::Macro) {
        ShowInEditor(node->id);
    } else {
        ClearEditor();
    }
}

void CMacroDlg::OnListClick(HTREEITEM item) {
    std::optional<size_t> index;
    size_t i = 0;
    m_list.WalkItems(
        TVI_ROOT,
        [&](HTREEITEM row) {
            if (row == item) index = i;
            ++i;
            return index.has_value();
        },
        false);
    m_editor.Select(index);
}

void CMacroDlg::OnRecord() {
    if (m_editor.Recording()) {
        m_editor.StopRecording();
        m_tree.SetEnabled(true);
    } else {
        const EditorRefusal r = m_editor.StartRecording();
        if (r != EditorRefusal::None) {
            ::ShowMessage(RefusalTextKey(r), nullptr, m_hWnd);
            return;
        }
        m_tree.SetEnabled(false);
        // The keys go to the page while it records.
        ::SetFocus(m_hWnd);
    }
    UpdateRecordCaption();
    ShowRows();
    // The count box is away while recording.
    ShowOptions();
}

void CMacroDlg::OnKey(UINT msg, WPARAM wp, LPARAM lp) {
    const RecordResult r =
        RecordKeyMessage(m_editor, msg, static_cast<uint32_t>(wp), lp, platform::GetTickCount());
    if (r == RecordResult::Full) {
        ::ShowMessage(RefusalTextKey(EditorRefusal::Full), nullptr, m_hWnd);
        ::SetFocus(m_hWnd);
    }
    if (r != RecordResult::Ignored) ShowRows();
}

void CMacroDlg::OnSave() {
    if (RefusedWhileRecording() || !m_shown) return;
    const uint32_t changes = m_editor.Changes();
    bool allKeys = true;
    m_macros.Update(m_shown, [&](StMacro& r) { allKeys = m_editor.Save(r); });
    // A key without a code is stored all the same; with the log on, the developer is warned.
    if (!allKeys && gVar.nDebug)
        ::MessageBoxW(m_hWnd, L"Capture keycode=0", L"Warning", MB_OK | MB_ICONWARNING);
    const MacroTreeItem item = m_model.FindMacro(m_shown);
    if (!Flush_Dirty_Macro(item, &m_model, m_store->Root(), m_macros)) {
        // Said here, with the file and the system's reason when the write itself failed (taken
        // now, so the main window does not say it a second time). The record keeps its change
        // marks and is written again when the page is left; the Save button stays for another
        // try rather than going as if the macro were saved.
        const std::string why = SaveFailureText(platform::TakeSaveFailures());
        ShowMessage(why.empty() ? "Get file path failed." : why);
        m_editor.SaveFailed(changes);
        UpdateSave();
        return;
    }
    ShowInEditor(m_shown);
    // A macro on a button is in the mouse too: the keys are written again with the new events.
    const bool assigned = m_profiles.Read(
        [this](const ProfileState& s) { return s.pFile && MacroIsAssigned(*s.pFile, m_shown); });
    if (assigned) RefreshButtonPage(m_options.ApplyNow != 0);
}

void CMacroDlg::RunStore(const std::function<void()>& op) {
    ++m_storeBusy;
    op();
    --m_storeBusy;
    // Also after a failure: a delete whose file stayed has taken its items away already.
    ShowTree();
    // Macros from the mouse that arrived meanwhile.
    PostMessage(WM_MACRO_LINK);
}

void CMacroDlg::OnNew() {
    if (RefusedWhileRecording()) return;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    const MacroTreeNode* node = m_model.Find(rec ? rec->key : 0);
    // A new macro goes into the selected folder, else to the top.
    m_model.Select(node && node->kind == MacroItemKind::Folder ? node->handle : 0);
    RunStore([this] { m_store->CreateMacro(); });
}

MacroTreeItem CMacroDlg::SelectedForCommand() {
    if (RefusedWhileRecording()) return 0;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    if (!rec) {
        ::ShowMessage(RefusalTextKey(EditorRefusal::NothingSelected), nullptr, m_hWnd);
        return 0;
    }
    m_model.Select(rec->key);
    return rec->key;
}

void CMacroDlg::OnDelete() {
    if (const MacroTreeItem item = SelectedForCommand())
        RunStore([this, item] { m_store->DeleteItem(item); });
}

void CMacroDlg::OnDeleteRow() {
    if (RefusedWhileRecording()) return;
    const EditorRefusal r = m_editor.DeleteSelected();
    if (r != EditorRefusal::None) {
        ::ShowMessage(RefusalTextKey(r), nullptr, m_hWnd);
        return;
    }
    ShowRows();
}

void CMacroDlg::OnRename() {
    if (const MacroTreeItem item = SelectedForCommand())
        RunStore([this, item] { m_store->RenameItem(item); });
}

void CMacroDlg::OpenMenu(const std::vector<MacroMenuItem>& items) {
    std::vector<MenuEntry> entries;
    for (const MacroMenuItem& item : items)
        entries.push_back(TopMenuEntry(item.textKey, item.value));
    if (entries.empty()) return;
    POINT at{};
    ::GetCursorPos(&at);
    const UiTheme& theme = Theme();
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), theme.large ? 240 : 120, at.x + 2, at.y,
              theme.menuNormal, theme.menuHover, 0, entries.data(), &theme);
}

void CMacroDlg::OnMenu(uint32_t value) {
    switch (value) {
        case kMacroMenuNew:
            OnNew();
            break;
        case kMacroMenuDelete:
            OnDelete();
            break;
        case kMacroMenuRename:
            OnRename();
            break;
        case kMacroMenuDeleteRow:
            OnDeleteRow();
            break;
        case kMacroMenuEditRow:
            OnEditRow();
            break;
        case kMacroMenuImport:
            OnImport();
            break;
        case kMacroMenuExport:
            OnExport();
            break;
        default:
            break;
    }
}

// ---- showing ---------------------------------------------------------------------------

void CMacroDlg::ShowTree() {
    m_tree.ShowMacroTree(m_model);
    UpdateRootMirror();
}

void CMacroDlg::ShowOptions() {
    const bool has = m_editor.HasMacro();
    for (size_t i = 0; i < 3; ++i)
        m_radios[i].SetCheck(has && m_editor.PlayMode() == kRadioMode[i]);
    if (!m_count) return;
    m_settingCount = true;
    ::SetWindowTextW(m_count, platform::win::Widen(has ? m_editor.CountText() : "").c_str());
    m_settingCount = false;
    ::ShowWindow(m_count, has && m_editor.CountVisible() ? SW_SHOW : SW_HIDE);
}

void CMacroDlg::ShowRefusal(EditorRefusal r) {
    if (r != EditorRefusal::None) ::ShowMessage(RefusalTextKey(r), nullptr, m_hWnd);
}

void CMacroDlg::OnPlayMode(uint32_t mode) {
    if (RefusedWhileRecording() || !m_editor.HasMacro()) {
        ShowOptions();
        return;
    }
    m_editor.ChoosePlayMode(mode);
    ShowOptions();
    UpdateSave();
}

void CMacroDlg::OnCountChanged() {
    wchar_t buf[16] = {};
    ::GetWindowTextW(m_count, buf, 16);
    if (const std::optional<std::string> fixed =
            m_editor.OnCountEdited(platform::win::Narrow(buf))) {
        m_settingCount = true;
        ::SetWindowTextW(m_count, platform::win::Widen(*fixed).c_str());
        const int len = ::GetWindowTextLengthW(m_count);
        ::SendMessageW(m_count, EM_SETSEL, static_cast<WPARAM>(len), len);
        m_settingCount = false;
    }
    UpdateSave();
}

void CMacroDlg::OnInsert() {
    // The insert menu stays open to a recording page: what it adds goes after what is recorded.
    if (!m_editor.HasMacro()) {
        ShowRefusal(EditorRefusal::NothingSelected);
        return;
    }
    std::vector<MenuEntry> entries;
    for (const InsertMenuItem& item : InsertMenuItems(kSupportedMouseButtonMask))
        entries.push_back(TopMenuEntry(item.textKey, item.value));
    RECT rc{};
    ::GetWindowRect(m_insert.m_hWnd, &rc);
    const UiTheme& theme = Theme();
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), rc.right - rc.left - 3, rc.left, rc.bottom,
              theme.menuNormal, theme.menuHover, kInsertMenuTag, entries.data(), &theme);
}

std::optional<uint32_t> CMacroDlg::AskKey() {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kKeyCapture;
    dlg.text = GetText("tc_msg7");
    dlg.restartEachKey = true;
    if (dlg.DoModal(m_hWnd) != IDOK) return std::nullopt;
    return KeyFromCapture(dlg.captureResult);
}

std::optional<uint32_t> CMacroDlg::AskDelay() {
    uint32_t ms = 0;
    const NumberRange range{m_options.MinUIDelay, static_cast<int32_t>(kMaxMacroDelay)};
    if (!AskNumber(m_hWnd, GetText("tc_macro_msg12"), 6, &ms, range)) return std::nullopt;
    return ms;
}

void CMacroDlg::OnInsertChosen(uint32_t value) {
    const InsertRequest req = DecodeInsertChoice(value);
    if (req.kind == InsertKind::None) return;
    // A full macro is refused before any dialog asks for what would not fit.
    if (m_editor.EventCount() >= MAX_MACRO_EVENTS) {
        ShowRefusal(EditorRefusal::Full);
        return;
    }
    if (!m_editor.HasMacro()) return;
    const bool before = m_options.InsertBefore != 0;
    EditorRefusal r = EditorRefusal::None;
    switch (req.kind) {
        case InsertKind::KeyPress:
        case InsertKind::KeyRelease: {
            const std::optional<uint32_t> key = AskKey();
            if (!key) return;
            r = m_editor.InsertKey(req.kind == InsertKind::KeyPress, *key, before);
            break;
        }
        case InsertKind::Delay: {
            const std::optional<uint32_t> ms = AskDelay();
            if (!ms) return;
            r = m_editor.InsertDelay(*ms, before);
            break;
        }
        case InsertKind::Click:
            r = m_editor.InsertClick(req.button, before);
            break;
        case InsertKind::None:
            return;
    }
    ShowRefusal(r);
    ShowRows();
}

void CMacroDlg::OnEditRow() {
    if (RefusedWhileRecording()) return;
    const std::optional<size_t> sel = m_editor.Selected();
    if (!sel) {
        ShowRefusal(EditorRefusal::NothingSelected);
        return;
    }
    const EventRow row = m_editor.Rows()[*sel];
    EditorRefusal r = EditorRefusal::None;
    switch (row.kind) {
        case EventKind::Delay: {
            const std::optional<uint32_t> ms = AskDelay();
            if (!ms) return;
            r = m_editor.EditDelay(*ms);
            break;
        }
        case EventKind::Move: {
            CMoveDlg dlg;
            dlg.x = MoveRowDx(row.value);
            dlg.y = MoveRowDy(row.value);
            if (dlg.DoModal(nullptr) != IDOK) return;
            r = m_editor.EditMove(dlg.x, dlg.y);
            break;
        }
        case EventKind::Press:
        case EventKind::Release: {
            const std::optional<uint32_t> key = AskKey();
            if (!key) return;
            r = m_editor.EditKey(*key);
            break;
        }
    }
    ShowRefusal(r);
    ShowRows();
}

void CMacroDlg::OnImport() {
    if (RefusedWhileRecording()) return;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    const std::optional<std::string> file = AskDataFile(m_hWnd, false, "qzm");
    if (!file) return;
    const MacroTreeItem target = rec ? rec->key : kMacroTreeRoot;
    RunStore([this, &file, target] { m_store->ImportMacro(*file, target); });
}

void CMacroDlg::OnExport() {
    if (RefusedWhileRecording()) return;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    const MacroTreeNode* node = m_model.Find(rec ? rec->key : 0);
    if (!node || node->kind != MacroItemKind::Macro) return;
    if (const std::optional<std::string> dest = AskDataFile(m_hWnd, true, "qzm", node->text))
        m_store->ExportMacro(node->handle, *dest);
}

void CMacroDlg::ShowRows() {
    ::SendMessageW(m_list.m_hWnd, WM_SETREDRAW, FALSE, 0);
    m_list.DeleteAll();
    HTREEITEM selected = nullptr;
    const std::vector<EventRow>& rows = m_editor.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        HTREEITEM item =
            m_list.AppendRow(SkinPath(EventRowIcon(rows[i].kind)), EventRowText(rows[i]),
                             static_cast<int32_t>(rows[i].value), static_cast<int>(rows[i].kind));
        if (m_editor.Selected() == i) selected = item;
    }
    if (selected) m_list.Select(selected);
    // While recording the newest row stays in view.
    if (m_editor.Recording() && !rows.empty()) {
        HTREEITEM last = TreeView_GetLastVisible(m_list.m_hWnd);
        if (last) TreeView_EnsureVisible(m_list.m_hWnd, last);
    }
    ::SendMessageW(m_list.m_hWnd, WM_SETREDRAW, TRUE, 0);
    m_list.Invalidate();
    UpdateSave();
}

void CMacroDlg::UpdateSave() {
    ::ShowWindow(m_save.m_hWnd,
                 m_editor.SaveVisible() && !m_editor.Recording() ? SW_SHOW : SW_HIDE);
}

void CMacroDlg::UpdateRecordCaption() {
    const std::string caption = GetText(m_editor.Recording() ? "tc_macro_stop" : "tc_macro_start");
    m_record.SetText(caption);
    m_record.SetTooltip(caption);
}

bool CMacroDlg::PreTranslateMessage(MSG* msg) {
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return false;
    if (m_editor.Recording()) {
        OnKey(m, msg->wParam, msg->lParam);
        return true;
    }
    // The focused button or tree acts on its own keys (Enter opens a row, Space presses).
    if (ControlTakesKey(m_hWnd, *msg)) return false;
    return SwallowsKey(kMainWindowKeys, m, static_cast<uint32_t>(msg->wParam));
}

LRESULT CMacroDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TREE_CLICK:
        case WM_TREE_DBLCLK:
        case WM_TREE_RCLICK: {
            HTREEITEM item = reinterpret_cast<HTREEITEM>(lp);
            if (msg == WM_TREE_RCLICK && RefusedWhileRecording()) return 0;
            if (wp == kIdTree) OnTreeClick(item);
            if (wp == kIdList && !m_editor.Recording()) OnListClick(item);
            if (msg == WM_TREE_DBLCLK && wp == kIdList && item && !m_editor.Recording())
                OnEditRow();
            if (msg != WM_TREE_RCLICK) return 0;
            if (wp == kIdTree) {
                const TreeItemRecord* rec = m_tree.FindRecord(item);
                OpenMenu(MacroTreeMenu(!rec ? MacroTreeTarget::Nothing
                                       : rec->kind == CTreeCtrlEx::kFolder
                                           ? MacroTreeTarget::Folder
                                           : MacroTreeTarget::Macro));
            } else {
                OpenMenu(EventListMenu(item != nullptr));
            }
            return 0;
        }
        case WM_MENU_RESULT:
            ClosePopup();
            if (lp == kInsertMenuTag)
                OnInsertChosen(static_cast<uint32_t>(wp));
            else
                OnMenu(static_cast<uint32_t>(wp));
            return 0;
        case WM_MACRO_LINK:
            OnLinkJobs();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (m_editor.Recording()) {
                OnKey(msg, wp, lp);
                return 0;
            }
            break;
        default:
            break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}
