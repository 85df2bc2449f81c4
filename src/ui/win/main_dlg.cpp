#include "ui/win/main_dlg.h"

#include <dbt.h>
#include <oleacc.h>

#include "app/gvar.h"
#include "app/language_select.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "app/startup.h"
#include "app/win/zorvan_app.h"
#include "controls/skin_paths.h"
#include "controls/slider_model.h"
#include "controls/win/focus_nav.h"
#include "controls/win/menu_dlg.h"
#include "device/discovery.h"
#include "device/transport.h"
#include "macro/macro_file.h"
#include "macro/macro_page_link.h"
#include "macro/macro_library.h"
#include "macro/macro_library_load.h"
#include "macro/macro_store.h"
#include "platform/win/wide.h"
#include "profile/apply_thread.h"
#include "profile/profile_cache.h"
#include "profile/profile_transfer.h"
#include "sim/sim_control.h"
#include "ui/win/about_dlg.h"
#include "ui/win/macro_dlg.h"
#include "ui/save_failure_text.h"
#include "ui/glance_model.h"
#include "base/ini_file.h"
#include "ui/win/links_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/notice_box.h"
#include "ui/win/progress_dlg.h"
#include "ui/win/skin_backdrop.h"
#include "ui/win/theme_options.h"

using platform::win::Widen;

namespace {
// A receiver leaving or returning in the virtual mouse, handed to the window's thread.
constexpr UINT WM_SIM_PLUG = WM_APP + 0x5A;
constexpr UINT WM_SAVE_FAILED = WM_APP + 0x5B;
// The apply thread switched the profile for the program in front (wParam 1) or could not.
constexpr UINT WM_PROFILE_FOLLOWED = WM_APP + 0x5C;
// The macro library has loaded: the buttons page names the macros of its buttons.
constexpr UINT WM_MACROS_LOADED = WM_APP + 0x5D;
constexpr uint32_t kApplyPointerSettings = 0x0008;
// The no-mouse notice: the band right of the navigation buttons, left of the mouse's badge.
constexpr RECT kNoMouseBand{300, 113, 755, 157};

const GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

RECT Rect(const ZvRect& r) {
    return ToRect(r);
}
}  // namespace

CZorvanDlg::CZorvanDlg(bool startHidden, std::shared_ptr<sim::VirtualReceiver> rx,
                       std::string simState)
    : m_profile(TheProfile()),
      m_macros(g_MacroList),
      m_bShown(!startHidden),
      m_rx(std::move(rx)),
      m_simState(std::move(simState)),
      m_power(gVar, gVar) {
    // A hidden start must leave the user a way back to the window.
    if (startHidden) gVar.TrayIcon = 1;
}

CZorvanDlg::~CZorvanDlg() {
    Teardown();
    DestroyWindow();
    if (m_ownIcon && m_icon) ::DestroyIcon(m_icon);
}

bool CZorvanDlg::HasDevice() const {
    return m_session && m_session->Usb().CmdHandle() != nullptr;
}

bool CZorvanDlg::CreateDialogWindow(HWND owner) {
    if (!CreateEx(0, Widen(gVar.szTitle), WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                  RECT{0, 0, 1020, 700}, owner, 0))
        return false;
    SetBufferedPaint(true);
    m_session = std::make_unique<DeviceSession>(
        *this, SessionState{m_profile, gVar, gVar, m_macros}, reinterpret_cast<uintptr_t>(m_hWnd));
    OnInitDialog();
    return true;
}

bool CZorvanDlg::OnInitDialog() {
    // The system menu's about entry is there for its look only: identifiers 16 to 31 are
    // swallowed.
    if (HMENU sys = ::GetSystemMenu(m_hWnd, FALSE)) {
        ::AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(sys, MF_STRING, 16, L"&About Zorvan...");
    }
    // The icon beside the program, else the one built into Zorvan.exe (resource 1), else the
    // system's.
    m_icon = static_cast<HICON>(::LoadImageW(nullptr, Widen(gVar.szAppDir + "appico.ico").c_str(),
                                             IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    m_ownIcon = m_icon != nullptr;
    if (!m_icon) {
        LogPrintf("Load Icon err=%x", static_cast<unsigned>(::GetLastError()));
        m_icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        if (!m_icon) m_icon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    LoadMenuImages();
    // Large screens get the doubled layout.
    const int xScreen = ::GetSystemMetrics(SM_CXFULLSCREEN);
    const int yScreen = ::GetSystemMetrics(SM_CYFULLSCREEN);
    LogPrintf("xScreen=%d, yScreen=%d", xScreen, yScreen);
    const ScreenDecision screen = DecideScreen(xScreen, yScreen);
    if (screen.b4K) gVar.b4K = 1;
    if (screen.tooSmall) LogPrintf("Screen size too small, not set 4K flag");
    m_boldFont.Reset(::CreateFontW(gVar.b4K ? 34 : 24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, FF_SWISS, L"MS Shell Dlg"));
    // The title: a second start finds the window by it.
    ::SetWindowTextW(m_hWnd, Widen(gVar.szTitle).c_str());
    m_hSyncEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // The mouse seen last, else the first of the catalogue.
    LoadCID();
    LoadLanguageAtStart();
    {
        // The user's own choice from the tray menu, else the configuration's.
        const int32_t mine =
            IniFile::Load(gVar.szAppDataDir + "lang.ini").GetInt("OPT", "DpiOverlay", -1);
        const int32_t cfg = IniFile::Load(gVar.szAppDir + "cfg.ini").GetInt("OPT", "DpiOverlay", 1);
        m_overlayOn = DpiOverlayOn(mine < 0 ? std::nullopt : std::optional<int>(mine), cfg);
    }
    SetLanguageChangedHook([this] { TextsChanged(); });
    // Saves fail on whatever thread makes them; the message is shown on this one.
    const HWND wnd = m_hWnd;
    platform::SetSaveFailureListener([wnd] { ::PostMessageW(wnd, WM_SAVE_FAILED, 0, 0); });
    if (!LoadBackground(true)) {
        ::MessageBoxW(m_hWnd, L"Load skins failed.", L"Error", MB_OK);
        PostMessage(WM_CLOSE);
        return false;
    }
    BuildLayout();
    ShowPage(kPageButtons);
    // Discovery and the service thread post their news here.
    gVar.hDevNotifyWnd = reinterpret_cast<uintptr_t>(m_hWnd);
    // Without a receiver the program may refuse to run at all (Suwnd 0).
    if (m_session->FindDevices() == 0 && gVar.Suwnd == 0) {
        ShowMessage("tc_msg15", nullptr, m_hWnd);
        PostMessage(WM_CLOSE);
        return false;
    }
    // Two mice accepted within 3 s are refused; system device arrivals and removals come
    // to this window.
    ::SetTimer(m_hWnd, CHECK_DEV_NUM_TIMER_ID, kCheckDevNumTimerMs, nullptr);
    m_session->StartApply();
    // Without a link no hook is installed: the window then never hears of the foreground.
    m_follow = std::make_unique<CProgramFollow>([this](int index) { FollowProfile(index); });
    m_follow->SetMouseProfile(CurrentProfileIndex());
    m_follow->SetLinks(LoadProgramLinks(gVar.szAppDataDir));
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    m_devNotify = ::RegisterDeviceNotificationW(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (m_rx && !m_simState.empty()) {
        // The virtual receiver's arrivals and removals reach the window the way the system's
        // device notifications do.
        m_simControl = std::make_unique<sim::ControlWatcher>(
            m_rx, m_simState, [this](bool arrival, const std::string& path) {
                {
                    std::lock_guard<std::mutex> lock(m_plugMu);
                    m_plugs.emplace_back(arrival, path);
                }
                PostMessage(WM_SIM_PLUG);
            });
    }
    // Sub-folders per MacroDir, leftovers of unfinished saves cleared: the same library the
    // command line sees. Thousands of macro files would hold the window up: they load on a
    // worker, and what needs the whole library waits for it (the profile read, the macro page).
    MacroLibraryLoadArgs load;
    load.loaded = [wnd = m_hWnd, page = dynamic_cast<CMacroDlg*>(m_pages[kPageMacros].get())](
                      LoadedMacroLibrary library) {
        if (page) page->TreeLoaded(std::move(library.tree));
        ::PostMessageW(wnd, WM_MACROS_LOADED, 0, 0);
    };
    StartMacroLibraryLoad(m_macros, std::move(load));
    if (HasTrayIcon(gVar.TrayIcon)) AddTrayIcon();
    // The pause lets the receiver settle before the window shows the device.
    RefreshLayout();
    ::Sleep(1000);
    if (m_bShown) ShowMainWindow();
    return true;
}

bool CZorvanDlg::LoadBackground(bool place) {
    const SensorCfg* cfg = gVar.pSensorCfg;
    PicturePtr bkg;
    for (const std::string& path : MainBackgroundPaths(cfg ? cfg->CID : 0, cfg ? cfg->MID : 0)) {
        // Shared: the pages draw from views of the picture they were given, which a second
        // load of the same file (the mouse found again) would otherwise duplicate.
        bkg = SharedSkinPicture(path);
        if (PicturePresent(bkg.get())) break;
    }
    if (!PicturePresent(bkg.get())) return false;
    m_bkg = std::move(bkg);
    const int w = PictureWidth(m_bkg.get()) * (gVar.b4K ? 2 : 1);
    const int h = PictureHeight(m_bkg.get()) * (gVar.b4K ? 2 : 1);
    // Placed once; another mouse's background keeps the window where the user put it.
    const ZvPoint at = CentreOnWorkArea(::GetSystemMetrics(SM_CXFULLSCREEN),
                                        ::GetSystemMetrics(SM_CYFULLSCREEN), w, h);
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | (place ? 0 : SWP_NOMOVE));
    if (gVar.clrMask) {
        PicturePtr scaled = gVar.b4K ? ScalePicture(m_bkg.get(), 2.0) : nullptr;
        ShapeWindowFromPicture(m_hWnd, scaled ? scaled.get() : m_bkg.get(), gVar.clrMask, 0x0A);
    }
    Invalidate();
    return true;
}

void CZorvanDlg::BuildLayout() {
    MainLayoutInput in;
    in.ptMin = gVar.ptMin;
    in.ptNavi = gVar.ptNavi;
    in.ptPower = gVar.ptPower;
    in.naviW = gVar.NaviW;
    in.showMacro = gVar.ShowMacro != 0;
    const SensorCfg* cfg = gVar.pSensorCfg;
    in.hasLighting = !cfg || cfg->ShowMainEffect || cfg->ShowLogoEffect;
    in.rcHomePageBtn = gVar.rcHomePageBtn;
    in.rcSubDlg = gVar.rcSubDlg;
    in.homeText = !GetText("tc_mainweb").empty();
    in.powerTextWidth = CPowerDlg::WidestTextWidth();
    // Controls are made at the skin's own coordinates and then moved to twice them, so their
    // pictures are cut from the unscaled skin.
    const MainLayout flat = LayoutMainWindow(in);
    in.b4K = gVar.b4K != 0;
    m_layout = LayoutMainWindow(in);
    const UiTheme theme = ThemeFromOptions();
    // Created unscaled (pictures cut from the unscaled skin), then moved to twice their place.
    UiTheme flatTheme = theme;
    flatTheme.large = false;
    auto fit = [](CWndBase& w) {
        if (gVar.b4K && w.m_hWnd) LayoutChildFor4K(w.m_hWnd);
    };
    // A button cut from the unscaled skin fills its doubled place only when it stretches.
    auto fitButton = [&fit](CPngBtn& b) {
        if (gVar.b4K) b.SetStretch(true);
        fit(b);
    };
    auto small = [&](CPngBtn& b, const char* file, const ZvRect& r, UINT id) {
        PngBtnArgs a;
        a.id = id;
        a.rc = Rect(r);
        a.background = m_bkg.get();
        a.backgroundAt = POINT{r.left, r.top};
        a.tooltip = gVar.BtnTips != 0;
        a.onClick = [this, id] { DoCommand(id); };
        NewSmallPngButton3(&b, m_hWnd, SkinButtonFiles{file, file, file}, a, flatTheme);
        fitButton(b);
    };
    small(m_min, "min_nr.png", flat.minBtn, kIdMin);
    small(m_exit, "exit_nr.png", flat.exitBtn, kIdExit);
    small(m_help, "help_nr.png", flat.helpBtn, kIdHelp);
    m_min.SetAccessibleRole(ROLE_SYSTEM_PUSHBUTTON);

    // Language list.
    m_langFont.Reset(::CreateFontW(gVar.b4K ? 24 : 14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg"));
    {
        PicturePtr pic = LoadSkinPicture(SkinPath("combo3_nr.png"));
        ComboBtnArgs c;
        c.button.id = kIdLang;
        c.button.rc = Rect(flat.langList);
        c.button.normal = c.button.hover = c.button.pressed = pic.get();
        c.button.background = m_bkg.get();
        c.button.visible = gVar.nLangNum > 1;
        c.onChange = [](int32_t index) { SelectLanguage(index); };
        if (m_lang.Create(m_hWnd, c, flatTheme)) {
            m_lang.SetFont(m_langFont.get());
            for (int32_t i = 0; i < gVar.nLangNum && i < static_cast<int32_t>(gVar.Lang.size());
                 ++i)
                m_lang.AddItem(0, i, gVar.Lang[static_cast<size_t>(i)].name);
            m_lang.SetActiveList(0);
            m_lang.SelectValue(gVar.nLangIndex);
            fit(m_lang);
        }
    }

    // Navigation: each button's pictures are full-window pictures cut at its place.
    static constexpr MainPageType kPageOf[4] = {kPageButtons, kPagePerformance, kPageMacros,
                                                kPageLighting};
    for (size_t i = 0; i < 4; ++i) {
        const std::string n = "navi" + std::to_string(i + 1);
        PicturePtr nr = LoadSkinPicture(SkinPath(n + "_nr.png"));
        PicturePtr dn = LoadSkinPicture(SkinPath(n + "_dn.png"));
        PngBtnArgs a;
        a.id = kIdNavi1 + static_cast<UINT>(i);
        a.rc = Rect(flat.navi[i]);
        a.normal = a.hover = nr.get();
        a.pressed = dn.get();
        a.checkable = true;
        a.visible = m_layout.naviShown[i];
        // The page buttons are one stop for Tab, at the page shown; the arrows go through them.
        a.role = ROLE_SYSTEM_PAGETAB;
        a.onClick = [this, i] { ShowPage(kPageOf[i]); };
        NewPngButton(&m_navi[i], m_hWnd, a, flatTheme);
        m_navi[i].SetFocusGroup(1);
        fitButton(m_navi[i]);
    }

    if (m_layout.homeShown) {
        // A configured rectangle lies over a picture of the skin (its logo) that is the link;
        // only the fallback link at the bottom shows the address as text.
        const bool configured = gVar.rcHomePageBtn.right > gVar.rcHomePageBtn.left;
        PngBtnArgs a;
        a.id = kIdHome;
        a.rc = Rect(flat.homeLink);
        a.normal = a.hover = a.pressed = m_bkg.get();
        a.caption = configured ? "" : GetText("tc_mainweb");
        a.textOffset = 1;
        a.onClick = [this] { DoCommand(kIdHome); };
        NewPngButton(&m_home, m_hWnd, a, flatTheme);
        fitButton(m_home);
    }

    if (m_power.Create(m_hWnd, Rect(m_layout.power)))
        m_power.SetBackground(PictureView(m_bkg, Rect(flat.power)));

    const RECT pagesRc = Rect(m_layout.pages);
    for (int type = kPageButtons; type <= kPageLighting; ++type) {
        auto page = CreateMainPage(static_cast<MainPageType>(type),
                                   PageParts{*this, m_profile, gVar, gVar, m_macros});
        if (!page) continue;
        // The page's own skin picture, else the part of the window's background it covers;
        // given first, since the page's controls are cut from it when they are made. A hidden
        // page lets it go and has it made again when shown.
        auto make = [this, type, part = Rect(flat.pages)] {
            PicturePtr bkg;
            if (const char* file = MainPageBackground(type)) bkg = LoadSkinPicture(SkinPath(file));
            // The window's own picture is there anyway: the page draws from it, no copy.
            if (!PicturePresent(bkg.get())) bkg = PictureView(m_bkg, part);
            // The pages lay their controls out at doubled places and cut them from this picture.
            if (gVar.b4K && PicturePresent(bkg.get())) bkg = ScalePicture(bkg.get(), 2.0);
            return bkg;
        };
        page->SetBackground(make());
        page->SetBackgroundSource(make);
        if (!page->CreatePage(m_hWnd, pagesRc, theme)) continue;
        m_pages[static_cast<size_t>(type)] = std::move(page);
    }
    NameControls();
    // Macros found in the mouse show up in the macro page's tree.
    m_session->SetMacroPage(dynamic_cast<MacroPageLink*>(m_pages[kPageMacros].get()));
}

void CZorvanDlg::ShowPage(MainPageType type) {
    ClosePopup();
    if (auto& macro = m_pages[kPageMacros]; macro && macro->IsRecording()) {
        ShowMessage("tc_macro_msg17", nullptr, m_hWnd);
        return;
    }
    // The focus never stays in a page that goes out of sight: it moves to the new page's button.
    bool focusInPage = false;
    for (auto& p : m_pages)
        if (p && p->m_hWnd && IsWithin(::GetFocus(), p->m_hWnd)) focusInPage = true;
    for (CPngBtn& b : m_navi)
        if (b.m_hWnd) b.SetCheck(false);
    for (auto& p : m_pages)
        if (p) p->Show(false);
    // The macro page's button is the third, the performance page's the second.
    static constexpr int kNaviOf[5] = {-1, 0, 2, 1, 3};
    if (type >= kPageButtons && type <= kPageLighting) {
        CPngBtn& b = m_navi[static_cast<size_t>(kNaviOf[type])];
        if (b.m_hWnd) b.SetCheck(true);
        if (auto& p = m_pages[static_cast<size_t>(type)]) p->Show(true);
    }
    m_nCurPage = type;
    if (focusInPage && type >= kPageButtons && type <= kPageLighting) {
        CPngBtn& b = m_navi[static_cast<size_t>(kNaviOf[type])];
        ::SetFocus(b.m_hWnd ? b.m_hWnd : m_hWnd);
    }
    // Only the background of a page that does not exist yet and is shown is kept in memory.
    m_pageBkg.reset();
    if (type >= kPageButtons && type <= kPageLighting && !m_pages[static_cast<size_t>(type)])
        if (const char* file = MainPageBackground(type))
            m_pageBkg = LoadSkinPicture(SkinPath(file));
    Invalidate();
}

void CZorvanDlg::RefreshLayout() {
    // The cached profiles, the current level and the pages' values; the window's own part
    // comes back through LayoutForDevice, also when the session takes a new mouse over.
    m_session->RefreshLayout();
}

void CZorvanDlg::LayoutForDevice() {
    UpdateTrayTip();
    if (!LoadBackground(false)) {
        ::MessageBoxW(m_hWnd, L"Load skins failed.", L"Error", MB_OK);
        PostMessage(WM_CLOSE);
        return;
    }
    for (auto& p : m_pages)
        if (p) p->LayoutForDevice();
    // A mouse taken over: the no-mouse notice goes.
    Invalidate();
}

int CZorvanDlg::CheckDeviceReady() {
    return m_session->CheckDeviceReady();
}

int CZorvanDlg::ResetToDefaults() {
    return m_session->ResetToDefaults();
}

MainDeviceState CZorvanDlg::DeviceStateNow() {
    MainDeviceFacts f;
    f.hasDevice = HasDevice();
    f.findTimer = m_session->FindTimerRunning();
    f.foundTimer = m_timers.FoundRunning();
    f.readRunning = m_session->ReadRunning();
    f.applying = !WaitApplyDone(0);
    return DeviceStateOf(f);
}

// ---- SessionUi ----------------------------------------------------------------------------

void CZorvanDlg::ShowText(const std::string& text) {
    ShowMessageText(text, m_hWnd);
}

// Also called from the apply thread and the profile reader: a message box may be shown from
// there, and holds that worker until it is closed.
void CZorvanDlg::Tell(const Notice& n, platform::WindowHandle owner) {
    ShowNotice(n, owner);
}

bool CZorvanDlg::Confirm(const std::string& text) {
    return AskYesNo(m_hWnd, text, "tc_reset", "tc_cancel");
}

void CZorvanDlg::ShowProfile() {
    for (auto& p : m_pages)
        if (p) p->Refresh();
}

void CZorvanDlg::DeviceChanged(DevBehaviorKind kind) {
    for (auto& p : m_pages)
        if (p) p->DeviceChanged(kind);
    // The mouse's DPI button: the new level on screen, wherever the window is.
    if (kind == kBehaviorDpiLevel && m_overlayOn) {
        std::optional<DpiOverlayView> view;
        uint32_t colour = 0;
        m_profile.Read([&](const ProfileState& s) {
            if (!s.pFile) return;
            view = DpiOverlayTexts(*s.pFile, s.g_nCurDpiLevel);
            if (view) colour = s.pFile->dpi[static_cast<size_t>(s.g_nCurDpiLevel)].colour;
        });
        if (view) m_overlay.Show(*view, colour, gVar.b4K != 0);
    }
}

void CZorvanDlg::SetDpiOverlayEnabled(bool on) {
    m_overlayOn = on;
    uint32_t err = 0;
    if (!WriteIniString(gVar.szAppDataDir + "lang.ini", "OPT", "DpiOverlay", on ? "1" : "0", &err))
        LogPrintf("Write lang.ini err=%u", err);
}

void CZorvanDlg::ShowWaiting() {
    // While the profile follows the program in front, a read the window is not in front for
    // runs without the message: taking the focus from a linked game would switch the profile
    // back, and the mouse's notification of that would start the next read.
    if (m_follow && m_follow->HookInstalled() && (!Visible() || ::GetForegroundWindow() != m_hWnd))
        return;
    // The waiting message closes when the read ends; the read's end is turned into the event
    // the message waits on.
    std::thread waiter([this] {
        m_session->WaitSync(INFINITE);
        ::SetEvent(m_hSyncEvent);
    });
    ShowMessage("tc_msg12", m_hSyncEvent, m_hWnd);
    waiter.join();
    ::ResetEvent(m_hSyncEvent);
}

void CZorvanDlg::ShowPower(int level, int charging) {
    m_batteryLevel = level;
    m_batteryCharging = charging != 0;
    UpdateTrayTip();
    // Once per discharge, when the level first reaches the lowest warning level.
    if (m_lowBattery.OnReading(level, charging != 0, gVar.PowerCritical)) {
        ++m_batteryNotices;
        if (m_trayAdded) {
            m_tray.uFlags = NIF_INFO;
            const std::wstring title = Widen(gVar.szTitle), text = Widen(LowBatteryText(level));
            ::lstrcpynW(m_tray.szInfoTitle, title.c_str(), ARRAYSIZE(m_tray.szInfoTitle));
            ::lstrcpynW(m_tray.szInfo, text.c_str(), ARRAYSIZE(m_tray.szInfo));
            m_tray.dwInfoFlags = NIIF_WARNING;
            ::Shell_NotifyIconW(NIM_MODIFY, &m_tray);
        }
        LogPrintf("battery low: %d", level);
    }
    if (!m_power.m_hWnd) return;
    if (PowerShownOnReading(gVar.ShowPower) && !::IsWindowVisible(m_power.m_hWnd))
        ::ShowWindow(m_power.m_hWnd, SW_SHOW);
    m_power.SetPower(charging, level);
}

void CZorvanDlg::HidePower() {
    if (m_power.m_hWnd) ::ShowWindow(m_power.m_hWnd, SW_HIDE);
    // The mouse is gone: its battery is no longer known, and the next one warns anew.
    m_batteryLevel.reset();
    m_lowBattery.Reset();
    UpdateTrayTip();
    // The no-mouse notice appears.
    Invalidate();
}

std::string CZorvanDlg::TrayTip() const {
    return TrayTipText(
        gVar.szTitle,
        HasDevice() ? CatalogueMouseName(gVar.szAppDir + "cfg.ini", gVar, gVar.pSensorCfg) : "",
        m_batteryLevel, m_batteryCharging);
}

void CZorvanDlg::UpdateTrayTip() {
    if (!m_trayAdded) return;
    m_tray.uFlags = NIF_TIP;
    ::lstrcpynW(m_tray.szTip, Widen(TrayTip()).c_str(), ARRAYSIZE(m_tray.szTip));
    ::Shell_NotifyIconW(NIM_MODIFY, &m_tray);
}

void CZorvanDlg::RunProgress() {
    RunResetProgress(m_hWnd);
}

bool CZorvanDlg::Visible() const {
    return m_hWnd && ::IsWindowVisible(m_hWnd);
}

// ---- tray, showing and leaving --------------------------------------------------------------

void CZorvanDlg::AddTrayIcon() {
    m_tray = {};
    m_tray.cbSize = CZorvanApp::GetOsVersionCode() < 5 ? NOTIFYICONDATAW_V2_SIZE : sizeof m_tray;
    m_tray.hWnd = m_hWnd;
    m_tray.uID = 0;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_tray.uCallbackMessage = kWmTrayNotify;
    m_tray.hIcon = m_icon;
    const std::wstring title = Widen(gVar.szTitle);
    ::lstrcpynW(m_tray.szTip, title.c_str(), ARRAYSIZE(m_tray.szTip));
    ::lstrcpynW(m_tray.szInfo, title.c_str(), ARRAYSIZE(m_tray.szInfo));
    m_tray.uTimeout = 5000;
    m_tray.dwInfoFlags = NIIF_INFO;
    m_trayAdded = ::Shell_NotifyIconW(NIM_ADD, &m_tray) != FALSE;
}

void CZorvanDlg::OnTrayNotify(LPARAM lp) {
    if (lp == WM_LBUTTONUP) {
        ShowMainWindow();
    } else if (lp == WM_RBUTTONUP) {
        ::SetForegroundWindow(::GetLastActivePopup(m_hWnd));
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(menu, MF_STRING, kCmdShow, Widen(GetText("tc_config")).c_str());
        ::AppendMenuW(menu, MF_STRING, kCmdLinks, Widen(GetText("tc_links")).c_str());
        ::AppendMenuW(menu, MF_STRING | (m_overlayOn ? MF_CHECKED : MF_UNCHECKED), kCmdDpiOverlay,
                      Widen(GetText("tc_dpi_overlay")).c_str());
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, kCmdExit, Widen(GetText("tc_exit")).c_str());
        POINT pt;
        ::GetCursorPos(&pt);
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
        PostMessage(WM_NULL);
        ::DestroyMenu(menu);
    }
}

void CZorvanDlg::ShowMainWindow() {
    if (::IsWindowVisible(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    m_bShown = true;
    if (HasDevice()) m_session->Usb().TellDrvStatus(1);
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
}

void CZorvanDlg::OnExit() {
    ClosePopup();
    // Logs "OnExit", tells the mouse the driver leaves and saves the cache.
    m_session->OnExit();
    // Said before the window goes: a cache that was not saved is changes lost at the next start.
    ReportSaveFailures();
    if (HWND msg = ::FindWindowW(nullptr, Widen(CMsgDlg::kWindowTitle).c_str()))
        ::PostMessageW(msg, WM_CLOSE, 0, 0);
    ::ShowWindow(m_hWnd, SW_HIDE);
    PostMessage(WM_CLOSE);
}

// ---- device --------------------------------------------------------------------------------

void CZorvanDlg::HandleDeviceChange(bool arrival, const std::string& path) {
    if (m_session->OnDeviceChange(arrival, path))
        ::SetTimer(m_hWnd, FINDDEV_TIMER_ID, FINDDEV_TIMER_MS, nullptr);
}

void CZorvanDlg::OnDevFound() {
    if (m_timers.OnDevFound()) ::SetTimer(m_hWnd, DEVFOUND_TIMER_ID, kDevFoundTimerMs, nullptr);
}

void CZorvanDlg::OnSyncOkMsg() {
    m_session->OnSyncOk();
    if (m_follow) m_follow->SetMouseProfile(CurrentProfileIndex());
    if (m_timers.OnSyncOk()) ::SetTimer(m_hWnd, POWER_TIMER_ID, kPowerTimerMs, nullptr);
}

bool CZorvanDlg::OnTimer(UINT_PTR id) {
    switch (id) {
        case DEVFOUND_TIMER_ID:
            ::KillTimer(m_hWnd, DEVFOUND_TIMER_ID);
            m_timers.OnDevFoundExpired();
            m_session->OnFindDeviceOK();
            // Taken over or not, the notice's place shows the outcome now.
            Invalidate();
            break;
        case FINDDEV_TIMER_ID:
            if (m_session->OnFindTimer()) ::KillTimer(m_hWnd, FINDDEV_TIMER_ID);
            break;
        case CHECK_DEV_NUM_TIMER_ID: {
            ::KillTimer(m_hWnd, CHECK_DEV_NUM_TIMER_ID);
            const int n = gVar.g_nFindOkNum.load();
            LogPrintf("OnTimer: CHECK_DEV_NUM_TIMER_ID, g_nFindOkNum=%d", n);
            if (TooManyDevices(n)) {
                ShowMessage("tc_msg36", nullptr, m_hWnd);
                PostMessage(WM_CLOSE);
            }
            break;
        }
        case POWER_TIMER_ID:
            m_session->GetPower();
            break;
        default:
            return false;
    }
    return true;
}

// ---- commands and messages -----------------------------------------------------------------

void CZorvanDlg::TextsChanged() {
    for (auto& p : m_pages)
        if (p) p->TextsChanged();
    if (m_home.m_hWnd && !m_home.GetText().empty()) m_home.SetText(GetText("tc_mainweb"));
    NameControls();
    Invalidate();
}

bool CZorvanDlg::OnCommand(UINT id, UINT /*code*/, HWND /*from*/) {
    // The tray menu's entries; the window's own buttons call DoCommand from their clicks.
    if (id != kCmdShow && id != kCmdExit && id != kCmdDpiOverlay && id != kCmdLinks) return false;
    DoCommand(id);
    return true;
}

void CZorvanDlg::DoCommand(UINT id) {
    switch (id) {
        case kIdHelp: {
            CAboutDlg about(gVar, gVar);
            about.DoModal(m_hWnd);
            break;
        }
        case kIdHome: {
            const std::string& web = GetText("tc_mainweb");
            if (!web.empty())
                ::ShellExecuteW(m_hWnd, L"open", Widen(web).c_str(), nullptr, nullptr,
                                SW_SHOWNORMAL);
            break;
        }
        case kIdMin:
            ClosePopup();
            if (HasDevice()) m_session->Usb().TellDrvStatus(0);
            switch (OnMinimiseButton(gVar.ExitType, gVar.TrayIcon)) {
                case MinimiseAction::kMinimise:
                    ::ShowWindow(m_hWnd, SW_MINIMIZE);
                    break;
                case MinimiseAction::kHideToTray:
                    LogPrintf("Min window");
                    ::ShowWindow(m_hWnd, SW_HIDE);
                    break;
                case MinimiseAction::kNothing:
                    LogPrintf("Min window");
                    break;
            }
            break;
        case kIdExit:
            if (HasDevice()) m_session->Usb().TellDrvStatus(0);
            switch (OnExitButton(gVar.ExitType, gVar.TrayIcon)) {
                case ExitAction::kExit:
                    ::ShowWindow(m_hWnd, SW_HIDE);
                    OnExit();
                    break;
                case ExitAction::kHideToTray:
                    ::ShowWindow(m_hWnd, SW_HIDE);
                    break;
                case ExitAction::kNothing:
                    break;
            }
            break;
        case kCmdShow:
            ShowMainWindow();
            break;
        case kCmdExit:
            OnExit();
            break;
        case kCmdDpiOverlay:
            SetDpiOverlayEnabled(!m_overlayOn);
            break;
        case kCmdLinks:
            EditProgramLinks();
            break;
        default:
            break;
    }
}

void CZorvanDlg::OnPaint(CMemPaint& buf) {
    if (::IsIconic(m_hWnd)) {
        ::DrawIcon(buf.dc(), (buf.width() - 32) / 2, (buf.height() - 32) / 2, m_icon);
        return;
    }
    PaintSkinBackdrop(buf, m_bkg.get(), gVar.clrLowBkg);
    // A page that does not exist yet shows its skin background.
    if (PicturePresent(m_pageBkg.get()))
        DrawPictureStretched(buf.g(), m_pageBkg.get(), Rect(m_layout.pages));
    // A mouse that was found and is being taken over is not "not found": the notice would
    // flash on every start before the first read.
    if (!HasDevice() && DeviceStateNow() != MainDeviceState::kFound) PaintNoMouse(buf);
}

void CZorvanDlg::PaintNoMouse(CMemPaint& buf) {
    // Without a mouse the pages still show (a default profile the user may look at), so the
    // band beside the navigation buttons says plainly that none is connected and how to
    // connect one; changes are refused with the same words.
    const int k = gVar.b4K ? 2 : 1;
    const RECT rc{kNoMouseBand.left * k, kNoMouseBand.top * k, kNoMouseBand.right * k,
                  kNoMouseBand.bottom * k};
    const COLORREF mark =
        gVar.clrDpiMark ? static_cast<COLORREF>(gVar.clrDpiMark) : RGB(255, 59, 92);
    Gdiplus::Graphics& g = buf.g();
    Gdiplus::SolidBrush back(Gdiplus::Color(235, 40, 16, 24));
    g.FillRectangle(&back, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                    static_cast<INT>(rc.right - rc.left), static_cast<INT>(rc.bottom - rc.top));
    Gdiplus::Pen frame(Gdiplus::Color(255, GetRValue(mark), GetGValue(mark), GetBValue(mark)),
                       static_cast<Gdiplus::REAL>(k));
    frame.SetAlignment(Gdiplus::PenAlignmentInset);
    g.DrawRectangle(&frame, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                    static_cast<INT>(rc.right - rc.left - 1),
                    static_cast<INT>(rc.bottom - rc.top - 1));
    if (!m_noMouseFont) m_noMouseFont = UiFont(ThemeFromOptions().font, 16 * k, FW_BOLD);
    const std::wstring text = Widen(GetText("tc_msg15"));
    RECT inner{rc.left + 12 * k, rc.top + 4 * k, rc.right - 12 * k, rc.bottom - 4 * k};
    const HDC dc = buf.dc();
    const HGDIOBJ old = ::SelectObject(dc, m_noMouseFont.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    // Centred on one or two lines, whichever the language needs.
    RECT measure = inner;
    ::DrawTextW(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const int h = measure.bottom - measure.top;
    if (h < inner.bottom - inner.top) {
        inner.top += (inner.bottom - inner.top - h) / 2;
        inner.bottom = inner.top + h;
    }
    ::DrawTextW(dc, text.c_str(), -1, &inner,
                DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(dc, old);
}

LRESULT CZorvanDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DEV_FOUND:
            OnDevFound();
            return 0;
        case WM_DEV_BEHAVIOR:
            m_session->OnDeviceBehavior(wp, lp);
            return 0;
        case WM_SYNC_OK:
            OnSyncOkMsg();
            return 0;
        case kWmTrayNotify:
            OnTrayNotify(lp);
            return 0;
        case kSliderCommitted:
            if (gVar.ApplyNow) RequestApply(kApplyPointerSettings, 0);
            return 0;
        case kSliderDragging:
            return 0;
        case kSliderMayChange:
            return CheckDeviceReady();
        case WM_MENU_RESULT:
            ClosePopup();
            return 0;
        case WM_DEVICECHANGE: {
            if (wp != DBT_DEVICEARRIVAL && wp != DBT_DEVICEREMOVECOMPLETE) break;
            auto* hdr = reinterpret_cast<DEV_BROADCAST_HDR*>(lp);
            if (!hdr || hdr->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) break;
            auto* di = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(hdr);
            HandleDeviceChange(wp == DBT_DEVICEARRIVAL,
                               platform::win::Narrow(std::wstring(di->dbcc_name)));
            return TRUE;
        }
        case WM_SAVE_FAILED:
            ReportSaveFailures();
            return 0;
        case WM_PROFILE_FOLLOWED:
            // The pages show the profile the mouse is on now, read without a waiting message:
            // the user is in another program and the window must not take the focus from it.
            if (wp && HasDevice())
                m_session->StartRead();
            else if (m_follow)
                m_follow->SetMouseProfile(-1);
            return 0;
        case WM_MACROS_LOADED:
            if (auto& p = m_pages[kPageButtons]) p->MacrosChanged(false);
            return 0;
        case WM_SIM_PLUG: {
            std::deque<std::pair<bool, std::string>> plugs;
            {
                std::lock_guard<std::mutex> lock(m_plugMu);
                plugs.swap(m_plugs);
            }
            for (auto& [arrival, path] : plugs) HandleDeviceChange(arrival, path);
            return 0;
        }
        case WM_LBUTTONDOWN:
            ClosePopup();
            PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lp);
            return 0;
        case WM_WINDOWPOSCHANGING:
            if (!m_bShown) reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~SWP_SHOWWINDOW;
            break;
        case WM_SETCURSOR:
            if (m_home.m_hWnd && reinterpret_cast<HWND>(wp) == m_home.m_hWnd) {
                ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        case WM_HELP:
            return TRUE;
        case WM_QUERYENDSESSION: {
            const LRESULT yes = Default(msg, wp, lp);
            // The whole library, not what of it had loaded.
            WaitMacroLibraryLoaded();
            if (yes) SaveMacroDict(m_macros);
            return yes;
        }
        case WM_SYSCOMMAND:
            if (wp >= 16 && wp <= 31) return 0;
            if ((wp & 0xFFF0) == SC_RESTORE && HasDevice()) m_session->Usb().TellDrvStatus(1);
            break;
        case WM_DESTROY:
            Teardown();
            break;
        default:
            break;
    }
    return CDialogBase::WindowProc(msg, wp, lp);
}

bool CZorvanDlg::PreTranslateMessage(MSG* msg) {
    // A recording macro page takes every key, also one whose window is not on the page (the
    // focus may have moved to the window itself after a refused page switch).
    if (auto& macro = m_pages[kPageMacros]; macro && macro->IsRecording())
        return macro->PreTranslateMessage(msg);
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
        if (OnWindowKey(static_cast<UINT>(msg->wParam))) return true;
    }
    switch (RouteDialogKey(m_hWnd, *msg)) {
        case DialogKey::kMoved:
            return true;
        case DialogKey::kForControl:
            return false;
        case DialogKey::kOther:
            break;
    }
    // No other Enter, Escape, Space or F1 reaches the window: none of them closes it.
    return SwallowsKey(kMainWindowKeys, msg->message, static_cast<uint32_t>(msg->wParam));
}

int CZorvanDlg::CurrentProfileIndex() const {
    return m_profile.Read([](const ProfileState& s) {
        for (size_t i = 0; i < s.ProfileList.size(); ++i)
            if (&s.ProfileList[i] == s.pFile) return static_cast<int>(i);
        return -1;
    });
}

void CZorvanDlg::FollowProfile(int index) {
    const HWND wnd = m_hWnd;
    QueueProfileSwitch(m_session->Usb(), index,
                       [wnd](bool ok) { ::PostMessageW(wnd, WM_PROFILE_FOLLOWED, ok ? 1 : 0, 0); });
}

void CZorvanDlg::EditProgramLinks() {
    if (!m_follow) return;
    CLinksDlg dlg(m_follow->Links());
    if (dlg.DoModal(m_hWnd) == IDOK) SetProgramLinks(dlg.Links());
}

bool CZorvanDlg::SetProgramLinks(const ProgramLinks& links) {
    uint32_t err = 0;
    const bool saved = SaveProgramLinks(gVar.szAppDataDir, links, true, &err);
    if (m_follow) m_follow->SetLinks(links);
    if (!saved) ReportSaveFailures();
    return saved;
}

bool CZorvanDlg::OnWindowKey(UINT vk) {
    const MainKeyAction a = MainWindowKey(vk, ::GetKeyState(VK_CONTROL) < 0,
                                          ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_MENU) < 0);
    static constexpr MainPageType kPageOf[4] = {kPageButtons, kPagePerformance, kPageMacros,
                                                kPageLighting};
    bool shown[4];
    for (size_t i = 0; i < 4; ++i)
        shown[i] = m_navi[i].m_hWnd && ::IsWindowVisible(m_navi[i].m_hWnd);
    int current = 0;
    for (int i = 0; i < 4; ++i)
        if (kPageOf[i] == m_nCurPage) current = i;
    int to = -1;
    switch (a.kind) {
        case MainKeyAction::kNone:
            return false;
        case MainKeyAction::kAbout:
            ClosePopup();
            DoCommand(kIdHelp);
            return true;
        case MainKeyAction::kPage:
            to = shown[a.navi] ? a.navi : -1;
            break;
        case MainKeyAction::kNextPage:
        case MainKeyAction::kPreviousPage:
            to = StepNavi(current, shown, a.kind == MainKeyAction::kNextPage ? 1 : -1);
            break;
    }
    if (to < 0) return true;
    if (kPageOf[to] != m_nCurPage) ShowPage(kPageOf[to]);
    // A page chosen by key leaves the focus on that page's button, where Tab goes on into the
    // page (a refused switch leaves it where it was).
    if (m_nCurPage == kPageOf[to]) ::SetFocus(m_navi[static_cast<size_t>(to)].m_hWnd);
    return true;
}

void CZorvanDlg::NameControls() {
    m_min.SetAccessibleName(GetText("tc_min"));
    m_exit.SetAccessibleName(GetText("tc_exit"));
    m_help.SetAccessibleName(GetText("tc_help"));
    m_lang.SetAccessibleName(GetText("tc_lang"));
    m_power.SetAccessibleName(GetText("tc_battery"));
    for (size_t i = 0; i < 4; ++i)
        m_navi[i].SetAccessibleName(GetText("tc_page" + std::to_string(i + 1)));
}

void CZorvanDlg::ReportSaveFailures() {
    // A failure while the message is up waits for it to close and is shown next.
    if (m_reportingSaves) return;
    m_reportingSaves = true;
    for (std::string text; !(text = SaveFailureText(platform::TakeSaveFailures())).empty();)
        ShowText(text);
    m_reportingSaves = false;
}

void CZorvanDlg::Teardown() {
    if (m_tornDown) return;
    m_tornDown = true;
    // No more receiver arrivals or removals from the virtual mouse's controller.
    m_simControl.reset();
    SetLanguageChangedHook(nullptr);
    platform::SetSaveFailureListener(nullptr);
    if (m_hSyncEvent) ::CloseHandle(m_hSyncEvent);
    m_hSyncEvent = nullptr;
    gVar.hDevNotifyWnd = 0;
    FreeMenuImages();
    m_follow.reset();
    // The apply thread, profile reads, discovery and service threads all end here.
    if (m_session) m_session->Shutdown();
    if (m_trayAdded) ::Shell_NotifyIconW(NIM_DELETE, &m_tray);
    m_trayAdded = false;
    if (m_devNotify) ::UnregisterDeviceNotification(m_devNotify);
    m_devNotify = nullptr;
    // The load hands its tree to the macro page: it ends before the page goes.
    JoinMacroLibraryLoad();
    for (auto& p : m_pages) p.reset();
}
