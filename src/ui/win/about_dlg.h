// The about window: the program's texts and version, the mouse's firmware version, a web link
// and, when configured, a firmware-update button. Only its close button closes it.
#pragma once
#include <windows.h>

#include "app/options.h"
#include "base/app_paths.h"
#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"
#include "ui/main_window_model.h"

class CAboutDlg : public CDialogBase {
  public:
    static constexpr UINT kIdClose = 1001, kIdLink = 1002, kIdFwUpdate = 1003;

    // The look and the switches come from `options` and `paths` (the screen size, the
    // application font), read when the window is made and painted.
    CAboutDlg(const AppOptions& options, const AppPaths& paths)
        : m_options(options), m_paths(paths) {}
    ~CAboutDlg() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;

    CPngBtn& LinkButton() { return m_link; }
    CPngBtn& FwUpdateButton() { return m_fw; }
    const AboutLayout& Layout() const { return m_layout; }

  protected:
    bool CreateDialogWindow(HWND owner) override;

  private:
    void OnPaint(CMemPaint& buf) override;

    const AppOptions& m_options;
    const AppPaths& m_paths;
    PicturePtr m_bkg;
    CPngBtn m_close, m_link, m_fw;
    UiFont m_font;
    AboutLayout m_layout;
};
