#include "ui/win/led_dlg.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "device/discovery.h"
#include "platform/win/wide.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "ui/win/dpi_colour_box.h"
#include "ui/win/msg_dlg.h"

namespace {

constexpr int kComboW = 147, kComboH = 30, kSleepW = 83, kSleepH = 19;
constexpr int kSliderW = 261, kSliderH = 20, kCheck = 11;
// The zone choice of a mouse with both zones: in the left panel's title band, after the title.
constexpr ZvRect kZoneBtn[2] = {{150, 18, 315, 44}, {320, 18, 485, 44}};
// Dimmer than the other captions, yet still readable against the panel.
constexpr COLORREF kUnavailableText = RGB(138, 144, 156);

bool Inside(const ZvRect& r, POINT pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

RECT SliderRect(ZvPoint at) {
    // A little taller than the track so the whole thumb shows.
    return RECT{at.x, at.y - 5, at.x + kSliderW, at.y - 5 + kSliderH};
}

// The red, green and blue boxes pass Tab on to each other (Shift+Tab back); the first and last
// box leave Tab to the window around them.
constexpr wchar_t kEditProcProp[] = L"ZvColourEditProc";

HWND NextColourBox(HWND box, bool back) {
    const HWND page = ::GetParent(box);
    const int id = ::GetDlgCtrlID(box);
    const int next = id + (back ? -1 : 1);
    if (next < static_cast<int>(CLedDlg::kIdEdit) || next >= static_cast<int>(CLedDlg::kIdEdit) + 3)
        return nullptr;
    return ::GetDlgItem(page, next);
}

LRESULT CALLBACK ColourEditProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    const auto old = reinterpret_cast<WNDPROC>(::GetPropW(box, kEditProcProp));
    const bool back = ::GetKeyState(VK_SHIFT) < 0;
    switch (msg) {
        case WM_GETDLGCODE: {
            const LRESULT code = ::CallWindowProcW(old, box, msg, wp, lp);
            const auto* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB && NextColourBox(box, back))
                return code | DLGC_WANTTAB;
            return code;
        }
        case WM_KEYDOWN:
            if (wp == VK_TAB) {
                if (const HWND next = NextColourBox(box, back)) ::SetFocus(next);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == '\t') return 0;  // no beep
            break;
        case WM_NCDESTROY:
            ::RemovePropW(box, kEditProcProp);
            ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            break;
        default:
            break;
    }
    return ::CallWindowProcW(old, box, msg, wp, lp);
}

// Why the sleep controls are greyed; English when the language file lacks the text.
std::string UnavailableText() {
    const std::string& t = GetText("tc_pid_unavailable");
    return t.empty() ? "Not available with this receiver" : t;
}

// The first connected receiver's product id, 0 without one.
uint32_t FirstReceiverPid() {
    for (int i = 0; i < kMaxDeviceSlots; ++i) {
        const DeviceSlot s = GetDeviceSlot(i);
        if (s.bActive) return s.PID;
    }
    return 0;
}

}  // namespace

CLedDlg::CLedDlg(const PageParts& parts)
    : CMainPage(parts),
      m_chooser(ChooseSystemColour),
      m_showText([](HWND owner, const std::string& key) { ShowMessage(key, nullptr, owner); }) {}

CLedDlg::~CLedDlg() {
    // The controls go before the fonts and brush they draw with.
    DestroyWindow();
    if (m_editBrush) ::DeleteObject(m_editBrush);
}

CPngSliderBar& CLedDlg::Slider(LightSlider which) {
    switch (which) {
        case LightSlider::kMainBrightness:
            return m_mainLight;
        case LightSlider::kMainSpeed:
            return m_mainSpeed;
        case LightSlider::kLogoBrightness:
            return m_logoLight;
        default:
            return m_logoSpeed;
    }
}

namespace {
// The colour of a lit zone at column x of its picture: the zone's own colour, or for a mode
// that picks its colours a sweep through the house colours, red through violet to cyan.
std::function<COLORREF(int, int)> ZoneColourAt(const ZonePreview& v) {
    if (v.kind == ZonePreview::Kind::kColour) {
        const auto c = static_cast<COLORREF>(v.colour);
        return [c](int, int) { return c; };
    }
    return [](int x, int width) {
        static constexpr COLORREF kStops[3] = {RGB(255, 59, 92), RGB(138, 77, 255),
                                               RGB(0, 212, 255)};
        const double t = width > 1 ? 2.0 * x / (width - 1) : 0.0;
        const int k = t >= 1.0 ? 1 : 0;
        const double f = t - k;
        auto mix = [f](int a, int b) { return static_cast<BYTE>(a + (b - a) * f + 0.5); };
        const COLORREF a = kStops[k], b = kStops[k + 1];
        return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                   mix(GetBValue(a), GetBValue(b)));
    };
}
}  // namespace

// ---- building --------------------------------------------------------------------------------

bool CLedDlg::OnCreatePage() {
    // The controls cut their backgrounds out of the page's picture while they are made.
    SetSkinBackground([] { return LoadSkinPicture(SkinPath("led_nr.png")); });
    m_wheel = LoadSkinPicture(SkinPath("color.png"));
    m_font = UiFont(Theme().font, Theme().FontHeight(), FW_NORMAL);
    m_layout = LayoutLighting(gVar);
    CreateCombos();
    CreateZoneButtons();
    CreateSliders();
    CreateEdits();
    OnTextsChanged();
    LayoutForDevice();
    return true;
}

void CLedDlg::CreateCombos() {
    PicturePtr combo = LoadSkinPicture(SkinPath("combo_nr.png"));
    for (CComboBtn* c : {&m_mainMode, &m_logoMode}) {
        const bool logo = c == &m_logoMode;
        ComboBtnArgs a;
        a.button.id = logo ? kIdLogoMode : kIdMainMode;
        a.button.rc =
            Scaled(ZvRect{m_options.ptLedEft.x, m_options.ptLedEft.y,
                          m_options.ptLedEft.x + kComboW, m_options.ptLedEft.y + kComboH});
        a.button.normal = a.button.hover = a.button.pressed = combo.get();
        a.button.visible = false;
        a.permission = [this] { return m_host.CheckDeviceReady() != 0; };
        if (logo)
            a.onChange = [this](int32_t mode) {
                const auto m = static_cast<uint32_t>(mode);
                Change([m](ProfileFile& p) { return ChooseLogoMode(p, m); }, false);
            };
        else
            a.onChange = [this](int32_t mode) {
                const auto m = static_cast<uint32_t>(mode);
                const SensorCfg* cfg = m_catalogue.pSensorCfg;
                if (!cfg) return;
                Change([this, cfg,
                        m](ProfileFile& p) { return ChooseMainMode(p, *cfg, m_options.LedOpt, m); },
                       false);
            };
        AddCombo(*c, a);
    }

    PicturePtr combo2 = LoadSkinPicture(SkinPath("combo2_nr.png"));
    ComboBtnArgs s;
    s.button.id = kIdSleep;
    s.button.rc = Scaled(ZvRect{m_options.ptSleep.x, m_options.ptSleep.y,
                                m_options.ptSleep.x + kSleepW, m_options.ptSleep.y + kSleepH});
    s.button.normal = s.button.hover = s.button.pressed = combo2.get();
    s.permission = [this] { return m_host.CheckDeviceReady() != 0; };
    s.onChange = [this](int32_t seconds) {
        const SensorCfg* cfg = m_catalogue.pSensorCfg;
        if (!cfg) return;
        Change([cfg, seconds](ProfileFile& p) { return SetSleepTime(p, *cfg, seconds); }, false);
    };
    AddCombo(m_sleep, s);

    PngBtnArgs b;
    b.id = kIdOffMoving;
    const ZvPoint at = m_options.ptLightOffOnMoving;
    b.rc = RECT{at.x, at.y, at.x + kCheck, at.y + kCheck};
    b.checkable = true;
    b.onClick = [this] {
        const bool on = !m_view.lightOffOnMoving;
        Change([on](ProfileFile& p) { return SetLightOffOnMoving(p, on); });
    };
    AddPictureButton(m_offMoving, {"check_nr.png", "check_nr.png", "check_dn.png"}, b);
}

void CLedDlg::CreateZoneButtons() {
    const COLORREF text =
        m_options.clrTxtLedDlg ? static_cast<COLORREF>(m_options.clrTxtLedDlg) : Theme().text;
    const COLORREF chosen = m_options.Btn_txt_clr_ov
                                ? static_cast<COLORREF>(m_options.Btn_txt_clr_ov)
                                : RGB(0, 212, 255);
    for (int i = 0; i < 2; ++i) {
        PngBtnArgs a;
        a.id = i ? kIdZoneLogo : kIdZoneMain;
        a.rc = Scaled(kZoneBtn[i]);
        a.caption = GetText(i ? "tc_led_eft2" : "tc_led_eft1");
        a.checkable = true;
        a.visible = false;
        const LightZone zone = i ? LightZone::kLogo : LightZone::kMain;
        a.onClick = [this, zone] {
            ClosePopup();
            ShowZone(zone);
        };
        CPngBtn& b = m_zoneBtn[static_cast<size_t>(i)];
        // The chosen zone's name keeps the highlight colour.
        if (AddButton(b, a)) b.SetTextColors(text, chosen, chosen);
    }
}

void CLedDlg::ShowZone(LightZone zone) {
    m_zone = zone;
    ShowProfile();
}

void CLedDlg::CreateSliders() {
    const struct {
        CPngSliderBar* bar;
        UINT id;
        ZvPoint at;
    } sliders[] = {{&m_mainLight, kIdMainLight, m_options.ptLight},
                   {&m_mainSpeed, kIdMainSpeed, m_options.ptSpeed},
                   {&m_logoLight, kIdLogoLight, m_options.ptLight},
                   {&m_logoSpeed, kIdLogoSpeed, m_options.ptSpeed}};
    for (const auto& s : sliders) {
        SliderArgs a;
        a.id = s.id;
        a.rc = SliderRect(s.at);
        a.track = "bar_nr.png";
        a.fill = "bar_ov.png";
        a.thumb = "slider.png";
        a.trackOffset = POINT{0, (kSliderH - 6) / 2};
        a.thumbY = m_options.SliderY + 1;
        if (AddSlider(*s.bar, a)) ShowControl(*s.bar, false);
    }
}

void CLedDlg::CreateEdits() {
    m_editFont.Reset(::CreateFontW(Theme().large ? 30 : 15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
    // The theme's text boxes, as in every dialog of the program.
    m_editBrush = ::CreateSolidBrush(Theme().edit);
    for (size_t i = 0; i < m_edit.size(); ++i) {
        const RECT rc = Scaled(m_layout.edits[i]);
        m_edit[i] = ::CreateWindowExW(
            0, L"EDIT", L"0", WS_CHILD | ES_CENTER | ES_NUMBER | ES_AUTOHSCROLL, rc.left, rc.top,
            rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdEdit + i)), AppInstance(), nullptr);
        if (!m_edit[i]) continue;
        ::SendMessageW(m_edit[i], WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.get()), FALSE);
        const LONG_PTR old = ::SetWindowLongPtrW(m_edit[i], GWLP_WNDPROC,
                                                 reinterpret_cast<LONG_PTR>(ColourEditProc));
        ::SetPropW(m_edit[i], kEditProcProp, reinterpret_cast<HANDLE>(old));
        // Room for a few digits past 255, so a typed 300 shows the correction.
        ::SendMessageW(m_edit[i], EM_LIMITTEXT, 4, 0);
    }
}

void CLedDlg::OnTextsChanged() {
    FillModeItems();
    FillSleepItems();
    // Screen readers hear each control by the text the page writes beside it.
    for (CComboBtn* c : {&m_mainMode, &m_logoMode}) c->SetAccessibleName(GetText("tc_adv_str8"));
    for (CPngSliderBar* b : {&m_mainLight, &m_logoLight})
        b->SetAccessibleName(GetText("tc_adv_str7"));
    for (CPngSliderBar* b : {&m_mainSpeed, &m_logoSpeed})
        b->SetAccessibleName(GetText("tc_adv_str10"));
    m_offMoving.SetAccessibleName(GetText("tc_adv_str23"));
    m_sleep.SetAccessibleName(GetText("tc_adv_str20"));
    for (int i = 0; i < 2; ++i)
        if (m_zoneBtn[static_cast<size_t>(i)].m_hWnd)
            m_zoneBtn[static_cast<size_t>(i)].SetText(GetText(i ? "tc_led_eft2" : "tc_led_eft1"));
    Invalidate();
}

void CLedDlg::FillModeItems() {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (m_mainMode.m_hWnd) {
        const int32_t chosen = m_mainMode.GetValue();
        m_mainMode.Model() = ComboModel{};
        for (const ModeItem& item : MainModeItems(cfg ? cfg->LedMask : 0))
            m_mainMode.AddItem(0, static_cast<int32_t>(item.mode), GetText(item.textKey));
        m_mainMode.SelectValue(chosen);
    }
    if (m_logoMode.m_hWnd) {
        const int32_t chosen = m_logoMode.GetValue();
        m_logoMode.Model() = ComboModel{};
        for (const ModeItem& item : LogoModeItems())
            m_logoMode.AddItem(0, static_cast<int32_t>(item.mode), GetText(item.textKey));
        m_logoMode.SelectValue(chosen);
    }
}

void CLedDlg::FillSleepItems() {
    if (!m_sleep.m_hWnd) return;
    const int32_t chosen = m_sleep.GetValue();
    m_sleep.Model() = ComboModel{};
    if (const SensorCfg* cfg = m_catalogue.pSensorCfg)
        for (const SleepItem& item : SleepItems(*cfg)) m_sleep.AddItem(0, item.seconds, item.text);
    m_sleep.SelectValue(chosen);
}

// ---- the device and the profile ----------------------------------------------------------

void CLedDlg::LayoutForDevice() {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (!cfg || !m_hWnd) return;
    m_laidOutFor = cfg;
    m_mouse = LoadSkinPicture(DeviceSkinPath(static_cast<uint8_t>(cfg->CID),
                                             static_cast<uint8_t>(cfg->MID), "mouse_led.png"));
    for (size_t i = 0; i < m_zoneLight.size(); ++i) {
        m_zoneLight[i] = LoadSkinPicture(
            DeviceSkinPath(static_cast<uint8_t>(cfg->CID), static_cast<uint8_t>(cfg->MID),
                           i ? "mouse_zone_logo.png" : "mouse_zone_main.png"));
        m_zoneTinted[i].reset();
    }
    // Another mouse starts on its first zone.
    m_zone = EditableZone(*cfg, LightZone::kMain);
    for (LightSlider which : {LightSlider::kMainBrightness, LightSlider::kMainSpeed,
                              LightSlider::kLogoBrightness, LightSlider::kLogoSpeed}) {
        CPngSliderBar& bar = Slider(which);
        if (!bar.m_hWnd) continue;
        const IntRange r = LightSliderRange(*cfg, which);
        if (r.hi < r.lo) continue;
        bar.SetRange(r.lo, r.hi);
        const int32_t count = r.hi - r.lo + 1;
        std::optional<SliderWarning> warning;
        const std::vector<int32_t> marks = SliderMarks(kSliderW, count, &warning);
        if (warning) platform::ShowMessageBox(warning->text, warning->caption);
        bar.SetScalePos(count, marks.data());
    }
    FillModeItems();
    FillSleepItems();
    ShowProfile();
}

void CLedDlg::DeviceChanged(DevBehaviorKind kind) {
    // The mouse's own lighting changes come back through the profile.
    if (kind == kBehaviorMainLight || kind == kBehaviorLogoLight) ShowProfile();
}

void CLedDlg::ShowProfile() {
    if (!m_hWnd) return;
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (!cfg) return;
    if (m_laidOutFor != cfg) return LayoutForDevice();
    const bool shown = m_profiles.Read([&](const ProfileState& s) {
        if (!s.pFile) return false;
        m_view = ViewLighting(*s.pFile, *cfg, m_options.LedOpt, m_zone);
        for (LightZone z : {LightZone::kMain, LightZone::kLogo})
            m_zonePreview[z == LightZone::kLogo ? 1 : 0] =
                PreviewZone(*s.pFile, *cfg, m_options.LedOpt, z);
        return true;
    });
    if (!shown) return;
    const LightingView& v = m_view;
    m_zone = v.zone;
    const bool logo = v.zone == LightZone::kLogo;
    // One zone at a time: its mode list, sliders and colour; the zone buttons say which.
    ShowControl(m_mainMode, v.showMain && !logo);
    ShowControl(m_logoMode, v.showLogo && logo);
    m_mainMode.SelectValue(static_cast<int32_t>(v.mainMode));
    m_logoMode.SelectValue(static_cast<int32_t>(v.logoMode));
    for (int i = 0; i < 2; ++i) {
        CPngBtn& b = m_zoneBtn[static_cast<size_t>(i)];
        ShowControl(b, v.chooseZone);
        if (b.m_hWnd) b.SetCheck((i == 1) == logo);
    }

    CPngSliderBar& light = logo ? m_logoLight : m_mainLight;
    CPngSliderBar& speed = logo ? m_logoSpeed : m_mainSpeed;
    for (CPngSliderBar* bar : {&m_mainLight, &m_mainSpeed, &m_logoLight, &m_logoSpeed}) {
        const bool on =
            (bar == &light && v.controls.brightness) || (bar == &speed && v.controls.speed);
        // Hidden or shown only when that changes: showing repaints the track.
        if (ControlShown(*bar) != on) ShowControl(*bar, on);
    }
    if (light.m_hWnd) light.SetValue(v.brightness, false);
    if (speed.m_hWnd) speed.SetValue(v.speed, false);

    ShowColour(v.colour);
    for (HWND e : m_edit)
        if (e) ::ShowWindow(e, v.controls.colour ? SW_SHOWNA : SW_HIDE);

    ShowControl(m_sleep, v.showSleep);
    ShowControl(m_offMoving, v.showSleep);
    if (v.sleepItem >= 0)
        m_sleep.SelectValue(v.sleepItems[static_cast<size_t>(v.sleepItem)].seconds);
    if (m_offMoving.m_hWnd) m_offMoving.SetCheck(v.lightOffOnMoving);
    const bool disabled = SleepControlsDisabled(gVar, FirstReceiverPid());
    const bool wasDisabled = m_sleepUnavailable;
    m_sleepUnavailable = disabled;
    // The reason is on the controls too: they look unavailable and say why when pointed at.
    for (CPngBtn* b : {static_cast<CPngBtn*>(&m_sleep), &m_offMoving}) {
        if (!b->m_hWnd) continue;
        b->SetDisabledLook(disabled);
        if (disabled || wasDisabled) b->SetTooltip(disabled ? UnavailableText() : std::string());
    }
    Invalidate();
}

void CLedDlg::ShowColour(uint32_t colour) {
    m_view.colour = colour;
    m_view.colourLabel = ColourLabel(colour);
    m_settingEdits = true;
    const HWND typing = ::GetFocus();
    for (size_t i = 0; i < m_edit.size(); ++i) {
        if (!m_edit[i]) continue;
        const uint32_t value = (colour >> (8 * i)) & 0xFF;
        const std::wstring text = std::to_wstring(value);
        wchar_t now[16] = {};
        ::GetWindowTextW(m_edit[i], now, 16);
        // The box being typed in is left as the user has it while it means the same number:
        // an emptied box stays empty (it counts as 0) rather than getting a "0" before the
        // caret that the next digits would be typed in front of.
        if (m_edit[i] == typing &&
            ReadColourEdits({platform::win::Narrow(now), "", ""}).colour == value)
            continue;
        if (text != now) ::SetWindowTextW(m_edit[i], text.c_str());
    }
    m_settingEdits = false;
}

void CLedDlg::Change(const std::function<PageChange(ProfileFile&)>& edit, bool askFirst) {
    ClosePopup();
    if (askFirst && !m_host.CheckDeviceReady()) return;
    const PageChange c =
        EditCurrentProfile([&](ProfileFile& p, int32_t&) { return edit(p); }, false);
    if (c.Changed() && m_options.ApplyNow) {
        if (c.flag != kApplyLighting) {
            RequestApply(c.flag, c.data);
        } else if (!PlaceLightingRequest(c.data, [this] { return m_host.LightingHeld(); })) {
            // The mouse shows something of its own; the change waits in the profile.
            m_showText(m_hWnd, "tc_adv_str29");
        }
    }
    ShowProfile();
}

void CLedDlg::PickColour(uint32_t colour, bool askFirst) {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (!cfg || !m_view.controls.colour) return;
    const LightZone zone = m_view.zone;
    Change([cfg, zone, colour](ProfileFile& p) { return SetLightColour(p, *cfg, zone, colour); },
           askFirst);
}

void CLedDlg::OnEditChanged(HWND box) {
    std::array<std::string, 3> texts;
    for (size_t i = 0; i < m_edit.size(); ++i) {
        wchar_t buf[32] = {};
        if (m_edit[i]) ::GetWindowTextW(m_edit[i], buf, 32);
        texts[i] = platform::win::Narrow(buf);
    }
    const ColourEdits e = ReadColourEdits(texts);
    for (size_t i = 0; i < m_edit.size(); ++i) {
        if (!e.replaced[i] || !m_edit[i]) continue;
        m_settingEdits = true;
        ::SetWindowTextW(m_edit[i], platform::win::Widen(*e.replaced[i]).c_str());
        m_settingEdits = false;
        if (m_edit[i] == box) ::SendMessageW(box, EM_SETSEL, 4, 4);
    }
    if (!m_host.CheckDeviceReady()) {
        // Refused: the boxes show the profile's colour again.
        ShowColour(m_view.colour);
        return;
    }
    PickColour(e.colour, false);
}

bool CLedDlg::WheelColour(POINT pt, uint32_t* colour) const {
    if (!PicturePresent(m_wheel.get())) return false;
    const int x = pt.x - m_layout.wheel.left, y = pt.y - m_layout.wheel.top;
    if (x < 0 || y < 0 || x >= PictureWidth(m_wheel.get()) || y >= PictureHeight(m_wheel.get()))
        return false;
    // The pixel the user sees there: the wheel picture is drawn unscaled over the page.
    Gdiplus::Color c;
    if (m_wheel->bmp->GetPixel(x, y, &c) != Gdiplus::Ok || c.GetA() < 128) return false;
    *colour = Rgb(c.GetR(), c.GetG(), c.GetB());
    return true;
}

// ---- messages -----------------------------------------------------------------------------

LRESULT CLedDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kSliderMayChange:
            return m_host.CheckDeviceReady() ? 1 : 0;
        case kSliderCommitted: {
            const UINT control = LOWORD(lp);
            if (control < kIdMainLight || control > kIdLogoSpeed || !m_catalogue.pSensorCfg)
                return 0;
            const auto which = static_cast<LightSlider>(control - kIdMainLight);
            const SensorCfg* cfg = m_catalogue.pSensorCfg;
            const auto value = static_cast<int32_t>(wp);
            // The slider asked for permission before it moved.
            Change([=](ProfileFile& p) { return CommitLightSlider(p, *cfg, which, value); }, false);
            return 0;
        }
        case kSliderDragging:
            // The values beside the sliders are drawn by the page.
            Invalidate();
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == m_hWnd && m_view.controls.colour) {
                POINT pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(m_hWnd, &pt);
                pt = Theme().Unscale(pt);
                if (InColourWheel(m_layout.wheel, {pt.x, pt.y}) ||
                    PresetAt(m_layout, {pt.x, pt.y}) >= 0) {
                    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
            }
            break;
        default:
            break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}

bool CLedDlg::OnMouse(UINT msg, POINT onScreen, WPARAM) {
    if (msg != WM_LBUTTONDOWN && msg != WM_LBUTTONDBLCLK) return false;
    ClosePopup();
    // The colour controls are laid out and hit-tested in the normal layout.
    const POINT pt = Theme().Unscale(onScreen);
    const ZvPoint at{pt.x, pt.y};
    if (m_view.controls.colour) {
        uint32_t colour = 0;
        if (InColourWheel(m_layout.wheel, at)) {
            if (WheelColour(pt, &colour)) PickColour(colour);
            return true;
        }
        if (const int preset = PresetAt(m_layout, at); preset >= 0) {
            PickColour(kPresetColours[static_cast<size_t>(preset)]);
            return true;
        }
        if (Inside(m_layout.result, pt)) {
            // A pressed swatch keeps a frame: it shows which colour the chooser will start at.
            if (!m_swatchFramed) {
                m_swatchFramed = true;
                Invalidate();
            }
            if (msg == WM_LBUTTONDBLCLK && m_chooser) {
                COLORREF c = static_cast<COLORREF>(m_view.colour);
                // The chosen colour is sent like any other pick, not left for a later change.
                if (m_chooser(m_hWnd, &c)) PickColour(static_cast<uint32_t>(c) & 0xFFFFFF);
            }
            return true;
        }
    }
    if (msg != WM_LBUTTONDOWN) return true;
    // The borderless main window is dragged by its pages too.
    ::ReleaseCapture();
    ::PostMessageW(::GetParent(m_hWnd), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return true;
}

bool CLedDlg::OnCommand(UINT id, UINT code, HWND from) {
    if (id >= kIdEdit && id < kIdEdit + 3) {
        // Only typing counts: the page setting the boxes, or a box losing focus, does not.
        if (code == EN_CHANGE && !m_settingEdits && ::GetFocus() == from) OnEditChanged(from);
        // A box taken with the mouse or Tab has its whole number selected, so typing replaces
        // it. Posted: a click places the caret after the focus arrives.
        if (code == EN_SETFOCUS) ::PostMessageW(from, EM_SETSEL, 0, -1);
        return true;
    }
    return CMainPage::OnCommand(id, code, from);
}

HBRUSH CLedDlg::OnCtlColor(UINT msg, HDC dc, HWND from) {
    // A box that cannot be typed into asks with WM_CTLCOLORSTATIC: it keeps the theme too.
    if ((msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) &&
        std::find(m_edit.begin(), m_edit.end(), from) != m_edit.end()) {
        ::SetBkColor(dc, Theme().edit);
        ::SetTextColor(dc, Theme().text);
        return m_editBrush;
    }
    return CMainPage::OnCtlColor(msg, dc, from);
}

// ---- painting -------------------------------------------------------------------------------

void CLedDlg::OnPaintPage(CMemPaint& buf) {
    const HDC dc = buf.dc();
    Gdiplus::Graphics& g = buf.g();
    const COLORREF text =
        m_options.clrTxtLedDlg ? static_cast<COLORREF>(m_options.clrTxtLedDlg) : Theme().text;
    constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    // Everything is placed in the normal layout and drawn where that lies on this screen.
    auto draw = [&](const std::string& s, const RECT& rc, UINT align,
                    TextRole role = TextRole::kLabel) {
        DrawPageText(dc, s, rc, align, text, TypeFont(role));
    };
    auto at = [this](const CWndBase& w) { return ControlPlace(w); };
    auto picture = [&](SkinPicture* p, int x, int y) {
        if (PicturePresent(p))
            DrawPictureStretched(g, p,
                                 Scaled(ZvRect{x, y, x + PictureWidth(p), y + PictureHeight(p)}));
    };

    draw(GetText("tc_page4"), RECT{43, 18, 343, 42}, kLine | DT_LEFT, TextRole::kGroupTitle);
    if (const SensorCfg* cfg = m_catalogue.pSensorCfg) {
        picture(m_mouse.get(), cfg->ptLedMark.x, cfg->ptLedMark.y);
        // Each zone lit as the profile has it: its colour, or the cycle of a mode that picks
        // its own, as bright as its brightness.
        for (size_t i = 0; i < m_zoneLight.size(); ++i) {
            const ZonePreview& want = m_zonePreview[i];
            if (want.kind == ZonePreview::Kind::kOff) continue;
            if (!m_zoneTinted[i] || !(m_zoneTintedFor[i] == want)) {
                m_zoneTinted[i] =
                    TintPicture(m_zoneLight[i].get(), ZoneColourAt(want), want.strength);
                m_zoneTintedFor[i] = want;
            }
            picture(m_zoneTinted[i].get(), cfg->ptLedMark.x, cfg->ptLedMark.y);
        }
    }

    // With two zones the mode list is named after its zone, and the chosen zone's button is
    // underlined.
    const char* zoneName = m_view.zone == LightZone::kLogo ? "tc_led_eft2" : "tc_led_eft1";
    for (const CComboBtn* c : {&m_mainMode, &m_logoMode}) {
        if (!ControlShown(*c)) continue;
        const RECT b = at(*c);
        draw(GetText(m_view.chooseZone ? zoneName : "tc_adv_str8"),
             RECT{b.right + 10, b.top, b.right + 200, b.bottom}, kLine | DT_LEFT);
    }
    if (m_view.chooseZone) {
        const CPngBtn& chosen = m_zoneBtn[m_view.zone == LightZone::kLogo ? 1 : 0];
        if (ControlShown(chosen)) {
            const RECT b = at(chosen);
            // Just under the button, which paints over its own rectangle.
            const RECT s = Scaled(RECT{b.left + 20, b.bottom + 1, b.right - 20, b.bottom + 3});
            Gdiplus::SolidBrush accent(Gdiplus::Color(255, 0, 212, 255));
            g.FillRectangle(&accent, static_cast<INT>(s.left), static_cast<INT>(s.top),
                            static_cast<INT>(s.right - s.left), static_cast<INT>(s.bottom - s.top));
        }
    }
    const std::pair<const CPngSliderBar*, const char*> sliders[] = {{&m_mainLight, "tc_adv_str7"},
                                                                    {&m_mainSpeed, "tc_adv_str10"},
                                                                    {&m_logoLight, "tc_adv_str7"},
                                                                    {&m_logoSpeed, "tc_adv_str10"}};
    bool zoneNamed = false;
    for (const auto& [bar, key] : sliders) {
        if (!ControlShown(*bar)) continue;
        const RECT b = at(*bar);
        draw(GetText(key), RECT{b.left, b.top - 24, b.left + 250, b.top - 4}, kLine | DT_LEFT);
        if (m_view.chooseZone && !zoneNamed) {
            // The sliders sit apart from the zone buttons: they carry the zone's name too.
            zoneNamed = true;
            draw(GetText(zoneName), RECT{b.left + 100, b.top - 24, b.right, b.top - 4},
                 kLine | DT_RIGHT);
        }
        draw(std::to_string(bar->GetValue()), RECT{b.right + 12, b.top, b.right + 50, b.bottom},
             kLine | DT_LEFT, TextRole::kValue);
    }
    // Controls this receiver does not offer: their captions greyed, the reason beside them.
    const COLORREF sleepText = m_sleepUnavailable ? kUnavailableText : text;
    if (ControlShown(m_offMoving)) {
        const RECT b = at(m_offMoving);
        DrawPageText(dc, GetText("tc_adv_str23"),
                     RECT{b.right + 8, b.top - 5, b.right + 400, b.bottom + 5}, kLine | DT_LEFT,
                     sleepText, m_font.get());
    }
    if (ControlShown(m_sleep)) {
        const RECT b = at(m_sleep);
        DrawPageText(dc, GetText("tc_adv_str20"),
                     RECT{b.right + 10, b.top, b.right + 170, b.bottom}, kLine | DT_LEFT, sleepText,
                     m_font.get());
        if (m_sleepUnavailable)
            DrawPageText(dc, UnavailableText(),
                         RECT{b.right + 10, b.bottom + 4, b.right + 400, b.bottom + 22},
                         kLine | DT_LEFT, Theme().mark, TypeFont(TextRole::kNote));
    }

    if (!m_view.controls.colour) {
        // The background carries the frames of the swatch, the wheel and the presets; a mode
        // without a colour shows none of them, so they are covered with the panel's own shading
        // rather than left standing empty.
        const RECT panel = Scaled(RECT{21, 11, 489, 531});
        const RECT area = Scaled(RECT{22, 106, 488, 522});
        Gdiplus::LinearGradientBrush shade(Gdiplus::Point(0, static_cast<INT>(panel.top)),
                                           Gdiplus::Point(0, static_cast<INT>(panel.bottom)),
                                           Gdiplus::Color(255, 0x1e, 0x24, 0x30),
                                           Gdiplus::Color(255, 0x18, 0x1c, 0x26));
        g.FillRectangle(&shade, static_cast<INT>(area.left), static_cast<INT>(area.top),
                        static_cast<INT>(area.right - area.left),
                        static_cast<INT>(area.bottom - area.top));
        return;
    }
    picture(m_wheel.get(), m_layout.wheel.left, m_layout.wheel.top);
    auto fill = [&](const ZvRect& r, uint32_t colour) {
        Gdiplus::SolidBrush brush(
            Gdiplus::Color(255, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
        const RECT s = Scaled(r);
        g.FillRectangle(&brush, static_cast<INT>(s.left), static_cast<INT>(s.top),
                        static_cast<INT>(s.right - s.left), static_cast<INT>(s.bottom - s.top));
    };
    for (size_t i = 0; i < kPresetColours.size(); ++i) fill(m_layout.presets[i], kPresetColours[i]);
    const ZvRect& res = m_layout.result;
    if (m_swatchFramed) {
        // One pixel of the normal layout: two on a large screen.
        const RECT s = Scaled(res);
        const int w = Theme().large ? 2 : 1;
        Gdiplus::Pen white(Gdiplus::Color(255, 255, 255, 255), static_cast<Gdiplus::REAL>(w));
        white.SetAlignment(Gdiplus::PenAlignmentInset);
        g.DrawRectangle(&white, static_cast<INT>(s.left), static_cast<INT>(s.top),
                        static_cast<INT>(s.right - s.left - 1),
                        static_cast<INT>(s.bottom - s.top - 1));
    }
    fill(ZvRect{res.left + 2, res.top + 2, res.right - 2, res.bottom - 2}, m_view.colour);
    const ZvRect& last = m_layout.presets.back();
    draw(GetText("tc_adv_str11"),
         RECT{m_layout.presets.front().left, last.bottom + 6, last.right, last.bottom + 26},
         kLine | DT_LEFT);
    static constexpr const char* kRgb[3] = {"R", "G", "B"};
    for (size_t i = 0; i < m_edit.size(); ++i) {
        const ZvRect& e = m_layout.edits[i];
        draw(kRgb[i], RECT{e.left - 16, e.top, e.left - 3, e.bottom}, kLine | DT_RIGHT);
    }
    const ZvRect& b = m_layout.edits[2];
    draw(m_view.colourLabel, RECT{b.right + 12, b.top, b.right + 82, b.bottom}, kLine | DT_LEFT,
         TextRole::kValue);
}
