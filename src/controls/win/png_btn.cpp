#include "controls/win/png_btn.h"

#include <commctrl.h>

#include <cstdio>

#include "app/gvar.h"
#include "controls/button_model.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "platform/win/wide.h"
#include "platform/window.h"

CPngBtn::CPngBtn() = default;

CPngBtn::~CPngBtn() {
    if (m_tooltip && ::IsWindow(m_tooltip)) ::DestroyWindow(m_tooltip);
    DestroyWindow();
    if (m_clip) ::DeleteObject(m_clip);
    if (m_ownFont && m_font) ::DeleteObject(m_font);
}

bool CPngBtn::Create(const std::string& caption, const RECT& rc, HWND parent, UINT id) {
    m_text = caption;
    if (!m_font) {
        m_font = MakeUiFont(gVar.b4K ? 24 : 14, FW_NORMAL, &m_ownFont);
    }
    return CreateControl(L"BUTTON", platform::win::Widen(caption),
                         WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, parent, id);
}

UINT CPngBtn::ControlId() const {
    return m_hWnd ? static_cast<UINT>(::GetDlgCtrlID(m_hWnd)) : 0;
}

void CPngBtn::SetImages(const RECT& rc, SkinPicture* normal, SkinPicture* hover,
                        SkinPicture* pressed) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    m_nr = CropPicture(normal, rc.left, rc.top, w, h);
    m_ov = CropPicture(hover, rc.left, rc.top, w, h);
    m_dn = CropPicture(pressed, rc.left, rc.top, w, h);
    m_disabled = CropPicture(normal, rc.left, rc.top, w, h);
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
    if (m_ownFont && m_font) ::DeleteObject(m_font);
    m_font = font;
    m_ownFont = false;
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
        s.hovering = m_hover;
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
        const COLORREF colour = look.colour == ButtonTextColour::kHover     ? m_clrOv
                                : look.colour == ButtonTextColour::kPressed ? m_clrDn
                                                                            : m_clrNr;
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
            DrawSkinText(dc, m_text, ToRect(cp.rect), colour, m_font, format);
        }
        if (m_disabledLook) {
            Gdiplus::Graphics veil(dc);
            Gdiplus::SolidBrush brush(Gdiplus::Color(220, 80, 80, 80));
            veil.FillRectangle(&brush, 0, 0, w, h);
        }
    }
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

void CComboBtn::SetPermission(ComboPermission check, void* userData) {
    m_permission = check;
    m_permissionData = userData;
}

LRESULT CComboBtn::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        // The combo never shows the system's pressed state: it opens its list on release.
        case WM_ERASEBKGND:
        case WM_LBUTTONDOWN:
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

void CComboBtn::OpenList() {
    if (m_popupDisabled) return;
    const std::vector<MenuEntry> entries = m_model.MenuEntries();
    if (entries.empty()) return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const ZvPoint at = ComboPopupOrigin({rc.left, rc.top, rc.right, rc.bottom}, entries.size(),
                                        ::GetSystemMetrics(SM_CYFULLSCREEN), m_placement);
    const int width = m_popupWidth > 0 ? m_popupWidth : rc.right - rc.left;
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), width, at.x, at.y, gVar.Menu_txt_clr_nr,
              gVar.Menu_txt_clr_ov, m_model.ActiveList(), entries.data());
}

void CComboBtn::OnMenuResult(int32_t value) {
    ClosePopup();
    const bool permitted = !m_permission || m_permission(m_permissionData) != 0;
    if (m_model.Accept(value, permitted, m_reselectNoChange) != ComboModel::Choice::kAccepted) {
        return;
    }
    SetText(m_model.Caption(), m_textOffset);
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(ControlId(), 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- factories ------------------------------------------------------------------

namespace {

void ApplyFactoryLook(CPngBtn* btn) {
    btn->SetTextColors(gVar.Btn_txt_clr_nr, gVar.Btn_txt_clr_ov, gVar.Btn_txt_clr_dn);
    if (gVar.hAppFont) btn->SetFont(reinterpret_cast<HFONT>(gVar.hAppFont));
    btn->SetDebugFrame(gVar.UIDebug != 0);
    btn->SetStretch(gVar.b4K != 0);
}

void Warn(const char* factory, const std::string& file) {
    char text[600];
    std::snprintf(text, sizeof text, "%s. file %s not exist", factory, file.c_str());
    platform::ShowMessageBox(text, "Warrning");
}

// Loads normal, hover and pressed; on the first that does not load, warns and gives false.
bool LoadThree(const char* factory, const char* nr, const char* ov, const char* dn,
               PicturePtr out[3]) {
    const char* files[3] = {nr, ov, dn};
    for (int i = 0; i < 3; ++i) {
        const std::string path = SkinPath(files[i]);
        out[i] = LoadSkinPicture(path);
        if (!PicturePresent(out[i].get())) {
            Warn(factory, path);
            for (int j = 0; j <= i; ++j) out[j].reset();
            return false;
        }
    }
    return true;
}

}  // namespace

int NewSmallPngButton3(const char* pressedFile, const char* normalFile, const char* hoverFile,
                       CPngBtn* btn, HWND owner, SkinPicture* background, const POINT* origin,
                       bool checkable, bool tooltip, const char* caption, int x, int y, UINT id) {
    if (!pressedFile || !normalFile || !hoverFile || !btn) return 0;
    PicturePtr pics[3];
    if (!LoadThree("NewSmallPngButton3", normalFile, hoverFile, pressedFile, pics)) return 0;
    const int w = PictureWidth(pics[0].get()), h = PictureHeight(pics[0].get());
    if (!btn->Create(caption ? caption : "", RECT{x, y, x + w, y + h}, owner, id)) return 0;
    ApplyFactoryLook(btn);
    btn->SetImages(RECT{0, 0, w, h}, pics[0].get(), pics[1].get(), pics[2].get());
    const int ox = origin ? origin->x : 0, oy = origin ? origin->y : 0;
    btn->SetBackground(CropPicture(background, ox, oy, w, h));
    btn->SetCheckable(checkable);
    if (caption) btn->SetText(caption);
    if (tooltip && caption) btn->SetTooltip(caption);
    return 1;
}

int NewSmallPngButton(const char* pressedFile, SkinPicture* background, HWND owner,
                      const char* normalFile, const char* hoverFile, CPngBtn* btn, bool checkable,
                      bool tooltip, const char* caption, const RECT& rc, UINT id) {
    if (!pressedFile || !normalFile || !hoverFile || !btn) return 0;
    PicturePtr pics[3];
    if (!LoadThree("NewSmallPngButton", normalFile, hoverFile, pressedFile, pics)) return 0;
    const int w = PictureWidth(pics[0].get()), h = PictureHeight(pics[0].get());
    const RECT place = gVar.b4K ? rc : RECT{rc.left, rc.top, rc.left + w, rc.top + h};
    if (!btn->Create(caption ? caption : "", place, owner, id)) return 0;
    ApplyFactoryLook(btn);
    btn->SetImages(RECT{0, 0, w, h}, pics[0].get(), pics[1].get(), pics[2].get());
    btn->SetBackground(CopyPictureRect(background, place));
    btn->SetCheckable(checkable);
    if (caption) btn->SetText(caption);
    if (tooltip && caption) btn->SetTooltip(caption);
    return 1;
}

int NewPngButton(CPngBtn* btn, const RECT& rc, SkinPicture* normal, SkinPicture* hover,
                 SkinPicture* pressed, bool checkable, const char* caption, HWND owner, UINT id) {
    if (!btn || !btn->Create(caption ? caption : "", rc, owner, id)) return 0;
    ApplyFactoryLook(btn);
    btn->SetImages(rc, normal, hover, pressed);
    btn->SetCheckable(checkable);
    if (caption) btn->SetText(caption);
    return 1;
}
