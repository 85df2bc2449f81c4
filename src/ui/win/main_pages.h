// How the pages plug into the main window. A page is a child window in the main window's page
// area that the main window creates once, shows by its navigation button and keeps informed:
// the device's layout, the profile read from the mouse, the mouse's own changes and the
// language. Until a page exists, its area shows the skin's background of that page.
#pragma once
#include <windows.h>

#include <memory>

class CZorvanDlg;

enum MainPageType : int {
    kPageButtons = 1,
    kPageMacros = 2,
    kPagePerformance = 3,
    kPageLighting = 4
};

class CMainPage {
  public:
    virtual ~CMainPage() = default;
    // Creates the page as a hidden child of `parent` filling `rc` (client coordinates, already
    // doubled in the large-screen layout).
    virtual bool CreatePage(HWND parent, const RECT& rc) = 0;
    virtual HWND PageWindow() const = 0;
    // The mouse in gVar.pSensorCfg changed: lay the page out for it.
    virtual void LayoutForDevice() {}
    // gVar.pFile (or the current DPI level) holds new values to show.
    virtual void ShowProfile() {}
    // The mouse changed something by itself: 1 DPI level, 2 rate, 4 main, 5 logo, 6 DPI light.
    virtual void DeviceChanged(int /*kind*/) {}
    // The language changed: take every text anew.
    virtual void TextsChanged() {}
    // The macro page records: the main window keeps it shown.
    virtual bool IsRecording() const { return false; }
};

// The page of `type`, or null while that page does not exist yet. Each page adds its line to
// the switch in main_pages.cpp.
std::unique_ptr<CMainPage> CreateMainPage(int type, CZorvanDlg& main);
// The skin picture of a page's whole area (drawn while the page does not exist).
const char* MainPageBackground(int type);
