// The program's one top-level window: a borderless skinned dialog with the navigation buttons
// and the pages, the language list, the battery indicator and the tray icon. The device's life
// (discovery, take-over, profile reads, notifications, battery, readiness) is DeviceSession's;
// this window turns system messages and timers into calls on it and shows what it reports.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"
#include "ui/device_session.h"
#include "ui/main_window_model.h"
#include "ui/win/dpi_overlay.h"
#include "ui/win/main_pages.h"
#include "ui/win/page_host.h"
#include "ui/win/power_dlg.h"
#include "ui/win/program_follow.h"

namespace sim {
class VirtualReceiver;
class ControlWatcher;
}  // namespace sim

class CZorvanDlg : public CDialogBase, public SessionUi, public PageHost {
  public:
    static constexpr UINT kIdMin = 1001, kIdExit = 1002, kIdHelp = 1003, kIdLang = 1004,
                          kIdHome = 1005, kIdNavi1 = 1011;
    static constexpr UINT kCmdShow = 0x6000, kCmdExit = 0x6001, kCmdDpiOverlay = 0x6002,
                          kCmdLinks = 0x6003;

    // `startHidden`: started with arguments, the window waits in the tray until it is opened.
    // `rx` and `simState`: the virtual receiver in use and its state file, whose command file
    // other processes use to drive the virtual mouse.
    CZorvanDlg(bool startHidden, std::shared_ptr<sim::VirtualReceiver> rx = nullptr,
               std::string simState = "");
    ~CZorvanDlg() override;

    int CurrentPage() const { return m_nCurPage; }
    DeviceSession& Session() { return *m_session; }
    void ShowMainWindow();
    void OnExit();
    void RefreshLayout();
    void GetPower() { m_session->GetPower(); }
    MainDeviceState DeviceStateNow();

    // For tests and screenshots.
    CPngBtn& NaviButton(int i) { return m_navi[static_cast<size_t>(i)]; }
    CPowerDlg& PowerDlg() { return m_power; }
    // The bold window font the pages draw their titles with.
    HFONT BoldFont() const { return m_boldFont.get(); }
    bool HasTray() const { return m_trayAdded; }
    // The tray icon's tooltip as it stands, and the low-battery notices given so far.
    std::string TrayTip() const;
    int BatteryNotices() const { return m_batteryNotices; }
    CDpiOverlay& DpiOverlay() { return m_overlay; }
    // The DPI overlay switched on or off by the user (kept in lang.ini).
    bool DpiOverlayEnabled() const { return m_overlayOn; }
    void SetDpiOverlayEnabled(bool on);
    // The programs linked to profiles; null until the window is built.
    CProgramFollow* Follow() { return m_follow.get(); }
    // New links from the user: saved in the data folder and followed from now on. false (with
    // the failure said) when they could not be saved; they are followed all the same.
    bool SetProgramLinks(const ProgramLinks& links);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;

    // PageHost: the pages' one way to the window (main_page_host.cpp).
    int CheckDeviceReady() override;
    bool Tell(const std::string& text) override;
    bool Ask(const std::string& text) override;
    void ShowPage(MainPageType type) override;
    void RefreshButtons(bool applyKeys) override;
    bool LightingHeld() override;
    int ResetToDefaults() override;
    void ReadAgainAfterReset() override;
    int SwitchProfile(int index) override;
    std::optional<int64_t> PickMacro() override;
    std::optional<CapturedCombo> CaptureCombo() override;
    std::optional<uint16_t> EditFire(const KeyInfo& current) override;
    void ExportProfile() override;
    void ImportProfile() override;
    // The linked-programs window, modal.
    void EditProgramLinks() override;

    // SessionUi
    void ShowText(const std::string& text) override;
    void Tell(const Notice& n, platform::WindowHandle owner) override;
    bool Confirm(const std::string& text) override;
    void LayoutForDevice() override;
    void ShowProfile() override;
    void DeviceChanged(DevBehaviorKind kind) override;
    void ShowWaiting() override;
    void ShowPower(int level, int charging) override;
    void HidePower() override;
    void RunProgress() override;
    bool Visible() const override;

  protected:
    bool CreateDialogWindow(HWND owner) override;

  private:
    bool OnInitDialog();
    // The background of the mouse in use; `place` also centres the window on the screen.
    bool LoadBackground(bool place);
    void BuildLayout();
    void AddTrayIcon();
    void OnTrayNotify(LPARAM lp);
    bool OnCommand(UINT id, UINT code, HWND from) override;
    void DoCommand(UINT id);
    bool OnTimer(UINT_PTR id) override;
    void HandleDeviceChange(bool arrival, const std::string& path);
    void OnDevFound();
    void OnSyncOkMsg();
    void TextsChanged();
    // Page keys and F1 before the focused control sees them; true when taken.
    bool OnWindowKey(UINT vk);
    // The names a screen reader says for the window's picture buttons.
    void NameControls();
    void OnPaint(CMemPaint& buf) override;
    void PaintNoMouse(CMemPaint& buf);
    void Teardown();
    bool HasDevice() const;
    // Says which files could not be saved, and why; nothing when every save went well.
    void ReportSaveFailures();
    // The tooltip from the mouse in use and its last battery reading.
    void UpdateTrayTip();
    // The program in front asked for profile `index`: switched behind the apply thread.
    void FollowProfile(int index);
    // The onboard profile the current record is, -1 when none.
    int CurrentProfileIndex() const;

    // The profiles the pages show and change, handed to each page.
    ProfileMonitor& m_profile;
    // The macro library, handed to the session and each page.
    MacroList& m_macros;
    bool m_bShown = true;
    std::shared_ptr<sim::VirtualReceiver> m_rx;
    std::string m_simState;
    std::unique_ptr<sim::ControlWatcher> m_simControl;
    std::mutex m_plugMu;
    std::deque<std::pair<bool, std::string>> m_plugs;

    std::unique_ptr<DeviceSession> m_session;
    std::unique_ptr<CProgramFollow> m_follow;
    MainTimers m_timers;
    int m_nCurPage = 0;
    HANDLE m_hSyncEvent = nullptr;

    PicturePtr m_bkg;
    PicturePtr m_pageBkg;  // the shown page's background while that page does not exist
    MainLayout m_layout;
    CPngBtn m_min, m_exit, m_help, m_home;
    CComboBtn m_lang;
    std::array<CPngBtn, 4> m_navi;
    std::array<std::unique_ptr<CMainPage>, 5> m_pages;  // by page type
    CPowerDlg m_power;
    FontHandle m_boldFont;
    FontHandle m_langFont;
    UiFont m_noMouseFont;  // the no-mouse notice's, made when first drawn
    HICON m_icon = nullptr;
    bool m_ownIcon = false;
    NOTIFYICONDATAW m_tray{};
    std::optional<int> m_batteryLevel;
    bool m_batteryCharging = false;
    LowBatteryWarning m_lowBattery;
    int m_batteryNotices = 0;
    CDpiOverlay m_overlay;
    bool m_overlayOn = true;
    bool m_trayAdded = false;
    HDEVNOTIFY m_devNotify = nullptr;
    bool m_tornDown = false;
    bool m_reportingSaves = false;
};
