#include "controls/win/menu_dlg.h"

#include <oleacc.h>

#include <string>

#include "controls/keyboard_model.h"
#include "controls/skin_paths.h"
#include "controls/win/skin_picture.h"
#include "platform/window.h"

namespace {

enum MenuPicture { kItem, kItemHot, kSubItem, kSubItemHot, kPictureCount };
PicturePtr g_pictures[kPictureCount];
CMenuDlg* g_popup = nullptr;
// Closing is re-entrant: messages dispatched while a menu window is being created may ask for
// the open menu to close, which must not destroy the one under construction.
bool g_creatingPopup = false;
bool g_creatingSubMenu = false;

SkinPicture* Pic(MenuPicture p) {
    return PicturePresent(g_pictures[p].get()) ? g_pictures[p].get() : nullptr;
}

int MenuItemHeight(const UiTheme& theme) {
    return PictureHeight(Pic(kItem)) * (theme.large ? 2 : 1);
}

}  // namespace

void LoadMenuImages() {
    const char* files[kPictureCount] = {"menu_nr.png", "menu_ov.png", "menusub_nr.png",
                                        "menusub_ov.png"};
    for (int i = 0; i < kPictureCount; ++i) g_pictures[i] = LoadSkinPicture(SkinPath(files[i]));
}

void FreeMenuImages() {
    ClosePopup();
    for (auto& p : g_pictures) p.reset();
}

CMenuDlg* GetOpenPopup() {
    return g_popup;
}

int OpenPopup(HWND owner, int count, int width, int x, int y, COLORREF normal, COLORREF hover,
              int tag, const MenuEntry* entries, const UiTheme* theme) {
    if (!owner || !entries || count <= 0) return 0;
    ClosePopup();
    g_creatingPopup = true;
    const UiTheme look = theme ? *theme : UiTheme{};
    auto* menu = new CMenuDlg(owner, false, look);
    g_popup = menu;
    int itemHeight = MenuItemHeight(look);
    if (itemHeight == 0) {
        platform::ShowMessageBox("Menu item height is 0", "Warring", platform::kMbOk,
                                 reinterpret_cast<platform::WindowHandle>(owner));
    }
    const bool shown = menu->Open(entries, count, width, x, y, normal, hover, tag, itemHeight);
    g_creatingPopup = false;
    if (!shown && g_popup == menu) {
        ClosePopup();
        return 0;
    }
    return shown ? 1 : 0;
}

void ClosePopup() {
    if (g_creatingPopup || !g_popup) return;
    CMenuDlg* menu = g_popup;
    g_popup = nullptr;
    delete menu;
}

CMenuDlg::CMenuDlg(HWND owner, bool isSubMenu, const UiTheme& theme)
    : m_owner(owner), m_isSub(isSubMenu), m_theme(theme) {}

CMenuDlg::~CMenuDlg() {
    CloseSubMenu();
    if (m_hWnd) ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    DestroyWindow();
}

bool CMenuDlg::OnMouse(UINT msg, POINT pt, WPARAM) {
    switch (msg) {
        case WM_MOUSEMOVE:
            OnMouseMove(pt.x, pt.y);
            return true;
        case WM_LBUTTONUP:
            OnLButtonUp();
            return true;
        default:
            return false;
    }
}

void CMenuDlg::OnPaint(CMemPaint& buf) {
    Render(buf.dc());
}

bool CMenuDlg::Open(const MenuEntry* entries, int count, int width, int x, int y, COLORREF normal,
                    COLORREF hover, int tag, int itemHeight) {
    m_model.Set(entries, static_cast<size_t>(count), x, y, width, itemHeight, m_border);
    m_width = width;
    m_tag = tag;
    m_clrNr = normal;
    m_clrOv = hover;
    SetBufferedPaint(true);
    m_font = UiFont(m_theme.font, m_theme.FontHeight(), FW_NORMAL);
    const ZvRect& w = m_model.WindowRect();
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"", WS_POPUP,
                  RECT{w.left, w.top, w.right, w.bottom}, ::GetAncestor(m_owner, GA_ROOT), 0)) {
        return false;
    }
    // Shown without taking the focus: the control that opened it keeps the keys and hands
    // them over (OnKey). Keys sent to the menu window itself stay swallowed as ever.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, w.left, w.top, w.right - w.left, w.bottom - w.top,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    return true;
}

AccessibleInfo CMenuDlg::Describe() const {
    AccessibleInfo i;
    i.role = ROLE_SYSTEM_MENUPOPUP;
    if (m_hovered >= 0 && static_cast<size_t>(m_hovered) < m_model.TopCount()) {
        i.name = MenuEntryText(m_model.Entries()[static_cast<size_t>(m_hovered)]);
        i.checked = m_hovered == m_marked;
        i.hasValue = true;
        i.value = std::to_string(m_hovered + 1) + " / " + std::to_string(m_model.TopCount());
    }
    return i;
}

void CMenuDlg::SetMarked(int item) {
    if (item == m_marked) return;
    m_marked = item;
    Invalidate();
}

void CMenuDlg::HighlightChanged() {
    if (m_hWnd) ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CMenuDlg::CloseSubMenu() {
    if (g_creatingSubMenu) return;
    m_sub.reset();
}

void CMenuDlg::OpenSubMenu(int item) {
    const std::vector<MenuEntry> children = m_model.Children(static_cast<size_t>(item));
    if (children.empty()) return;
    const ZvPoint at = m_model.SubMenuOrigin(static_cast<size_t>(item), children.size());
    g_creatingSubMenu = true;
    m_sub = std::make_unique<CMenuDlg>(m_hWnd, true, m_theme);
    m_sub->m_textOffset = m_textOffset;
    if (!m_sub->Open(children.data(), static_cast<int>(children.size()), m_width, at.x, at.y,
                     m_clrNr, m_clrOv, item, m_model.ItemHeight())) {
        m_sub.reset();
    }
    g_creatingSubMenu = false;
}

void CMenuDlg::OnMouseMove(int x, int y) {
    const int hit = m_model.HitTest(x, y);
    if (hit == m_hovered) return;
    m_hovered = hit;
    m_keysInSub = false;
    Invalidate();
    HighlightChanged();
    CloseSubMenu();
    if (!m_isSub && hit >= 0 && m_model.HasChildren(static_cast<size_t>(hit))) OpenSubMenu(hit);
}

void CMenuDlg::OnLButtonUp() {
    Choose();
}

void CMenuDlg::SetHovered(int item) {
    if (item == m_hovered) return;
    m_hovered = item;
    m_keysInSub = false;
    CloseSubMenu();
    Invalidate();
    HighlightChanged();
}

bool CMenuDlg::OnKey(UINT vk) {
    if (m_sub && m_keysInSub) {
        if (vk == VK_LEFT || vk == VK_ESCAPE) {
            // Back to this menu's entry; the sub-menu closes as the pointer leaving it would.
            m_keysInSub = false;
            CloseSubMenu();
            return true;
        }
        return m_sub->OnKey(vk);
    }
    const auto count = static_cast<int32_t>(m_model.TopCount());
    const bool hasSub =
        !m_isSub && m_hovered >= 0 && m_model.HasChildren(static_cast<size_t>(m_hovered));
    switch (vk) {
        case VK_UP:
            SetHovered(MenuKeyIndex(StepKey::kLess, m_hovered, count));
            return true;
        case VK_DOWN:
            SetHovered(MenuKeyIndex(StepKey::kMore, m_hovered, count));
            return true;
        case VK_HOME:
            SetHovered(MenuKeyIndex(StepKey::kFirst, m_hovered, count));
            return true;
        case VK_END:
            SetHovered(MenuKeyIndex(StepKey::kLast, m_hovered, count));
            return true;
        case VK_RIGHT:
        case VK_RETURN:
        case VK_SPACE:
            if (hasSub) {
                OpenSubMenu(m_hovered);
                if (m_sub) {
                    m_keysInSub = true;
                    m_sub->SetHovered(0);
                }
                return true;
            }
            if (vk != VK_RIGHT) Choose();
            return true;
        case VK_LEFT:
            return true;
        case VK_ESCAPE:
            if (!m_isSub) ClosePopup();
            return true;
        default:
            return false;
    }
}

void CMenuDlg::Choose() {
    if (m_hovered < 0 || static_cast<size_t>(m_hovered) >= m_model.TopCount()) return;
    if (!m_isSub && m_model.HasChildren(static_cast<size_t>(m_hovered))) return;
    const MenuEntry& e = m_model.Entries()[static_cast<size_t>(m_hovered)];
    ::PostMessageW(m_owner, WM_MENU_RESULT, e.value, m_tag);
}

bool CMenuDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_SYSKEYDOWN ||
        msg->message == WM_SYSKEYUP) {
        return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_F1;
    }
    return false;
}

LRESULT CMenuDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MENU_RESULT:
            // From the sub-menu: the owner hears of it under this menu's tag.
            ::PostMessageW(m_owner, WM_MENU_RESULT, wp, m_tag);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_F1) return 0;
            break;
        case WM_HELP:
            return TRUE;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            break;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

void CMenuDlg::Render(HDC dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int grow = m_theme.large ? 1 : 0;
    {
        Gdiplus::Graphics g(dc);
        if (Pic(kItem)) {
            Gdiplus::SolidBrush bkg(
                Gdiplus::Color(255, GetRValue(m_clrBkg), GetGValue(m_clrBkg), GetBValue(m_clrBkg)));
            g.FillRectangle(&bkg, 0, 0, client.right, client.bottom);
            for (size_t k = 0; k < m_model.TopCount(); ++k) {
                const bool hot = static_cast<int>(k) == m_hovered;
                SkinPicture* p = hot ? Pic(kItemHot) : Pic(kItem);
                if (!m_isSub && m_model.HasChildren(k)) {
                    SkinPicture* sub = hot ? Pic(kSubItemHot) : Pic(kSubItem);
                    if (sub) p = sub;
                }
                if (!p) p = Pic(kItem);
                RECT r = ToRect(m_model.ItemRect(k));
                r.right += grow;
                r.bottom += grow;
                DrawPictureStretched(g, p, r);
            }
        } else {
            HBRUSH bkg = ::CreateSolidBrush(m_clrBkg);
            ::FillRect(dc, &client, bkg);
            ::DeleteObject(bkg);
            if (m_hovered >= 0) {
                HBRUSH hot = ::CreateSolidBrush(m_clrHot);
                RECT r = ToRect(m_model.ItemRect(static_cast<size_t>(m_hovered)));
                ::FillRect(dc, &r, hot);
                ::DeleteObject(hot);
            }
        }
    }
    if (m_marked >= 0 && static_cast<size_t>(m_marked) < m_model.TopCount()) {
        RECT r = ToRect(m_model.ItemRect(static_cast<size_t>(m_marked)));
        const int inset = m_theme.large ? 6 : 3;
        r.left += inset;
        r.right = r.left + inset;
        r.top += inset;
        r.bottom -= inset;
        HBRUSH bar = ::CreateSolidBrush(m_theme.mark);
        ::FillRect(dc, &r, bar);
        ::DeleteObject(bar);
    }
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS |
                        (m_textOffset == 0 ? DT_CENTER : DT_LEFT);
    for (int pass = 0; pass < 2; ++pass) {
        // The hovered item last, in its own colour.
        for (size_t k = 0; k < m_model.TopCount(); ++k) {
            const bool hot = static_cast<int>(k) == m_hovered;
            if (hot != (pass == 1)) continue;
            RECT r = ToRect(m_model.ItemRect(k));
            if (m_textOffset != 0) r.left += m_textOffset;
            DrawSkinText(dc, MenuEntryText(m_model.Entries()[k]), r, hot ? m_clrOv : m_clrNr,
                         m_font.get(), format);
        }
    }
    if (m_border == 1) {
        HBRUSH frame = ::CreateSolidBrush(m_clrBorder);
        ::FrameRect(dc, &client, frame);
        ::DeleteObject(frame);
    } else if (m_border >= 2) {
        HPEN pen = ::CreatePen(PS_SOLID, m_border * 2, m_clrBorder);
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, 0, 0, client.right, client.bottom);
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    }
}
