#include "ui/win/new_adv_dlg.h"

#include <oleacc.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "platform/win/wide.h"
#include "platform/window.h"
#include "profile/apply_thread.h"
#include "ui/win/msg_dlg.h"

namespace {

constexpr int kScaleMargin = 10;
constexpr int kRadio = 12;
constexpr int kSensorLpDx = 57;
constexpr int kEffectW = 147, kEffectH = 30, kSliderW = 261, kSliderH = 20;

RECT Rc(const ZvRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

std::string Num(int64_t v) {
    return std::to_string(v);
}

COLORREF Colour(uint32_t optionColour, COLORREF fallback) {
    return optionColour ? static_cast<COLORREF>(optionColour) : fallback;
}

void MoveCtl(const CWndBase& w, const RECT& rc) {
    if (w.m_hWnd)
        ::SetWindowPos(w.m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveCtlTo(const CWndBase& w, ZvPoint at) {
    if (w.m_hWnd)
        ::SetWindowPos(w.m_hWnd, nullptr, at.x, at.y, 0, 0,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

// The colours of the X and Y thumbs' pictures (slider1.png, slider2.png).
constexpr COLORREF kXThumbColour = RGB(0, 212, 255), kYThumbColour = RGB(255, 59, 92);

void Check(CPngBtn& b, bool on) {
    if (b.m_hWnd) b.SetCheck(on);
}

}  // namespace

CNewAdvDlg::CNewAdvDlg(const PageParts& parts, PerfPageLook look)
    : CMainPage(parts),
      m_look(look),
      m_askNumber([](HWND parent, const std::string& prompt, uint32_t* out) {
          return AskNumber(parent, prompt, 6, out, NumberRange{0, 999999});
      }),
      m_showText([](HWND parent, const std::string& text) { ShowMessageText(text, parent); }) {}

CNewAdvDlg::~CNewAdvDlg() {
    // The controls go before the font they draw with.
    DestroyWindow();
}

CPngBtn& CNewAdvDlg::SwitchBox(PerfSwitch which) {
    switch (which) {
        case PerfSwitch::kRipple:
            return m_ripple;
        case PerfSwitch::kAngleSnap:
            return m_angle;
        default:
            return m_motion;
    }
}

// ---- building --------------------------------------------------------------------------------

bool CNewAdvDlg::OnCreatePage() {
    // The controls cut their backgrounds out of the page's picture while they are made; the
    // main window hands the page the same picture afterwards.
    SetSkinBackground([own = SkinPath(m_look.background)] {
        PicturePtr background = LoadSkinPicture(own);
        // A skin made before the older page had its own picture still has the newer page's.
        if (!PicturePresent(background.get())) background = LoadSkinPicture(SkinPath("adv_nr.png"));
        return background;
    });
    m_singleThumb = LoadSkinPicture(SkinPath("slider.png"));
    m_font = UiFont(Theme().font, Theme().FontHeight(), FW_NORMAL);
    for (int i = 0; i < kDpiLevels; ++i) CreateRow(i);
    CreateButtons();
    CreateEffect();
    LayoutForDevice();
    NameControls();
    return true;
}

void CNewAdvDlg::NameControls() {
    // Each control is called what the page writes beside it.
    for (int i = 0; i < kDpiLevels; ++i) {
        const auto n = static_cast<size_t>(i);
        const std::string level = DpiLevelName(i, m_look.olderNames);
        m_bar[n].SetAccessibleName(level);
        m_xLabel[n].SetAccessibleName(level + " X");
        m_yLabel[n].SetAccessibleName(level + " Y");
        m_colour[n].SetAccessibleName(level + " " + GetText("tc_adv_str30"));
        m_name[n].SetFocusGroup(kGroupLevel);
    }
    m_xy.SetAccessibleName(GetText("tc_msg19"));
    m_levels.SetAccessibleName(GetText("tc_adv_str19"));
    for (int k = 0; k < kRateButtons; ++k) {
        CPngBtn& b = m_rate[static_cast<size_t>(k)];
        b.SetAccessibleName(GetText("tc_adv_str6") + ": " + RateLabel(k));
        b.SetFocusGroup(kGroupRate);
    }
    for (int k = 0; k < 2; ++k) {
        CPngBtn& b = m_lod[static_cast<size_t>(k)];
        b.SetAccessibleName(GetText("tc_adv_str9") + ": " + LiftOffLabel(k + 1));
        b.SetFocusGroup(kGroupLiftOff);
    }
    m_ripple.SetAccessibleName(GetText("tc_adv_str12"));
    m_angle.SetAccessibleName(GetText("tc_adv_str13"));
    m_motion.SetAccessibleName(GetText("tc_adv_str17"));
    m_hp.SetAccessibleName("HP");
    m_lp.SetAccessibleName("LP");
    m_hp.SetFocusGroup(kGroupSensorMode);
    m_lp.SetFocusGroup(kGroupSensorMode);
    m_effect.SetAccessibleName(GetText("tc_adv_str14"));
    m_light.SetAccessibleName(GetText("tc_adv_str7"));
    m_speed.SetAccessibleName(GetText("tc_adv_str10"));
}

bool CNewAdvDlg::CreateRow(int i) {
    const auto n = static_cast<size_t>(i);
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    const DpiRowLayout r = LayoutDpiRow(m_options.ptDpiBar, m_look.barWidth, cfg ? cfg->DPIH : 10,
                                        cfg && cfg->ShowXY, i);
    SliderArgs a;
    a.id = kIdBar + static_cast<UINT>(i);
    a.rc = Rc(r.bar);
    a.track = m_look.barTrack;
    a.fill = m_look.barFill;
    a.thumb = "slider1.png";
    a.thumb2 = "slider2.png";
    a.trackOffset = POINT{0, m_options.DpiBarY};
    a.thumbY = m_options.DpiSliderY;
    if (AddSlider(m_bar[n], a)) {
        m_bar[n].SetTwoThumbs(false, m_singleThumb.get(), m_options.DpiSliderY);
        m_bar[n].SetReportWhileDragging(true);
    }
    m_colour[n].Create(m_hWnd, Scaled(r.colour), i, Background(), kIdColour + static_cast<UINT>(i));
    m_colour[n].SetFocusLook(Theme().focus, Theme().large ? 4 : 2);

    const COLORREF text = Colour(m_options.clrTxtAdvDlg, Theme().text);
    PngBtnArgs name;
    name.id = kIdName + static_cast<UINT>(i);
    name.rc = Scaled(r.name);
    name.caption = DpiLevelName(i, m_look.olderNames);
    name.checkable = true;
    name.onClick = [this, i] {
        if (!m_view.levelNamesClickable) return;
        Change([i](ProfileFile& p, int32_t& cur) { return SetCurrentLevel(p, cur, i); });
    };
    if (AddButton(m_name[n], name))
        m_name[n].SetTextColors(text, text, Colour(m_options.clrDpiMark, RGB(255, 0, 0)));
    for (int y = 0; y < 2; ++y) {
        CPngBtn& label = y ? m_yLabel[n] : m_xLabel[n];
        PngBtnArgs l;
        l.id = (y ? kIdYLabel : kIdXLabel) + static_cast<UINT>(i);
        l.rc = Scaled(y ? r.yLabel : r.xLabel);
        l.visible = y == 0;
        if (!AddButton(label, l)) continue;
        label.SetTextColors(text, text, RGB(255, 0, 0));
        label.SetDoubleClickReport(true, i);
    }
    return true;
}

bool CNewAdvDlg::AddRadio(CPngBtn& b, UINT id, POINT at, bool check,
                          std::function<void()> onClick) {
    PngBtnArgs a;
    a.id = id;
    a.rc = RECT{at.x, at.y, at.x + kRadio, at.y + kRadio};
    a.checkable = true;
    a.onClick = std::move(onClick);
    const SkinButtonFiles files =
        check ? SkinButtonFiles{"check_nr.png", "check_nr.png", "check_dn.png"}
              : SkinButtonFiles{"radio_nr.png", "radio_nr.png", "radio_dn.png"};
    return AddPictureButton(b, files, a);
}

bool CNewAdvDlg::CreateButtons() {
    AddRadio(m_xy, kIdXY, {m_options.ptDpiBar.x, 0}, true, [this] {
        const bool separate = !m_view.separateXY;
        Change([separate](ProfileFile& p, int32_t&) { return SetSeparateXY(p, separate); });
    });

    const int x1 = m_options.ptDpiBar.x + m_look.barWidth;
    PicturePtr combo2 = LoadSkinPicture(SkinPath("combo2_nr.png"));
    ComboBtnArgs c;
    c.button.id = kIdLevels;
    c.button.rc = Scaled(RECT{x1 - 83, 25, x1, 44});
    c.button.normal = c.button.hover = c.button.pressed = combo2.get();
    c.permission = [this] { return m_host.CheckDeviceReady() != 0; };
    c.onChange = [this](int32_t count) {
        const int dm = m_catalogue.pSensorCfg ? m_catalogue.pSensorCfg->DM : kDpiLevels;
        const bool sync = m_options.SyncChangeDpiLevel != 0;
        // The combo asked for permission before it took the choice.
        Change([=](ProfileFile& p, int32_t& cur) { return SetLevelCount(p, cur, count, dm, sync); },
               false);
    };
    AddCombo(m_levels, c);

    for (int k = 0; k < kRateButtons; ++k) {
        const POINT at = m_look.rateDx ? POINT{m_look.rateAt.x + k * m_look.rateDx, m_look.rateAt.y}
                                       : POINT{m_look.rateAt.x,
                                               m_look.rateAt.y + k * (kRadio + m_options.RateVSp)};
        AddRadio(
            m_rate[static_cast<size_t>(k)], kIdRate + static_cast<UINT>(k), at, false,
            [this, k] { Change([k](ProfileFile& p, int32_t&) { return SetRateButton(p, k); }); });
    }
    for (int k = 0; k < 2; ++k)
        AddRadio(
            m_lod[static_cast<size_t>(k)], kIdLod + static_cast<UINT>(k), m_look.lod[k], false,
            [this, k] { Change([k](ProfileFile& p, int32_t&) { return SetLiftOff(p, k + 1); }); });

    const PerfSwitch switches[] = {PerfSwitch::kRipple, PerfSwitch::kAngleSnap,
                                   PerfSwitch::kMotionSync};
    const UINT switchIds[] = {kIdRipple, kIdAngle, kIdMotion};
    for (int s = 0; s < 3; ++s) {
        const PerfSwitch which = switches[s];
        AddRadio(SwitchBox(which), switchIds[s], {0, 0}, true, [this, which] {
            const bool on = which == PerfSwitch::kRipple      ? !m_view.ripple
                            : which == PerfSwitch::kAngleSnap ? !m_view.angleSnap
                                                              : !m_view.motionSync;
            Change([=](ProfileFile& p, int32_t&) { return SetPerfSwitch(p, which, on); });
        });
    }

    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (cfg && HasSensorModePair(*cfg)) {
        const POINT hp{cfg->ptSensorMode.x, cfg->ptSensorMode.y};
        for (int k = 0; k < 2; ++k) {
            const bool isHp = k == 0;
            AddRadio(
                isHp ? m_hp : m_lp, isHp ? kIdHP : kIdLP, {hp.x + k * kSensorLpDx, hp.y}, false,
                [this, isHp] {
                    Change([isHp](ProfileFile& p, int32_t&) { return SetSensorMode(p, isHp); });
                });
        }
    }
    return true;
}

bool CNewAdvDlg::CreateEffect() {
    PicturePtr combo = LoadSkinPicture(SkinPath("combo_nr.png"));
    const ZvPoint at = m_options.ptDpiEft;
    ComboBtnArgs c;
    c.button.id = kIdEffect;
    c.button.rc = Scaled(RECT{at.x, at.y, at.x + kEffectW, at.y + kEffectH});
    c.button.normal = c.button.hover = c.button.pressed = combo.get();
    c.onChange = [this](int32_t mode) {
        Change([mode](ProfileFile& p, int32_t&) { return SetDpiEffectMode(p, mode); }, false);
    };
    if (AddCombo(m_effect, c)) OnTextsChanged();

    // The effect sliders stand on the line of their option, a little taller than the track so
    // the whole thumb shows.
    const struct {
        CPngSliderBar* bar;
        UINT id;
        ZvPoint at;
        IntRange range;
    } sliders[] = {{&m_light, kIdLight, m_options.ptDpiLight, kDpiLightLevelRange},
                   {&m_speed, kIdSpeed, m_options.ptDpiSpeed, kDpiLightSpeedRange}};
    for (const auto& s : sliders) {
        SliderArgs a;
        a.id = s.id;
        a.rc = RECT{s.at.x, s.at.y - 5, s.at.x + kSliderW, s.at.y - 5 + kSliderH};
        a.track = m_look.effectTrack;
        a.fill = m_look.effectFill;
        a.thumb = "slider.png";
        a.trackOffset = POINT{0, (kSliderH - 6) / 2};
        a.thumbY = m_options.SliderY + 1;
        a.minimum = s.range.lo;
        a.maximum = s.range.hi;
        if (!AddSlider(*s.bar, a)) continue;
        const int32_t count = s.range.hi - s.range.lo + 1;
        std::optional<SliderWarning> warning;
        const std::vector<int32_t> marks = SliderMarks(kSliderW, count, &warning);
        if (warning) platform::ShowMessageBox(warning->text, warning->caption);
        s.bar->SetScalePos(count, marks.data());
        ShowControl(*s.bar, false);
    }
    return true;
}

void CNewAdvDlg::OnTextsChanged() {
    NameControls();
    if (!m_effect.m_hWnd) return;
    const int32_t chosen = m_effect.GetValue();
    m_effect.Model() = ComboModel{};
    for (const EffectItem& item : DpiEffectItems())
        m_effect.AddItem(0, item.mode, GetText(item.textKey).substr(0, 19));
    m_effect.SelectValue(chosen);
    Invalidate();
}

// ---- the device and the profile ----------------------------------------------------------

void CNewAdvDlg::LayoutForDevice() {
    if (LoadSensor()) ShowProfile();
}

bool CNewAdvDlg::LoadSensor() {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    const bool haveRecord =
        m_profiles.Read([](const ProfileState& s) { return s.pFile != nullptr; });
    if (!haveRecord || !cfg || cfg->DM > kDpiLevels) return false;
    const SensorTable* table = FindSensorTable(static_cast<uint32_t>(cfg->Sensor));
    if (!table || table->count == 0) return false;
    m_laidOutFor = cfg;

    const auto n = static_cast<int32_t>(std::min<uint32_t>(table->count, kMaxSliderEntries));
    std::vector<int32_t> values(table->dpi.begin(), table->dpi.begin() + n);
    const std::vector<int32_t> marks = SliderMarks(m_look.barWidth, n);
    for (CPngHSliderBarEx& bar : m_bar) {
        if (!bar.m_hWnd) continue;
        bar.SetRange(1, n);
        bar.SetValueList(values.data(), n);
        bar.SetScalePos(n, marks.data());
        bar.SetValue(1, values[0], false);
    }
    if (m_levels.m_hWnd) {
        const int32_t chosen = m_levels.GetValue();
        m_levels.Model() = ComboModel{};
        for (int k = 1; k <= cfg->DM; ++k) m_levels.AddItem(0, k, Num(k));
        m_levels.SelectValue(chosen);
    }
    const SwitchBoxLayout s = LayoutSwitchBoxes(*cfg);
    MoveCtlTo(m_ripple, ScaledPoint(s.ripple));
    MoveCtlTo(m_angle, ScaledPoint(s.angleSnap));
    MoveCtlTo(m_motion, ScaledPoint(s.motionSync));
    return true;
}

bool CNewAdvDlg::CurrentView(PerformanceView* v) const {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    if (!cfg) return false;
    return m_profiles.Read([&](const ProfileState& s) {
        if (!s.pFile) return false;
        *v = ViewPerformance(*s.pFile, *cfg, s.g_nCurDpiLevel);
        return true;
    });
}

void CNewAdvDlg::PlaceRows(bool separateXY) {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    const int dpih = cfg ? cfg->DPIH : 10;
    for (int i = 0; i < kDpiLevels; ++i) {
        const auto n = static_cast<size_t>(i);
        const DpiRowLayout r =
            LayoutDpiRow(m_options.ptDpiBar, m_look.barWidth, dpih, separateXY, i);
        MoveCtl(m_bar[n], Scaled(r.bar));
        MoveCtl(m_name[n], Scaled(r.name));
        MoveCtl(m_xLabel[n], Scaled(r.xLabel));
        MoveCtl(m_yLabel[n], Scaled(r.yLabel));
        MoveCtl(m_colour[n], Scaled(r.colour));
    }
    // The X/Y box under the device's last row.
    const int last = std::clamp(cfg ? cfg->DM : kDpiLevels, 1, kDpiLevels) - 1;
    const DpiRowLayout r =
        LayoutDpiRow(m_options.ptDpiBar, m_look.barWidth, dpih, separateXY, last);
    MoveCtlTo(m_xy, ScaledPoint(ZvPoint{r.bar.left, r.bar.bottom + 15}));
}

void CNewAdvDlg::ShowProfile() {
    // A profile may arrive before the main window lays the page out for its mouse.
    if (m_laidOutFor != m_catalogue.pSensorCfg && !LoadSensor()) return;
    PerformanceView v;
    if (!CurrentView(&v)) return;
    m_view = v;
    const bool separate = v.showXYBox && v.separateXY;
    PlaceRows(separate);
    for (int i = 0; i < kDpiLevels; ++i) {
        const auto n = static_cast<size_t>(i);
        const DpiRowView& r = v.row[n];
        CPngHSliderBarEx& bar = m_bar[n];
        if (bar.m_hWnd && i < v.rows) {
            bar.SetTwoThumbs(separate, nullptr, m_options.DpiSliderY);
            bar.SetValue(1, static_cast<int32_t>(r.x), false);
            bar.SetValue(2, static_cast<int32_t>(r.y), false);
        }
        ShowControl(bar, r.visible);
        ShowControl(m_name[n], r.visible);
        Check(m_name[n], r.current);
        ShowControl(m_colour[n], r.colourVisible);
        m_colour[n].SetColour(static_cast<COLORREF>(r.colour));
        m_colour[n].SetReadOnly(r.colourReadOnly);
        // Apart, the values take their thumbs' colours (X cyan, Y red), so each value tells
        // which thumb it belongs to even where the thumbs overlap.
        const COLORREF text = Colour(m_options.clrTxtAdvDlg, Theme().text);
        const COLORREF xText = separate ? kXThumbColour : text;
        if (m_xLabel[n].m_hWnd) m_xLabel[n].SetTextColors(xText, xText, RGB(255, 0, 0));
        if (m_yLabel[n].m_hWnd)
            m_yLabel[n].SetTextColors(kYThumbColour, kYThumbColour, RGB(255, 0, 0));
        if (m_xLabel[n].m_hWnd) m_xLabel[n].SetText(Num(bar.m_hWnd ? bar.GetValue(1) : r.x));
        if (m_yLabel[n].m_hWnd) m_yLabel[n].SetText(Num(bar.m_hWnd ? bar.GetValue(2) : r.y));
        ShowControl(m_xLabel[n], r.visible);
        ShowControl(m_yLabel[n], r.yShown);
    }
    if (v.levelCount > 0) m_levels.SelectValue(v.levelCount);
    ShowControl(m_levels, v.showLevelCount);
    ShowControl(m_xy, v.showXYBox);
    Check(m_xy, v.separateXY);
    for (int k = 0; k < kRateButtons; ++k) {
        ShowControl(m_rate[static_cast<size_t>(k)], v.showRate);
        Check(m_rate[static_cast<size_t>(k)], k == v.rateButton);
    }
    for (int k = 0; k < 2; ++k) {
        ShowControl(m_lod[static_cast<size_t>(k)], v.showLod);
        Check(m_lod[static_cast<size_t>(k)], v.lodButton == k + 1);
    }
    ShowControl(m_ripple, v.showRipple);
    Check(m_ripple, v.ripple);
    ShowControl(m_angle, v.showAngleSnap);
    Check(m_angle, v.angleSnap);
    ShowControl(m_motion, v.showMotionSync);
    Check(m_motion, v.motionSync);
    ShowControl(m_hp, v.hasSensorMode);
    ShowControl(m_lp, v.hasSensorMode);
    Check(m_hp, v.sensorMode == 1);
    Check(m_lp, v.sensorMode == 0);
    ShowControl(m_effect, v.showDpiEffect);
    m_effect.SelectValue(v.effectMode);
    if (m_light.m_hWnd) m_light.SetValue(v.lightLevel, false);
    if (m_speed.m_hWnd) m_speed.SetValue(v.lightSpeed, false);
    ShowControl(m_light, v.showSliderA);
    ShowControl(m_speed, v.showSliderB);
    Invalidate();
}

void CNewAdvDlg::SelectLevel(int index) {
    if (index < 0 || index >= kDpiLevels || !m_name[0].m_hWnd) return;
    for (int i = 0; i < kDpiLevels; ++i) Check(m_name[static_cast<size_t>(i)], i == index);
    m_view.row[static_cast<size_t>(index)].current = true;
}

void CNewAdvDlg::DeviceChanged(DevBehaviorKind kind) {
    if (kind == kBehaviorDpiLevel) {
        SelectLevel(m_profiles.CurrentLevel());
    } else {
        ShowProfile();
    }
}

void CNewAdvDlg::Change(const std::function<PageChange(ProfileFile&, int32_t&)>& edit,
                        bool askFirst) {
    if (askFirst && !m_host.CheckDeviceReady()) return;
    EditProfile(edit, m_options.ApplyNow != 0);
    ShowProfile();
}

// ---- messages -----------------------------------------------------------------------------

LRESULT CNewAdvDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kSliderMayChange:
            return m_host.CheckDeviceReady() ? 1 : 0;
        case kSlider2MayChange:
            return m_host.CheckDeviceReady();
        case kSliderCommitted:
        case kSlider2Committed:
            OnSliderCommit(msg, static_cast<int32_t>(wp), lp);
            return 0;
        case kSliderDragging:
        case kSlider2Dragging:
            OnSliderDrag(msg, static_cast<int32_t>(wp), lp);
            return 0;
        case WM_COLOURBOX_CHANGED:
            if (lp >= kColourBoxAsk) return m_host.CheckDeviceReady();
            if (lp >= 0 && lp < kDpiLevels) {
                const int level = static_cast<int>(lp);
                const auto colour = static_cast<uint32_t>(wp);
                Change([=](ProfileFile& p, int32_t&) { return SetDpiColour(p, level, colour); },
                       false);
            }
            return 0;
        case WM_PNGBTN_DBLCLK:
            OnTypeValue(reinterpret_cast<HWND>(wp));
            return 0;
        case WM_COMMAND:
            ClosePopup();
            break;
        case WM_SETCURSOR:
            if (m_options.ShowSys && m_look.sysLink) {
                POINT pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(m_hWnd, &pt);
                const RECT sys = Rc(m_options.rcSys);
                if (reinterpret_cast<HWND>(wp) == m_hWnd && ::PtInRect(&sys, Theme().Unscale(pt))) {
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

bool CNewAdvDlg::OnMouse(UINT msg, POINT pt, WPARAM) {
    if (msg != WM_LBUTTONDOWN) return false;
    ClosePopup();
    const RECT sys = Rc(m_options.rcSys);
    if (m_options.ShowSys && m_look.sysLink && ::PtInRect(&sys, Theme().Unscale(pt)))
        ::ShellExecuteW(nullptr, L"open", L"rundll32.exe", L"shell32.dll Control_RunDLL main.cpl",
                        nullptr, SW_SHOWNORMAL);
    // The borderless main window is dragged by its pages too.
    ::ReleaseCapture();
    ::PostMessageW(::GetParent(m_hWnd), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return true;
}

void CNewAdvDlg::OnSliderCommit(UINT msg, int32_t value, LPARAM lp) {
    const UINT control = LOWORD(lp);
    const int thumb = msg == kSlider2Committed ? HIWORD(lp) : 1;
    if (control >= kIdBar && control < kIdBar + kDpiLevels) {
        const int level = static_cast<int>(control - kIdBar);
        const auto v = static_cast<uint32_t>(value);
        Change([=](ProfileFile& p, int32_t&) { return CommitDpiThumb(p, level, thumb, v); }, false);
    } else if (control == kIdLight || control == kIdSpeed) {
        const bool speed = control == kIdSpeed;
        Change([=](ProfileFile& p, int32_t&) { return CommitDpiEffectSlider(p, speed, value); },
               false);
    }
}

void CNewAdvDlg::OnSliderDrag(UINT msg, int32_t value, LPARAM lp) {
    const UINT control = LOWORD(lp);
    if (control >= kIdBar && control < kIdBar + kDpiLevels) {
        const auto n = static_cast<size_t>(control - kIdBar);
        const bool y = msg == kSlider2Dragging && HIWORD(lp) == 2 && m_bar[n].TwoThumbs();
        (y ? m_yLabel[n] : m_xLabel[n]).SetText(Num(value));
    } else {
        // The effect sliders' values are drawn by the page.
        Invalidate();
    }
}

void CNewAdvDlg::OnTypeValue(HWND label) {
    int level = -1;
    bool y = false;
    for (int i = 0; i < kDpiLevels; ++i) {
        if (m_xLabel[static_cast<size_t>(i)].m_hWnd == label) level = i;
        if (m_yLabel[static_cast<size_t>(i)].m_hWnd == label) level = i, y = true;
    }
    if (level < 0 || !m_catalogue.pSensorCfg) return;
    const SensorTable* table =
        FindSensorTable(static_cast<uint32_t>(m_catalogue.pSensorCfg->Sensor));
    if (!table) return;
    uint32_t typed = 0;
    if (!m_askNumber(m_hWnd, DpiEntryPrompt(table), &typed)) return;
    if (!m_host.CheckDeviceReady()) return;
    bool stored = false;
    Change(
        [&](ProfileFile& p, int32_t&) {
            const PageChange c = TypeDpiValue(p, table, level, y, typed);
            stored = c.Changed();
            return c;
        },
        false);
    // A value the sensor does not reach is not stored silently as another one.
    if (stored)
        if (const std::string notice = TypedDpiNotice(table, typed, SnapTypedDpi(table, typed));
            !notice.empty())
            m_showText(m_hWnd, notice);
}

// ---- painting -------------------------------------------------------------------------------

PerfControlPlaces CNewAdvDlg::ShownControlPlaces() const {
    auto at = [this](const CWndBase& w) {
        const RECT r = ControlPlace(w);
        return ZvRect{r.left, r.top, r.right, r.bottom};
    };
    auto shown = [&](const CWndBase& w) -> std::optional<ZvRect> {
        if (!ControlShown(w)) return std::nullopt;
        return at(w);
    };
    PerfControlPlaces c;
    c.dpiTitle = gVar.pSensorCfg && gVar.pSensorCfg->ShowDpi;
    c.xy = shown(m_xy);
    c.levels = shown(m_levels);
    if (m_bar[0].m_hWnd && gVar.pSensorCfg) {
        const int last = std::clamp(gVar.pSensorCfg->DM, 1, kDpiLevels) - 1;
        c.lastBar = at(m_bar[static_cast<size_t>(last)]);
    }
    // The names under a group of buttons go with its first button.
    if (ControlShown(m_rate[0]))
        for (size_t k = 0; k < m_rate.size(); ++k) c.rate[k] = at(m_rate[k]);
    if (ControlShown(m_lod[0]))
        for (size_t k = 0; k < m_lod.size(); ++k) c.liftOff[k] = at(m_lod[k]);
    c.switches = {shown(m_ripple), shown(m_angle), shown(m_motion)};
    if (ControlShown(m_hp)) {
        c.hp = at(m_hp);
        c.lp = at(m_lp);
    }
    c.effect = shown(m_effect);
    c.effectSliders = {shown(m_light), shown(m_speed)};
    c.effectValues = {m_light.GetValue(), m_speed.GetValue()};
    c.sysLink = gVar.ShowSys && m_look.sysLink;
    return c;
}

void CNewAdvDlg::DrawLabels(HDC dc, const std::vector<PageLabel>& labels, COLORREF colour,
                            bool ranked) {
    for (const PageLabel& l : labels) {
        UINT format = DT_NOPREFIX;
        format |= l.wraps ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        format |= l.align == LabelAlign::kRight    ? DT_RIGHT
                  : l.align == LabelAlign::kCentre ? DT_CENTER
                                                   : DT_LEFT;
        if (l.unclipped) format |= DT_NOCLIP;
        const TextRole role = l.rank == LabelRank::kGroupTitle ? TextRole::kGroupTitle
                              : l.rank == LabelRank::kValue    ? TextRole::kValue
                              : l.rank == LabelRank::kNote     ? TextRole::kNote
                                                               : TextRole::kLabel;
        const HFONT font = ranked ? TypeFont(role) : Font();
        if (!l.middled) {
            DrawPageText(dc, l.text, Rc(l.place), format, colour, font);
            continue;
        }
        RECT place = Theme().Scale(Rc(l.place));
        const std::wstring wide = platform::win::Widen(l.text);
        RECT need = place;
        const HGDIOBJ old = ::SelectObject(dc, font);
        ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &need, DT_CALCRECT | format);
        ::SelectObject(dc, old);
        const int h = need.bottom - need.top;
        if (h < place.bottom - place.top) {
            place.top += (place.bottom - place.top - h) / 2;
            place.bottom = place.top + h;
        }
        DrawSkinText(dc, l.text, place, colour, font, format);
    }
}

void CNewAdvDlg::OnPaintPage(CMemPaint& buf) {
    DrawLabels(buf.dc(), LayoutNewerPerfLabels(ShownControlPlaces()),
               Colour(gVar.clrTxtAdvDlg, Theme().text), true);
}
