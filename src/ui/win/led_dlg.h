// The lighting page: the main and logo lighting modes, brightness and speed, the colour (wheel,
// presets, red/green/blue boxes, the result swatch and its "#rrggbb" label), the sleep time and
// the light-off-on-moving box. The page shows what ViewLighting says of the current profile and
// hands every user action to the lighting model; a lighting request goes out only after the
// mouse said it does not hold its lighting.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/png_slider.h"
#include "ui/lighting_model.h"
#include "ui/win/main_page.h"

class CLedDlg : public CMainPage {
  public:
    static constexpr UINT kIdMainMode = 300, kIdLogoMode = 301, kIdOffMoving = 302, kIdSleep = 303,
                          kIdEdit = 310;  // red, green, blue: 310..312
    static constexpr UINT kIdMainLight = 320, kIdMainSpeed = 321, kIdLogoLight = 322,
                          kIdLogoSpeed = 323;
    static constexpr UINT kIdZoneMain = 330, kIdZoneLogo = 331;

    // The host's CheckDeviceReady is asked before every change, and its LightingHeld (the
    // mouse holds its lighting: no request) before a lighting request.
    explicit CLedDlg(const PageParts& parts);
    ~CLedDlg() override;

    void LayoutForDevice() override;
    void DeviceChanged(DevBehaviorKind kind) override;

    // The system colour chooser of the result swatch unless replaced (tests).
    using Chooser = std::function<bool(HWND owner, COLORREF* colour)>;
    void SetChooser(Chooser c) { m_chooser = std::move(c); }
    // The message of a text key (the message dialog unless replaced).
    using ShowTextFn = std::function<void(HWND owner, const std::string& textKey)>;
    void SetShowText(ShowTextFn fn) { m_showText = std::move(fn); }

    // For tests and screenshots.
    CComboBtn& ModeCombo(bool logo) { return logo ? m_logoMode : m_mainMode; }
    CPngSliderBar& Slider(LightSlider which);
    HWND ColourEdit(int i) const { return m_edit[static_cast<size_t>(i)]; }
    CPngBtn& OffOnMoving() { return m_offMoving; }
    CComboBtn& SleepCombo() { return m_sleep; }
    const LightingView& View() const { return m_view; }
    const LightingLayout& Layout() const { return m_layout; }
    // What the mouse picture shows on a zone's light now.
    const ZonePreview& Preview(LightZone zone) const {
        return m_zonePreview[zone == LightZone::kLogo ? 1 : 0];
    }
    bool ColourShown() const { return m_view.controls.colour; }
    // The zone choice of a mouse with main and logo lighting (0 main, 1 logo).
    CPngBtn& ZoneButton(int i) { return m_zoneBtn[static_cast<size_t>(i ? 1 : 0)]; }
    void ShowZone(LightZone zone);

  protected:
    bool OnCreatePage() override;
    void OnRefresh() override { ShowProfile(); }
    void OnTextsChanged() override;
    void OnPaintPage(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    bool OnCommand(UINT id, UINT code, HWND from) override;
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from) override;

  private:
    void CreateCombos();
    void CreateZoneButtons();
    void CreateSliders();
    void CreateEdits();
    void FillModeItems();
    void FillSleepItems();
    // Shows the current profile on every control.
    void ShowProfile();
    void ShowColour(uint32_t colour);
    // Asks CheckDeviceReady (unless the control asked already), runs the model's edit on the
    // current profile and, with ApplyNow, places its request: a lighting request only when the
    // mouse does not hold its lighting.
    void Change(const std::function<PageChange(ProfileFile&)>& edit, bool askFirst = true);
    void PickColour(uint32_t colour, bool askFirst = true);
    void OnEditChanged(HWND box);
    bool WheelColour(POINT pt, uint32_t* colour) const;

    Chooser m_chooser;
    ShowTextFn m_showText;
    LightingView m_view;
    LightingLayout m_layout;
    const SensorCfg* m_laidOutFor = nullptr;
    LightZone m_zone = LightZone::kMain;  // the zone the user chose to edit

    CComboBtn m_mainMode, m_logoMode, m_sleep;
    CPngSliderBar m_mainLight, m_mainSpeed, m_logoLight, m_logoSpeed;
    CPngBtn m_offMoving;
    std::array<CPngBtn, 2> m_zoneBtn;
    std::array<HWND, 3> m_edit{};
    bool m_settingEdits = false;
    bool m_sleepUnavailable = false;  // this receiver has no sleep time or light-off box
    bool m_swatchFramed = false;      // the result swatch was pressed: it keeps a white frame
    PicturePtr m_wheel, m_mouse;
    // Each zone's light (main, logo) in white, what the profile has it show, and the light in
    // that colour as last drawn.
    std::array<PicturePtr, 2> m_zoneLight, m_zoneTinted;
    std::array<ZonePreview, 2> m_zonePreview{}, m_zoneTintedFor{};
    UiFont m_font;
    FontHandle m_editFont;
    HBRUSH m_editBrush = nullptr;
};
