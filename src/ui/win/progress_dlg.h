// The progress window of long writes (the factory reset): a bar picture drawn over the
// background up to the position the apply thread posts, and a line of text. Only its exit
// button or the apply thread's WM_CLOSE ends it.
#pragma once
#include <windows.h>

#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"
#include "ui/main_window_model.h"

class CProgressDlg : public CDialogBase {
  public:
    static constexpr UINT kIdExit = 1001;

    std::string text;
    RECT textRect{};
    RECT barRect{};
    void SetRange(int minimum, int maximum) { m_bar.SetRange(minimum, maximum); }
    void SetPos(int pos) { m_bar.SetPos(pos); }
    int Pos() const { return m_bar.Pos(); }

    ~CProgressDlg() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    bool CreateDialogWindow(HWND owner) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    PicturePtr m_bkg, m_ov;
    CPngBtn m_exit;
    FontHandle m_font;
    ProgressBar m_bar;
};

// The factory reset's progress window as the main window runs it: the wait text in its
// rectangle, the bar from 0 to 100.
INT_PTR RunResetProgress(HWND owner);
