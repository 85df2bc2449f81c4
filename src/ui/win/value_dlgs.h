// The two small value controls of the buttons page: the debounce time and the auto-sleep time,
// each a caption, the value and a down and an up button over "key_time.png". A press asks the
// page first (the device must be ready), then steps the value, stores it in the profile record
// and reports the apply request to the page.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"
#include "app/options.h"
#include "profile/profile_state.h"
#include "ui/page_change.h"

class CValueDlg : public CWndBase {
  public:
    static constexpr UINT kIdDown = 1, kIdUp = 2;
    // `profile`: the record a press changes.
    explicit CValueDlg(ProfileMonitor& profile) : m_profile(profile) {}
    ~CValueDlg() override;

    // A child of `parent` at `rc` over `background` (the page's picture, cut at `rc`).
    bool Create(HWND parent, const RECT& rc, SkinPicture* background, const UiTheme& theme);
    // Asked before each press; 0 refuses it (it has told the user why).
    std::function<int()> mayChange;
    // After a stored change, with its apply request.
    std::function<void(const PageChange&)> changed;

    void SetCaption(const std::string& caption);
    CPngBtn& DownButton() { return m_down; }
    CPngBtn& UpButton() { return m_up; }
    // The value as shown.
    virtual std::string ValueText() const = 0;
    // No value until the mouse's is known: the field shows a mark and the buttons do nothing.
    void ClearValue();
    bool HasValue() const { return m_hasValue; }

  protected:
    // One press; the change to report (nothing changed: an empty one).
    virtual PageChange Step(bool up) = 0;
    // Runs `edit` on the current record inside the profile's lock, so the apply thread never
    // copies a half-made record; nothing without a current record.
    PageChange Store(const std::function<PageChange(ProfileFile&)>& edit);
    void OnPaint(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool m_hasValue = false;

  private:
    void Press(bool up);

    ProfileMonitor& m_profile;
    PicturePtr m_face;  // the page's picture with "key_time.png" over it
    CPngBtn m_down, m_up;
    std::string m_caption;
    UiTheme m_theme;
    UiFont m_font;
};

// Milliseconds within DebounceRange; going down to TipForDebounce asks first.
class CDebounceDlg : public CValueDlg {
  public:
    // `options`: the range a user may choose and whether going down asks first.
    CDebounceDlg(ProfileMonitor& profile, const AppOptions& options)
        : CValueDlg(profile), m_options(options) {}
    void SetDebounceValue(int32_t ms);
    int32_t Value() const { return m_ms; }
    std::string ValueText() const override;
    // Asks the user whether to go down (the text tc_debounce_tips); true to go on.
    std::function<bool(const std::string&)> confirm;

  protected:
    PageChange Step(bool up) override;

  private:
    const AppOptions& m_options;
    int32_t m_ms = 0;
};

// A position in the 13-step auto-sleep table.
class CAutoSleepDlg : public CValueDlg {
  public:
    using CValueDlg::CValueDlg;
    // A value not in the table leaves the position as it is.
    void SetAutoSleepValue(int32_t tableValue);
    int Position() const { return m_pos; }
    int32_t TableValue() const;
    std::string ValueText() const override;

  protected:
    PageChange Step(bool up) override;

  private:
    int m_pos = 0;
};
