#include "controls/win/png_btn.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>

#include "controls/button_model.h"
#include "controls/skin_paths.h"
#include "controls/win/focus_nav.h"
#include "controls/win/menu_dlg.h"
#include "platform/win/wide.h"
#include "platform/window.h"

CPngBtn::CPngBtn() = default;

CPngBtn::~CPngBtn() {
    if (m_tooltip && ::IsWindow(m_tooltip)) ::DestroyWindow(m_tooltip);
    DestroyWindow();
    if (m_clip) ::DeleteObject(m_clip);
}

bool CPngBtn::Create(HWND parent, const PngBtnArgs& args, const UiTheme& theme) {
    m_theme = theme;
    m_font = UiFont(theme.font, theme.FontHeight(), FW_NORMAL);
    m_clrNr = theme.buttonNormal;
    m_clrOv = theme.buttonHover;
    m_clrDn = theme.buttonPressed;
    m_debugFrame = theme.debugFrames;
    if (!CreateWindowOnly(parent, args)) return false;
    const int w = args.rc.right - args.rc.left, h = args.rc.bottom - args.rc.top;
    if (args.normal || args.hover || args.pressed) {
        const bool whole = ::IsRectEmpty(&args.cut);
        const RECT cut =
            whole ? RECT{0, 0, PictureWidth(args.normal), PictureHeight(args.normal)} : args.cut;
        SetImages(cut, args.normal, args.hover, args.pressed);
    }
    if (args.background) {
        if (args.backgroundAt) {
            m_bkg = CropPicture(args.background, args.backgroundAt->x, args.backgroundAt->y, w, h);
        } else {
            m_bkg = PictureOfPart(args.background, args.rc);
        }
    }
    m_textOffset = args.textOffset;
    m_checkable = args.checkable;
    m_toggle = args.toggleOnClick;
    m_pressShift = args.pressShift;
    m_stretch = args.stretch;
    if (args.onClick) m_onClick = args.onClick;
    m_tabStop = args.tabStop;
    m_role = args.role;
    if (!args.accName.empty()) SetAccessibleName(args.accName);
    if (args.tooltip && !args.caption.empty()) SetTooltip(args.caption);
    return true;
}

bool CPngBtn::CreateWindowOnly(HWND parent, const PngBtnArgs& args) {
    m_text = args.caption;
    // Shown only once this object hears its messages: the system button erases a new visible
    // button with its own light colour, which stayed on screen as a white block until the
    // window painted again (during a device's first read, seconds later).
    if (!CreateControl(L"BUTTON", platform::win::Widen(args.caption), WS_CHILD | BS_OWNERDRAW,
                       args.rc, parent, args.id)) {
        return false;
    }
    if (args.visible) ::ShowWindow(m_hWnd, SW_SHOWNA);
    return true;
}

HBRUSH CPngBtn::OnReflectCtlColor(UINT msg, HDC dc) {
    if (msg != WM_CTLCOLORBTN) return CWndBase::OnReflectCtlColor(msg, dc);
    // Whatever the system fills with it leaves the face as drawn.
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CPngBtn::OnReflectCommand(UINT code) {
    if (code != BN_CLICKED || !m_onClick) return false;
    // A copy: the callback may give the button another one.
    const std::function<void()> fn = m_onClick;
    fn();
    return true;
}

UINT CPngBtn::ControlId() const {
    return m_hWnd ? static_cast<UINT>(::GetDlgCtrlID(m_hWnd)) : 0;
}

bool CPngBtn::TakesTab() const {
    if (m_tabStop) return *m_tabStop;
    // A button with a face of its own is pressed (its owner may hear of it through a command
    // handler rather than a callback); a bare caption with nothing to do is a label.
    return m_onClick || m_checkable || m_dblReport || PicturePresent(m_nr.get());
}

bool CPngBtn::WantsKey(UINT vk) const {
    if (GetOpenPopup()) return true;
    if (vk == VK_SPACE || vk == VK_RETURN) return TakesTab();
    const bool arrow = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN;
    return arrow && FocusGroup() != 0;
}

bool CPngBtn::KeyPress() {
    if (m_disabledLook || !m_hWnd) return false;
    if (m_dblReport && !m_onClick) {
        ::PostMessageW(::GetParent(m_hWnd), WM_PNGBTN_DBLCLK, reinterpret_cast<WPARAM>(m_hWnd),
                       m_dblTag);
        return true;
    }
    if (m_checkable && m_toggle) {
        m_checked = !m_checked;
        Invalidate();
    }
    // The click the system would send on the button's release.
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(ControlId(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
    return true;
}

bool CPngBtn::OnKeyDown(UINT vk) {
    // An open menu (opened from here, or by the page for this row) takes the keys first.
    if (CMenuDlg* menu = GetOpenPopup(); menu && menu->OnKey(vk)) return true;
    switch (vk) {
        case VK_SPACE:
        case VK_RETURN:
            return TakesTab() && KeyPress();
        case VK_LEFT:
        case VK_UP:
            return StepFocusGroup(m_hWnd, -1);
        case VK_RIGHT:
        case VK_DOWN:
            return StepFocusGroup(m_hWnd, +1);
        default:
            return false;
    }
}

AccessibleInfo CPngBtn::Describe() const {
    AccessibleInfo i;
    // A row names itself and shows its function: "Button 2: Right click".
    const std::string& own = AccessibleName();
    i.name = own.empty() ? m_text : m_text.empty() || m_text == own ? own : own + ": " + m_text;
    i.role = m_role;
    if (i.role == 0) {
        if (FocusGroup() != 0) {
            i.role = ROLE_SYSTEM_RADIOBUTTON;
        } else if (m_checkable) {
            i.role = ROLE_SYSTEM_CHECKBUTTON;
        } else {
            i.role = TakesTab() ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_STATICTEXT;
        }
    }
    i.checked = m_checkable && m_checked;
    i.disabled = m_disabledLook;
    return i;
}

void CPngBtn::SetImages(const RECT& rc, SkinPicture* normal, SkinPicture* hover,
                        SkinPicture* pressed) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    // Most buttons give one picture for several states: it is cut once and held once.
    m_nr = CropPicture(normal, rc.left, rc.top, w, h);
    m_ov = hover == normal ? m_nr : CropPicture(hover, rc.left, rc.top, w, h);
    m_dn = pressed == normal  ? m_nr
           : pressed == hover ? m_ov
                              : CropPicture(pressed, rc.left, rc.top, w, h);
    m_disabled = m_nr;
    if (m_hWnd) {
        LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                            style & ~static_cast<LONG_PTR>(WS_BORDER | WS_TABSTOP));
        Invalidate();
    }
}

void CPngBtn::SetText(const std::string& text, int leftOffset) {
    m_text = text;
    m_textOffset = leftOffset;
    if (m_hWnd) {
        ::SetWindowTextW(m_hWnd, platform::win::Widen(text).c_str());
        Invalidate();
    }
}

void CPngBtn::SetCheck(bool on) {
    if (m_checked == on) return;
    m_checked = on;
    Invalidate();
}

void CPngBtn::SetTooltip(const std::string& text) {
    if (!m_hWnd) return;
    const std::wstring w = platform::win::Widen(text);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = 0;  // the button relays its mouse messages itself
    ti.hwnd = m_hWnd;
    ti.uId = 1;
    ::GetClientRect(m_hWnd, &ti.rect);
    ti.lpszText = const_cast<wchar_t*>(w.c_str());
    if (!m_tooltip) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        m_tooltip = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AppInstance(), nullptr);
        if (!m_tooltip) return;
    }
    if (::SendMessageW(m_tooltip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ::SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
}

void CPngBtn::SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed) {
    m_clrNr = normal;
    m_clrOv = hover;
    m_clrDn = pressed;
    Invalidate();
}

void CPngBtn::SetFont(HFONT font) {
    m_font = UiFont::Shared(font);
    Invalidate();
}

void CPngBtn::SetIcon(PicturePtr icon, int x) {
    m_icon = std::move(icon);
    m_iconX = x;
    Invalidate();
}

void CPngBtn::SetTextRect(const RECT* rc) {
    m_hasTextRect = rc != nullptr;
    if (rc) m_textRect = *rc;
    Invalidate();
}

void CPngBtn::SetDisabledLook(bool on) {
    m_disabledLook = on;
    Invalidate();
}

void CPngBtn::SetDoubleClickReport(bool on, LPARAM tag) {
    m_dblReport = on;
    m_dblTag = tag;
}

void CPngBtn::SetLinkedLook(bool on) {
    if (m_linked == on) return;
    m_linked = on;
    Invalidate();
}

void CPngBtn::SetClipRegion(HRGN rgn) {
    if (m_clip) ::DeleteObject(m_clip);
    m_clip = rgn;
}

LRESULT CPngBtn::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_tooltip && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        MSG m{m_hWnd, msg, wp, lp, 0, {}};
        ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    }
    switch (msg) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wp))) return 0;
            break;
        case WM_KEYUP:
        case WM_CHAR:
            // The press happened on the key going down; the system's own click on Space's
            // release would be a second one.
            if (wp == VK_SPACE || wp == VK_RETURN || wp == ' ' || wp == '\r') return 0;
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_MOUSEMOVE:
            if (!m_hover) {
                m_hover = true;
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
                ::TrackMouseEvent(&tme);
                Invalidate();
            }
            break;
        case WM_MOUSELEAVE:
            m_hover = false;
            Invalidate();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (m_onFocus) m_onFocus(msg == WM_SETFOCUS);
            break;
        case WM_LBUTTONDOWN:
            if (m_disabledLook) return 0;
            if (m_checkable && m_toggle) {
                m_checked = !m_checked;
                Invalidate();
            }
            break;
        case WM_LBUTTONUP:
            if (m_disabledLook) return 0;
            break;
        case WM_LBUTTONDBLCLK:
            if (m_disabledLook) return 0;
            if (m_dblReport) {
                ::PostMessageW(::GetParent(m_hWnd), WM_PNGBTN_DBLCLK,
                               reinterpret_cast<WPARAM>(m_hWnd), m_dblTag);
            }
            break;
        default:
            break;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

void CPngBtn::OnDrawItem(DRAWITEMSTRUCT* dis) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    CMemPaint buf(dis->hDC, rc.right, rc.bottom);
    Render(buf.dc(), (dis->itemState & ODS_SELECTED) != 0, (dis->itemState & ODS_DISABLED) != 0);
    buf.Flush(m_clip);
    if (m_debugFrame) {
        HBRUSH frame = ::CreateSolidBrush(RGB(10, 0, 255));
        ::FrameRect(dis->hDC, &rc, frame);
        ::DeleteObject(frame);
    }
}

void CPngBtn::DrawFace(Gdiplus::Graphics& g, SkinPicture* p, int w, int h) {
    if (!PicturePresent(p)) return;
    if (m_stretch) {
        RECT rc{0, 0, w, h};
        DrawPictureStretched(g, p, rc);
    } else {
        DrawPicture(g, p, 0, 0);
    }
}

void CPngBtn::Render(HDC dc, bool pressed, bool itemDisabled) {
    RECT rc{0, 0, 0, 0};
    if (m_hWnd) ::GetClientRect(m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom;
    {
        Gdiplus::Graphics g(dc);
        Gdiplus::SolidBrush clear(Gdiplus::Color(255, 0, 0, 0));
        g.FillRectangle(&clear, 0, 0, w, h);
        DrawFace(g, m_bkg.get(), w, h);

        ButtonDrawState s;
        s.checkable = m_checkable;
        s.checked = m_checked;
        s.hovering = m_hover || m_linked;
        s.pressed = pressed;
        s.itemDisabled = itemDisabled;
        s.hasAltPressed = PicturePresent(m_alt.get());
        const ButtonLook look = ChooseButtonLook(s);
        SkinPicture* face = m_nr.get();
        switch (look.face) {
            case ButtonFace::kHover:
                face = m_ov.get();
                break;
            case ButtonFace::kPressed:
                face = m_dn.get();
                break;
            case ButtonFace::kDisabled:
                face = m_disabled.get();
                break;
            case ButtonFace::kAltPressed:
                face = m_alt.get();
                break;
            case ButtonFace::kNormal:
                break;
        }
        DrawFace(g, face, w, h);
        const bool shift = m_pressShift && pressed;
        if (!m_checkable && PicturePresent(m_icon.get())) {
            const int ih = PictureHeight(m_icon.get());
            DrawPicture(g, m_icon.get(), m_iconX - (shift ? 1 : 0), (h - ih) / 2 + (shift ? 1 : 0));
        }
        // The veil goes under the caption, not over it: a button that does not answer must
        // still say what it is.
        if (m_disabledLook) {
            Gdiplus::SolidBrush veil(
                Gdiplus::Color(static_cast<BYTE>(kDisabledVeilAlpha), GetRValue(kDisabledVeil),
                               GetGValue(kDisabledVeil), GetBValue(kDisabledVeil)));
            g.FillRectangle(&veil, 0, 0, w, h);
        }
        COLORREF colour = look.colour == ButtonTextColour::kHover     ? m_clrOv
                          : look.colour == ButtonTextColour::kPressed ? m_clrDn
                                                                      : m_clrNr;
        if (m_disabledLook) colour = kDisabledCaption;
        if (!m_text.empty()) {
            const RECT area = m_hasTextRect ? m_textRect : rc;
            const CaptionPlacement cp =
                PlaceCaption({area.left, area.top, area.right, area.bottom}, m_textOffset, shift);
            UINT format = m_format;
            if (format == 0) {
                format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS |
                         (cp.centred ? DT_CENTER : DT_LEFT);
            }
            g.Flush();
            DrawSkinText(dc, m_text, ToRect(cp.rect), colour, m_font.get(), format);
        }
    }
    if (m_hWnd && ::GetFocus() == m_hWnd && TakesTab())
        DrawFocusRing(dc, rc, m_theme.focus, m_theme.large ? 4 : 2);
}

// ---- combo button ---------------------------------------------------------------

bool CComboBtn::SelectIndex(int i) {
    if (!m_model.SelectIndex(i)) return false;
    SetText(m_model.Caption(), m_textOffset);
    return true;
}

int CComboBtn::SelectValue(int32_t v) {
    if (!m_model.SelectValue(v)) return 0;
    SetText(m_model.Caption(), m_textOffset);
    return 1;
}

bool CComboBtn::Create(HWND parent, const ComboBtnArgs& args, const UiTheme& theme) {
    PngBtnArgs button = args.button;
    button.onClick = nullptr;  // the combo reports choices, not clicks
    if (!CPngBtn::Create(parent, button, theme)) return false;
    m_popupWidth = args.popupWidth;
    m_placement = args.placement;
    m_textOffset = args.textOffset;
    m_popupDisabled = args.popupDisabled;
    m_reselectNoChange = args.reselectIsNoChange;
    m_permission = args.permission;
    m_onChange = args.onChange;
    return true;
}

bool CComboBtn::OnReflectCommand(UINT) {
    // The system never clicks a combo (it swallows presses): its only notice is the one it
    // sends itself for a choice it took.
    if (!m_choiceTaken) return false;
    m_choiceTaken = false;
    if (!m_onChange) return false;
    const std::function<void(int32_t)> fn = m_onChange;
    fn(GetValue());
    return true;
}

LRESULT CComboBtn::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        // The combo never shows the system's pressed state: it opens its list on release.
        case WM_LBUTTONDOWN:
            // Pressed by the pointer, the combo still takes the focus, so its keys follow.
            if (!GetDisabledLook()) ::SetFocus(m_hWnd);
            return 0;
        case WM_ERASEBKGND:
        case WM_LBUTTONDBLCLK:
            return msg == WM_ERASEBKGND ? TRUE : 0;
        case WM_LBUTTONUP:
            if (GetDisabledLook()) return 0;
            if (GetOpenPopup()) {
                ClosePopup();
            } else {
                OpenList();
            }
            return 0;
        case WM_MENU_RESULT:
            OnMenuResult(static_cast<int32_t>(wp));
            return 0;
        default:
            break;
    }
    return CPngBtn::WindowProc(msg, wp, lp);
}

bool CComboBtn::WantsKey(UINT vk) const {
    return GetOpenPopup() || vk == VK_SPACE || vk == VK_RETURN || vk == VK_DOWN;
}

bool CComboBtn::KeyPress() {
    if (GetDisabledLook()) return false;
    if (GetOpenPopup()) {
        ClosePopup();
        return true;
    }
    OpenList();
    if (CMenuDlg* menu = GetOpenPopup()) menu->SetHovered(m_model.SelectedIndex());
    return true;
}

bool CComboBtn::OnKeyDown(UINT vk) {
    if (CMenuDlg* menu = GetOpenPopup(); menu && menu->OnKey(vk)) return true;
    if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_DOWN) return KeyPress();
    return false;
}

AccessibleInfo CComboBtn::Describe() const {
    AccessibleInfo i = CPngBtn::Describe();
    i.name = AccessibleName();
    i.role = ROLE_SYSTEM_COMBOBOX;
    i.checked = false;
    i.hasValue = true;
    i.value = GetText();
    return i;
}

void CComboBtn::OpenList() {
    if (m_popupDisabled) return;
    const std::vector<MenuEntry> entries = m_model.MenuEntries();
    if (entries.empty()) return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const ZvPoint at = ComboPopupOrigin({rc.left, rc.top, rc.right, rc.bottom}, entries.size(),
                                        ::GetSystemMetrics(SM_CYFULLSCREEN), m_placement);
    const int width = m_popupWidth > 0 ? m_popupWidth : rc.right - rc.left;
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), width, at.x, at.y, Theme().menuNormal,
              Theme().menuHover, m_model.ActiveList(), entries.data(), &Theme());
}

void CComboBtn::OnMenuResult(int32_t value) {
    ClosePopup();
    const bool permitted = !m_permission || m_permission();
    if (m_model.Accept(value, permitted, m_reselectNoChange) != ComboModel::Choice::kAccepted) {
        return;
    }
    SetText(m_model.Caption(), m_textOffset);
    // The parent hears of the choice as ever and hands the notice back for the callback; a
    // parent that does not hand it back still gets the callback called here.
    m_choiceTaken = true;
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(ControlId(), 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
    if (m_choiceTaken) {
        m_choiceTaken = false;
        if (m_onChange) {
            const std::function<void(int32_t)> fn = m_onChange;
            fn(GetValue());
        }
    }
}

// ---- factories ------------------------------------------------------------------

namespace {

void Warn(const char* factory, const std::string& file) {
    char text[600];
    std::snprintf(text, sizeof text, "%s. file %s not exist", factory, file.c_str());
    platform::ShowMessageBox(text, "Warrning");
}

// Loads normal, hover and pressed; on the first that does not load, warns and gives false.
bool LoadThree(const char* factory, const SkinButtonFiles& files, PicturePtr out[3]) {
    const std::string* names[3] = {&files.normal, &files.hover, &files.pressed};
    for (int i = 0; i < 3; ++i) {
        const std::string path = SkinPath(*names[i]);
        // A file named for several states is decoded once.
        if (i > 0 && *names[i] == *names[i - 1]) {
            out[i] = out[i - 1];
            continue;
        }
        if (i > 1 && *names[i] == *names[0]) {
            out[i] = out[0];
            continue;
        }
        out[i] = SharedSkinPicture(path);
        if (!PicturePresent(out[i].get())) {
            Warn(factory, path);
            for (int j = 0; j <= i; ++j) out[j].reset();
            return false;
        }
    }
    return true;
}

bool AnyMissing(const SkinButtonFiles& f) {
    return f.normal.empty() || f.hover.empty() || f.pressed.empty();
}

// Creates the button from loaded pictures with the factories' look.
int CreateFromPictures(CPngBtn* btn, HWND owner, PngBtnArgs& args, PicturePtr pics[3],
                       const UiTheme& theme) {
    args.normal = pics[0].get();
    args.hover = pics[1].get();
    args.pressed = pics[2].get();
    args.cut = RECT{0, 0, PictureWidth(pics[0].get()), PictureHeight(pics[0].get())};
    args.stretch = theme.large;
    return btn->Create(owner, args, theme) ? 1 : 0;
}

}  // namespace

int NewSmallPngButton3(CPngBtn* btn, HWND owner, const SkinButtonFiles& files, PngBtnArgs args,
                       const UiTheme& theme) {
    if (!btn || AnyMissing(files)) return 0;
    PicturePtr pics[3];
    if (!LoadThree("NewSmallPngButton3", files, pics)) return 0;
    const int w = PictureWidth(pics[0].get()), h = PictureHeight(pics[0].get());
    args.rc = RECT{args.rc.left, args.rc.top, args.rc.left + w, args.rc.top + h};
    if (!args.backgroundAt) args.backgroundAt = POINT{0, 0};
    return CreateFromPictures(btn, owner, args, pics, theme);
}

int NewSmallPngButton(CPngBtn* btn, HWND owner, const SkinButtonFiles& files, PngBtnArgs args,
                      const UiTheme& theme) {
    if (!btn || AnyMissing(files)) return 0;
    PicturePtr pics[3];
    if (!LoadThree("NewSmallPngButton", files, pics)) return 0;
    const int w = PictureWidth(pics[0].get()), h = PictureHeight(pics[0].get());
    if (!theme.large) args.rc = RECT{args.rc.left, args.rc.top, args.rc.left + w, args.rc.top + h};
    args.backgroundAt.reset();  // cut at the button's own rectangle
    return CreateFromPictures(btn, owner, args, pics, theme);
}

int NewPngButton(CPngBtn* btn, HWND owner, PngBtnArgs args, const UiTheme& theme) {
    if (!btn) return 0;
    args.cut = args.rc;
    args.stretch = theme.large;
    return btn->Create(owner, args, theme) ? 1 : 0;
}
