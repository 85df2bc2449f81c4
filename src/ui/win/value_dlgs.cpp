#include "ui/win/value_dlgs.h"

#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "profile/apply_thread.h"
#include "ui/buttons_page_model.h"

PageChange CValueDlg::Store(const std::function<PageChange(ProfileFile&)>& edit) {
    PageChange c;
    m_profile.EditCurrent([&](ProfileFile& p, int32_t&) { c = edit(p); });
    return c;
}

CValueDlg::~CValueDlg() {
    DestroyWindow();
}

bool CValueDlg::Create(HWND parent, const RECT& rc, SkinPicture* background, const UiTheme& theme) {
    m_theme = theme;
    PicturePtr time = LoadSkinPicture(SkinPath("key_time.png"));
    // The face: the page's picture under the control with the skin's control drawn over it.
    m_face = PicturePresent(background) ? CopyPictureRect(background, rc) : nullptr;
    if (m_face && PicturePresent(time.get())) {
        Gdiplus::Graphics g(m_face->bmp.get());
        DrawPictureStretched(
            g, time.get(),
            theme.Scale(RECT{0, 0, PictureWidth(time.get()), PictureHeight(time.get())}));
    } else if (!m_face) {
        m_face = std::move(time);
    }
    m_font = UiFont(theme.font, theme.FontHeight(), FW_NORMAL);
    SetBufferedPaint(true);
    if (!CreateEx(0, L"", WS_CHILD | WS_CLIPSIBLINGS, rc, parent, 0)) return false;
    auto button = [&](CPngBtn& b, UINT id, RECT at, bool up) {
        PngBtnArgs a;
        a.id = id;
        // The face is cut at the layout's place (doubled on large screens, like the face).
        a.rc = theme.Scale(at);
        a.normal = a.hover = a.pressed = m_face.get();
        a.cut = a.rc;
        a.background = m_face.get();
        a.pressShift = true;
        a.onClick = [this, up] { Press(up); };
        return b.Create(m_hWnd, a, theme);
    };
    return button(m_down, kIdDown, RECT{79, 5, 96, 25}, false) &&
           button(m_up, kIdUp, RECT{142, 5, 162, 25}, true);
}

void CValueDlg::SetCaption(const std::string& caption) {
    m_caption = caption;
    // The two buttons read as the setting they step, down and up.
    m_down.SetAccessibleName(caption + " -");
    m_up.SetAccessibleName(caption + " +");
    Invalidate();
}

void CValueDlg::ClearValue() {
    m_hasValue = false;
    Invalidate();
}

void CValueDlg::Press(bool up) {
    if (mayChange && !mayChange()) return;
    // Stepping from a value the mouse may not have would store a made-up one.
    if (!m_hasValue) return;
    const PageChange c = Step(up);
    Invalidate();
    if (c.Changed() && changed) changed(c);
}

void CValueDlg::OnPaint(CMemPaint& buf) {
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    buf.g().FillRectangle(&black, 0, 0, buf.width(), buf.height());
    if (PicturePresent(m_face.get()))
        DrawPictureStretched(buf.g(), m_face.get(), RECT{0, 0, buf.width(), buf.height()});
    const RECT caption = m_theme.Scale(RECT{0, 0, 79, 30});
    DrawSkinText(buf.dc(), m_caption, RECT{0, 0, caption.right, buf.height()}, m_theme.text,
                 m_font.get(), DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    DrawSkinText(buf.dc(), ValueText(), m_theme.Scale(RECT{97, 7, 141, 24}), m_theme.text,
                 m_font.get(), DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (m_theme.debugFrames) {
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        RECT all{0, 0, buf.width(), buf.height()};
        ::FrameRect(buf.dc(), &all, red);
        ::DeleteObject(red);
    }
}

LRESULT CValueDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) {
        // Dragging the control moves the main window, as dragging the page does.
        HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
        ::ReleaseCapture();
        ::SendMessageW(top, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

// ---- debounce ------------------------------------------------------------------------------

void CDebounceDlg::SetDebounceValue(int32_t ms) {
    m_ms = ms;
    m_hasValue = true;
    Invalidate();
}

std::string CDebounceDlg::ValueText() const {
    return m_hasValue ? DebounceText(m_ms) : kValueNotRead;
}

PageChange CDebounceDlg::Step(bool up) {
    const IntRange range = DebounceRange(m_options.DebounceRange);
    const int32_t next = DebounceStep(m_ms, up, range);
    if (next == m_ms) return {};
    if (!up && DebounceNeedsConfirm(m_ms, m_options.TipForDebounce) &&
        !(confirm && confirm(GetText("tc_debounce_tips"))))
        return {};
    m_ms = next;
    return Store([next, range](ProfileFile& p) { return SetDebounce(p, next, range); });
}

// ---- auto sleep ----------------------------------------------------------------------------

void CAutoSleepDlg::SetAutoSleepValue(int32_t tableValue) {
    const int pos = AutoSleepPosition(tableValue);
    if (pos < 0) return;
    m_pos = pos;
    m_hasValue = true;
    Invalidate();
}

int32_t CAutoSleepDlg::TableValue() const {
    return kAutoSleepTable[static_cast<size_t>(m_pos)];
}

std::string CAutoSleepDlg::ValueText() const {
    return m_hasValue ? AutoSleepText(TableValue()) : kValueNotRead;
}

PageChange CAutoSleepDlg::Step(bool up) {
    const int last = static_cast<int>(kAutoSleepTable.size()) - 1;
    const int next = up ? (m_pos < last ? m_pos + 1 : m_pos) : (m_pos > 0 ? m_pos - 1 : m_pos);
    if (next == m_pos) return {};
    m_pos = next;
    const int32_t v = TableValue();
    return Store([v](ProfileFile& p) { return SetAutoSleep(p, v); });
}
