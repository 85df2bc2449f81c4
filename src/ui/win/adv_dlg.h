// The older form of the performance page, chosen by the option OldAdvDlg: the same DPI rows,
// rate, lift-off, switches, sensor mode and DPI-indicator effect as the newer page, placed the
// older way, and a group of its own for the Windows pointer settings a profile carries
// (pointer speed, wheel scroll lines, double-click time, enhanced precision). Those are stored
// in the profile; the apply thread hands them to the system.
#pragma once
#include <windows.h>

#include "ui/win/new_adv_dlg.h"

// The older page's own background; a skin without it gives the newer page's.
constexpr const char* kOlderPageBackground = "adv2_nr.png";

class CAdvDlg : public CNewAdvDlg {
  public:
    // The pointer sliders' control numbers, and the two check boxes.
    static constexpr UINT kIdMoveSpeed = 129, kIdDbClick = 130, kIdScroll = 132, kIdPrecision = 214,
                          kIdOneScreen = 215;

    explicit CAdvDlg(const PageParts& parts);
    ~CAdvDlg() override;

    void LayoutForDevice() override;

    // For tests and screenshots.
    CPngSliderBar& SystemSlider(PointerSlider which);
    CPngBtn& PrecisionBox() { return m_precision; }
    CPngBtn& OneScreenBox() { return m_oneScreen; }

  protected:
    bool OnCreatePage() override;
    void OnRefresh() override;
    void OnPaintPage(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void CreatePointerGroup();
    // Shows the profile's pointer settings (the group is there only with ShowSys).
    void ShowPointer();
    void PointerChange(const std::function<PageChange(ProfileFile&)>& edit, bool askFirst);

    CPngSliderBar m_moveSpeed, m_scroll, m_dbClick;
    CPngBtn m_precision, m_oneScreen;
    int32_t m_wheelLines = 0;
    bool m_precisionOn = false;
};
