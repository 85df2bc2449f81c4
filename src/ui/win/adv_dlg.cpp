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
    PerfControlPlaces c = ShownControlPlaces();
    if (gVar.ShowSys && m_moveSpeed.m_hWnd) {
        auto at = [this](const CWndBase& w) {
            const RECT r = ControlPlace(w);
            return ZvRect{r.left, r.top, r.right, r.bottom};
        };
        c.moveSpeed = at(m_moveSpeed);
        c.scroll = at(m_scroll);
        c.doubleClick = at(m_dbClick);
        c.precision = at(m_precision);
        c.oneScreen = at(m_oneScreen);
    }
    const COLORREF text = gVar.Txt_clr ? static_cast<COLORREF>(gVar.Txt_clr) : Theme().text;
    DrawLabels(buf.dc(), LayoutOlderPerfLabels(c), text, false);
}
