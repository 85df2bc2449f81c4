#include "ui/win/msg_dlg.h"

#include "controls/win/focus_nav.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/sys.h"
#include "platform/win/wide.h"
#include "ui/win/skin_dialog.h"

namespace {
const char* const kCheckLabels[4] = {"Shift", "Ctrl", "Alt", "Win"};

}  // namespace

RECT CMsgDlg::Scaled(const ZvRect& r) const {
    return theme.Scale(ToRect(r));
}

CMsgDlg::CMsgDlg() = default;

CMsgDlg::~CMsgDlg() {
    StopWaiter();
    DestroyWindow();
    if (m_editFont) ::DeleteObject(m_editFont);
    if (m_ownFont && m_font) ::DeleteObject(m_font);
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

void CMsgDlg::StopWaiter() {
    if (m_stopWait) ::SetEvent(m_stopWait);
    if (m_waiter.joinable()) m_waiter.join();
    if (m_stopWait) ::CloseHandle(m_stopWait);
    m_stopWait = nullptr;
}

bool CMsgDlg::CreateDialogWindow(HWND owner) {
    SetBufferedPaint(true);
    SetCommandHandler(kIdEdit, [this](UINT code) {
        if (code == EN_CHANGE) OnEditChange();
    });
    SetCommandHandler(kIdOk, [this](UINT) { OnOk(); });
    SetCommandHandler(kIdCancel, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    if (title.empty()) title = GetText("tc_tips");
    m_capture.checkBoxMode = modifierCheckBoxes;
    m_capture.restartEachKey = restartEachKey;

    m_bkg = LoadSkinPicture(SkinPath("msg_nr.png"));
    if (theme.large && PicturePresent(m_bkg.get())) m_bkg = ScalePicture(m_bkg.get(), 2.0);
    const int w = PictureWidth(m_bkg.get()), h = PictureHeight(m_bkg.get());
    const int unscaledW = theme.large ? w / 2 : w;
    m_layout = LayoutMsgDlg(mode, unscaledW, modifierCheckBoxes, waitEvent != nullptr);

    // Centred over the main window (the owner's top-level window), else over the screen.
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (!CreateEx(WS_EX_TOOLWINDOW, platform::win::Widen(kWindowTitle), WS_POPUP | WS_CLIPCHILDREN,
                  CentredOver(top, w, h), top, 0)) {
        return false;
    }
    if (!PicturePresent(m_bkg.get())) {
        // Without its picture the dialog has no size: it goes away at once, as cancelled.
        PostMessage(WM_CLOSE);
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        return true;
    }
    ShapeWindowFromPicture(m_hWnd, m_bkg.get(), theme.maskDialog, 0);
    m_font = MakeUiFont(theme.font, theme.FontHeight(), FW_NORMAL, &m_ownFont);

    auto makeButton = [&](CPngBtn& b, const char* file, const ZvRect& where, UINT id,
                          const std::string& caption, bool show) {
        PicturePtr pic = LoadSkinPicture(SkinPath(file));
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic.get();
        a.background = m_bkg.get();
        a.pressShift = true;
        a.visible = show;
        b.Create(m_hWnd, a, theme);
    };
    makeButton(m_close, "exit_nr.png", m_layout.close, kIdClose, "", m_layout.showClose);
    makeButton(m_ok, "button2_nr.png", m_layout.ok, kIdOk,
               okText.empty() ? GetText("tc_ok") : okText, m_layout.showOk);
    makeButton(m_cancel, "button2_nr.png", m_layout.cancel, kIdCancel,
               cancelText.empty() ? GetText("tc_cancel") : cancelText, m_layout.showCancel);

    if (m_layout.showEdit) {
        DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_CENTER;
        if (mode == MsgMode::kNumberInput) style |= ES_NUMBER;
        if (mode == MsgMode::kKeyCapture) style |= ES_READONLY;
        const RECT rc = Scaled(m_layout.edit);
        m_edit = ::CreateWindowExW(
            0, L"EDIT", L"", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdEdit)), AppInstance(), nullptr);
        m_editFont = ::CreateFontW(theme.large ? 32 : 16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
        ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont), FALSE);
        // A text box can hold no more than a result can carry.
        const int32_t limit = textLimit > 0 ? textLimit : (mode == MsgMode::kTextInput ? 259 : 0);
        if (limit > 0) ::SendMessageW(m_edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
        m_editBrush = ::CreateSolidBrush(theme.edit);
    }
    if (m_layout.showCheckBoxes) {
        PicturePtr nr = LoadSkinPicture(SkinPath("Check_nr.png"));
        PicturePtr dn = LoadSkinPicture(SkinPath("Check_dn.png"));
        for (int i = 0; i < 4; ++i) {
            PngBtnArgs a;
            a.id = kIdCheckFirst + static_cast<UINT>(i);
            a.rc = Scaled(m_layout.checkBox[i]);
            a.normal = a.hover = nr.get();
            a.pressed = dn.get();
            a.background = m_bkg.get();
            a.checkable = a.toggleOnClick = true;
            a.onClick = [this] { OnBoxTicked(); };
            m_check[i].Create(m_hWnd, a, theme);
        }
    }
    if (waitEvent) {
        m_stopWait = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HWND self = m_hWnd;
        HANDLE handles[2] = {waitEvent, m_stopWait};
        m_waiter = std::thread([self, handles]() {
            const DWORD r = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (r == WAIT_OBJECT_0) ::PostMessageW(self, WM_MSGDLG_EVENT_DONE, 0, 0);
        });
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_edit ? m_edit : m_hWnd);
    return true;
}

std::string CMsgDlg::EditText() const {
    return WindowTextUtf8(m_edit);
}

void CMsgDlg::SetHint(const std::string& hint) {
    if (hint == m_hint) return;
    m_hint = hint;
    RECT rc = Scaled(m_layout.hint);
    ::InvalidateRect(m_hWnd, &rc, FALSE);
}

void CMsgDlg::OnEditChange() {
    if (m_settingText || mode != MsgMode::kNumberInput) return;
    const NumberEditResult r = OnNumberEdited(EditText(), range);
    if (r.replaced) {
        m_settingText = true;
        ::SetWindowTextW(m_edit, platform::win::Widen(*r.replaced).c_str());
        const int len = ::GetWindowTextLengthW(m_edit);
        ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(len), len);
        m_settingText = false;
    }
    SetHint(r.hint);
}

void CMsgDlg::OnBoxTicked() {
    // Shift, Ctrl, Alt, Win from left to right.
    m_capture.SetTickedBoxes(m_check[1].GetCheck(), m_check[0].GetCheck(), m_check[2].GetCheck(),
                             m_check[3].GetCheck());
    ::SetWindowTextW(m_edit, platform::win::Widen(m_capture.Text()).c_str());
}

void CMsgDlg::OnOk() {
    switch (mode) {
        case MsgMode::kTextInput: {
            const std::string t = EditText();
            if (t.empty()) {
                EndDialog(IDCANCEL);
                return;
            }
            textResult = t;
            break;
        }
        case MsgMode::kNumberInput: {
            const NumberOkResult r = OnNumberOk(EditText(), range);
            if (!r.accepted) {
                SetHint(r.hint);
                return;
            }
            numberResult = r.value;
            break;
        }
        case MsgMode::kKeyCapture:
            if (modifierCheckBoxes &&
                !m_capture.ApplyCheckBoxes(m_check[1].GetCheck(), m_check[0].GetCheck(),
                                           m_check[2].GetCheck(), m_check[3].GetCheck())) {
                SetHint(GetText("tc_msg29"));
                return;
            }
            captureResult = m_capture.Result();
            break;
        default:
            break;
    }
    EndDialog(IDOK);
}

bool CMsgDlg::PreTranslateMessage(MSG* msg) {
    if (!IsKeyboardMessage(msg->message)) return false;
    // Tab moves between the box and the buttons in every mode (so a key capture does not take
    // Tab); a focused button takes Space and Enter as a click.
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    if (mode == MsgMode::kKeyCapture) {
        const uint32_t code = TranslateKeyMessage(static_cast<uint32_t>(msg->wParam), msg->lParam);
        if (m_capture.CaptureKeyEvent(code, IsKeyReleaseMessage(msg->message),
                                      platform::GetTickCount())) {
            if (modifierCheckBoxes) {
                // Modifiers held with the key tick their boxes: Shift, Ctrl, Alt, Win.
                const KeyCaptureModel::Boxes b = m_capture.TickedBoxes();
                const bool on[4] = {b.shift, b.ctrl, b.alt, b.win};
                for (int i = 0; i < 4; ++i)
                    if (m_check[i].m_hWnd) m_check[i].SetCheck(on[i]);
            }
            ::SetWindowTextW(m_edit, platform::win::Widen(m_capture.Text()).c_str());
        }
        return true;
    }
    switch (msg->wParam) {
        case VK_ESCAPE:
        case VK_F1:
            return true;
        case VK_SPACE:
            // A blank is part of a typed text; elsewhere Space would press the focused button.
            return !(mode == MsgMode::kTextInput && msg->hwnd == m_edit);
        case VK_RETURN:
            if (msg->message == WM_KEYDOWN && m_layout.showOk) OnOk();
            return true;
        default:
            return false;
    }
}

LRESULT CMsgDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MSGDLG_EVENT_DONE:
            EndDialog(IDCANCEL);
            return 0;
        case WM_HELP:
            return TRUE;
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CMsgDlg::OnCommand(UINT, UINT, HWND) {
    return true;  // nothing else of the dialog's children reaches its default handling
}

HBRUSH CMsgDlg::OnCtlColor(UINT msg, HDC dc, HWND from) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || !m_editBrush || from != m_edit) {
        return nullptr;
    }
    ::SetTextColor(dc, theme.text);
    ::SetBkColor(dc, theme.edit);
    return m_editBrush;
}

bool CMsgDlg::OnMouse(UINT msg, POINT pt, WPARAM) {
    if (msg != WM_LBUTTONDOWN) return false;
    // The dialog has no caption: drag it by its background.
    ::ReleaseCapture();
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    return true;
}

void CMsgDlg::OnPaint(CMemPaint& buf) {
    Paint(buf.dc());
}

void CMsgDlg::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    {
        Gdiplus::Graphics g(dc);
        if (theme.lowBackground) {
            Gdiplus::SolidBrush low(Gdiplus::Color(200, GetRValue(theme.lowBackground),
                                                   GetGValue(theme.lowBackground),
                                                   GetBValue(theme.lowBackground)));
            g.FillRectangle(&low, 0, 0, client.right, client.bottom);
        }
        DrawPictureStretched(g, m_bkg.get(), client);
    }
    const COLORREF colour = theme.text;
    DrawSkinText(dc, title, Scaled(m_layout.title), colour, m_font,
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    if (m_layout.showEdit) {
        if (!m_layout.hintOverPrompt || m_hint.empty()) {
            DrawSkinText(dc, text, Scaled(m_layout.prompt), colour, m_font,
                         DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
        }
        DrawSkinText(dc, m_hint, Scaled(m_layout.hint), theme.mark, m_font,
                     DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
    } else {
        RECT area = Scaled(m_layout.text);
        const std::wstring w = platform::win::Widen(text);
        HGDIOBJ old = ::SelectObject(dc, m_font);
        RECT measure = area;
        ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &measure,
                    DT_CALCRECT | DT_SINGLELINE);
        if (measure.right - measure.left > area.right - area.left) {
            measure = area;
            ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &measure,
                        DT_CALCRECT | DT_WORDBREAK);
            TEXTMETRICW tm{};
            ::GetTextMetricsW(dc, &tm);
            const int lineH = tm.tmHeight > 0 ? tm.tmHeight : 16;
            const int lines = (measure.bottom - measure.top + lineH - 1) / lineH;
            const ZvRect c =
                CentreTextLines({area.left, area.top, area.right, area.bottom}, lines, lineH);
            DrawSkinText(dc, text, ToRect(c), colour, m_font, DT_WORDBREAK | DT_CENTER | DT_NOCLIP);
        } else {
            DrawSkinText(dc, text, area, colour, m_font, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        ::SelectObject(dc, old);
    }
    if (m_layout.showCheckBoxes) {
        for (int i = 0; i < 4; ++i) {
            DrawSkinText(dc, kCheckLabels[i], Scaled(m_layout.checkLabel[i]), colour, m_font,
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    }
}

// ---- one-call uses ------------------------------------------------------------------

INT_PTR ShowMessage(const std::string& textKey, HANDLE waitEvent, HWND parent) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kMessage;
    dlg.text = GetText(textKey);
    dlg.waitEvent = waitEvent;
    return dlg.DoModal(parent);
}

INT_PTR ShowMessageText(const std::string& rawText, HWND parent) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kMessage;
    dlg.text = rawText;
    return dlg.DoModal(parent);
}

int AskText(HWND parent, const std::string& prompt, int32_t limit, std::string* out) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kTextInput;
    dlg.text = prompt;
    dlg.textLimit = limit > 0 && limit < 259 ? limit : 259;
    if (dlg.DoModal(parent) != IDOK) return 0;
    if (out) *out = dlg.textResult;
    return 1;
}

int AskNumber(HWND parent, const std::string& prompt, int32_t limit, uint32_t* out,
              NumberRange range) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kNumberInput;
    dlg.text = prompt;
    dlg.textLimit = limit;
    dlg.range = range;
    if (dlg.DoModal(parent) != IDOK) return 0;
    if (out) *out = dlg.numberResult;
    return 1;
}

bool AskYesNo(HWND parent, const std::string& text, std::string_view yesKey,
              std::string_view noKey) {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kQuestion;
    dlg.text = text;
    const QuestionButtons b = QuestionButtonTexts(yesKey, noKey);
    dlg.okText = b.yes;
    dlg.cancelText = b.no;
    return dlg.DoModal(parent) == IDOK;
}
