#include "ui/win/adv_dlg.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "controls/win/menu_dlg.h"

namespace {

constexpr int kSliderW = 261, kSliderH = 20;
// The check boxes under the pointer-speed and scroll sliders.
constexpr int kBoxDy = 28;

PerfPageLook OlderLook() {
    PerfPageLook l;
    l.background = kOlderPageBackground;
    l.barWidth = 390;
    l.barTrack = l.effectTrack = "dpibar_nr.png";
    l.barFill = l.effectFill = "dpibar_ov.png";
    l.rateAt = {620, 73};
    l.rateDx = 90;
    l.lod[0] = {632, 196};
    l.lod[1] = {689, 196};
    l.olderNames = true;
    l.sysLink = false;
    return l;
}

}  // namespace

CAdvDlg::CAdvDlg(const PageParts& parts) : CNewAdvDlg(parts, OlderLook()) {}

CAdvDlg::~CAdvDlg() {
    // Its own controls go while the base's font still exists.
    DestroyWindow();
}

CPngSliderBar& CAdvDlg::SystemSlider(PointerSlider which) {
    switch (which) {
        case PointerSlider::kSpeed:
            return m_moveSpeed;
        case PointerSlider::kScroll:
            return m_scroll;
        default:
            return m_dbClick;
    }
}

bool CAdvDlg::OnCreatePage() {
    if (!CNewAdvDlg::OnCreatePage()) return false;
    CreatePointerGroup();
    ShowPointer();
    return true;
}

void CAdvDlg::CreatePointerGroup() {
    const struct {
        CPngSliderBar* bar;
        UINT id;
        ZvPoint at;
        PointerSlider which;
    } sliders[] = {{&m_moveSpeed, kIdMoveSpeed, m_options.ptMoveSpeed, PointerSlider::kSpeed},
                   {&m_scroll, kIdScroll, m_options.ptScrollSpeed, PointerSlider::kScroll},
                   {&m_dbClick, kIdDbClick, m_options.ptDbClickSpeed, PointerSlider::kDoubleClick}};
    for (const auto& s : sliders) {
        SliderArgs a;
        a.id = s.id;
        a.rc = RECT{s.at.x, s.at.y, s.at.x + kSliderW, s.at.y + kSliderH};
        a.track = "bar_nr.png";
        a.fill = "bar_ov.png";
        a.thumb = "slider.png";
        a.trackOffset = POINT{0, m_options.BarY};
        a.thumbY = m_options.SliderY;
        // Positions 1..n; the model says which value each stands for.
        int32_t n = 0;
        while (PointerSliderValue(s.which, n + 1) != 0) ++n;
        a.minimum = 1;
        a.maximum = n;
        if (!AddSlider(*s.bar, a)) continue;
        const std::vector<int32_t> marks = SliderMarks(kSliderW, n);
        s.bar->SetScalePos(n, marks.data());
    }
    const POINT precisionAt{m_options.ptMoveSpeed.x, m_options.ptMoveSpeed.y + kBoxDy};
    AddRadio(m_precision, kIdPrecision, precisionAt, true, [this] {
        const bool on = !m_precisionOn;
        PointerChange([on](ProfileFile& p) { return SetPointerPrecision(p, on); }, true);
    });
    const POINT oneScreenAt{m_options.ptScrollSpeed.x, m_options.ptScrollSpeed.y + kBoxDy};
    AddRadio(m_oneScreen, kIdOneScreen, oneScreenAt, true, [this] {
        const bool on = m_wheelLines != -1;
        const int position = m_scroll.m_hWnd ? m_scroll.GetValue() : 3;
        PointerChange([=](ProfileFile& p) { return SetScrollOneScreen(p, on, position); }, true);
    });
}

void CAdvDlg::LayoutForDevice() {
    CNewAdvDlg::LayoutForDevice();
    ShowPointer();
}

void CAdvDlg::OnRefresh() {
    CNewAdvDlg::OnRefresh();
    ShowPointer();
}

void CAdvDlg::ShowPointer() {
    const bool on = m_options.ShowSys != 0;
    for (const CWndBase* w :
         {static_cast<const CWndBase*>(&m_moveSpeed), static_cast<const CWndBase*>(&m_scroll),
          static_cast<const CWndBase*>(&m_dbClick), static_cast<const CWndBase*>(&m_precision),
          static_cast<const CWndBase*>(&m_oneScreen)})
        ShowControl(*w, on);
    struct Pointer {
        int32_t speed, lines, dbClick, precision;
    };
    const std::optional<Pointer> now =
        m_profiles.Read([](const ProfileState& s) -> std::optional<Pointer> {
            if (!s.pFile) return std::nullopt;
            const ProfileFile& p = *s.pFile;
            return Pointer{p.nPointerSpeed, p.nWheelLines, p.nDbClickTime, p.nEnhancePrecision};
        });
    if (!now) return;
    const auto [speed, lines, dbClick, precision] = *now;
    m_wheelLines = lines;
    m_precisionOn = precision != 0;
    if (m_moveSpeed.m_hWnd)
        m_moveSpeed.SetValue(PointerSliderPosition(PointerSlider::kSpeed, speed), false);
    if (m_scroll.m_hWnd)
        m_scroll.SetValue(PointerSliderPosition(PointerSlider::kScroll, lines), false);
    if (m_dbClick.m_hWnd)
        m_dbClick.SetValue(PointerSliderPosition(PointerSlider::kDoubleClick, dbClick), false);
    if (m_precision.m_hWnd) m_precision.SetCheck(m_precisionOn);
    if (m_oneScreen.m_hWnd) m_oneScreen.SetCheck(lines == -1);
    Invalidate();
}

void CAdvDlg::PointerChange(const std::function<PageChange(ProfileFile&)>& edit, bool askFirst) {
    ClosePopup();
    if (askFirst && !m_host.CheckDeviceReady()) return;
    EditProfile([&](ProfileFile& p, int32_t&) { return edit(p); }, m_options.ApplyNow != 0);
    ShowPointer();
}

LRESULT CAdvDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kSliderCommitted) {
        const UINT control = LOWORD(lp);
        const auto position = static_cast<int>(wp);
        const PointerSlider which = control == kIdMoveSpeed ? PointerSlider::kSpeed
                                    : control == kIdScroll  ? PointerSlider::kScroll
                                                            : PointerSlider::kDoubleClick;
        if (control == kIdMoveSpeed || control == kIdScroll || control == kIdDbClick) {
            // The slider asked for permission before it moved.
            PointerChange([=](ProfileFile& p) { return CommitPointerSlider(p, which, position); },
                          false);
            return 0;
        }
    }
    return CNewAdvDlg::WindowProc(msg, wp, lp);
}

// ---- painting -------------------------------------------------------------------------------

void CAdvDlg::OnPaintPage(CMemPaint& buf) {
    const HDC dc = buf.dc();
    const COLORREF text = gVar.Txt_clr ? static_cast<COLORREF>(gVar.Txt_clr) : Theme().text;
    constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    // Placed in the normal layout, drawn where it lies on this screen.
    auto draw = [&](const std::string& key, const RECT& rc, UINT align) {
        DrawPageText(dc, GetText(key), rc, align, text, Font());
    };
    auto raw = [&](const std::string& s, const RECT& rc, UINT align) {
        DrawPageText(dc, s, rc, align, text, Font());
    };
    auto at = [this](const CWndBase& w) { return ControlPlace(w); };

    if (gVar.pSensorCfg && gVar.pSensorCfg->ShowDpi)
        draw("tc_page2", RECT{43, 20, 343, 40}, kLine | DT_LEFT);
    if (ControlShown(XYBox())) {
        const RECT b = at(XYBox());
        draw("tc_msg19", RECT{b.right + 8, b.top - 3, b.right + 250, b.bottom + 3},
             kLine | DT_LEFT);
    }
    if (ControlShown(LevelCount())) {
        const RECT b = at(LevelCount());
        draw("tc_adv_str19", RECT{b.left - 160, b.top, b.left - 10, b.bottom}, kLine | DT_RIGHT);
    }
    if (ControlShown(RateButton(0))) {
        draw("tc_adv_str6", RECT{594, 22, 894, 42}, kLine | DT_LEFT);
        for (int k = 0; k < kRateButtons; ++k) {
            const RECT b = at(RateButton(k));
            raw(RateLabel(k), RECT{b.left - 30, b.bottom + 5, b.right + 30, b.bottom + 25},
                kLine | DT_CENTER);
        }
    }
    if (ControlShown(LiftOffButton(0))) {
        draw("tc_adv_str9", RECT{594, 148, 794, 168}, kLine | DT_LEFT);
        for (int k = 0; k < 2; ++k) {
            const RECT b = at(LiftOffButton(k));
            raw(LiftOffLabel(k + 1), RECT{b.left - 20, b.bottom + 5, b.right + 20, b.bottom + 25},
                kLine | DT_CENTER);
        }
    }
    const std::pair<PerfSwitch, const char*> switches[] = {
        {PerfSwitch::kRipple, "tc_adv_str12"},
        {PerfSwitch::kAngleSnap, "tc_adv_str13"},
        {PerfSwitch::kMotionSync, "tc_adv_str17"}};
    for (const auto& [which, key] : switches) {
        CPngBtn& box = SwitchBox(which);
        if (!ControlShown(box)) continue;
        const RECT b = at(box);
        draw(key, RECT{b.right + 8, b.top - 3, b.right + 150, b.bottom + 3}, kLine | DT_LEFT);
    }
    if (ControlShown(SensorModeButton(true))) {
        const RECT hp = at(SensorModeButton(true)), lp = at(SensorModeButton(false));
        raw("HP", RECT{hp.right + 5, hp.top - 3, hp.right + 50, hp.bottom + 3}, kLine | DT_LEFT);
        raw("LP", RECT{lp.right + 5, lp.top - 3, lp.right + 50, lp.bottom + 3}, kLine | DT_LEFT);
        draw("tc_msg4", RECT{hp.left - 155, hp.top - 5, hp.left - 10, hp.bottom + 5},
             kLine | DT_LEFT);
    }
    if (ControlShown(EffectCombo())) {
        const RECT e = at(EffectCombo());
        draw("tc_adv_str14", RECT{47, e.top, e.left - 8, e.bottom}, kLine | DT_LEFT);
        const std::pair<bool, const char*> sliders[] = {{false, "tc_adv_str7"},
                                                        {true, "tc_adv_str10"}};
        for (const auto& [speed, key] : sliders) {
            const CPngSliderBar& bar = EffectSlider(speed);
            if (!ControlShown(bar)) continue;
            const RECT b = at(bar);
            draw(key, RECT{b.left - 150, b.top, b.left - 10, b.bottom}, kLine | DT_RIGHT);
            raw(std::to_string(bar.GetValue()), RECT{b.right + 15, b.top, b.right + 45, b.bottom},
                kLine | DT_LEFT);
        }
    }

    if (Bar(0).m_hWnd && gVar.pSensorCfg) {
        // Under the right end of the last row, as on the newer page.
        const int last = std::clamp(gVar.pSensorCfg->DM, 1, kDpiLevels) - 1;
        const RECT b = at(Bar(last));
        draw("tc_msg26", RECT{b.right - 300, b.bottom + 10, b.right + 50, b.bottom + 28},
             kLine | DT_RIGHT);
    }

    if (!gVar.ShowSys || !m_moveSpeed.m_hWnd) return;
    const RECT move = at(m_moveSpeed);
    const RECT group{594, move.top - 60, 944, move.top - 40};
    draw("tc_adv_str18", group, kLine | DT_LEFT);
    const std::pair<const CPngSliderBar*, const char*> heads[] = {
        {&m_moveSpeed, "tc_adv_str2"}, {&m_scroll, "tc_adv_str3"}, {&m_dbClick, "tc_adv_str1"}};
    for (const auto& [bar, key] : heads) {
        const RECT b = at(*bar);
        draw(key, RECT{b.left, b.top - 25, b.left + 200, b.top - 5}, kLine | DT_LEFT);
    }
    const RECT db = at(m_dbClick);
    draw("tc_msg37", RECT{db.left, db.bottom + 2, db.left + 100, db.bottom + 20}, kLine | DT_LEFT);
    // Unclipped: a final letter whose stroke overhangs its advance would lose that stroke.
    draw("tc_msg38", RECT{db.right - 100, db.bottom + 2, db.right, db.bottom + 20},
         kLine | DT_RIGHT | DT_NOCLIP);
    const RECT pr = at(m_precision), os = at(m_oneScreen);
    draw("tc_adv_str5", RECT{pr.right + 8, pr.top - 3, pr.right + 300, pr.bottom + 3},
         kLine | DT_LEFT);
    draw("tc_adv_str4", RECT{os.right + 8, os.top - 3, os.right + 200, os.bottom + 3},
         kLine | DT_LEFT);
}
