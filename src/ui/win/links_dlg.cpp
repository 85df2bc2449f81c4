#include "ui/win/links_dlg.h"

#include <algorithm>

#include "base/language_texts.h"
#include "controls/menu_model.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "platform/win/wide.h"
#include "controls/win/skinned_dialog.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/program_follow.h"

namespace {
constexpr const char* kWindowTitle = "Zorvan linked programs";
constexpr POINT kCloseAt{365, 8};
constexpr RECT kTitle{20, 8, 340, 36};
constexpr int kRowsTop = 48, kRowH = 25, kLeft = 20, kRight = 380, kProfileLeft = 190;
constexpr RECT kRunning{20, 262, 226, 289};
constexpr RECT kByName{234, 262, 380, 289};
constexpr RECT kRemove{20, 301, 130, 328};
constexpr RECT kOk{204, 301, 288, 328};
constexpr RECT kCancel{296, 301, 380, 328};
// The popup menus' tags: a row's profile, or the running programs.
constexpr int kTagProfile = 1, kTagRunning = 2;

BOOL CALLBACK CollectProgram(HWND wnd, LPARAM lp) {
    if (!::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER)) return TRUE;
    auto* names = reinterpret_cast<std::vector<std::string>*>(lp);
    const std::string n = CProgramFollow::ProgramOfWindow(wnd);
    if (!n.empty()) names->push_back(n);
    return TRUE;
}
}  // namespace

CLinksDlg::CLinksDlg(ProgramLinks links) : m_editor(std::move(links)) {}

CLinksDlg::~CLinksDlg() {
    DestroyWindow();
}

RECT CLinksDlg::RowRect(int visibleRow) {
    const int top = kRowsTop + visibleRow * kRowH;
    return RECT{kLeft, top, kRight, top + kRowH};
}

RECT CLinksDlg::ProfileRect(int visibleRow) {
    RECT r = RowRect(visibleRow);
    r.left = kProfileLeft;
    return r;
}

bool CLinksDlg::CreateDialogWindow(HWND owner) {
    SetBufferedPaint(true);
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDCANCEL, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(IDOK, [this](UINT) { EndDialog(IDOK); });
    SetCommandHandler(kIdRunning, [this](UINT) { OpenRunningMenu(); });
    SetCommandHandler(kIdByName, [this](UINT) { AddByName(); });
    SetCommandHandler(kIdRemove, [this](UINT) {
        if (m_editor.RemoveSelected()) Changed();
    });
    switch (CreateSkinDialog(*this, owner, kWindowTitle, "msg2_nr.png", theme, &m_bkg)) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }
    m_font = UiFont(theme.font, theme.FontHeight(), FW_NORMAL);
    m_bold.Reset(::CreateFontW(theme.large ? 34 : 18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, FF_SWISS, L"MS Shell Dlg"));
    PicturePtr exitPic = LoadSkinPicture(SkinPath("exit_nr.png"));
    PicturePtr buttonPic = LoadSkinPicture(SkinPath("button2_nr.png"));
    auto makeButton = [&](CPngBtn& b, UINT id, const RECT& where, SkinPicture* pic,
                          const std::string& caption) {
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic;
        a.background = m_bkg.get();
        a.pressShift = true;
        b.Create(m_hWnd, a, theme);
    };
    const RECT closeRc{kCloseAt.x, kCloseAt.y, kCloseAt.x + PictureWidth(exitPic.get()),
                       kCloseAt.y + PictureHeight(exitPic.get())};
    makeButton(m_close, kIdClose, closeRc, exitPic.get(), "");
    makeButton(m_addRunning, kIdRunning, kRunning, buttonPic.get(), GetText("tc_links_running"));
    makeButton(m_addName, kIdByName, kByName, buttonPic.get(), GetText("tc_links_name"));
    makeButton(m_remove, kIdRemove, kRemove, buttonPic.get(), GetText("tc_links_remove"));
    makeButton(m_ok, IDOK, kOk, buttonPic.get(), GetText("tc_ok"));
    makeButton(m_cancel, IDCANCEL, kCancel, buttonPic.get(), GetText("tc_cancel"));
    Changed();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    return true;
}

void CLinksDlg::Changed() {
    // The selected row stays in view.
    const int sel = m_editor.Selected();
    if (sel >= 0 && sel < m_top) m_top = sel;
    if (sel >= m_top + kVisibleRows) m_top = sel - kVisibleRows + 1;
    m_top = std::max(0, std::min(m_top, m_editor.Rows() - kVisibleRows));
    if (m_remove.m_hWnd) ::EnableWindow(m_remove.m_hWnd, sel >= 1);
    Invalidate();
}

void CLinksDlg::OpenProfileMenu(int row) {
    const std::vector<int> choices = m_editor.Choices(row);
    if (choices.empty()) return;
    std::vector<MenuEntry> entries;
    for (int c : choices)
        entries.push_back(
            MakeMenuEntry(kMenuTopLevel, static_cast<uint32_t>(c + 1), m_editor.ChoiceText(c)));
    m_menuRow = row;
    const RECT at = Scaled(ProfileRect(row - m_top));
    POINT pt{at.left, at.bottom};
    ::ClientToScreen(m_hWnd, &pt);
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), at.right - at.left, pt.x, pt.y,
              theme.menuNormal, theme.menuHover, kTagProfile, entries.data(), &theme);
}

void CLinksDlg::OpenRunningMenu() {
    std::vector<std::string> names;
    ::EnumWindows(CollectProgram, reinterpret_cast<LPARAM>(&names));
    m_running = RunningProgramChoices(std::move(names), m_editor.Links());
    if (m_running.empty()) {
        ShowMessage("tc_links_none", nullptr, m_hWnd);
        return;
    }
    std::vector<MenuEntry> entries;
    for (size_t i = 0; i < m_running.size(); ++i)
        entries.push_back(MakeMenuEntry(kMenuTopLevel, static_cast<uint32_t>(i), m_running[i]));
    const RECT at = Scaled(kRunning);
    POINT pt{at.left, at.bottom};
    ::ClientToScreen(m_hWnd, &pt);
    OpenPopup(m_hWnd, static_cast<int>(entries.size()), Scaled(RECT{0, 0, 220, 0}).right, pt.x,
              pt.y, theme.menuNormal, theme.menuHover, kTagRunning, entries.data(), &theme);
}

void CLinksDlg::AddByName() {
    std::string name;
    if (AskText(m_hWnd, GetText("tc_links_prompt"), static_cast<int32_t>(kMaxProgramName), &name) !=
        1)
        return;
    const std::string refusal = m_editor.Add(name);
    if (!refusal.empty()) ShowMessage(refusal, nullptr, m_hWnd);
    Changed();
}

LRESULT CLinksDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MENU_RESULT) {
        ClosePopup();
        const int value = static_cast<int>(wp);
        if (lp == kTagProfile && m_menuRow >= 0) {
            m_editor.SetProfile(m_menuRow, value - 1);
        } else if (lp == kTagRunning && value >= 0 &&
                   static_cast<size_t>(value) < m_running.size()) {
            m_editor.Add(m_running[static_cast<size_t>(value)]);
        }
        Changed();
        return 0;
    }
    if (msg == WM_MOUSEWHEEL) {
        m_top -= GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
        m_top = std::max(0, std::min(m_top, m_editor.Rows() - kVisibleRows));
        Invalidate();
        return 0;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CLinksDlg::OnMouse(UINT msg, POINT pt, WPARAM) {
    if (msg == WM_LBUTTONDOWN) {
        const POINT p = theme.Unscale(pt);
        for (int v = 0; v < kVisibleRows && m_top + v < m_editor.Rows(); ++v) {
            const RECT r = RowRect(v);
            if (!::PtInRect(&r, p)) continue;
            const int row = m_top + v;
            m_editor.Select(row);
            Changed();
            const RECT pr = ProfileRect(v);
            if (::PtInRect(&pr, p)) OpenProfileMenu(row);
            return true;
        }
        ClosePopup();
    }
    return DragByBackground(m_hWnd, msg, pt);
}

bool CLinksDlg::OnCommand(UINT, UINT, HWND) {
    return true;
}

bool CLinksDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP) return false;
    // Enter and Space belong to the buttons; Escape closes as Cancel.
    if (msg->wParam == VK_ESCAPE) {
        if (msg->message == WM_KEYDOWN) EndDialog(IDCANCEL);
        return true;
    }
    return false;
}

void CLinksDlg::OnPaint(CMemPaint& buf) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    DrawPictureStretched(buf.g(), m_bkg.get(), client);
    buf.g().Flush(Gdiplus::FlushIntentionSync);
    DrawSkinText(buf.dc(), GetText("tc_links"), Scaled(kTitle), theme.text, m_bold.get(),
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    for (int v = 0; v < kVisibleRows && m_top + v < m_editor.Rows(); ++v) {
        const int row = m_top + v;
        const RECT r = Scaled(RowRect(v));
        if (row == m_editor.Selected()) {
            HBRUSH b = ::CreateSolidBrush(RGB(34, 58, 76));
            ::FillRect(buf.dc(), &r, b);
            ::DeleteObject(b);
        }
        // A line under the default row parts it from the links.
        if (row == 0) {
            RECT line{r.left, r.bottom - 1, r.right, r.bottom};
            HBRUSH b = ::CreateSolidBrush(RGB(44, 52, 68));
            ::FillRect(buf.dc(), &line, b);
            ::DeleteObject(b);
        }
        RECT name = r;
        name.left += Scaled(RECT{6, 0, 0, 0}).left;
        name.right = Scaled(ProfileRect(v)).left - 6;
        DrawSkinText(buf.dc(), m_editor.RowProgram(row), name, theme.text, m_font.get(), format);
        RECT prof = Scaled(ProfileRect(v));
        prof.right -= Scaled(RECT{6, 0, 0, 0}).left;
        DrawSkinText(buf.dc(), m_editor.RowProfile(row), prof, RGB(0, 212, 255), m_font.get(),
                     format | DT_RIGHT);
    }
}
