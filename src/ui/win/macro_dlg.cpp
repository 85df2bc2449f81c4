#include "ui/win/macro_dlg.h"

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "macro/macro_file.h"
#include "platform/codepage.h"
#include "platform/sys.h"
// The system's InsertMenuItem macro would rename the insert menu's item type.
#undef InsertMenuItem
#include "ui/macro_rows.h"
#include "ui/main_window_model.h"
#include "ui/win/msg_dlg.h"

namespace {
constexpr int kRecordW = 161, kRecordH = 33, kCheck = 11;

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

CMacroDlg::CMacroDlg() = default;

CMacroDlg::~CMacroDlg() {
    // Every macro changed here and not yet written reaches its file when the page goes.
    if (m_store) m_store->FlushAll();
    DestroyWindow();
    if (m_ownFont && m_font) ::DeleteObject(m_font);
}

bool CMacroDlg::OnCreatePage() {
    const UiTheme& theme = Theme();
    m_font = MakeUiFont(theme.font, theme.FontHeight(), FW_NORMAL, &m_ownFont);
    m_treeRc = ToRect(gVar.rcMacroList);
    m_listRc = ToRect(gVar.rcKeyList);
    const TreeColours colours = TreeColoursFromOptions();
    auto makeTree = [&](CTreeCtrlEx& t, UINT id, const RECT& rc) {
        TreeCreateArgs a;
        a.id = id;
        a.rc = Scaled(rc);
        // With ListTrans the page's picture shows through the lists.
        a.background = gVar.ListTrans ? Background() : nullptr;
        a.openGlyph = SkinPath("macro\\open.png");
        a.closedGlyph = SkinPath("macro\\close.png");
        a.colours = colours;
        return t.Create(m_hWnd, a, theme);
    };
    if (!makeTree(m_tree, kIdTree, m_treeRc) || !makeTree(m_list, kIdList, m_listRc)) return false;

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
    const RECT record{gVar.ptRecord.x, gVar.ptRecord.y, gVar.ptRecord.x + kRecordW,
                      gVar.ptRecord.y + kRecordH};
    const int x = gVar.MacroOptX;
    const RECT check{x, record.bottom + 40, x + kCheck, record.bottom + 40 + kCheck};
    m_autoLabel = RECT{check.right + 8, check.top - 4, check.right + 200, check.bottom + 4};
    // The Save button keeps its place below the play-mode radios and the insert button.
    const int radiosBottom = check.bottom + 20 + 12 + 2 * (17 + 12);
    const int insertBottom = radiosBottom + 90 + 30;
    const RECT save{x, insertBottom + 48, x + 80, insertBottom + 48 + 27};

    PicturePtr checkNr = LoadSkinPicture(SkinPath("check_nr.png"));
    PicturePtr checkDn = LoadSkinPicture(SkinPath("check_dn.png"));
    PicturePtr button = LoadSkinPicture(SkinPath("button2_nr.png"));
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
    if (!ok) return false;
    m_auto.SetCheckable(true);
    m_auto.SetToggleOnClick(true);
    m_auto.SetCheck(true);
    m_editor.autoDelay = true;
    ::ShowWindow(m_save.m_hWnd, SW_HIDE);

    m_store = std::make_unique<MacroStore>(m_model, *this, MacroRootFolder());
    m_store->Load(gVar.MacroDir == 1);
    ShowTree();
    return true;
}

void CMacroDlg::OnShow(bool shown) {
    // Leaving the page writes what was changed on it.
    if (!shown && m_store) m_store->FlushAll();
}

void CMacroDlg::OnTextsChanged() {
    UpdateRecordCaption();
    m_save.SetText(GetText("tc_macro_msg19"));
    m_new.SetText(GetText("tc_macro_msg5"));
    m_delete.SetText(GetText("tc_macro_msg10"));
    m_deleteRow.SetText(GetText("tc_macro_msg10"));
    Invalidate();
}

void CMacroDlg::OnPaintPage(CMemPaint& buf) {
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS;
    DrawSkinText(buf.dc(), GetText("tc_macro_list"), Scaled(HeadingOver(m_treeRc)), Theme().text,
                 m_font, format);
    DrawSkinText(buf.dc(), GetText("tc_macro_key_list"), Scaled(HeadingOver(m_listRc)),
                 Theme().text, m_font, format);
    DrawSkinText(buf.dc(), GetText("tc_macro_auto"), Scaled(m_autoLabel), Theme().text, m_font,
                 format);
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

void CMacroDlg::ShowMessage(const std::string& text) {
    // The program's own message box, over the main window like every other message.
    ::ShowMessageText(text, m_hWnd);
}

void CMacroDlg::RefreshButtonPage(bool applyKeys) {
    // The buttons page shows its captions from the profile each time it is shown; writing the
    // keys after a deleted macro belongs to the main window, which does not offer it yet.
    (void)applyKeys;
}

void CMacroDlg::ShowInEditor(MacroId id) {
    const std::optional<StMacro> record = g_MacroList.FindMacroById(id);
    if (!record) {
        ClearEditor();
        return;
    }
    m_shown = id;
    m_editor.Display(*record);
    ShowRows();
}

void CMacroDlg::ClearEditor() {
    m_shown = 0;
    m_editor.Clear();
    ShowRows();
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
    bool packed = false;
    g_MacroList.Update(m_shown, [&](StMacro& r) { packed = m_editor.Save(r); });
    const MacroTreeItem item = m_model.FindMacro(m_shown);
    if (!Flush_Dirty_Macro(item, &m_model, m_store->Root())) {
        // The record keeps its change marks and is written again when the page is left.
        UpdateSave();
        return;
    }
    (void)packed;
    ShowInEditor(m_shown);
    RefreshButtonPage(true);
}

void CMacroDlg::OnNew() {
    if (RefusedWhileRecording()) return;
    const TreeItemRecord* rec = m_tree.FindRecord(m_tree.Selected());
    const MacroTreeNode* node = m_model.Find(rec ? rec->key : 0);
    // A new macro goes into the selected folder, else to the top.
    m_model.Select(node && node->kind == MacroItemKind::Folder ? node->handle : 0);
    if (m_store->CreateMacro()) ShowTree();
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
    if (const MacroTreeItem item = SelectedForCommand(); item && m_store->DeleteItem(item))
        ShowTree();
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
    if (const MacroTreeItem item = SelectedForCommand(); item && m_store->RenameItem(item))
        ShowTree();
}

void CMacroDlg::OpenMenu(const std::vector<MacroMenuItem>& items) {
    std::vector<MenuEntry> entries;
    for (const MacroMenuItem& item : items) {
        if (item.value == kMacroMenuExport || item.value == kMacroMenuImport ||
            item.value == kMacroMenuEditRow) {
            continue;
        }
        MenuEntry e{};
        e.parent = kMenuTopLevel;
        e.value = item.value;
        const std::u16string text = platform::Utf8ToUtf16(GetText(item.textKey));
        text.copy(e.text, std::size(e.text) - 1);
        entries.push_back(e);
    }
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
        default:
            break;
    }
}

// ---- showing ---------------------------------------------------------------------------

void CMacroDlg::ShowTree() {
    m_tree.ShowMacroTree(m_model);
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
            OnMenu(static_cast<uint32_t>(wp));
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
