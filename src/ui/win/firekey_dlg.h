// The fire dialog: how many clicks a fire button sends (0 to 3) and their interval (10 to
// 255), opened from the button's current assignment. The rules are FireOpening / FireResult;
// this window only shows the two boxes and hands their texts over.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skinned_dialog.h"
#include "controls/win/ui_theme.h"
#include "profile/profile_file.h"
#include "ui/fire_dlg_model.h"
#include "ui/win/theme_options.h"

class CFirekeyDlg : public CSkinnedDialog {
  public:
    static constexpr UINT kIdOk = IDOK, kIdCancel = IDCANCEL, kIdClose = 1001, kIdCount = 1002,
                          kIdInterval = 1003;

    explicit CFirekeyDlg(const KeyInfo& current, const UiTheme& theme = ThemeFromOptions());
    ~CFirekeyDlg() override;

    int countLimit = kFireCountLimit;
    // After IDOK: count in the low byte, interval in the second.
    uint16_t Result() const { return m_result; }

    // For tests.
    HWND CountBox() const { return m_count; }
    HWND IntervalBox() const { return m_interval; }
    std::string BoxText(HWND box) const;
    void PressOk() { OnOk(); }

  protected:
    bool CreateDialogWindow(HWND owner) override;
    void OnPaintDialog(CMemPaint& buf) override;

  private:
    HWND MakeBox(UINT id, const RECT& rc, const std::string& text);
    void OnBoxChanged(HWND box);
    void OnOk();

    KeyInfo m_current;
    uint16_t m_result = 0;
    CPngBtn m_close, m_ok, m_cancel;
    HWND m_count = nullptr, m_interval = nullptr;
    FontHandle m_editFont;
    bool m_settingText = false;
};

// Runs the dialog for `current` over `owner`: the 16-bit result, none when cancelled.
std::optional<uint16_t> EditFireKey(HWND owner, const KeyInfo& current);
