#include "ui/win/msg_dlg.h"

#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "platform/sys.h"
#include "platform/win/wide.h"
#include "ui/win/skin_backdrop.h"
#include "ui/win/skin_dialog.h"

namespace {
const char* const kCheckLabels[4] = {"Shift", "Ctrl", "Alt", "Win"};

}  // namespace

CMsgDlg::CMsgDlg() : CSkinnedDialog(ThemeFromOptions()) {
    SetDialogKeys({VK_ESCAPE, VK_F1}, [this] {
        if (m_layout.showOk) OnOk();
    });
}

CMsgDlg::~CMsgDlg() {
    StopWaiter();
    DestroyWindow();
}

void CMsgDlg::StopWaiter() {
    if (m_stopWait) ::SetEvent(m_stopWait);
    if (m_waiter.joinable()) m_waiter.join();
    if (m_stopWait) ::CloseHandle(m_stopWait);
    m_stopWait = nullptr;
}

bool CMsgDlg::CreateDialogWindow(HWND owner) {
    SetCommandHandler(kIdEdit, [this](UINT code) {
        if (code == EN_CHANGE) OnEditChange();
    });
    SetCommandHandler(kIdOk, [this](UINT) { OnOk(); });
    SetCommandHandler(kIdCancel, [this](UINT) { EndDialog(IDCANCEL); });
    SetCommandHandler(kIdClose, [this](UINT) { EndDialog(IDCANCEL); });
    if (title.empty()) title = GetText("tc_tips");
    m_capture.checkBoxMode = modifierCheckBoxes;
    m_capture.restartEachKey = restartEachKey;

    const SkinDialogStart start = StartSkinned(owner, "msg_nr.png");
    const int w = PictureWidth(Background());
    const int unscaledW = theme.large ? w / 2 : w;
    m_layout = LayoutMsgDlg(mode, unscaledW, modifierCheckBoxes, waitEvent != nullptr);
    switch (start) {
        case SkinDialogStart::kFailed:
            return false;
        case SkinDialogStart::kClosing:
            return true;
        case SkinDialogStart::kReady:
            break;
    }

    auto makeButton = [&](CPngBtn& b, const char* file, const ZvRect& where, UINT id,
                          const std::string& caption, bool show) {
        PicturePtr pic = LoadSkinPicture(SkinPath(file));
        PngBtnArgs a;
        a.id = id;
        a.rc = Scaled(where);
        a.caption = caption;
        a.normal = a.hover = a.pressed = pic.get();
        a.background = Background();
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
        DWORD style = ES_CENTER;
        if (mode == MsgMode::kNumberInput) style |= ES_NUMBER;
        if (mode == MsgMode::kKeyCapture) style |= ES_READONLY;
        m_editFont.Reset(::CreateFontW(theme.large ? 32 : 16, 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
        // A text box can hold no more than a result can carry.
        const int32_t limit = textLimit > 0 ? textLimit : (mode == MsgMode::kTextInput ? 259 : 0);
        m_edit = MakeEditBox(kIdEdit, Scaled(m_layout.edit), style, "", m_editFont.get(), limit);
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
            a.background = Background();
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

bool CMsgDlg::OnDialogKey(const MSG& msg) {
    // Tab has moved between the box and the buttons before this, in every mode (so a key capture
    // does not take Tab), and a focused button has taken Space and Enter as a click.
    if (mode == MsgMode::kKeyCapture) {
        const uint32_t code = TranslateKeyMessage(static_cast<uint32_t>(msg.wParam), msg.lParam);
        if (m_capture.CaptureKeyEvent(code, IsKeyReleaseMessage(msg.message),
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
    // A blank is part of a typed text; elsewhere Space would press the focused button.
    if (msg.wParam == VK_SPACE) return !(mode == MsgMode::kTextInput && msg.hwnd == m_edit);
    return CSkinnedDialog::OnDialogKey(msg);
}

LRESULT CMsgDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MSGDLG_EVENT_DONE:
            EndDialog(IDCANCEL);
            return 0;
        default:
            break;
    }
    return CSkinnedDialog::WindowProc(msg, wp, lp);
}

void CMsgDlg::PaintBackdrop(CMemPaint& buf) {
    // The message box dims what lies under its edges, as the main window does.
    PaintSkinBackdrop(buf, Background(), theme.lowBackground);
}

void CMsgDlg::OnPaintDialog(CMemPaint& buf) {
    const HDC dc = buf.dc();
    const HFONT font = Font();
    const COLORREF colour = theme.text;
    DrawSkinText(dc, title, Scaled(m_layout.title), colour, font,
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    if (m_layout.showEdit) {
        if (!m_layout.hintOverPrompt || m_hint.empty()) {
            DrawSkinText(dc, text, Scaled(m_layout.prompt), colour, font,
                         DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
        }
        DrawSkinText(dc, m_hint, Scaled(m_layout.hint), theme.mark, font,
                     DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
    } else {
        RECT area = Scaled(m_layout.text);
        const std::wstring w = platform::win::Widen(text);
        HGDIOBJ old = ::SelectObject(dc, font);
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
            DrawSkinText(dc, text, ToRect(c), colour, font, DT_WORDBREAK | DT_CENTER | DT_NOCLIP);
        } else {
            DrawSkinText(dc, text, area, colour, font, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        ::SelectObject(dc, old);
    }
    if (m_layout.showCheckBoxes) {
        for (int i = 0; i < 4; ++i) {
            DrawSkinText(dc, kCheckLabels[i], Scaled(m_layout.checkLabel[i]), colour, font,
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
