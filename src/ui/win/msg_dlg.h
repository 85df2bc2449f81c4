// The application's one modal skinned dialog for short interactions: a message, a question,
// a line of text or a number, and the capture of a key or key combination.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skinned_dialog.h"
#include "controls/win/ui_theme.h"
#include "ui/key_capture.h"
#include "ui/msg_dlg_model.h"
#include "ui/win/theme_options.h"

// Posted by the waiting thread when the event a waiting message is tied to is signalled.
constexpr UINT WM_MSGDLG_EVENT_DONE = 0x448;

class CMsgDlg : public CSkinnedDialog {
  public:
    static constexpr UINT kIdOk = IDOK, kIdCancel = IDCANCEL, kIdClose = 1001, kIdEdit = 1002;
    static constexpr UINT kIdCheckFirst = 1010;  // Shift, Ctrl, Alt, Win

    CMsgDlg();
    ~CMsgDlg() override;

    MsgMode mode = MsgMode::kUnset;
    HANDLE waitEvent = nullptr;  // mode 1: closes by itself when signalled
    std::string title;
    std::string text;
    // Captions of OK and Cancel; empty: the language's OK and Cancel.
    std::string okText, cancelText;
    bool restartEachKey = false;
    bool modifierCheckBoxes = false;
    int32_t textLimit = 0;
    NumberRange range;
    std::string textResult;
    uint32_t numberResult = 0;
    CapturedCombo captureResult;

    // For tests and screenshots.
    HWND EditBox() const { return m_edit; }
    CPngBtn& OkButton() { return m_ok; }
    CPngBtn& CheckBox(int i) { return m_check[i]; }
    const std::string& Hint() const { return m_hint; }
    KeyCaptureModel& Capture() { return m_capture; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  protected:
    bool CreateDialogWindow(HWND owner) override;
    bool OnDialogKey(const MSG& msg) override;
    void PaintBackdrop(CMemPaint& buf) override;
    void OnPaintDialog(CMemPaint& buf) override;

  private:
    RECT Scaled(const ZvRect& r) const { return CSkinnedDialog::Scaled(ToRect(r)); }
    void OnOk();
    void OnEditChange();
    void OnBoxTicked();
    void SetHint(const std::string& hint);
    std::string EditText() const;
    void StopWaiter();

    CPngBtn m_close, m_ok, m_cancel;
    CPngBtn m_check[4];
    HWND m_edit = nullptr;
    FontHandle m_editFont;
    MsgDlgLayout m_layout;
    std::string m_hint;
    KeyCaptureModel m_capture;
    bool m_settingText = false;
    HANDLE m_stopWait = nullptr;
    std::thread m_waiter;
};

// A message by its text key (`tc_...`), optionally closing by itself when `waitEvent` is
// signalled.
INT_PTR ShowMessage(const std::string& textKey, HANDLE waitEvent, HWND parent);
// A message shown as it stands.
INT_PTR ShowMessageText(const std::string& rawText, HWND parent);
// 1 with the text (at most 259 characters), 0 on cancel.
int AskText(HWND parent, const std::string& prompt, int32_t limit, std::string* out);
// 1 with a number in `range`, 0 on cancel.
int AskNumber(HWND parent, const std::string& prompt, int32_t limit, uint32_t* out,
              NumberRange range = {});
// The question's buttons read the texts of `yesKey` and `noKey` (OK and Cancel where the
// language has no such text).
bool AskYesNo(HWND parent, const std::string& text, std::string_view yesKey = "tc_ok",
              std::string_view noKey = "tc_cancel");
