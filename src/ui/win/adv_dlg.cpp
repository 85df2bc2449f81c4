#include "ui/win/adv_dlg.h"

#include <algorithm>
#include <mutex>
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

CAdvDlg::CAdvDlg(std::function<int()> deviceReady)
    : CNewAdvDlg(deviceReady, OlderLook()), m_ready(std::move(deviceReady)) {}

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
    } sliders[] = {{&m_moveSpeed, kIdMoveSpeed, gVar.ptMoveSpeed, PointerSlider::kSpeed},
                   {&m_scroll, kIdScroll, gVar.ptScrollSpeed, PointerSlider::kScroll},
                   {&m_dbClick, kIdDbClick, gVar.ptDbClickSpeed, PointerSlider::kDoubleClick}};
    for (const auto& s : sliders) {
        SliderArgs a;
        a.id = s.id;
        a.rc = RECT{s.at.x, s.at.y, s.at.x + kSliderW, s.at.y + kSliderH};
        a.track = "bar_nr.png";
        a.fill = "bar_ov.png";
        a.thumb = "slider.png";
        a.trackOffset = POINT{0, gVar.BarY};
        a.thumbY = gVar.SliderY;
        // Positions 1..n; the model says which value each stands for.
        int32_t n = 0;
        while (PointerSliderValue(s.which, n + 1) != 0) ++n;
        a.minimum = 1;
        a.maximum = n;
        if (!AddSlider(*s.bar, a)) continue;
        const std::vector<int32_t> marks = SliderMarks(kSliderW, n);
        s.bar->SetScalePos(n, marks.data());
    }
    const POINT precisionAt{gVar.ptMoveSpeed.x, gVar.ptMoveSpeed.y + kBoxDy};
    AddRadio(m_precision, kIdPrecision, precisionAt, true, [this] {
        const bool on = !m_precisionOn;
        PointerChange([on](ProfileFile& p) { return SetPointerPrecision(p, on); }, true);
    });
    const POINT oneScreenAt{gVar.ptScrollSpeed.x, gVar.ptScrollSpeed.y + kBoxDy};
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
    const bool on = gVar.ShowSys != 0;
    for (const CWndBase* w :
         {static_cast<const CWndBase*>(&m_moveSpeed), static_cast<const CWndBase*>(&m_scroll),
          static_cast<const CWndBase*>(&m_dbClick), static_cast<const CWndBase*>(&m_precision),
          static_cast<const CWndBase*>(&m_oneScreen)})
        ShowControl(*w, on);
    int32_t speed = 0, lines = 0, dbClick = 0, precision = 0;
    {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        if (!gVar.pFile) return;
        speed = gVar.pFile->nPointerSpeed;
        lines = gVar.pFile->nWheelLines;
        dbClick = gVar.pFile->nDbClickTime;
        precision = gVar.pFile->nEnhancePrecision;
    }
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
    if (askFirst && !m_ready()) return;
    EditCurrentProfile([&](ProfileFile& p, int32_t&) { return edit(p); }, gVar.ApplyNow != 0);
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
