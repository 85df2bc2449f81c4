// The performance page: DPI levels with their bars, names, colours and X/Y values, the level
// count and the current level, report rate, lift-off distance, ripple / angle snapping / motion
// sync, the sensor's power mode and the DPI-indicator effect. The page shows what
// ViewPerformance says of the current profile and hands every user action to the performance
// model, which stores it and names the apply request; the page then shows the profile again.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/png_slider.h"
#include "ui/performance_labels.h"
#include "ui/performance_model.h"
#include "ui/win/dpi_colour_box.h"
#include "ui/win/main_page.h"

// What the older form of the page (CAdvDlg) places and draws differently.
struct PerfPageLook {
    const char* background = "adv_nr.png";
    int barWidth = 650;
    const char* barTrack = "longbar_nr.png";
    const char* barFill = "longbar_ov.png";
    const char* effectTrack = "bar_nr.png";
    const char* effectFill = "bar_ov.png";
    POINT rateAt{932, 73};
    int rateDx = 0;  // 0: a column, RateVSp apart; else a row, rateDx apart
    POINT lod[2] = {{492, 468}, {561, 468}};
    bool olderNames = false;  // level names "DPI 1" rather than the newer page's
    bool sysLink = true;      // the rcSys area opens the system's mouse settings
};

class CNewAdvDlg : public CMainPage {
  public:
    // Control numbers (the DPI bars and the effect sliders are the numbers their messages carry).
    static constexpr UINT kIdBar = 144, kIdName = 160, kIdXLabel = 168, kIdYLabel = 176,
                          kIdColour = 184;
    static constexpr UINT kIdXY = 200, kIdLevels = 201, kIdRate = 202, kIdLod = 206;
    static constexpr UINT kIdRipple = 208, kIdAngle = 209, kIdMotion = 210, kIdHP = 211,
                          kIdLP = 212, kIdEffect = 213, kIdLight = 272, kIdSpeed = 273;

    // The host's CheckDeviceReady is asked before every change.
    explicit CNewAdvDlg(const PageParts& parts, PerfPageLook look = {});
    ~CNewAdvDlg() override;

    // The device changed: value lists, scale and which controls it has.
    void LayoutForDevice() override;
    void DeviceChanged(DevBehaviorKind kind) override;
    // Marks level `index` current (0..7; anything else is ignored).
    void SelectLevel(int index);

    // The typed number of a double-clicked value label (the number dialog unless replaced).
    using AskNumberFn = std::function<int(HWND, const std::string& prompt, uint32_t* out)>;
    void SetAskNumber(AskNumberFn fn) { m_askNumber = std::move(fn); }
    // A message to the user (the message dialog unless replaced).
    using ShowTextFn = std::function<void(HWND, const std::string& text)>;
    void SetShowText(ShowTextFn fn) { m_showText = std::move(fn); }

    // For tests and screenshots.
    CPngHSliderBarEx& Bar(int i) { return m_bar[static_cast<size_t>(i)]; }
    CPngBtn& LevelName(int i) { return m_name[static_cast<size_t>(i)]; }
    CPngBtn& XLabel(int i) { return m_xLabel[static_cast<size_t>(i)]; }
    CPngBtn& YLabel(int i) { return m_yLabel[static_cast<size_t>(i)]; }
    CDpiColourBox& ColourBox(int i) { return m_colour[static_cast<size_t>(i)]; }
    CPngBtn& RateButton(int k) { return m_rate[static_cast<size_t>(k)]; }
    CComboBtn& LevelCount() { return m_levels; }
    CPngSliderBar& EffectSlider(bool speed) { return speed ? m_speed : m_light; }
    CPngBtn& SwitchBox(PerfSwitch which);
    CPngBtn& SensorModeButton(bool hp) { return hp ? m_hp : m_lp; }
    CPngBtn& LiftOffButton(int k) { return m_lod[static_cast<size_t>(k)]; }
    CPngBtn& XYBox() { return m_xy; }
    CComboBtn& EffectCombo() { return m_effect; }

  protected:
    bool OnCreatePage() override;
    void OnRefresh() override { ShowProfile(); }
    void OnTextsChanged() override;
    void OnPaintPage(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;

    // The page's text font and its look.
    HFONT Font() const { return m_font.get(); }
    const PerfPageLook& Look() const { return m_look; }
    // A check box or radio button of the skin at `at`.
    bool AddRadio(CPngBtn& b, UINT id, POINT at, bool check, std::function<void()> onClick);
    // Where the controls both pages have are now (normal layout), the shown ones only.
    PerfControlPlaces ShownControlPlaces() const;
    // The texts where the layout puts them, in `colour`: each rank in its size of the type
    // scale, or all in the page's font when not `ranked`.
    void DrawLabels(HDC dc, const std::vector<PageLabel>& labels, COLORREF colour, bool ranked);

  private:
    // Radio groups the arrows walk: rate, lift-off distance, sensor mode, current level.
    static constexpr int kGroupRate = 1, kGroupLiftOff = 2, kGroupSensorMode = 3, kGroupLevel = 4;
    // Names for screen readers, from the texts the page draws beside its controls.
    void NameControls();
    bool CreateRow(int i);
    bool CreateButtons();
    bool CreateEffect();
    // Shows the current profile on every control.
    void ShowProfile();
    void PlaceRows(bool separateXY);
    // Asks CheckDeviceReady, runs the model's edit on the current profile (placing the apply
    // request with ApplyNow) and shows the profile again.
    void Change(const std::function<PageChange(ProfileFile&, int32_t&)>& edit,
                bool askFirst = true);
    void OnSliderCommit(UINT msg, int32_t value, LPARAM lp);
    void OnSliderDrag(UINT msg, int32_t value, LPARAM lp);
    void OnTypeValue(HWND label);
    // Value lists, scale and level items for the mouse in m_catalogue.pSensorCfg; false when there
    // is no profile, no device entry, more than 8 levels or no sensor table.
    bool LoadSensor();
    bool CurrentView(PerformanceView* v) const;

    PerfPageLook m_look;
    AskNumberFn m_askNumber;
    ShowTextFn m_showText;
    PerformanceView m_view;
    const SensorCfg* m_laidOutFor = nullptr;  // the mouse the bars' value lists are for

    std::array<CPngHSliderBarEx, kDpiLevels> m_bar;
    std::array<CPngBtn, kDpiLevels> m_name, m_xLabel, m_yLabel;
    std::array<CDpiColourBox, kDpiLevels> m_colour;
    CPngBtn m_xy;
    CComboBtn m_levels, m_effect;
    std::array<CPngBtn, kRateButtons> m_rate;
    std::array<CPngBtn, 2> m_lod;
    CPngBtn m_ripple, m_angle, m_motion, m_hp, m_lp;
    CPngSliderBar m_light, m_speed;
    PicturePtr m_singleThumb;  // "slider.png", the DPI bars' thumb in single-value mode
    UiFont m_font;
};
