// The skinned tree: a system tree-view painted entirely by itself (background, folder glyphs,
// item icons, two text colours, an optional frame) that reports clicks to its owner with posted
// messages (WM_TREE_CLICK, WM_TREE_DBLCLK, WM_TREE_RCLICK of tree_model.h; wParam the control
// id, lParam the item or 0) instead of the tree-view notifications. The macro folder tree, the
// macro picker and the macro page's event list use it; what a click does is decided by
// OnTreeMouse, so the rule is tested without a window.
//
// Each item carries a record: a number (a macro's id, an event's value), the event row kind,
// whether it is a folder, a `key` the owner may use to find its own model's item, and its icon.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "controls/tree_model.h"
#include "controls/win/gdi_handle.h"
#include "controls/win/skin_picture.h"
#include "controls/win/skin_scroll_bar.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"
#include "macro/macro_tree.h"

// The tree's colours in the configuration's 0x00BBGGRR form.
struct TreeColours {
    uint32_t background = 0x00202020;
    uint32_t selectedFill = 0x00505050;
    uint32_t textNormal = 0x00C8C8C8;
    uint32_t textSelected = 0x00FFFFFF;
    uint32_t frame = 0;  // 0: no frame
};

struct TreeItemRecord {
    HTREEITEM item = nullptr;
    PicturePtr icon;
    int32_t value = 0;   // macro id, or event value
    int rowKind = 0;     // event rows: 0 release, 1 press, 2 delay, 3 move
    int kind = 1;        // CTreeCtrlEx::kLeaf or kFolder
    int textOffset = 0;  // extra left offset of the text
    bool expanded = false;
    uint32_t key = 0;  // the owner's own handle for the item
};

struct TreeCreateArgs {
    UINT id = 0;
    RECT rc{};                           // in the owner's client area
    SkinPicture* background = nullptr;   // the owner's picture, cut at rc; none: the colour
    std::string openGlyph, closedGlyph;  // folder glyph pictures (missing: not drawn)
    TreeColours colours;
};

class CTreeCtrlEx : public CWndBase {
  public:
    static constexpr int kLeaf = 1, kFolder = 2;
    static constexpr int kRowHeight = 20;
    static constexpr int kIconBox = 18;

    CTreeCtrlEx();
    ~CTreeCtrlEx() override;

    bool Create(HWND owner, const TreeCreateArgs& args, const UiTheme& theme);

    // A new item at the end of `parent` (TVI_ROOT for the top level); null when refused: a
    // folder whose parent already has 5 ancestors, or a parent that is not a folder.
    HTREEITEM InsertItem(HTREEITEM parent, bool select, int kind, const std::string& iconPath,
                         const std::string& text, int32_t value, int textOffset, uint32_t key = 0);
    // A leaf beside `ref`, before or after it; null for the root or an insert-position handle.
    HTREEITEM InsertRelative(HTREEITEM ref, bool before, const std::string& iconPath,
                             const std::string& text, int32_t value, int rowKind);
    // A leaf at the end of the top level (the event list).
    HTREEITEM AppendRow(const std::string& iconPath, const std::string& text, int32_t value,
                        int rowKind);
    void DeleteItem(HTREEITEM item);
    void DeleteAll();
    void SetItem(HTREEITEM item, const std::string& text, int32_t value);

    const TreeItemRecord* FindRecord(HTREEITEM item) const;
    // The top-level item whose text equals `text` ignoring case; null when none.
    HTREEITEM FindRootChild(const std::string& text) const;
    // Calls `visit` for each child of `item` (folders' contents first with `recursive`); stops
    // and returns true when `visit` does.
    bool WalkItems(HTREEITEM item, const std::function<bool(HTREEITEM)>& visit, bool recursive);
    int ItemDepth(HTREEITEM item) const;
    void ToggleExpand(HTREEITEM item);
    std::string ItemText(HTREEITEM item) const;
    HTREEITEM Selected() const;
    void Select(HTREEITEM item);
    // The item whose record carries `key`; null when none.
    HTREEITEM FindByKey(uint32_t key) const;

    // Shows a macro folder tree: folders with their icons, macros with a 5-pixel text offset,
    // each record's key the model's item.
    void ShowMacroTree(const MacroTree& tree);

    // Cleared while a macro records: every mouse button message is swallowed.
    void SetEnabled(bool on) { m_enabled = on; }
    bool IsEnabled() const { return m_enabled; }

    // In-place renaming of `item`; `done` gets the typed text and says whether it is taken.
    void BeginRename(HTREEITEM item, std::function<bool(HTREEITEM, const std::string&)> done);

    // What the pointer rests on, and the tooltip's text ("" while none is offered).
    HTREEITEM HotItem() const { return m_hot; }
    const std::string& TooltipText() const { return m_tipText; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectNotify(NMHDR* hdr, LRESULT* result) override;

    // Keyboard, as the pointer would do it: Up/Down select the row above or below (the owner
    // hears a click on it), Left folds an open folder or goes to the parent, Right unfolds a
    // folder or goes to its first row, Enter acts as a double click (opens), the menu key or
    // Shift+F10 as a right click, Delete calls `onDeleteKey` with the selected row. No key
    // does anything while the tree is disabled.
    bool TakesTab() const override { return true; }
    bool WantsKey(UINT vk) const override;
    AccessibleInfo Describe() const override;
    void SetOnDeleteKey(std::function<void(HTREEITEM)> fn) { m_onDelete = std::move(fn); }

    // The skin's scroll bar over the system's (shown while the rows do not all fit).
    CSkinScrollBar& ScrollBar() { return m_bar; }

  protected:
    void OnPaint(CMemPaint& buf) override;
    void OnFinalDestroy() override;
    // The in-place rename box in the tree's colours.
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from) override;

  private:
    LRESULT TreeProc(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleButton(UINT msg, LPARAM lp);
    bool HandleKey(UINT vk);
    // Selects `item` as a click on it would (the owner hears of it when it was not selected).
    void KeySelect(HTREEITEM item);
    void TrackHot(LPARAM lp);
    HTREEITEM NewRecord(HTREEITEM item, int kind, const std::string& iconPath, int32_t value,
                        int rowKind, int textOffset, uint32_t key);
    void DropRecords(HTREEITEM item);
    void ShowMacroChildren(const MacroTree& tree, MacroTreeItem parent, HTREEITEM under);
    void DrawRow(Gdiplus::Graphics& g, HDC dc, HTREEITEM item, int width);

    HWND m_owner = nullptr;
    UINT m_id = 0;
    bool m_enabled = true;
    UiTheme m_theme;
    TreeColours m_colours;
    PicturePtr m_bkg, m_open, m_closed;
    std::map<HTREEITEM, std::unique_ptr<TreeItemRecord>> m_records;
    FontHandle m_font;
    HWND m_tooltip = nullptr;
    CSkinScrollBar m_bar;
    HBRUSH m_editBrush = nullptr;
    HTREEITEM m_hot = nullptr;
    std::string m_tipText;
    bool m_tracking = false;
    std::function<bool(HTREEITEM, const std::string&)> m_renamed;
    std::function<void(HTREEITEM)> m_onDelete;
};
