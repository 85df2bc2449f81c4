#include "ui/win/key_dlg.h"

#include <cstdio>
#include <vector>

#include "macro/macro_library_load.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "controls/button_model.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "macro/macro_list.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/sensor_table.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/glance_model.h"
#include "ui/profiles_model.h"

namespace {

constexpr COLORREF kLockedRowText = kLockedCaption;
// What the controls of the page send the page to ask about a change.
constexpr UINT kCtrlChanging = 0x800, kCtrlChanged = 0x801, kCtrlMayChange = 0x802;

RECT R(const ZvRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

ZvRect ToZv(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void FrameIn(HDC dc, RECT rc, COLORREF colour) {
    HBRUSH b = ::CreateSolidBrush(colour);
    ::FrameRect(dc, &rc, b);
    ::DeleteObject(b);
}

// Dragging the page moves the main window, which has no caption.
void DragMainWindow(HWND child) {
    HWND top = ::GetAncestor(child, GA_ROOT);
    ::ReleaseCapture();
    ::PostMessageW(top, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace

// ---- the mouse picture -----------------------------------------------------------------------

CKeyMarkDlg::~CKeyMarkDlg() {
    DestroyWindow();
}

bool CKeyMarkDlg::Load(HWND page, const SensorCfg& cfg, SkinPicture* pageBackground,
                       bool debugFrame, bool large,
                       const std::function<void(const std::string&)>& tell) {
    DestroyWindow();
    m_normal.reset();
    m_lit_pic.reset();
    m_lit = {};
    m_shown = {};
    m_debugFrame = debugFrame;
    const auto cid = static_cast<uint8_t>(cfg.CID), mid = static_cast<uint8_t>(cfg.MID);
    PicturePtr nr = LoadSkinPicture(DeviceSkinPath(cid, mid, "mouse_nr.png"));
    if (!PicturePresent(nr.get())) {
        char text[64];
        std::snprintf(text, sizeof text, "Can't load skins\\%02x%02x\\mouse_nr.png", cid, mid);
        if (tell) tell(text);
        return false;
    }
    PicturePtr dn = LoadSkinPicture(DeviceSkinPath(cid, mid, "mouse_dn.png"));
    RECT rc{cfg.ptMark.x, cfg.ptMark.y, cfg.ptMark.x + PictureWidth(nr.get()),
            cfg.ptMark.y + PictureHeight(nr.get())};
    m_spots = cfg.Mark;
    if (large) {
        nr = ScalePicture(nr.get(), 2.0);
        if (PicturePresent(dn.get())) dn = ScalePicture(dn.get(), 2.0);
        rc = Double4K(rc);
        for (ZvRect& s : m_spots) s = ToZv(Double4K(R(s)));
    }
    // Both pictures are composed over the page once, so lighting a button is one copy.
    auto compose = [&](SkinPicture* over) {
        PicturePtr p =
            PicturePresent(pageBackground) ? CopyPictureRect(pageBackground, rc) : nullptr;
        if (!p) return PicturePtr{};
        if (PicturePresent(over)) {
            Gdiplus::Graphics g(p->bmp.get());
            DrawPicture(g, over, 0, 0);
        }
        return p;
    };
    m_normal = compose(nr.get());
    m_lit_pic = compose(dn.get());
    if (!m_normal) m_normal = std::move(nr);
    m_shown = ::ShownHotspots(cfg);
    SetBufferedPaint(true);
    if (!CreateEx(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc, page, 0)) return false;
    return true;
}

int CKeyMarkDlg::ShownHotspots() const {
    int n = 0;
    for (bool s : m_shown) n += s;
    return n;
}

std::optional<int> CKeyMarkDlg::SpotAt(POINT pt) const {
    std::optional<int> best;
    int64_t bestArea = 0;
    for (int i = 0; i < kKeysPerSet; ++i) {
        const ZvRect& s = m_spots[static_cast<size_t>(i)];
        if (!m_shown[static_cast<size_t>(i)] || pt.x < s.left || pt.x >= s.right || pt.y < s.top ||
            pt.y >= s.bottom)
            continue;
        const int64_t area = int64_t{s.right - s.left} * (s.bottom - s.top);
        if (!best || area < bestArea) best = i, bestArea = area;
    }
    return best;
}

void CKeyMarkDlg::HighlightMark(int row) {
    bool changed = false;
    for (int i = 0; i < kKeysPerSet; ++i) {
        const bool on = i == row && m_shown[static_cast<size_t>(i)];
        if (m_lit[static_cast<size_t>(i)] != on) changed = true;
        m_lit[static_cast<size_t>(i)] = on;
    }
    if (changed) Invalidate();
}

void CKeyMarkDlg::OnPaint(CMemPaint& buf) {
    Gdiplus::Graphics& g = buf.g();
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    g.FillRectangle(&black, 0, 0, buf.width(), buf.height());
    if (PicturePresent(m_normal.get())) DrawPicture(g, m_normal.get(), 0, 0);
    if (PicturePresent(m_lit_pic.get())) {
        for (int i = 0; i < kKeysPerSet; ++i) {
            if (!m_lit[static_cast<size_t>(i)]) continue;
            const ZvRect& s = m_spots[static_cast<size_t>(i)];
            g.DrawImage(m_lit_pic->bmp.get(),
                        Gdiplus::Rect(s.left, s.top, s.right - s.left, s.bottom - s.top), s.left,
                        s.top, s.right - s.left, s.bottom - s.top, Gdiplus::UnitPixel);
        }
    }
    if (m_debugFrame) FrameIn(buf.dc(), RECT{0, 0, buf.width(), buf.height()}, RGB(255, 255, 0));
}

LRESULT CKeyMarkDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) {
        ClosePopup();
        DragMainWindow(m_hWnd);
        return 0;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

// ---- the page --------------------------------------------------------------------------------

CKeyDlg::~CKeyDlg() {
    StopTimer(kHoverTimer);
    DestroyControls();
    DestroyWindow();
}

bool CKeyDlg::OnCreatePage() {
    m_tipFont = UiFont(Theme().font, Theme().FontHeight(), FW_NORMAL);
    return Build();
}

void CKeyDlg::DestroyControls() {
    for (CPngBtn& r : m_rows) r.DestroyWindow();
    m_mark.DestroyWindow();
    m_profile.DestroyWindow();
    m_restore.DestroyWindow();
    m_export.DestroyWindow();
    m_import.DestroyWindow();
    m_links.DestroyWindow();
    m_debounce.DestroyWindow();
    m_autoSleep.DestroyWindow();
}

bool CKeyDlg::Build() {
    DestroyControls();
    const SensorCfg& cfg = DeviceCfg();
    const UiTheme& theme = Theme();
    const bool large = theme.large;
    auto scaled = [large](const ZvRect& r) { return large ? Double4K(R(r)) : R(r); };

    m_places = LayoutKeyRows(cfg, m_options.ptKey, large);
    m_rowPic = LoadSkinPicture(SkinPath("button_nr.png"));
    for (int i = 0; i < kKeysPerSet; ++i) {
        const KeyRowPlace& place = m_places[static_cast<size_t>(i)];
        m_numbers[static_cast<size_t>(i)] =
            LoadSkinPicture(SkinPath("number\\number" + std::to_string(i + 1) + ".png"));
        PngBtnArgs a;
        a.id = kIdRow0 + static_cast<UINT>(i);
        a.rc = R(place.row);
        a.normal = a.hover = a.pressed = m_rowPic.get();
        a.tooltip = m_options.BtnTips != 0;
        a.visible = place.shown;
        a.onClick = [this, i] { OnRowClicked(i); };
        CPngBtn& row = m_rows[static_cast<size_t>(i)];
        if (!AddButton(row, a)) return false;
        // A row reached with the keyboard shows its button on the picture as well.
        row.SetOnFocus([this, i](bool taken) {
            if (!m_hoverOn) ShowLink(taken ? std::optional<int>(i) : std::nullopt);
        });
        const bool locked = (m_options.KeyMask & (1 << i)) != 0;
        if (locked) {
            row.SetTextColors(kLockedRowText, kLockedRowText, kLockedRowText);
            ::EnableWindow(row.m_hWnd, FALSE);
        }
    }

    m_mark.Load(m_hWnd, cfg, Background(), m_options.UIDebug != 0, large,
                [this](const std::string& t) { m_host.Tell(t); });

    {
        PicturePtr pic = LoadSkinPicture(SkinPath("combo3_nr.png"));
        // The list of profile records is replaced by the profile reads: looked at under the lock.
        const ProfileSelectorView view =
            m_profiles.Read([](const ProfileState& s) { return ViewProfileSelector(gVar, s); });
        ComboBtnArgs c;
        c.button.id = kIdProfile;
        // Placed by the unscaled row, then doubled like every other control of the page.
        c.button.rc =
            scaled(ProfileSelectorRect(LayoutKeyRows(cfg, m_options.ptKey, false)[0].row));
        c.button.normal = c.button.hover = c.button.pressed = pic.get();
        c.button.visible = view.visible;
        c.popupDisabled = view.popupDisabled;
        c.reselectIsNoChange = true;
        c.permission = [this] { return m_host.CheckDeviceReady() != 0; };
        c.onChange = [this](int32_t index) { OnProfileChosen(index); };
        if (!AddCombo(m_profile, c)) return false;
        SetSelectorTexts();
        // Beside the selector: which program in front takes which profile.
        PicturePtr btn = LoadSkinPicture(SkinPath("button2_nr.png"));
        PngBtnArgs l;
        l.id = kIdLinks;
        l.rc = scaled(LinksButtonRect(
            ProfileSelectorRect(LayoutKeyRows(cfg, m_options.ptKey, false)[0].row)));
        l.caption = GetText("tc_links");
        l.normal = l.hover = l.pressed = btn.get();
        l.pressShift = true;
        l.visible = view.visible;
        l.onClick = [this] { m_host.EditProgramLinks(); };
        if (!AddButton(m_links, l)) return false;
    }

    const std::array<ZvRect, 3> btns = ProfileButtonRects();
    PicturePtr resetPic = LoadSkinPicture(SkinPath("reset_nr.png"));
    PicturePtr btnPic = LoadSkinPicture(SkinPath("button2_nr.png"));
    auto button = [&](CPngBtn& b, UINT id, const ZvRect& rc, SkinPicture* pic,
                      std::function<void()> click) {
        PngBtnArgs a;
        a.id = id;
        a.rc = scaled(rc);
        a.normal = a.hover = a.pressed = pic;
        a.pressShift = true;
        a.onClick = std::move(click);
        return AddButton(b, a);
    };
    if (!button(m_restore, kIdRestore, btns[0], resetPic.get(), [this] { OnRestore(); }) ||
        !button(m_export, kIdExport, btns[1], btnPic.get(), [this] { m_host.ExportProfile(); }) ||
        !button(m_import, kIdImport, btns[2], btnPic.get(), [this] {
            m_host.ImportProfile();
            RefreshKeyPage();
        })) {
        return false;
    }

    auto valueDlg = [&](CValueDlg& d, const ZvRect& rc, bool shown) {
        if (!d.Create(m_hWnd, scaled(rc), Background(), theme)) return false;
        d.mayChange = [this] {
            ClosePopup();
            return m_host.CheckDeviceReady();
        };
        d.changed = [this](const PageChange& c) {
            if (m_options.ApplyNow) RequestApply(c.flag, c.data);
        };
        ::ShowWindow(d.m_hWnd, shown ? SW_SHOW : SW_HIDE);
        return true;
    };
    // A mouse with many buttons has rows where the controls usually sit: they move aside.
    const ValueControlRects places = PlaceValueControls(m_places, large);
    const ZvRect sleepRc = places.autoSleep;
    LogPrintf("CKeyDlg SleepDlg rc=%d,%d,%d,%d", sleepRc.left, sleepRc.top, sleepRc.right,
              sleepRc.bottom);
    if (places.moved) LogPrintf("CKeyDlg: debounce and auto-sleep beside the profile buttons");
    if (!valueDlg(m_debounce, places.debounce, cfg.ShowDebounce != 0) ||
        !valueDlg(m_autoSleep, sleepRc, cfg.ShowAutoSleep != 0))
        return false;
    m_debounce.confirm = [this](const std::string& text) { return m_host.Ask(text); };

    OnTextsChanged();
    return true;
}

void CKeyDlg::LayoutForDevice() {
    // The button count, the row gap and the picture belong to the mouse.
    Build();
    Invalidate();
}

void CKeyDlg::DeviceChanged(DevBehaviorKind /*kind*/) {
    // The mouse's own changes (levels, rate, lighting) show in the summary.
    Invalidate();
}

void CKeyDlg::SetSelectorTexts() {
    m_profile.Model().ClearList(0);
    const std::vector<std::string> items = ProfileSelectorItems();
    for (size_t i = 0; i < items.size(); ++i)
        m_profile.AddItem(0, static_cast<int32_t>(i), items[i]);
    m_profile.SetActiveList(0);
}

void CKeyDlg::OnTextsChanged() {
    m_restore.SetText(GetText("tc_restore"));
    m_export.SetText(GetText("tc_msg32"));
    m_import.SetText(GetText("tc_msg33"));
    m_links.SetText(GetText("tc_links"));
    m_debounce.SetCaption(GetText("tc_adv_str21"));
    m_autoSleep.SetCaption(GetText("tc_msg27"));
    SetSelectorTexts();
    RefreshKeyPage();
}

void CKeyDlg::OnRefresh() {
    RefreshKeyPage();
}

// Whether the current record's values are the mouse's own (read from it), or the program has
// no mouse to read and works on its own record.
const SensorCfg& CKeyDlg::DeviceCfg() const {
    static const SensorCfg none{};
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    return cfg ? *cfg : none;
}

bool CKeyDlg::ValuesKnown(const ProfileState& s) const {
    return s.pFile && (s.pFileRead || m_options.GoWithNoDev);
}

void CKeyDlg::SetRowCaptions() {
    const auto shown = m_profiles.Read(
        [this](const ProfileState& s) -> std::optional<std::array<ButtonRowView, kKeysPerSet>> {
            if (!s.pFile) return std::nullopt;
            auto rows = ViewButtonRows(*s.pFile, DeviceCfg(), m_options.KeyMask, m_macros);
            if (!ValuesKnown(s))
                for (ButtonRowView& r : rows)
                    if (r.caption) r.caption = kValueNotRead;
            return rows;
        });
    if (!shown) return;
    const std::array<ButtonRowView, kKeysPerSet>& rows = *shown;
    for (int i = 0; i < kKeysPerSet; ++i) {
        const ButtonRowView& v = rows[static_cast<size_t>(i)];
        CPngBtn& row = m_rows[static_cast<size_t>(i)];
        if (!row.m_hWnd || !v.caption) continue;
        // Read out as "Button 2: Right click".
        row.SetAccessibleName(GetText("tc_button") + " " + std::to_string(i + 1));
        row.SetText(*v.caption);
        if (m_options.BtnTips) row.SetTooltip(*v.caption);
    }
}

void CKeyDlg::RefreshKeyPage() {
    // The list of profile records is replaced by the profile reads: looked at under the lock.
    const ProfileSelectorView view =
        m_profiles.Read([](const ProfileState& s) { return ViewProfileSelector(gVar, s); });
    if (view.selected >= 0) m_profile.SelectIndex(view.selected);
    LogPrintf("CKeyDlg shows profile %d", view.selected);
    SetRowCaptions();
    struct Values {
        int32_t debounce, sleep;
    };
    const std::optional<Values> values =
        m_profiles.Read([this](const ProfileState& s) -> std::optional<Values> {
            if (!ValuesKnown(s)) return std::nullopt;
            return Values{s.pFile->nDebounce, s.pFile->nAutoSleep};
        });
    if (!values) {
        m_debounce.ClearValue();
        m_autoSleep.ClearValue();
        return;
    }
    m_debounce.SetDebounceValue(values->debounce);
    m_autoSleep.SetAutoSleepValue(values->sleep);
}

void CKeyDlg::MacrosChanged(bool applyKeys) {
    SetRowCaptions();
    if (applyKeys) RequestApply(kApplyKeys, kAllItems);
}

void CKeyDlg::StartHover() {
    if (m_hoverOn) return;
    m_hoverOn = StartTimer(kHoverTimer, kHoverMs, [this] { CheckHover(); });
}

void CKeyDlg::CheckHover() {
    if (!m_mark.m_hWnd) return;
    POINT pt;
    if (!::GetCursorPos(&pt)) return;
    RECT page;
    ::GetWindowRect(m_hWnd, &page);
    // Nothing to light once the pointer has left (or the page went): the last light goes out
    // and the timer stops until the pointer comes back.
    if (!IsShown() || !::PtInRect(&page, pt)) {
        ShowLink(IsShown() ? FocusedRow() : std::nullopt);
        StopTimer(kHoverTimer);
        m_hoverOn = false;
        return;
    }
    POINT inMark = pt;
    if (!::ScreenToClient(m_hWnd, &pt)) return;
    std::optional<int> row = RowAt(m_places, ZvPoint{pt.x, pt.y});
    RECT mark;
    ::GetWindowRect(m_mark.m_hWnd, &mark);
    if (!row && ::PtInRect(&mark, inMark) && ::ScreenToClient(m_mark.m_hWnd, &inMark))
        row = m_mark.SpotAt(inMark);
    ShowLink(row ? row : FocusedRow());
}

void CKeyDlg::ShowLink(std::optional<int> row) {
    m_mark.HighlightMark(row.value_or(kKeysPerSet));
    for (int i = 0; i < kKeysPerSet; ++i)
        if (m_rows[static_cast<size_t>(i)].m_hWnd)
            m_rows[static_cast<size_t>(i)].SetLinkedLook(row == i);
}

std::optional<int> CKeyDlg::FocusedRow() const {
    const HWND focus = ::GetFocus();
    for (int i = 0; i < kKeysPerSet; ++i)
        if (focus && m_rows[static_cast<size_t>(i)].m_hWnd == focus) return i;
    return std::nullopt;
}

void CKeyDlg::OnRowClicked(int row) {
    // A click while a menu is open only closes it.
    const bool menuWasOpen = m_menuWasOpen || GetOpenPopup();
    m_menuWasOpen = false;
    if (menuWasOpen) {
        ClosePopup();
        return;
    }
    const SensorCfg& cfg = DeviceCfg();
    if (!RowRefusal(cfg, m_options.KeyMask, row).empty()) return;
    const std::vector<MenuEntry> menu =
        BuildFunctionMenu(cfg, gVar, FindSensorTable(static_cast<uint32_t>(cfg.Sensor)));
    RECT rc;
    ::GetWindowRect(m_rows[static_cast<size_t>(row)].m_hWnd, &rc);
    const MenuPlace at =
        FunctionMenuPlace({rc.left, rc.top, rc.right, rc.bottom}, m_options.MenuItems,
                          ::GetSystemMetrics(SM_CYFULLSCREEN), m_options.MenuW);
    OpenPopup(m_hWnd, static_cast<int>(menu.size()), at.width, at.x, at.y, Theme().menuNormal,
              Theme().menuHover, row, menu.data(), &Theme());
    if (CMenuDlg* open = GetOpenPopup()) {
        // Before the mouse was read the row's function is not known: nothing is marked.
        const std::optional<KeyInfo> current =
            m_profiles.Read([this, row](const ProfileState& s) -> std::optional<KeyInfo> {
                const ProfileFile* p = ValuesKnown(s) ? s.pFile : nullptr;
                if (!p || p->nKeySet < 0 || p->nKeySet >= kKeySets) return std::nullopt;
                return p->keys[static_cast<size_t>(p->nKeySet)][static_cast<size_t>(row)];
            });
        if (current) open->SetMarked(MenuItemOf(menu, *current, row, cfg));
    }
}

void CKeyDlg::OnFunctionChosen(uint32_t value, int row) {
    ClosePopup();
    if (!m_host.CheckDeviceReady()) return;
    // Without a valid profile there is nothing to store into.
    const std::optional<KeyInfo> stored =
        m_profiles.Read([row](const ProfileState& s) -> std::optional<KeyInfo> {
            if (!s.pFile || s.pFile->dwId == 0) return std::nullopt;
            const ProfileFile& p = *s.pFile;
            if (row >= 0 && row < kKeysPerSet && p.nKeySet >= 0 && p.nKeySet < kKeySets)
                return p.keys[static_cast<size_t>(p.nKeySet)][static_cast<size_t>(row)];
            return KeyInfo{};
        });
    if (!stored) return;
    const KeyInfo current = *stored;
    // "No macro yet" only once the library has loaded.
    WaitMacroLibraryLoaded();
    const FunctionChoice c = ::OnFunctionChosen(value, row, DeviceCfg(), m_macros.Count() == 0);
    KeyInfo key = c.key;
    switch (c.step) {
        case ChoiceStep::kNothing:
            return;
        case ChoiceStep::kRefused:
            m_host.Tell(c.message);
            return;
        case ChoiceStep::kAskMacroPage:
            if (m_host.Tell(c.message)) m_host.ShowPage(kPageMacros);
            return;
        case ChoiceStep::kPickMacro: {
            const std::optional<int64_t> picked = m_host.PickMacro();
            if (!picked) return;
            if (*picked < 0) {
                m_host.ShowPage(kPageMacros);
                return;
            }
            key = MacroKey(static_cast<uint32_t>(*picked));
            break;
        }
        case ChoiceStep::kCaptureCombo: {
            const std::optional<CapturedCombo> combo = m_host.CaptureCombo();
            if (!combo || *combo == CapturedCombo{}) return;
            key = ComboKey(combo->modifiers, combo->keys[0], combo->keys[1], combo->keys[2]);
            break;
        }
        case ChoiceStep::kFireDialog: {
            const std::optional<uint16_t> fire = m_host.EditFire(current);
            if (!fire) return;
            const auto count = static_cast<uint8_t>(*fire & 0xFF);
            const auto interval = static_cast<uint8_t>(*fire >> 8);
            // A burst the mouse keeps as one of its click functions is stored and shown as
            // that function, and the user is told, rather than shown a fire key the mouse
            // will report as something else.
            if (const std::optional<KeyInfo> same = FireReadsBackAs(count, interval)) {
                if (SetKeyFunction(row, *same) == 1)
                    m_host.Tell(FireStoredAsText(count, interval, *same, m_macros));
                return;
            }
            key = FireKey(count, interval);
            break;
        }
        case ChoiceStep::kStore:
            break;
    }
    SetKeyFunction(row, key);
}

int CKeyDlg::SetKeyFunction(int row, const KeyInfo& key) {
    const int r = ::SetKeyFunction(row, key, [this](const std::string& t) { m_host.Tell(t); });
    if (r == 1) SetRowCaptions();
    return r;
}

void CKeyDlg::OnProfileChosen(int32_t index) {
    ClosePopup();
    // The page follows the mouse's notification of the switch, not the choice.
    if (!m_host.SwitchProfile(index)) RefreshKeyPage();
}

void CKeyDlg::OnRestore() {
    ClosePopup();
    if (!m_host.ResetToDefaults()) return;
    RefreshKeyPage();
    if (m_options.InitOnReset) {
        // The mouse needs a moment after its reset before it answers a read; the window keeps
        // painting meanwhile.
        StartTimer(kReadAfterResetTimer, kReadAfterResetMs, [this] {
            StopTimer(kReadAfterResetTimer);
            m_host.ReadAgainAfterReset();
        });
    }
}

void CKeyDlg::OnPaintPage(CMemPaint& buf) {
    Gdiplus::Graphics& g = buf.g();
    for (int i = 0; i < kKeysPerSet; ++i) {
        const KeyRowPlace& p = m_places[static_cast<size_t>(i)];
        SkinPicture* n = m_numbers[static_cast<size_t>(i)].get();
        if (p.shown && PicturePresent(n)) DrawPictureStretched(g, n, R(p.number));
    }
    PaintSummary(buf);
    if (const std::optional<ZvRect> tip =
            DebounceTipRect(m_options.TipForDebounce, Theme().large)) {
        DrawSkinText(buf.dc(), GetText("tc_debounce_tips"), R(*tip), Theme().text, m_tipFont.get(),
                     DT_WORDBREAK | DT_END_ELLIPSIS | DT_LEFT);
    }
    if (m_options.UIDebug) FrameIn(buf.dc(), RECT{0, 0, buf.width(), buf.height()}, RGB(255, 0, 0));
}

void CKeyDlg::PaintSummary(CMemPaint& buf) {
    const auto summary =
        m_profiles.Read([this](const ProfileState& s) -> std::optional<std::vector<SummaryLine>> {
            if (!s.pFile) return std::nullopt;
            return ProfileSummary(*s.pFile, DeviceCfg(), m_options.LedOpt, s.g_nCurDpiLevel);
        });
    if (!summary) return;
    const std::vector<SummaryLine>& lines = *summary;
    m_summaryLines = static_cast<int>(lines.size());
    if (lines.empty()) return;
    Gdiplus::Graphics& g = buf.g();
    const ZvRect& at = kSummaryPanel;
    const int bottom = at.top + kSummaryHead + static_cast<int>(lines.size()) * kSummaryLine + 10;
    const RECT panel = Scaled(ZvRect{at.left, at.top, at.right, bottom});
    auto rect = [](const RECT& r) {
        return Gdiplus::Rect(static_cast<INT>(r.left), static_cast<INT>(r.top),
                             static_cast<INT>(r.right - r.left),
                             static_cast<INT>(r.bottom - r.top));
    };
    // A panel like the page's others: a darker face, a thin edge and the accent over its head.
    Gdiplus::SolidBrush face(Gdiplus::Color(200, 0x18, 0x1c, 0x26));
    g.FillRectangle(&face, rect(panel));
    Gdiplus::Pen edge(Gdiplus::Color(255, 0x2e, 0x36, 0x46), Theme().large ? 2.0f : 1.0f);
    edge.SetAlignment(Gdiplus::PenAlignmentInset);
    g.DrawRectangle(&edge, rect(panel));
    Gdiplus::SolidBrush accent(Gdiplus::Color(255, 0, 212, 255));
    g.FillRectangle(&accent, rect(Scaled(ZvRect{at.left + 12, at.top, at.left + 48, at.top + 2})));

    const COLORREF text = Theme().text;
    constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawSkinText(buf.dc(), GetText("tc_summary"),
                 Scaled(ZvRect{at.left + 14, at.top + 8, at.right - 14, at.top + kSummaryHead - 4}),
                 text, TypeFont(TextRole::kGroupTitle), kLine | DT_LEFT);
    int y = at.top + kSummaryHead;
    for (const SummaryLine& l : lines) {
        DrawSkinText(buf.dc(), l.label,
                     Scaled(ZvRect{at.left + 14, y, at.left + 210, y + kSummaryLine}), text,
                     TypeFont(TextRole::kLabel), kLine | DT_LEFT);
        int valueRight = at.right - 14;
        if (l.swatch) {
            const RECT sw = Scaled(ZvRect{valueRight - 12, y + 7, valueRight, y + 19});
            Gdiplus::SolidBrush fill(Gdiplus::Color(255, l.colour & 0xFF, (l.colour >> 8) & 0xFF,
                                                    (l.colour >> 16) & 0xFF));
            g.FillRectangle(&fill, rect(sw));
            g.DrawRectangle(&edge, rect(sw));
            valueRight -= 20;
        }
        DrawSkinText(buf.dc(), l.value,
                     Scaled(ZvRect{at.left + 200, y, valueRight, y + kSummaryLine}), text,
                     TypeFont(TextRole::kValue), kLine | DT_RIGHT);
        y += kSummaryLine;
    }
}

LRESULT CKeyDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETCURSOR:
            // Asked for the page and, first, for every control under the pointer: the pointer
            // is over the page.
            StartHover();
            break;
        case WM_MENU_RESULT:
            OnFunctionChosen(static_cast<uint32_t>(wp), static_cast<int>(lp));
            return 0;
        case WM_LBUTTONDOWN:
            ClosePopup();
            DragMainWindow(m_hWnd);
            return 0;
        case WM_COMMAND:
            // Any command on the page first closes an open menu; a row clicked then does no
            // more.
            m_menuWasOpen = GetOpenPopup() != nullptr;
            ClosePopup();
            break;
        case kCtrlChanging:
        case kCtrlChanged:
            return 1;
        case kCtrlMayChange:
            return m_host.CheckDeviceReady();
        default:
            break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}
