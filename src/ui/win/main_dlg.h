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
#include <string>
#include <thread>

#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"
#include "ui/device_session.h"
#include "ui/main_window_model.h"
#include "ui/win/main_pages.h"
#include "ui/win/power_dlg.h"

namespace sim {
class VirtualReceiver;
class ControlWatcher;
}  // namespace sim

class CZorvanDlg : public CDialogBase, public SessionUi {
  public:
    static constexpr UINT kIdMin = 1001, kIdExit = 1002, kIdHelp = 1003, kIdLang = 1004,
                          kIdHome = 1005, kIdNavi1 = 1011;
    static constexpr UINT kCmdShow = 0x6000, kCmdExit = 0x6001;

    // `startHidden`: started with arguments, the window waits in the tray until it is opened.
    // `rx` and `simState`: the virtual receiver in use and its state file, whose command file
    // other processes use to drive the virtual mouse.
    CZorvanDlg(bool startHidden, std::shared_ptr<sim::VirtualReceiver> rx = nullptr,
               std::string simState = "");
    ~CZorvanDlg() override;

    // For the pages and the sliders.
    int CheckDeviceReady();
    int ResetToDefaults();
    void ShowPage(int type);
    // The buttons page after a change of the macros (MacrosChanged).
    void RefreshButtonPage(bool applyKeys);
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
    HFONT BoldFont() const { return m_boldFont; }
    bool HasTray() const { return m_trayAdded; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;

    // SessionUi
    void ShowText(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void LayoutForDevice() override;
    void ShowProfile() override;
    void DeviceChanged(int kind) override;
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
    void OnPaint(CMemPaint& buf) override;
    void PaintNoMouse(CMemPaint& buf);
    void Teardown();
    bool HasDevice() const;
    // Says which files could not be saved, and why; nothing when every save went well.
    void ReportSaveFailures();

    bool m_bShown = true;
    std::shared_ptr<sim::VirtualReceiver> m_rx;
    std::string m_simState;
    std::unique_ptr<sim::ControlWatcher> m_simControl;
    std::mutex m_plugMu;
    std::deque<std::pair<bool, std::string>> m_plugs;

    std::unique_ptr<DeviceSession> m_session;
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
    HFONT m_boldFont = nullptr, m_langFont = nullptr;
    HFONT m_noMouseFont = nullptr;  // the no-mouse notice's; owned when m_ownNoMouseFont
    bool m_ownNoMouseFont = false;
    HICON m_icon = nullptr;
    bool m_ownIcon = false;
    NOTIFYICONDATAW m_tray{};
    bool m_trayAdded = false;
    HDEVNOTIFY m_devNotify = nullptr;
    bool m_tornDown = false;
    bool m_reportingSaves = false;
};

// The main window while it exists (pages and workers reach it here); null otherwise.
CZorvanDlg* MainDlg();
