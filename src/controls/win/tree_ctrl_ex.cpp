#include "controls/win/tree_ctrl_ex.h"

#include <oleacc.h>
#include <windowsx.h>

#include "controls/tree_model.h"
#include "platform/win/wide.h"

namespace {
Gdiplus::Color Argb(uint32_t bgr) {
    return Gdiplus::Color(TreeColourArgb(bgr));
}

// The icon scaled into its box, or centred in it when smaller.
void DrawInBox(Gdiplus::Graphics& g, SkinPicture* p, const RECT& box) {
    if (!PicturePresent(p)) return;
    const int w = PictureWidth(p), h = PictureHeight(p);
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    if (w <= bw && h <= bh) {
        DrawPicture(g, p, box.left + (bw - w) / 2, box.top + (bh - h) / 2);
    } else {
        DrawPictureStretched(g, p, box);
    }
}
}  // namespace

CTreeCtrlEx::CTreeCtrlEx() = default;

CTreeCtrlEx::~CTreeCtrlEx() {
    m_bar.DestroyWindow();
    DestroyWindow();
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

bool CTreeCtrlEx::Create(HWND owner, const TreeCreateArgs& args, const UiTheme& theme) {
    m_owner = owner;
    m_id = args.id;
    m_theme = theme;
    m_colours = args.colours;
    if (args.background && PicturePresent(args.background))
        m_bkg = PictureOfPart(args.background, args.rc);
    m_open = LoadSkinPicture(args.openGlyph);
    m_closed = LoadSkinPicture(args.closedGlyph);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TVS_HASLINES | TVS_HASBUTTONS |
                        TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_EDITLABELS;
    if (!CreateControl(WC_TREEVIEWW, L"", style, args.rc, owner, args.id)) return false;
    SetBufferedPaint(true);
    TreeView_SetItemHeight(m_hWnd, theme.large ? 38 : kRowHeight);
    m_font.Reset(::CreateFontW(theme.large ? 30 : 15, 0, 0, 0, 600, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
    // The font also serves the in-place rename box.
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    if (m_editBrush) ::DeleteObject(m_editBrush);
    m_editBrush = ::CreateSolidBrush(m_colours.background);
    // The system's scroll bar is light whatever the theme: the skin's is laid over it, a thumb
    // between the row text's colour and the background's.
    auto mix = [](COLORREF a, COLORREF b, int percentOfA) {
        auto part = [&](int ca, int cb) {
            return (ca * percentOfA + cb * (100 - percentOfA)) / 100;
        };
        return RGB(part(GetRValue(a), GetRValue(b)), part(GetGValue(a), GetGValue(b)),
                   part(GetBValue(a), GetBValue(b)));
    };
    m_bar.DestroyWindow();
    m_bar.Create(m_hWnd, m_colours.background, mix(m_colours.textNormal, m_colours.background, 35),
                 mix(m_colours.textNormal, m_colours.background, 70));

    m_tooltip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AppInstance(), nullptr);
    if (m_tooltip) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = m_hWnd;
        ti.uId = 1;
        ti.lpszText = const_cast<wchar_t*>(L"");
        ::GetClientRect(m_hWnd, &ti.rect);
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 1000);
        ::SendMessageW(m_tooltip, TTM_ACTIVATE, FALSE, 0);
    }
    return true;
}

void CTreeCtrlEx::OnFinalDestroy() {
    // The tooltip is owned by the tree and went with it; the records' items did too.
    m_tooltip = nullptr;
    m_records.clear();
    m_hot = nullptr;
}

HTREEITEM CTreeCtrlEx::NewRecord(HTREEITEM item, int kind, const std::string& iconPath,
                                 int32_t value, int rowKind, int textOffset, uint32_t key) {
    auto rec = std::make_unique<TreeItemRecord>();
    rec->item = item;
    if (!iconPath.empty()) {
        rec->icon = LoadSkinPicture(iconPath);
        if (!PicturePresent(rec->icon.get())) rec->icon.reset();
    }
    rec->value = value;
    rec->rowKind = rowKind;
    rec->kind = kind;
    rec->textOffset = textOffset;
    rec->key = key;
    m_records[item] = std::move(rec);
    return item;
}

HTREEITEM CTreeCtrlEx::InsertItem(HTREEITEM parent, bool select, int kind,
                                  const std::string& iconPath, const std::string& text,
                                  int32_t value, int textOffset, uint32_t key) {
    if (!m_hWnd) return nullptr;
    if (!parent) parent = TVI_ROOT;
    if (parent != TVI_ROOT) {
        const TreeItemRecord* p = FindRecord(parent);
        if (!p || p->kind != kFolder) return nullptr;
        // Counted from the parent: a folder with this many ancestors takes no sub-folder.
        if (kind == kFolder && ItemDepth(parent) >= MacroTree::kFolderDepthLimit) return nullptr;
    }
    const std::wstring w = platform::win::Widen(text);
    TVINSERTSTRUCTW is{};
    is.hParent = parent;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT;
    is.item.pszText = const_cast<wchar_t*>(w.c_str());
    HTREEITEM item = TreeView_InsertItem(m_hWnd, &is);
    if (!item) return nullptr;
    NewRecord(item, kind, iconPath, value, 0, textOffset, key);
    if (select) TreeView_SelectItem(m_hWnd, item);
    Invalidate();
    return item;
}

HTREEITEM CTreeCtrlEx::InsertRelative(HTREEITEM ref, bool before, const std::string& iconPath,
                                      const std::string& text, int32_t value, int rowKind) {
    if (!m_hWnd || !ref || ref == TVI_ROOT || ref == TVI_FIRST || ref == TVI_LAST ||
        ref == TVI_SORT || !FindRecord(ref)) {
        return nullptr;
    }
    HTREEITEM parent = TreeView_GetParent(m_hWnd, ref);
    HTREEITEM after = ref;
    if (before) {
        HTREEITEM prev = TreeView_GetPrevSibling(m_hWnd, ref);
        after = prev ? prev : TVI_FIRST;
    }
    const std::wstring w = platform::win::Widen(text);
    TVINSERTSTRUCTW is{};
    is.hParent = parent ? parent : TVI_ROOT;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT;
    is.item.pszText = const_cast<wchar_t*>(w.c_str());
    HTREEITEM item = TreeView_InsertItem(m_hWnd, &is);
    if (!item) return nullptr;
    NewRecord(item, kLeaf, iconPath, value, rowKind, 0, 0);
    Invalidate();
    return item;
}

HTREEITEM CTreeCtrlEx::AppendRow(const std::string& iconPath, const std::string& text,
                                 int32_t value, int rowKind) {
    HTREEITEM item = InsertItem(TVI_ROOT, false, kLeaf, iconPath, text, value, 0);
    if (item) m_records[item]->rowKind = rowKind;
    return item;
}

void CTreeCtrlEx::DropRecords(HTREEITEM item) {
    for (HTREEITEM c = TreeView_GetChild(m_hWnd, item); c; c = TreeView_GetNextSibling(m_hWnd, c))
        DropRecords(c);
    if (item == m_hot) m_hot = nullptr;
    m_records.erase(item);
}

void CTreeCtrlEx::DeleteItem(HTREEITEM item) {
    if (!m_hWnd || !FindRecord(item)) return;
    DropRecords(item);
    TreeView_DeleteItem(m_hWnd, item);
    Invalidate();
}

void CTreeCtrlEx::DeleteAll() {
    if (!m_hWnd) return;
    m_records.clear();
    m_hot = nullptr;
    TreeView_DeleteAllItems(m_hWnd);
    Invalidate();
}

void CTreeCtrlEx::SetItem(HTREEITEM item, const std::string& text, int32_t value) {
    auto it = m_records.find(item);
    if (it == m_records.end()) return;
    it->second->value = value;
    const std::wstring w = platform::win::Widen(text);
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<wchar_t*>(w.c_str());
    TreeView_SetItem(m_hWnd, &tv);
    Invalidate();
}

const TreeItemRecord* CTreeCtrlEx::FindRecord(HTREEITEM item) const {
    auto it = m_records.find(item);
    return it == m_records.end() ? nullptr : it->second.get();
}

HTREEITEM CTreeCtrlEx::FindByKey(uint32_t key) const {
    for (const auto& [item, rec] : m_records)
        if (rec->key == key) return item;
    return nullptr;
}

std::string CTreeCtrlEx::ItemText(HTREEITEM item) const {
    if (!m_hWnd || !item) return {};
    wchar_t buf[520] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = static_cast<int>(std::size(buf));
    if (!TreeView_GetItem(m_hWnd, &tv)) return {};
    return platform::win::Narrow(buf);
}

HTREEITEM CTreeCtrlEx::FindRootChild(const std::string& text) const {
    const std::wstring want = platform::win::Widen(text);
    for (HTREEITEM c = TreeView_GetRoot(m_hWnd); c; c = TreeView_GetNextSibling(m_hWnd, c)) {
        const std::wstring have = platform::win::Widen(ItemText(c));
        if (::CompareStringOrdinal(have.c_str(), -1, want.c_str(), -1, TRUE) == CSTR_EQUAL)
            return c;
    }
    return nullptr;
}

bool CTreeCtrlEx::WalkItems(HTREEITEM item, const std::function<bool(HTREEITEM)>& visit,
                            bool recursive) {
    HTREEITEM c =
        item && item != TVI_ROOT ? TreeView_GetChild(m_hWnd, item) : TreeView_GetRoot(m_hWnd);
    while (c) {
        // The next one first: the visitor may delete the item it is given.
        HTREEITEM next = TreeView_GetNextSibling(m_hWnd, c);
        const TreeItemRecord* rec = FindRecord(c);
        if (recursive && rec && rec->kind == kFolder && WalkItems(c, visit, true)) return true;
        if (visit(c)) return true;
        c = next;
    }
    return false;
}

int CTreeCtrlEx::ItemDepth(HTREEITEM item) const {
    int depth = 0;
    for (HTREEITEM p = TreeView_GetParent(m_hWnd, item); p; p = TreeView_GetParent(m_hWnd, p))
        ++depth;
    return depth;
}

void CTreeCtrlEx::ToggleExpand(HTREEITEM item) {
    auto it = m_records.find(item);
    if (it == m_records.end()) return;
    it->second->expanded = !it->second->expanded;
    ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    TreeView_Expand(m_hWnd, item, it->second->expanded ? TVE_EXPAND : TVE_COLLAPSE);
    ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    Invalidate();
}

HTREEITEM CTreeCtrlEx::Selected() const {
    return m_hWnd ? TreeView_GetSelection(m_hWnd) : nullptr;
}

void CTreeCtrlEx::Select(HTREEITEM item) {
    if (m_hWnd) TreeView_SelectItem(m_hWnd, item);
}

void CTreeCtrlEx::ShowMacroChildren(const MacroTree& tree, MacroTreeItem parent, HTREEITEM under) {
    for (MacroTreeItem child : tree.Children(parent)) {
        const MacroTreeNode* n = tree.Find(child);
        if (!n) continue;
        const bool folder = n->kind == MacroItemKind::Folder;
        HTREEITEM item = InsertItem(under, false, folder ? kFolder : kLeaf, n->icon, n->text,
                                    folder ? 0 : static_cast<int32_t>(n->id), 5, child);
        if (item && folder) ShowMacroChildren(tree, child, item);
    }
}

void CTreeCtrlEx::ShowMacroTree(const MacroTree& tree) {
    DeleteAll();
    ShowMacroChildren(tree, kMacroTreeRoot, TVI_ROOT);
    if (HTREEITEM sel = FindByKey(tree.Selected()); sel && tree.Selected() != 0) Select(sel);
}

void CTreeCtrlEx::BeginRename(HTREEITEM item,
                              std::function<bool(HTREEITEM, const std::string&)> done) {
    if (!FindRecord(item)) return;
    m_renamed = std::move(done);
    ::SetFocus(m_hWnd);
    TreeView_EditLabel(m_hWnd, item);
}

bool CTreeCtrlEx::OnReflectNotify(NMHDR* hdr, LRESULT* result) {
    switch (hdr->code) {
        case TVN_ENDLABELEDITW: {
            auto* di = reinterpret_cast<NMTVDISPINFOW*>(hdr);
            bool taken = false;
            // No text: the edit was cancelled.
            if (di->item.pszText && m_renamed)
                taken = m_renamed(di->item.hItem, platform::win::Narrow(di->item.pszText));
            *result = taken ? TRUE : FALSE;
            return true;
        }
        case TVN_DELETEITEMW: {
            auto* nm = reinterpret_cast<NMTREEVIEWW*>(hdr);
            if (nm->itemOld.hItem == m_hot) m_hot = nullptr;
            m_records.erase(nm->itemOld.hItem);
            return false;
        }
        default:
            return false;
    }
}

bool CTreeCtrlEx::HandleButton(UINT msg, LPARAM lp) {
    TreeMouse what = TreeMouse::ButtonUp;
    switch (msg) {
        case WM_LBUTTONDOWN:
            what = TreeMouse::LeftDown;
            break;
        case WM_LBUTTONDBLCLK:
            what = TreeMouse::DoubleClick;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            what = TreeMouse::RightDown;
            break;
        default:
            break;
    }
    TVHITTESTINFO ht{};
    ht.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    HTREEITEM item = TreeView_HitTest(m_hWnd, &ht);
    HTREEITEM selected = Selected();
    const bool onExpander = (ht.flags & (TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT)) != 0;
    // The model compares numbers: 1 stands for the item under the cursor, 2 for another.
    const uint32_t hit = item ? 1u : 0u;
    const uint32_t was = !selected ? 0u : (selected == item ? 1u : 2u);
    const TreeMouseAction a = OnTreeMouse(what, hit, was, onExpander, m_enabled);
    if (a.select) {
        Select(item);
        if (item) ::SetFocus(m_hWnd);
    }
    if (a.toggle && item) ToggleExpand(item);
    if (a.post && m_owner) ::PostMessageW(m_owner, a.post, m_id, reinterpret_cast<LPARAM>(item));
    Invalidate();
    return a.swallow;
}

void CTreeCtrlEx::TrackHot(LPARAM lp) {
    if (!m_tracking) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
        m_tracking = ::TrackMouseEvent(&tme) != FALSE;
    }
    TVHITTESTINFO ht{};
    ht.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    HTREEITEM item = TreeView_HitTest(m_hWnd, &ht);
    if (item == m_hot) return;
    m_hot = item;
    const std::string text = ItemText(item);
    m_tipText = item && TreeNeedsTooltip(text) ? text : std::string();
    if (!m_tooltip) return;
    const std::wstring w = platform::win::Widen(m_tipText);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(w.c_str());
    ::SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_tooltip, TTM_ACTIVATE, m_tipText.empty() ? FALSE : TRUE, 0);
}

LRESULT CTreeCtrlEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT r = TreeProc(msg, wp, lp);
    // Whatever the message did to the rows (added, folded, scrolled, shown), the skin's bar
    // follows the system's.
    if (msg != WM_NCDESTROY && msg != WM_DESTROY && m_hWnd) m_bar.Sync();
    return r;
}

HBRUSH CTreeCtrlEx::OnCtlColor(UINT msg, HDC dc, HWND from) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || !m_editBrush)
        return CWndBase::OnCtlColor(msg, dc, from);
    ::SetTextColor(dc, m_colours.textSelected);
    ::SetBkColor(dc, m_colours.background);
    return m_editBrush;
}

LRESULT CTreeCtrlEx::TreeProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            if (HandleButton(msg, lp)) return 0;
            break;
        case WM_MOUSEMOVE:
            TrackHot(lp);
            break;
        case WM_MOUSELEAVE:
            m_tracking = false;
            m_hot = nullptr;
            m_tipText.clear();
            if (m_tooltip) ::SendMessageW(m_tooltip, TTM_ACTIVATE, FALSE, 0);
            return 0;
        case WM_KEYDOWN:
            // The system's own keyboard would move the selection behind the owner's back: the
            // keys go through the same steps as the pointer instead.
            if (m_enabled) HandleKey(static_cast<UINT>(wp));
            return 0;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // The system's tree chooses its first row when it gains the focus with none chosen;
            // the owner would never hear of that choice, so the tree keeps having none.
            const HTREEITEM before = Selected();
            const LRESULT r = CWndBase::WindowProc(msg, wp, lp);
            if (msg == WM_SETFOCUS && !before && Selected()) TreeView_SelectItem(m_hWnd, nullptr);
            Invalidate();  // the focus ring
            return r;
        }
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_HSCROLL: {
            const LRESULT r = Default(msg, wp, lp);
            Invalidate();
            return r;
        }
        case WM_SIZE:
            if (m_tooltip) {
                TTTOOLINFOW ti{};
                ti.cbSize = sizeof ti;
                ti.hwnd = m_hWnd;
                ti.uId = 1;
                ::GetClientRect(m_hWnd, &ti.rect);
                ::SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
            }
            break;
        default:
            break;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

bool CTreeCtrlEx::WantsKey(UINT vk) const {
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_RETURN:
        case VK_DELETE:
        case VK_APPS:
        case VK_F10:
            return true;
        default:
            return false;
    }
}

AccessibleInfo CTreeCtrlEx::Describe() const {
    AccessibleInfo i;
    i.name = AccessibleName();
    i.role = ROLE_SYSTEM_OUTLINE;
    i.disabled = !m_enabled;
    i.hasValue = true;
    if (HTREEITEM sel = Selected()) i.value = ItemText(sel);
    return i;
}

void CTreeCtrlEx::KeySelect(HTREEITEM item) {
    if (!item || item == Selected()) return;
    Select(item);
    TreeView_EnsureVisible(m_hWnd, item);
    ::PostMessageW(m_owner, WM_TREE_CLICK, m_id, reinterpret_cast<LPARAM>(item));
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    Invalidate();
}

bool CTreeCtrlEx::HandleKey(UINT vk) {
    HTREEITEM sel = Selected();
    const TreeItemRecord* rec = sel ? FindRecord(sel) : nullptr;
    const bool folder = rec && rec->kind == kFolder;
    const bool open = folder && rec->expanded;
    switch (vk) {
        case VK_UP:
        case VK_DOWN: {
            HTREEITEM next = nullptr;
            if (!sel) {
                next = TreeView_GetRoot(m_hWnd);
            } else {
                next = vk == VK_UP ? TreeView_GetPrevVisible(m_hWnd, sel)
                                   : TreeView_GetNextVisible(m_hWnd, sel);
            }
            KeySelect(next);
            return true;
        }
        case VK_LEFT:
            if (open) {
                ToggleExpand(sel);
            } else if (sel) {
                KeySelect(TreeView_GetParent(m_hWnd, sel));
            }
            return true;
        case VK_RIGHT:
            if (folder && !open) {
                ToggleExpand(sel);
            } else if (open) {
                KeySelect(TreeView_GetChild(m_hWnd, sel));
            }
            return true;
        case VK_RETURN:
            if (!sel) return true;
            if (folder) ToggleExpand(sel);
            ::PostMessageW(m_owner, WM_TREE_DBLCLK, m_id, reinterpret_cast<LPARAM>(sel));
            return true;
        case VK_APPS:
        case VK_F10:
            if (vk == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0) return false;
            ::PostMessageW(m_owner, WM_TREE_RCLICK, m_id, reinterpret_cast<LPARAM>(sel));
            return true;
        case VK_DELETE:
            if (sel && m_onDelete) {
                const std::function<void(HTREEITEM)> fn = m_onDelete;
                fn(sel);
            }
            return true;
        default:
            return false;
    }
}

void CTreeCtrlEx::DrawRow(Gdiplus::Graphics& g, HDC dc, HTREEITEM item, int width) {
    const TreeItemRecord* rec = FindRecord(item);
    RECT row{}, text{};
    if (!TreeView_GetItemRect(m_hWnd, item, &row, FALSE)) return;
    TreeView_GetItemRect(m_hWnd, item, &text, TRUE);
    const int indent = static_cast<int>(TreeView_GetIndent(m_hWnd));
    const bool selected = (TreeView_GetItemState(m_hWnd, item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    const int rowH = row.bottom - row.top;
    const int box = kIconBox < rowH ? kIconBox : rowH;
    if (selected) {
        Gdiplus::SolidBrush fill(Argb(m_colours.selectedFill));
        g.FillRectangle(&fill, 0, row.top, width, rowH);
    }
    const int left = text.left;
    const int boxTop = row.top + (rowH - box) / 2;
    TreeRowLook look;
    look.folder = rec && rec->kind == kFolder;
    look.hasIcon = rec && rec->icon;
    look.textOffset = rec ? rec->textOffset : 0;
    if (look.folder) {
        SkinPicture* glyph = rec->expanded ? m_open.get() : m_closed.get();
        DrawInBox(g, glyph, RECT{left - indent, row.top, left, row.bottom});
        if (look.hasIcon)
            DrawInBox(g, rec->icon.get(), RECT{left + 2, boxTop, left + 2 + box, boxTop + box});
    } else if (look.hasIcon) {
        DrawInBox(g, rec->icon.get(),
                  RECT{left - indent, boxTop, left - indent + box, boxTop + box});
    }
    g.Flush(Gdiplus::FlushIntentionSync);
    const int x = TreeTextLeft(look, left, indent);
    const COLORREF colour = selected ? m_colours.textSelected : m_colours.textNormal;
    DrawSkinText(dc, ItemText(item), RECT{x, row.top, width - 5, row.bottom}, colour, m_font.get(),
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void CTreeCtrlEx::OnPaint(CMemPaint& buf) {
    Gdiplus::Graphics& g = buf.g();
    if (PicturePresent(m_bkg.get())) {
        DrawPicture(g, m_bkg.get(), 0, 0);
    } else {
        Gdiplus::SolidBrush fill(Argb(m_colours.background));
        g.FillRectangle(&fill, 0, 0, buf.width(), buf.height());
    }
    for (HTREEITEM it = TreeView_GetFirstVisible(m_hWnd); it;
         it = TreeView_GetNextVisible(m_hWnd, it)) {
        RECT row{};
        if (!TreeView_GetItemRect(m_hWnd, it, &row, FALSE) || row.top >= buf.height()) break;
        DrawRow(g, buf.dc(), it, buf.width());
    }
    if (TreeDrawsFrame(m_colours.frame)) {
        Gdiplus::Pen pen(Argb(m_colours.frame));
        g.DrawRectangle(&pen, 0, 0, buf.width() - 1, buf.height() - 1);
    }
    g.Flush(Gdiplus::FlushIntentionSync);
    if (::GetFocus() == m_hWnd)
        DrawFocusRing(buf.dc(), RECT{0, 0, buf.width(), buf.height()}, m_theme.focus,
                      m_theme.large ? 4 : 2);
}
